// Errors that escape a conversion out of a value say where it failed.

#include <quarrow/json.hpp>

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <vector>

using quarrow::json;

namespace fleet
{

enum class tier
{
    free,
    paid
};
QUARROW_ENUM(tier, {tier::free, "free"}, {tier::paid, "paid"});

struct server
{
    std::string host;
    unsigned short port;
};
QUARROW_TYPE(server, host, port);

struct site
{
    std::vector<server> servers;
    tier plan;
};
QUARROW_TYPE(site, servers, plan);

// Read by a from_json of the user's own, which reads its members through get.
struct celsius
{
    double degrees;
};

inline void from_json(const json& j, celsius& c)
{
    c.degrees = j.at("c").get<double>();
}

// A from_json of the user's own that reads deeper: the place inside it is its own.
struct samples
{
    std::vector<int> values;
};

inline void from_json(const json& j, samples& s)
{
    s.values = j.at("values").get<std::vector<int>>();
}

struct reading
{
    celsius temperature;
    samples history;
};
QUARROW_TYPE(reading, temperature, history);

// A tree that recurses in its own from_json, one level per level of the value.
struct node
{
    std::vector<node> children;
    int weight;
};
QUARROW_TYPE(node, children, weight);

} // namespace fleet

namespace
{

struct path_case
{
    const char* text;
    std::function<void(const json&)> read;
    const char* what;
    const char* path;
};

template<typename T>
std::function<void(const json&)> reader()
{
    return [](const json& j) { j.get<T>(); };
}

using sites = std::map<std::string, fleet::site>;
using stations = std::map<std::string, std::vector<fleet::reading>>;

TEST(ErrorPath, NamesThePlaceOfTheValueThatFailed)
{
    const path_case cases[] = {
        {R"({"eu":{"plan":"free","servers":[{"host":"a","port":1},{"host":"b","port":"80"}]}})", reader<sites>(),
         "[json.exception.type_error.302] type must be number, but is string (at /eu/servers/1/port)",
         "/eu/servers/1/port"},
        {R"({"eu":{"plan":"free","servers":[{"host":"a"}]}})", reader<sites>(),
         "[json.exception.out_of_range.403] key 'port' not found (at /eu/servers/0)", "/eu/servers/0"},
        {R"({"eu":{"plan":"free","servers":[{"host":"a","port":65536}]}})", reader<sites>(),
         "[json.exception.out_of_range.406] number 65536 does not fit into unsigned short (at /eu/servers/0/port)",
         "/eu/servers/0/port"},
        {R"({"eu":{"plan":"gold","servers":[]}})", reader<sites>(),
         R"([json.exception.out_of_range.410] text "gold" names no enumerator; the texts are "free", "paid" (at /eu/plan))",
         "/eu/plan"},
        // The user's from_json fails three levels down; what it read inside is its own.
        {R"({"north":[{"temperature":{"c":"warm"},"history":{"values":[]}}]})", reader<stations>(),
         "[json.exception.type_error.302] type must be number, but is string (at /north/0/temperature)",
         "/north/0/temperature"},
        {R"({"north":[{"temperature":{"c":1},"history":{"values":[1,"2"]}}]})", reader<stations>(),
         "[json.exception.type_error.302] type must be number, but is string (at /north/0/history)",
         "/north/0/history"},
        {R"({"north":[{"temperature":{},"history":{"values":[]}}]})", reader<stations>(),
         "[json.exception.out_of_range.403] key 'c' not found (at /north/0/temperature)", "/north/0/temperature"},
        // Keys are escaped: ~ as ~0, / as ~1.
        {R"({"a/b~c":[1,true]})", reader<std::map<std::string, std::vector<int>>>(),
         "[json.exception.type_error.302] type must be number, but is boolean (at /a~1b~0c/1)", "/a~1b~0c/1"},
        {R"({"":[[],[0,1,null]]})", reader<std::map<std::string, std::vector<std::vector<int>>>>(),
         "[json.exception.type_error.302] type must be number, but is null (at //1/2)", "//1/2"},
        {R"([[1,"x"]])", reader<std::vector<std::pair<int, int>>>(),
         "[json.exception.type_error.302] type must be number, but is string (at /0/1)", "/0/1"},
        {R"([1,[2,3]])", reader<std::tuple<int, std::array<std::string, 2>>>(),
         "[json.exception.type_error.302] type must be string, but is number (at /1/0)", "/1/0"},
        {R"([[1],[1,2]])", reader<std::vector<std::array<int, 1>>>(),
         "[json.exception.out_of_range.407] array has 2 elements, but the target holds 1 (at /1)", "/1"},
        {R"({"k":{"servers":[{"host":3,"port":1}],"plan":"free"}})",
         [](const json& j) { j.value("k", fleet::site{}); },
         "[json.exception.type_error.302] type must be string, but is number (at /k/servers/0/host)",
         "/k/servers/0/host"},
        // The value converted failed itself: no place to add.
        {R"("x")", reader<std::vector<int>>(), "[json.exception.type_error.302] type must be array, but is string",
         ""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.text);
        const json value = json::parse(c.text);
        try
        {
            c.read(value);
            ADD_FAILURE() << "no exception";
        }
        catch (const json::exception& e)
        {
            EXPECT_STREQ(e.what(), c.what);
            EXPECT_EQ(e.path(), c.path);
        }
    }
}

TEST(ErrorPath, KeepsTheClassOfTheError)
{
    const json value = json::parse(R"({"servers":[{"host":"a","port":-1}],"plan":"free"})");
    EXPECT_THROW(value.get<fleet::site>(), json::out_of_range);
    EXPECT_THROW(json::parse(R"({"servers":[{"host":1,"port":1}],"plan":"free"})").get<fleet::site>(),
                 json::type_error);
}

TEST(ErrorPath, AFailedGetToLeavesItsTargetAsItWas)
{
    sites target = {{"us", {{{"h", 1}}, fleet::tier::paid}}};
    const json before = target;
    const json broken =
        json::parse(R"({"eu":{"plan":"free","servers":[]},"us":{"plan":"paid","servers":[{"host":"h","port":[]}]}})");
    EXPECT_THROW(broken.get_to(target), json::type_error);
    EXPECT_EQ(json(target), before);
    fleet::server one{"kept", 7};
    EXPECT_THROW(json::parse(R"({"host":"new"})").get_to(one), json::out_of_range);
    EXPECT_EQ(one.host, "kept");
    EXPECT_EQ(one.port, 7);
}

// Conversion nests as deep as the type does: the tree's from_json recurses
// once per level of the value, and the path grows by the same steps, built
// on the way out without recursion of its own.
TEST(ErrorPath, ATreeAsDeepAsTheParserAllows)
{
    const std::size_t depth = 250; // nested objects and arrays: 500 levels of the parser's 512
    std::string text;
    for (std::size_t i = 0; i < depth; ++i)
    {
        text += R"({"weight":1,"children":[)";
    }
    text += R"({"weight":"heavy","children":[]})";
    for (std::size_t i = 0; i < depth; ++i)
    {
        text += "]}";
    }
    std::string path;
    for (std::size_t i = 0; i < depth; ++i)
    {
        path += "/children/0";
    }
    const json value = json::parse(text);
    try
    {
        value.get<fleet::node>();
        ADD_FAILURE() << "no exception";
    }
    catch (const json::type_error& e)
    {
        EXPECT_EQ(e.path(), path + "/weight");
    }

    const json fixed = json::parse(text.replace(text.find("\"heavy\""), 7, "2"));
    fleet::node tree = fixed.get<fleet::node>();
    std::size_t levels = 0;
    for (const fleet::node* n = &tree; not n->children.empty(); n = &n->children.front())
    {
        ++levels;
    }
    EXPECT_EQ(levels, depth);
    EXPECT_EQ(json(tree), fixed);
}

} // namespace

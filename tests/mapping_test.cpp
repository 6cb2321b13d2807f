// Structs and enums mapped by the macros, optional members, and variants.

#include <quarrow/json.hpp>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using quarrow::json;

namespace app
{

enum class level
{
    low,
    medium,
    high,
    unmapped
};
QUARROW_ENUM(level, {level::low, "low"}, {level::medium, "medium"}, {level::high, "high"});

// A plain enum, whose second text for medium only reads.
enum colour
{
    red = 1,
    green = 2
};
QUARROW_ENUM(colour, {red, "red"}, {green, "green"}, {green, "vert"});

struct endpoint
{
    std::string host;
    unsigned short port;
};
QUARROW_TYPE(endpoint, host, port);

struct service
{
    std::string name;
    std::vector<endpoint> servers;
    std::map<std::string, endpoint> by_zone;
    level priority;
    int max_retries;
};
QUARROW_TYPE(service, name, servers, by_zone, priority, QUARROW_MEMBER(max_retries, "max-retries"));

class account
{
  public:
    account() = default;
    account(std::string owner, long long cents) : m_owner(std::move(owner)), m_cents(cents) {}

    json as_text_and_back() const
    {
        return json::parse(json(*this).dump()).get<account>();
    }

  private:
    std::string m_owner;
    long long m_cents = 0;
    std::vector<account> m_joint;
    QUARROW_TYPE_INTRUSIVE(account, QUARROW_MEMBER(m_owner, "owner"), QUARROW_MEMBER(m_cents, "cents"),
                           QUARROW_MEMBER(m_joint, "joint"));

  public:
    void add_joint(account other)
    {
        m_joint.push_back(std::move(other));
    }
};

struct settings
{
    int timeout = 30;
    std::string mode = "fast";
    std::vector<int> ports{80, 443};
};
QUARROW_TYPE_WITH_DEFAULTS(settings, timeout, mode, ports);

class hidden_settings
{
  public:
    int timeout() const
    {
        return m_timeout;
    }
    int retries() const
    {
        return m_retries;
    }

  private:
    int m_timeout = 5;
    int m_retries = 3;
    QUARROW_TYPE_INTRUSIVE_WITH_DEFAULTS(hidden_settings, QUARROW_MEMBER(m_timeout, "timeout"),
                                         QUARROW_MEMBER(m_retries, "retries"));
};

// The most members a mapping takes, the last one renamed.
struct wide
{
    int m0, m1, m2, m3, m4, m5, m6, m7, m8, m9, m10, m11, m12, m13, m14, m15, m16, m17, m18, m19, m20, m21, m22, m23,
        m24, m25, m26, m27, m28, m29, m30, m31, m32, m33, m34, m35, m36, m37, m38, m39, m40, m41, m42, m43, m44, m45,
        m46, m47, m48, m49, m50, m51, m52, m53, m54, m55, m56, m57, m58, m59, m60, m61, m62, m63;
};
QUARROW_TYPE(wide, m0, m1, m2, m3, m4, m5, m6, m7, m8, m9, m10, m11, m12, m13, m14, m15, m16, m17, m18, m19, m20, m21,
             m22, m23, m24, m25, m26, m27, m28, m29, m30, m31, m32, m33, m34, m35, m36, m37, m38, m39, m40, m41, m42,
             m43, m44, m45, m46, m47, m48, m49, m50, m51, m52, m53, m54, m55, m56, m57, m58, m59, m60, m61, m62,
             QUARROW_MEMBER(m63, "last"));

// A "maybe" of the user's own, written as null when empty.
template<typename T>
struct maybe
{
    bool present;
    T value;
};

} // namespace app

namespace quarrow
{
template<typename T>
struct adl_serializer<app::maybe<T>>
{
    static void to_json(json& j, const app::maybe<T>& m)
    {
        j = m.present ? json(m.value) : json();
    }
    static void from_json(const json& j, app::maybe<T>& m)
    {
        m.present = not j.is_null();
        m.value = m.present ? j.get<T>() : T();
    }
};

template<typename T>
struct optional_member<app::maybe<T>>
{
    static bool is_empty(const app::maybe<T>& m) noexcept
    {
        return not m.present;
    }
    static constexpr bool written_as_null = true;
};
} // namespace quarrow

namespace app
{
struct profile
{
    std::string name;
    maybe<int> age;
#if __cplusplus >= 201703L
    std::optional<std::string> email;
#endif
};
#if __cplusplus >= 201703L
QUARROW_TYPE(profile, name, age, email);
#else
QUARROW_TYPE(profile, name, age);
#endif
} // namespace app

namespace
{

using app::level;

app::service sample_service()
{
    app::service s;
    s.name = "search";
    s.servers = {{"a.example", 8080}, {"b.example", 8081}};
    s.by_zone = {{"eu", {"eu.example", 443}}};
    s.priority = level::high;
    s.max_retries = 3;
    return s;
}

const char* const sample_service_text =
    R"({"by_zone":{"eu":{"host":"eu.example","port":443}},"max-retries":3,"name":"search","priority":"high",)"
    R"("servers":[{"host":"a.example","port":8080},{"host":"b.example","port":8081}]})";

TEST(Mapping, NestedTypesRoundTripThroughValuesAndText)
{
    const json written = sample_service();
    EXPECT_EQ(written, json::parse(sample_service_text));
    // Read back, and written again: the same value, whether read from the
    // value or from its text, alone or inside containers.
    EXPECT_EQ(json(written.get<app::service>()), written);
    EXPECT_EQ(json(json::parse(written.dump()).get<app::service>()), written);
    using services = std::map<std::string, std::vector<app::service>>;
    const services fleet = {{"x", {sample_service(), sample_service()}}};
    EXPECT_EQ(json(json::parse(json(fleet).dump()).get<services>()), json(fleet));
}

TEST(Mapping, PrivateMembersRenamedAndRecursive)
{
    app::account owner("ann", 1250);
    owner.add_joint(app::account("bob", -3));
    const json written = owner;
    EXPECT_EQ(written, json::parse(R"({"cents":1250,"joint":[{"cents":-3,"joint":[],"owner":"bob"}],"owner":"ann"})"));
    EXPECT_EQ(owner.as_text_and_back(), written);
}

TEST(Mapping, SixtyFourMembers)
{
    app::wide w{};
    int* const first = &w.m0;
    for (int i = 0; i < 64; ++i)
    {
        first[i] = i * 7;
    }
    const json written = w;
    ASSERT_EQ(written.size(), 64u);
    for (int i = 0; i < 63; ++i)
    {
        EXPECT_EQ(written.at("m" + std::to_string(i)), i * 7);
    }
    EXPECT_EQ(written.at("last"), 63 * 7);
    const app::wide read = json::parse(written.dump()).get<app::wide>();
    EXPECT_EQ(std::vector<int>(&read.m0, &read.m0 + 64), std::vector<int>(first, first + 64));
}

TEST(Mapping, MissingMembersAreRefusedOrKeepTheirDefaults)
{
    try
    {
        json::parse(R"({"host":"h"})").get<app::endpoint>();
        ADD_FAILURE() << "no exception";
    }
    catch (const json::out_of_range& e)
    {
        EXPECT_STREQ(e.what(), "[json.exception.out_of_range.403] key 'port' not found");
        EXPECT_EQ(e.path(), "");
    }

    struct defaults_case
    {
        const char* text;
        int timeout;
        const char* mode;
        std::vector<int> ports;
    };
    const defaults_case cases[] = {
        {"{}", 30, "fast", {80, 443}},
        {R"({"timeout":5})", 5, "fast", {80, 443}},
        {R"({"ports":[],"mode":"safe","unknown":true})", 30, "safe", {}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.text);
        const auto s = json::parse(c.text).get<app::settings>();
        EXPECT_EQ(s.timeout, c.timeout);
        EXPECT_EQ(s.mode, c.mode);
        EXPECT_EQ(s.ports, c.ports);
    }
    const auto hidden = json::parse(R"({"retries":9})").get<app::hidden_settings>();
    EXPECT_EQ(hidden.timeout(), 5);
    EXPECT_EQ(hidden.retries(), 9);
    EXPECT_EQ(json(hidden), json::parse(R"({"retries":9,"timeout":5})"));
    // A null member is no missing one: it is read, and refused by int.
    EXPECT_THROW(json::parse(R"({"timeout":null})").get<app::settings>(), json::type_error);
    EXPECT_THROW(json::array().get<app::settings>(), json::type_error);
}

TEST(MappingEnum, EveryTextBothWaysAndTheRefusals)
{
    const std::pair<level, const char*> mapped[] = {
        {level::low, "low"}, {level::medium, "medium"}, {level::high, "high"}};
    for (const auto& m : mapped)
    {
        EXPECT_EQ(json(m.first), m.second);
        EXPECT_EQ(json(m.second).get<level>(), m.first);
    }
    EXPECT_EQ(json(app::green), "green");
    EXPECT_EQ(json("vert").get<app::colour>(), app::green);

    struct refusal
    {
        std::function<void()> run;
        const char* what;
    };
    const refusal refusals[] = {
        {[] { static_cast<void>(json(level::unmapped)); },
         R"([json.exception.out_of_range.409] enumerator 3 has no text; the texts are "low", "medium", "high")"},
        {[] { static_cast<void>(json(static_cast<app::colour>(3))); },
         R"([json.exception.out_of_range.409] enumerator 3 has no text; the texts are "red", "green", "vert")"},
        {[] { json("Low").get<level>(); },
         R"([json.exception.out_of_range.410] text "Low" names no enumerator; the texts are "low", "medium", "high")"},
        {[] { json("a\"b").get<level>(); },
         R"([json.exception.out_of_range.410] text "a\"b" names no enumerator; the texts are "low", "medium", "high")"},
        {[] { json(1).get<level>(); }, "[json.exception.type_error.302] type must be string, but is number"},
    };
    for (const auto& r : refusals)
    {
        SCOPED_TRACE(r.what);
        try
        {
            r.run();
            ADD_FAILURE() << "no exception";
        }
        catch (const json::exception& e)
        {
            EXPECT_STREQ(e.what(), r.what);
        }
    }
}

TEST(MappingOptional, EmptyIsLeftOutOrNullAndMissingOrNullReadsAsEmpty)
{
    app::profile p;
    p.name = "ann";
    p.age = {false, 0};
#if __cplusplus >= 201703L
    // std::optional is left out when empty; the maybe asks for null.
    EXPECT_EQ(json(p), json::parse(R"({"name":"ann","age":null})"));
    p.age = {true, 41};
    p.email = "ann@example.org";
    EXPECT_EQ(json(p), json::parse(R"({"name":"ann","age":41,"email":"ann@example.org"})"));
#else
    EXPECT_EQ(json(p), json::parse(R"({"name":"ann","age":null})"));
    p.age = {true, 41};
    EXPECT_EQ(json(p), json::parse(R"({"name":"ann","age":41})"));
#endif

    struct read_case
    {
        const char* text;
        bool age_present;
        int age;
        bool email_present;
    };
    const read_case cases[] = {
        {R"({"name":"x"})", false, 0, false},
        {R"({"name":"x","age":null,"email":null})", false, 0, false},
        {R"({"name":"x","age":7,"email":"e"})", true, 7, true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.text);
        const auto read = json::parse(c.text).get<app::profile>();
        EXPECT_EQ(read.age.present, c.age_present);
        EXPECT_EQ(read.age.value, c.age);
#if __cplusplus >= 201703L
        EXPECT_EQ(read.email.has_value(), c.email_present);
#endif
    }
    // The name is no optional member.
    EXPECT_THROW(json::parse(R"({"age":1})").get<app::profile>(), json::out_of_range);
}

#if __cplusplus >= 201703L
TEST(StandardTypes, VariantTriesItsAlternativesInOrder)
{
    using number_or_text = std::variant<std::monostate, int, double, std::string, std::vector<int>>;
    struct variant_case
    {
        json value;
        std::size_t index;
    };
    // 2.0 is an integer to int, which comes before double; 2.5 is not.
    const variant_case cases[] = {{json(), 0},    {json(2), 1},         {json(2.0), 1},
                                  {json(2.5), 2}, {json("2"), 3},       {json{1, 2}, 4}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.value.dump());
        const auto read = c.value.get<number_or_text>();
        EXPECT_EQ(read.index(), c.index);
        EXPECT_EQ(json(read), c.value);
    }
    using double_or_int = std::variant<double, int>;
    EXPECT_EQ(json(double_or_int(3)), 3);
    EXPECT_EQ(json(1).get<double_or_int>().index(), 0u);

    number_or_text target = 5;
    try
    {
        json{{"k", 1}}.get_to(target);
        ADD_FAILURE() << "no exception";
    }
    catch (const json::type_error& e)
    {
        EXPECT_STREQ(e.what(), "[json.exception.type_error.317] no alternative of the variant reads the object");
    }
    EXPECT_EQ(std::get<int>(target), 5);
    EXPECT_THROW(json(0).get<std::monostate>(), json::type_error);
}

TEST(StandardTypes, StringViewViewsTheStoredString)
{
    const json text = std::string("a\0b", 3);
    const auto view = text.get<std::string_view>();
    EXPECT_EQ(view.data(), text.get_ref<const std::string&>().data());
    EXPECT_EQ(view.size(), 3u);
    EXPECT_THROW(json(1).get<std::string_view>(), json::type_error);
}
#endif

} // namespace

// Guarded access: at() by key and by index, the const operator[] by index,
// front() and back(), emplace(), and string-like keys.

#include <quarrow/json.hpp>

#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <limits>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#if __cplusplus >= 201703L
#include <string_view>
#endif

namespace
{

using quarrow::json;

std::vector<std::string> keys_of(const json& object)
{
    std::vector<std::string> keys;
    for (const auto& member : *object.get_ptr<const json::object_t*>())
    {
        keys.push_back(member.first);
    }
    return keys;
}

const std::string& text_of(const json& value)
{
    return value.get_ref<const json::string_t&>();
}

class KeyedAccess : public ::testing::Test
{
  protected:
    json trio = {{"the good", "il buono"}, {"the bad", "il cattivo"}, {"the ugly", "il brutto"}};
    const std::vector<std::string> trio_keys = {"the bad", "the good", "the ugly"};
};

TEST_F(KeyedAccess, ReturnsTheMemberForReadingAndAssignment)
{
    EXPECT_EQ(text_of(trio.at("the ugly")), "il brutto");

    trio.at("the bad") = "il rapido";
    EXPECT_EQ(text_of(trio.at("the bad")), "il rapido");
    EXPECT_EQ(keys_of(trio), trio_keys); // same keys, count and order
    EXPECT_EQ(text_of(trio.at("the good")), "il buono");
}

TEST_F(KeyedAccess, WorksOnAConstValue)
{
    const json& reader = trio;
    EXPECT_EQ(text_of(reader.at("the good")), "il buono");
    EXPECT_THROW(reader.at("the fast"), json::out_of_range);
}

TEST_F(KeyedAccess, MissingKeyThrows403AndInsertsNothing)
{
    struct missing_case
    {
        std::string key;
        const char* why;
    };
    const missing_case cases[] = {
        {"the fast", "absent"},
        {"", "empty key, no member has it"},
        {"THE BAD", "keys differ by letter case"},
        {"the bad ", "a trailing blank is a byte too"},
        {"it's \"\\\x80\xff", "quote, backslash and high bytes are copied verbatim"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.why);
        try
        {
            trio.at(c.key) = "il rapido";
            ADD_FAILURE() << "no exception";
        }
        catch (const json::out_of_range& e)
        {
            EXPECT_EQ(e.what(), "[json.exception.out_of_range.403] key '" + c.key + "' not found");
            EXPECT_EQ(e.id, 403);
        }
        EXPECT_EQ(keys_of(trio), trio_keys);
    }
}

TEST_F(KeyedAccess, MissingKeyIsNotAStandardOutOfRange)
{
    bool caught_by_family = false;
    try
    {
        try
        {
            trio.at("the fast");
        }
        catch (const std::out_of_range&)
        {
            ADD_FAILURE() << "the standard exception reached the caller";
        }
    }
    catch (const quarrow::detail::exception&)
    {
        caught_by_family = true;
    }
    EXPECT_TRUE(caught_by_family);
}

// A value of each kind that is not the container an accessor needs.
struct wrong_kind_case
{
    json value;
    const char* type_name;
};

std::vector<wrong_kind_case> non_objects()
{
    return {{json(), "null"}, {json({1, 2}), "array"}, {json("x"), "string"}, {json(17), "number"}};
}

TEST(KeyedAccessOnOtherKinds, Throws304WithTheTypeNameAndChangesNothing)
{
    for (auto& c : non_objects())
    {
        SCOPED_TRACE(c.type_name);
        const std::size_t size_before = c.value.size();
        try
        {
            c.value.at("the bad");
            ADD_FAILURE() << "no exception";
        }
        catch (const json::type_error& e)
        {
            EXPECT_EQ(e.what(), std::string("[json.exception.type_error.304] cannot use at() with ") + c.type_name);
        }
        EXPECT_EQ(c.value.type_name(), c.type_name);
        EXPECT_EQ(c.value.size(), size_before);
    }
}

TEST(IndexAccess, ReturnsElementsInStoredOrder)
{
    const json single = {"only"};
    EXPECT_EQ(text_of(single[0]), "only");

    const json list = {"first", 2, "last"};
    EXPECT_EQ(text_of(list[0]), "first");
    EXPECT_EQ(list[1].get_ref<const json::number_integer_t&>(), 2);
    EXPECT_EQ(text_of(list[list.size() - 1]), "last");
}

TEST(IndexAccess, OnAnythingButAnArrayThrows305AndConvertsNothing)
{
    std::vector<wrong_kind_case> cases = {{json(), "null"},
                                          {json({{"k", "v"}}), "object"},
                                          {json("x"), "string"},
                                          {json(17), "number"}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.type_name);
        try
        {
            c.value[0];
            ADD_FAILURE() << "no exception";
        }
        catch (const json::type_error& e)
        {
            EXPECT_EQ(e.what(), std::string("[json.exception.type_error.305] cannot use operator[] with ") + c.type_name);
        }
        EXPECT_EQ(c.value.type_name(), c.type_name);
    }
}

// Nothing past the end is ever read, whatever the build mode.
TEST(IndexAccess, PastTheEndThrows401NamingTheIndex)
{
    const json list = {1, 2};
    for (const std::size_t index : {std::size_t{2}, std::size_t{1000}})
    {
        try
        {
            list[index];
            ADD_FAILURE() << "no exception";
        }
        catch (const json::out_of_range& e)
        {
            EXPECT_EQ(e.what(), "[json.exception.out_of_range.401] array index " + std::to_string(index) +
                                    " is out of range for an array of size 2");
        }
    }
    const json empty(std::initializer_list<json>{}, false, json::value_t::array);
    EXPECT_THROW(empty[0], json::out_of_range);
}


// The message of the exception f throws, or "no exception".
template<typename F>
std::string thrown_by(F f)
{
    try
    {
        f();
    }
    catch (const json::exception& e)
    {
        return e.what();
    }
    return "no exception";
}

TEST(IndexAt, ReturnsTheElementConstOrNot)
{
    json list = {"first", 2, "last"};
    const json& reader = list;
    EXPECT_EQ(text_of(reader.at(0)), "first");
    EXPECT_EQ(reader.at(1), 2);
    EXPECT_EQ(&reader.at(2), &list.at(2));
    list.at(1) = "two";
    EXPECT_EQ(list, json({"first", "two", "last"}));
}

TEST(IndexAt, ErrorsNameTheKindOrTheIndexAndTheSize)
{
    struct error_case
    {
        json value;
        std::size_t index;
        std::string what;
    };
    const std::size_t huge = std::numeric_limits<std::size_t>::max();
    const error_case cases[] = {
        {json({1, 2}), 2, "[json.exception.out_of_range.401] array index 2 is out of range for an array of size 2"},
        {json({1, 2}), huge,
         "[json.exception.out_of_range.401] array index " + std::to_string(huge) +
             " is out of range for an array of size 2"},
        {json(json::value_t::array), 0,
         "[json.exception.out_of_range.401] array index 0 is out of range for an array of size 0"},
        {json(), 0, "[json.exception.type_error.304] cannot use at() with null"},
        {json({{"0", 1}}), 0, "[json.exception.type_error.304] cannot use at() with object"},
        {json("x"), 0, "[json.exception.type_error.304] cannot use at() with string"},
        {json(1.5), 0, "[json.exception.type_error.304] cannot use at() with number"},
    };
    for (const auto& c : cases)
    {
        json value = c.value;
        const json& reader = value;
        SCOPED_TRACE(c.value.dump() + " at " + std::to_string(c.index));
        EXPECT_EQ(thrown_by([&] { value.at(c.index); }), c.what);
        EXPECT_EQ(thrown_by([&] { reader.at(c.index); }), c.what);
        EXPECT_EQ(value, c.value); // nothing grown, nothing converted
    }
}

// The index forms keep their meaning beside the key forms, 0 included,
// which would also convert to a null character pointer.
TEST(IndexAt, ZeroIsAnIndexAndALiteralAKey)
{
    json list = {"a", "b"};
    EXPECT_EQ(list.at(0), "a");
    EXPECT_EQ(list[0], "a");
    list.erase(0);
    EXPECT_EQ(list, json({"b"}));
    json object;
    object["0"] = 1;
    EXPECT_EQ(object.at("0"), 1);
    EXPECT_EQ(object.erase("0"), 1u);
    static_assert(std::is_same<decltype(list.at(0)), json&>::value, "at(index) on a value");
    static_assert(std::is_same<decltype(static_cast<const json&>(list).at(0)), const json&>::value,
                  "at(index) on a const value");
}

TEST(FrontBack, TheEndsOfWhatBeginWalks)
{
    struct ends_case
    {
        json value;
        json front;
        json back;
        const char* why;
    };
    const ends_case cases[] = {
        {{1, "two", 3.5}, 1, 3.5, "array elements"},
        {{7}, 7, 7, "one element is both"},
        {{{"b", 2}, {"a", 1}, {"c", 3}}, 1, 3, "member values in key order"},
        {"text", "text", "text", "a string is its own one element"},
        {false, false, false, "a boolean too"},
        {-4, -4, -4, "a number too"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.why);
        json value = c.value;
        const json& reader = value;
        EXPECT_EQ(reader.front(), c.front);
        EXPECT_EQ(reader.back(), c.back);
        EXPECT_EQ(&value.front(), &*value.begin());
        EXPECT_EQ(&value.back(), &*--value.end());
        value.front() = "changed";
        EXPECT_EQ(*value.begin(), "changed");
    }
}

TEST(FrontBack, NothingToReturnThrows412)
{
    const json cases[] = {json(), json(json::value_t::array), json(json::value_t::object)};
    for (const json& c : cases)
    {
        json value = c;
        const std::string kind = c.type_name();
        EXPECT_EQ(thrown_by([&] { value.front(); }),
                  "[json.exception.out_of_range.412] cannot use front() with " + kind + " of size 0");
        EXPECT_EQ(thrown_by([&] { c.back(); }),
                  "[json.exception.out_of_range.412] cannot use back() with " + kind + " of size 0");
        EXPECT_EQ(value, c);
    }
}

// A value whose conversion throws, to show that a failed emplace changes nothing.
struct refuses
{};

void to_json(json& /*unused*/, const refuses& /*unused*/)
{
    throw std::runtime_error("refused");
}

TEST(Emplace, AddsANewKeyAndLeavesAnExistingOne)
{
    json object = {{"a", 1}};
    const auto added = object.emplace("b", json::array_t{json(1), json(2)});
    EXPECT_TRUE(added.second);
    EXPECT_EQ(added.first.key(), "b");
    EXPECT_EQ(&*added.first, &object.at("b"));
    EXPECT_EQ(object, json({{"a", 1}, {"b", {1, 2}}}));

    std::string spare(40, 'x'); // past any small-string buffer, so a move would show
    const auto kept = object.emplace("a", std::move(spare));
    EXPECT_FALSE(kept.second);
    EXPECT_EQ(&*kept.first, &object.at("a"));
    EXPECT_EQ(spare, std::string(40, 'x')); // not moved from: nothing was built
    EXPECT_EQ(object.at("a"), 1);

    EXPECT_TRUE(object.emplace("c").second); // no arguments: null
    EXPECT_EQ(object.at("c"), json());

    json null;
    const auto first = null.emplace("k", "v");
    EXPECT_TRUE(first.second);
    EXPECT_EQ(null, json({{"k", "v"}}));
    EXPECT_EQ(first.first, null.find("k"));
}

TEST(Emplace, ErrorsLeaveTheValueAsItWas)
{
    for (const json& c : {json({1}), json("x"), json(2), json(true)})
    {
        json value = c;
        EXPECT_EQ(thrown_by([&] { value.emplace("k", 1); }),
                  "[json.exception.type_error.320] cannot use emplace() with " + c.type_name());
        EXPECT_EQ(value, c);
    }
    for (const json& c : {json(), json({{"a", 1}})})
    {
        json value = c;
        EXPECT_THROW(value.emplace("k", refuses()), std::runtime_error);
        EXPECT_EQ(value, c);
        EXPECT_EQ(value.type(), c.type()); // a null stays null
        const char* const null_key = nullptr;
        EXPECT_EQ(thrown_by([&] { value.emplace(null_key, 1); }),
                  "[json.exception.other_error.501] cannot create string from null pointer");
        EXPECT_EQ(value, c);
    }
}

// Every string-like key reaches the member a string_t key does, through each
// accessor, and a null character pointer is other_error 501, never a read.
TEST(StringLikeKeys, EveryAccessorTakesThem)
{
    struct key_form
    {
        const char* why;
        std::function<json&(json&)> subscript;
        std::function<const json&(const json&)> at;
        std::function<std::size_t(json&)> erase;
        std::function<bool(json&)> emplace;
    };
    const char pointer_text[] = "key";
    const char* const pointer = pointer_text;
    const std::string text = "key";
    std::vector<key_form> forms = {
        {"a literal", [](json& j) -> json& { return j["key"]; }, [](const json& j) -> const json& { return j.at("key"); },
         [](json& j) { return j.erase("key"); }, [](json& j) { return j.emplace("key", 0).second; }},
        {"a character pointer", [&](json& j) -> json& { return j[pointer]; },
         [&](const json& j) -> const json& { return j.at(pointer); }, [&](json& j) { return j.erase(pointer); },
         [&](json& j) { return j.emplace(pointer, 0).second; }},
        {"a string_t", [&](json& j) -> json& { return j[text]; }, [&](const json& j) -> const json& { return j.at(text); },
         [&](json& j) { return j.erase(text); }, [&](json& j) { return j.emplace(text, 0).second; }},
#if __cplusplus >= 201703L
        {"a string_view cut from a longer text", [](json& j) -> json& { return j[std::string_view("keys", 3)]; },
         [](const json& j) -> const json& { return j.at(std::string_view("keys", 3)); },
         [](json& j) { return j.erase(std::string_view("keys", 3)); },
         [](json& j) { return j.emplace(std::string_view("keys", 3), 0).second; }},
#endif
    };
    for (const auto& form : forms)
    {
        SCOPED_TRACE(form.why);
        json object = {{"key", 1}, {"other", 2}};
        const json& reader = object;
        EXPECT_EQ(&form.at(reader), &object.find("key").value());
        EXPECT_EQ(&form.subscript(object), &object.find("key").value());
        EXPECT_FALSE(form.emplace(object));
        EXPECT_EQ(form.erase(object), 1u);
        EXPECT_EQ(form.erase(object), 0u);
        EXPECT_EQ(object, json({{"other", 2}}));
        EXPECT_THROW(form.at(reader), json::out_of_range);
        form.subscript(object) = 3; // inserted
        EXPECT_EQ(object, json({{"key", 3}, {"other", 2}}));
        EXPECT_EQ(form.erase(object), 1u);
        EXPECT_TRUE(form.emplace(object));
        EXPECT_EQ(object, json({{"key", 0}, {"other", 2}}));
    }

    json object = {{"key", 1}};
    const json& reader = object;
    const char* const null_key = nullptr;
    const std::string null_error = "[json.exception.other_error.501] cannot create string from null pointer";
    EXPECT_EQ(thrown_by([&] { object.at(null_key); }), null_error);
    EXPECT_EQ(thrown_by([&] { reader.at(null_key); }), null_error);
    EXPECT_EQ(thrown_by([&] { object[null_key]; }), null_error);
    EXPECT_EQ(thrown_by([&] { reader[null_key]; }), null_error);
    EXPECT_EQ(thrown_by([&] { object.erase(null_key); }), null_error);
    EXPECT_EQ(thrown_by([&] { object.find(null_key); }), null_error);
    EXPECT_EQ(object, json({{"key", 1}}));
}

} // namespace

// Objects and arrays written as brace lists, and the rule that tells them apart.

#include <quarrow/json.hpp>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

using quarrow::json;
using value_t = json::value_t;

std::vector<std::string> keys_of(const json& object)
{
    std::vector<std::string> keys;
    for (const auto& member : object.get_ref<const json::object_t&>())
    {
        keys.push_back(member.first);
    }
    return keys;
}

const std::string& text_of(const json& value)
{
    return value.get_ref<const json::string_t&>();
}

TEST(BraceList, EmptyListIsAnEmptyObject)
{
    const json empty = std::initializer_list<json>{};
    EXPECT_TRUE(empty.is_object());
    EXPECT_EQ(empty.size(), 0u);
}

// C++ value-initialises from empty braces when a default constructor exists.
TEST(BraceList, EmptyBracesAloneAreNull)
{
    const json braces = {};
    EXPECT_EQ(braces.type_name(), "null");

    const json nested = {json(), 1};
    const json written = {{}, 1};
    EXPECT_EQ(written.type_name(), "array");
    EXPECT_EQ(written[0].type_name(), "null");
    EXPECT_EQ(written.size(), nested.size());
}

TEST(BraceList, TwoStringsAreAnArray)
{
    const json pair = {"the good", "il buono"};
    ASSERT_TRUE(pair.is_array());
    EXPECT_EQ(pair.size(), 2u);
    EXPECT_EQ(text_of(pair[0]), "the good");
    EXPECT_EQ(text_of(pair[1]), "il buono");
}

TEST(BraceList, PairsWithStringKeysAreAnObjectInKeyOrder)
{
    const json trio = {{"the good", "il buono"}, {"the bad", "il cattivo"}, {"the ugly", "il brutto"}};
    ASSERT_TRUE(trio.is_object());
    EXPECT_EQ(keys_of(trio), (std::vector<std::string>{"the bad", "the good", "the ugly"}));
    EXPECT_EQ(text_of(trio.at("the bad")), "il cattivo");
}

TEST(BraceList, KeysAreOrderedByUnsignedBytesPrefixFirst)
{
    const json object = {{"\xc3\xa9", 1}, {"z", 2}, {"ab", 3}, {"", 4}, {"a", 5}, {"\x7f", 6}};
    EXPECT_EQ(keys_of(object), (std::vector<std::string>{"", "a", "ab", "z", "\x7f", "\xc3\xa9"}));
}

TEST(BraceList, FirstEntryWithAKeyWins)
{
    const json object = {{"k", "first"}, {"k", "second"}};
    EXPECT_EQ(object.size(), 1u);
    EXPECT_EQ(text_of(object.at("k")), "first");
}

TEST(BraceList, MemberValuesMayBeOfAnyKind)
{
    const json object = {{"n", 1}, {"list", {1, 2, 3}}, {"inner", {{"k", "v"}}}, {"null", json()}};
    EXPECT_EQ(object.at("list").size(), 3u);
    EXPECT_TRUE(object.at("inner").is_object());
    EXPECT_EQ(object.at("null").type_name(), "null");
}

// One entry that fails the pair test anywhere makes every entry an element, unchanged.
TEST(BraceList, OneNonPairMakesTheWholeListAnArray)
{
    const json pair = {"k", "v"};
    struct array_case
    {
        const char* why;
        json value;
        std::size_t non_pair_at;
    };
    const array_case cases[] = {
        {"a string among pairs", {pair, "loose", pair}, 1},
        {"a three-entry array", {pair, {"a", "b", "c"}}, 1},
        {"a pair whose first entry is a number", {{1, "one"}, pair}, 0},
        {"a null", {pair, json()}, 1},
        {"an empty array", {pair, json(std::initializer_list<json>{}, false)}, 1},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.why);
        ASSERT_TRUE(c.value.is_array());
        for (std::size_t i = 0; i < c.value.size(); ++i)
        {
            if (i != c.non_pair_at)
            {
                EXPECT_TRUE(c.value[i].is_array());
                EXPECT_EQ(text_of(c.value[i][0]), "k");
                EXPECT_EQ(text_of(c.value[i][1]), "v");
            }
        }
    }
}

TEST(BraceList, APairMadeBeforehandPassesLikeANestedList)
{
    const json made_before = {"the good", "il buono"};
    const json object = {made_before, {"the bad", "il cattivo"}};
    ASSERT_TRUE(object.is_object());
    EXPECT_EQ(text_of(object.at("the good")), "il buono");
}

TEST(BraceList, ManualArrayKeepsPairsAsElements)
{
    const json forced = json({{"k", "v"}, {"l", "w"}}, false, value_t::array);
    ASSERT_TRUE(forced.is_array());
    EXPECT_EQ(forced.size(), 2u);
    EXPECT_EQ(text_of(forced[1][0]), "l");

    const json empty = json(std::initializer_list<json>{}, false, value_t::array);
    EXPECT_TRUE(empty.is_array());
    EXPECT_EQ(empty.size(), 0u);
}

TEST(BraceList, ManualObjectAcceptsPairsAndTheEmptyList)
{
    const json object = json({{"k", "v"}}, false, value_t::object);
    EXPECT_TRUE(object.is_object());
    const json empty = json(std::initializer_list<json>{}, false, value_t::object);
    EXPECT_TRUE(empty.is_object());
}

TEST(BraceList, ManualObjectOfANonPairThrows301)
{
    try
    {
        const json object = json({{"k", "v"}, {"loose"}}, false, value_t::object);
        ADD_FAILURE() << "no exception";
    }
    catch (const json::type_error& e)
    {
        EXPECT_STREQ(e.what(), "[json.exception.type_error.301] cannot create object from initializer list");
        EXPECT_EQ(e.id, 301);
    }
}

// Only array and object change the outcome; any other manual kind leaves the rule in charge.
TEST(BraceList, OtherManualKindsLeaveTheRuleInCharge)
{
    EXPECT_TRUE(json({{"k", "v"}}, false, value_t::string).is_object());
    EXPECT_TRUE(json({1, 2}, false, value_t::null).is_array());
    EXPECT_TRUE(json({{"k", "v"}}, true, value_t::array).is_object()); // deduction on: manual_type unread
}

TEST(BraceList, ResultSharesNothingWithTheList)
{
    const json entry = {"the good", "il buono"};
    json object = {entry, {"the bad", "il cattivo"}};
    object.at("the good") = "changed";
    EXPECT_EQ(text_of(entry[1]), "il buono");

    json array = {entry, 1};
    EXPECT_NE(&array[0], &entry);
    EXPECT_EQ(text_of(array[0][1]), "il buono");
}

} // namespace

// Looking members up: find, contains and count, on every kind of value.

#include <quarrow/json.hpp>

#include <gtest/gtest.h>

#include <string>
#include <vector>
#if defined(__cpp_lib_string_view)
#include <string_view>
#endif

namespace
{

using quarrow::json;

TEST(Lookup, FindsPresentKeysAndReportsMissingOnesOnEveryKind)
{
    const json trio = {{"the good", "il buono"}, {"the bad", "il cattivo"}, {"", "empty key"}};
    struct lookup_case
    {
        json value;
        std::string key;
        bool present;
        const char* why;
    };
    const std::vector<lookup_case> cases = {
        {trio, "the good", true, "present"},
        {trio, "", true, "the empty key is a key like any other"},
        {trio, "the fast", false, "missing"},
        {trio, "THE GOOD", false, "keys match byte for byte"},
        {trio, "the good ", false, "a trailing blank is a byte too"},
        {json(), "the good", false, "null has no members"},
        {json({"the good", "il buono"}), "the good", false, "an array's elements are not keys"},
        {json("the good"), "the good", false, "nor is a string's text"},
        {json(17), "17", false, "nor a number"},
        {json(json::value_t::object), "", false, "the empty object"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.why);
        json mutable_value = c.value;
        EXPECT_EQ(c.value.contains(c.key), c.present);
        EXPECT_EQ(c.value.count(c.key), c.present ? 1u : 0u);
        const auto found = c.value.find(c.key);
        const auto found_mutable = mutable_value.find(c.key);
        EXPECT_EQ(found == c.value.end(), not c.present);
        EXPECT_EQ(found_mutable == mutable_value.end(), not c.present);
        if (c.present)
        {
            EXPECT_EQ(found.key(), c.key);
            EXPECT_EQ(*found, c.value.at(c.key));
            EXPECT_EQ(&*found_mutable, &mutable_value.at(c.key)); // the member itself, not a copy
        }
        EXPECT_EQ(mutable_value, c.value); // a lookup never inserts
    }
}

TEST(Lookup, TakesEveryStringLikeKey)
{
    json object = {{"key", 1}};
    const char* pointer = "key";
    const char array[] = "key";
    const std::string text = "key";
    EXPECT_TRUE(object.contains(pointer));
    EXPECT_TRUE(object.contains(array));
    EXPECT_TRUE(object.contains(text));
    EXPECT_TRUE(object.contains(std::string("key")));
    EXPECT_EQ(object.find("key").key(), "key");
#if defined(__cpp_lib_string_view)
    const std::string_view view = "key and more";
    EXPECT_TRUE(object.contains(view.substr(0, 3)));
    EXPECT_FALSE(object.contains(view));
    EXPECT_EQ(object.find(view.substr(0, 3)), object.begin());
    EXPECT_EQ(object.count(view.substr(0, 3)), 1u);
#endif
}

TEST(Lookup, FoundIteratorChangesTheMember)
{
    json object = {{"a", 1}, {"b", 2}};
    object.find("b").value() = "two";
    *object.find("a") = "one";
    EXPECT_EQ(object, json({{"a", "one"}, {"b", "two"}}));
}

} // namespace

// Changing values: operator[], push_back, emplace_back, insert, update, erase,
// clear and swap, on every kind, and their errors.

#include <quarrow/json.hpp>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace
{

using quarrow::json;

// One change: the value before, what is done to it, and the value after.
struct change_case
{
    const char* why;
    json before;
    std::function<void(json&)> change;
    json after;
};

void check_changes(const std::vector<change_case>& cases)
{
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.why);
        json value = c.before;
        c.change(value);
        EXPECT_EQ(value.dump(), c.after.dump()); // the text also tells 1 from 1.0 and keeps member order
    }
}

TEST(Change, OperatorBracketsInsertKeysAndReplaceElements)
{
    check_changes({
        {"a null becomes an object", json(), [](json& j) { j["k"] = 1; }, {{"k", 1}}},
        {"a missing key is inserted as null", {{"a", 1}}, [](json& j) { j["b"]; }, {{"a", 1}, {"b", nullptr}}},
        {"a present key is replaced, not doubled", {{"a", 1}}, [](json& j) { j["a"] = "x"; }, {{"a", "x"}}},
        {"nested keys build nested objects", json(), [](json& j) { j["a"]["b"] = true; }, {{"a", {{"b", true}}}}},
        {"an index replaces an element", {1, 2, 3}, [](json& j) { j[1] = "two"; }, {1, "two", 3}},
        {"an index past the end grows the array with nulls", {1}, [](json& j) { j[2] = 3; }, {1, nullptr, 3}},
        {"a null becomes an array", json(), [](json& j) { j[1] = true; }, {nullptr, true}},
        {"a string key given as std::string", json(json::value_t::object), [](json& j) { j[std::string("s")] = 0.5; },
         {{"s", 0.5}}},
    });
}

TEST(Change, AppendingToArraysAndObjects)
{
    const json element = {{"nested", {1, 2}}};
    check_changes({
        {"push_back on null makes an array", json(), [](json& j) { j.push_back(1); }, {1}},
        {"push_back appends at the end", {1}, [](json& j) { j.push_back("x"); }, {1, "x"}},
        {"push_back copies an lvalue", {1}, [&](json& j) { j.push_back(element); }, {1, element}},
        {"push_back of an element of the array itself", {"a", "b"}, [](json& j) { j.push_back(j[0]); },
         {"a", "b", "a"}},
        {"push_back of a braced list onto an array appends an array", {1}, [](json& j) { j.push_back({2, 3}); },
         {1, {2, 3}}},
        {"push_back of a pair onto an object adds a member", {{"a", 1}},
         [](json& j) { j.push_back(json::object_t::value_type("b", 2)); }, {{"a", 1}, {"b", 2}}},
        {"push_back of a key/value list onto an object adds a member", {{"a", 1}},
         [](json& j) { j.push_back({"b", 2}); }, {{"a", 1}, {"b", 2}}},
        {"push_back of a present key keeps the member", {{"a", 1}}, [](json& j) { j.push_back({"a", 2}); },
         {{"a", 1}}},
        {"push_back of a key/value list onto null adds a member", json(), [](json& j) { j.push_back({"k", 1}); },
         {{"k", 1}}},
        {"emplace_back builds in place", {1}, [](json& j) { j.emplace_back("text"); }, {1, "text"}},
        {"emplace_back returns the new element", json(), [](json& j) { j.emplace_back(1) = 2; }, {2}},
    });
}

TEST(Change, InsertingIntoArrays)
{
    check_changes({
        {"one value at the front", {1, 2}, [](json& j) { j.insert(j.begin(), 0); }, {0, 1, 2}},
        {"one value at the end", {1, 2}, [](json& j) { j.insert(j.end(), 3); }, {1, 2, 3}},
        {"an lvalue in the middle", {1, 3},
         [](json& j) {
             const json two = 2;
             j.insert(j.begin() + 1, two);
         },
         {1, 2, 3}},
        {"count copies", {1}, [](json& j) { j.insert(j.end(), 2, "x"); }, {1, "x", "x"}},
        {"zero copies change nothing", {1}, [](json& j) { j.insert(j.end(), 0, "x"); }, {1}},
        {"a range of another array", {1, 4},
         [](json& j) {
             const json other = {2, 3, 9};
             j.insert(j.begin() + 1, other.begin(), other.end() - 1);
         },
         {1, 2, 3, 4}},
        {"a range of the array itself", {1, 2}, [](json& j) { j.insert(j.begin(), j.begin(), j.end()); },
         {1, 2, 1, 2}},
        {"the member values of an object", {0},
         [](json& j) {
             const json object = {{"b", 2}, {"a", 1}};
             j.insert(j.end(), object.begin(), object.end());
         },
         {0, 1, 2}},
        {"a brace list", {1, 4}, [](json& j) { j.insert(j.begin() + 1, {2, 3}); }, {1, 2, 3, 4}},
    });
    json array = {1, 2};
    const auto inserted = array.insert(array.begin() + 1, {"a", "b"});
    EXPECT_EQ(inserted - array.begin(), 1);
    EXPECT_EQ(*inserted, "a");
}

TEST(Change, InsertingAndUpdatingObjects)
{
    const json other = {{"b", "new b"}, {"c", "new c"}};
    check_changes({
        {"insert keeps existing members", {{"a", 1}, {"b", 2}}, [&](json& j) { j.insert(other); },
         {{"a", 1}, {"b", 2}, {"c", "new c"}}},
        {"update replaces existing members", {{"a", 1}, {"b", 2}}, [&](json& j) { j.update(other); },
         {{"a", 1}, {"b", "new b"}, {"c", "new c"}}},
        {"insert into null makes an object", json(), [&](json& j) { j.insert(other); }, other},
        {"update of null makes an object", json(), [&](json& j) { j.update(other); }, other},
        {"update with itself changes nothing", {{"a", {1, 2}}}, [](json& j) { j.update(j); }, {{"a", {1, 2}}}},
        {"update with a member of itself", {{"a", {{"a", 1}, {"z", 2}}}}, [](json& j) { j.update(j["a"]); },
         {{"a", 1}, {"z", 2}}},
        {"insert of a range of members", {{"a", 1}},
         [&](json& j) { j.insert(other.find("c"), other.end()); }, {{"a", 1}, {"c", "new c"}}},
        {"insert of one member", {{"a", 1}}, [](json& j) { j.insert(json::object_t::value_type("b", 2)); },
         {{"a", 1}, {"b", 2}}},
    });
    json object = {{"a", 1}};
    const auto kept = object.insert(json::object_t::value_type("a", 2));
    EXPECT_FALSE(kept.second);
    EXPECT_EQ(kept.first.key(), "a");
    EXPECT_EQ(*kept.first, 1);
}

TEST(Change, Erasing)
{
    check_changes({
        {"a key", {{"a", 1}, {"b", 2}}, [](json& j) { EXPECT_EQ(j.erase("a"), 1u); }, {{"b", 2}}},
        {"a missing key", {{"a", 1}}, [](json& j) { EXPECT_EQ(j.erase("z"), 0u); }, {{"a", 1}}},
        {"an index", {1, 2, 3}, [](json& j) { j.erase(1); }, {1, 3}},
        {"an array iterator", {1, 2, 3}, [](json& j) { EXPECT_EQ(*j.erase(j.begin()), 2); }, {2, 3}},
        {"an object iterator", {{"a", 1}, {"b", 2}}, [](json& j) { EXPECT_EQ(j.erase(j.begin()).key(), "b"); },
         {{"b", 2}}},
        {"the last element returns end()", {1, 2}, [](json& j) {
             const auto next = j.erase(j.begin() + 1);
             EXPECT_TRUE(next == j.end());
         },
         {1}},
        {"an array range", {1, 2, 3, 4}, [](json& j) { j.erase(j.begin() + 1, j.begin() + 3); }, {1, 4}},
        {"an object range", {{"a", 1}, {"b", 2}, {"c", 3}}, [](json& j) { j.erase(j.find("b"), j.end()); },
         {{"a", 1}}},
        {"an empty range", {1, 2}, [](json& j) { j.erase(j.begin(), j.begin()); }, {1, 2}},
        {"a string's one element makes it null", "text", [](json& j) { j.erase(j.begin()); }, json()},
        {"a number's whole range makes it null", 17, [](json& j) { j.erase(j.begin(), j.end()); }, json()},
    });
}

TEST(Change, ClearLeavesTheEmptyValueOfTheSameKind)
{
    check_changes({
        {"object", {{"a", 1}}, [](json& j) { j.clear(); }, json(json::value_t::object)},
        {"array", {1, 2}, [](json& j) { j.clear(); }, json::value_t::array},
        {"string", "text", [](json& j) { j.clear(); }, ""},
        {"boolean", true, [](json& j) { j.clear(); }, false},
        {"signed", -3, [](json& j) { j.clear(); }, 0},
        {"unsigned", 3u, [](json& j) { j.clear(); }, 0u},
        {"float", 2.5, [](json& j) { j.clear(); }, 0.0},
        {"null", json(), [](json& j) { j.clear(); }, json()},
    });
    json number = 7u;
    number.clear();
    EXPECT_TRUE(number.is_number_unsigned());
}

TEST(Change, SwapExchangesContents)
{
    json a = {1, 2};
    json b = {{"k", "v"}};
    const json* element = &a[0];
    a.swap(b);
    EXPECT_EQ(b, json({1, 2}));
    EXPECT_EQ(a, json({{"k", "v"}}));
    EXPECT_EQ(&b[0], element); // nothing copied
    using std::swap;
    swap(a, b); // the free function, found by argument-dependent lookup
    EXPECT_EQ(a, json({1, 2}));

    json::array_t array = {true};
    a.swap(array);
    EXPECT_EQ(a, json({true}));
    EXPECT_EQ(array.size(), 2u);
    json::object_t object;
    b.swap(object);
    EXPECT_TRUE(b.empty());
    EXPECT_EQ(object.at("k"), "v");
    json text = "one";
    std::string other = "two";
    text.swap(other);
    EXPECT_EQ(text, "two");
    EXPECT_EQ(other, "one");
}

// Each misuse throws type_error with its id and the kind's name, and changes nothing.
TEST(ChangeErrors, WrongKindThrowsTypeErrorAndLeavesTheValue)
{
    struct error_case
    {
        json value;
        std::function<void(json&)> change;
        const char* what;
    };
    const json object = {{"a", 1}};
    const std::vector<error_case> cases = {
        {"text", [](json& j) { j.push_back(1); }, "[json.exception.type_error.308] cannot use push_back() with string"},
        {{{"a", 1}}, [](json& j) { j.push_back(1); },
         "[json.exception.type_error.308] cannot use push_back() with object"},
        {{1}, [](json& j) { j.push_back(json::object_t::value_type("k", 1)); },
         "[json.exception.type_error.308] cannot use push_back() with array"},
        {true, [](json& j) { j.push_back({"k", 1}); },
         "[json.exception.type_error.308] cannot use push_back() with boolean"},
        {17, [](json& j) { j.emplace_back(1); },
         "[json.exception.type_error.311] cannot use emplace_back() with number"},
        {"text", [](json& j) { j.insert(j.begin(), 1); },
         "[json.exception.type_error.309] cannot use insert() with string"},
        {{1}, [&](json& j) { j.insert(object); }, "[json.exception.type_error.309] cannot use insert() with array"},
        {{{"a", 1}}, [](json& j) { j.insert(json({1, 2})); },
         "[json.exception.type_error.309] cannot use insert() with array"},
        {{1}, [](json& j) { j.insert(json::object_t::value_type("k", 1)); },
         "[json.exception.type_error.309] cannot use insert() with array"},
        {{1}, [&](json& j) { j.update(object); },
         "[json.exception.type_error.312] cannot use update() with array"},
        {{{"a", 1}}, [](json& j) { j.update(json(2.5)); },
         "[json.exception.type_error.312] cannot use update() with number"},
        {json(), [](json& j) { j.update(json()); }, "[json.exception.type_error.312] cannot use update() with null"},
        {{1}, [](json& j) { j.erase("a"); }, "[json.exception.type_error.307] cannot use erase() with array"},
        {{{"a", 1}}, [](json& j) { j.erase(0); }, "[json.exception.type_error.307] cannot use erase() with object"},
        {json(), [](json& j) { j.erase(j.begin()); }, "[json.exception.type_error.307] cannot use erase() with null"},
        {json(), [](json& j) { j.erase(j.begin(), j.end()); },
         "[json.exception.type_error.307] cannot use erase() with null"},
        {{1}, [](json& j) { j["a"]; }, "[json.exception.type_error.305] cannot use operator[] with array"},
        {17, [](json& j) { j["a"]; }, "[json.exception.type_error.305] cannot use operator[] with number"},
        {{{"a", 1}}, [](json& j) { j[0]; }, "[json.exception.type_error.305] cannot use operator[] with object"},
        {{1}, [](json& j) {
             json::object_t other;
             j.swap(other);
         },
         "[json.exception.type_error.310] cannot use swap() with array"},
        {{{"a", 1}}, [](json& j) {
             json::array_t other;
             j.swap(other);
         },
         "[json.exception.type_error.310] cannot use swap() with object"},
        {json(), [](json& j) {
             std::string other;
             j.swap(other);
         },
         "[json.exception.type_error.310] cannot use swap() with null"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        json value = c.value;
        try
        {
            c.change(value);
            ADD_FAILURE() << "no exception";
        }
        catch (const json::type_error& e)
        {
            EXPECT_STREQ(e.what(), c.what);
        }
        EXPECT_EQ(value.dump(), c.value.dump());
    }
}

TEST(ChangeErrors, IndexesOutOfRangeThrow401AndChangeNothing)
{
    json array = {1, 2};
    // No array reaches this index: growing to it must not wrap around to size 0.
    EXPECT_THROW(array[static_cast<std::size_t>(-1)] = 3, json::out_of_range);
    try
    {
        array.erase(5);
        ADD_FAILURE() << "no exception";
    }
    catch (const json::out_of_range& e)
    {
        EXPECT_STREQ(e.what(), "[json.exception.out_of_range.401] array index 5 is out of range for an array of size 2");
    }
    EXPECT_EQ(array, json({1, 2}));
}

TEST(ChangeErrors, ConstOperatorBracketsWithAKeyNeverInserts)
{
    const json object = {{"a", 1}};
    EXPECT_EQ(object["a"], 1);
    try
    {
        object["b"];
        ADD_FAILURE() << "no exception";
    }
    catch (const json::out_of_range& e)
    {
        EXPECT_STREQ(e.what(), "[json.exception.out_of_range.403] key 'b' not found");
    }
    EXPECT_THROW(static_cast<void>(json(json::value_t::array)["a"]), json::type_error);
}

TEST(Change, EmptyAndMaxSize)
{
    struct size_case
    {
        json value;
        bool empty;
        const char* why;
    };
    const size_case cases[] = {
        {json(), true, "null"},
        {json(json::value_t::object), true, "empty object"},
        {json(json::value_t::array), true, "empty array"},
        {{1}, false, "array"},
        {"", false, "even the empty string is one value"},
        {0, false, "number"},
        {false, false, "boolean"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(c.value.empty(), c.empty);
        EXPECT_GE(c.value.max_size(), c.value.size());
    }
    EXPECT_EQ(json({1}).max_size(), json::array_t().max_size());
    EXPECT_EQ(json(1).max_size(), 1u);
}

} // namespace

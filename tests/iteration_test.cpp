// Walking values: iterators over every kind, items(), and misused iterators.

#include <quarrow/json.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#if __cplusplus >= 202002L && defined(__cpp_lib_ranges)
#include <ranges>
#endif

namespace
{

using quarrow::json;

std::string texts(const std::vector<json>& values)
{
    std::string result;
    for (const auto& value : values)
    {
        result += value.dump() + ' ';
    }
    return result;
}

TEST(Iteration, VisitsEachKindInItsOrder)
{
    struct walk_case
    {
        json value;
        const char* forward;
        const char* why;
    };
    const walk_case cases[] = {
        {{3, "b", 1}, "3 \"b\" 1 ", "array elements in stored order"},
        {{{"b", 2}, {"a", 1}, {"c", 3}}, "1 2 3 ", "object members in key order, not written order"},
        {json(), "", "null is an empty range"},
        {json(json::value_t::array), "", "an empty array"},
        {json(json::value_t::object), "", "an empty object"},
        {"text", "\"text\" ", "a string is a range of one: itself"},
        {17, "17 ", "a number too"},
        {false, "false ", "a boolean too"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.why);
        json value = c.value;
        const json& reader = value;
        std::vector<json> forward(value.begin(), value.end());
        std::vector<json> const_forward(reader.begin(), reader.end());
        std::vector<json> cforward(value.cbegin(), value.cend());
        std::vector<json> backward(value.rbegin(), value.rend());
        std::vector<json> const_backward(reader.crbegin(), reader.crend());
        std::reverse(backward.begin(), backward.end());
        std::reverse(const_backward.begin(), const_backward.end());
        EXPECT_EQ(texts(forward), c.forward);
        EXPECT_EQ(texts(const_forward), c.forward);
        EXPECT_EQ(texts(cforward), c.forward);
        EXPECT_EQ(texts(backward), c.forward);
        EXPECT_EQ(texts(const_backward), c.forward);
        EXPECT_EQ(std::distance(value.begin(), value.end()), static_cast<std::ptrdiff_t>(value.size()));
        EXPECT_EQ(value.begin() == value.end(), value.empty());
    }
}

TEST(Iteration, ObjectIteratorsGiveKeysAndWritableValues)
{
    json object = {{"b", 2}, {"a", 1}};
    std::string keys;
    for (auto it = object.begin(); it != object.end(); ++it)
    {
        keys += it.key();
        it.value() = it.value().dump() + "!";
    }
    EXPECT_EQ(keys, "ab");
    EXPECT_EQ(object, json({{"a", "1!"}, {"b", "2!"}}));
    EXPECT_EQ(object.rbegin().key(), "b");
    EXPECT_EQ(object.crbegin().value(), "2!");
    EXPECT_EQ(object.begin()->size(), 1u);
    json::const_iterator converted = object.begin(); // iterator to const_iterator
    EXPECT_TRUE(converted == object.begin());
    EXPECT_TRUE(object.cbegin() != object.end());
    EXPECT_EQ(object.end() - object.begin(), 2); // counted by walking
    EXPECT_EQ(object.begin() - object.end(), -2);
}

TEST(Iteration, ArrayIteratorsAreRandomAccess)
{
    json array = {10, 20, 30, 40};
    const auto first = array.begin();
    EXPECT_EQ(*(first + 2), 30);
    EXPECT_EQ(*(2 + first), 30);
    EXPECT_EQ(first[3], 40);
    EXPECT_EQ(*(array.end() - 1), 40);
    EXPECT_EQ(array.end() - first, 4);
    EXPECT_TRUE(first < first + 1);
    EXPECT_TRUE(first + 1 > first);
    EXPECT_TRUE(first <= first);
    EXPECT_TRUE(first >= first);
    auto it = first;
    it += 3;
    it -= 1;
    EXPECT_EQ(*it, 30);
    EXPECT_EQ(*it--, 30);
    EXPECT_EQ(*it++, 20);
    EXPECT_EQ(array.rbegin()[1], 30);
    std::sort(array.begin(), array.end(), [](const json& a, const json& b) { return b < a; });
    EXPECT_EQ(array, json({40, 30, 20, 10}));
}

TEST(Iteration, ItemsGiveKeysAsText)
{
    struct items_case
    {
        json value;
        const char* entries;
        const char* why;
    };
    const items_case cases[] = {
        {{{"b", 2}, {"a", 1}}, "a=1 b=2 ", "an object's keys in order"},
        {{"x", "y", "z"}, "0=\"x\" 1=\"y\" 2=\"z\" ", "an array's indexes as text"},
        {"text", "=\"text\" ", "a scalar's one entry has the empty key"},
        {json(), "", "null has none"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.why);
        std::string entries;
        for (const auto& entry : c.value.items())
        {
            entries += entry.key() + "=" + entry.value().dump() + " ";
        }
        EXPECT_EQ(entries, c.entries);
    }
    json array = {1, 2};
    for (auto& entry : array.items())
    {
        entry.value() = entry.key();
    }
    EXPECT_EQ(array, json({"0", "1"}));
}

#if __cplusplus >= 201703L
TEST(Iteration, ItemsBindAsKeyAndValue)
{
    json object = {{"a", 1}, {"b", 2}};
    std::string keys;
    for (auto& [key, value] : object.items())
    {
        keys += key;
        value = "changed";
    }
    EXPECT_EQ(keys, "ab");
    EXPECT_EQ(object, json({{"a", "changed"}, {"b", "changed"}}));
    const json array = {true};
    for (const auto& [index, element] : array.items())
    {
        EXPECT_EQ(index, "0");
        EXPECT_EQ(element, true);
    }
}
#endif

TEST(Iteration, ItemIteratorsStepByPostfixToo)
{
    json array = {"a", "b"};
    auto it = array.items().begin();
    EXPECT_EQ((*it++).key(), "0"); // the copy keeps the entry it was at
    EXPECT_EQ(it->key(), "1");
    EXPECT_EQ(it->value(), "b");
    EXPECT_TRUE(++it == array.items().end());
}

#if __cplusplus >= 202002L && defined(__cpp_lib_ranges)
// The value and items() are ranges the standard algorithms take. Array
// iterators are random access; an object's take the same operations and
// throw invalid_iterator for those beyond stepping (see IteratorMisuse).
static_assert(std::random_access_iterator<json::iterator>);
static_assert(std::random_access_iterator<json::const_iterator>);
static_assert(std::bidirectional_iterator<json::reverse_iterator>);
static_assert(std::bidirectional_iterator<json::const_reverse_iterator>);
static_assert(std::ranges::random_access_range<json>);
static_assert(std::ranges::random_access_range<const json>);
static_assert(std::ranges::sized_range<json>);
static_assert(std::forward_iterator<decltype(std::declval<json&>().items().begin())>);
static_assert(std::ranges::forward_range<decltype(std::declval<json&>().items())>);
static_assert(std::ranges::forward_range<decltype(std::declval<const json&>().items())>);

TEST(Ranges, AlgorithmsTakeTheValue)
{
    json array = {3, 1, 2};
    std::ranges::sort(array);
    EXPECT_EQ(array, json({1, 2, 3}));
    std::ranges::sort(array, std::ranges::greater());
    EXPECT_EQ(array, json({3, 2, 1}));
    EXPECT_EQ(*std::ranges::find(array, json(2)), 2);
    EXPECT_EQ(std::ranges::distance(array), 3);

    const json object = {{"b", 2}, {"a", 1}, {"c", 3}};
    EXPECT_EQ(std::ranges::count_if(object, [](const json& v) { return v > 1; }), 2);
    EXPECT_EQ(*std::ranges::max_element(object), 3);
    std::vector<json> backwards;
    std::ranges::reverse_copy(object, std::back_inserter(backwards));
    EXPECT_EQ(json(backwards), json({3, 2, 1}));
    EXPECT_EQ(std::ranges::distance(json("scalar")), 1);
    EXPECT_TRUE(std::ranges::empty(json()));
}

TEST(Ranges, AlgorithmsTakeItems)
{
    json object = {{"b", 2}, {"a", 1}, {"c", 3}};
    auto entries = object.items();
    std::vector<std::string> keys;
    std::ranges::for_each(entries, [&keys](const auto& e) { keys.push_back(e.key()); });
    EXPECT_EQ(keys, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(std::ranges::count_if(entries, [](const auto& e) { return e.value() != 2; }), 2);
    const auto found = std::ranges::find_if(entries, [](const auto& e) { return e.key() == "c"; });
    ASSERT_TRUE(found != entries.end());
    found->value() = 30;
    EXPECT_EQ(object.at("c"), 30);
    std::vector<std::string> indexes;
    const json array = {"x", "y"};
    std::ranges::transform(array.items(), std::back_inserter(indexes), [](const auto& e) { return e.key(); });
    EXPECT_EQ(indexes, (std::vector<std::string>{"0", "1"}));
}
#endif

// Each misuse of an iterator throws invalid_iterator with its own id and
// reads nothing it should not.
TEST(IteratorMisuse, ThrowsInvalidIteratorWithItsId)
{
    json array = {1, 2};
    json object = {{"a", 1}};
    json other = {1, 2};
    json number = 5;
    const json::iterator unbound;
    struct misuse_case
    {
        int id;
        std::function<void()> misuse;
        const char* why;
    };
    const misuse_case cases[] = {
        {201, [&] { (void)(array.begin() == other.begin()); }, "comparing iterators of different values"},
        {201, [&] { (void)(array.begin() < other.end()); }, "ordering them"},
        {201, [&] { (void)(array.end() - other.begin()); }, "subtracting them"},
        {201, [&] { (void)(unbound == array.begin()); }, "an unbound iterator against a bound one"},
        {202, [&] { array.erase(other.begin()); }, "erasing at another value's iterator"},
        {202, [&] { array.insert(other.begin(), 3); }, "inserting at another value's iterator"},
        {203, [&] { array.erase(other.begin(), other.end()); }, "erasing another value's range"},
        {204, [&] { array.erase(array.end(), array.begin()); }, "erasing a reversed array range"},
        {204, [&] { object.erase(object.end(), object.begin()); }, "erasing a reversed object range"},
        {204, [&] { number.erase(number.end(), number.begin()); }, "erasing a reversed range of a scalar"},
        {205, [&] { array.erase(array.end()); }, "erasing end() of an array"},
        {205, [&] { object.erase(object.end()); }, "erasing end() of an object"},
        {205, [&] { number.erase(number.end()); }, "erasing end() of a scalar"},
        {206, [&] { (void)array.begin().key(); }, "key() of an array iterator"},
        {206, [&] { (void)number.begin().key(); }, "key() of a scalar's iterator"},
        {207, [&] { (void)(object.begin() < object.end()); }, "ordering object iterators"},
        {208, [&] { (void)(object.begin() + 1); }, "an offset on an object iterator"},
        {209, [&] { (void)object.begin()[0]; }, "indexing an object iterator"},
        {210, [&] { array.insert(array.end(), array.begin(), other.end()); }, "a range across two values"},
        {210, [&] { object.insert(object.begin(), json({{"b", 2}}).end()); }, "an object range across two values"},
        {211, [&] { object.insert(array.begin(), array.end()); }, "members from an array"},
        {212, [&] { (void)*array.end(); }, "dereferencing end() of an array"},
        {212, [&] { (void)*object.end(); }, "dereferencing end() of an object"},
        {212, [&] { (void)object.end().key(); }, "key() at the end"},
        {212, [&] { (void)*json().begin(); }, "dereferencing null's begin()"},
        {212, [&] { (void)*number.end(); }, "dereferencing a scalar's end()"},
        {212, [&] { (void)array.end()->size(); }, "arrow at the end"},
        {213, [&] { (void)*array.rend(); }, "dereferencing rend()"},
        {213, [&] { (void)++array.end(); }, "stepping past end() of an array"},
        {213, [&] { (void)++object.end(); }, "stepping past end() of an object"},
        {213, [&] { (void)--object.begin(); }, "stepping before begin() of an object"},
        {213, [&] { (void)(array.begin() + 3); }, "an offset past the end"},
        {213, [&] { (void)(array.begin() - 1); }, "an offset before the beginning"},
        {213, [&] { (void)(array.end() - std::numeric_limits<std::ptrdiff_t>::min()); }, "an offset too far to negate"},
        {213, [&] { (void)(array.end() + std::numeric_limits<std::ptrdiff_t>::max()); }, "an offset too far to add"},
        {213, [&] { (void)(array.begin() + std::numeric_limits<std::ptrdiff_t>::min()); }, "an offset far below"},
        {212, [&] { (void)array.begin()[2]; }, "indexing at the end"},
        {213, [&] { (void)array.begin()[3]; }, "indexing past the end"},
        {212, [&] { array.insert(array.end(), array.end(), array.begin()); }, "a reversed range runs into the end"},
        {214, [&] { (void)*unbound; }, "dereferencing an unbound iterator"},
        {214, [&] { json::const_iterator it; ++it; }, "stepping an unbound iterator"},
    };
    const json array_before = array;
    const json object_before = object;
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.why);
        try
        {
            c.misuse();
            ADD_FAILURE() << "no exception";
        }
        catch (const json::invalid_iterator& e)
        {
            EXPECT_EQ(e.id, c.id);
            EXPECT_EQ(std::string(e.what()).rfind("[json.exception.invalid_iterator." + std::to_string(c.id) + "] ", 0),
                      0u);
        }
        EXPECT_EQ(array, array_before);
        EXPECT_EQ(object, object_before);
        EXPECT_EQ(number, 5);
    }
}

TEST(IteratorMisuse, MessagesReadAsTheCatalogueSays)
{
    json array = {1};
    try
    {
        (void)*array.end();
        ADD_FAILURE() << "no exception";
    }
    catch (const json::exception& e)
    {
        EXPECT_STREQ(e.what(),
                     "[json.exception.invalid_iterator.212] cannot dereference an iterator that points to no element");
    }
}

TEST(IteratorMisuse, ShrunkArrayIsCheckedAgainstItsCurrentSize)
{
    json array = {1, 2, 3};
    const auto last = array.begin() + 2;
    array.erase(0);
    EXPECT_THROW((void)*last, json::invalid_iterator); // position 2 of two elements
    EXPECT_EQ(*(last - 1), 3);
}

} // namespace

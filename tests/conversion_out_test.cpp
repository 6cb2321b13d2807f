// Values read out as native types, standard containers and user types: what
// each type takes, what it refuses, and the target left alone on refusal.

#include <quarrow/json.hpp>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <deque>
#include <functional>
#include <limits>
#include <list>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <type_traits>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#if __cplusplus >= 201703L
#include <optional>
#include <string_view>
#endif

namespace
{

using quarrow::json;
using value_t = json::value_t;

template<typename T, typename = void>
struct can_get : std::false_type
{};

template<typename T>
struct can_get<T, decltype(static_cast<void>(std::declval<const json&>().get<T>()))> : std::true_type
{};

static_assert(can_get<json>::value && can_get<std::nullptr_t>::value && can_get<std::vector<std::list<int>>>::value,
              "what converts in reads out");
static_assert(!can_get<char>::value, "characters convert neither way");
static_assert(!can_get<long double>::value, "not a type values are made of");
static_assert(!can_get<const char*>::value && !can_get<int*>::value, "pointers into a value: get_ptr");
static_assert(!can_get<int&>::value && !can_get<const int>::value, "references into a value: get_ref");
static_assert(!can_get<std::map<int, int>>::value, "keys that are not text");
static_assert(!can_get<std::vector<char>>::value, "characters inside a container");
static_assert(!std::is_convertible<json, int>::value && !std::is_convertible<json, std::string>::value &&
                  !std::is_convertible<json, bool>::value,
              "reading out is always explicit");
static_assert(std::is_same<decltype(std::declval<const json&>().value("k", "text")), json::string_t>::value,
              "a text default reads a string");
static_assert(std::is_same<decltype(std::declval<const json&>().value("k", 1u)), unsigned>::value,
              "value() returns the default's type");

template<typename Key, typename = void>
struct takes_key : std::false_type
{};

template<typename Key>
struct takes_key<Key, decltype(static_cast<void>(std::declval<const json&>().value(std::declval<Key>(), 0)))>
    : std::true_type
{};

static_assert(takes_key<const char*>::value && takes_key<std::string>::value && takes_key<char (&)[2]>::value,
              "text keys");
static_assert(!takes_key<std::nullptr_t>::value && !takes_key<int>::value && !takes_key<char>::value,
              "no key that is not text");

// Writes original in, reads it back both ways, and compares with ==.
template<typename T>
void expect_round_trip(const T& original, const char* why)
{
    SCOPED_TRACE(why);
    const json value = original;
    EXPECT_TRUE(value.get<T>() == original);
    T target{};
    EXPECT_EQ(&value.get_to(target), &target);
    EXPECT_TRUE(target == original);
}

TEST(ReadingOut, NativeTypesRoundTrip)
{
    using limits = std::numeric_limits<double>;
    expect_round_trip(true, "boolean");
    expect_round_trip(false, "boolean");
    expect_round_trip(static_cast<signed char>(-128), "signed char");
    expect_round_trip(static_cast<unsigned char>(255), "unsigned char");
    expect_round_trip(static_cast<short>(-32768), "short");
    expect_round_trip(static_cast<unsigned short>(65535), "unsigned short");
    expect_round_trip(std::numeric_limits<int>::min(), "int");
    expect_round_trip(std::numeric_limits<unsigned>::max(), "unsigned int");
    expect_round_trip(std::numeric_limits<long>::min(), "long");
    expect_round_trip(std::numeric_limits<unsigned long>::max(), "unsigned long");
    expect_round_trip(std::numeric_limits<long long>::min(), "long long");
    expect_round_trip(std::numeric_limits<unsigned long long>::max(), "unsigned long long");
    expect_round_trip(0.1f, "float, through double and back");
    expect_round_trip(std::numeric_limits<float>::lowest(), "float, its extreme");
    expect_round_trip(limits::denorm_min(), "double, the smallest");
    expect_round_trip(limits::infinity(), "double, infinity is kept in the value");
    expect_round_trip(std::string("il buono\0with a NUL", 19), "string, bytes and NUL kept");
    expect_round_trip(std::vector<int>{3, 1, 2}, "vector");
    expect_round_trip(std::deque<std::string>{"b", "a"}, "deque");
    expect_round_trip(std::list<double>{0.5, -2}, "list");
    expect_round_trip(std::array<long, 3>{{-1, 0, 1}}, "std::array");
    expect_round_trip(std::set<std::string>{"a", "b"}, "set");
    expect_round_trip(std::multiset<int>{2, 2, 1}, "multiset");
    expect_round_trip(std::unordered_set<unsigned>{7, 8}, "unordered set");
    expect_round_trip(std::vector<bool>{true, false, true}, "vector<bool>");
    expect_round_trip(std::map<std::string, std::vector<int>>{{"b", {}}, {"a", {1}}}, "map of sequences");
    expect_round_trip(std::unordered_map<std::string, bool>{{"k", true}, {"l", false}}, "unordered map");
    expect_round_trip(std::make_pair(std::string("k"), 1.5), "pair");
    expect_round_trip(std::make_tuple(1, std::string("x"), true, 2u), "tuple");
    expect_round_trip(std::tuple<>{}, "empty tuple");
    expect_round_trip(std::vector<std::vector<std::pair<int, bool>>>{{{1, true}}, {}}, "nested containers");
#if __cplusplus >= 201703L
    expect_round_trip(std::optional<int>{}, "empty optional");
    expect_round_trip(std::optional<int>{4}, "optional with a value");
    expect_round_trip(std::vector<std::optional<std::string>>{"x", std::nullopt}, "optionals in a sequence");
#endif
}

// json has no == of its own here, so what holds values is compared by its text.
TEST(ReadingOut, ValuesAndTheirContainersComeOutAsCopies)
{
    const json value = {{"list", {1, "x", nullptr}}, {"n", 2.5}};
    EXPECT_EQ(value.get<json>().dump(), value.dump());
    EXPECT_EQ(json(value.get<json::object_t>()).dump(), value.dump());
    EXPECT_EQ(json(value.at("list").get<json::array_t>()).dump(), "[1,\"x\",null]");
    EXPECT_EQ(json(value.get<std::map<std::string, json>>()).dump(), value.dump());
    EXPECT_EQ(json(value.at("list").get<std::list<json>>()).dump(), "[1,\"x\",null]");
    EXPECT_EQ(json().get<std::nullptr_t>(), nullptr);

    json target = 17;
    value.get_to(target);
    EXPECT_EQ(target.dump(), value.dump());
    EXPECT_EQ(&value.at("n"), &value.at("n")); // the source is untouched, not moved from
}

TEST(ReadingOut, ContainersTakeWhatTheirOwnRulesKeep)
{
    const json repeats = {2, 1, 2};
    EXPECT_EQ(repeats.get<std::set<int>>(), (std::set<int>{1, 2}));
    EXPECT_EQ(repeats.get<std::multiset<int>>(), (std::multiset<int>{1, 2, 2}));
    EXPECT_EQ(repeats.get<std::vector<double>>(), (std::vector<double>{2, 1, 2})); // integers read as doubles
    using small_pair = std::pair<unsigned char, signed char>;
    EXPECT_EQ(json({1u, -1}).get<small_pair>(), small_pair(1, -1));
}

// Integer reads: the last value that fits and the first that does not, from
// each of the three number kinds. A double fits when it is integral and in
// range; the range's bounds are powers of two, exact as doubles.
template<typename T>
struct bound_case
{
    json value;
    bool fits;
    T expected;
    const char* why;
};

template<typename T>
std::vector<bound_case<T>> bound_cases()
{
    using limits = std::numeric_limits<T>;
    const auto max = static_cast<unsigned long long>(limits::max());
    const double bound = std::ldexp(1.0, limits::digits);
    // Above 2^53 the doubles are even integers: the one below the bound is the last that fits.
    const double below_bound = limits::digits <= 53 ? bound - 1 : std::nextafter(bound, 0.0);
    std::vector<bound_case<T>> cases = {
        {json(limits::max()), true, limits::max(), "max, as its own kind"},
        {json(limits::min()), true, limits::min(), "min, as its own kind"},
        {json(max), true, limits::max(), "max as an unsigned number"},
        {json(below_bound), true, static_cast<T>(below_bound), "the last double that fits"},
        {json(bound), false, T(), "the first double past max"},
        {json(-0.0), true, T(0), "negative zero is zero"},
        {json(0.5), false, T(), "a fraction"},
        {json(std::nextafter(1.0, 2.0)), false, T(), "the smallest fraction above 1"},
        {json(std::numeric_limits<double>::quiet_NaN()), false, T(), "not a number"},
        {json(std::numeric_limits<double>::infinity()), false, T(), "infinity"},
    };
    if (max < std::numeric_limits<unsigned long long>::max())
    {
        cases.push_back({json(max + 1), false, T(), "one past max as an unsigned number"});
    }
    if (max <= static_cast<unsigned long long>(std::numeric_limits<long long>::max()))
    {
        cases.push_back({json(static_cast<long long>(max)), true, limits::max(), "max as a signed number"});
    }
    if (max < static_cast<unsigned long long>(std::numeric_limits<long long>::max()))
    {
        cases.push_back({json(static_cast<long long>(max) + 1), false, T(), "one past max as a signed number"});
    }
    if (limits::is_signed)
    {
        const auto min = static_cast<long long>(limits::min());
        const double below_min = limits::digits <= 53 ? -bound - 1 : std::nextafter(-bound, -bound * 2);
        cases.push_back({json(-bound), true, limits::min(), "min as a double"});
        cases.push_back({json(below_min), false, T(), "the first double below min"});
        if (min > std::numeric_limits<long long>::min())
        {
            cases.push_back({json(min - 1), false, T(), "one below min"});
        }
    }
    else
    {
        cases.push_back({json(0), true, T(0), "zero, as a signed number"});
        cases.push_back({json(-1), false, T(), "negative, as a signed number"});
        cases.push_back({json(-1.0), false, T(), "negative, as a double"});
        cases.push_back({json(std::numeric_limits<long long>::min()), false, T(), "the most negative number"});
    }
    return cases;
}

template<typename T>
void expect_bounds(const std::string& name)
{
    SCOPED_TRACE(name);
    for (const auto& c : bound_cases<T>())
    {
        SCOPED_TRACE(c.why);
        T target = 42;
        if (c.fits)
        {
            EXPECT_EQ(c.value.template get<T>(), c.expected);
            EXPECT_EQ(c.value.get_to(target), c.expected);
            continue;
        }
        try
        {
            c.value.get_to(target);
            ADD_FAILURE() << "read " << +target << " from " << c.value.dump();
        }
        catch (const json::out_of_range& e)
        {
            EXPECT_EQ(e.id, 406);
            EXPECT_NE(std::string(e.what()).find(" does not fit into " + name), std::string::npos) << e.what();
        }
        EXPECT_EQ(target, 42); // left as it was
    }
}

TEST(ReadingOut, EveryIntegerTypeTakesExactlyTheNumbersItHolds)
{
    expect_bounds<signed char>("signed char");
    expect_bounds<short>("short");
    expect_bounds<int>("int");
    expect_bounds<long>("long");
    expect_bounds<long long>("long long");
    expect_bounds<unsigned char>("unsigned char");
    expect_bounds<unsigned short>("unsigned short");
    expect_bounds<unsigned int>("unsigned int");
    expect_bounds<unsigned long>("unsigned long");
    expect_bounds<unsigned long long>("unsigned long long");
}

TEST(ReadingOut, FloatingPointTakesEveryNumberInRange)
{
    using limits = std::numeric_limits<double>;
    EXPECT_EQ(json(9007199254740993LL).get<double>(), 9007199254740992.0); // 2^53 + 1 rounds: allowed
    EXPECT_EQ(json(std::numeric_limits<unsigned long long>::max()).get<double>(), 18446744073709551616.0);
    EXPECT_EQ(json(-7).get<float>(), -7.0f);
    EXPECT_TRUE(std::isnan(json(limits::quiet_NaN()).get<double>()));
    EXPECT_TRUE(std::isnan(json(limits::quiet_NaN()).get<float>()));
    EXPECT_EQ(json(-limits::infinity()).get<float>(), -std::numeric_limits<float>::infinity());
    EXPECT_EQ(json(limits::max()).get<double>(), limits::max());
    EXPECT_EQ(json(0.1).get<float>(), 0.1f);
    EXPECT_EQ(json(-std::numeric_limits<float>::max()).get<float>(), -std::numeric_limits<float>::max());

    const double past_float = std::nextafter(static_cast<double>(std::numeric_limits<float>::max()), 1e300);
    for (const double x : {past_float, -past_float, 1e300})
    {
        SCOPED_TRACE(x);
        float target = 1.0f;
        EXPECT_THROW(json(x).get_to(target), json::out_of_range);
        EXPECT_EQ(target, 1.0f);
    }
}

struct refusal_case
{
    json value;
    std::function<void(const json&)> read;
    const char* what;
    const char* why;
};

template<typename T>
std::function<void(const json&)> reader()
{
    return [](const json& value) { static_cast<void>(value.get<T>()); };
}

TEST(ReadingOut, RefusalsNameWhatWasAskedAndWhatIsThere)
{
    using limits = std::numeric_limits<double>;
    const refusal_case cases[] = {
        {json("1"), reader<int>(), "[json.exception.type_error.302] type must be number, but is string",
         "text is not read as a number"},
        {json(1), reader<bool>(), "[json.exception.type_error.302] type must be boolean, but is number",
         "a number is not a boolean"},
        {json(true), reader<int>(), "[json.exception.type_error.302] type must be number, but is boolean",
         "nor a boolean a number"},
        {json(true), reader<double>(), "[json.exception.type_error.302] type must be number, but is boolean",
         "nor a floating-point one"},
        {json(), reader<std::string>(), "[json.exception.type_error.302] type must be string, but is null",
         "null is no empty string"},
        {json(0), reader<std::nullptr_t>(), "[json.exception.type_error.302] type must be null, but is number",
         "zero is not null"},
        {json(value_t::discarded), reader<double>(),
         "[json.exception.type_error.302] type must be number, but is discarded", "discarded"},
        {json(1), reader<json::object_t>(), "[json.exception.type_error.302] type must be object, but is number",
         "object_t"},
        {json("x"), reader<json::array_t>(), "[json.exception.type_error.302] type must be array, but is string",
         "array_t"},
        {json::object(), reader<std::vector<int>>(),
         "[json.exception.type_error.302] type must be array, but is object", "a sequence needs an array"},
        {json::array(), reader<std::map<std::string, int>>(),
         "[json.exception.type_error.302] type must be object, but is array", "a map needs an object"},
        {json{1, "x"}, reader<std::vector<int>>(),
         "[json.exception.type_error.302] type must be number, but is string (at /1)", "an element of the wrong kind"},
        {json{{"k", {1, 2}}}, reader<std::map<std::string, std::vector<bool>>>(),
         "[json.exception.type_error.302] type must be boolean, but is number (at /k/0)", "a member of the wrong kind"},
        {json(1), reader<std::pair<int, int>>(), "[json.exception.type_error.302] type must be array, but is number",
         "a pair needs an array"},
        {json(1.5), reader<int>(), "[json.exception.out_of_range.406] number 1.5 does not fit into int",
         "a fraction"},
        {json(-1), reader<unsigned>(), "[json.exception.out_of_range.406] number -1 does not fit into unsigned int",
         "negative into unsigned"},
        {json(300u), reader<unsigned char>(),
         "[json.exception.out_of_range.406] number 300 does not fit into unsigned char", "too large"},
        {json(std::numeric_limits<unsigned long long>::max()), reader<long long>(),
         "[json.exception.out_of_range.406] number 18446744073709551615 does not fit into long long",
         "too large for the widest signed type"},
        {json(1e20), reader<unsigned long long>(),
         "[json.exception.out_of_range.406] number 1e+20 does not fit into unsigned long long", "a large double"},
        {json(1e300), reader<float>(), "[json.exception.out_of_range.406] number 1e+300 does not fit into float",
         "beyond float"},
        // The number is written with the shortest digits that read back as it,
        // so a text never names a neighbour that would have fitted.
        {json(1.0000000000000002), reader<int>(),
         "[json.exception.out_of_range.406] number 1.0000000000000002 does not fit into int",
         "a fraction that 15 digits would round to 1"},
        {json(2147483647.9999998), reader<int>(),
         "[json.exception.out_of_range.406] number 2147483647.9999998 does not fit into int",
         "just below INT_MAX + 1, which 15 digits would name"},
        {json(-2147483648.0000005), reader<int>(),
         "[json.exception.out_of_range.406] number -2147483648.0000005 does not fit into int",
         "just below INT_MIN, which 15 digits would name"},
        {json(std::nextafter(double(std::numeric_limits<float>::max()), 1e300)), reader<float>(),
         "[json.exception.out_of_range.406] number 3.402823466385289e+38 does not fit into float",
         "the next double above FLT_MAX, which 15 digits would name"},
        {json(limits::quiet_NaN()), reader<long>(),
         "[json.exception.out_of_range.406] number NaN does not fit into long", "NaN, named as such"},
        {json(-limits::infinity()), reader<short>(),
         "[json.exception.out_of_range.406] number -Infinity does not fit into short", "infinity, named as such"},
        {json{1, 2, 3}, reader<std::array<int, 2>>(),
         "[json.exception.out_of_range.407] array has 3 elements, but the target holds 2", "std::array too small"},
        {json::array(), reader<std::array<int, 1>>(),
         "[json.exception.out_of_range.407] array has 0 elements, but the target holds 1", "std::array too large"},
        {json{1}, reader<std::pair<int, int>>(),
         "[json.exception.out_of_range.407] array has 1 elements, but the target holds 2", "pair"},
        {json{1, 2}, reader<std::tuple<int>>(),
         "[json.exception.out_of_range.407] array has 2 elements, but the target holds 1", "tuple"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.why);
        try
        {
            c.read(c.value);
            ADD_FAILURE() << "no exception";
        }
        catch (const json::exception& e)
        {
            EXPECT_STREQ(e.what(), c.what);
        }
    }
}

// A refused read leaves the target exactly as it was, however far it got.
TEST(ReadingOut, RefusedReadLeavesTheTarget)
{
    const json late_mismatch = {1, 2, "three"};

    std::vector<int> sequence = {9};
    EXPECT_THROW(late_mismatch.get_to(sequence), json::type_error);
    EXPECT_EQ(sequence, std::vector<int>{9});

    std::array<int, 3> fixed = {{7, 8, 9}};
    EXPECT_THROW(late_mismatch.get_to(fixed), json::type_error);
    EXPECT_EQ(fixed, (std::array<int, 3>{{7, 8, 9}}));

    std::map<std::string, int> map = {{"kept", 1}};
    EXPECT_THROW(json({{"a", 1}, {"b", "two"}}).get_to(map), json::type_error);
    EXPECT_EQ(map, (std::map<std::string, int>{{"kept", 1}}));

    std::tuple<int, int, int> tuple{4, 5, 6};
    EXPECT_THROW(late_mismatch.get_to(tuple), json::type_error);
    EXPECT_EQ(tuple, std::make_tuple(4, 5, 6));

    std::string text = "kept";
    EXPECT_THROW(json(1).get_to(text), json::type_error);
    EXPECT_EQ(text, "kept");

    bool flag = true;
    EXPECT_THROW(json(0).get_to(flag), json::type_error);
    EXPECT_TRUE(flag);

#if __cplusplus >= 201703L
    std::optional<int> optional = 5;
    EXPECT_THROW(json("x").get_to(optional), json::type_error);
    EXPECT_EQ(optional, 5);
    json().get_to(optional);
    EXPECT_FALSE(optional.has_value());
#endif
}

// value(key, default): the member read as the default's type, or the default.
TEST(ValueWithDefault, ReadsPresentMembersAndDefaultsMissingOnes)
{
    const json object = {{"n", 1}, {"s", "x"}, {"f", 1.5}, {"list", {1, 2}}, {std::string("a\0b", 3), 3}};
    EXPECT_EQ(object.value("n", 0), 1);
    EXPECT_EQ(object.value("missing", 7), 7);
    EXPECT_EQ(object.value("s", std::string("default")), "x");
    EXPECT_EQ(object.value("s", "default"), "x");
    EXPECT_EQ(object.value("missing", "default"), "default");
    EXPECT_EQ(object.value("f", 0.0), 1.5);
    EXPECT_EQ(object.value("n", 0.0), 1.0);
    EXPECT_EQ(object.value("list", std::vector<int>{}), (std::vector<int>{1, 2}));
    EXPECT_EQ(object.value("missing", std::vector<int>{5}), std::vector<int>{5});
    EXPECT_EQ(object.value("list", json()).dump(), "[1,2]");

    // Every form of key finds the same member.
    const std::string key = "n";
    const char* pointer = "n";
    EXPECT_EQ(object.value(key, 0), 1);
    EXPECT_EQ(object.value(pointer, 0), 1);
    EXPECT_EQ(object.value(std::string("a\0b", 3), 0), 3); // a string_t key is used as it is
    EXPECT_EQ(object.value("a", 0), 0);                    // text up to the NUL
#if __cplusplus >= 201703L
    EXPECT_EQ(object.value(std::string_view("a\0b", 3), 0), 3);
#endif
}

struct value_refusal_case
{
    json value;
    std::function<void(const json&)> read;
    const char* what;
    const char* why;
};

TEST(ValueWithDefault, RefusesWrongKindsOfMemberAndOfValue)
{
    const json object = {{"s", "x"}, {"null", nullptr}, {"f", 1.5}};
    const value_refusal_case cases[] = {
        {object, [](const json& v) { v.value("s", 0); },
         "[json.exception.type_error.302] type must be number, but is string (at /s)", "a member of another kind"},
        {object, [](const json& v) { v.value("null", 0); },
         "[json.exception.type_error.302] type must be number, but is null (at /null)", "a null member is there"},
        {object, [](const json& v) { v.value("f", "text"); },
         "[json.exception.type_error.302] type must be string, but is number (at /f)", "a text default"},
        {object, [](const json& v) { v.value("f", 0); },
         "[json.exception.out_of_range.406] number 1.5 does not fit into int (at /f)", "a number the default cannot hold"},
        {json(), [](const json& v) { v.value("k", 0); },
         "[json.exception.type_error.306] cannot use value() with null", "null is not an empty object"},
        {json::array({"k"}), [](const json& v) { v.value("k", 0); },
         "[json.exception.type_error.306] cannot use value() with array", "array"},
        {json("k"), [](const json& v) { v.value(std::string("k"), "text"); },
         "[json.exception.type_error.306] cannot use value() with string", "string"},
        {json(1), [](const json& v) { v.value("k", 0); },
         "[json.exception.type_error.306] cannot use value() with number", "number"},
        {object, [](const json& v) { v.value(static_cast<const char*>(nullptr), 0); },
         "[json.exception.other_error.501] cannot create string from null pointer", "a null key pointer"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.why);
        try
        {
            c.read(c.value);
            ADD_FAILURE() << "no exception";
        }
        catch (const json::exception& e)
        {
            EXPECT_STREQ(e.what(), c.what);
        }
    }
}

} // namespace

// A type of the user's own, in both directions, through its namespace.
namespace inventory
{

struct item
{
    std::string name;
    int count;
};

bool operator==(const item& a, const item& b)
{
    return a.name == b.name && a.count == b.count;
}

void to_json(json& j, const item& i)
{
    j = {{"name", i.name}, {"count", i.count}};
}

void from_json(const json& j, item& i)
{
    i.name = j.at("name").get<std::string>();
    i.count = j.at("count").get<int>();
}

} // namespace inventory

namespace
{

TEST(ReadingOut, UserTypesRoundTripThroughTheirOwnFunctions)
{
    const std::vector<inventory::item> items = {{"nails", 100}, {"hammer", 1}};
    const json list = items;
    EXPECT_EQ(list.dump(), R"([{"count":100,"name":"nails"},{"count":1,"name":"hammer"}])");
    EXPECT_EQ(list.get<std::vector<inventory::item>>(), items);

    using shelf_map = std::map<std::string, inventory::item>;
    const shelf_map shelves = {{"top", {"saw", 2}}, {"bottom", {"glue", 0}}};
    const json object = shelves;
    EXPECT_EQ(object.get<shelf_map>(), shelves);
    EXPECT_EQ(object.value("top", inventory::item{"none", 0}), (inventory::item{"saw", 2}));

    std::vector<inventory::item> target = {{"kept", 1}};
    EXPECT_THROW(json({{{"name", "x"}, {"count", "many"}}}).get_to(target), json::type_error);
    EXPECT_EQ(target, (std::vector<inventory::item>{{"kept", 1}}));
}

} // namespace

// Native C++ values into values: which kind each becomes, and what survives.

#include <quarrow/json.hpp>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <limits>
#include <list>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <type_traits>
#include <typeinfo>
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

// Converts; each to exactly one kind.
static_assert(std::is_constructible<json, std::nullptr_t>::value, "null");
static_assert(std::is_constructible<json, const char*>::value, "text");
static_assert(std::is_constructible<json, char*>::value, "text");
static_assert(std::is_constructible<json, std::int8_t>::value, "signed char is a small number");
static_assert(std::is_constructible<json, std::uint8_t>::value, "unsigned char is a small number");
static_assert(std::is_constructible<json, json::object_t&&>::value, "containers move in");

// Does not convert: a pointer must not silently become a boolean, and a
// character or a wider float has no one obvious kind.
static_assert(!std::is_constructible<json, int*>::value, "pointer");
static_assert(!std::is_constructible<json, const void*>::value, "pointer");
static_assert(!std::is_constructible<json, char>::value, "character");
static_assert(!std::is_constructible<json, wchar_t>::value, "character");
static_assert(!std::is_constructible<json, char32_t>::value, "character");
static_assert(!std::is_constructible<json, long double>::value, "would lose precision");
static_assert(!std::is_constructible<json, value_t*>::value, "pointer");

static_assert(std::is_nothrow_constructible<json, bool>::value, "scalars never throw");
static_assert(std::is_nothrow_constructible<json, double>::value, "scalars never throw");
static_assert(std::is_nothrow_constructible<json, unsigned long long>::value, "scalars never throw");
static_assert(std::is_nothrow_move_constructible<json>::value, "vectors of values grow by moving");

template<typename Stored>
void expect_holds(const json& value, value_t kind, const Stored& expected)
{
    EXPECT_EQ(value.type(), kind);
    EXPECT_EQ(value.size(), 1u);
    EXPECT_EQ(value.get_ref<const Stored&>(), expected);
}

template<typename T>
void expect_signed_extremes()
{
    SCOPED_TRACE(typeid(T).name());
    for (const T n : {std::numeric_limits<T>::min(), T(-1), T(0), std::numeric_limits<T>::max()})
    {
        expect_holds(json(n), value_t::number_integer, static_cast<json::number_integer_t>(n));
    }
}

template<typename T>
void expect_unsigned_extremes()
{
    SCOPED_TRACE(typeid(T).name());
    for (const T n : {T(0), T(1), std::numeric_limits<T>::max()})
    {
        expect_holds(json(n), value_t::number_unsigned, static_cast<json::number_unsigned_t>(n));
    }
}

TEST(Conversion, SignedIntegersKeepTheirExtremes)
{
    expect_signed_extremes<signed char>();
    expect_signed_extremes<short>();
    expect_signed_extremes<int>();
    expect_signed_extremes<long>();
    expect_signed_extremes<long long>();
}

TEST(Conversion, UnsignedIntegersKeepTheirExtremes)
{
    expect_unsigned_extremes<unsigned char>();
    expect_unsigned_extremes<unsigned short>();
    expect_unsigned_extremes<unsigned int>();
    expect_unsigned_extremes<unsigned long>();
    expect_unsigned_extremes<unsigned long long>();
}

TEST(Conversion, FloatingPointKeepsItsExtremes)
{
    using limits = std::numeric_limits<double>;
    for (const double x : {limits::lowest(), limits::max(), limits::min(), limits::denorm_min(), -0.0, 0.1})
    {
        expect_holds(json(x), value_t::number_float, x);
    }
    EXPECT_TRUE(std::signbit(json(-0.0).get_ref<const double&>()));
    expect_holds(json(1.5f), value_t::number_float, 1.5);
    expect_holds(json(std::numeric_limits<float>::max()), value_t::number_float,
                 static_cast<double>(std::numeric_limits<float>::max()));
}

// The overloads users trip on: each literal lands in the kind it reads as.
TEST(Conversion, EachLiteralLandsInItsOwnKind)
{
    expect_holds(json(true), value_t::boolean, true);
    expect_holds(json(false), value_t::boolean, false);
    expect_holds(json("x"), value_t::string, std::string("x"));
    expect_holds(json(std::string("x")), value_t::string, std::string("x"));
    expect_holds(json(0u), value_t::number_unsigned, 0ull);
    expect_holds(json(-1), value_t::number_integer, -1ll);
    expect_holds(json(1.0f), value_t::number_float, 1.0);
    EXPECT_TRUE(json(nullptr).is_null());
}

TEST(Conversion, TextFromEveryStringForm)
{
    const std::string named = "il buono";
    const char* pointer = "il buono";
    char writable[] = "il buono";
    char* writable_pointer = writable;
    expect_holds(json(named), value_t::string, named);
    expect_holds(json(pointer), value_t::string, named);
    expect_holds(json(writable), value_t::string, named);
    expect_holds(json(writable_pointer), value_t::string, named);

    std::string movable = "a text long enough to live on the heap, not inline";
    const char* buffer = movable.data();
    const json moved = std::move(movable);
    EXPECT_EQ(moved.get_ref<const json::string_t&>().data(), buffer); // moved in, not copied
}

TEST(Conversion, NullCharacterPointerThrows501)
{
    const char* none = nullptr;
    try
    {
        const json value = none;
        ADD_FAILURE() << "no exception";
    }
    catch (const json::other_error& e)
    {
        EXPECT_STREQ(e.what(), "[json.exception.other_error.501] cannot create string from null pointer");
    }
}

TEST(Conversion, ContainersAreCopiedOrMovedIn)
{
    json::object_t object = {{"k", json("v")}};
    json::array_t array = {json(1), json(2)};

    const json object_copy = object;
    const json array_copy = array;
    EXPECT_EQ(object_copy.size(), 1u);
    EXPECT_EQ(array_copy.size(), 2u);
    EXPECT_EQ(object.size(), 1u); // the source keeps its content

    const json* first_element = array.data();
    const json array_moved = std::move(array);
    const json object_moved = std::move(object);
    EXPECT_EQ(&array_moved[0], first_element);
    EXPECT_EQ(object_moved.at("k").get_ref<const json::string_t&>(), "v");
}

} // namespace

// A type of the user's own converts through a to_json in its namespace.
namespace geometry
{

struct point
{
    int x;
    int y;
};

void to_json(json& j, const point& p)
{
    j = {{"x", p.x}, {"y", p.y}};
}

} // namespace geometry

namespace
{

TEST(Conversion, UserTypesConvertThroughTheirOwnToJson)
{
    const json value = geometry::point{3, -4};
    ASSERT_TRUE(value.is_object());
    EXPECT_EQ(value.at("y").get_ref<const json::number_integer_t&>(), -4);

    const json list = {geometry::point{1, 2}, geometry::point{5, 6}};
    EXPECT_EQ(list[1].at("x").get_ref<const json::number_integer_t&>(), 5);
}

} // namespace

// Standard containers: sequences and sets are arrays, maps with text keys objects.
namespace
{

static_assert(std::is_constructible<json, std::vector<int>>::value, "sequence");
static_assert(std::is_constructible<json, std::map<const char*, int>>::value, "keys that become text");
static_assert(std::is_constructible<json, std::vector<std::map<std::string, std::list<double>>>>::value,
              "nested containers");
static_assert(std::is_constructible<json, std::tuple<>>::value, "the empty tuple");
// Characters stay unconvertible inside containers, and so do maps whose keys
// are not text: neither has one obvious kind.
static_assert(!std::is_constructible<json, std::vector<char>>::value, "characters");
static_assert(!std::is_constructible<json, std::array<wchar_t, 2>>::value, "characters");
static_assert(!std::is_constructible<json, std::wstring>::value, "characters");
static_assert(!std::is_constructible<json, std::vector<int*>>::value, "pointers");
static_assert(!std::is_constructible<json, std::pair<int, char>>::value, "one element that does not convert");
static_assert(!std::is_constructible<json, std::map<int, int>>::value, "keys that are not text");
static_assert(!std::is_constructible<json, std::map<std::string, char>>::value, "values that do not convert");

struct container_case
{
    json value;
    const char* text;
    const char* why;
};

TEST(ContainerConversion, EveryStandardContainerBecomesItsKind)
{
    const int c_array[] = {3, 1, 2};
    const std::string texts[] = {"b", "a"};
    const char letters[] = "ab";
    const std::vector<std::vector<int>> matrix = {{1, 2}, {}, {3}};
    const container_case cases[] = {
        {std::vector<int>{3, 1, 2}, "[3,1,2]", "vector, in its order"},
        {std::deque<unsigned>{3, 1}, "[3,1]", "deque"},
        {std::list<double>{0.5, -1}, "[0.5,-1.0]", "list, elements keep their own kind"},
        {std::array<bool, 2>{{true, false}}, "[true,false]", "std::array"},
        {std::array<int, 0>{}, "[]", "empty std::array"},
        {std::set<int>{3, 1, 2}, "[1,2,3]", "set, in its own order"},
        {std::multiset<int>{2, 2}, "[2,2]", "multiset keeps repeats"},
        {std::unordered_set<int>{7}, "[7]", "unordered set"},
        {c_array, "[3,1,2]", "C array of numbers"},
        {texts, "[\"b\",\"a\"]", "C array of strings"},
        {letters, "\"ab\"", "a character array is still text"},
        {std::initializer_list<long>{1, -2}, "[1,-2]", "initializer list of numbers"},
        {std::vector<bool>{true, false, true}, "[true,false,true]", "vector<bool> and its proxies"},
        {std::vector<std::string>{}, "[]", "empty sequence"},
        {matrix, "[[1,2],[],[3]]", "nested sequences"},
        {std::list<json>{json(1), json("x")}, "[1,\"x\"]", "values are copied in"},
        {std::map<std::string, int>{{"b", 2}, {"a", 1}}, "{\"a\":1,\"b\":2}", "map"},
        {std::unordered_map<std::string, bool>{{"k", true}}, "{\"k\":true}", "unordered map"},
        {std::map<const char*, int>{{"k", 1}}, "{\"k\":1}", "keys that convert to text"},
        {std::map<std::string, std::vector<int>>{{"k", {1}}}, "{\"k\":[1]}", "map of sequences"},
        {std::map<std::string, int>{}, "{}", "empty map: an object"},
        {std::make_pair(std::string("k"), 1), "[\"k\",1]", "pair"},
        {std::make_tuple(1, "x", nullptr, 2.5), "[1,\"x\",null,2.5]", "tuple"},
        {std::tuple<>{}, "[]", "empty tuple"},
        {std::vector<std::pair<std::string, int>>{{"k", 1}}, "[[\"k\",1]]", "pairs in a sequence stay arrays"},
#if __cplusplus >= 201703L
        {std::optional<int>{}, "null", "empty optional"},
        {std::optional<std::string>{"x"}, "\"x\"", "optional with a value"},
        {std::string_view("a\0b", 3), "\"a\\u0000b\"", "string view, NUL included"},
        {std::vector<std::optional<int>>{1, std::nullopt}, "[1,null]", "optionals in a sequence"},
#endif
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(c.value.dump(), c.text);
    }
}

// Keys that differ as pointers and read the same as text: the first wins,
// as in a brace list.
TEST(ContainerConversion, KeysThatReadTheSameKeepTheFirst)
{
    const char first[] = "k";
    const char second[] = "k";
    std::map<const char*, int, std::greater<const char*>> map;
    map.emplace(first, 1);
    map.emplace(second, 2);
    ASSERT_EQ(map.size(), 2u);
    EXPECT_EQ(json(map).dump(), "{\"k\":" + std::to_string(map.begin()->second) + "}");
}

TEST(ContainerConversion, NullCharacterPointerInAContainerThrows501)
{
    const std::vector<const char*> texts = {"a", nullptr};
    EXPECT_THROW(static_cast<void>(json(texts)), json::other_error);
}

struct factory_case
{
    json value;
    const char* text;
    const char* why;
};

// The factories settle what a brace list leaves to deduction.
TEST(Factories, ArrayAndObjectMakeWhatTheyName)
{
    const factory_case cases[] = {
        {json::array(), "[]", "empty array"},
        {json::object(), "{}", "empty object"},
        {json::array({{"a", 1}}), "[[\"a\",1]]", "one pair stays a pair"},
        {json::array({{"a", 1}, {"b", 2}}), "[[\"a\",1],[\"b\",2]]", "pairs stay pairs"},
        {json::array({1, "x"}), "[1,\"x\"]", "what a brace list makes too"},
        {json::object({{"b", 1}, {"a", 2}}), "{\"a\":2,\"b\":1}", "pairs become members"},
        {json::object({{"k", 1}, {"k", 2}}), "{\"k\":1}", "the first of a repeated key wins"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(c.value.dump(), c.text);
    }
}

TEST(Factories, ObjectOfEntriesThatAreNotPairsThrows301)
{
    for (const json& entry : {json(1), json({1, 2}), json({"k", 1, 2}), json::array({"k"})})
    {
        SCOPED_TRACE(entry.dump());
        try
        {
            json::object({{"fine", 1}, entry});
            ADD_FAILURE() << "no exception";
        }
        catch (const json::type_error& e)
        {
            EXPECT_STREQ(e.what(), "[json.exception.type_error.301] cannot create object from initializer list");
        }
    }
}

} // namespace

// Native C++ values into values: which kind each becomes, and what survives.

#include <quarrow/json.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <type_traits>
#include <typeinfo>
#include <utility>

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

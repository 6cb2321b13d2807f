// Comparing and hashing values: every kind, numbers across their three kinds
// checked against an exact oracle, and hashes that agree with ==.

#include <quarrow/json.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <sstream>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#if __cplusplus >= 202002L
#include <compare>
#endif

namespace
{

using quarrow::json;

// The six operators at once, to compare with what they should say.
std::string relations(const json& a, const json& b)
{
    std::string result;
    result += a == b ? "==" : "";
    result += a != b ? "!=" : "";
    result += a < b ? "<" : "";
    result += a <= b ? "<=" : "";
    result += a > b ? ">" : "";
    result += a >= b ? ">=" : "";
    return result;
}

// What the six operators say for two doubles, or two long doubles.
template<typename T>
std::string native_relations(T a, T b)
{
    std::string result;
    result += a == b ? "==" : "";
    result += a != b ? "!=" : "";
    result += a < b ? "<" : "";
    result += a <= b ? "<=" : "";
    result += a > b ? ">" : "";
    result += a >= b ? ">=" : "";
    return result;
}

// A number as a value and as a long double, which holds every int64, uint64
// and double exactly on this platform (64 significand bits), so that the
// built-in comparison of two long doubles is an exact oracle.
struct number
{
    json value;
    long double exact;
};

std::vector<number> numbers()
{
    using i64 = std::int64_t;
    using u64 = std::uint64_t;
    const double two_63 = 9223372036854775808.0;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<number> result;
    for (const i64 n : {std::numeric_limits<i64>::min(), std::numeric_limits<i64>::min() + 1, i64{-9007199254740993},
                        i64{-1}, i64{0}, i64{1}, i64{9007199254740993}, std::numeric_limits<i64>::max() - 1,
                        std::numeric_limits<i64>::max()})
    {
        result.push_back({json(static_cast<long long>(n)), static_cast<long double>(n)});
    }
    for (const u64 n : {u64{0}, u64{1}, u64{9007199254740993}, u64{9223372036854775807}, u64{9223372036854775808u},
                        std::numeric_limits<u64>::max() - 1, std::numeric_limits<u64>::max()})
    {
        result.push_back({json(static_cast<unsigned long long>(n)), static_cast<long double>(n)});
    }
    for (const double x : {-inf, -two_63 * 2, -two_63, -two_63 + 1024, -9007199254740992.0, -1.5, -1.0, -0.5, -0.0,
                           0.0, 0.5, 1.0, 1.5, 9007199254740992.0, two_63 - 1024, two_63, two_63 + 4096,
                           two_63 * 2 - 2048, two_63 * 2, inf, nan})
    {
        result.push_back({json(x), static_cast<long double>(x)});
    }
    return result;
}

TEST(NumberComparison, AgreesWithExactArithmeticAcrossTheThreeKinds)
{
    if (std::numeric_limits<long double>::digits < 64)
    {
        GTEST_SKIP() << "long double cannot hold every 64-bit integer here";
    }
    const auto all = numbers();
    for (const auto& a : all)
    {
        for (const auto& b : all)
        {
            SCOPED_TRACE(a.value.dump() + " (" + a.value.type_name() + std::to_string(int(a.value.type())) + ") vs " +
                         b.value.dump() + " (" + std::to_string(int(b.value.type())) + ")");
            EXPECT_EQ(relations(a.value, b.value), native_relations(a.exact, b.exact));
            if (a.value == b.value)
            {
                EXPECT_EQ(std::hash<json>()(a.value), std::hash<json>()(b.value));
            }
        }
    }
}

TEST(NumberComparison, CasesThatRoundingWouldGetWrong)
{
    struct number_case
    {
        json a;
        json b;
        const char* relations;
        const char* why;
    };
    const double two_63 = 9223372036854775808.0;
    const number_case cases[] = {
        {json(9223372036854775807LL), json(two_63), "!=<<=", "INT64_MAX is below 2^63, though it rounds to it"},
        {json(9223372036854775808ULL), json(two_63), "==<=>=", "2^63 unsigned is 2^63 as double"},
        {json(9007199254740993LL), json(9007199254740992.0), "!=>>=", "2^53 + 1 is above 2^53 as double"},
        {json(18446744073709551615ULL), json(two_63 * 2), "!=<<=", "UINT64_MAX is below 2^64"},
        {json(18446744073709551615ULL), json(-1LL), "!=>>=", "an unsigned above the signed range is not -1"},
        {json(1), json(1u), "==<=>=", "1 == 1u"},
        {json(1u), json(1.0), "==<=>=", "1u == 1.0"},
        {json(-0.0), json(0), "==<=>=", "-0.0 == 0"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(relations(c.a, c.b), c.relations);
    }
}

TEST(NumberComparison, NaNIsUnorderedLikeDouble)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const json values[] = {json(nan), json({nan}), json({{"k", nan}})};
    for (const json& value : values)
    {
        SCOPED_TRACE(value.dump());
        EXPECT_EQ(relations(value, value), "!="); // unequal to itself, and neither less nor greater
        EXPECT_EQ(relations(value, json(value)), native_relations(nan, nan));
    }
    EXPECT_EQ(relations(json(nan), json(1)), native_relations(nan, 1.0));
    EXPECT_EQ(relations(json(1u), json(nan)), native_relations(1.0, nan));
    EXPECT_EQ(relations(json({1, nan}), json({2, nan})), "!=<<="); // decided before the NaN is reached
}

TEST(Comparison, OrdersKindsAndContainers)
{
    // Each row strictly below the next.
    struct ordered_case
    {
        json value;
        const char* why;
    };
    const ordered_case ladder[] = {
        {json(), "null first"},
        {false, "then booleans, false below true"},
        {true, ""},
        {-1, "then numbers, of every kind"},
        {0.5, ""},
        {1u, ""},
        {"", "then strings, the empty one first"},
        {"a", ""},
        {"ab", "a prefix below its extension"},
        {"b", ""},
        {"\xc3\xa9", "bytes compare as unsigned, so UTF-8 after ASCII"},
        {json(json::value_t::array), "then arrays, the empty one first"},
        {{1, 2}, "element by element"},
        {{1, 2, 0}, "a prefix below its extension"},
        {{1, 3}, ""},
        {{2}, "the first difference decides"},
        {json(json::value_t::object), "then objects"},
        {{{"a", 1}}, "member by member, key first"},
        {{{"a", 1}, {"b", 0}}, ""},
        {{{"a", 2}}, "then value"},
        {{{"b", 0}}, ""},
    };
    const std::size_t n = sizeof ladder / sizeof ladder[0];
    for (std::size_t i = 0; i < n; ++i)
    {
        for (std::size_t j = 0; j < n; ++j)
        {
            SCOPED_TRACE(ladder[i].value.dump() + " vs " + ladder[j].value.dump() + ": " + ladder[std::max(i, j)].why);
            EXPECT_EQ(relations(ladder[i].value, ladder[j].value),
                      i < j ? "!=<<=" : i == j ? "==<=>=" : "!=>>=");
        }
    }
}

#if defined(__cpp_impl_three_way_comparison) && defined(__cpp_lib_three_way_comparison)
// What the six relations read off a <=> say, to set against the operators.
std::string three_way_relations(const json& a, const json& b)
{
    const std::partial_ordering order = a <=> b;
    std::string result;
    result += order == 0 ? "==" : "";
    result += order != 0 ? "!=" : "";
    result += order < 0 ? "<" : "";
    result += order <= 0 ? "<=" : "";
    result += order > 0 ? ">" : "";
    result += order >= 0 ? ">=" : "";
    return result;
}

TEST(ThreeWayComparison, AgreesWithTheOperatorsOnEveryPair)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::vector<json> values = {json(), false, true, "", "a", "ab", json(json::value_t::array), {1, 2}, {1, 3},
                                {1, nan}, json(json::value_t::object), {{"a", 1}}, {{"a", nan}},
                                json(json::value_t::discarded)};
    for (const number& n : numbers())
    {
        values.push_back(n.value);
    }
    for (const json& a : values)
    {
        for (const json& b : values)
        {
            std::ostringstream shown; // dump() refuses the discarded kind
            shown << a << " vs " << b;
            SCOPED_TRACE(shown.str());
            EXPECT_EQ(three_way_relations(a, b), relations(a, b));
        }
    }
    static_assert(std::is_same_v<decltype(json() <=> json()), std::partial_ordering>);
    EXPECT_TRUE((json(nan) <=> json(nan)) == std::partial_ordering::unordered);
    EXPECT_TRUE((json(1) <=> 1.0) == std::partial_ordering::equivalent);
    EXPECT_TRUE((2u <=> json(-1)) == std::partial_ordering::greater);
}
#endif

TEST(Comparison, NativeValuesOnEitherSide)
{
    const json number = 3;
    const json text = "x";
    EXPECT_TRUE(number == 3);
    EXPECT_TRUE(3 == number);
    EXPECT_TRUE(number == 3.0);
    EXPECT_TRUE(number != 4u);
    EXPECT_TRUE(2 < number);
    EXPECT_TRUE(number <= 3);
    EXPECT_TRUE(text == "x");
    EXPECT_TRUE("x" == text);
    EXPECT_TRUE(text == std::string("x"));
    EXPECT_TRUE(text > 3); // strings after numbers
    EXPECT_TRUE(json() == nullptr);
    EXPECT_TRUE(json(true) != false);
}

TEST(Hash, AgreesWithEquality)
{
    const std::vector<std::pair<json, json>> equal = {
        {json(1), json(1.0)},
        {json(1u), json(1)},
        {json(-0.0), json(0u)},
        {json(-5), json(-5.0)},
        {json(9223372036854775808ULL), json(9223372036854775808.0)},
        {json({1, {{"a", 2u}}}), json({1.0, {{"a", 2}}})},
        {json("text"), json(std::string("text"))},
    };
    const std::hash<json> hash;
    for (const auto& pair : equal)
    {
        SCOPED_TRACE(pair.first.dump());
        ASSERT_EQ(pair.first, pair.second);
        EXPECT_EQ(hash(pair.first), hash(pair.second));
    }
    // Unequal values of a similar shape should rarely collide.
    const json different[] = {json(), json(false), json(0), json(""), json(json::value_t::array),
                              json(json::value_t::object), json({nullptr}), json({{"", nullptr}}),
                              json({1, 2}), json({2, 1}), json({{1, 2}}), json({1, {2}}), json({{"a", "b"}}),
                              json({{"b", "a"}})};
    for (const auto& a : different)
    {
        for (const auto& b : different)
        {
            if (&a != &b)
            {
                EXPECT_NE(hash(a), hash(b)) << a << " and " << b;
            }
        }
    }
}

// A million levels, arrays and objects in turn, around one number.
json deep_value(int innermost)
{
    json value = innermost;
    for (int level = 0; level < 1000000; ++level)
    {
        json outer = level % 2 == 0 ? json(json::value_t::array) : json(json::value_t::object);
        if (outer.is_array())
        {
            outer.push_back(std::move(value));
        }
        else
        {
            outer["k"] = std::move(value);
        }
        value = std::move(outer);
    }
    return value;
}

TEST(DeepComparison, AMillionLevelsCompareAndHashWithoutRecursion)
{
    const json one = deep_value(1);
    const json copy = one;
    const json two = deep_value(2);
    EXPECT_TRUE(one == copy);
    EXPECT_FALSE(one != copy);
    EXPECT_TRUE(one < two);
    EXPECT_TRUE(two >= one);
    EXPECT_EQ(std::hash<json>()(one), std::hash<json>()(copy));
    EXPECT_NE(std::hash<json>()(one), std::hash<json>()(two));
}

} // namespace

// Number text: integers in plain decimal, floating point with 15 significant
// digits (the stream operator's, and dump()'s with fifteen_digit_doubles) and
// always a '.' or an exponent.

#include <quarrow/json.hpp>

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace
{

using quarrow::json;

struct number_case
{
    json value;
    const char* text;
};

std::string fifteen_digits(const json& value)
{
    quarrow::dump_options options;
    options.fifteen_digit_doubles = true;
    return value.dump(options);
}

TEST(IntegerOutput, PlainDecimalFromEitherExtreme)
{
    const number_case cases[] = {
        {json(0), "0"},
        {json(-1), "-1"},
        {json(7), "7"},
        {json(10), "10"},
        {json(-100), "-100"},
        {json(std::numeric_limits<std::int64_t>::max()), "9223372036854775807"},
        {json(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808"}, // never negated
        {json(0u), "0"},
        {json(std::numeric_limits<std::uint64_t>::max()), "18446744073709551615"},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(fifteen_digits(c.value), c.text);
    }
}

TEST(FloatOutput, ZeroKeepsItsSign)
{
    EXPECT_EQ(fifteen_digits(json(0.0)), "0.0");
    EXPECT_EQ(fifteen_digits(json(-0.0)), "-0.0");
}

TEST(FloatOutput, WholeValuesGainPointZero)
{
    const number_case cases[] = {
        {json(1.0), "1.0"}, {json(-2.0), "-2.0"}, {json(100.0), "100.0"}, {json(123456.0), "123456.0"},
        {json(1e14), "100000000000000.0"}, // the largest power of ten %g still writes without exponent
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(fifteen_digits(c.value), c.text);
    }
}

TEST(FloatOutput, PointOrExponentTextStaysAsIs)
{
    const number_case cases[] = {
        {json(0.5), "0.5"},
        {json(0.1), "0.1"},
        {json(-3.25), "-3.25"},
        {json(1e20), "1e+20"},
        {json(1e15), "1e+15"},
        {json(1.5e-7), "1.5e-07"},
        {json(1e-300), "1e-300"},
        {json(std::numeric_limits<double>::max()), "1.79769313486232e+308"},
        {json(std::numeric_limits<double>::denorm_min()), "4.94065645841247e-324"},
        {json(std::numeric_limits<double>::lowest()), "-1.79769313486232e+308"},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(fifteen_digits(c.value), c.text);
    }
}

TEST(FloatOutput, FifteenSignificantDigits)
{
    const number_case cases[] = {
        {json(1.0 / 3.0), "0.333333333333333"},
        {json(123456789012345678.0), "1.23456789012346e+17"},
        {json(123456789012345.0), "123456789012345.0"}, // exactly 15 digits: no exponent
        {json(0.1 + 0.2), "0.3"},                        // the 17th digit is not shown
        {json(2.0 / 3.0), "0.666666666666667"},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(fifteen_digits(c.value), c.text);
    }
}

// JSON has no text for these; null keeps the document valid.
TEST(FloatOutput, NanAndInfinitiesAreNull)
{
    using limits = std::numeric_limits<double>;
    for (const double x : {limits::quiet_NaN(), -limits::quiet_NaN(), limits::infinity(), -limits::infinity()})
    {
        EXPECT_EQ(fifteen_digits(json(x)), "null");
        EXPECT_EQ(fifteen_digits(json({x})), "[null]");
    }
}

} // namespace

// The text of doubles: write_double against snprintf "%.15g", and
// write_double_shortest against strtod, on about a million doubles chosen to
// reach every exponent and the rare roundings. The C library, in the "C"
// locale, is the oracle throughout; on the same doubles, dump() reads back
// through parse, and its 15-digit option gives the stream operator's bytes.

#include "../bench/decimal_digits.hpp"
#include "counting_new.hpp"

#include <quarrow/json.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ios>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#if __cplusplus >= 201703L
#include <charconv>
#endif

// As in locale_test.cpp: glibc keeps the LOCPATH search path it builds and
// never frees it.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:argz_add_sep\n";
}

namespace
{

using quarrow::detail::write_double;
using quarrow::detail::write_double_shortest;

// Room past the 32 bytes the functions may write, to catch a write beyond them.
constexpr std::size_t buffer_size = 48;
constexpr char untouched = '\x7f';
const double smallest_subnormal = std::numeric_limits<double>::denorm_min();

template<typename Write>
std::string written(Write write, const double x)
{
    char buffer[buffer_size];
    std::memset(buffer, untouched, sizeof buffer);
    const char* const end = write(buffer, x);
    const auto length = static_cast<std::size_t>(end - buffer);
    EXPECT_LE(length, 24u) << std::hexfloat << x;
    // The 32 bytes are the functions' to use, also past the end they return.
    for (std::size_t i = 32; i < buffer_size; ++i)
    {
        EXPECT_EQ(buffer[i], untouched) << "written past 32 bytes for " << std::hexfloat << x;
    }
    return std::string(buffer, std::min<std::size_t>(length, buffer_size));
}

/// The stream writer's rule: "%.15g", zeros as "0.0" and "-0.0", ".0" after
/// a text with neither '.' nor 'e'.
std::string oracle(const double x)
{
    if (x == 0)
    {
        return std::signbit(x) ? "-0.0" : "0.0";
    }
    char buffer[64];
    const int length = std::snprintf(buffer, sizeof buffer, "%.*g", 15, x);
    std::string text(buffer, static_cast<std::size_t>(length));
    if (text.find_first_of(".e") == std::string::npos)
    {
        text += ".0";
    }
    return text;
}

bool same_bits(const double a, const double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

/// Whether x's nearest decimal of p significant digits reads back as x.
bool reads_back_with(const double x, const int p)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", p - 1, x);
    return same_bits(std::strtod(buffer, nullptr), x);
}

/// The significant digits of a number text, leading and trailing zeros not counted.
int significant_digits(const std::string& text)
{
    std::string digits;
    for (const char c : text.substr(0, text.find('e')))
    {
        if (c >= '0' and c <= '9' and not (c == '0' and digits.empty()))
        {
            digits += c;
        }
    }
    digits.erase(digits.find_last_not_of('0') + 1);
    return static_cast<int>(digits.size());
}

bool is_power_of_two(const double x)
{
    int exponent;
    return std::fabs(std::frexp(x, &exponent)) == 0.5;
}

/// The doubles checked: random bit patterns, each power of ten and of two with
/// its neighbours, the extremes, subnormals, short decimals, and the doubles
/// around decimals that lie halfway between two 15-digit (and 16-digit) ones.
/// Fixed seeds, so a failure can be reproduced.
std::vector<double> generated_doubles()
{
    std::vector<double> xs;
    std::mt19937_64 random(20261210);
    const auto with_neighbours = [&xs](const double x) {
        for (const double y : {std::nextafter(x, -HUGE_VAL), x, std::nextafter(x, HUGE_VAL)})
        {
            if (std::isfinite(y))
            {
                xs.push_back(y);
            }
        }
    };
    const auto from_text = [](const std::string& text) { return std::strtod(text.c_str(), nullptr); };

    while (xs.size() < 400000)
    {
        const std::uint64_t bits = random();
        double x;
        std::memcpy(&x, &bits, sizeof x);
        if (std::isfinite(x))
        {
            xs.push_back(x);
        }
    }
    for (int n = -323; n <= 308; ++n)
    {
        with_neighbours(from_text("1e" + std::to_string(n)));
    }
    for (int n = -1074; n <= 1023; ++n)
    {
        with_neighbours(std::ldexp(1.0, n));
    }
    for (const double x : {DBL_MAX, DBL_MIN, smallest_subnormal, 2 * smallest_subnormal, 1.0, 0.1})
    {
        with_neighbours(x);
    }
    std::uniform_int_distribution<std::uint64_t> subnormal(1, (std::uint64_t{1} << 52) - 1);
    for (int i = 0; i < 50000; ++i)
    {
        const std::uint64_t bits = subnormal(random) >> (i % 52); // every length of significand
        double x;
        std::memcpy(&x, &bits, sizeof x);
        xs.push_back(x);
    }
    std::uniform_int_distribution<int> short_digits(1, 999999);
    std::uniform_int_distribution<int> exponent(-330, 310);
    for (int i = 0; i < 100000; ++i)
    {
        xs.push_back(from_text(std::to_string(short_digits(random)) + "e" + std::to_string(exponent(random))));
    }
    // d.ddd...5e±X, halfway between two decimals of 15 (16) digits, rarely a
    // double itself: the doubles around it round either way by a hair.
    for (const int digits : {15, 16})
    {
        std::uniform_int_distribution<std::uint64_t> leading(quarrow::detail::power_of_ten(digits - 1),
                                                             quarrow::detail::power_of_ten(digits) - 1);
        for (int i = 0; i < (digits == 15 ? 100000 : 50000); ++i)
        {
            const double x = from_text(std::to_string(leading(random)) + "5e" + std::to_string(exponent(random)));
            if (std::isfinite(x) and x != 0)
            {
                with_neighbours(x);
            }
        }
    }
    // Integers exactly halfway between two 15-digit decimals: only the exact
    // arithmetic can round them, to the even neighbour.
    std::uniform_int_distribution<std::uint64_t> fifteen(100000000000000u, 900719925474098u);
    for (int i = 0; i < 20000; ++i)
    {
        xs.push_back(static_cast<double>(fifteen(random) * 10 + 5));
    }
    // Short decimals past the largest double read as infinity.
    xs.erase(std::remove_if(xs.begin(), xs.end(), [](const double x) { return not std::isfinite(x); }), xs.end());
    for (std::size_t i = 0; i < xs.size(); i += 2)
    {
        xs[i] = -xs[i];
    }
    return xs;
}

const std::vector<double>& doubles()
{
    static const std::vector<double> xs = generated_doubles();
    return xs;
}

TEST(WriteDouble, MatchesSnprintfOnEveryGeneratedDouble)
{
    std::size_t mismatches = 0;
    for (const double x : doubles())
    {
        const std::string expected = oracle(x);
        const std::string actual = written(write_double, x);
        if (actual != expected and ++mismatches <= 10)
        {
            ADD_FAILURE() << std::hexfloat << x << ": " << actual << " instead of " << expected;
        }
    }
    EXPECT_EQ(mismatches, 0u) << "of " << doubles().size();
}

TEST(WriteDoubleShortest, ReadsBackWithNoMoreDigitsThanNeeded)
{
    std::size_t mismatches = 0;
    for (const double x : doubles())
    {
        const std::string text = written(write_double_shortest, x);
        const int digits = significant_digits(text);
        // A decimal shorter than digits - 1 reads back only if the nearest one
        // of digits - 1 does, as every shorter decimal is one of those too,
        // and the bounds lie evenly around x except at powers of two.
        bool shorter_reads_back = false;
        for (int p = is_power_of_two(x) ? 1 : digits - 1; p >= 1 and p < digits; ++p)
        {
            shorter_reads_back = shorter_reads_back or reads_back_with(x, p);
        }
        const bool normal = std::fabs(x) >= DBL_MIN;
        const bool ok = same_bits(std::strtod(text.c_str(), nullptr), x) and digits <= 17 and
                        not shorter_reads_back and (digits > 15 or not normal or text == oracle(x));
        if (not ok and ++mismatches <= 10)
        {
            ADD_FAILURE() << std::hexfloat << x << ": " << text << ", " << digits << " digits; %.15g gives "
                          << oracle(x);
        }
    }
    EXPECT_EQ(mismatches, 0u) << "of " << doubles().size();
}

#if defined(__cpp_lib_to_chars)
// Of several shortest decimals that read back, the nearest: std::to_chars
// makes the same choice, so it is a second oracle for the digits themselves.
TEST(WriteDoubleShortest, HasTheDigitsOfToChars)
{
    std::size_t mismatches = 0;
    for (const double x : doubles())
    {
        const std::string text = written(write_double_shortest, x);
        char buffer[64];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::scientific);
        const std::string expected(buffer, result.ptr);
        if (decimal_digits(text) != decimal_digits(expected) and ++mismatches <= 10)
        {
            ADD_FAILURE() << std::hexfloat << x << ": " << text << " where std::to_chars gives " << expected;
        }
    }
    EXPECT_EQ(mismatches, 0u) << "of " << doubles().size();
}
#endif

const quarrow::json& doubles_value()
{
    static const quarrow::json value(quarrow::json::array_t(doubles().begin(), doubles().end()));
    return value;
}

// Compact only: the layouts write numbers alike (Layout and Routes check them).
TEST(DumpDoubles, ParseReadsBackEveryGeneratedDoubleBitForBit)
{
    const quarrow::json back = quarrow::json::parse(doubles_value().dump());
    ASSERT_EQ(back.size(), doubles().size());
    std::size_t mismatches = 0;
    for (std::size_t i = 0; i < doubles().size(); ++i)
    {
        const double* const x = back[i].get_ptr<const double*>();
        if ((x == nullptr or not same_bits(*x, doubles()[i])) and ++mismatches <= 10)
        {
            ADD_FAILURE() << std::hexfloat << doubles()[i] << " read back as " << back[i];
        }
    }
    EXPECT_EQ(mismatches, 0u) << "of " << doubles().size();
    EXPECT_TRUE(back == doubles_value());
}

TEST(DumpDoubles, FifteenDigitsAreTheStreamOperatorsBytes)
{
    quarrow::dump_options options;
    options.fifteen_digit_doubles = true;
    std::ostringstream stream;
    stream << doubles_value();
    std::ostringstream chunked;
    doubles_value().dump_to(chunked, options);
    EXPECT_TRUE(chunked.str() == stream.str()); // 20 MB: not printed
}

TEST(FloatText, CasesThatShowTheRules)
{
    struct row
    {
        double x;
        const char* fifteen;
        const char* shortest;
        const char* reason;
    };
    const row rows[] = {
        {1e15, "1e+15", "1e+15", "an exponent of 15 is written as one"},
        {1e14, "100000000000000.0", "100000000000000.0", "an exponent of 14 is still fixed, and gets its .0"},
        {123456.0, "123456.0", "123456.0", "an integer gets .0"},
        {1e-5, "1e-05", "1e-05", "below -4 the exponent is written, with two digits"},
        {1e-4, "0.0001", "0.0001", "-4 is still fixed"},
        {0.1 + 0.2, "0.3", "0.30000000000000004", "15 digits hide what the shortest shows"},
        {DBL_MAX, "1.79769313486232e+308", "1.7976931348623157e+308", "the largest double"},
        {smallest_subnormal, "4.94065645841247e-324", "5e-324", "the smallest subnormal: one digit reads back"},
        {std::ldexp(static_cast<double>(0x00d91c26e75abu), -1074), "7.37130303353995e-311", "7.37130303354e-311",
         "a subnormal: fewer digits read back than its 15-digit rounding cut short"},
        {-0.0, "-0.0", "-0.0", "negative zero keeps its sign"},
        {0.0, "0.0", "0.0", "zero"},
        {1000000000000005.0, "1e+15", "1.000000000000005e+15", "exactly halfway at 15 digits: to the even 0"},
        {1000000000000015.0, "1.00000000000002e+15", "1.000000000000015e+15", "exactly halfway: to the even 2"},
        {18014398509481992.0, "1.8014398509482e+16", "1.801439850948199e+16",
         "2^54 + 8: its shortest lies exactly on the bound, which reads back as the even significand"},
        {std::ldexp(1.0, -1017), "7.12023634722304e-307", "7.120236347223045e-307",
         "a power of two: the nearest 16 digits fall below the narrow lower bound, the next ones up read back"},
        {-2.5, "-2.5", "-2.5", "the sign"},
    };
    for (const row& r : rows)
    {
        SCOPED_TRACE(r.reason);
        EXPECT_EQ(written(write_double, r.x), r.fifteen);
        EXPECT_EQ(written(write_double, r.x), oracle(r.x));
        EXPECT_EQ(written(write_double_shortest, r.x), r.shortest);
    }
}

TEST(FloatText, TheSameBytesUnderADecimalCommaLocale)
{
    std::vector<std::string> fifteen;
    std::vector<std::string> shortest;
    const std::size_t count = 20000;
    for (std::size_t i = 0; i < count; ++i)
    {
        fifteen.push_back(written(write_double, doubles()[i]));
        shortest.push_back(written(write_double_shortest, doubles()[i]));
    }
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr);
    char printed[32];
    std::snprintf(printed, sizeof printed, "%.1f", 0.5);
    EXPECT_STREQ(printed, "0,5"); // the locale really is in force
    for (std::size_t i = 0; i < count; ++i)
    {
        EXPECT_EQ(written(write_double, doubles()[i]), fifteen[i]);
        EXPECT_EQ(written(write_double_shortest, doubles()[i]), shortest[i]);
    }
    std::setlocale(LC_ALL, "C");
}

// The exact arithmetic decides only rare cases, so its edges get rows of their own.
TEST(FloatText, ExactComparisonOfPowersOfTenAndTwo)
{
    struct row
    {
        std::uint64_t a;
        int j;
        std::uint64_t b;
        int f;
        int sign; // of a * 10^j - b * 2^f
        const char* reason;
    };
    const std::uint64_t all_ones = ~std::uint64_t{0};
    const row rows[] = {
        {5, -1, 1, -1, 0, "0.5 = 2^-1, across a negative power of ten"},
        {1, 22, 2384185791015625u, 22, 0, "10^22 = 5^22 * 2^22"},
        {1, 22, 2384185791015626u, 22, -1, "one more on the right"},
        {1, 22, 2384185791015624u, 22, 1, "one less on the right"},
        {1, 300, 1, 996, 1, "10^300 > 2^996 = 6.7e299"},
        {1, 300, 1, 997, -1, "10^300 < 2^997 = 1.3e300"},
        {1, -324, 1, -1076, -1, "10^-324 < 2^-1076 = 1.2e-324"},
        {all_ones, -342, all_ones, -1076, -1, "the largest numbers compared: 5^342 and 2^734 times 64 bits"},
        {all_ones, 295, all_ones, 972, 1, "the largest on the other side: 5^295 and 2^677 times 64 bits"},
        {all_ones, 0, all_ones, 0, 0, "64 bits each, nothing scaled"},
        {0, 5, 0, -5, 0, "zeros"},
    };
    for (const row& r : rows)
    {
        EXPECT_EQ(quarrow::detail::compare_exact(r.a, r.j, r.b, r.f), r.sign) << r.reason;
    }
}

// Blocks of eight digits come from a fixed-point fraction whose error grows
// with the number: every small one, every one near 10^8, and a sweep between.
TEST(FloatText, BlocksOfEightDigitsMatchSnprintf)
{
    std::vector<std::uint32_t> ns;
    for (std::uint32_t n = 0; n < 100000; ++n)
    {
        ns.push_back(n);
        ns.push_back(99999999u - n);
    }
    for (std::uint32_t n = 100000; n < 99900000u; n += 997)
    {
        ns.push_back(n);
    }
    for (std::uint32_t power = 10; power <= 10000000u; power *= 10)
    {
        for (std::uint32_t n = power * 9 / 10; n < power * 11 / 10 + 2; ++n)
        {
            ns.push_back(n);
        }
    }
    std::size_t mismatches = 0;
    for (const std::uint32_t n : ns)
    {
        char expected[16];
        std::snprintf(expected, sizeof expected, "%08u", static_cast<unsigned>(n));
        char actual[8];
        quarrow::detail::write_eight(actual, n);
        if (std::string(actual, 8) != expected and ++mismatches <= 10)
        {
            ADD_FAILURE() << n << ": " << std::string(actual, 8);
        }
    }
    EXPECT_EQ(mismatches, 0u) << "of " << ns.size();
}

TEST(FloatText, AllocatesNothing)
{
    // Among them doubles whose rounding only the exact arithmetic decides.
    const double xs[] = {0.1, 1000000000000005.0, 18014398509481992.0, smallest_subnormal, DBL_MAX, -1e-300};
    char buffer[buffer_size];
    for (const double x : xs)
    {
        EXPECT_EQ(counting_new::allocations_during([&] { write_double(buffer, x); }), 0u) << x;
        EXPECT_EQ(counting_new::allocations_during([&] { write_double_shortest(buffer, x); }), 0u) << x;
    }
}

TEST(FloatText, PortableMultiplyAgreesWithTheNativeOne)
{
    std::mt19937_64 random(7);
    std::vector<std::uint64_t> factors = {0, 1, 2, 0xffffffffu, 0x100000000u, ~std::uint64_t{0}};
    for (int i = 0; i < 1000; ++i)
    {
        factors.push_back(random());
    }
    for (const std::uint64_t a : factors)
    {
        for (const std::uint64_t b : {factors[5], factors[3], factors[static_cast<std::size_t>(random() % 1006)]})
        {
            const quarrow::detail::uint128 portable = quarrow::detail::multiply_portable(a, b);
            const quarrow::detail::uint128 native = quarrow::detail::multiply(a, b);
            ASSERT_EQ(portable.high, native.high) << a << " * " << b;
            ASSERT_EQ(portable.low, native.low) << a << " * " << b;
            ASSERT_EQ(portable.low, a * b); // the low half is plain wrapping multiplication
        }
    }
    // (2^64 - 1)^2 = (2^64 - 2) * 2^64 + 1: every carry taken.
    const quarrow::detail::uint128 square = quarrow::detail::multiply_portable(~std::uint64_t{0}, ~std::uint64_t{0});
    EXPECT_EQ(square.high, ~std::uint64_t{0} - 1);
    EXPECT_EQ(square.low, 1u);
}

} // namespace

// Number text to double: detail::text_to_double against strtod in the "C"
// locale, where the test process starts, bit for bit. Runs with LOCPATH
// pointing at the locales that make_locales.cmake compiled.

#include <quarrow/json.hpp>

#include "../bench/number_tokens.hpp"
#include "counting_new.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <random>
#include <string>
#include <vector>

// glibc keeps the LOCPATH search path it builds while loading a named locale
// and never frees it; this tells LeakSanitizer, in the sanitizer build, that
// the leak is not ours.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:argz_add_sep\n";
}

namespace
{

using quarrow::detail::text_to_double;

std::uint64_t bits_of(const double x)
{
    std::uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    return bits;
}

/// What a conversion gave: the bits of a finite double, or "out of range".
struct reading
{
    bool in_range;
    std::uint64_t bits;

    bool operator==(const reading& other) const
    {
        return in_range == other.in_range and (not in_range or bits == other.bits);
    }
};

std::string describe(const reading& r)
{
    if (not r.in_range)
    {
        return "out of range";
    }
    double x;
    std::memcpy(&x, &r.bits, sizeof x);
    char text[64];
    std::snprintf(text, sizeof text, "%a (%.17g)", x, x);
    return text;
}

const double untouched = 12345.0;

/// text_to_double's reading; out of range leaves the target as it was.
reading ours(const std::string& text)
{
    double x = untouched;
    if (text_to_double(text.data(), text.data() + text.size(), x))
    {
        return {true, bits_of(x)};
    }
    EXPECT_EQ(bits_of(x), bits_of(untouched)) << text << ": the target changed although the number is out of range";
    return {false, 0};
}

/// strtod's reading; it gives an infinity, with ERANGE, for a number too large.
reading oracle(const std::string& text)
{
    char* end = nullptr;
    const double x = std::strtod(text.c_str(), &end);
    EXPECT_EQ(end, text.c_str() + text.size()) << text << ": strtod stopped early";
    if (std::isinf(x))
    {
        return {false, 0};
    }
    return {true, bits_of(x)};
}

std::string shortened(const std::string& text)
{
    return text.size() <= 120 ? text : text.substr(0, 60) + "..." + text.substr(text.size() - 50);
}

/// Every text converts as strtod converts it; the first few differences are shown.
void expect_as_strtod(const std::vector<std::string>& texts)
{
    std::size_t mismatches = 0;
    for (const std::string& text : texts)
    {
        const reading expected = oracle(text);
        const reading actual = ours(text);
        if (not(actual == expected) and ++mismatches <= 10)
        {
            ADD_FAILURE() << shortened(text) << "\n  text_to_double: " << describe(actual)
                          << "\n  strtod:         " << describe(expected);
        }
    }
    EXPECT_EQ(mismatches, 0u) << "of " << texts.size() << " numbers";
}

template<typename Number>
Number uniform(std::mt19937_64& random, const Number low, const Number high)
{
    return std::uniform_int_distribution<Number>(low, high)(random);
}

/// A random number text in the JSON grammar with `digits` digits, whose value
/// lies near 10^magnitude, in any of the shapes the grammar allows.
std::string random_number(std::mt19937_64& random, const int digits, const int magnitude)
{
    std::string mantissa(static_cast<std::size_t>(digits), '0');
    for (char& c : mantissa)
    {
        c = static_cast<char>('0' + uniform(random, 0, 9));
    }
    std::string text = uniform(random, 0, 1) == 0 ? "" : "-";
    // Digits before the point: none (so "0."), some, or all.
    const int before = uniform(random, 0, digits);
    if (before == 0)
    {
        text += "0";
    }
    else
    {
        const std::size_t nonzero = mantissa.find_first_not_of('0');
        const std::size_t drop = std::min(nonzero, static_cast<std::size_t>(before - 1)); // no leading zeros
        text += mantissa.substr(drop, static_cast<std::size_t>(before) - drop);
    }
    if (before < digits)
    {
        text += "." + mantissa.substr(static_cast<std::size_t>(before));
    }
    const int exponent = magnitude - before;
    if (exponent != 0 or uniform(random, 0, 3) == 0)
    {
        text += uniform(random, 0, 1) == 0 ? "e" : "E";
        text += exponent < 0 ? "-" : uniform(random, 0, 2) == 0 ? "+" : "";
        text += uniform(random, 0, 5) == 0 ? "00" : ""; // leading zeros in the exponent
        text += std::to_string(exponent < 0 ? -exponent : exponent);
    }
    return text;
}

std::vector<std::string> random_numbers(const std::uint64_t seed, const std::size_t count, const int min_digits,
                                        const int max_digits)
{
    std::mt19937_64 random(seed);
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < count; ++i)
    {
        // Magnitudes from well below the smallest subnormal to beyond the largest double.
        texts.push_back(random_number(random, uniform(random, min_digits, max_digits), uniform(random, -345, 312)));
    }
    return texts;
}

TEST(NumberRead, RandomShortNumbersOverTheWholeRange)
{
    expect_as_strtod(random_numbers(1, 300000, 1, 25));
}

TEST(NumberRead, RandomLongNumbersOverTheWholeRange)
{
    expect_as_strtod(random_numbers(2, 6000, 100, 800));
}

TEST(NumberRead, EveryPowerOfTen)
{
    std::vector<std::string> texts;
    for (int exponent = -350; exponent <= 310; ++exponent)
    {
        texts.push_back("1e" + std::to_string(exponent));
        // The same power past 19 digits, so not on the short-mantissa route.
        texts.push_back("1" + std::string(30, '0') + "e" + std::to_string(exponent - 30));
    }
    expect_as_strtod(texts);
}

// -- halfway points between adjacent doubles ----------------------------------

double next_up(const double x)
{
    return std::nextafter(x, std::numeric_limits<double>::infinity());
}

/// The exact decimal expansion of the midpoint of x and the next double up,
/// as "d.ddd...e±n" with `precision` digits after the point (zeros after the
/// expansion ends). long double holds the midpoint exactly and glibc prints it exactly.
std::string halfway_text(const double x, const int precision)
{
    const long double midpoint = (static_cast<long double>(x) + static_cast<long double>(next_up(x))) / 2;
    std::vector<char> buffer(static_cast<std::size_t>(precision) + 32);
    const int length = std::snprintf(buffer.data(), buffer.size(), "%.*Le", precision, midpoint);
    return std::string(buffer.data(), static_cast<std::size_t>(length));
}

/// text with one unit added to, or taken from, its mantissa digit at `digit`
/// (0: the digit before the point).
std::string nudged(std::string text, const std::size_t digit, const bool up)
{
    std::size_t position = digit + (digit == 0 ? 0 : 1); // past the point
    for (;; position -= (position == 2 ? 2 : 1))
    {
        char& c = text[position];
        if (up ? c != '9' : c != '0')
        {
            c = static_cast<char>(c + (up ? 1 : -1));
            return text;
        }
        c = up ? '0' : '9';
    }
}

struct halfway_case
{
    const char* name;
    std::uint64_t seed;
    std::uint64_t min_bits;
    std::uint64_t max_bits;
};

void PrintTo(const halfway_case& c, std::ostream* out)
{
    *out << c.name;
}

class Halfway : public ::testing::TestWithParam<halfway_case>
{};

// At the midpoint ties go to the double with the even mantissa; a unit in a
// far digit decides for one side. Digit 780 is among the digits read exactly,
// digit 850 beyond them, where only "is the rest zero" may count.
TEST_P(Halfway, TiesGoToEvenAndAFarDigitDecides)
{
    if (std::numeric_limits<long double>::digits < 64)
    {
        GTEST_SKIP() << "long double cannot hold the midpoints";
    }
    std::mt19937_64 random(GetParam().seed);
    std::vector<std::string> texts;
    std::size_t wrong_side = 0;
    for (int i = 0; i < 1500; ++i)
    {
        const std::uint64_t bits = uniform(random, GetParam().min_bits, GetParam().max_bits);
        double below;
        std::memcpy(&below, &bits, sizeof below);
        const double above = next_up(below);
        const double even = (bits & 1) == 0 ? below : above;
        const std::string exact = halfway_text(below, 860);
        const std::string sign = uniform(random, 0, 1) == 0 ? "" : "-";
        const struct
        {
            std::string text;
            double expected;
        } variants[] = {
            {exact, even},
            {nudged(exact, 780, true), above},
            {nudged(exact, 780, false), below},
            {nudged(exact, 850, true), above},
            {nudged(exact, 850, false), below},
        };
        for (const auto& variant : variants)
        {
            const reading actual = ours(sign + variant.text);
            const double expected = sign.empty() ? variant.expected : -variant.expected;
            if (not(actual == reading{std::isfinite(expected), bits_of(expected)}) and ++wrong_side <= 10)
            {
                ADD_FAILURE() << shortened(sign + variant.text) << "\n  text_to_double: " << describe(actual)
                              << "\n  expected:       " << describe({true, bits_of(expected)});
            }
            texts.push_back(sign + variant.text);
        }
    }
    EXPECT_EQ(wrong_side, 0u);
    expect_as_strtod(texts);
}

const std::uint64_t largest_subnormal_bits = (std::uint64_t{1} << 52) - 1;
const std::uint64_t largest_finite_bits = (std::uint64_t{0x7FE} << 52) | largest_subnormal_bits;

INSTANTIATE_TEST_SUITE_P(
    NumberRead, Halfway,
    ::testing::Values(halfway_case{"normal", 3, std::uint64_t{1} << 52, largest_finite_bits - 1},
                      halfway_case{"subnormal", 4, 0, largest_subnormal_bits},
                      // From the largest subnormals into the smallest normals.
                      halfway_case{"around_the_smallest_normal", 5, largest_subnormal_bits - 2000,
                                   largest_subnormal_bits + 2000},
                      // Up to the one below the largest finite double: its midpoint with infinity is a row below.
                      halfway_case{"near_the_largest", 6, largest_finite_bits - 2000, largest_finite_bits - 1}),
    [](const ::testing::TestParamInfo<halfway_case>& param) { return std::string(param.param.name); });

// -- edges, by hand -------------------------------------------------------------

const std::string largest_finite_text = "179769313486231570814527423731704356798070567525844996598917476803157260780028538760589558"
                                        "632766878171540458953514382464234321326889464182768467546703537516986049910576551282076"
                                        "245490090389328944075868508455133942304583236903222948165808559332123348274797826204144"
                                        "723168738177180919299881250404026184124858368";
// Halfway between the largest finite double and 2^1024: ties go to 2^1024, so it overflows.
const std::string overflow_threshold_text = "17976931348623158079372897140530341507993413271003782693617377898044496829276475094664"
                                            "90179775872070963302864166928879109465555478519404026306574886715058206819089020007083"
                                            "83676273854845817711531764475730270069855571366959622842914819860834936475292719074168"
                                            "444365510704342711559699508093042880177904174497792";
const std::string half_smallest_subnormal_text =
    "2.4703282292062327208828439643411068618252990130716238221279284125033775363510437593264991818081799618989828234"
    "7722858865463328355177969898199387398005390939063150356595155702263922908583924491051844359318028499365361525"
    "0031937045767824921936562366986365848075700158576926990370631192827955855133292783433840935197801553124659726"
    "3579574622766465272827220056374006485499977096599470454020828166226237857393450736339007967761930577506740176"
    "3246736009689513405355374585166611342237666786041621596804619144672918403005300575308490487653917113865916462"
    "3952491262365388187963623937328042389101867234849766823508986338858792562830275599565752445550725518931369083"
    "625477918694866799496832404970582102851318545139621383772282614543769341253209859132766723632812"
    "5e-324";

struct edge_case
{
    std::string text;
    bool in_range;
    double expected;
    const char* reason;
};

TEST(NumberRead, Edges)
{
    const double largest = std::numeric_limits<double>::max();
    const double smallest = std::numeric_limits<double>::denorm_min();
    const double smallest_normal = std::numeric_limits<double>::min();
    const double largest_subnormal = smallest_normal - smallest;
    const edge_case cases[] = {
        {"1.7976931348623157e308", true, largest, "the largest finite double"},
        {largest_finite_text, true, largest, "the largest finite double, every digit"},
        {"-1.7976931348623157e308", true, -largest, "its negative"},
        {overflow_threshold_text.substr(0, overflow_threshold_text.size() - 1) + "1", true, largest,
         "just below the midpoint with 2^1024"},
        {overflow_threshold_text, false, 0, "the midpoint with 2^1024: ties to even overflow"},
        {"1.7976931348623159e308", false, 0, "one past the largest finite double"},
        {"-1e309", false, 0, "overflow keeps no sign"},
        {"1e999999999999999999", false, 0, "exponent digits beyond any integer type"},
        {"123456789e99999999999999999999999999999999999999", false, 0, "and with more mantissa digits"},
        {"1e-999999999999999999", true, 0.0, "underflow past any integer type"},
        {"-1e-999999999999999999", true, -0.0, "underflow keeps the sign"},
        {"0e999999999999999999", true, 0.0, "zero with a huge exponent is zero, not overflow"},
        {"-0", true, -0.0, "negative zero"},
        {"-0.0", true, -0.0, "negative zero with a fraction"},
        {"-0.000e-7", true, -0.0, "negative zero with zeros and an exponent"},
        {"-1e-400", true, -0.0, "underflow to negative zero"},
        {"4.9406564584124654e-324", true, smallest, "the smallest subnormal"},
        {"2.4703282292062328e-324", true, smallest, "just above half the smallest subnormal"},
        {"2.4703282292062327e-324", true, 0.0, "just below half the smallest subnormal"},
        {half_smallest_subnormal_text, true, 0.0, "exactly half the smallest subnormal: ties to even, 0"},
        {half_smallest_subnormal_text.substr(0, half_smallest_subnormal_text.size() - 5) + "1e-324", true, smallest,
         "that half with one more digit"},
        {"2.2250738585072011e-308", true, largest_subnormal, "the largest subnormal"},
        {"2.2250738585072012e-308", true, smallest_normal, "rounds up into the smallest normal"},
        {"2.2250738585072014e-308", true, smallest_normal, "the smallest normal"},
        {"0." + std::string(322, '0') + "1", true, 1e-323, "leading zeros in the fraction, into the subnormals"},
        {"0." + std::string(400, '0') + "1e400", true, 0.1, "leading zeros the exponent makes up for"},
        {"1" + std::string(400, '0') + "e-400", true, 1.0, "trailing zeros the exponent takes back"},
        {"0.1" + std::string(3000, '0'), true, 0.1, "a long run of trailing zeros in the fraction"},
        {"123" + std::string(2000, '0') + "e-2000", true, 123.0, "a long run of trailing zeros before the point"},
        {"0." + std::string(5000, '3'), true, 1.0 / 3.0, "thousands of significant digits"},
        {"9007199254740993", true, 9007199254740992.0, "2^53 + 1, a tie, goes to the even 2^53"},
        {"9007199254740993.00000000000000000000001", true, 9007199254740994.0, "a far nonzero digit breaks the tie"},
        {"9007199254740995", true, 9007199254740996.0, "the tie above goes up to the even one"},
        {"1e23", true, 1e23, "its halfway neighbourhood fools one rounded multiplication"},
        {"8.98846567431158e307", true, 8.98846567431158e307, "2^1023"},
        {"1E+2", true, 100.0, "capital E and an explicit plus"},
        {"1e007", true, 1e7, "leading zeros in the exponent"},
        {"-65.613616999999977", true, -65.613616999999977, "a number of canada.json"},
    };
    for (const edge_case& row : cases)
    {
        SCOPED_TRACE(row.reason);
        const reading expected = {row.in_range, bits_of(row.expected)};
        EXPECT_EQ(describe(ours(row.text)), describe(expected)) << shortened(row.text);
        EXPECT_EQ(describe(oracle(row.text)), describe(expected)) << shortened(row.text) << " (strtod)";
    }
}

// -- the corpora ----------------------------------------------------------------


std::vector<std::string> corpus_numbers(const char* name)
{
    std::ifstream file(std::string(QUARROW_TEST_DATA) + "/" + name, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    return number_tokens(text);
}

TEST(NumberRead, EveryNumberOfTheCorpora)
{
    for (const char* name : {"canada.json", "citm_catalog.json", "twitter.json"})
    {
        SCOPED_TRACE(name);
        const std::vector<std::string> texts = corpus_numbers(name);
        EXPECT_GT(texts.size(), 1000u);
        expect_as_strtod(texts);
    }
}

// -- how it works -----------------------------------------------------------------

TEST(NumberRead, AllocatesNothing)
{
    std::vector<std::string> texts = random_numbers(7, 2000, 1, 25);
    const std::vector<std::string> long_ones = random_numbers(8, 200, 700, 900);
    texts.insert(texts.end(), long_ones.begin(), long_ones.end());
    texts.push_back(overflow_threshold_text);
    texts.push_back(half_smallest_subnormal_text);
    const std::size_t before = counting_new::allocations();
    double sink = 0;
    for (const std::string& text : texts)
    {
        double x = 0;
        if (text_to_double(text.data(), text.data() + text.size(), x))
        {
            sink += x;
        }
    }
    EXPECT_EQ(counting_new::allocations(), before);
    EXPECT_FALSE(std::isnan(sink));
}

#if defined(__SIZEOF_INT128__)
// The product the library uses where the compiler has no 128-bit type.
TEST(NumberRead, PortableProductMatchesTheNativeOne)
{
    __extension__ typedef unsigned __int128 wide;
    std::mt19937_64 random(9);
    std::vector<std::uint64_t> factors = {0, 1, 2, 0xFFFFFFFFu, 0x100000000u, ~std::uint64_t{0},
                                          ~std::uint64_t{0} - 1, std::uint64_t{1} << 63};
    for (int i = 0; i < 100; ++i)
    {
        factors.push_back(random());
        factors.push_back(random() >> uniform(random, 0, 63));
    }
    for (const std::uint64_t a : factors)
    {
        for (const std::uint64_t b : factors)
        {
            const wide product = static_cast<wide>(a) * b;
            const quarrow::detail::uint128 portable = quarrow::detail::multiply_portable(a, b);
            ASSERT_EQ(portable.high, static_cast<std::uint64_t>(product >> 64)) << a << " * " << b;
            ASSERT_EQ(portable.low, static_cast<std::uint64_t>(product)) << a << " * " << b;
        }
    }
}
#endif

// -- under another C locale ---------------------------------------------------------

// strtod follows the C locale's decimal point; text_to_double must not.
TEST(NumberRead, ACommaDecimalLocaleChangesNoBit)
{
    std::vector<std::string> texts = random_numbers(10, 20000, 1, 25);
    const std::vector<std::string> canada = corpus_numbers("canada.json");
    texts.insert(texts.end(), canada.begin(), canada.end());
    texts.push_back(largest_finite_text);
    texts.push_back(overflow_threshold_text);
    texts.push_back(half_smallest_subnormal_text);
    std::vector<reading> in_c;
    for (const std::string& text : texts)
    {
        in_c.push_back(ours(text));
    }

    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "de_DE.UTF-8 is not available";
    EXPECT_EQ(std::strtod("1.5", nullptr), 1.0) << "strtod should stop at the '.' here";
    std::size_t changed = 0;
    for (std::size_t i = 0; i < texts.size(); ++i)
    {
        if (not(ours(texts[i]) == in_c[i]) and ++changed <= 10)
        {
            ADD_FAILURE() << texts[i] << " reads differently under de_DE.UTF-8";
        }
    }
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(changed, 0u);
}

} // namespace

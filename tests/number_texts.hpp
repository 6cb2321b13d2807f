// Number texts for the rounding tests of parse: random digits, long
// mantissas, exact halfway cases, subnormals and both ends of the exponent
// range, every one valid JSON. Printed in the C locale.

#ifndef QUARROW_TESTS_NUMBER_TEXTS_HPP
#define QUARROW_TESTS_NUMBER_TEXTS_HPP

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace number_texts
{

inline std::uint64_t bits(double x)
{
    std::uint64_t b = 0;
    std::memcpy(&b, &x, sizeof b);
    return b;
}

inline double from_bits(std::uint64_t b)
{
    double x = 0;
    std::memcpy(&x, &b, sizeof x);
    return x;
}

/// x printed with `digits` significant digits in exponent form, trailing
/// zeros of the mantissa dropped.
inline std::string printed(long double x, int digits)
{
    std::vector<char> buffer(static_cast<std::size_t>(digits) + 32);
    std::snprintf(buffer.data(), buffer.size(), "%.*Le", digits - 1, x);
    std::string text(buffer.data());
    const std::size_t e = text.find('e');
    std::size_t end = e;
    while (text[end - 1] == '0')
    {
        --end;
    }
    if (text[end - 1] == '.')
    {
        --end;
    }
    return text.substr(0, end) + text.substr(e);
}

/// `count` texts, the same ones on every run.
inline std::vector<std::string> generate(std::size_t count)
{
    std::mt19937_64 random(20261210);
    auto below = [&](std::uint64_t n) { return random() % n; };
    std::vector<std::string> texts = {
        "1.7976931348623157e308",   "1.7976931348623158e308",  "1.7976931348623159e308",
        "179769313486231580793728971405303415079934132710037826936173778980444968292764750946649017977587207096"
        "330286416692887910946555547851940402630657488671505820681908902000708383676273854845817711531764475730"
        "270069855571366959622842914819860834936475292719074168444365510704342711559699508093042880177904174497"
        "7913",
        "4.9406564584124654e-324", "2.4703282292062327e-324", "2.4703282292062328e-324",
        "2.2250738585072011e-308", "2.2250738585072014e-308", "0.1",
        "9007199254740993e0",      "9007199254740992.5",      "1e23",
        "8.98846567431158e307",    "0e-999",                  "-0.0",
        "1e-400",                  "123456789012345678901234567890e-50",
    };
    while (texts.size() < count)
    {
        std::string text = below(2) == 0 ? "" : "-";
        switch (below(6))
        {
            case 0: // random digits, a point somewhere, any exponent
            case 1:
            {
                const std::size_t digits = 1 + below(25);
                std::string mantissa(1, static_cast<char>('1' + below(9)));
                for (std::size_t i = 1; i < digits; ++i)
                {
                    mantissa += static_cast<char>('0' + below(10));
                }
                if (below(2) == 0 and digits > 1)
                {
                    mantissa.insert(1 + below(digits - 1), 1, '.');
                }
                text += mantissa + "e" + std::to_string(static_cast<int>(below(660)) - 345);
                break;
            }
            case 2: // long mantissas
            {
                text += std::to_string(1 + below(9)) + ".";
                const std::size_t digits = 20 + below(400);
                for (std::size_t i = 0; i < digits; ++i)
                {
                    text += static_cast<char>('0' + below(10));
                }
                text += "e" + std::to_string(static_cast<int>(below(620)) - 320);
                break;
            }
            case 3: // exactly halfway between two doubles, and just above
            {
                const double x = std::fabs(from_bits(random() >> 1 | 1));
                if (not std::isfinite(x) or x == std::numeric_limits<double>::max())
                {
                    continue;
                }
                const long double middle =
                    (static_cast<long double>(x) + std::nextafter(x, std::numeric_limits<double>::infinity())) / 2;
                std::string exact = printed(middle, 780);
                if (below(2) == 0)
                {
                    exact.insert(exact.find('e'), exact.find('.') == std::string::npos ? ".1" : "1");
                }
                text += exact;
                break;
            }
            case 4: // subnormals
                text += printed(from_bits(below(std::uint64_t{1} << 52)), 1 + static_cast<int>(below(25)));
                break;
            default: // doubles written back at 15 and 17 digits
            {
                const double x = from_bits(random() >> 1);
                if (not std::isfinite(x))
                {
                    continue;
                }
                text += printed(x, below(2) == 0 ? 15 : 17);
                break;
            }
        }
        texts.push_back(text);
    }
    return texts;
}

/// `count` texts without exponent of 1 to 3 integer digits and 1 to 18
/// fraction digits, as in coordinates and measures: random digits, values
/// printed near the midpoint between two doubles, and values a double holds
/// exactly. The same ones on every run.
inline std::vector<std::string> generate_fixed(std::size_t count)
{
    std::mt19937_64 random(20261211);
    auto below = [&](std::uint64_t n) { return random() % n; };
    std::vector<std::string> texts;
    char buffer[64];
    while (texts.size() < count)
    {
        std::string text = below(2) == 0 ? "" : "-";
        const int fraction_digits = 1 + static_cast<int>(below(18));
        switch (below(3))
        {
            case 0: // random digits
            {
                text += std::to_string(1 + below(999)) + ".";
                for (int i = 0; i < fraction_digits; ++i)
                {
                    text += static_cast<char>('0' + below(10));
                }
                break;
            }
            case 1: // near the midpoint between two doubles in [1, 1000)
            {
                const double x = 1 + static_cast<double>(below(999000000)) / 1000000.0;
                const long double middle =
                    (static_cast<long double>(x) + std::nextafter(x, std::numeric_limits<double>::infinity())) / 2;
                std::snprintf(buffer, sizeof buffer, "%.*Lf", fraction_digits, middle);
                text += buffer;
                break;
            }
            default: // held exactly: a multiple of a power of two down to 2^-16
            {
                const double x = static_cast<double>(65536 + below(999 * 65536)) / 65536.0;
                std::snprintf(buffer, sizeof buffer, "%.*f", fraction_digits, x);
                text += buffer;
                break;
            }
        }
        texts.push_back(text);
    }
    return texts;
}

} // namespace number_texts

#endif

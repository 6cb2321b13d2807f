// A number's text reduced to what it says, for checks that compare texts of
// different layouts.

#ifndef QUARROW_BENCH_DECIMAL_DIGITS_HPP
#define QUARROW_BENCH_DECIMAL_DIGITS_HPP

#include <cstdlib>
#include <string>
#include <utility>

/// A number's text as its significant digits and the power of ten of the
/// first: "-0.0125" and "1.25e-2" both give ("125", -2); a zero gives ("", 0).
inline std::pair<std::string, int> decimal_digits(const std::string& text)
{
    const std::size_t e = text.find_first_of("eE");
    const int exponent = e == std::string::npos ? 0 : std::atoi(text.c_str() + e + 1);
    std::string digits;
    int before_point = 0;
    bool seen_point = false;
    for (std::size_t i = 0; i < text.size() and i < e; ++i)
    {
        const char c = text[i];
        if (c == '.')
        {
            seen_point = true;
        }
        else if (c >= '0' and c <= '9')
        {
            if (digits.empty() and c == '0')
            {
                before_point -= seen_point ? 1 : 0; // a zero after the point moves the first digit down
                continue;
            }
            digits += c;
            before_point += seen_point ? 0 : 1;
        }
    }
    digits.erase(digits.find_last_not_of('0') + 1);
    return {digits, digits.empty() ? 0 : exponent + before_point - 1};
}

#endif

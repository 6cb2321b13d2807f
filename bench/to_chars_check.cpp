// Would std::to_chars (C++17, chars_format::general, precision 15) write the
// same bytes as the snprintf "%.*g" with 15 that quarrow uses for doubles, and
// what would it save on canada.json?
//
// Compares the two on every number of the three corpora and on two million
// random doubles, then times both over canada.json's floating-point numbers.
// Exits with 1 on any difference.

#include "number_tokens.hpp"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace
{

constexpr int precision = 15;

std::string_view with_snprintf(const double x, char (&buffer)[64])
{
    const int length = std::snprintf(buffer, sizeof buffer, "%.*g", precision, x);
    return {buffer, static_cast<std::size_t>(length)};
}

std::string_view with_to_chars(const double x, char (&buffer)[64])
{
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::general, precision);
    return {buffer, static_cast<std::size_t>(result.ptr - buffer)};
}

struct tally
{
    std::size_t checked = 0;
    std::size_t mismatches = 0;

    void compare(const double x)
    {
        char a[64];
        char b[64];
        const std::string_view expected = with_snprintf(x, a);
        const std::string_view actual = with_to_chars(x, b);
        ++checked;
        if (expected != actual)
        {
            if (++mismatches <= 10)
            {
                std::printf("  mismatch for %a: snprintf %.*s, to_chars %.*s\n", x, static_cast<int>(expected.size()),
                            expected.data(), static_cast<int>(actual.size()), actual.data());
            }
        }
    }
};


/// A token with a fraction or an exponent: one quarrow writes as a double.
bool is_floating(const std::string& token)
{
    return token.find_first_of(".eE") != std::string::npos;
}

/// Median milliseconds of one conversion of every number in xs.
template<typename Convert>
double median_ms(const std::vector<double>& xs, Convert convert)
{
    std::vector<double> passes;
    std::size_t sink = 0;
    for (int pass = 0; pass < 21; ++pass)
    {
        const auto start = std::chrono::steady_clock::now();
        char buffer[64];
        for (const double x : xs)
        {
            sink += convert(x, buffer).size();
        }
        const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
        passes.push_back(elapsed.count());
    }
    if (sink == 0)
    {
        std::printf("(no output)\n"); // keeps the conversions from being optimized away
    }
    std::nth_element(passes.begin(), passes.begin() + 10, passes.end());
    return passes[10];
}

} // namespace

int main(int argc, char** argv)
{
    std::string data = QUARROW_BENCH_DATA;
    for (int i = 1; i < argc; ++i)
    {
        const std::string_view arg = argv[i];
        if (arg.substr(0, 7) == "--data=")
        {
            data = arg.substr(7);
        }
        else
        {
            std::cerr << "usage: " << argv[0] << " [--data=DIR]\n";
            return 2;
        }
    }

    bool ok = true;
    std::vector<double> canada_floating;
    for (const char* name : {"canada.json", "citm_catalog.json", "twitter.json"})
    {
        std::ifstream file(data + "/" + name, std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        const std::vector<std::string> tokens = number_tokens(text);
        if (tokens.empty())
        {
            std::printf("%s: no numbers found; is %s the corpus folder?\n", name, data.c_str());
            ok = false;
            continue;
        }
        tally t;
        for (const std::string& token : tokens)
        {
            const double x = std::strtod(token.c_str(), nullptr);
            t.compare(x);
            if (std::strcmp(name, "canada.json") == 0 && is_floating(token))
            {
                canada_floating.push_back(x);
            }
        }
        std::printf("%s: %zu numbers, %zu mismatches\n", name, t.checked, t.mismatches);
        ok = ok && t.mismatches == 0;
    }

    // Fixed seeds, so a mismatch can be reproduced.
    std::mt19937_64 random(20240601);
    {
        tally t;
        while (t.checked < 1000000)
        {
            const std::uint64_t bits = random();
            double x;
            std::memcpy(&x, &bits, sizeof x);
            if (std::isfinite(x))
            {
                t.compare(x);
            }
        }
        std::printf("random bit patterns of finite doubles: %zu numbers, %zu mismatches\n", t.checked, t.mismatches);
        ok = ok && t.mismatches == 0;
    }
    {
        tally t;
        std::uniform_real_distribution<double> coordinate(-180.0, 180.0);
        std::uniform_real_distribution<double> unit(0.0, 1.0);
        std::uniform_real_distribution<double> large(-1e9, 1e9);
        std::uniform_real_distribution<double> exponent(-300.0, 300.0);
        for (int i = 0; i < 250000; ++i)
        {
            t.compare(coordinate(random));
            t.compare(unit(random));
            t.compare(large(random));
            t.compare(std::pow(10.0, exponent(random)) * (i % 2 == 0 ? 1 : -1));
        }
        std::printf("uniform in [-180, 180), [0, 1), [-1e9, 1e9) and 10^[-300, 300): %zu numbers, %zu mismatches\n",
                    t.checked, t.mismatches);
        ok = ok && t.mismatches == 0;
    }

    if (!canada_floating.empty())
    {
        const double old_ms = median_ms(canada_floating, with_snprintf);
        const double new_ms = median_ms(canada_floating, with_to_chars);
        std::printf("\ncanada.json, its %zu floating-point numbers converted once (median of 21 passes):\n",
                    canada_floating.size());
        std::printf("  snprintf \"%%.*g\" 15:             %7.2f ms  (%.0f ns a number)\n", old_ms,
                    old_ms * 1e6 / static_cast<double>(canada_floating.size()));
        std::printf("  to_chars general 15:              %7.2f ms  (%.0f ns a number)\n", new_ms,
                    new_ms * 1e6 / static_cast<double>(canada_floating.size()));
        std::printf("  saved:                            %7.2f ms  (%.0f%% of the conversion)\n", old_ms - new_ms,
                    100.0 * (old_ms - new_ms) / old_ms);
    }

    std::printf("\n%s\n", ok ? "to_chars gives the same bytes for every number checked"
                             : "MISMATCH: to_chars differs from the current conversion");
    return ok ? 0 : 1;
}

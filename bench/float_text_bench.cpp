// How fast quarrow's own double-to-text conversions are next to snprintf,
// std::to_chars and RapidJSON's writer, and whether they agree with the C
// library on many random doubles.
//
//   float_text_bench              checks 1 million random doubles, then times every conversion
//   float_text_bench --check=N    checks N random doubles only (the published run: 100 million)
//   float_text_bench --seed=S     seeds the random doubles of the check with S (default 20261210),
//                                 so that a long check can be split over processes
//   float_text_bench --smoke      checks 100 thousand, then one pass of each timing
//   float_text_bench --data=DIR   the corpus folder (default: this folder's data/)
//
// The check: write_double gives snprintf "%.15g" with quarrow's zero and ".0"
// rules; write_double_shortest reads back with strtod to the same bits, has at
// most 17 significant digits and no more than the shortest snprintf "%.*e"
// that reads back, and equals write_double when it has 15 or fewer (normal
// doubles), and has the digits of std::to_chars's shortest text. Exits with 1
// on any mismatch.

#include "decimal_digits.hpp"

#include <quarrow/json.hpp>

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace
{

// -- the conversions, each writing into a 64-byte buffer ------------------

std::size_t with_write_double(const double x, char* buffer)
{
    return static_cast<std::size_t>(quarrow::detail::write_double(buffer, x) - buffer);
}

std::size_t with_write_double_shortest(const double x, char* buffer)
{
    return static_cast<std::size_t>(quarrow::detail::write_double_shortest(buffer, x) - buffer);
}

std::size_t with_snprintf(const double x, char* buffer)
{
    return static_cast<std::size_t>(std::snprintf(buffer, 64, "%.*g", 15, x));
}

std::size_t with_to_chars_15(const double x, char* buffer)
{
    return static_cast<std::size_t>(std::to_chars(buffer, buffer + 64, x, std::chars_format::general, 15).ptr -
                                    buffer);
}

std::size_t with_to_chars_shortest(const double x, char* buffer)
{
    return static_cast<std::size_t>(std::to_chars(buffer, buffer + 64, x).ptr - buffer);
}

std::size_t with_rapidjson(const double x, char* /*buffer*/)
{
    static rapidjson::StringBuffer text;
    static rapidjson::Writer<rapidjson::StringBuffer> writer;
    text.Clear();
    writer.Reset(text);
    writer.Double(x);
    return text.GetSize();
}

struct conversion
{
    const char* name;
    std::size_t (*convert)(double, char*);
};

const conversion conversions[] = {
    {"quarrow write_double (15 digits)", with_write_double},
    {"quarrow write_double_shortest", with_write_double_shortest},
    {"snprintf \"%.15g\"", with_snprintf},
    {"std::to_chars general, 15", with_to_chars_15},
    {"std::to_chars shortest", with_to_chars_shortest},
    {"RapidJSON Writer::Double", with_rapidjson},
};

// -- the check --------------------------------------------------------------

bool same_bits(const double a, const double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

std::string expected_fifteen(const double x)
{
    if (x == 0)
    {
        return std::signbit(x) ? "-0.0" : "0.0";
    }
    char buffer[64];
    std::string text(buffer, with_snprintf(x, buffer));
    if (text.find_first_of(".e") == std::string::npos)
    {
        text += ".0";
    }
    return text;
}

bool reads_back_with(const double x, const int p)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", p - 1, x);
    return same_bits(std::strtod(buffer, nullptr), x);
}

int significant_digits(std::string_view text)
{
    text = text.substr(0, text.find('e'));
    int count = 0;
    int zeros = 0; // trailing zeros seen, counted once a nonzero digit follows
    for (const char c : text)
    {
        if (c == '0')
        {
            zeros += count > 0 ? 1 : 0;
        }
        else if (c >= '1' && c <= '9')
        {
            count += zeros + 1;
            zeros = 0;
        }
    }
    return count;
}

/// The shortest digits std::to_chars finds, nearest x among equally short ones.
std::pair<std::string, int> shortest_by_to_chars(const double x)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::scientific);
    return decimal_digits(std::string(buffer, result.ptr));
}

/// Checks x; prints and returns false on a mismatch.
bool check(const double x)
{
    char buffer[64];
    const std::string fifteen(buffer, with_write_double(x, buffer));
    const std::string shortest(buffer, with_write_double_shortest(x, buffer));
    const std::string expected = expected_fifteen(x);
    const int digits = significant_digits(shortest);
    // A decimal shorter than digits - 1 reads back only if the nearest one of
    // digits - 1 does, except at powers of two, where the bounds are uneven.
    int exponent;
    const bool power_of_two = std::fabs(std::frexp(x, &exponent)) == 0.5;
    bool shorter_reads_back = false;
    for (int p = power_of_two ? 1 : digits - 1; p >= 1 && p < digits; ++p)
    {
        shorter_reads_back = shorter_reads_back || reads_back_with(x, p);
    }
    const bool ok = fifteen == expected && same_bits(std::strtod(shortest.c_str(), nullptr), x) && digits <= 17 &&
                    !shorter_reads_back && (digits > 15 || std::fabs(x) < DBL_MIN || shortest == fifteen) &&
                    decimal_digits(shortest) == shortest_by_to_chars(x);
    if (!ok)
    {
        std::printf("  mismatch for %a: write_double %s (snprintf %s), write_double_shortest %s\n", x,
                    fifteen.c_str(), expected.c_str(), shortest.c_str());
    }
    return ok;
}

/// Checks count random finite doubles (uniform bit patterns); returns the mismatches.
std::uint64_t check_random(const std::uint64_t count, const std::uint64_t seed)
{
    std::mt19937_64 random(seed); // fixed, so a mismatch can be reproduced
    std::uint64_t checked = 0;
    std::uint64_t mismatches = 0;
    const auto start = std::chrono::steady_clock::now();
    while (checked < count)
    {
        const std::uint64_t bits = random();
        double x;
        std::memcpy(&x, &bits, sizeof x);
        if (std::isfinite(x))
        {
            ++checked;
            if (!check(x) && ++mismatches >= 20)
            {
                std::printf("  stopping after 20 mismatches\n");
                break;
            }
        }
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    std::printf("check: %llu random finite doubles (seed %llu), %llu mismatches (%.0f s)\n",
                static_cast<unsigned long long>(checked), static_cast<unsigned long long>(seed),
                static_cast<unsigned long long>(mismatches), elapsed.count());
    return mismatches;
}

// -- the timing -------------------------------------------------------------

/// The floating-point numbers of a JSON text (tokens with '.', 'e' or 'E' outside strings).
std::vector<double> floating_numbers(const std::string& text)
{
    std::vector<double> xs;
    bool in_string = false;
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        const char c = text[i];
        if (in_string)
        {
            i += c == '\\' ? 1 : 0;
            in_string = c != '"';
        }
        else if (c == '"')
        {
            in_string = true;
        }
        else if (c == '-' || (c >= '0' && c <= '9'))
        {
            const std::size_t end = std::min(text.find_first_not_of("+-.0123456789eE", i), text.size());
            const std::string token = text.substr(i, end - i);
            if (token.find_first_of(".eE") != std::string::npos)
            {
                xs.push_back(std::strtod(token.c_str(), nullptr));
            }
            i = end - 1;
        }
    }
    return xs;
}

/// Median nanoseconds per number of converting every number in xs once.
double median_ns(const std::vector<double>& xs, const conversion& c, const int passes)
{
    std::vector<double> times;
    std::size_t sink = 0;
    char buffer[64];
    for (int pass = 0; pass < passes; ++pass)
    {
        // Processor time, not wall time: the figures then suffer less from other work on the machine.
        const std::clock_t start = std::clock();
        for (const double x : xs)
        {
            sink += c.convert(x, buffer);
        }
        const double elapsed_ns = 1e9 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
        times.push_back(elapsed_ns / static_cast<double>(xs.size()));
    }
    if (sink == 0)
    {
        std::printf("(no output)\n"); // keeps the conversions from being optimized away
    }
    std::nth_element(times.begin(), times.begin() + passes / 2, times.end());
    return times[static_cast<std::size_t>(passes / 2)];
}

void time_all(const char* title, const std::vector<double>& xs, const int passes)
{
    std::printf("\n%s: %zu numbers, ns a number (median of %d passes)\n", title, xs.size(), passes);
    double snprintf_ns = 0;
    std::vector<double> results;
    for (const conversion& c : conversions)
    {
        results.push_back(median_ns(xs, c, passes));
        if (c.convert == with_snprintf)
        {
            snprintf_ns = results.back();
        }
    }
    for (std::size_t i = 0; i < results.size(); ++i)
    {
        std::printf("  %-34s %7.1f  (snprintf / this: %5.1f)\n", conversions[i].name, results[i],
                    snprintf_ns / results[i]);
    }
}

} // namespace

int main(int argc, char** argv)
{
    std::string data = QUARROW_BENCH_DATA;
    std::uint64_t check_count = 1000000;
    std::uint64_t seed = 20261210;
    bool timing = true;
    int passes = 11;
    for (int i = 1; i < argc; ++i)
    {
        const std::string_view arg = argv[i];
        if (arg.substr(0, 7) == "--data=")
        {
            data = arg.substr(7);
        }
        else if (arg.substr(0, 8) == "--check=")
        {
            check_count = std::strtoull(argv[i] + 8, nullptr, 10);
            timing = false;
        }
        else if (arg.substr(0, 7) == "--seed=")
        {
            seed = std::strtoull(argv[i] + 7, nullptr, 10);
        }
        else if (arg == "--smoke")
        {
            check_count = 100000;
            passes = 1;
        }
        else
        {
            std::cerr << "usage: " << argv[0] << " [--check=N | --smoke] [--seed=S] [--data=DIR]\n";
            return 2;
        }
    }

    const std::uint64_t mismatches = check_random(check_count, seed);
    if (timing)
    {
        std::ifstream file(data + "/canada.json", std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        const std::vector<double> canada = floating_numbers(text);
        if (canada.empty())
        {
            std::printf("canada.json: no numbers found; is %s the corpus folder?\n", data.c_str());
            return 1;
        }
        time_all("canada.json's floating-point numbers", canada, passes);

        std::mt19937_64 random(42);
        std::vector<double> bit_patterns;
        while (bit_patterns.size() < 1000000)
        {
            const std::uint64_t bits = random();
            double x;
            std::memcpy(&x, &bits, sizeof x);
            if (std::isfinite(x))
            {
                bit_patterns.push_back(x);
            }
        }
        time_all("random bit patterns of finite doubles", bit_patterns, passes);
    }
    return mismatches == 0 ? 0 : 1;
}

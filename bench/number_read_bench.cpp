// How fast quarrow reads number text into doubles, against strtod and
// std::from_chars, and whether it reads them exactly as strtod does.
//
//   number_read_bench [--data=DIR]    ns a number on canada.json's and on random numbers
//   number_read_bench --check=N       N random numbers read by both, bit for bit
//
// The check exits with 1 on any difference; the timing, on any difference
// among the numbers it times.

#include "number_tokens.hpp"

#include <quarrow/json.hpp>

#include <algorithm>
#include <chrono>
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
#include <vector>

#if __cplusplus >= 201703L
#include <charconv>
#endif

namespace
{

bool ours(const std::string& text, double& x)
{
    return quarrow::detail::text_to_double(text.data(), text.data() + text.size(), x);
}

bool with_strtod(const std::string& text, double& x)
{
    x = std::strtod(text.c_str(), nullptr);
    return not std::isinf(x);
}

#if defined(__cpp_lib_to_chars)
bool with_from_chars(const std::string& text, double& x)
{
    return std::from_chars(text.data(), text.data() + text.size(), x).ec == std::errc();
}
#endif

/// The number tokens of a JSON text that have a fraction or an exponent.
std::vector<std::string> floating_tokens(const std::string& text)
{
    std::vector<std::string> tokens = number_tokens(text);
    tokens.erase(std::remove_if(tokens.begin(), tokens.end(),
                                [](const std::string& token) { return token.find_first_of(".eE") == std::string::npos; }),
                 tokens.end());
    return tokens;
}

template<typename Number>
Number uniform(std::mt19937_64& random, const Number low, const Number high)
{
    return std::uniform_int_distribution<Number>(low, high)(random);
}

/// A random number text in the JSON grammar: mostly 1 to 25 digits, one in
/// a hundred 100 to 800, with the point anywhere and a magnitude anywhere
/// from below the smallest subnormal to beyond the largest double.
std::string random_number(std::mt19937_64& random)
{
    const int digits = uniform(random, 0, 99) == 0 ? uniform(random, 100, 800) : uniform(random, 1, 25);
    std::string text = uniform(random, 0, 1) == 0 ? "" : "-";
    const int before = uniform(random, 0, std::min(digits, 20));
    text += before == 0 ? '0' : static_cast<char>('1' + uniform(random, 0, 8));
    for (int i = 1; i < before; ++i)
    {
        text += static_cast<char>('0' + uniform(random, 0, 9));
    }
    if (before < digits)
    {
        text += '.';
        for (int i = before; i < digits; ++i)
        {
            text += static_cast<char>('0' + uniform(random, 0, 9));
        }
    }
    const int exponent = uniform(random, -345, 312) - std::max(before, 1);
    if (exponent != 0)
    {
        text += 'e' + std::to_string(exponent);
    }
    return text;
}

/// Random finite doubles written with 17 significant digits, as a writer
/// that keeps every bit would write them.
std::vector<std::string> random_doubles(const std::size_t count)
{
    std::mt19937_64 random(20261210);
    std::vector<std::string> texts;
    while (texts.size() < count)
    {
        const std::uint64_t bits = random();
        double x;
        std::memcpy(&x, &bits, sizeof x);
        if (std::isfinite(x))
        {
            char text[32];
            std::snprintf(text, sizeof text, "%.17g", x);
            texts.emplace_back(text);
        }
    }
    return texts;
}

/// Median nanoseconds of processor time a number over 21 passes. Processor
/// time, not wall time, so that other programs on a busy machine count less.
template<typename Read>
double median_ns(const std::vector<std::string>& texts, Read read, double& sink)
{
    std::vector<double> passes;
    for (int pass = 0; pass < 21; ++pass)
    {
        const std::clock_t start = std::clock();
        for (const std::string& text : texts)
        {
            double x = 0;
            read(text, x);
            sink += x;
        }
        const double seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
        passes.push_back(seconds * 1e9 / static_cast<double>(texts.size()));
    }
    std::nth_element(passes.begin(), passes.begin() + 10, passes.end());
    return passes[10];
}

/// Reads every text with both; prints the first differences and returns their count.
std::size_t mismatches(const std::vector<std::string>& texts)
{
    std::size_t count = 0;
    for (const std::string& text : texts)
    {
        double a = 0;
        double b = 0;
        const bool a_finite = ours(text, a);
        const bool b_finite = with_strtod(text, b);
        const bool same = a_finite == b_finite and (not a_finite or std::memcmp(&a, &b, sizeof a) == 0);
        if (not same and ++count <= 10)
        {
            std::printf("  mismatch for %s: text_to_double %a%s, strtod %a\n", text.c_str(), a,
                        a_finite ? "" : " (out of range)", b);
        }
    }
    return count;
}

void time_set(const char* name, const std::vector<std::string>& texts)
{
    double sink = 0;
    std::printf("%s, %zu numbers (median of 21 passes, ns of processor time a number):\n", name, texts.size());
    const double strtod_ns = median_ns(texts, with_strtod, sink);
    const double our_ns = median_ns(texts, ours, sink);
    std::printf("  strtod:          %7.1f\n", strtod_ns);
#if defined(__cpp_lib_to_chars)
    std::printf("  from_chars:      %7.1f\n", median_ns(texts, with_from_chars, sink));
#endif
    std::printf("  text_to_double:  %7.1f  (%.1f times as fast as strtod)\n", our_ns, strtod_ns / our_ns);
    if (sink == 0)
    {
        std::printf("(no output)\n"); // keeps the conversions from being optimized away
    }
}

int check(const std::uint64_t count)
{
    std::mt19937_64 random(20261211);
    std::size_t found = 0;
    std::vector<std::string> batch;
    const auto start = std::chrono::steady_clock::now();
    for (std::uint64_t done = 0; done < count;)
    {
        batch.clear();
        for (; batch.size() < 100000 and done < count; ++done)
        {
            batch.push_back(random_number(random));
        }
        found += mismatches(batch);
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    std::printf("%llu random numbers, %zu mismatches with strtod (%.0f s)\n", static_cast<unsigned long long>(count),
                found, elapsed.count());
    return found == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    std::string data = QUARROW_BENCH_DATA;
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        if (arg.compare(0, 8, "--check=") == 0)
        {
            return check(std::strtoull(arg.c_str() + 8, nullptr, 10));
        }
        if (arg.compare(0, 7, "--data=") == 0)
        {
            data = arg.substr(7);
            continue;
        }
        std::cerr << "usage: " << argv[0] << " [--data=DIR] | --check=N\n";
        return 2;
    }

    std::ifstream file(data + "/canada.json", std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    const std::vector<std::string> canada = floating_tokens(text);
    if (canada.empty())
    {
        std::printf("no numbers found; is %s the corpus folder?\n", data.c_str());
        return 1;
    }
    std::mt19937_64 random(20261212);
    std::vector<std::string> numbers;
    for (int i = 0; i < 100000; ++i)
    {
        numbers.push_back(random_number(random));
    }
    const std::vector<std::string> doubles = random_doubles(100000);

    const std::size_t differences = mismatches(canada) + mismatches(numbers) + mismatches(doubles);
    time_set("canada.json's floating-point numbers", canada);
    time_set("random finite doubles, 17 significant digits", doubles);
    time_set("random number text, 1 to 25 digits (one in a hundred 100 to 800), any magnitude", numbers);
    std::printf("%zu mismatches with strtod among the numbers timed\n", differences);
    return differences == 0 ? 0 : 1;
}

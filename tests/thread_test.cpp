// Threads writing their own values with the stream operator at once, each
// under a C locale of its own, each get their own bytes. Built with
// ThreadSanitizer where the build allows it; runs with LOCPATH pointing at the
// locales that make_locales.cmake compiled.
//
// The writer reads the decimal point and thousands separator with
// nl_langinfo, which returns the locale's own data: no buffer is shared, so
// there is nothing to race on. localeconv instead refills one static struct on
// every call, a race ThreadSanitizer cannot see since the C library is not
// instrumented; so this program replaces localeconv and checks that writing
// never calls it.

#include <quarrow/json.hpp>

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <clocale>
#include <cstdio>
#include <locale.h>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace
{

std::atomic<int> localeconv_calls{0};

char c_decimal_point[] = ".";
char c_empty[] = "";

// The C locale's conventions: a '.' and nothing else.
std::lconv c_locale_conventions()
{
    std::lconv conv{};
    conv.decimal_point = c_decimal_point;
    conv.thousands_sep = conv.grouping = conv.int_curr_symbol = conv.currency_symbol = conv.mon_decimal_point =
        conv.mon_thousands_sep = conv.mon_grouping = conv.positive_sign = conv.negative_sign = c_empty;
    conv.int_frac_digits = conv.frac_digits = conv.p_cs_precedes = conv.p_sep_by_space = conv.n_cs_precedes =
        conv.n_sep_by_space = conv.p_sign_posn = conv.n_sign_posn = conv.int_p_cs_precedes =
            conv.int_p_sep_by_space = conv.int_n_cs_precedes = conv.int_n_sep_by_space = conv.int_p_sign_posn =
                conv.int_n_sign_posn = CHAR_MAX;
    return conv;
}

} // namespace

// Takes the place of the C library's own, for the whole program.
extern "C" std::lconv* localeconv() noexcept
{
    static std::lconv conv = c_locale_conventions();
    ++localeconv_calls;
    return &conv;
}

// glibc keeps the LOCPATH search path it builds while loading a named locale
// (newlocale) and never frees it; this tells LeakSanitizer, in the sanitizer
// build, that the leak is not ours.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:argz_add_sep\n";
}

namespace
{

using quarrow::json;

// What one thread does, and what it saw.
struct writer
{
    const char* locale_name;
    const char* locale_text; // 2.5 as the C library prints it under the locale
    json value;
    std::string expected; // the bytes dump() makes with 15 digits, which no locale touches
    std::string printed; // 2.5 as the C library printed it on the thread
    int wrong; // writes whose bytes were not `expected`
    std::string first_wrong;
};

TEST(Writing, ThreadsWriteTheirOwnValuesAtOnceEachUnderItsOwnLocale)
{
    const struct
    {
        const char* name;
        const char* text;
    } locale_cases[] = {{"C", "2.5"}, {"de_DE.UTF-8", "2,5"}, {"ps_AF.UTF-8", "2\xd9\xab" "5"}, {"fr_FR.UTF-8", "2,5"}};

    // Every thread's numbers differ, so that bytes crossing over would show.
    std::vector<writer> writers;
    double k = 0;
    for (const auto& c : locale_cases)
    {
        ++k;
        json value = {k + 0.5,  -k / 4,        1234567.25 * k, 1.5e-7 * k,
                      1e20 * k, 1.0 / (k + 2), 100.0 * k,      {{"x", k * 1e-10}, {"y", {k, 0.1 * k}}}};
        quarrow::dump_options fifteen_digits;
        fifteen_digits.fifteen_digit_doubles = true;
        const std::string expected = value.dump(fifteen_digits);
        writers.push_back(writer{c.name, c.text, std::move(value), expected, {}, 0, {}});
    }

    std::vector<locale_t> locales;
    for (const writer& w : writers)
    {
        locales.push_back(newlocale(LC_ALL_MASK, w.locale_name, locale_t()));
        ASSERT_NE(locales.back(), locale_t()) << w.locale_name << " is not available";
    }

    const int calls_before = localeconv_calls;
    std::atomic<std::size_t> ready{0};
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < writers.size(); ++i)
    {
        threads.emplace_back([&, i] {
            writer& w = writers[i];
            uselocale(locales[i]);
            char text[16];
            std::snprintf(text, sizeof text, "%.1f", 2.5);
            w.printed = text;
            ++ready;
            while (ready != writers.size())
            {
                std::this_thread::yield(); // so that the writes overlap
            }
            for (int round = 0; round < 2000; ++round)
            {
                std::ostringstream stream;
                stream << w.value;
                if (stream.str() != w.expected and w.wrong++ == 0)
                {
                    w.first_wrong = stream.str();
                }
            }
            uselocale(LC_GLOBAL_LOCALE);
        });
    }
    for (std::thread& t : threads)
    {
        t.join();
    }
    for (const locale_t l : locales)
    {
        freelocale(l);
    }

    EXPECT_EQ(localeconv_calls - calls_before, 0);
    for (const writer& w : writers)
    {
        SCOPED_TRACE(w.locale_name);
        EXPECT_EQ(w.wrong, 0) << "first wrong text: " << w.first_wrong << "\nexpected: " << w.expected;
        EXPECT_EQ(w.printed, w.locale_text) << "the thread's own locale was not in play";
    }
}

} // namespace

// Number text is the same bytes under every C locale and every stream locale.
// Runs with LOCPATH pointing at the locales that make_locales.cmake compiled.

#include <quarrow/json.hpp>

#include <gtest/gtest.h>

#include <clocale>
#include <locale>
#include <sstream>
#include <string>

// glibc keeps the LOCPATH search path it builds while loading a named locale
// (newlocale, behind std::locale("de_DE.UTF-8")) and never frees it; this
// tells LeakSanitizer, in the sanitizer build, that the leak is not ours.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:argz_add_sep\n";
}

namespace
{

using quarrow::json;

const json numbers = {3.5,         -0.25,    1234567.25, 1.5e-7, 1e20, 123456789012345678.0, 1.0 / 3.0,
                      -1234.5e-10, 100.0,    1234567,    -98765, 0.0,  -0.0};
const char* const numbers_text = "[3.5,-0.25,1234567.25,1.5e-07,1e+20,1.23456789012346e+17,0.333333333333333,"
                                 "-1.2345e-07,100.0,1234567,-98765,0.0,-0.0]";

class CLocale : public ::testing::TestWithParam<const char*>
{
  protected:
    void SetUp() override
    {
        ASSERT_NE(std::setlocale(LC_ALL, GetParam()), nullptr) << GetParam() << " is not available";
    }

    void TearDown() override
    {
        std::setlocale(LC_ALL, "C");
    }
};

TEST_P(CLocale, NumbersKeepTheirPlainText)
{
    char printed[32];
    std::snprintf(printed, sizeof printed, "%.2f", 3.5);
    SCOPED_TRACE(std::string("the C library itself prints ") + printed);
    quarrow::dump_options fifteen_digits;
    fifteen_digits.fifteen_digit_doubles = true;
    EXPECT_EQ(numbers.dump(fifteen_digits), numbers_text);
    std::ostringstream stream;
    stream << numbers;
    EXPECT_EQ(stream.str(), numbers_text);
    EXPECT_EQ(numbers.dump(1), json(numbers).dump(1));
}

// The direct routes make their number text themselves: the same bytes under
// every C locale, the default shortest digits and the 15 digits alike.
TEST_P(CLocale, DirectRoutesKeepTheirPlainText)
{
    quarrow::dump_options fifteen_digits;
    fifteen_digits.fifteen_digit_doubles = true;
    const json shortest = {0.30000000000000004, 1.0 / 3.0, 1234567.25, 1e20, -1.5e-7, 100.0};
    const char* const shortest_text = "[0.30000000000000004,0.3333333333333333,1234567.25,1e+20,-1.5e-07,100.0]";
    std::string text;
    numbers.dump_to(text, fifteen_digits);
    EXPECT_EQ(text, numbers_text);
    std::ostringstream stream;
    numbers.dump_to(stream, fifteen_digits);
    EXPECT_EQ(stream.str(), numbers_text);
    EXPECT_EQ(shortest.dump(), shortest_text);
    std::ostringstream shortest_stream;
    shortest.dump_to(shortest_stream);
    EXPECT_EQ(shortest_stream.str(), shortest_text);
}

INSTANTIATE_TEST_SUITE_P(Locales, CLocale,
                         ::testing::Values("C", "de_DE.UTF-8", "ps_AF.UTF-8", "fr_FR.UTF-8", "en_US.UTF-8"));

// The locale's own separators really are in play, so the test above means something.
TEST(LocaleFixture, SeparatorsAreWhatTheTestsAssume)
{
    ASSERT_NE(std::setlocale(LC_NUMERIC, "ps_AF.UTF-8"), nullptr);
    EXPECT_STREQ(std::localeconv()->decimal_point, "\xd9\xab");
    EXPECT_STREQ(std::localeconv()->thousands_sep, "\xd9\xac");
    ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr);
    EXPECT_STREQ(std::localeconv()->decimal_point, ",");
    std::setlocale(LC_ALL, "C");
}

TEST(StreamLocale, AGroupingLocaleOnTheStreamChangesNothing)
{
    for (const char* name : {"en_US.UTF-8", "de_DE.UTF-8", "ps_AF.UTF-8"})
    {
        SCOPED_TRACE(name);
        std::ostringstream stream;
        stream.imbue(std::locale(name));
        stream << 1234567 << ' ' << numbers;
        EXPECT_NE(stream.str().substr(0, 7), "1234567"); // the stream itself groups or translates
        EXPECT_EQ(stream.str().substr(stream.str().find(' ') + 1), numbers_text);
    }
}

TEST(StreamLocale, TheGlobalCppLocaleChangesNothing)
{
    const std::locale previous = std::locale::global(std::locale("de_DE.UTF-8"));
    std::ostringstream stream;
    stream << numbers;
    std::locale::global(previous);
    EXPECT_EQ(stream.str(), numbers_text);
}

} // namespace

// parse gives the same bits under every C locale and global C++ locale.
// Runs with LOCPATH pointing at the locales that make_locales.cmake compiled.

#include "number_texts.hpp"

#include <quarrow/json.hpp>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <locale>
#include <string>
#include <vector>

// See locale_test.cpp: glibc's own leak while loading a named locale.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:argz_add_sep\n";
}

namespace
{

using quarrow::json;

class ParseUnderLocale : public ::testing::TestWithParam<const char*>
{
  protected:
    void SetUp() override
    {
        // The expected bits come from strtod in the C locale, before the switch.
        for (const std::string& text : number_texts::generate(3000))
        {
            const double x = std::strtod(text.c_str(), nullptr);
            if (not std::isinf(x))
            {
                texts.push_back(text);
                expected.push_back(number_texts::bits(x));
            }
        }
        ASSERT_NE(std::setlocale(LC_ALL, GetParam()), nullptr) << GetParam() << " is not available";
        std::locale::global(std::locale(GetParam()));
    }

    void TearDown() override
    {
        std::setlocale(LC_ALL, "C");
        std::locale::global(std::locale::classic());
    }

    std::vector<std::string> texts;
    std::vector<std::uint64_t> expected;
};

TEST_P(ParseUnderLocale, NumbersReadTheSameBits)
{
    for (std::size_t i = 0; i < texts.size(); ++i)
    {
        const json in_memory = json::parse("[" + texts[i] + "]");
        ASSERT_EQ(number_texts::bits(*in_memory[0].get_ptr<const double*>()), expected[i]) << texts[i];
        // Input not in memory collects the number's text in a buffer first.
        const json from_iterators = json::parse(texts[i].begin(), texts[i].end());
        ASSERT_EQ(number_texts::bits(*from_iterators.get_ptr<const double*>()), expected[i]) << texts[i];
    }
}

INSTANTIATE_TEST_SUITE_P(Locales, ParseUnderLocale, ::testing::Values("de_DE.UTF-8", "ps_AF.UTF-8", "fr_FR.UTF-8"));

} // namespace

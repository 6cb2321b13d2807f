// Whole documents: compact and indented layouts, the stream operator and the
// stream state it reads, resets and ignores.

#include "documents.hpp"
#include "recording_streambuf.hpp"

#include <quarrow/json.hpp>

#include <gtest/gtest.h>

#include <iomanip>
#include <ostream>
#include <sstream>
#include <string>

namespace
{

using quarrow::json;

std::string streamed(const json& value, std::streamsize width)
{
    std::ostringstream stream;
    stream << std::setw(static_cast<int>(width)) << value;
    return stream.str();
}

const json worked_example = {{"name", "x"}, {"list", {1, 2}}};

TEST(Layout, WorkedExampleCompactAndIndented)
{
    const std::string compact = "{\"list\":[1,2],\"name\":\"x\"}";
    const std::string pretty = "{\n    \"list\": [\n        1,\n        2\n    ],\n    \"name\": \"x\"\n}";
    EXPECT_EQ(compact.size(), 25u);
    EXPECT_EQ(pretty.size(), 61u);
    EXPECT_EQ(streamed(worked_example, 0), compact);
    EXPECT_EQ(streamed(worked_example, 4), pretty);
}

TEST(Layout, ScalarsAndEmptyContainersLookTheSameInBothLayouts)
{
    struct same_case
    {
        json value;
        const char* text;
    };
    const same_case cases[] = {
        {json("x"), "\"x\""},
        {json(), "null"},
        {json(true), "true"},
        {json(false), "false"},
        {json(-5), "-5"},
        {json(json::value_t::object), "{}"},
        {json(json::value_t::array), "[]"},
        {json(json::value_t::discarded), "<discarded>"},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(streamed(c.value, 0), c.text);
        EXPECT_EQ(streamed(c.value, 4), c.text); // and no line feed after a top-level value
    }
}

TEST(Layout, NestedEmptyContainersStayOnTheirLine)
{
    const json value = {{"a", json(json::value_t::object)}};
    EXPECT_EQ(streamed(value, 4), "{\n    \"a\": {}\n}");
    EXPECT_EQ(streamed(value, 0), "{\"a\":{}}");
}

TEST(Layout, WidthSelectsTheIndentStep)
{
    const json list = {1, 2};
    struct width_case
    {
        std::streamsize width;
        const char* text;
    };
    const width_case cases[] = {
        {0, "[1,2]"},
        {-3, "[1,2]"}, // negative is compact too
        {1, "[\n 1,\n 2\n]"},
        {4, "[\n    1,\n    2\n]"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.width);
        EXPECT_EQ(streamed(list, c.width), c.text);
    }
}

TEST(Layout, WidthIsResetSoItPadsNothingAfterwards)
{
    std::ostringstream stream;
    stream << std::setw(4) << json({1}) << 7 << json(2);
    EXPECT_EQ(stream.str(), "[\n    1\n]72");
    EXPECT_EQ(stream.width(), 0);

    std::ostringstream padded;
    padded << std::setw(6) << json("x");
    EXPECT_EQ(padded.str(), "\"x\""); // the width chose the layout; it pads nothing
}

// Beyond the 512 spaces held at first, indentation grows to exactly what each line needs.
TEST(Layout, IndentationDeeperThanFiveHundredTwelveSpaces)
{
    const int depth = 150; // 150 levels of 4 spaces: 600 at the bottom
    const std::string text = streamed(documents::nested_arrays(depth), 4);
    std::istringstream lines(text);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "[");
    for (int level = 1; level < depth; ++level)
    {
        std::getline(lines, line);
        EXPECT_EQ(line, std::string(static_cast<std::size_t>(4 * level), ' ') + "[") << "level " << level;
    }
    std::getline(lines, line);
    EXPECT_EQ(line, std::string(4 * depth, ' ') + "\"bottom\",");
}

// With the stream operator's 15-digit doubles, dump() writes its very bytes.
TEST(Layout, DumpMatchesTheStreamForEveryDocumentAndWidth)
{
    for (const auto& document : documents::all())
    {
        SCOPED_TRACE(document.name);
        for (const int indent : {-1, 0, 1, 4})
        {
            quarrow::dump_options options;
            options.indent = indent;
            options.fifteen_digit_doubles = true;
            EXPECT_EQ(document.value.dump(options), streamed(document.value, indent));
        }
    }
    EXPECT_EQ(worked_example.dump(), streamed(worked_example, 0)); // compact by default
}

TEST(StreamState, FormattingFlagsAndLocaleChangeNothing)
{
    const json value = {{"n", {255, -7, 1.5, 100.0, 1e20}}, {"s", "x"}, {"b", true}};
    const std::string plain = streamed(value, 0);

    std::ostringstream styled;
    styled.imbue(std::locale::classic());
    styled << std::hex << std::showpos << std::showpoint << std::uppercase << std::boolalpha << std::setfill('*')
           << std::setprecision(3) << std::scientific << std::left << value;
    EXPECT_EQ(styled.str(), plain);
}

// Every punctuation mark, string and number is one call on the stream buffer.
TEST(StreamCalls, OnlyPutAndWriteOneCallPerToken)
{
    recording_streambuf buffer;
    std::ostream stream(&buffer);
    stream << json({{"key", "va\"lue"}, {"list", {-12, 1.0}}});
    const std::vector<std::string> expected = {
        "put:{",  "put:\"", "write:key", "write:\":", "put:\"", "write:va\\\"lue", "put:\"", "put:,",
        "put:\"", "write:list", "write:\":", "put:[", "write:-12", "put:,", "write:1", "write:.0",
        "put:]",  "put:}",
    };
    EXPECT_EQ(buffer.calls, expected);
}

TEST(StreamCalls, IndentationIsOneWritePerLine)
{
    recording_streambuf buffer;
    std::ostream stream(&buffer);
    stream << std::setw(2) << json({"x"});
    const std::vector<std::string> expected = {"write:[\n", "write:  ", "put:\"", "write:x", "put:\"",
                                               "put:\n",    "write:",   "put:]"};
    EXPECT_EQ(buffer.calls, expected);
}

TEST(StreamCalls, StringWithoutEscapesIsWrittenFromItsOwnStorage)
{
    class address_streambuf : public std::streambuf
    {
      public:
        const char* last_write = nullptr;

      protected:
        int_type overflow(int_type c) override
        {
            return c;
        }
        std::streamsize xsputn(const char* s, std::streamsize n) override
        {
            last_write = s;
            return n;
        }
    };
    const json value = "no escapes needed in this text";
    address_streambuf buffer;
    std::ostream stream(&buffer);
    stream << value;
    EXPECT_EQ(buffer.last_write, value.get_ref<const json::string_t&>().data());
}

TEST(StreamErrors, AFailingStreamKeepsItsOwnState)
{
    std::ostringstream stream;
    stream.setstate(std::ios::badbit);
    stream << json({1, 2});
    EXPECT_TRUE(stream.bad());
    EXPECT_EQ(stream.str(), "");
}

TEST(StreamErrors, StreamExceptionsPassThroughAndWidthStaysReset)
{
    class failing_streambuf : public std::streambuf
    {
      protected:
        int_type overflow(int_type /*c*/) override
        {
            return traits_type::eof();
        }
    } buffer;
    std::ostream stream(&buffer);
    stream.exceptions(std::ios::badbit);
    stream.width(4);
    EXPECT_THROW(stream << json({1, 2}), std::ios::failure);
    EXPECT_EQ(stream.width(), 0);
}

} // namespace

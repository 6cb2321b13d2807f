// String bodies: which bytes are escaped and how, checked for every byte value.

#include <quarrow/json.hpp>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace
{

using quarrow::json;

std::string dumped(const std::string& text)
{
    return json(text).dump();
}

// The escape of one byte, stated from the JSON grammar rather than from the
// library: the quotation mark, the backslash and the bytes below 0x20 are
// escaped, the five with a short form by it; every other byte is itself.
std::string expected_escape(unsigned char byte)
{
    switch (byte)
    {
        case 0x22: return "\\\"";
        case 0x5C: return "\\\\";
        case 0x08: return "\\b";
        case 0x0C: return "\\f";
        case 0x0A: return "\\n";
        case 0x0D: return "\\r";
        case 0x09: return "\\t";
        default: break;
    }
    if (byte < 0x20)
    {
        char text[7];
        std::snprintf(text, sizeof text, "\\u%04x", byte);
        return text;
    }
    return std::string(1, static_cast<char>(byte));
}

TEST(Escaping, EveryByteValueAloneAndAmongLetters)
{
    for (int value = 0; value < 256; ++value)
    {
        const auto byte = static_cast<unsigned char>(value);
        const std::string one(1, static_cast<char>(byte));
        SCOPED_TRACE(value);
        EXPECT_EQ(dumped(one), "\"" + expected_escape(byte) + "\"");
        EXPECT_EQ(dumped("a" + one + "b"), "\"a" + expected_escape(byte) + "b\"");
    }
}

TEST(Escaping, AllBytesInOneStringKeepTheirOrder)
{
    std::string all;
    std::string expected = "\"";
    for (int value = 0; value < 256; ++value)
    {
        all += static_cast<char>(value);
        expected += expected_escape(static_cast<unsigned char>(value));
    }
    EXPECT_EQ(dumped(all), expected + "\"");
}

TEST(Escaping, MixedExampleIsFifteenBytes)
{
    const std::string input = "a\"b\\c\n\x01"; // 61 22 62 5C 63 0A 01
    const std::string body = dumped(input).substr(1, std::string::npos);
    EXPECT_EQ(body, "a\\\"b\\\\c\\n\\u0001\"");
    EXPECT_EQ(body.size() - 1, 15u);
}

TEST(Escaping, EdgeCases)
{
    struct escape_case
    {
        std::string input;
        const char* output;
        const char* why;
    };
    const escape_case cases[] = {
        {"", "\"\"", "nothing between the quotation marks"},
        {"plain ASCII 123 /path/", "\"plain ASCII 123 /path/\"", "the solidus is not escaped"},
        {std::string("a\0b", 3), "\"a\\u0000b\"", "an embedded NUL is escaped, not an end"},
        {"\x1f\x0b", "\"\\u001f\\u000b\"", "hex digits are lowercase"},
        {"\x7f", "\"\x7f\"", "DEL is not a control byte to JSON"},
        {"caf\xc3\xa9 \xe4\xb8\x80", "\"caf\xc3\xa9 \xe4\xb8\x80\"", "UTF-8 passes unchanged"},
        {"\xff\xfe", "\"\xff\xfe\"", "bytes are not checked for UTF-8"},
        {"\"\"\"", "\"\\\"\\\"\\\"\"", "escapes back to back"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(dumped(c.input), c.output);
    }
}

TEST(Escaping, KeysAreEscapedLikeValues)
{
    const json object = {{"tab\there", "new\nline"}};
    EXPECT_EQ(object.dump(), "{\"tab\\there\":\"new\\nline\"}");
}

} // namespace

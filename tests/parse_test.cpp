// Reading JSON text: what RFC 8259 allows and refuses, where each error is
// reported, the options, numbers, round trips, streams and events.

#include "documents.hpp"
#include "number_texts.hpp"
#include "reading_cases.hpp"

#include <quarrow/json.hpp>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <list>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace
{

using quarrow::json;

TEST(Parse, ValidTexts)
{
    for (const valid_case& c : valid_cases)
    {
        SCOPED_TRACE(c.reason);
        EXPECT_EQ(json::parse(c.text).dump(), c.expected.dump());
        EXPECT_TRUE(json::accept(c.text));
    }
}

TEST(Parse, InvalidTexts)
{
    for (const invalid_case& c : invalid_cases)
    {
        SCOPED_TRACE(c.reason);
        EXPECT_FALSE(json::accept(c.text));
        try
        {
            json::parse(c.text);
            ADD_FAILURE() << "no error";
        }
        catch (const json::parse_error& e)
        {
            EXPECT_EQ(e.id, c.id);
            EXPECT_EQ(e.byte, c.byte);
            EXPECT_EQ(e.line, c.line);
            EXPECT_EQ(e.column, c.column);
            const std::string where =
                " at line " + std::to_string(c.line) + ", column " + std::to_string(c.column) + ": expected ";
            EXPECT_NE(std::string(e.what()).find(where), std::string::npos) << e.what();
            EXPECT_EQ(std::string(e.what()).rfind("[json.exception.parse_error." + std::to_string(c.id) + "] ", 0),
                      0u);
        }
    }
}

// Found bytes are shown so that the message stays printable and short.
TEST(Parse, MessagesShowWhatWasFoundSafely)
{
    const struct
    {
        std::string text;
        const char* message;
    } cases[] = {
        {"[1,]", "[json.exception.parse_error.101] syntax error at line 1, column 4: expected a value, found ']' "
                 "(parse_options::allow_trailing_commas accepts a comma before it)"},
        {"\"a\x01\"", "[json.exception.parse_error.101] syntax error at line 1, column 3: "
                      "expected a character, an escape or '\"', found '\\x01'"},
        {"[\xe9]", "[json.exception.parse_error.101] syntax error at line 1, column 2: expected a value, found '\\xE9'"},
        {"{\"a\"", "[json.exception.parse_error.101] syntax error at line 1, column 5: expected ':', found end of input"},
        {"-1" + std::string(400, '0'), "[json.exception.parse_error.103] number out of range at line 1, column 1: "
                                       "expected a number within the range of a double, found "
                                       "'-10000000000000000000000...'"},
        {"[[[", "[json.exception.parse_error.101] syntax error at line 1, column 4: expected a value, found end of input"},
    };
    for (const auto& c : cases)
    {
        try
        {
            json::parse(c.text);
            ADD_FAILURE() << c.text;
        }
        catch (const json::parse_error& e)
        {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}

TEST(Parse, NullPointerIsOtherError501)
{
    const char* const null_text = nullptr;
    EXPECT_THROW(json::parse(null_text), json::other_error);
    EXPECT_THROW(json::accept(null_text), json::other_error);
    try
    {
        json::parse(null_text);
    }
    catch (const json::other_error& e)
    {
        EXPECT_STREQ(e.what(), "[json.exception.other_error.501] cannot create string from null pointer");
    }
}

// -- options ------------------------------------------------------------------

TEST(Parse, Options)
{
    for (const option_case& c : option_cases)
    {
        SCOPED_TRACE(c.reason);
        EXPECT_EQ(json::accept(c.text, c.options), c.expected != nullptr);
        if (c.expected != nullptr)
        {
            EXPECT_EQ(json::parse(c.text, c.options).dump(), c.expected);
            continue;
        }
        try
        {
            json::parse(c.text, c.options);
            ADD_FAILURE() << "no error";
        }
        catch (const json::parse_error& e)
        {
            EXPECT_EQ(e.id, c.id) << e.what();
            EXPECT_EQ(e.byte, c.byte) << e.what();
        }
    }
}

// The errors the options add name what they refused as found bytes are named:
// the bracket of the level too many, the repeated key in its quotes, cut short.
TEST(Parse, OptionErrorMessagesShowWhatWasRefused)
{
    const std::string key(30, 'k');
    const struct
    {
        std::string text;
        quarrow::parse_options options;
        const char* message;
    } cases[] = {
        {"[{}]", depth(1), "[json.exception.parse_error.102] nesting too deep at line 1, column 2: "
                           "expected at most 1 nested arrays and objects, found '{'"},
        {"{\"a\":1,\"a\":2}", keys(quarrow::duplicate_key_policy::reject),
         "[json.exception.parse_error.104] duplicate key at line 1, column 8: "
         "expected a key the object does not have yet, found '\"a\"'"},
        {"{\"" + key + "\":1,\n\"" + key + "\":2}", keys(quarrow::duplicate_key_policy::reject),
         "[json.exception.parse_error.104] duplicate key at line 2, column 1: "
         "expected a key the object does not have yet, found '\"kkkkkkkkkkkkkkkkkkkkkkk...'"},
    };
    for (const auto& c : cases)
    {
        try
        {
            json::parse(c.text, c.options);
            ADD_FAILURE() << c.text;
        }
        catch (const json::parse_error& e)
        {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}

TEST(Parse, CommentsKeepLinesCounted)
{
    try
    {
        json::parse("/* one\ntwo */ // three\n  x", comments());
        ADD_FAILURE();
    }
    catch (const json::parse_error& e)
    {
        EXPECT_EQ(e.line, 3u);
        EXPECT_EQ(e.column, 3u);
    }
}

// -- numbers ------------------------------------------------------------------

TEST(ParseNumbers, IntegersTakeTheFirstTypeTheyFit)
{
    const struct
    {
        const char* text;
        json::value_t kind;
        const char* written;
    } cases[] = {
        {"9223372036854775807", json::value_t::number_integer, "9223372036854775807"},
        {"9223372036854775808", json::value_t::number_unsigned, "9223372036854775808"},
        {"18446744073709551615", json::value_t::number_unsigned, "18446744073709551615"},
        {"18446744073709551616", json::value_t::number_float, "1.8446744073709552e+19"},
        {"-9223372036854775808", json::value_t::number_integer, "-9223372036854775808"},
        {"-9223372036854775809", json::value_t::number_float, "-9.223372036854776e+18"},
        {"100000000000000000000", json::value_t::number_float, "1e+20"},
        {"1.0", json::value_t::number_float, "1.0"},
        {"1e2", json::value_t::number_float, "100.0"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.text);
        const json value = json::parse(c.text);
        EXPECT_EQ(value.type(), c.kind);
        EXPECT_EQ(value.dump(), c.written);
    }
}

// The whole path from text to value gives the bits strtod gives in the C
// locale; beyond the largest double, strtod overflows and parse refuses.
TEST(ParseNumbers, FloatsAreCorrectlyRounded)
{
    std::size_t compared = 0;
    for (const std::string& text : number_texts::generate(20000))
    {
        const double expected = std::strtod(text.c_str(), nullptr);
        if (std::isinf(expected))
        {
            EXPECT_FALSE(json::accept(text)) << text;
            continue;
        }
        const json value = json::parse(text);
        ASSERT_TRUE(value.is_number_float()) << text;
        const double parsed = *value.get_ptr<const double*>();
        ASSERT_EQ(number_texts::bits(parsed), number_texts::bits(expected)) << text;
        ++compared;
    }
    EXPECT_GT(compared, 19000u);
}

// Numbers in an array with enough bytes after them take a faster path when
// written without exponent, as coordinates and measures mostly are; every
// one must still give strtod's bits.
TEST(ParseNumbers, FixedPointNumbersInAnArrayAreCorrectlyRounded)
{
    const std::vector<std::string> texts = number_texts::generate_fixed(200000);
    std::string array = "[";
    for (const std::string& text : texts)
    {
        array += text + ",";
    }
    array.back() = ']';
    const json value = json::parse(array);
    ASSERT_EQ(value.size(), texts.size());
    for (std::size_t i = 0; i != texts.size(); ++i)
    {
        const double expected = std::strtod(texts[i].c_str(), nullptr);
        ASSERT_TRUE(value[i].is_number_float()) << texts[i];
        ASSERT_EQ(number_texts::bits(*value[i].get_ptr<const double*>()), number_texts::bits(expected)) << texts[i];
    }
}

// Numbers in memory with enough bytes after them take faster paths (a long
// fraction in one load, a number after a bare comma), the rest the general
// one: each number at every distance from the end of the input, in a buffer
// of exactly the text's size (so the sanitizer build sees any read past it),
// alone and as the second of two in an array, must give strtod's bits.
TEST(ParseNumbers, EveryDistanceFromTheEndReadsAsStrtod)
{
    struct number_case
    {
        const char* text;
        const char* reason;
    };
    const number_case cases[] = {
        {"-65.613616999999977", "canada.json's shape: two integer digits, fifteen fraction digits"},
        {"1.2345678", "eight fraction digits, the fewest one load takes"},
        {"1.1234567", "seven, read the general way"},
        {"123.1234567890123456", "three integer digits and sixteen fraction digits, the most one load takes"},
        {"123.12345678901234567", "seventeen fraction digits, read the general way"},
        {"999.9999999999999999", "nineteen nines, the largest leading digits"},
        {"1.0000000000000000", "sixteen zeros"},
        {"4.0000000000000001", "the last of sixteen digits decides nothing, but is read"},
        {"2.2250738585072014", "a digit pattern near a power of two"},
        {"1234.12345678", "four integer digits, read the general way"},
        {"0.12345678901", "a zero before the point, read the general way"},
        {"-1.12345678e5", "an exponent after a long fraction"},
        {"1.12345678E-300", "a far negative exponent after one"},
        {"-1.7976931348623157e308", "the largest double"},
        {"7", "one digit"},
        {"-0.0", "negative zero"},
    };
    for (const number_case& row : cases)
    {
        SCOPED_TRACE(row.reason);
        const double expected = std::strtod(row.text, nullptr);
        const std::string number = row.text;
        for (std::size_t pad = 0; pad <= 40; ++pad)
        {
            for (const std::string& text : {number + std::string(pad, ' '),
                                            "[0," + number + "]" + std::string(pad, ' ')})
            {
                const std::unique_ptr<char[]> bytes(new char[text.size()]);
                std::memcpy(bytes.get(), text.data(), text.size());
                const json value = json::parse(bytes.get(), bytes.get() + text.size());
                const json& read = value.is_array() ? value[1] : value;
                ASSERT_TRUE(read.is_number()) << text;
                const double parsed = read.is_number_float() ? *read.get_ptr<const double*>()
                                                               : static_cast<double>(read.get<std::int64_t>());
                ASSERT_EQ(number_texts::bits(parsed), number_texts::bits(expected)) << text;
            }
        }
    }
}

// -- round trips --------------------------------------------------------------

TEST(ParseRoundTrip, EveryDocumentWritesBackTheSameBytes)
{
    for (const documents::document& d : documents::all())
    {
        SCOPED_TRACE(d.name);
        for (const int indent : {-1, 0, 2})
        {
            const std::string text = d.value.dump(indent);
            EXPECT_EQ(json::parse(text).dump(indent), text);
            if (d.name == "floats")
            {
                // 15 digits write the largest double as a number above it,
                // which no double holds.
                quarrow::dump_options fifteen_digits;
                fifteen_digits.indent = indent;
                fifteen_digits.fifteen_digit_doubles = true;
                const std::string text15 = d.value.dump(fifteen_digits);
                const std::string largest = "1.79769313486232e+308";
                ASSERT_NE(text15.find(largest), std::string::npos);
                try
                {
                    json::parse(text15);
                    ADD_FAILURE();
                }
                catch (const json::parse_error& e)
                {
                    EXPECT_EQ(e.id, 103);
                    EXPECT_EQ(e.byte, text15.find(largest));
                }
            }
        }
    }
}

std::string read_file(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

TEST(ParseRoundTrip, CorporaParseAndWriteBackAsDumpWritesThem)
{
    for (const char* name : {"canada.json", "citm_catalog.json", "twitter.json"})
    {
        SCOPED_TRACE(name);
        const std::string corpus = read_file(std::string(QUARROW_BENCH_DATA) + "/" + name);
        ASSERT_FALSE(corpus.empty());
        const std::string written = json::parse(corpus).dump();
        EXPECT_EQ(json::parse(written).dump(), written);
        std::istringstream stream(corpus);
        EXPECT_EQ(json::parse(stream).dump(), written);
    }
}

// -- inputs and streams -------------------------------------------------------

TEST(ParseInputs, EveryInputReadsTheSameValue)
{
    const std::string text = " {\"a\":[1,-2.5,\"\xc3\xa9\\u00e9\"],\"b\":null} ";
    const std::string expected = json::parse(text).dump();
    EXPECT_EQ(json::parse(text.c_str()).dump(), expected);
    EXPECT_EQ(json::parse(text.begin(), text.end()).dump(), expected);
    EXPECT_EQ(json::parse(text.data(), text.data() + text.size()).dump(), expected);
    const std::vector<unsigned char> bytes(text.begin(), text.end());
    EXPECT_EQ(json::parse(bytes.begin(), bytes.end()).dump(), expected);
    const std::list<signed char> list(text.begin(), text.end());
    EXPECT_EQ(json::parse(list.begin(), list.end()).dump(), expected);
    std::istringstream stream(text);
    EXPECT_EQ(json::parse(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()).dump(), expected);
    std::istringstream whole(text);
    EXPECT_EQ(json::parse(whole).dump(), expected);
#if defined(__cpp_lib_string_view)
    EXPECT_EQ(json::parse(std::string_view(text)).dump(), expected);
    EXPECT_TRUE(json::accept(std::string_view(text)));
#endif
    EXPECT_TRUE(json::accept(list.begin(), list.end()));
    std::istringstream trailing(text + "1");
    EXPECT_FALSE(json::accept(trailing));
}

TEST(ParseInputs, ErrorsInStreamsAndIteratorsHaveTheirPlaces)
{
    // Numbers out of memory go through a buffer; their errors stay exact.
    const std::string text = "[1,\n 2.5e400]";
    for (int route = 0; route < 2; ++route)
    {
        std::istringstream stream(text);
        try
        {
            if (route == 0)
            {
                json::parse(stream);
            }
            else
            {
                const std::list<char> list(text.begin(), text.end());
                json::parse(list.begin(), list.end());
            }
            ADD_FAILURE();
        }
        catch (const json::parse_error& e)
        {
            EXPECT_EQ(e.id, 103);
            EXPECT_EQ(e.byte, 5u);
            EXPECT_EQ(e.line, 2u);
            EXPECT_EQ(e.column, 2u);
        }
    }
}

// The value written back, or the error's id and byte.
template<typename Parse>
std::string outcome(Parse parse)
{
    try
    {
        return parse().dump();
    }
    catch (const json::parse_error& e)
    {
        return "error " + std::to_string(e.id) + " at " + std::to_string(e.byte);
    }
}

// Text in memory takes fast paths over strings and whitespace, eight bytes at
// a time; every byte value in every place must read as it does from a
// stream, which goes byte by byte.
TEST(ParseInputs, MemoryAndStreamAgreeOnEveryByteInEveryPlace)
{
    std::size_t errors = 0;
    for (int byte = 0; byte < 256; ++byte)
    {
        for (std::size_t place = 1; place < 18; ++place)
        {
            std::string text = "[\"" + std::string(20, 'a') + "\",        1]";
            text[place] = static_cast<char>(byte);
            const std::string in_memory = outcome([&] { return json::parse(text); });
            std::istringstream stream(text);
            ASSERT_EQ(outcome([&] { return json::parse(stream); }), in_memory) << byte << " at " << place;
            errors += in_memory.compare(0, 6, "error ") == 0;
        }
    }
    EXPECT_GT(errors, 0u);
}

// Where the processor has SSE2, text in memory takes strings and runs of
// spaces sixteen bytes at a time (parse_tests_portable reads it eight at a
// time): every byte value in every place of two such runs, and just after
// them, must read as it does from a stream.
TEST(ParseInputs, MemoryAndStreamAgreeOnEveryByteOfLongRuns)
{
    const std::string clean = "[\"" + std::string(40, 'a') + "\"," + std::string(40, ' ') + "1]";
    std::size_t errors = 0;
    for (int byte = 0; byte < 256; ++byte)
    {
        for (std::size_t place = 2; place + 1 < clean.size(); ++place)
        {
            std::string text = clean;
            text[place] = static_cast<char>(byte);
            const std::string in_memory = outcome([&] { return json::parse(text); });
            std::istringstream stream(text);
            ASSERT_EQ(outcome([&] { return json::parse(stream); }), in_memory) << byte << " at " << place;
            ASSERT_EQ(json::accept(text), in_memory.compare(0, 6, "error ") != 0) << byte << " at " << place;
            errors += in_memory.compare(0, 6, "error ") == 0;
        }
    }
    EXPECT_GT(errors, 0u);
}

// In memory, a run of multi-byte UTF-8 is checked a sequence per load while
// four bytes remain and byte by byte nearer the end. Every lead byte, with
// second bytes at the edges of every range the rules allow, must read as it
// does from a stream: inside a string that goes on, and cut off by the end.
TEST(ParseInputs, MemoryAndStreamAgreeOnUtf8Sequences)
{
    const unsigned char seconds[] = {0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0};
    const std::string tails[] = {"\x80\x80", "\x80" "a", "\xC0\x80", ""};
    const std::string befores[] = {"", "\xE3\x81\x82"}; // alone, or after a valid sequence
    const std::string afters[] = {"abcdefgh\"]", ""};
    std::size_t accepted = 0;
    for (int lead = 0x80; lead < 0x100; ++lead)
    {
        for (const unsigned char second : seconds)
        {
            for (const std::string& tail : tails)
            {
                for (const std::string& before : befores)
                {
                    for (const std::string& after : afters)
                    {
                        const std::string text = "[\"" + before + static_cast<char>(lead) +
                                                 static_cast<char>(second) + tail + after;
                        const std::string in_memory = outcome([&] { return json::parse(text); });
                        std::istringstream stream(text);
                        ASSERT_EQ(outcome([&] { return json::parse(stream); }), in_memory)
                            << lead << " " << int{second} << " " << tail.size() << before.size() << after.size();
                        const bool valid = in_memory.compare(0, 6, "error ") != 0;
                        ASSERT_EQ(json::accept(text), valid);
                        accepted += valid;
                    }
                }
            }
        }
    }
    EXPECT_GT(accepted, 0u);
}

TEST(StreamInput, ReadsValuesOneAfterAnother)
{
    std::istringstream in("1 [2,3]{\"a\":\"b\"}\r\n\"s\"null 4.5\n\n");
    std::vector<std::string> read;
    json value;
    while (in >> value)
    {
        read.push_back(value.dump());
    }
    EXPECT_EQ(read, (std::vector<std::string>{"1", "[2,3]", "{\"a\":\"b\"}", "\"s\"", "null", "4.5"}));
    EXPECT_TRUE(in.eof());
    EXPECT_TRUE(in.fail());
    EXPECT_FALSE(in.bad());
    EXPECT_EQ(value.dump(), "4.5") << "the value is left as it was at the end";
}

TEST(StreamInput, LeavesTheStreamJustAfterTheValue)
{
    const struct
    {
        const char* text;
        const char* value;
        const char* rest;
    } cases[] = {
        {"12 x", "12", " x"},
        {"[1]x", "[1]", "x"},
        {"true,", "true", ","},
        {"\"a\"\"b\"", "\"a\"", "\"b\""},
        {"  -3.5e1\n", "-35.0", "\n"},
    };
    for (const auto& c : cases)
    {
        std::istringstream in(c.text);
        json value;
        ASSERT_TRUE(in >> value) << c.text;
        EXPECT_EQ(value.dump(), c.value);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), c.rest);
    }
}

TEST(StreamInput, MalformedValueThrowsAndLeavesTheValue)
{
    std::istringstream in("[1] [2,] [3]");
    json value = "kept";
    ASSERT_TRUE(in >> value);
    EXPECT_EQ(value.dump(), "[1]");
    try
    {
        in >> value;
        ADD_FAILURE();
    }
    catch (const json::parse_error& e)
    {
        EXPECT_EQ(e.id, 101);
        EXPECT_EQ(e.byte, 4u) << "counted from where this value's reading began";
    }
    EXPECT_EQ(value.dump(), "[1]");
}

TEST(StreamInput, EmptyStreamSetsFailAndEof)
{
    std::istringstream in(" \t\n");
    json value = 7;
    EXPECT_FALSE(in >> value);
    EXPECT_TRUE(in.eof());
    EXPECT_EQ(value.dump(), "7");
}

// -- events -------------------------------------------------------------------

// Writes every event as a short token.
struct recorder : json::event_handler
{
    std::string log;
    std::size_t stop_after = std::numeric_limits<std::size_t>::max();

    bool note(const std::string& event)
    {
        log += event + " ";
        return --stop_after != 0;
    }
    bool null_value()
    {
        return note("null");
    }
    bool boolean_value(bool b)
    {
        return note(b ? "true" : "false");
    }
    bool integer_value(json::number_integer_t n)
    {
        return note("i" + std::to_string(n));
    }
    bool unsigned_value(json::number_unsigned_t n)
    {
        return note("u" + std::to_string(n));
    }
    bool float_value(json::number_float_t x)
    {
        return note("f" + std::to_string(x));
    }
    bool string_value(std::string& s)
    {
        return note("s:" + s);
    }
    bool object_key(std::string& k)
    {
        return note("k:" + k);
    }
    bool begin_object()
    {
        return note("{");
    }
    bool end_object()
    {
        return note("}");
    }
    bool begin_array()
    {
        return note("[");
    }
    bool end_array()
    {
        return note("]");
    }
};

const char* const event_text = "{\"a\":[1,18446744073709551615,-2,0.5,\"x\"],\"b\":{},\"a\":[true,false,null]}";

TEST(Events, EveryValueKeyAndBracketInTextOrder)
{
    recorder r;
    EXPECT_TRUE(json::parse_events(event_text, r));
    EXPECT_EQ(r.log, "{ k:a [ i1 u18446744073709551615 i-2 f0.500000 s:x ] k:b { } k:a [ true false null ] } ");
}

TEST(Events, AHandlerStopsTheParse)
{
    recorder r;
    r.stop_after = 3;
    EXPECT_FALSE(json::parse_events(event_text, r));
    EXPECT_EQ(r.log, "{ k:a [ ");

    // Stopping before a malformed part means the error is never reached.
    recorder early;
    early.stop_after = 1;
    EXPECT_FALSE(json::parse_events("[1,]", early));
    recorder late;
    EXPECT_THROW(json::parse_events("[1,]", late), json::parse_error);
    EXPECT_EQ(late.log, "[ i1 ");
}

// -- depth --------------------------------------------------------------------

TEST(Depth, TenMillionOpeningBracketsFailAtOnce)
{
    const std::string text(10000000, '[');
    EXPECT_FALSE(json::accept(text));
    try
    {
        json::parse(text);
        ADD_FAILURE();
    }
    catch (const json::parse_error& e)
    {
        EXPECT_EQ(e.id, 102);
        EXPECT_EQ(e.byte, 512u);
    }
}

TEST(Depth, AMillionLevelsAreCheckedWithoutRecursion)
{
    const std::size_t levels = 1000000;
    const std::string text = std::string(levels, '[') + std::string(levels, ']');
    EXPECT_TRUE(json::accept(text, depth(levels)));
    EXPECT_FALSE(json::accept(text, depth(levels - 1)));
    const std::string objects = [&] {
        std::string t;
        for (std::size_t i = 0; i < levels; ++i)
        {
            t += "{\"a\":";
        }
        return t + "1" + std::string(levels, '}');
    }();
    recorder r;
    EXPECT_TRUE(json::parse_events(objects, *static_cast<json::event_handler*>(&r), depth(levels)));
}

TEST(Depth, EachLevelKnowsItsKindWhenItsInnerOneCloses)
{
    // Arrays and objects in an irregular order, deeper than the reader keeps
    // in one word or in place, each with a value after its inner one.
    const std::size_t levels = 2000;
    std::string opening;
    std::string closing;
    std::uint32_t state = 1;
    for (std::size_t i = 0; i < levels; ++i)
    {
        state = state * 1103515245u + 12345u;
        const bool object = (state >> 16 & 1) != 0;
        opening += object ? "{\"k\":" : "[";
        closing += object ? "}0:\"z\"," : "]0,"; // reversed below
    }
    const std::string text = opening + "1" + std::string(closing.rbegin(), closing.rend());
    EXPECT_TRUE(json::accept(text, depth(levels)));
    EXPECT_EQ(json::parse(text, depth(levels)).dump(), text);
    std::istringstream stream(text);
    EXPECT_EQ(json::parse(stream, depth(levels)).dump(), text);
}

TEST(Depth, AMillionLevelsParseIntoAValue)
{
    const std::size_t levels = 1000000;
    const std::string arrays = std::string(levels, '[') + std::string(levels, ']');
    EXPECT_EQ(json::parse(arrays, depth(levels)).dump(), arrays);
    // Objects cost more a level; fewer show the same.
    const std::size_t object_levels = levels / 10;
    std::string objects;
    for (std::size_t i = 0; i < object_levels; ++i)
    {
        objects += "{\"a\":";
    }
    objects += "[]" + std::string(object_levels, '}');
    EXPECT_EQ(json::parse(objects, depth(object_levels + 1)).dump(), objects);
    std::istringstream stream(objects);
    EXPECT_THROW(json::parse(stream, depth(object_levels)), json::parse_error);
}

} // namespace

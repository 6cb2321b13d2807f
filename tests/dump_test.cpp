// The direct text routes: dump(), dump_to() into a string and onto a stream in
// chunks, with their options. The stream operator is the oracle for bytes.

#include "documents.hpp"
#include "recording_streambuf.hpp"

#include <quarrow/json.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iomanip>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace
{

using quarrow::dump_options;
using quarrow::json;
using quarrow::utf8_policy;

std::string streamed(const json& value, int width)
{
    std::ostringstream stream;
    stream << std::setw(width) << value;
    return stream.str();
}

dump_options indented(int indent)
{
    dump_options options;
    options.indent = indent;
    return options;
}

// The stream operator's layout and its 15-digit doubles.
dump_options as_streamed(int indent)
{
    dump_options options = indented(indent);
    options.fifteen_digit_doubles = true;
    return options;
}

std::string chunked(const json& value, const dump_options& options)
{
    std::ostringstream stream;
    value.dump_to(stream, options);
    return stream.str();
}

// Every document, several copies in one array: the text passes two chunk
// boundaries, which fall inside strings, numbers and indentation alike.
json repeated_documents(std::size_t minimum_size)
{
    json::array_t all;
    for (const auto& document : documents::all())
    {
        all.push_back(document.value);
    }
    const json one(std::move(all));
    json::array_t copies;
    for (std::size_t size = 0; size < minimum_size; size += one.dump().size())
    {
        copies.push_back(one);
    }
    return json(std::move(copies));
}

TEST(Routes, EveryDocumentGivesTheStreamOperatorsBytes)
{
    for (const auto& document : documents::all())
    {
        for (const int width : {0, 1, 4})
        {
            SCOPED_TRACE(document.name + ", width " + std::to_string(width));
            const std::string expected = streamed(document.value, width);
            EXPECT_EQ(document.value.dump(as_streamed(width)), expected);
            std::string text = "kept:";
            document.value.dump_to(text, as_streamed(width));
            EXPECT_EQ(text, "kept:" + expected); // appended, never replaced
            EXPECT_EQ(chunked(document.value, as_streamed(width)), expected);

            // The default differs from it in the digits of doubles alone, the same on every route.
            const std::string shortest = document.value.dump(width);
            EXPECT_EQ(document.value.dump(indented(width)), shortest);
            text = "kept:";
            document.value.dump_to(text, indented(width));
            EXPECT_EQ(text, "kept:" + shortest);
            EXPECT_EQ(chunked(document.value, indented(width)), shortest);
        }
    }
}

TEST(Routes, ChunkBoundariesInsideTokensChangeNoByte)
{
    const std::size_t chunk = json::writer::chunk_size;
    const json value = repeated_documents(3 * chunk);
    for (const int width : {0, 4})
    {
        const std::string expected = streamed(value, width);
        ASSERT_GT(expected.size(), 3 * chunk);
        EXPECT_TRUE(value.dump(as_streamed(width)) == expected); // too long to print
        EXPECT_TRUE(chunked(value, as_streamed(width)) == expected);
        EXPECT_TRUE(chunked(value, indented(width)) == value.dump(width));
    }
}

// dump_to into a string the value itself holds, as a lone string, an
// element and a member, with lengths around the chunk at which the writer
// first appends to its target (and may move the target's bytes): the text
// appended is that of the value as it was before the call.
TEST(Routes, DumpingIntoAStringOfTheValueItselfWritesItAsItWas)
{
    const std::size_t chunk = json::writer::chunk_size;
    struct holder
    {
        const char* why;
        json value;
        std::vector<std::string> path; // where the target string is; an index as its digits
    };
    for (const std::size_t length : {std::size_t(10), chunk - 3, chunk - 1, chunk, chunk + 1, 3 * chunk + 7})
    {
        for (const char filler : {'x', '"'}) // copied as it is, or escaped byte by byte
        {
            const std::string text(length, filler);
            const std::vector<holder> holders = {
                {"the value itself", json(text), {}},
                {"an element after a long one", json{std::string(chunk, 'a'), text}, {"1"}},
                {"a member before others", json{{"a", text}, {"b", std::string(chunk, 'b')}}, {"a"}},
            };
            for (const auto& h : holders)
            {
                for (const int indent : {-1, 2})
                {
                    SCOPED_TRACE(std::string(h.why) + ", length " + std::to_string(length) + ", filler " + filler +
                                 ", indent " + std::to_string(indent));
                    json value = h.value;
                    json* target = &value;
                    for (const std::string& step : h.path)
                    {
                        target = target->is_array() ? &(*target)[std::stoul(step)] : &(*target)[step];
                    }
                    std::string& into = target->get_ref<std::string&>();
                    into.shrink_to_fit(); // no spare capacity: the first append moves it
                    const std::string expected = text + h.value.dump(indent);
                    value.dump_to(into, indented(indent));
                    EXPECT_TRUE(into == expected);
                }
            }
        }
    }
}

// max_length: a text of exactly that many bytes is written; one byte more
// throws 408 before anything past the limit is handed on, leaving a string
// target as it was and a stream with whole chunks that fit, if any.
TEST(Routes, MaxLengthStopsTextThatWouldBeLonger)
{
    const std::size_t chunk = json::writer::chunk_size;
    for (const json& value : {json{{"a", {1, 2.5, "x"}}}, repeated_documents(2 * chunk)})
    {
        for (const int indent : {-1, 4})
        {
            const std::string full = value.dump(indent);
            SCOPED_TRACE(std::to_string(full.size()) + " bytes, indent " + std::to_string(indent));
            dump_options options = indented(indent);
            options.max_length = full.size();
            EXPECT_EQ(value.dump(options), full);
            EXPECT_EQ(chunked(value, options), full);

            options.max_length = full.size() - 1;
            const std::string message =
                "[json.exception.out_of_range.408] text longer than max_length " + std::to_string(full.size() - 1);
            try
            {
                value.dump(options);
                ADD_FAILURE() << "no exception";
            }
            catch (const json::out_of_range& e)
            {
                EXPECT_EQ(std::string(e.what()), message);
            }
            std::string text = "kept";
            EXPECT_THROW(value.dump_to(text, options), json::out_of_range);
            EXPECT_EQ(text, "kept");
            std::ostringstream stream;
            EXPECT_THROW(value.dump_to(stream, options), json::out_of_range);
            EXPECT_EQ(stream.str(), full.substr(0, options.max_length / chunk * chunk));
        }
    }
}

// Indented text grows with depth times size: a limit stops a deep document
// after a few chunks, however much longer its whole text would be.
TEST(Routes, MaxLengthBoundsTheIndentationOfDeepText)
{
    const std::string text = std::string(512, '[') + std::string(512, ']');
    const json deep = json::parse(text);
    dump_options options = indented(4);
    options.max_length = 100000;
    std::ostringstream stream;
    EXPECT_THROW(deep.dump_to(stream, options), json::out_of_range);
    EXPECT_LE(stream.str().size(), options.max_length);
    EXPECT_GT(deep.dump(4).size(), 10 * options.max_length); // a megabyte from 1 KB
}

// Each byte value at every offset of a 20-byte string, so that it falls in
// each lane of the 8-byte scan and in the tail after the last whole word.
TEST(Routes, EveryByteAtEveryOffsetIsEscapedAsTheStreamDoes)
{
    for (int byte = 0; byte < 256; ++byte)
    {
        for (std::size_t offset = 0; offset < 20; ++offset)
        {
            std::string text(20, 'a');
            text[offset] = static_cast<char>(byte);
            const json value = text;
            ASSERT_EQ(value.dump(), streamed(value, 0)) << "byte " << byte << " at " << offset;
        }
    }
}

// Every length up to five words, as a value and as a key, plain and with a
// byte to escape first or last: each way a length splits into whole words,
// a last word read again in part, and the pieces of a short string.
TEST(Routes, StringsOfEveryLengthAsTheStreamWrites)
{
    json::array_t strings;
    json::object_t keys;
    for (std::size_t length = 0; length <= 40; ++length)
    {
        std::vector<std::string> texts = {std::string(length, 'a')};
        if (length != 0)
        {
            texts.push_back('"' + std::string(length - 1, 'b'));
            texts.push_back(std::string(length - 1, 'c') + '\n');
        }
        for (const std::string& text : texts)
        {
            strings.push_back(json(text));
            keys[text] = json(length);
        }
    }
    const json value = json::array_t{json(std::move(strings)), json(std::move(keys))};
    for (const int width : {0, 4})
    {
        EXPECT_EQ(value.dump(width), streamed(value, width)) << "width " << width;
    }
}

TEST(Routes, IntegersOfEveryLengthAndSign)
{
    json::array_t numbers = {json(std::numeric_limits<long long>::min()),
                             json(std::numeric_limits<long long>::max()),
                             json(std::numeric_limits<unsigned long long>::max())};
    // 1, 9, 10, 99, 100, ...: both sides of every change in the digit count
    for (unsigned long long power = 1; power <= 1000000000000000000ull; power *= 10)
    {
        for (const unsigned long long n : {power - 1, power, power + 1, 2 * power, 9 * power})
        {
            numbers.push_back(json(n));
            numbers.push_back(json(-static_cast<long long>(n)));
        }
    }
    const json value(std::move(numbers));
    EXPECT_EQ(value.dump(), streamed(value, 0));
}

// A stream buffer that takes `capacity` bytes and then fails every write.
class limited_streambuf : public recording_streambuf
{
  public:
    explicit limited_streambuf(std::size_t capacity_)
        : capacity(capacity_)
    {}

  protected:
    std::streamsize xsputn(const char* s, std::streamsize n) override
    {
        calls.push_back("write:" + std::string(s, static_cast<std::size_t>(n)));
        if (static_cast<std::size_t>(n) > capacity)
        {
            return 0;
        }
        capacity -= static_cast<std::size_t>(n);
        return n;
    }

  private:
    std::size_t capacity;
};

TEST(ChunkedStream, OneWriteAChunkAllFullButTheLast)
{
    const std::size_t chunk = json::writer::chunk_size;
    const json value = repeated_documents(3 * chunk);
    for (const int width : {0, 4})
    {
        const std::string expected = value.dump(width);
        recording_streambuf buffer;
        std::ostream stream(&buffer);
        value.dump_to(stream, indented(width));
        EXPECT_EQ(buffer.calls.size(), (expected.size() + chunk - 1) / chunk);
        for (std::size_t i = 0; i + 1 < buffer.calls.size(); ++i)
        {
            EXPECT_EQ(buffer.calls[i].size(), std::strlen("write:") + chunk);
        }
        EXPECT_EQ(buffer.text(), expected);
    }
}

TEST(ChunkedStream, WritingStopsAtTheFirstFailedWrite)
{
    const std::size_t chunk = json::writer::chunk_size;
    const json value = repeated_documents(4 * chunk);
    limited_streambuf buffer(chunk); // the first chunk fits, the second fails
    std::ostream stream(&buffer);
    value.dump_to(stream);
    EXPECT_TRUE(stream.bad());
    EXPECT_EQ(buffer.calls.size(), 2u);
}

TEST(ChunkedStream, AStreamThatIsNotGoodGetsNothing)
{
    recording_streambuf buffer;
    std::ostream stream(&buffer);
    stream.setstate(std::ios::failbit);
    json({1, 2, 3}).dump_to(stream);
    EXPECT_TRUE(buffer.calls.empty());
}

TEST(ChunkedStream, StreamExceptionsPassThrough)
{
    limited_streambuf buffer(0);
    std::ostream stream(&buffer);
    stream.exceptions(std::ios::badbit);
    EXPECT_THROW(json({1, 2, 3}).dump_to(stream), std::ios::failure);
}

// -- UTF-8 --------------------------------------------------------------------

dump_options with_policy(utf8_policy policy, bool escape_non_ascii = false)
{
    dump_options options;
    options.invalid_utf8 = policy;
    options.escape_non_ascii = escape_non_ascii;
    return options;
}

std::string quoted(const std::string& body)
{
    return "\"" + body + "\"";
}

const char* const fffd = "\xEF\xBF\xBD";

struct invalid_case
{
    const char* why;
    std::string text;
    std::string replaced; // each maximal subpart as one U+FFFD
    std::size_t bad_index;
    const char* bad_byte;
};

// "a" first, so the indexes are not all 0; a long tail, so the word scan
// meets the bad byte too.
const invalid_case invalid_cases[] = {
    {"lone continuation byte", "a\x80z", "a" + std::string(fffd) + "z", 1, "0x80"},
    {"byte that starts nothing", "a\xFFz", "a" + std::string(fffd) + "z", 1, "0xFF"},
    {"lead byte above F4", "a\xF5\x80\x80\x80", "a" + std::string(fffd) + fffd + fffd + fffd, 1, "0xF5"},
    {"truncated by the end of the string", "a\xC3", "a" + std::string(fffd), 1, "0xC3"},
    {"truncated three-byte sequence, then ASCII", "a\xE4\xB8z", "a" + std::string(fffd) + "z", 1, "0xE4"},
    {"truncated four-byte sequence, then ASCII", "a\xF0\x9F\x98z", "a" + std::string(fffd) + "z", 1, "0xF0"},
    {"overlong two-byte form of '/'", "a\xC0\xAF", "a" + std::string(fffd) + fffd, 1, "0xC0"},
    {"overlong three-byte form", "a\xE0\x80\xAF", "a" + std::string(fffd) + fffd + fffd, 1, "0xE0"},
    {"overlong four-byte form", "a\xF0\x8F\xBF\xBF", "a" + std::string(fffd) + fffd + fffd + fffd, 1, "0xF0"},
    {"encoded high surrogate U+D800", "a\xED\xA0\x80", "a" + std::string(fffd) + fffd + fffd, 1, "0xED"},
    {"encoded low surrogate U+DFFF", "a\xED\xBF\xBF", "a" + std::string(fffd) + fffd + fffd, 1, "0xED"},
    {"above U+10FFFF", "a\xF4\x90\x80\x80", "a" + std::string(fffd) + fffd + fffd + fffd, 1, "0xF4"},
    {"valid text first, in the word scan", "0123456789\xC3\xA9\x80", "0123456789\xC3\xA9" + std::string(fffd), 12,
     "0x80"},
};

TEST(Utf8, KeepWritesInvalidBytesAsTheStreamDoes)
{
    for (const auto& c : invalid_cases)
    {
        SCOPED_TRACE(c.why);
        const json value = c.text;
        EXPECT_EQ(value.dump(with_policy(utf8_policy::keep)), streamed(value, 0));
    }
}

TEST(Utf8, ReplaceWritesOneReplacementCharacterEachMaximalSubpart)
{
    for (const auto& c : invalid_cases)
    {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(json(c.text).dump(with_policy(utf8_policy::replace)), quoted(c.replaced));
        EXPECT_EQ(json({{c.text, 1}}).dump(with_policy(utf8_policy::replace)), "{" + quoted(c.replaced) + ":1}");
    }
}

TEST(Utf8, ErrorNamesTheFirstBadByteOfTheString)
{
    for (const auto& c : invalid_cases)
    {
        SCOPED_TRACE(c.why);
        const std::string message = std::string("[json.exception.type_error.316] invalid UTF-8 byte at index ") +
                                    std::to_string(c.bad_index) + ": " + c.bad_byte;
        for (const json& value : {json(c.text), json({{c.text, 1}}), json({"ok", c.text})})
        {
            try
            {
                value.dump(with_policy(utf8_policy::error));
                ADD_FAILURE() << "no exception";
            }
            catch (const json::type_error& e)
            {
                EXPECT_EQ(e.id, 316);
                EXPECT_EQ(std::string(e.what()), message);
            }
        }
    }
}

TEST(Utf8, ErrorLeavesTheTextAsItWas)
{
    std::string text = "kept";
    EXPECT_THROW(json({"fine", "bad \xFF"}).dump_to(text, with_policy(utf8_policy::error)), json::type_error);
    EXPECT_EQ(text, "kept");
}

struct valid_case
{
    const char* why;
    std::string text;
    const char* escaped;
};

const valid_case valid_cases[] = {
    {"two bytes, lowest", "\xC2\x80", "\\u0080"},
    {"two bytes", "\xC3\xA9", "\\u00e9"},
    {"three bytes, lowest", "\xE0\xA0\x80", "\\u0800"},
    {"three bytes, just below the surrogates", "\xED\x9F\xBF", "\\ud7ff"},
    {"three bytes, just above the surrogates", "\xEE\x80\x80", "\\ue000"},
    {"three bytes, highest", "\xEF\xBF\xBF", "\\uffff"},
    {"four bytes, lowest: a surrogate pair", "\xF0\x90\x80\x80", "\\ud800\\udc00"},
    {"four bytes: a surrogate pair", "\xF0\x9F\x98\x80", "\\ud83d\\ude00"},
    {"four bytes, highest", "\xF4\x8F\xBF\xBF", "\\udbff\\udfff"},
};

TEST(Utf8, ValidTextPassesEveryPolicyUnchanged)
{
    for (const auto& c : valid_cases)
    {
        SCOPED_TRACE(c.why);
        const std::string text = "long enough for the word scan " + c.text + " and after";
        for (const utf8_policy policy : {utf8_policy::keep, utf8_policy::replace, utf8_policy::error})
        {
            EXPECT_EQ(json(text).dump(with_policy(policy)), quoted(text));
        }
    }
}

TEST(Utf8, EscapingNonAsciiWritesPlainAscii)
{
    for (const auto& c : valid_cases)
    {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(json("a" + c.text + "\n").dump(with_policy(utf8_policy::keep, true)),
                  quoted(std::string("a") + c.escaped + "\\n"));
    }
}

// Plain ASCII has no room for a byte that is not UTF-8: replace writes the
// escape of U+FFFD, and keep, which cannot keep it, is an error like error.
TEST(Utf8, EscapingNonAsciiNeverWritesAByteAbove0x7F)
{
    for (const auto& c : invalid_cases)
    {
        SCOPED_TRACE(c.why);
        const std::string ascii = json(c.text).dump(with_policy(utf8_policy::replace, true));
        EXPECT_TRUE(std::all_of(ascii.begin(), ascii.end(), [](char byte) { return byte > 0; })) << ascii;
        EXPECT_EQ(json::parse(ascii), json(c.replaced));
        for (const utf8_policy policy : {utf8_policy::keep, utf8_policy::error})
        {
            std::string text = "kept";
            try
            {
                json(c.text).dump_to(text, with_policy(policy, true));
                ADD_FAILURE() << "no exception";
            }
            catch (const json::type_error& e)
            {
                EXPECT_EQ(std::string(e.what()), "[json.exception.type_error.316] invalid UTF-8 byte at index " +
                                                     std::to_string(c.bad_index) + ": " + c.bad_byte);
            }
            EXPECT_EQ(text, "kept");
        }
    }
}

// -- doubles ------------------------------------------------------------------

dump_options fifteen_digits()
{
    dump_options options;
    options.fifteen_digit_doubles = true;
    return options;
}

double read_back(const std::string& text)
{
    return std::strtod(text.c_str(), nullptr); // the tests run in the C locale
}

TEST(RoundTrip, EveryDoubleReadsBackExactly)
{
    using limits = std::numeric_limits<double>;
    std::vector<double> values = {0.1, 1.0 / 3.0, 2.0 / 3.0, 5e-324, limits::min(), limits::max(), 1e23,
                                  9007199254740993.0, 0.30000000000000004, 123456789012345678.0, -2.5e-300};
    std::mt19937_64 random(20261210);
    while (values.size() < 20000)
    {
        const std::uint64_t bits = random();
        double x;
        std::memcpy(&x, &bits, sizeof x);
        if (std::isfinite(x))
        {
            values.push_back(x);
        }
    }
    for (const double x : values)
    {
        const std::string text = json(x).dump();
        ASSERT_EQ(read_back(text), x) << text;
        ASSERT_TRUE(text.find_first_of(".e") != std::string::npos) << text; // reads back as a double
    }
}

TEST(RoundTrip, ShortestDigitsByDefaultFifteenAsAnOption)
{
    struct shortest_case
    {
        double x;
        const char* fifteen;
        const char* shortest;
    };
    const shortest_case cases[] = {
        {0.1, "0.1", "0.1"}, // both short
        {0.30000000000000004, "0.3", "0.30000000000000004"},
        {1.0 / 3.0, "0.333333333333333", "0.3333333333333333"},
        {100.0, "100.0", "100.0"},
        {-0.0, "-0.0", "-0.0"},
        {1e20, "1e+20", "1e+20"},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(json(c.x).dump(), c.shortest);
        EXPECT_EQ(json(c.x).dump(fifteen_digits()), c.fifteen);
    }
    EXPECT_EQ(json(std::nan("")).dump(), "null");
    EXPECT_EQ(json(std::nan("")).dump(fifteen_digits()), "null");
}

// parse(dump(v)) is v: the same kinds and numbers, and, as the shortest
// digits are one text for each double, the same text again (so each zero
// keeps its sign). The 15-digit option is the stream operator's bytes.
TEST(RoundTrip, CorporaReadBackAsTheyWereRead)
{
    for (const char* name : {"canada.json", "citm_catalog.json", "twitter.json"})
    {
        std::ifstream file(std::string(QUARROW_BENCH_DATA) + "/" + name, std::ios::binary);
        ASSERT_TRUE(file) << name;
        const json value = json::parse(file);
        for (const int indent : {-1, 4})
        {
            SCOPED_TRACE(std::string(name) + ", indent " + std::to_string(indent));
            const std::string text = value.dump(indent);
            const json back = json::parse(text);
            EXPECT_TRUE(back == value);
            EXPECT_TRUE(back.dump(indent) == text);
            dump_options options = fifteen_digits();
            options.indent = indent;
            EXPECT_TRUE(value.dump(options) == streamed(value, indent < 0 ? 0 : indent));
        }
    }
}

// -- the discarded kind -------------------------------------------------------

// No JSON text holds it, so dump and dump_to refuse it wherever it is; the
// stream operator, for logs, writes its fixed text.
TEST(Discarded, DumpThrows321WhereverItIs)
{
    const json discarded(json::value_t::discarded);
    struct holder
    {
        const char* why;
        json value;
        const char* streamed_text;
    };
    const holder holders[] = {
        {"the value itself", discarded, "<discarded>"},
        {"an element after others", {1, "two", discarded}, "[1,\"two\",<discarded>]"},
        {"a member", {{"a", 1}, {"b", discarded}}, "{\"a\":1,\"b\":<discarded>}"},
        {"deep down", {{"a", json::array({json{{"b", json::array({discarded})}}})}}, "{\"a\":[{\"b\":[<discarded>]}]}"},
    };
    const std::string message = "[json.exception.type_error.321] cannot write a discarded value: JSON has no text for it";
    for (const auto& h : holders)
    {
        for (const int indent : {-1, 2})
        {
            SCOPED_TRACE(std::string(h.why) + ", indent " + std::to_string(indent));
            try
            {
                h.value.dump(indent);
                ADD_FAILURE() << "no exception";
            }
            catch (const json::type_error& e)
            {
                EXPECT_EQ(e.id, 321);
                EXPECT_EQ(std::string(e.what()), message);
            }
            std::string text = "kept";
            EXPECT_THROW(h.value.dump_to(text, indented(indent)), json::type_error);
            EXPECT_EQ(text, "kept");
            std::ostringstream stream;
            EXPECT_THROW(h.value.dump_to(stream, indented(indent)), json::type_error);
        }
        EXPECT_EQ(streamed(h.value, 0), h.streamed_text);
    }
}

// -- depth --------------------------------------------------------------------

TEST(DirectRoutes, AMillionLevelsWrite)
{
    const std::size_t depth = 1000000;
    json arrays = 1;
    json objects = 1;
    for (std::size_t level = 0; level < depth; ++level)
    {
        json::array_t array;
        array.push_back(std::move(arrays));
        arrays = json(std::move(array));
        json::object_t object;
        object.emplace("k", std::move(objects));
        objects = json(std::move(object));
    }
    const std::string array_text = arrays.dump();
    EXPECT_EQ(array_text, std::string(depth, '[') + "1" + std::string(depth, ']'));
    std::string object_text;
    objects.dump_to(object_text);
    std::string expected;
    for (std::size_t level = 0; level < depth; ++level)
    {
        expected += "{\"k\":";
    }
    EXPECT_EQ(object_text, expected + "1" + std::string(depth, '}'));
}

} // namespace

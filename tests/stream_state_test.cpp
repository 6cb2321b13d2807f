// Reading from input streams follows the rules of a formatted extractor:
// the state bits after each read, which exceptions escape, what is taken from
// the buffer. Where `int` extraction reads the same bytes, it is the oracle.

#include <quarrow/json.hpp>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <ios>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <vector>

namespace
{

using quarrow::json;

struct buffer_failure : std::runtime_error
{
    buffer_failure()
        : std::runtime_error("the buffer failed")
    {}
};

// Hands out the text one byte per underflow, and throws buffer_failure when
// asked for byte number fails_at (at the end too, if that is its number).
class failing_buffer : public std::streambuf
{
  public:
    explicit failing_buffer(std::string text_, std::size_t fails_at_ = std::string::npos)
        : text(std::move(text_)), fails_at(fails_at_)
    {}

    /// Bytes asked of the buffer, whether taken yet or not.
    std::size_t fetched() const
    {
        return next;
    }

  protected:
    int_type underflow() override
    {
        if (next == fails_at)
        {
            throw buffer_failure();
        }
        if (next == text.size())
        {
            return traits_type::eof();
        }
        current = text[next++];
        setg(&current, &current, &current + 1);
        return traits_type::to_int_type(current);
    }

  private:
    std::string text;
    std::size_t fails_at;
    std::size_t next = 0;
    char current = 0;
};

std::string bits(const std::ios_base::iostate state)
{
    std::string names;
    names += (state & std::ios_base::badbit) != 0 ? "bad " : "";
    names += (state & std::ios_base::failbit) != 0 ? "fail " : "";
    names += (state & std::ios_base::eofbit) != 0 ? "eof " : "";
    return names.empty() ? "good" : names.substr(0, names.size() - 1);
}

// What a read of a stream gave: its result or the exception that escaped,
// and the stream's state bits after it.
struct outcome
{
    std::string result;
    std::string state;

    bool operator==(const outcome& other) const
    {
        return result == other.result and state == other.state;
    }
};

std::ostream& operator<<(std::ostream& out, const outcome& o)
{
    return out << o.result << " [" << o.state << "]";
}

outcome run(std::istream& in, const std::function<std::string()>& read)
{
    std::string result;
    try
    {
        result = read();
    }
    catch (const json::parse_error& e)
    {
        result = e.what();
    }
    catch (const buffer_failure&)
    {
        result = "buffer_failure";
    }
    catch (const std::ios_base::failure&)
    {
        result = "ios_base::failure";
    }
    catch (const std::runtime_error& e)
    {
        result = e.what();
    }
    return {result, bits(in.rdstate())};
}

// The oracle: `int` extraction; the number read is not compared. Without
// skipws when the JSON reader's own whitespace is compared: int's sentry
// would read it, and add failbit when the buffer throws there.
outcome int_extraction(std::istream& in, const bool skip_whitespace = true)
{
    return run(in, [&] {
        int number = 0;
        if (not skip_whitespace)
        {
            in >> std::noskipws;
        }
        in >> number;
        return std::string("read");
    });
}

outcome json_extraction(std::istream& in, json& value)
{
    return run(in, [&] {
        in >> value;
        return std::string("read");
    });
}

// The four entry points, each reading a stream to a string.
struct entry_point
{
    const char* name;
    std::function<std::string(std::istream&)> read;
};

const std::vector<entry_point> entry_points = {
    {">>",
     [](std::istream& in) {
         json value = "kept";
         in >> value;
         return value.dump();
     }},
    {"parse", [](std::istream& in) { return json::parse(in).dump(); }},
    {"accept", [](std::istream& in) { return std::string(json::accept(in) ? "true" : "false"); }},
    {"parse_events",
     [](std::istream& in) {
         json::event_handler ignore;
         return std::string(json::parse_events(in, ignore) ? "true" : "false");
     }},
};

const char* const small_document = "{\"a\": [1, 2.5, \"x\"]}";

// A buffer that throws at each byte in turn: badbit, and the buffer's own
// exception only when the mask asks for badbit, as for `int` extraction.
TEST(StreamState, BufferThrowingAtEachByte)
{
    const std::ios_base::iostate masks[] = {std::ios_base::goodbit, std::ios_base::badbit};
    for (const std::ios_base::iostate mask : masks)
    {
        const std::string number = "123";
        for (std::size_t k = 0; k <= number.size() + 1; ++k)
        {
            failing_buffer json_buffer(number, k);
            std::istream json_in(&json_buffer);
            json_in.exceptions(mask);
            json value = "kept";
            const outcome read = json_extraction(json_in, value);
            failing_buffer int_buffer(number, k);
            std::istream int_in(&int_buffer);
            int_in.exceptions(mask);
            EXPECT_EQ(read, int_extraction(int_in, false)) << "throwing at " << k << ", mask " << bits(mask);
            EXPECT_EQ(value.dump(), k <= number.size() ? "\"kept\"" : number) << k;
        }

        // Beyond the document's last byte nothing is asked of the buffer.
        const std::string document = small_document;
        for (std::size_t k = 0; k <= document.size(); ++k)
        {
            failing_buffer buffer(document, k);
            std::istream in(&buffer);
            in.exceptions(mask);
            json value = "kept";
            const outcome read = json_extraction(in, value);
            if (k < document.size())
            {
                EXPECT_EQ(read, (outcome{mask != 0 ? "buffer_failure" : "read", "bad"})) << k;
                EXPECT_EQ(value.dump(), "\"kept\"") << k;
            }
            else
            {
                EXPECT_EQ(read, (outcome{"read", "good"}));
                EXPECT_EQ(value.dump(), "{\"a\":[1,2.5,\"x\"]}");
            }
        }
    }
}

TEST(StreamState, EndOfInputSetsEofbitAsIntExtractionDoes)
{
    const char* const comparable[] = {"123", "123 ", "  ", "", "-", "-x", " 7\n"};
    const std::ios_base::iostate masks[] = {std::ios_base::goodbit, std::ios_base::eofbit, std::ios_base::failbit};
    for (const std::ios_base::iostate mask : masks)
    {
        for (const char* text : comparable)
        {
            std::istringstream json_in(text);
            json_in.exceptions(mask);
            json value;
            std::istringstream int_in(text);
            int_in.exceptions(mask);
            const outcome read = json_extraction(json_in, value);
            const outcome expected = int_extraction(int_in);
            // Malformed text throws parse_error where int extraction only sets failbit.
            EXPECT_EQ(read.state, expected.state) << '"' << text << "\", mask " << bits(mask);
            if (read.result.find("parse_error") == std::string::npos)
            {
                EXPECT_EQ(read.result, expected.result) << '"' << text << "\", mask " << bits(mask);
            }
        }
    }

    // The reader does not look past a closing bracket; parse reads to the end.
    std::istringstream object("{}");
    json value;
    EXPECT_EQ(json_extraction(object, value), (outcome{"read", "good"}));
    for (const entry_point& entry : entry_points)
    {
        std::istringstream whole("{} ");
        EXPECT_EQ(run(whole, [&] { return entry.read(whole); }).state, entry.name == std::string(">>") ? "good" : "eof")
            << entry.name;
    }
}

TEST(StreamState, MalformedValueEndsTheReadingLoop)
{
    std::istringstream in("[1]\n[2,]\n[3]\n");
    std::vector<std::string> read;
    std::size_t errors = 0;
    json value;
    for (std::size_t tries = 0; tries < 10; ++tries)
    {
        try
        {
            if (not(in >> value))
            {
                break;
            }
            read.push_back(value.dump());
        }
        catch (const json::parse_error&)
        {
            ++errors;
        }
    }
    EXPECT_EQ(read, std::vector<std::string>{"[1]"});
    EXPECT_EQ(errors, 1u);
    EXPECT_EQ(bits(in.rdstate()), "fail");

    // Skipping the bad line reads the next value; the stream was left at the ']'.
    in.clear();
    EXPECT_EQ(in.peek(), ']');
    in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    ASSERT_TRUE(in >> value);
    EXPECT_EQ(value.dump(), "[3]");
    EXPECT_FALSE(in >> value);
    EXPECT_EQ(bits(in.rdstate()), "fail eof");
}

TEST(StreamState, AStreamNotGoodBeforeReadingReadsNothing)
{
    const struct
    {
        std::ios_base::iostate state;
        const char* named;
    } states[] = {
        {std::ios_base::failbit, "failbit"},
        {std::ios_base::eofbit, "eofbit"},
        {std::ios_base::badbit, "badbit"},
        {std::ios_base::failbit | std::ios_base::eofbit, "failbit|eofbit"},
        {std::ios_base::eofbit | std::ios_base::failbit | std::ios_base::badbit, "badbit|failbit|eofbit"},
    };
    for (const auto& s : states)
    {
        for (const entry_point& entry : entry_points)
        {
            failing_buffer buffer("123");
            std::istream in(&buffer);
            in.setstate(s.state);
            const outcome read = run(in, [&] { return entry.read(in); });
            const std::string not_good = std::string("[json.exception.parse_error.105] stream not readable at line "
                                                     "1, column 1: expected a stream that is good(), found ") +
                                         s.named + " set";
            const std::string expected = entry.name == std::string(">>")       ? "\"kept\""
                                         : entry.name == std::string("accept") ? "false"
                                                                               : not_good;
            EXPECT_EQ(read.result, expected) << entry.name << " " << s.named;
            EXPECT_EQ(buffer.fetched(), 0u) << entry.name << " " << s.named;
            failing_buffer int_buffer("123");
            std::istream int_in(&int_buffer);
            int_in.setstate(s.state);
            EXPECT_EQ(read.state, int_extraction(int_in).state) << entry.name << " " << s.named;
        }
    }

    // A file that failed to open says so.
    std::ifstream missing("/nonexistent/quarrow/file.json");
    try
    {
        json::parse(missing);
        ADD_FAILURE();
    }
    catch (const json::parse_error& e)
    {
        EXPECT_EQ(e.id, 105);
        EXPECT_EQ(e.byte, 0u);
        EXPECT_EQ(e.line, 1u);
        EXPECT_EQ(e.column, 1u);
        EXPECT_STREQ(e.what(), "[json.exception.parse_error.105] stream not readable at line 1, column 1: "
                               "expected a stream that is good(), found failbit set");
    }

    // With failbit in the mask the sentry throws, as for int extraction.
    for (const entry_point& entry : entry_points)
    {
        std::istringstream in("1");
        in.setstate(std::ios_base::eofbit);
        in.exceptions(std::ios_base::failbit);
        std::istringstream int_in("1");
        int_in.setstate(std::ios_base::eofbit);
        int_in.exceptions(std::ios_base::failbit);
        EXPECT_EQ(run(in, [&] { return entry.read(in); }), int_extraction(int_in)) << entry.name;
    }
}

// The same rules through every entry point: >> reads one value, the others
// the whole text; >> and accept report an unreadable stream in its state only.
TEST(StreamState, EveryEntryPointFollowsTheRules)
{
    const std::string after_value = "[json.exception.parse_error.101] syntax error at line 2, column 5: "
                                    "expected end of input, found 'x'";
    const std::string cut_short = "[json.exception.parse_error.101] syntax error at line 2, column 3: "
                                  "expected ',' or ']', found end of input";
    const std::string threw = "stream not readable at line 2, column 2: "
                              "expected a byte from the stream buffer, found an exception it threw";
    const std::string threw_at_end = "stream not readable at line 2, column 4: "
                                     "expected a byte from the stream buffer, found an exception it threw";
    const std::string unreadable = "[json.exception.parse_error.105] ";
    const char* const text = "[1,\n 2]";
    const std::size_t never = std::string::npos;
    const struct
    {
        std::string text;
        std::size_t fails_at;
        std::ios_base::iostate mask;
        outcome expected[4]; // >>, parse, accept, parse_events
    } cases[] = {
        {text, never, std::ios_base::goodbit, {{"[1,2]", "good"}, {"[1,2]", "eof"}, {"true", "eof"}, {"true", "eof"}}},
        {text, never, std::ios_base::eofbit,
         {{"[1,2]", "good"}, {"ios_base::failure", "eof"}, {"ios_base::failure", "eof"}, {"ios_base::failure", "eof"}}},
        {text + std::string(" x"), never, std::ios_base::goodbit,
         {{"[1,2]", "good"}, {after_value, "fail"}, {"false", "fail"}, {after_value, "fail"}}},
        {"[1,\n 2", never, std::ios_base::failbit,
         {{cut_short, "fail eof"}, {cut_short, "fail eof"}, {"ios_base::failure", "fail eof"}, {cut_short, "fail eof"}}},
        {text, 5, std::ios_base::goodbit,
         {{"\"kept\"", "bad"}, {unreadable + threw, "bad"}, {"false", "bad"}, {unreadable + threw, "bad"}}},
        {text, 5, std::ios_base::badbit,
         {{"buffer_failure", "bad"}, {"buffer_failure", "bad"}, {"buffer_failure", "bad"}, {"buffer_failure", "bad"}}},
        {text, 7, std::ios_base::goodbit,
         {{"[1,2]", "good"}, {unreadable + threw_at_end, "bad"}, {"false", "bad"}, {unreadable + threw_at_end, "bad"}}},
    };
    for (const auto& c : cases)
    {
        for (std::size_t i = 0; i < entry_points.size(); ++i)
        {
            failing_buffer buffer(c.text, c.fails_at);
            std::istream in(&buffer);
            in.exceptions(c.mask);
            EXPECT_EQ(run(in, [&] { return entry_points[i].read(in); }), c.expected[i])
                << entry_points[i].name << " of \"" << c.text << "\", failing at " << c.fails_at << ", mask "
                << bits(c.mask);
        }
    }
}

// Only the buffer's exceptions set badbit: the handler's own pass unchanged,
// after failbit, whatever the mask asks for.
TEST(StreamState, HandlerExceptionsSetFailbitAndPass)
{
    struct throwing_handler : json::event_handler
    {
        bool integer_value(json::number_integer_t n)
        {
            if (n == 2)
            {
                throw std::runtime_error("handler refused 2");
            }
            return true;
        }
    };
    struct stopping_handler : json::event_handler
    {
        bool integer_value(json::number_integer_t)
        {
            return false;
        }
    };
    const std::ios_base::iostate masks[] = {std::ios_base::goodbit, std::ios_base::failbit, std::ios_base::badbit};
    for (const std::ios_base::iostate mask : masks)
    {
        std::istringstream in("[1, 2, 3]");
        in.exceptions(mask);
        throwing_handler handler;
        EXPECT_EQ(run(in, [&] { return std::to_string(json::parse_events(in, handler)); }),
                  (outcome{"handler refused 2", "fail"}))
            << bits(mask);
    }

    // A handler that stops leaves the stream good, just after the value it stopped at.
    std::istringstream in("[1, 2, 3]");
    stopping_handler stop;
    EXPECT_FALSE(json::parse_events(in, stop));
    EXPECT_EQ(bits(in.rdstate()), "good");
    EXPECT_EQ(in.peek(), ',');
}

// try_parse of a stream sets the bits parse sets and gives the error parse
// throws, wherever the buffer throws, whether the mask asks for badbit or not.
TEST(StreamState, TryParseReadsAsParseReads)
{
    const std::string text = "[1,\n 2] x";
    const std::ios_base::iostate masks[] = {std::ios_base::goodbit, std::ios_base::badbit};
    for (const std::ios_base::iostate mask : masks)
    {
        for (std::size_t k = 0; k <= text.size() + 1; ++k)
        {
            failing_buffer parse_buffer(k <= text.size() ? text : "[1,\n 2]", k);
            failing_buffer try_buffer(k <= text.size() ? text : "[1,\n 2]", k);
            std::istream parse_in(&parse_buffer);
            std::istream try_in(&try_buffer);
            parse_in.exceptions(mask);
            try_in.exceptions(mask);
            const outcome parsed = run(parse_in, [&] { return json::parse(parse_in).dump(); });
            const outcome tried = run(try_in, [&] {
                const quarrow::parse_result<json> r = json::try_parse(try_in);
                return r.ok() ? r.value.dump() : r.error.message;
            });
            EXPECT_EQ(tried, parsed) << "throwing at " << k << ", mask " << bits(mask);
        }
    }
}

// The lines reader reads through getline, as the standard has it: a buffer
// that throws sets badbit, and its exception passes only when the mask asks
// for badbit; otherwise the read is parse_error 105 at the line it broke.
TEST(StreamState, LinesReaderWhenTheBufferThrows)
{
    const std::ios_base::iostate masks[] = {std::ios_base::goodbit, std::ios_base::badbit};
    for (const std::ios_base::iostate mask : masks)
    {
        failing_buffer buffer("1\n23\n", 3);
        std::istream in(&buffer);
        in.exceptions(mask);
        quarrow::lines_reader reader(in);
        json value;
        ASSERT_TRUE(reader.read(value));
        EXPECT_EQ(run(in, [&] { return std::to_string(reader.read(value)); }),
                  (outcome{mask == std::ios_base::badbit
                               ? "buffer_failure"
                               : "[json.exception.parse_error.105] stream not readable at line 2, column 2: "
                                 "expected a byte from the stream buffer, found an exception it threw",
                           "bad"}));
        if (mask == std::ios_base::goodbit)
        {
            EXPECT_FALSE(reader.read(value)) << "after 105 the reader reads no more";
        }
    }
}

} // namespace

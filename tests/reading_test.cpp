// Reading without exceptions, with a filter, line by line; and the help an
// error gives: the option that would read on, and the excerpt of its line.

#include "documents.hpp"
#include "reading_cases.hpp"

#include <quarrow/json.hpp>

#include <gtest/gtest.h>

#include <cstddef>
#include <fstream>
#include <functional>
#include <list>
#include <sstream>
#include <string>
#include <vector>

namespace
{

using quarrow::filter_event;
using quarrow::filter_stage;
using quarrow::parse_options;

// What a read gave: the value written back, or the error's id, place and text.
std::string outcome_of(const std::function<json()>& read)
{
    try
    {
        return "value " + read().dump();
    }
    catch (const json::parse_error& e)
    {
        return "error " + std::to_string(e.id) + " " + std::to_string(e.byte) + " " + std::to_string(e.line) + " " +
               std::to_string(e.column) + " " + e.what();
    }
}

std::string outcome_of(const quarrow::parse_result<json>& r)
{
    if (r.ok())
    {
        EXPECT_EQ(r.error.message, "");
        return "value " + r.value.dump();
    }
    EXPECT_TRUE(r.value.is_null()) << "a failed read leaves null";
    return "error " + std::to_string(r.error.id) + " " + std::to_string(r.error.byte) + " " +
           std::to_string(r.error.line) + " " + std::to_string(r.error.column) + " " + r.error.message;
}

// try_parse against parse, the oracle, on one text through every input form
// (a long one: in memory and from a stream).
void expect_try_parse_agrees(const std::string& text, const parse_options& options)
{
    const std::string expected = outcome_of([&] { return json::parse(text, options); });
    EXPECT_EQ(outcome_of(json::try_parse(text, options)), expected);
    std::istringstream parse_in(text);
    std::istringstream try_in(text);
    const std::string from_stream = outcome_of([&] { return json::parse(parse_in, options); });
    EXPECT_EQ(outcome_of(json::try_parse(try_in, options)), from_stream);
    EXPECT_EQ(try_in.rdstate(), parse_in.rdstate());
    if (text.size() > 1000)
    {
        return;
    }
    const std::list<char> bytes(text.begin(), text.end());
    EXPECT_EQ(outcome_of(json::try_parse(bytes.begin(), bytes.end(), options)), expected);
    if (text.find('\0') == std::string::npos)
    {
        EXPECT_EQ(outcome_of(json::try_parse(text.c_str(), options)), expected);
    }
#if defined(__cpp_lib_string_view)
    EXPECT_EQ(outcome_of(json::try_parse(std::string_view(text), options)), expected);
#endif
}

TEST(TryParse, AgreesWithParseOnEveryRowOfTheReadingTests)
{
    for (const valid_case& c : valid_cases)
    {
        SCOPED_TRACE(c.reason);
        expect_try_parse_agrees(c.text, parse_options());
    }
    for (const invalid_case& c : invalid_cases)
    {
        SCOPED_TRACE(c.reason);
        expect_try_parse_agrees(c.text, parse_options());
        EXPECT_EQ(json::try_parse(c.text).error.id, c.id);
    }
    for (const option_case& c : option_cases)
    {
        SCOPED_TRACE(c.reason);
        expect_try_parse_agrees(c.text, c.options);
    }
}

TEST(TryParse, AgreesWithParseOnTheCorpora)
{
    for (const char* name : {"canada.json", "citm_catalog.json", "twitter.json"})
    {
        SCOPED_TRACE(name);
        std::ifstream file(std::string(QUARROW_BENCH_DATA) + "/" + name, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        ASSERT_FALSE(text.empty());
        const quarrow::parse_result<json> read = json::try_parse(text);
        ASSERT_TRUE(read.ok()) << read.error.message;
        EXPECT_EQ(read.value, json::parse(text));
        // Cut short, it fails where parse fails.
        expect_try_parse_agrees(text.substr(0, text.size() / 2), parse_options());
    }
}

TEST(TryParse, AStreamThatCannotBeReadIsError105)
{
    std::ifstream missing("/nonexistent/quarrow/file.json");
    const quarrow::parse_result<json> read = json::try_parse(missing);
    EXPECT_FALSE(read);
    EXPECT_EQ(read.error.id, 105);
    EXPECT_EQ(read.error.message, "[json.exception.parse_error.105] stream not readable at line 1, column 1: "
                                  "expected a stream that is good(), found failbit set");
}

// -- the option that would read on --------------------------------------------

const char* const comment_hint = " (parse_options::allow_comments reads comments)";
const char* const comma_hint = " (parse_options::allow_trailing_commas accepts a comma before it)";
const char* const mark_hint = " (parse_options::skip_byte_order_mark skips a byte order mark)";

parse_options byte_order_mark()
{
    parse_options o;
    o.skip_byte_order_mark = true;
    return o;
}

TEST(ErrorHints, NameTheOptionThatWouldReadOn)
{
    const struct
    {
        std::string text;
        parse_options options;
        const char* hint; // "" for none
        std::size_t byte;
    } cases[] = {
        {"[1]//", parse_options(), comment_hint, 3},
        {"[1, /* two */ 2]", parse_options(), comment_hint, 4},
        {"{/**/}", parse_options(), comment_hint, 1},
        {"{\"a\" // x\n:1}", parse_options(), comment_hint, 5},
        {"/", parse_options(), comment_hint, 0},
        {"1 /x", comments(), "", 3},             // a comment would not read on either
        {"[1/2]", comments(), "", 3},
        {"-/", parse_options(), "", 1},          // within a number
        {"[1,]", parse_options(), comma_hint, 3},
        {"[[],\n ]", parse_options(), comma_hint, 6},
        {"{\"a\":1,}", parse_options(), comma_hint, 7},
        {"[1,,]", trailing_commas(), "", 3},     // only one comma is read
        {"]", parse_options(), "", 0},           // a bracket with no comma before it
        {"[]]", parse_options(), "", 2},
        {"{\"a\":]", parse_options(), "", 5},
        {"{\"a\":}", parse_options(), "", 5},
        {"{,}", parse_options(), "", 1},
        {"\xEF\xBB\xBF[]", parse_options(), mark_hint, 0},
        {"[\xEF\xBB\xBF]", parse_options(), "", 1},
        {"\xEF\xBB\xBF[]", byte_order_mark(), nullptr, 0},
        {"\xEF\xBB\xBF\xEF\xBB\xBF[]", byte_order_mark(), "", 3},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.text);
        const quarrow::parse_result<json> read = json::try_parse(c.text, c.options);
        if (c.hint == nullptr)
        {
            EXPECT_TRUE(read.ok()) << read.error.message;
            continue;
        }
        EXPECT_EQ(read.error.id, 101);
        EXPECT_EQ(read.error.byte, c.byte);
        const std::string message = read.error.message;
        const std::string hint = c.hint;
        EXPECT_EQ(message.find(" (parse_options::") == std::string::npos, hint.empty()) << message;
        if (not hint.empty())
        {
            EXPECT_EQ(message.substr(message.size() - hint.size()), hint);
        }
        // The option the hint names reads on past that byte.
        parse_options relaxed = c.options;
        relaxed.allow_comments = relaxed.allow_comments or hint == comment_hint;
        relaxed.allow_trailing_commas = relaxed.allow_trailing_commas or hint == comma_hint;
        relaxed.skip_byte_order_mark = relaxed.skip_byte_order_mark or hint == mark_hint;
        if (not hint.empty())
        {
            const quarrow::parse_result<json> again = json::try_parse(c.text, relaxed);
            EXPECT_TRUE(again.ok() or again.error.byte > c.byte) << again.error.message;
        }
    }
}

TEST(ByteOrderMark, IsSkippedOnlyWhereReadingStartsAndOnlyWhenAsked)
{
    const struct
    {
        std::string text;
        const char* expected; // the value written, or the error's byte
        std::size_t byte;
        std::size_t column;
    } cases[] = {
        {"\xEF\xBB\xBF[1]", "[1]", 0, 0},
        {"\xEF\xBB\xBF \"\xEF\xBB\xBF\"", "\"\xEF\xBB\xBF\"", 0, 0},
        {"[1]", "[1]", 0, 0},
        {"\xEF\xBB\xBF", nullptr, 3, 4},  // a value must follow; positions count the mark
        {"\xEF\xBB[1]", nullptr, 2, 3},   // cut short
        {"\xEF\xBF\xBF[1]", nullptr, 1, 2},
        {" \xEF\xBB\xBF[1]", nullptr, 1, 2}, // not where reading starts
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.text);
        const quarrow::parse_result<json> read = json::try_parse(c.text, byte_order_mark());
        expect_try_parse_agrees(c.text, byte_order_mark());
        if (c.expected != nullptr)
        {
            EXPECT_EQ(read.value.dump(), c.expected) << read.error.message;
            EXPECT_EQ(json::accept(c.text), c.text[0] != '\xEF') << "a mark is refused by default";
            continue;
        }
        EXPECT_EQ(read.error.byte, c.byte) << read.error.message;
        EXPECT_EQ(read.error.column, c.column) << read.error.message;
    }
}

// -- the excerpt of the line -----------------------------------------------------

TEST(ErrorExcerpt, ShowsTheLineWithACaretAndNothingRaw)
{
    const std::string long_line = "[" + std::string(100, '1') + ",x," + std::string(100, '2') + "]";
    const struct
    {
        std::string text;
        std::size_t at;
        std::string shown;
    } cases[] = {
        {"{\"id\": 1, \"name\": tru}", 21, "{\"id\": 1, \"name\": tru}\n                     ^"},
        {"[1,\n  x]\n[2]", 6, "  x]\n  ^"},
        {"[1,\n", 4, "\n^"},                              // at the end, on an empty last line
        {"[1,", 3, "[1,\n   ^"},                          // at the end of the text
        {"[1,", 99, "[1,\n   ^"},                         // past it
        {"\"a\nb\"", 2, "\"a\n  ^"},                      // at the line feed itself
        {"\t\"\x01\x7F\"", 2, "\\t\"\\x01\\x7F\"\n   ^"},  // tab, control byte, DEL
        {"\"\xC3\xA9\xE2\x82\xAC\" x", 8, "\"\xC3\xA9\xE2\x82\xAC\" x\n     ^"}, // a character a column
        {"\"\xC3\" x", 4, "\"\\xC3\" x\n       ^"},         // a cut sequence, escaped
        {"\"\xED\xA0\x80\"", 1, "\"\\xED\\xA0\\x80\"\n ^"}, // an encoded surrogate, byte by byte
        {"\x1B[31m", 0, "\\x1B[31m\n^"},                  // no terminal escape gets through
        {long_line, 102, "..." + std::string(35, '1') + ",x," + std::string(34, '2') + "...\n" + std::string(39, ' ') + "^"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(quarrow::error_excerpt(c.text, c.at), c.shown);
    }
    // A long line is never cut inside a character.
    std::string cjk;
    for (int i = 0; i < 60; ++i)
    {
        cjk += "\xE3\x81\x82";
    }
    cjk += "x";
    const std::string shown = quarrow::error_excerpt(cjk, cjk.size() - 1, 20);
    EXPECT_EQ(shown.find("\\x"), std::string::npos) << shown;
    EXPECT_EQ(shown.substr(shown.size() - 2), " ^");
}

TEST(ErrorExcerpt, PointsAtEveryErrorOfTheReadingTests)
{
    for (const invalid_case& c : invalid_cases)
    {
        SCOPED_TRACE(c.reason);
        const std::string shown = quarrow::error_excerpt(c.text, c.byte);
        const std::size_t caret_line = shown.rfind('\n') + 1;
        EXPECT_EQ(shown.substr(caret_line).find_first_not_of(' '), shown.size() - caret_line - 1);
        for (const char byte : shown)
        {
            EXPECT_TRUE(byte == '\n' or static_cast<unsigned char>(byte) >= 0x20) << shown;
        }
    }
}

// -- a filter while reading ----------------------------------------------------

using filter = std::function<bool(const filter_event&)>;

// The oracle: the whole value, then the same filter applied by walking it,
// children before their parents, as the reader asks of a value as it ends.
bool prune(json& value, const filter& keep, const std::size_t depth, const std::string* key, const std::size_t index)
{
    const bool container = value.is_object() or value.is_array();
    if (container and not keep(filter_event{filter_stage::opened, value.type(), depth, key, index}))
    {
        return false;
    }
    if (value.is_object())
    {
        json kept = json::object();
        for (auto member = value.begin(); member != value.end(); ++member)
        {
            const std::string name = member.key();
            if (prune(member.value(), keep, depth + 1, &name, 0))
            {
                kept[name] = std::move(member.value());
            }
        }
        value = std::move(kept);
    }
    else if (value.is_array())
    {
        json kept = json::array();
        for (std::size_t i = 0; i < value.size(); ++i)
        {
            if (prune(value[i], keep, depth + 1, nullptr, i))
            {
                kept.push_back(std::move(value[i]));
            }
        }
        value = std::move(kept);
    }
    return keep(filter_event{filter_stage::completed, value.type(), depth, key, index});
}

json pruned(const std::string& text, const filter& keep)
{
    json value = json::parse(text);
    return prune(value, keep, 0, nullptr, 0) ? value : json();
}

const std::vector<std::pair<const char*, filter>> filters = {
    {"keeps everything", [](const filter_event&) { return true; }},
    {"drops everything", [](const filter_event&) { return false; }},
    {"keeps the whole text only", [](const filter_event& e) { return e.depth == 0; }},
    {"drops by key", [](const filter_event& e) { return e.key == nullptr or (*e.key != "id" and *e.key != "a"); }},
    {"keeps some members of each record",
     [](const filter_event& e) { return e.depth != 2 or e.key == nullptr or *e.key == "id" or *e.key == "name"; }},
    {"drops by depth", [](const filter_event& e) { return e.depth < 3; }},
    {"drops by kind", [](const filter_event& e) { return e.kind != json::value_t::string; }},
    {"drops numbers", [](const filter_event& e) { return e.kind < json::value_t::number_integer; }},
    {"keeps the first two elements", [](const filter_event& e) { return e.key != nullptr or e.index < 2; }},
    {"drops arrays as they open",
     [](const filter_event& e) { return e.kind != json::value_t::array or e.stage != filter_stage::opened; }},
    {"drops what ends empty",
     [](const filter_event& e) { return e.stage == filter_stage::opened or e.kind != json::value_t::object; }},
};

TEST(ParseFilter, KeepsWhatWalkingTheWholeValueKeeps)
{
    std::vector<std::string> texts = {
        "[{\"id\":1,\"name\":\"a\",\"bio\":\"x\",\"tags\":[1,2,3]},{\"id\":2,\"name\":\"b\",\"tags\":[]},{}]",
        "{\"a\":[1,\"two\",[3,[4,{\"id\":5}]]],\"b\":{\"id\":{},\"c\":null},\"id\":true}",
        "\"root\"", "17", "[]", "{}", "[[[[[[1]]]]]]",
    };
    std::ifstream file(std::string(QUARROW_BENCH_DATA) + "/twitter.json", std::ios::binary);
    texts.emplace_back((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    for (const auto& f : filters)
    {
        SCOPED_TRACE(f.first);
        for (const std::string& text : texts)
        {
            SCOPED_TRACE(text.substr(0, 40));
            const json expected = pruned(text, f.second);
            EXPECT_EQ(json::parse(text, f.second), expected);
            if (text.size() > 1000)
            {
                continue;
            }
            std::istringstream in(text);
            EXPECT_EQ(json::parse(in, f.second), expected);
            const std::list<char> bytes(text.begin(), text.end());
            EXPECT_EQ(json::parse(bytes.begin(), bytes.end(), f.second), expected);
            EXPECT_EQ(json::parse(text.c_str(), f.second, parse_options()), expected);
        }
    }
}

TEST(ParseFilter, IsToldEachValueInTextOrder)
{
    std::vector<std::string> told;
    json::parse("{\"a\":[1,{\"b\":null}],\"c\":\"x\"}", [&](const filter_event& e) {
        told.push_back(std::string(e.stage == filter_stage::opened ? "open " : "") + json(e.kind).type_name() + "@" +
                       std::to_string(e.depth) + (e.key != nullptr ? ":" + *e.key : "#" + std::to_string(e.index)));
        return true;
    });
    const std::vector<std::string> expected = {
        "open object@0#0", "open array@1:a", "number@2#0",   "open object@2#1", "null@3:b",
        "object@2#1",      "array@1:a",      "string@1:c", "object@0#0",
    };
    EXPECT_EQ(told, expected);
}

TEST(ParseFilter, LeavesTheDiscardedKindOutAndFailsAsParseFails)
{
    for (const auto& f : filters)
    {
        SCOPED_TRACE(f.first);
        for (const valid_case& c : valid_cases)
        {
            const json read = json::parse(c.text, f.second);
            EXPECT_EQ(read.dump().find("discarded"), std::string::npos);
        }
        for (const invalid_case& c : invalid_cases)
        {
            SCOPED_TRACE(c.reason);
            EXPECT_EQ(outcome_of([&] { return json::parse(c.text, f.second); }),
                      outcome_of([&] { return json::parse(c.text); }));
        }
        for (const option_case& c : option_cases)
        {
            SCOPED_TRACE(c.reason);
            if (c.expected == nullptr and c.id != 104) // a dropped member is not there to repeat
            {
                EXPECT_EQ(outcome_of([&] { return json::parse(c.text, f.second, c.options); }),
                          outcome_of([&] { return json::parse(c.text, c.options); }));
            }
        }
    }
}

TEST(ParseFilter, DroppedMembersLeaveNoTraceUnderEachPolicy)
{
    const std::string text = "{\"a\":1,\"drop\":[1],\"a\":{\"drop\":2,\"k\":3},\"drop\":{}}";
    const filter no_drop = [](const filter_event& e) { return e.key == nullptr or *e.key != "drop"; };
    EXPECT_EQ(json::parse(text, no_drop, keys(quarrow::duplicate_key_policy::last_wins)).dump(), "{\"a\":{\"k\":3}}");
    EXPECT_EQ(json::parse(text, no_drop, keys(quarrow::duplicate_key_policy::first_wins)).dump(), "{\"a\":1}");
    // A dropped member is not there to repeat.
    EXPECT_EQ(json::parse("{\"drop\":1,\"drop\":2}", no_drop, keys(quarrow::duplicate_key_policy::reject)).dump(),
              "{}");
    // A repeated key fails at the key, as without a filter.
    const std::string repeated = "{\"a\":1,\"drop\":0,\"a\":2}";
    const parse_options reject = keys(quarrow::duplicate_key_policy::reject);
    EXPECT_EQ(outcome_of([&] { return json::parse(repeated, no_drop, reject); }),
              outcome_of([&] { return json::parse(repeated, reject); }));
}

TEST(ParseFilter, AMillionLevelsWithAFilter)
{
    const std::size_t levels = 1000000;
    const std::string text = std::string(levels, '[') + "1" + std::string(levels, ']');
    const json kept = json::parse(text, [](const filter_event& e) { return e.depth < 3; }, depth(levels));
    EXPECT_EQ(kept.dump(), "[[[]]]");
    EXPECT_TRUE(json::parse(text, [](const filter_event& e) { return e.depth != 0; }, depth(levels)).is_null());
}

// -- JSON Lines ------------------------------------------------------------------

// Every record of text, as try_parse reads its line alone, its place moved
// to where the line starts: the oracle for the reader.
std::vector<std::string> records_read_alone(const std::string& text, const parse_options& options)
{
    std::vector<std::string> records;
    std::size_t start = 0;
    for (std::size_t line = 1; start < text.size(); ++line)
    {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string record = text.substr(start, end - start);
        parse_options line_options = options;
        line_options.skip_byte_order_mark = options.skip_byte_order_mark and line == 1;
        // Blank: whitespace and comments alone, which make an empty array.
        const std::string mark = "\xEF\xBB\xBF";
        const std::string bare =
            line_options.skip_byte_order_mark and record.compare(0, 3, mark) == 0 ? record.substr(3) : record;
        const quarrow::parse_result<json> bracketed = json::try_parse("[" + bare + "\n]", options);
        if (not bracketed.ok() or not bracketed.value.empty())
        {
            const quarrow::parse_result<json> r = json::try_parse(record, line_options);
            if (r.ok())
            {
                records.push_back(std::to_string(line) + " " + r.value.dump());
            }
            else
            {
                const std::string place = " at line 1, column ";
                std::string message = r.error.message;
                message.replace(message.find(place), place.size(), " at line " + std::to_string(line) + ", column ");
                const std::string mark_hint_text = mark_hint;
                if (line != 1 and message.size() > mark_hint_text.size() and
                    message.compare(message.size() - mark_hint_text.size(), std::string::npos, mark_hint_text) == 0)
                {
                    message.erase(message.size() - mark_hint_text.size()); // a mark is skipped only at the start
                }
                records.push_back(std::to_string(line) + " error " + std::to_string(r.error.id) + " " +
                                  std::to_string(start + r.error.byte) + " " + std::to_string(r.error.column) + " " +
                                  message);
            }
        }
        start = end + 1;
    }
    return records;
}

std::vector<std::string> records_of(const std::string& text, const parse_options& options)
{
    std::istringstream in(text);
    quarrow::lines_reader reader(in, options);
    std::vector<std::string> records;
    for (;;)
    {
        json value = "kept";
        try
        {
            if (not reader.read(value))
            {
                break;
            }
            records.push_back(std::to_string(reader.line()) + " " + value.dump());
        }
        catch (const json::parse_error& e)
        {
            EXPECT_EQ(value, "kept") << "a bad line leaves the value";
            EXPECT_EQ(e.line, reader.line());
            records.push_back(std::to_string(e.line) + " error " + std::to_string(e.id) + " " +
                              std::to_string(e.byte) + " " + std::to_string(e.column) + " " + e.what());
        }
    }
    EXPECT_TRUE(in.eof());
    return records;
}

TEST(LinesReader, ReadsEachLineAsTryParseReadsItAlone)
{
    const std::string texts[] = {
        "{\"id\":1}\n{\"id\":2}\n[3]\n{\"id\": }\n\"five\"\n",
        "1\n\n  \n2\r\n\t3 \r\n[4,\n5]\n6",
        "// a comment line\n{\"a\":1} // and one after\n/* one */ 2 /* two */\n/* not\nacross lines */\n3\n",
        "[1,]\n{\"a\":1,}\n7 8\n\xEF\xBB\xBF" "9\n",
        "\xEF\xBB\xBF[1]\n\xEF\xBB\xBF[2]\n",
        "{\"a\":1,\"a\":2}\n\"\xC3\x28\"\n" + std::string(600, '[') + "\n",
        "",
        "\n\n",
    };
    parse_options relaxed = comments();
    relaxed.allow_trailing_commas = true;
    relaxed.skip_byte_order_mark = true;
    relaxed.duplicate_keys = quarrow::duplicate_key_policy::reject;
    for (const std::string& text : texts)
    {
        SCOPED_TRACE(text);
        for (const parse_options& options : {parse_options(), relaxed})
        {
            EXPECT_EQ(records_of(text, options), records_read_alone(text, options));
        }
    }
}

TEST(LinesReader, PlacesAnErrorOnItsLineOfTheFileAndReadsOn)
{
    std::string text;
    for (int i = 1; i <= 9; ++i)
    {
        text += i == 4 ? "{\"id\": 4, \"name\": tru}\n" : "{\"id\": " + std::to_string(i) + "}\n";
    }
    std::istringstream in(text);
    quarrow::lines_reader reader(in);
    json value;
    std::vector<json::number_integer_t> ids;
    std::size_t bad_lines = 0;
    for (;;)
    {
        try
        {
            if (not reader.read(value))
            {
                break;
            }
            ids.push_back(value["id"].get<json::number_integer_t>());
        }
        catch (const json::parse_error& e)
        {
            ++bad_lines;
            EXPECT_EQ(e.line, 4u);
            EXPECT_EQ(e.column, 22u);
            EXPECT_EQ(e.byte, 3 * std::string("{\"id\": 1}\n").size() + 21);
            EXPECT_STREQ(e.what(),
                         "[json.exception.parse_error.101] syntax error at line 4, column 22: expected 'true', found '}'");
            EXPECT_EQ(reader.excerpt(e.byte), "{\"id\": 4, \"name\": tru}\n                     ^");
            EXPECT_EQ(reader.text(), "{\"id\": 4, \"name\": tru}");
        }
    }
    EXPECT_EQ(bad_lines, 1u);
    EXPECT_EQ(ids, (std::vector<json::number_integer_t>{1, 2, 3, 5, 6, 7, 8, 9}));
    EXPECT_FALSE(reader.read(value)) << "the end stays the end";
}

TEST(LinesReader, TryReadAgreesWithRead)
{
    const std::string text = "1\n[\n\n{\"a\":x}\n\"s\"";
    std::istringstream thrown_in(text);
    std::istringstream kept_in(text);
    quarrow::lines_reader thrown(thrown_in);
    quarrow::lines_reader kept(kept_in);
    quarrow::parse_result<json> result;
    for (;;)
    {
        json value;
        const std::string expected = outcome_of([&] {
            if (not thrown.read(value))
            {
                value = "end";
            }
            return value;
        });
        const std::string got = kept.try_read(result) ? outcome_of(result) : "value \"end\"";
        EXPECT_EQ(got, expected);
        if (expected == "value \"end\"")
        {
            break;
        }
    }
    EXPECT_EQ(kept_in.rdstate(), thrown_in.rdstate());
}

TEST(LinesReader, AStreamThatCannotBeReadSaysSo)
{
    std::ifstream missing("/nonexistent/quarrow/file.jsonl");
    quarrow::lines_reader reader(missing);
    json value = "kept";
    try
    {
        reader.read(value);
        ADD_FAILURE() << "no error";
    }
    catch (const json::parse_error& e)
    {
        EXPECT_EQ(e.id, 105);
        EXPECT_EQ(e.byte, 0u);
        EXPECT_EQ(e.line, 1u);
        EXPECT_STREQ(e.what(), "[json.exception.parse_error.105] stream not readable at line 1, column 1: "
                               "expected a stream that is good(), found failbit set");
    }
    EXPECT_EQ(value, "kept");
    EXPECT_FALSE(reader.read(value)) << "after 105 the reader reads no more";

    // A stream that went bad between two reads: the error is at the next line.
    std::istringstream in("1\n2\n");
    quarrow::lines_reader lines(in);
    ASSERT_TRUE(lines.read(value));
    in.setstate(std::ios_base::badbit);
    quarrow::parse_result<json> result;
    ASSERT_TRUE(lines.try_read(result));
    EXPECT_EQ(result.error.id, 105);
    EXPECT_EQ(result.error.line, 2u);
    EXPECT_EQ(result.error.byte, 2u);
    EXPECT_EQ(result.error.message, "[json.exception.parse_error.105] stream not readable at line 2, column 1: "
                                    "expected a stream that is good(), found badbit set");
    EXPECT_FALSE(lines.try_read(result));
}

} // namespace

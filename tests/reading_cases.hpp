// The rows of the reading tests, shared by parse's tests and try_parse's,
// which run in a -fno-exceptions build too: texts read, texts refused with
// the id and place of their error, and texts under the options.

#ifndef QUARROW_TESTS_READING_CASES_HPP
#define QUARROW_TESTS_READING_CASES_HPP

#include <quarrow/json.hpp>

#include <cstddef>
#include <string>
#include <vector>

namespace
{

using quarrow::json;

struct valid_case
{
    std::string text;
    json expected;
    const char* reason;
};

struct invalid_case
{
    std::string text;
    int id;
    std::size_t byte;
    std::size_t line;
    std::size_t column;
    const char* reason;
};

std::string with_nul(const char* before, const char* after)
{
    return std::string(before) + '\0' + after;
}

const std::vector<valid_case> valid_cases = {
    {" \t\r\n[ 1 ,\t2 ]\r\n ", {1, 2}, "the four whitespace bytes, anywhere between tokens"},
    {"true", true, "a literal alone is a text"},
    {"[false,null]", {false, nullptr}, "the other literals"},
    {"[]", json(json::value_t::array), "empty array"},
    {"{}", json(json::value_t::object), "empty object"},
    {"[[],{\"a\":[{}]}]", {json(json::value_t::array), {{"a", json::array_t{json(json::value_t::object)}}}}, "nesting"},
    {"{\"b\":1,\"a\":2}", {{"a", 2}, {"b", 1}}, "members in any order"},
    {"{\"a\":1,\"a\":2}", {{"a", 2}}, "a repeated key: the last wins by default"},
    {"0", 0, "zero"},
    {"-0", 0, "negative zero in integer syntax is the integer 0"},
    {"[-12,3.25,-1.5e-3,1E2,1e+2,2e-2,0.5]", {-12, 3.25, -1.5e-3, 100.0, 100.0, 0.02, 0.5}, "every number form"},
    {"\"\\\"\\\\\\/\\b\\f\\n\\r\\t\"", "\"\\/\b\f\n\r\t", "the eight short escapes"},
    {"\"\\u00e9\\u00E9\\u0041\"", "\xc3\xa9\xc3\xa9" "A", "\\u escapes in either case of hex digit"},
    {"\"a\\u0000b\"", with_nul("a", "b"), "\\u0000 is a NUL byte in the string"},
    {"\"\\ud83d\\ude00\\uD83D\\uDE00\"", "\xf0\x9f\x98\x80\xf0\x9f\x98\x80", "a surrogate pair is one code point"},
    {"\"\\u07ff\\u0800\\uffff\"", "\xdf\xbf\xe0\xa0\x80\xef\xbf\xbf", "escapes at the UTF-8 length boundaries"},
    {"\"\xc2\x80\xdf\xbf\xe0\xa0\x80\xed\x9f\xbf\xee\x80\x80\xef\xbf\xbf\xf0\x90\x80\x80\xf4\x8f\xbf\xbf\"",
     "\xc2\x80\xdf\xbf\xe0\xa0\x80\xed\x9f\xbf\xee\x80\x80\xef\xbf\xbf\xf0\x90\x80\x80\xf4\x8f\xbf\xbf",
     "raw UTF-8 at every boundary: U+0080, U+07FF, U+0800, U+D7FF, U+E000, U+FFFF, U+10000, U+10FFFF"},
    {"\"\x7f ~\"", "\x7f ~", "DEL and the other printable ASCII bytes stand as they are"},
};

const std::string deeper_than_default = std::string(513, '[');

const std::vector<invalid_case> invalid_cases = {
    {"", 101, 0, 1, 1, "empty text"},
    {" \n ", 101, 3, 2, 2, "only whitespace"},
    {"\xef\xbb\xbf[]", 101, 0, 1, 1, "a byte order mark is not JSON"},
    {"\f1", 101, 0, 1, 1, "form feed is not whitespace"},
    {"\xc2\xa0" "1", 101, 0, 1, 1, "neither is a no-break space"},
    {"tru", 101, 3, 1, 4, "a literal cut short"},
    {"trUe", 101, 2, 1, 3, "literals are lower case"},
    {"nulls", 101, 4, 1, 5, "a literal followed by more letters"},
    {"[falsy]", 101, 5, 1, 6, "a literal whose last byte alone differs"},
    {"01", 101, 1, 1, 2, "a leading zero"},
    {"-01", 101, 2, 1, 3, "a leading zero after the minus"},
    {"+1", 101, 0, 1, 1, "a plus sign"},
    {".5", 101, 0, 1, 1, "a fraction without its integer part"},
    {"1.", 101, 2, 1, 3, "a point without digits after it"},
    {"1.e3", 101, 2, 1, 3, "an exponent right after the point"},
    {"1e+", 101, 3, 1, 4, "an exponent without digits"},
    {"-", 101, 1, 1, 2, "a minus alone"},
    {"0x1F", 101, 1, 1, 2, "hexadecimal"},
    {"NaN", 101, 0, 1, 1, "NaN"},
    {"-Infinity", 101, 1, 1, 2, "infinity"},
    {"[1,]", 101, 3, 1, 4, "a trailing comma in an array"},
    {"{\"a\":1,}", 101, 7, 1, 8, "a trailing comma in an object"},
    {"[1 2]", 101, 3, 1, 4, "a missing comma"},
    {"[1}", 101, 2, 1, 3, "the wrong closing bracket"},
    {"{1:2}", 101, 1, 1, 2, "a key that is not a string"},
    {"{\"a\" 1}", 101, 5, 1, 6, "a missing colon"},
    {"{\"a\":}", 101, 5, 1, 6, "a missing member value"},
    {"{\"a\": }", 101, 6, 1, 7, "a missing member value after the colon's single space"},
    {"[", 101, 1, 1, 2, "an array cut short"},
    {"]", 101, 0, 1, 1, "a closing bracket first"},
    {"1 2", 101, 2, 1, 3, "two values"},
    {"[]]", 101, 2, 1, 3, "a closing bracket too many"},
    {"\"abc", 101, 4, 1, 5, "a string cut short"},
    {"\"a\x01\"", 101, 2, 1, 3, "a control byte in a string"},
    {"\"a\nb\"", 101, 2, 1, 3, "a raw line feed in a string"},
    {"\"\\x\"", 101, 2, 1, 3, "an unknown escape"},
    {"\"\\'\"", 101, 2, 1, 3, "an apostrophe escape"},
    {"\"\\u12G4\"", 101, 5, 1, 6, "a \\u escape with a bad hex digit"},
    {"\"\\uD800\"", 101, 7, 1, 8, "a lone high surrogate"},
    {"\"\\uDC00\"", 101, 4, 1, 5, "a lone low surrogate"},
    {"\"\\uDC00\\uD800\"", 101, 4, 1, 5, "surrogates in the wrong order"},
    {"\"\\uD800\\u0041\"", 101, 9, 1, 10, "a high surrogate followed by another escape"},
    {"\"\\uD800\\uD800\"", 101, 10, 1, 11, "two high surrogates"},
    {"\"\\uD800x\"", 101, 7, 1, 8, "a high surrogate followed by a character"},
    {"\"\x80\"", 101, 1, 1, 2, "a stray continuation byte"},
    {"\"\xc0\x80\"", 101, 1, 1, 2, "a two-byte overlong form"},
    {"\"\xe0\x80\x80\"", 101, 2, 1, 3, "a three-byte overlong form"},
    {"\"\xf0\x80\x80\x80\"", 101, 2, 1, 3, "a four-byte overlong form"},
    {"\"\xed\xa0\x80\"", 101, 2, 1, 3, "an encoded surrogate"},
    {"\"\xf4\x90\x80\x80\"", 101, 2, 1, 3, "above U+10FFFF"},
    {"\"\xf5\x80\x80\x80\"", 101, 1, 1, 2, "a lead byte that is never valid"},
    {"\"\xc3\"", 101, 2, 1, 3, "a sequence cut short by the quote"},
    {"\"\xe2\x82", 101, 3, 1, 4, "a sequence cut short by the end"},
    {"[\n1,\n  x]", 101, 7, 3, 3, "lines end at LF and columns count bytes"},
    {"[\r\n \xff]", 101, 4, 2, 2, "CR LF ends one line"},
    {"[1]//", 101, 3, 1, 4, "no comments by default"},
    {"1e400", 103, 0, 1, 1, "a number beyond the largest double"},
    {"[0, -1e400]", 103, 4, 1, 5, "an error 103 names the number's first byte"},
    {"1" + std::string(400, '0'), 103, 0, 1, 1, "an integer beyond the largest double"},
    {deeper_than_default, 102, 512, 1, 513, "the default depth is 512"},
};

struct option_case
{
    std::string text;
    quarrow::parse_options options;
    const char* expected; // the value written compactly, or nullptr for an error
    int id;
    std::size_t byte;
    const char* reason;
};

quarrow::parse_options comments()
{
    quarrow::parse_options o;
    o.allow_comments = true;
    return o;
}

quarrow::parse_options trailing_commas()
{
    quarrow::parse_options o;
    o.allow_trailing_commas = true;
    return o;
}

quarrow::parse_options keys(quarrow::duplicate_key_policy policy)
{
    quarrow::parse_options o;
    o.duplicate_keys = policy;
    return o;
}

quarrow::parse_options depth(std::size_t max_depth)
{
    quarrow::parse_options o;
    o.max_depth = max_depth;
    return o;
}

const std::vector<option_case> option_cases = {
    {"// a\n[1, /* b\n */ 2] // c", comments(), "[1,2]", 0, 0, "both comment forms, as whitespace"},
    {"/**/1/***/", comments(), "1", 0, 0, "empty comments and stars before the end"},
    {"\"//\"", comments(), "\"//\"", 0, 0, "no comment inside a string"},
    {"1 /* open", comments(), nullptr, 101, 9, "an unterminated comment fails at the end"},
    {"1 /x", comments(), nullptr, 101, 3, "a slash that starts no comment"},
    {"{\"a\": /**/1}", comments(), "{\"a\":1}", 0, 0, "a comment after the single space after a colon"},
    {"[1,]", trailing_commas(), "[1]", 0, 0, "one trailing comma in an array"},
    {"{\"a\":1 , }", trailing_commas(), "{\"a\":1}", 0, 0, "one trailing comma in an object"},
    {"[1,,]", trailing_commas(), nullptr, 101, 3, "only one comma"},
    {"[,]", trailing_commas(), nullptr, 101, 1, "a comma needs a value before it"},
    {"{\"a\":1,\"a\":[2]}", keys(quarrow::duplicate_key_policy::last_wins), "{\"a\":[2]}", 0, 0, "last wins"},
    {"{\"a\":1,\"a\":[{\"b\":[2]}],\"c\":3}", keys(quarrow::duplicate_key_policy::first_wins), "{\"a\":1,\"c\":3}", 0,
     0, "first wins, dropping a nested value"},
    {"{\"a\":{\"x\":1},\"a\":2}", keys(quarrow::duplicate_key_policy::first_wins), "{\"a\":{\"x\":1}}", 0, 0,
     "first wins over a scalar"},
    {"{\"a\":\"x\",\"a\":\"y\",\"b\":\"z\"}", keys(quarrow::duplicate_key_policy::first_wins),
     "{\"a\":\"x\",\"b\":\"z\"}", 0, 0, "first wins over a string, and the next member is kept"},
    {"{\"a\":1,\n \"a\":2}", keys(quarrow::duplicate_key_policy::reject), nullptr, 104, 9, "reject names the key"},
    {"[{\"a\":1},{\"a\":1}]", keys(quarrow::duplicate_key_policy::reject), "[{\"a\":1},{\"a\":1}]", 0, 0,
     "keys repeat only within one object"},
    {"[[1]]", depth(2), "[[1]]", 0, 0, "exactly max_depth levels"},
    {"[[[1]]]", depth(2), nullptr, 102, 2, "one level more"},
    {"{\"a\":{\"b\":[]}}", depth(2), nullptr, 102, 10, "objects count as levels"},
    {"1", depth(0), "1", 0, 0, "a scalar has no depth"},
    {"[]", depth(0), nullptr, 102, 0, "an empty array is one level"},
};

} // namespace

#endif // QUARROW_TESTS_READING_CASES_HPP

// Built with -fno-exceptions: try_parse and the lines reader's try_read give
// every row of the reading tests its value, or its error's id and place,
// without aborting. Exits with the number of rows that disagree.

#include "reading_cases.hpp"

#include <quarrow/json.hpp>

#include <cstdio>
#include <sstream>
#include <string>

namespace
{

int disagreements = 0;

void expect(const bool holds, const std::string& what)
{
    if (not holds)
    {
        ++disagreements;
        std::printf("disagrees: %s\n", what.c_str());
    }
}

// The text read from memory and from a stream.
void expect_read(const std::string& text, const quarrow::parse_options& options, const char* expected,
                 const char* reason)
{
    std::istringstream in(text);
    for (const quarrow::parse_result<json>& r : {json::try_parse(text, options), json::try_parse(in, options)})
    {
        expect(r.ok() and r.value.dump() == expected, std::string(reason) + ": " + r.error.message);
    }
}

void expect_error(const std::string& text, const quarrow::parse_options& options, const int id, const std::size_t byte,
                  const std::size_t line, const std::size_t column, const char* reason)
{
    std::istringstream in(text);
    for (const quarrow::parse_result<json>& r : {json::try_parse(text, options), json::try_parse(in, options)})
    {
        const std::string place =
            " at line " + std::to_string(line) + ", column " + std::to_string(column) + ": expected ";
        expect(not r.ok() and r.value.is_null() and r.error.id == id and r.error.byte == byte and
                   (line == 0 or (r.error.line == line and r.error.column == column)) and
                   r.error.message.rfind("[json.exception.parse_error." + std::to_string(id) + "] ", 0) == 0 and
                   (line == 0 or r.error.message.find(place) != std::string::npos),
               std::string(reason) + ": " + r.error.message);
    }
}

} // namespace

int main()
{
    for (const valid_case& c : valid_cases)
    {
        expect_read(c.text, quarrow::parse_options(), c.expected.dump().c_str(), c.reason);
    }
    for (const invalid_case& c : invalid_cases)
    {
        expect_error(c.text, quarrow::parse_options(), c.id, c.byte, c.line, c.column, c.reason);
    }
    for (const option_case& c : option_cases)
    {
        if (c.expected != nullptr)
        {
            expect_read(c.text, c.options, c.expected, c.reason);
        }
        else
        {
            expect_error(c.text, c.options, c.id, c.byte, 0, 0, c.reason);
        }
    }

    // A file that failed to open, and JSON Lines with a bad line between good ones.
    std::istringstream closed;
    closed.setstate(std::ios_base::failbit);
    expect(json::try_parse(closed).error.id == 105, "a stream not good");
    std::istringstream lines("1\n[2,\n3\n");
    quarrow::lines_reader reader(lines);
    quarrow::parse_result<json> record;
    std::string read;
    while (reader.try_read(record))
    {
        read += record.ok() ? record.value.dump() : "line " + std::to_string(record.error.line);
        read += ';';
    }
    expect(read == "1;line 2;3;", "the lines read: " + read);

    std::printf("%d disagreements\n", disagreements);
    return disagreements;
}

// The exception family: the message form and which handlers catch what.

#include <quarrow/json.hpp>

#include <gtest/gtest.h>

#include <cstddef>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace
{

using quarrow::detail::error;
using quarrow::detail::error_table;
using quarrow::detail::exception;
using quarrow::detail::other_error;
using quarrow::detail::out_of_range;
using quarrow::detail::type_error;

TEST(ExceptionMessage, NamesClassAndIdBeforeTheText)
{
    struct message_case
    {
        const exception& error;
        const char* what;
    };
    const type_error type(304, "cannot use at() with null");
    const out_of_range range(403, "key 'the fast' not found");
    const other_error other(501, "x");
    const type_error empty(301, ""); // the blank after the bracket stays
    const message_case cases[] = {
        {type, "[json.exception.type_error.304] cannot use at() with null"},
        {range, "[json.exception.out_of_range.403] key 'the fast' not found"},
        {other, "[json.exception.other_error.501] x"},
        {empty, "[json.exception.type_error.301] "},
    };
    for (const auto& c : cases)
    {
        EXPECT_STREQ(c.error.what(), c.what);
    }
    EXPECT_EQ(type.id, 304);
    EXPECT_EQ(range.id, 403);
}

TEST(ExceptionMessage, IsStableAndOwnedByTheException)
{
    std::string text = "key '\"\\\xc3\xa9' not found"; // copied byte for byte, no escaping
    const out_of_range error(403, text);
    text.assign(100, 'x');
    const char* first = error.what();
    EXPECT_EQ(error.what(), first);
    EXPECT_STREQ(first, "[json.exception.out_of_range.403] key '\"\\\xc3\xa9' not found");
}

TEST(ExceptionMessage, IdIsPlainDecimal)
{
    EXPECT_STREQ(type_error(7, "t").what(), "[json.exception.type_error.7] t");
    EXPECT_STREQ(type_error(-3, "t").what(), "[json.exception.type_error.-3] t");
}

// What a handler of type Handler does with a thrown Thrown: true if it catches it.
template<typename Handler, typename Thrown>
bool catches(const Thrown& thrown)
{
    try
    {
        try
        {
            throw thrown;
        }
        catch (const Handler&)
        {
            return true;
        }
    }
    catch (...)
    {
        return false;
    }
}

TEST(ExceptionHandlers, FamilyBaseAndStdExceptionCatchEveryMember)
{
    const type_error type(303, "t");
    const out_of_range range(403, "r");
    const other_error other(501, "o");
    EXPECT_TRUE(catches<exception>(type));
    EXPECT_TRUE(catches<exception>(range));
    EXPECT_TRUE(catches<exception>(other));
    EXPECT_TRUE(catches<std::exception>(type));
    EXPECT_TRUE(catches<std::exception>(range));
    EXPECT_TRUE(catches<std::exception>(other));
}

TEST(ExceptionHandlers, StandardLogicErrorsAndSiblingsCatchNothing)
{
    const type_error type(303, "t");
    const out_of_range range(403, "r");
    EXPECT_FALSE(catches<std::out_of_range>(range));
    EXPECT_FALSE(catches<std::logic_error>(range));
    EXPECT_FALSE(catches<std::logic_error>(type));
    EXPECT_FALSE(catches<type_error>(range));
    EXPECT_FALSE(catches<out_of_range>(type));
    EXPECT_FALSE(catches<other_error>(type));
}

TEST(ExceptionHandlers, ValueTypeNamesTheSameClasses)
{
    EXPECT_TRUE(catches<quarrow::json::type_error>(type_error(303, "t")));
    EXPECT_TRUE(catches<quarrow::json::out_of_range>(out_of_range(403, "r")));
}

// One row of the README's catalogue of errors: | class | id | raised when | what() |,
// the what() cell holding the message of each error with that id as a code span.
struct catalogue_row
{
    std::size_t line;
    std::string class_name;
    int id;
    std::vector<std::string> messages;
};

// The cells of a table row "| a | b |", split at the bars that are not escaped.
std::vector<std::string> cells_of(const std::string& row)
{
    std::vector<std::string> cells;
    for (std::size_t i = 0; i < row.size(); ++i)
    {
        if (row[i] == '|' and (i == 0 or row[i - 1] != '\\'))
        {
            cells.emplace_back();
        }
        else
        {
            cells.back() += row[i];
        }
    }
    cells.pop_back(); // what follows the last bar
    return cells;
}

// The code spans of a cell that are messages, an escaped bar read as a bar.
std::vector<std::string> messages_in(const std::string& cell)
{
    std::vector<std::string> messages;
    std::size_t open = cell.find('`');
    while (open != std::string::npos)
    {
        const std::size_t close = cell.find('`', open + 1);
        if (close == std::string::npos)
        {
            ADD_FAILURE() << "a code span without its end: " << cell;
            break;
        }
        std::string span = cell.substr(open + 1, close - open - 1);
        for (std::size_t bar = span.find("\\|"); bar != std::string::npos; bar = span.find("\\|", bar))
        {
            span.erase(bar, 1);
        }
        if (span.rfind("[json.exception.", 0) == 0)
        {
            messages.push_back(span);
        }
        open = cell.find('`', close + 1);
    }
    return messages;
}

// The rows of the table under "### Errors" in README.md.
std::vector<catalogue_row> readme_catalogue()
{
    std::ifstream readme(QUARROW_README);
    std::vector<catalogue_row> rows;
    std::string text;
    std::size_t line = 0;
    bool in_section = false;
    while (std::getline(readme, text))
    {
        ++line;
        if (text.rfind("#", 0) == 0)
        {
            in_section = text == "### Errors";
        }
        if (not in_section or text.rfind("| `", 0) != 0)
        {
            continue;
        }
        const std::vector<std::string> cells = cells_of(text);
        if (cells.size() != 4)
        {
            ADD_FAILURE() << "README.md:" << line << ": not four cells";
            continue;
        }
        const std::size_t name = cells[0].find_first_not_of(" `");
        rows.push_back({line, cells[0].substr(name, cells[0].find_last_not_of(" `") + 1 - name), std::stoi(cells[1]),
                        messages_in(cells[3])});
    }
    return rows;
}

// The README's catalogue and the table the messages are made from say the
// same: each row's class and messages are those of the table's errors with
// its id, and every error has a row.
TEST(ErrorTable, IsTheReadmeCatalogue)
{
    const quarrow::detail::error_entry* const table = error_table();
    std::vector<bool> covered(quarrow::detail::error_count, false);
    const std::vector<catalogue_row> rows = readme_catalogue();
    ASSERT_FALSE(rows.empty()) << "no catalogue of errors in " << QUARROW_README;
    for (const catalogue_row& row : rows)
    {
        SCOPED_TRACE("README.md:" + std::to_string(row.line));
        std::vector<std::string> messages;
        for (std::size_t i = 0; i < quarrow::detail::error_count; ++i)
        {
            if (table[i].id != row.id)
            {
                continue;
            }
            EXPECT_FALSE(covered[i]) << "a second row for " << row.id;
            covered[i] = true;
            EXPECT_EQ(row.class_name, quarrow::detail::class_name(table[i].category));
            messages.push_back(std::string("[json.exception.") + quarrow::detail::class_name(table[i].category) + "." +
                               std::to_string(table[i].id) + "] " + table[i].text);
        }
        EXPECT_FALSE(messages.empty()) << "no error with id " << row.id;
        EXPECT_EQ(row.messages, messages);
    }
    for (std::size_t i = 0; i < quarrow::detail::error_count; ++i)
    {
        EXPECT_EQ(table[i].what, static_cast<error>(i)) << "entry " << i << " out of order";
        EXPECT_TRUE(covered[i]) << "no row for " << table[i].id << ": " << table[i].text;
    }
}

} // namespace

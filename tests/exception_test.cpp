// The exception family: the message form and which handlers catch what.

#include <quarrow/json.hpp>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace
{

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

} // namespace

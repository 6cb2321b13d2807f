// The value itself: kinds, size, copies, assignment, typed access.

#include <quarrow/json.hpp>

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <type_traits>

namespace
{

using quarrow::json;
using value_t = json::value_t;

static_assert(std::is_same<std::underlying_type<value_t>::type, std::uint8_t>::value, "kinds fit in one byte");
static_assert(std::is_nothrow_constructible<json, int>::value, "an int converts without throwing");
static_assert(!std::is_nothrow_constructible<json, const char (&)[4]>::value, "text may fail to allocate");
static_assert(std::is_nothrow_default_constructible<json>::value, "null allocates nothing");

// The numbering is fixed: other code stores and compares these numbers.
TEST(Kinds, HaveFixedNumbers)
{
    const value_t kinds[] = {value_t::null,           value_t::object,          value_t::array,
                             value_t::string,         value_t::boolean,         value_t::number_integer,
                             value_t::number_unsigned, value_t::number_float,   value_t::discarded};
    for (std::size_t i = 0; i < sizeof kinds / sizeof kinds[0]; ++i)
    {
        EXPECT_EQ(static_cast<std::size_t>(kinds[i]), i);
    }
}

struct kind_case
{
    const char* made_from;
    json value;
    const char* type_name;
    std::size_t size;
    bool is_string;
    bool is_number_integer;
};

TEST(Value, KindNameAndSizeOfEachValueThatCanBeMade)
{
    const kind_case cases[] = {
        {"default", json(), "null", 0, false, false},
        {"literal", json("il buono"), "string", 1, true, false},
        {"empty literal", json(""), "string", 1, true, false}, // a string counts 1 whatever its length
        {"int", json(17), "number", 1, false, true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.made_from);
        EXPECT_EQ(c.value.type_name(), c.type_name);
        EXPECT_EQ(c.value.size(), c.size);
        EXPECT_EQ(c.value.is_string(), c.is_string);
        EXPECT_EQ(c.value.is_number_integer(), c.is_number_integer);
        EXPECT_FALSE(c.value.is_object());
        EXPECT_FALSE(c.value.is_array());
        EXPECT_FALSE(c.value.is_number_float());
    }
}

std::string text_of(json& value)
{
    return *value.get_ptr<json::string_t*>();
}

TEST(Conversion, CharacterArrayEndsAtItsFirstNul)
{
    const char embedded[] = "ab\0cd";
    json value = embedded;
    EXPECT_EQ(text_of(value), "ab");
}

// An array that holds no NUL at all is read to its end and not one byte past it.
TEST(Conversion, CharacterArrayWithoutNulStopsAtItsEnd)
{
    const char unterminated[3] = {'a', 'b', 'c'};
    json value = unterminated;
    EXPECT_EQ(text_of(value), "abc");
}

TEST(Conversion, IntIsSignExtendedExactly)
{
    for (const int n : {0, 17, -1, INT_MIN, INT_MAX})
    {
        json value = n;
        EXPECT_EQ(value.get_ref<json::number_integer_t&>(), static_cast<long long>(n));
    }
}

TEST(Copy, IsDeepAndLeavesTheSourceAsItWas)
{
    json source = "il buono";
    json copy = source;
    *copy.get_ptr<json::string_t*>() = "il brutto";
    EXPECT_EQ(text_of(source), "il buono");
    EXPECT_EQ(text_of(copy), "il brutto");
    EXPECT_NE(source.get_ptr<json::string_t*>(), copy.get_ptr<json::string_t*>());
}

TEST(Assignment, CopiesANamedValueAndReplacesTheKind)
{
    json target = "il cattivo";
    json source = 17;
    target = source;
    EXPECT_EQ(target.get_ref<json::number_integer_t&>(), 17);
    EXPECT_EQ(source.get_ref<json::number_integer_t&>(), 17);

    json text = "il buono";
    target = text;
    EXPECT_EQ(text_of(target), "il buono");
    EXPECT_NE(target.get_ptr<json::string_t*>(), text.get_ptr<json::string_t*>());
}

TEST(Assignment, ToItselfKeepsTheContent)
{
    json value = "il buono";
    json& same = value;
    value = same;
    EXPECT_EQ(text_of(value), "il buono");
}

TEST(TypedAccess, ReferencesAndPointerDesignateTheSameStorage)
{
    json value = 17;
    auto& plain = value.get_ref<json::number_integer_t&>();
    const auto& constant = value.get_ref<const json::number_integer_t&>();
    EXPECT_EQ(plain, 17);
    EXPECT_EQ(constant, 17);
    EXPECT_EQ(&plain, &constant);
    EXPECT_EQ(value.get_ptr<json::number_integer_t*>(), &plain);
    EXPECT_EQ(value.get_ptr<const json::number_integer_t*>(), &plain);

    plain = 42;
    EXPECT_EQ(constant, 42);
    EXPECT_EQ(*value.get_ptr<json::number_integer_t*>(), 42);
}

struct mismatch_case
{
    const char* made_from;
    json value;
    const char* what;
};

TEST(TypedAccess, MismatchThrows303AndLeavesTheValue)
{
    const std::string prefix = "[json.exception.type_error.303] incompatible ReferenceType for get_ref, actual type is ";
    mismatch_case cases[] = {
        {"float reference from an int", json(17), "number"},
        {"integer reference from null", json(), "null"},
        {"integer reference from a string", json("x"), "string"},
    };
    for (auto& c : cases)
    {
        SCOPED_TRACE(c.made_from);
        const json before = c.value;
        try
        {
            if (c.value.is_number_integer())
            {
                c.value.get_ref<json::number_float_t&>();
            }
            else
            {
                c.value.get_ref<json::number_integer_t&>();
            }
            ADD_FAILURE() << "no exception";
        }
        catch (const quarrow::detail::type_error& e)
        {
            EXPECT_EQ(e.what(), prefix + c.what);
            EXPECT_EQ(e.id, 303);
        }
        EXPECT_EQ(c.value.type_name(), before.type_name());
    }
}

TEST(TypedAccess, MismatchedPointerIsNull)
{
    json number = 17;
    EXPECT_EQ(number.get_ptr<json::number_float_t*>(), nullptr);
    EXPECT_EQ(number.get_ref<json::number_integer_t&>(), 17);

    json null;
    EXPECT_EQ(null.get_ptr<json::number_integer_t*>(), nullptr);
    EXPECT_EQ(null.get_ptr<const json::number_integer_t*>(), nullptr);
}

} // namespace

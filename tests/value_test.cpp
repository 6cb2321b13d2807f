// The value itself: kinds, size, copies, assignment, typed access.

#include <quarrow/json.hpp>

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

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

// One value of each kind, with what every query says of it.
struct kind_case
{
    json value;
    value_t type;
    const char* type_name;
    std::size_t size;
    bool is_primitive;
};

std::vector<kind_case> one_of_each_kind()
{
    return {
        {json(), value_t::null, "null", 0, true},
        {json(value_t::object), value_t::object, "object", 0, false},
        {json({{"a", 1}, {"b", 2}, {"c", 3}}), value_t::object, "object", 3, false},
        {json(value_t::array), value_t::array, "array", 0, false},
        {json({1, 2}), value_t::array, "array", 2, false},
        {json(""), value_t::string, "string", 1, true}, // a string counts 1 whatever its length
        {json("il buono"), value_t::string, "string", 1, true},
        {json(false), value_t::boolean, "boolean", 1, true},
        {json(17), value_t::number_integer, "number", 1, true},
        {json(17u), value_t::number_unsigned, "number", 1, true},
        {json(1.5), value_t::number_float, "number", 1, true},
        {json(value_t::discarded), value_t::discarded, "discarded", 1, false},
    };
}

TEST(Value, KindNameSizeAndPredicatesAgreeForEveryKind)
{
    for (const auto& c : one_of_each_kind())
    {
        SCOPED_TRACE(c.type_name);
        const json& v = c.value;
        EXPECT_EQ(v.type(), c.type);
        EXPECT_EQ(v.type_name(), c.type_name);
        EXPECT_EQ(v.size(), c.size);
        EXPECT_EQ(v.is_primitive(), c.is_primitive);
        EXPECT_EQ(v.is_structured(), c.type == value_t::object or c.type == value_t::array);
        EXPECT_EQ(v.is_null(), c.type == value_t::null);
        EXPECT_EQ(v.is_object(), c.type == value_t::object);
        EXPECT_EQ(v.is_array(), c.type == value_t::array);
        EXPECT_EQ(v.is_string(), c.type == value_t::string);
        EXPECT_EQ(v.is_boolean(), c.type == value_t::boolean);
        EXPECT_EQ(v.is_discarded(), c.type == value_t::discarded);
        EXPECT_EQ(v.is_number_unsigned(), c.type == value_t::number_unsigned);
        EXPECT_EQ(v.is_number_float(), c.type == value_t::number_float);
        // An unsigned number is an integer too.
        EXPECT_EQ(v.is_number_integer(),
                  c.type == value_t::number_integer or c.type == value_t::number_unsigned);
        EXPECT_EQ(v.is_number(), std::string(c.type_name) == "number");
    }
}

TEST(Value, KindConstructorMakesTheEmptyValueOfThatKind)
{
    EXPECT_TRUE(json(value_t::object).get_ref<const json::object_t&>().empty());
    EXPECT_TRUE(json(value_t::array).get_ref<const json::array_t&>().empty());
    EXPECT_EQ(json(value_t::string).get_ref<const json::string_t&>(), "");
    EXPECT_EQ(json(value_t::boolean).get_ref<const json::boolean_t&>(), false);
    EXPECT_EQ(json(value_t::number_integer).get_ref<const json::number_integer_t&>(), 0);
    EXPECT_EQ(json(value_t::number_unsigned).get_ref<const json::number_unsigned_t&>(), 0u);
    EXPECT_EQ(json(value_t::number_float).get_ref<const json::number_float_t&>(), 0.0);
}

// A cast number that names no kind would make a value that writes nothing.
TEST(Value, KindConstructorRejectsANumberThatIsNoKind)
{
    const struct
    {
        unsigned char number;
        const char* why;
    } cases[] = {
        {9, "one past discarded, the last kind"},
        {200, "far out"},
        {255, "the largest the kind byte holds"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.why);
        try
        {
            const json value(static_cast<value_t>(c.number));
            ADD_FAILURE() << "made a value that writes '" << value.dump() << "'";
        }
        catch (const json::other_error& e)
        {
            EXPECT_EQ(e.what(), "[json.exception.other_error.502] cannot create value of unknown kind " +
                                    std::to_string(c.number));
        }
    }
}

TEST(Copy, OfEveryKindKeepsKindAndSize)
{
    for (const auto& c : one_of_each_kind())
    {
        SCOPED_TRACE(c.type_name);
        const json copy = c.value;
        EXPECT_EQ(copy.type(), c.type);
        EXPECT_EQ(copy.size(), c.size);
    }
}

TEST(Copy, OfAnObjectIsDeep)
{
    json source = {{"the good", "il buono"}, {"the bad", {"il", "cattivo"}}, {"the ugly", "il brutto"}};
    json copy = source;
    copy.at("the good") = "changed";
    copy.at("the bad") = 1;
    EXPECT_EQ(source.at("the good").get_ref<const json::string_t&>(), "il buono");
    EXPECT_TRUE(source.at("the bad").is_array());
    EXPECT_EQ(copy.size(), 3u);
}

TEST(Move, LeavesTheSourceNullAndUsable)
{
    for (auto& c : one_of_each_kind())
    {
        SCOPED_TRACE(c.type_name);
        json moved = std::move(c.value);
        EXPECT_EQ(moved.type(), c.type);
        EXPECT_EQ(moved.size(), c.size);
        EXPECT_TRUE(c.value.is_null());
        c.value = "reused";
        EXPECT_TRUE(c.value.is_string());
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

TEST(TypedAccess, EveryMemberTypeIsReachableConstOrNot)
{
    json object = value_t::object;
    json array = value_t::array;
    json text = "x";
    json flag = true;
    json real = 2.5;
    EXPECT_EQ(object.get_ptr<json::object_t*>(), &object.get_ref<json::object_t&>());
    EXPECT_EQ(array.get_ptr<json::array_t*>(), &array.get_ref<json::array_t&>());
    EXPECT_EQ(text.get_ptr<json::string_t*>(), &text.get_ref<json::string_t&>());
    EXPECT_EQ(flag.get_ptr<json::boolean_t*>(), &flag.get_ref<json::boolean_t&>());
    EXPECT_EQ(real.get_ptr<json::number_float_t*>(), &real.get_ref<json::number_float_t&>());

    text.get_ref<json::string_t&>() += "y";
    array.get_ref<json::array_t&>().push_back(1);
    const json& reader = text;
    EXPECT_EQ(reader.get_ref<const json::string_t&>(), "xy");
    EXPECT_EQ(*reader.get_ptr<const json::string_t*>(), "xy");
    EXPECT_EQ(array.size(), 1u);
    EXPECT_EQ(reader.get_ptr<const json::object_t*>(), nullptr);
}

// The integer accessors accept an unsigned number and read its 64 bits as signed.
TEST(TypedAccess, IntegerPointerReachesAnUnsignedNumber)
{
    json value = 18446744073709551615u;
    auto* as_signed = value.get_ptr<json::number_integer_t*>();
    auto* as_unsigned = value.get_ptr<json::number_unsigned_t*>();
    ASSERT_NE(as_signed, nullptr);
    EXPECT_EQ(static_cast<const void*>(as_signed), static_cast<const void*>(as_unsigned));
    EXPECT_EQ(*as_signed, -1);
    EXPECT_EQ(value.get_ref<const json::number_integer_t&>(), -1);

    json signed_value = -1;
    EXPECT_EQ(signed_value.get_ptr<json::number_unsigned_t*>(), nullptr);
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

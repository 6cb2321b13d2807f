// Guarded access: at() by key, the const operator[] by index.

#include <quarrow/json.hpp>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace
{

using quarrow::json;

std::vector<std::string> keys_of(const json& object)
{
    std::vector<std::string> keys;
    for (const auto& member : *object.get_ptr<const json::object_t*>())
    {
        keys.push_back(member.first);
    }
    return keys;
}

const std::string& text_of(const json& value)
{
    return value.get_ref<const json::string_t&>();
}

class KeyedAccess : public ::testing::Test
{
  protected:
    json trio = {{"the good", "il buono"}, {"the bad", "il cattivo"}, {"the ugly", "il brutto"}};
    const std::vector<std::string> trio_keys = {"the bad", "the good", "the ugly"};
};

TEST_F(KeyedAccess, ReturnsTheMemberForReadingAndAssignment)
{
    EXPECT_EQ(text_of(trio.at("the ugly")), "il brutto");

    trio.at("the bad") = "il rapido";
    EXPECT_EQ(text_of(trio.at("the bad")), "il rapido");
    EXPECT_EQ(keys_of(trio), trio_keys); // same keys, count and order
    EXPECT_EQ(text_of(trio.at("the good")), "il buono");
}

TEST_F(KeyedAccess, WorksOnAConstValue)
{
    const json& reader = trio;
    EXPECT_EQ(text_of(reader.at("the good")), "il buono");
    EXPECT_THROW(reader.at("the fast"), json::out_of_range);
}

TEST_F(KeyedAccess, MissingKeyThrows403AndInsertsNothing)
{
    struct missing_case
    {
        std::string key;
        const char* why;
    };
    const missing_case cases[] = {
        {"the fast", "absent"},
        {"", "empty key, no member has it"},
        {"THE BAD", "keys differ by letter case"},
        {"the bad ", "a trailing blank is a byte too"},
        {"it's \"\\\x80\xff", "quote, backslash and high bytes are copied verbatim"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.why);
        try
        {
            trio.at(c.key) = "il rapido";
            ADD_FAILURE() << "no exception";
        }
        catch (const json::out_of_range& e)
        {
            EXPECT_EQ(e.what(), "[json.exception.out_of_range.403] key '" + c.key + "' not found");
            EXPECT_EQ(e.id, 403);
        }
        EXPECT_EQ(keys_of(trio), trio_keys);
    }
}

TEST_F(KeyedAccess, MissingKeyIsNotAStandardOutOfRange)
{
    bool caught_by_family = false;
    try
    {
        try
        {
            trio.at("the fast");
        }
        catch (const std::out_of_range&)
        {
            ADD_FAILURE() << "the standard exception reached the caller";
        }
    }
    catch (const quarrow::detail::exception&)
    {
        caught_by_family = true;
    }
    EXPECT_TRUE(caught_by_family);
}

// A value of each kind that is not the container an accessor needs.
struct wrong_kind_case
{
    json value;
    const char* type_name;
};

std::vector<wrong_kind_case> non_objects()
{
    return {{json(), "null"}, {json({1, 2}), "array"}, {json("x"), "string"}, {json(17), "number"}};
}

TEST(KeyedAccessOnOtherKinds, Throws304WithTheTypeNameAndChangesNothing)
{
    for (auto& c : non_objects())
    {
        SCOPED_TRACE(c.type_name);
        const std::size_t size_before = c.value.size();
        try
        {
            c.value.at("the bad");
            ADD_FAILURE() << "no exception";
        }
        catch (const json::type_error& e)
        {
            EXPECT_EQ(e.what(), std::string("[json.exception.type_error.304] cannot use at() with ") + c.type_name);
        }
        EXPECT_EQ(c.value.type_name(), c.type_name);
        EXPECT_EQ(c.value.size(), size_before);
    }
}

TEST(IndexAccess, ReturnsElementsInStoredOrder)
{
    const json single = {"only"};
    EXPECT_EQ(text_of(single[0]), "only");

    const json list = {"first", 2, "last"};
    EXPECT_EQ(text_of(list[0]), "first");
    EXPECT_EQ(list[1].get_ref<const json::number_integer_t&>(), 2);
    EXPECT_EQ(text_of(list[list.size() - 1]), "last");
}

TEST(IndexAccess, OnAnythingButAnArrayThrows305AndConvertsNothing)
{
    std::vector<wrong_kind_case> cases = {{json(), "null"},
                                          {json({{"k", "v"}}), "object"},
                                          {json("x"), "string"},
                                          {json(17), "number"}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.type_name);
        try
        {
            c.value[0];
            ADD_FAILURE() << "no exception";
        }
        catch (const json::type_error& e)
        {
            EXPECT_EQ(e.what(), std::string("[json.exception.type_error.305] cannot use operator[] with ") + c.type_name);
        }
        EXPECT_EQ(c.value.type_name(), c.type_name);
    }
}

// Nothing past the end is ever read, whatever the build mode.
TEST(IndexAccess, PastTheEndThrows401NamingTheIndex)
{
    const json list = {1, 2};
    for (const std::size_t index : {std::size_t{2}, std::size_t{1000}})
    {
        try
        {
            list[index];
            ADD_FAILURE() << "no exception";
        }
        catch (const json::out_of_range& e)
        {
            EXPECT_EQ(e.what(), "[json.exception.out_of_range.401] array index " + std::to_string(index) +
                                    " is out of range");
        }
    }
    const json empty(std::initializer_list<json>{}, false, json::value_t::array);
    EXPECT_THROW(empty[0], json::out_of_range);
}

} // namespace

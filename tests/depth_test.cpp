// Values nested a million levels deep: releasing, copying and writing them
// uses no stack in proportion to their depth, so none of it can overflow.

#include "counting_new.hpp"

#include <quarrow/json.hpp>

#include <gtest/gtest.h>

#include <cstddef>
#include <iomanip>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <utility>

namespace
{

using counting_new::allocations_during;
using counting_new::live_blocks;
using quarrow::json;

const std::size_t million = 1000000;

enum class shape
{
    arrays,  // [[[...1...]]]
    objects, // {"k":{"k":...1...}}
    mixed,   // [{"k":[{"k":...1...}]}]: arrays and objects in turn, an array outermost
};

/// Whether the container at this level (0 outermost) of a nest is an object.
bool object_at(const shape s, const std::size_t level)
{
    return s == shape::objects || (s == shape::mixed && level % 2 == 1);
}

/// 1 inside `depth` containers of the shape, built from the inside out so
/// that nothing recurses while building it.
json nest(const shape s, const std::size_t depth)
{
    json value = 1;
    for (std::size_t level = depth; level-- > 0;)
    {
        if (object_at(s, level))
        {
            json::object_t holder;
            holder.emplace("k", std::move(value));
            value = std::move(holder);
        }
        else
        {
            json::array_t holder(1);
            holder[0] = std::move(value);
            value = std::move(holder);
        }
    }
    return value;
}

/// The compact text's length: `[` `]` for an array, `{"k":` `}` for an object, and the 1.
std::size_t compact_length(const shape s, const std::size_t depth)
{
    std::size_t length = 1;
    for (std::size_t level = 0; level < depth; ++level)
    {
        length += object_at(s, level) ? 6u : 2u;
    }
    return length;
}

/// The indented text's length, counted line by line. A container at level i
/// starts where its parent puts it and ends with a line of its own,
/// "\n" + i * width spaces + bracket; in between, its one child's line starts
/// with (i + 1) * width spaces, and `"k": ` in an object.
std::size_t indented_length(const shape s, const std::size_t depth, const std::size_t width)
{
    std::size_t length = 1; // the 1
    for (std::size_t level = 0; level < depth; ++level)
    {
        length += 2;                                     // the bracket and line feed that open it
        length += (level + 1) * width;                   // its child's indentation
        length += object_at(s, level) ? 5u : 0u;  // "k": before the child
        length += 1 + level * width + 1;                 // line feed, indentation, bracket that close it
    }
    return length;
}

const char* name(const shape s)
{
    return s == shape::arrays ? "arrays" : s == shape::objects ? "objects" : "mixed";
}

const shape all_shapes[] = {shape::arrays, shape::objects, shape::mixed};

/// Counts the bytes written and keeps the first and the last; stores nothing.
class counting_streambuf : public std::streambuf
{
  public:
    std::size_t count = 0;
    char first = '\0';
    char last = '\0';

  protected:
    int_type overflow(int_type c) override
    {
        note(traits_type::to_char_type(c));
        return c;
    }

    std::streamsize xsputn(const char* s, std::streamsize n) override
    {
        if (n > 0)
        {
            note(s[0]);
            count += static_cast<std::size_t>(n - 1);
            last = s[n - 1];
        }
        return n;
    }

  private:
    void note(const char c)
    {
        if (count++ == 0)
        {
            first = c;
        }
        last = c;
    }
};

// The first test in each of these builds the nest on its own and checks it,
// so that a failure there is not blamed on the operation.
TEST(Depth, TheNestsAreWhatTheTestsExpect)
{
    EXPECT_EQ(nest(shape::arrays, 3).dump(), "[[[1]]]");
    EXPECT_EQ(nest(shape::objects, 2).dump(), "{\"k\":{\"k\":1}}");
    EXPECT_EQ(nest(shape::mixed, 4).dump(), "[{\"k\":[{\"k\":1}]}]");
    for (const shape s : all_shapes)
    {
        SCOPED_TRACE(name(s));
        for (std::size_t depth = 0; depth < 5; ++depth)
        {
            const json value = nest(s, depth);
            EXPECT_EQ(value.dump().size(), compact_length(s, depth)) << depth;
            EXPECT_EQ(value.dump(3).size(), indented_length(s, depth, 3)) << depth;
        }
    }
}

// Each operation on each shape is a test of its own, a few seconds long.
class DeepNest : public testing::TestWithParam<shape>
{};

INSTANTIATE_TEST_SUITE_P(Depth, DeepNest, testing::ValuesIn(all_shapes),
                         [](const testing::TestParamInfo<shape>& nest_shape) { return name(nest_shape.param); });

TEST_P(DeepNest, DestructionReleasesEverythingAndAllocatesNothing)
{
    const std::size_t live_before = live_blocks();
    json value = nest(GetParam(), million);
    EXPECT_GT(live_blocks(), live_before + million);
    EXPECT_EQ(allocations_during([&] { value = nullptr; }), 0u); // a destructor cannot fail
    EXPECT_EQ(live_blocks(), live_before);
}

// Deep values beside others in the same containers: wherever the walk starts
// on a container, it must come back and release the siblings too.
TEST(Depth, DestructionReleasesSiblingsOfADeepValue)
{
    const std::size_t live_before = live_blocks();
    {
        json::object_t members;
        members.emplace("a", nest(shape::mixed, 1000));
        members.emplace("b", 2);
        members.emplace("c", nest(shape::arrays, million));
        members.emplace("d", json::array_t{json(json::value_t::object), nest(shape::objects, 1000), 3});
        json::array_t elements;
        elements.push_back(nest(shape::objects, million));
        elements.push_back(std::move(members));
        elements.push_back("text long enough to need a buffer of its own");
        const json value = std::move(elements);
    }
    EXPECT_EQ(live_blocks(), live_before);
}

TEST_P(DeepNest, CopyEqualsItsSource)
{
    const json source = nest(GetParam(), million);
    const json copy = source;
    EXPECT_EQ(copy.dump(), source.dump());
}

TEST_P(DeepNest, WriteCompact)
{
    const shape s = GetParam();
    const json value = nest(s, million);
    const char first = s == shape::objects ? '{' : '[';
    const char last = s == shape::objects ? '}' : ']';

    counting_streambuf buffer;
    std::ostream stream(&buffer);
    stream << value;
    EXPECT_EQ(buffer.count, compact_length(s, million));
    EXPECT_EQ(buffer.first, first);
    EXPECT_EQ(buffer.last, last);

    const std::string text = value.dump();
    EXPECT_EQ(text.size(), compact_length(s, million));
    EXPECT_EQ(text.front(), first);
    EXPECT_EQ(text.back(), last);
}

// The text grows with the square of the depth (about 4 * d * d bytes at
// width 4: 40 GB here), so it is counted, not stored.
TEST_P(DeepNest, WriteIndented)
{
    const shape s = GetParam();
    const std::size_t depth = 100000;
    const json value = nest(s, depth);
    counting_streambuf buffer;
    std::ostream stream(&buffer);
    stream << std::setw(4) << value;
    EXPECT_EQ(buffer.count, indented_length(s, depth, 4));
    EXPECT_EQ(buffer.first, s == shape::objects ? '{' : '[');
    EXPECT_EQ(buffer.last, s == shape::objects ? '}' : ']');
    EXPECT_EQ(stream.width(), 0);
}

} // namespace

// Allocation failures pass std::bad_alloc on and leave nothing behind; the
// allocation counts the design promises hold.

#include "counting_new.hpp"

#include <quarrow/json.hpp>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <limits>
#include <map>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <utility>
#include <vector>

namespace
{

using counting_new::allocations_during;
using counting_new::fail_each_allocation;
using quarrow::json;

// Long enough to need a heap buffer of its own, beyond any short-string storage.
const char long_text[] = "a text that is far too long to be stored inline";

// An operation that allocates nothing tests nothing under failing allocations.
TEST(AllocationFailure, AnOperationThatAllocatesNothingFailsTheTest)
{
    EXPECT_NONFATAL_FAILURE(fail_each_allocation([] { json value = 17; }), "the operation allocated nothing");
}

TEST(AllocationFailure, ConvertingTextLeaksNothing)
{
    fail_each_allocation([] { json value = long_text; });
}

TEST(AllocationFailure, CopyingTextLeaksNothing)
{
    const json source = long_text;
    fail_each_allocation([&] { json copy = source; });
}

TEST(AllocationFailure, FailedAssignmentLeavesTheTargetUnchanged)
{
    const json source = long_text;
    json target = 17;
    fail_each_allocation([&] { target = source; },
                         [&] { EXPECT_EQ(target.get_ref<json::number_integer_t&>(), 17); });
    EXPECT_EQ(*target.get_ptr<json::string_t*>(), long_text);
}

TEST(AllocationFailure, BraceListObjectLeaksNothing)
{
    fail_each_allocation([] {
        json object = {{"the good", long_text}, {"the bad", {1, 2, long_text}}, {"the ugly", "il brutto"}};
    });
}

TEST(AllocationFailure, BraceListArrayLeaksNothing)
{
    const json element = long_text;
    fail_each_allocation([&] { json array = {element, element, 17}; });
}

TEST(AllocationFailure, MissingKeyMessageLeaksNothingAndKeepsTheObject)
{
    json object = {{"the good", "il buono"}};
    const std::string missing = long_text;
    fail_each_allocation(
        [&] {
            try
            {
                object.at(missing);
            }
            catch (const json::out_of_range&)
            {
            }
        },
        [&] { EXPECT_EQ(object.size(), 1u); });
}

TEST(AllocationFailure, ConvertingAStringOrAContainerLeaksNothing)
{
    const std::string text = long_text;
    const json::object_t object = {{"k", json(long_text)}, {"l", json({1, 2, 3})}};
    const json::array_t array = {json(long_text), json(object)};
    fail_each_allocation([&] { json value = text; });
    fail_each_allocation([&] { json value = object; });
    fail_each_allocation([&] { json value = array; });
}

// A few hundred values over four levels, arrays and objects inside each
// other, with texts that need buffers of their own: a copy made one container
// at a time must release every part built so far when any allocation fails.
TEST(AllocationFailure, CopyingANestedValueLeaksNothingAndKeepsBothSides)
{
    json source = json::array_t();
    for (int i = 0; i < 6; ++i)
    {
        json::object_t members;
        for (int j = 0; j < 6; ++j)
        {
            members.emplace(std::string(long_text) + std::to_string(j),
                            json({j, long_text, json({{"k", i}}), json(json::value_t::array), 2.5}));
        }
        json::array_t elements = {json(std::move(members)), json(), json(json::value_t::object)};
        json element = std::move(elements);
        source = json::array_t{source, element};
    }
    const std::string source_text = source.dump();
    json target = {{"before", {1, long_text}}};
    const std::string target_text = target.dump();
    fail_each_allocation([&] { target = source; },
                         [&] {
                             EXPECT_EQ(source.dump(), source_text);
                             EXPECT_EQ(target.dump(), target_text);
                         });
    EXPECT_EQ(target.dump(), source_text);
}

// Each change either completes or leaves the value exactly as it was.
TEST(AllocationFailure, ChangesCompleteOrLeaveTheValueAsItWas)
{
    struct change_case
    {
        const char* why;
        json before;
        std::function<void(json&)> change;
    };
    const json members = {{"b", long_text}, {"c", {1, long_text}}, {"a", "replaced or kept"}};
    const json elements = {long_text, {long_text, 2}};
    const std::vector<change_case> cases = {
        {"insert one element", {1, long_text}, [](json& j) { j.insert(j.begin() + 1, json(long_text)); }},
        {"insert copies", {1, long_text}, [](json& j) { j.insert(j.begin(), 3, json(long_text)); }},
        {"insert a range of itself", {1, long_text}, [](json& j) { j.insert(j.begin(), j.begin(), j.end()); }},
        {"insert a range of another array", {1, long_text},
         [&](json& j) { j.insert(j.end(), elements.begin(), elements.end()); }},
        {"insert a brace list", {1, long_text}, [](json& j) { j.insert(j.begin() + 1, {long_text, 2}); }},
        {"insert members", {{"a", long_text}, {"z", 1}}, [&](json& j) { j.insert(members); }},
        {"insert members into null", json(), [&](json& j) { j.insert(members); }},
        {"insert a range of members", {{"a", long_text}}, [&](json& j) { j.insert(members.begin(), members.end()); }},
        {"insert one member", {{"a", long_text}},
         [](json& j) { j.insert(json::object_t::value_type(long_text, long_text)); }},
        {"update", {{"a", long_text}, {"z", 1}}, [&](json& j) { j.update(members); }},
        {"update null", json(), [&](json& j) { j.update(members); }},
        {"push_back", {1, long_text}, [](json& j) { j.push_back(json(long_text)); }},
        {"push_back a copy", {1, long_text}, [&](json& j) { j.push_back(elements); }},
        {"push_back onto null", json(), [](json& j) { j.push_back(json(long_text)); }},
        {"push_back a member", {{"a", 1}}, [](json& j) { j.push_back({long_text, long_text}); }},
        {"emplace_back", {1}, [](json& j) { j.emplace_back(long_text); }},
        {"operator[] inserting a key", {{"a", long_text}}, [](json& j) { j[long_text] = long_text; }},
        {"operator[] making an object of null", json(), [](json& j) { j[long_text] = 1; }},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.why);
        json value = c.before;
        fail_each_allocation([&] { c.change(value); }, [&] { EXPECT_EQ(value.dump(), c.before.dump()); });
        EXPECT_NE(value.dump(), c.before.dump()); // the last run changed it
    }
}

TEST(AllocationFailure, ComparingAndHashingLeakNothing)
{
    const json a = {{"k", {1, {{"l", long_text}}}}};
    const json b = a;
    fail_each_allocation([&] { EXPECT_TRUE(a == b); });
    fail_each_allocation([&] { EXPECT_EQ(std::hash<json>()(a), std::hash<json>()(b)); });
}

// Native containers in and out: each conversion builds aside what it makes.
using shelf_map = std::map<std::string, std::vector<std::string>>;

TEST(AllocationFailure, ConvertingAContainerInLeaksNothing)
{
    const shelf_map native = {{long_text, {long_text, "short"}}, {"empty", {}}};
    fail_each_allocation([&] { json value = native; });
    fail_each_allocation([&] { json value = std::make_tuple(std::string(long_text), native, 1); });
}

TEST(AllocationFailure, ReadingAContainerOutLeaksNothingAndKeepsTheTarget)
{
    const json value = {{long_text, {long_text, "short"}}, {"empty", json::array()}};
    const shelf_map before = {{"kept", {long_text}}};
    shelf_map target = before;
    fail_each_allocation([&] { value.get_to(target); }, [&] { EXPECT_EQ(target, before); });
    EXPECT_EQ(target, (shelf_map{{long_text, {long_text, "short"}}, {"empty", {}}}));
    fail_each_allocation([&] { shelf_map copy = value.get<shelf_map>(); });
}

TEST(AllocationFailure, ValueWithACopiedKeyLeaksNothing)
{
    const json object = {{long_text, "il buono"}};
    fail_each_allocation([&] { EXPECT_EQ(object.value(long_text, "default"), "il buono"); });
    fail_each_allocation([&] { EXPECT_EQ(object.value("missing", long_text), long_text); });
}

// A sequence of numbers in or out takes one buffer, never a growing one.
TEST(AllocationCount, NumberSequencesAllocateTheirBufferOnce)
{
    const std::vector<int> numbers(1000, 17);
    EXPECT_EQ(allocations_during([&] { json value = numbers; }), 2u); // the buffer and its holder
    const json value = numbers;
    EXPECT_EQ(allocations_during([&] { std::vector<long> out = value.get<std::vector<long>>(); }), 1u);
}

TEST(AllocationCount, MovingInTakesOnlyTheHolder)
{
    std::string text = long_text;
    json::array_t array = {json(long_text), json(long_text)};
    EXPECT_EQ(allocations_during([&] { json value = std::move(text); }), 1u);
    EXPECT_EQ(allocations_during([&] { json value = std::move(array); }), 1u);
}

TEST(AllocationCount, MovingAValueAllocatesNothing)
{
    json source = {{"k", long_text}};
    EXPECT_EQ(allocations_during([&] {
                  json target = std::move(source);
                  source = std::move(target);
              }),
              0u);
}

// Growth moves the elements over: only the new buffer is allocated.
TEST(AllocationCount, GrowingAVectorOfValuesDoesNotCopyThem)
{
    std::vector<json> values;
    values.reserve(4);
    for (int i = 0; i < 4; ++i)
    {
        values.push_back(json({{"k", long_text}}));
    }
    json extra = long_text;
    EXPECT_EQ(allocations_during([&] { values.push_back(std::move(extra)); }), 1u);
}

// Writes into a fixed array, so the stream itself never allocates.
class fixed_streambuf : public std::streambuf
{
  public:
    fixed_streambuf()
    {
        setp(storage.data(), storage.data() + storage.size());
    }

    std::string text() const
    {
        return std::string(pbase(), pptr());
    }

  private:
    std::array<char, 1 << 16> storage;
};

// Writes value indented by 4 with each allocation failing in turn. The
// stream never allocates, so every failure is the serializer's own; each
// must leave nothing behind and the stream's width at 0.
void fail_each_allocation_while_writing(const json& value)
{
    fixed_streambuf buffer;
    std::ostream stream(&buffer);
    fail_each_allocation(
        [&] {
            stream.width(4);
            stream << value;
        },
        [&] { EXPECT_EQ(stream.width(), 0); });
}

TEST(AllocationFailure, EscapingAStringLeaksNothingAndResetsTheWidth)
{
    fail_each_allocation_while_writing({{"needs\tescaping", "line one\nline two \"quoted\""}});
}

// dump() owns its stream: a failure to grow the text must reach the caller,
// never come back as a text cut short.
TEST(AllocationFailure, DumpThrowsRatherThanReturnAShortText)
{
    json::array_t elements(2000, json("twelve bytes"));
    const json value = std::move(elements);
    const std::string expected = value.dump();
    fail_each_allocation([&] { EXPECT_EQ(value.dump(), expected); });
}

TEST(AllocationFailure, GrowingTheIndentationLeaksNothingAndResetsTheWidth)
{
    json deep = 1;
    for (int level = 0; level < 140; ++level) // 140 levels of 4 spaces pass the 512 held at first
    {
        deep = json::array_t{deep};
    }
    fail_each_allocation_while_writing(deep);
}

TEST(AllocationCount, NumberOutputAllocatesNothing)
{
    using limits = std::numeric_limits<double>;
    const json numbers = {0, -1, 17u, json(std::numeric_limits<long long>::min()),
                          json(std::numeric_limits<unsigned long long>::max()), 0.0, -0.0, 1.0, 1.0 / 3.0,
                          1e20, limits::denorm_min(), limits::quiet_NaN()};
    fixed_streambuf buffer;
    std::ostream stream(&buffer);
    json::serializer serializer(stream);
    EXPECT_EQ(allocations_during([&] { serializer.dump(numbers, false, 0, 0); }), 0u);
    EXPECT_EQ(buffer.text(), "[0,-1,17,-9223372036854775808,18446744073709551615,0.0,-0.0,1.0,"
                             "0.333333333333333,1e+20,4.94065645841247e-324,null]");
}

TEST(AllocationCount, UnescapedStringsAndLayoutAllocateNothing)
{
    const json document = {{"the good", "il buono"}, {"list", {true, json(), "plain text"}}};
    fixed_streambuf buffer;
    std::ostream stream(&buffer);
    json::serializer serializer(stream);
    EXPECT_EQ(allocations_during([&] { serializer.dump(document, true, 4, 0); }), 0u);
}

// The direct text routes: a failure passes on, and dump_to leaves the
// caller's text at its old length, whatever level the walk had reached.
TEST(AllocationFailure, DirectRoutesPassFailuresOnAndKeepTheText)
{
    json deep = {{"k", long_text}, {"n", 1.5}};
    for (int level = 0; level < 40; ++level) // deeper than the walk's own frames, so they spill to the heap
    {
        deep = json::array_t{deep, level};
    }
    for (const int indent : {-1, 4})
    {
        const std::string expected = deep.dump(indent);
        quarrow::dump_options options;
        options.indent = indent;
        fail_each_allocation([&] { EXPECT_EQ(deep.dump(indent), expected); });
        std::string text = long_text;
        fail_each_allocation([&] { deep.dump_to(text, options); }, [&] { EXPECT_EQ(text, long_text); });
        EXPECT_EQ(text, long_text + expected);
    }
}

TEST(AllocationCount, DirectRoutesAllocateOnlyTheText)
{
    const json document = {{"the good", "il buono"}, {"list", {true, json(), "needs \"escapes\"", 1.5, -17}},
                           {"nested", {{"a", {{"b", {1, 2, 3}}}}}}};
    const std::string expected = document.dump();
    std::string text;
    text.reserve(expected.size());
    EXPECT_EQ(allocations_during([&] { document.dump_to(text); }), 0u);
    EXPECT_EQ(text, expected);
    EXPECT_EQ(allocations_during([&] { document.dump(); }), 1u); // the text, made once at its full length
}

TEST(AllocationCount, NumbersAndNullAllocateNothing)
{
    EXPECT_EQ(allocations_during([] {
                  json null;
                  json number = 17;
                  json copy = number;
                  copy = null;
              }),
              0u);
}

} // namespace

// A user type whose to_json stores members into its target before it
// finishes, and throws half-way when asked to.
namespace shop
{

struct gadget
{
    bool fails_half_way;
};

struct half_way : std::runtime_error
{
    half_way()
        : std::runtime_error("half way")
    {}
};

void to_json(json& j, const gadget& g)
{
    j["name"] = long_text;
    j["parts"] = {long_text, 2};
    if (g.fails_half_way)
    {
        throw half_way();
    }
}

} // namespace shop

namespace
{

// Every road from a user's to_json into a value: what it stored before a
// throw or an allocation failure is released, and a value that existed
// before is left as it was.
TEST(AllocationFailure, AThrowingToJsonLeavesNothingOnEveryRoad)
{
    struct road
    {
        const char* why;
        std::function<void(json&, const shop::gadget&)> convert;
    };
    const std::vector<road> roads = {
        {"the converting constructor", [](json&, const shop::gadget& g) { json made = g; }},
        {"a brace list", [](json&, const shop::gadget& g) { json made = {1, g, long_text}; }},
        {"a brace list of members", [](json&, const shop::gadget& g) { json made = {{"k", g}}; }},
        {"assignment", [](json& j, const shop::gadget& g) { j = g; }},
        {"push_back", [](json& j, const shop::gadget& g) { j.push_back(g); }},
        {"emplace_back", [](json& j, const shop::gadget& g) { j.emplace_back(g); }},
        {"insert", [](json& j, const shop::gadget& g) { j.insert(j.begin(), g); }},
        {"insert copies", [](json& j, const shop::gadget& g) { j.insert(j.end(), 2, g); }},
    };
    const json before = {long_text, 1};
    for (const auto& r : roads)
    {
        SCOPED_TRACE(r.why);
        json target = before;
        const std::size_t live_before = counting_new::live_blocks();
        EXPECT_THROW(r.convert(target, shop::gadget{true}), shop::half_way);
        EXPECT_EQ(counting_new::live_blocks(), live_before);
        EXPECT_EQ(target, before);
        fail_each_allocation([&] { r.convert(target, shop::gadget{false}); },
                             [&] { EXPECT_EQ(target, before); });
    }
}

} // namespace

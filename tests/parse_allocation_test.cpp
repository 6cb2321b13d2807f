// Reading text under failing allocations leaks nothing and leaves its target
// as it was; accept allocates nothing at all.

#include "counting_new.hpp"

#include <quarrow/json.hpp>

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace
{

using counting_new::allocations_during;
using counting_new::fail_each_allocation;
using quarrow::json;

// Keys and strings long enough to need heap buffers, nested containers, and
// a repeated key.
const std::string text = "{\"a key far too long to be stored inline, surely\":[1,-2.5,\"a string far too long for "
                         "inline storage, too\",{\"b\":[true,null,{}]}],\"c\":{\"d\":\"e\",\"d\":[]}, \"f\":[]}";

TEST(ParseAllocationFailure, ParseLeaksNothingAndLeavesTheTarget)
{
    const std::string expected = json::parse(text).dump();
    json target = 17;
    fail_each_allocation([&] { target = json::parse(text); }, [&] { EXPECT_EQ(target.dump(), "17"); });
    EXPECT_EQ(target.dump(), expected);
}

TEST(ParseAllocationFailure, StreamOperatorLeaksNothingAndLeavesTheTarget)
{
    const std::string expected = json::parse(text).dump();
    json target = 17;
    bool reading = false; // the allocation failed while reading, not while making the stream
    std::ios_base::iostate state = std::ios_base::goodbit;
    fail_each_allocation(
        [&] {
            reading = false;
            std::istringstream in(text);
            reading = true;
            try
            {
                in >> target;
            }
            catch (const std::bad_alloc&)
            {
                state = in.rdstate();
                throw;
            }
        },
        [&] {
            EXPECT_EQ(target.dump(), "17");
            // Not the buffer's fault: failbit, not badbit.
            EXPECT_TRUE(not reading or state == std::ios_base::failbit) << state;
        });
    EXPECT_EQ(target.dump(), expected);
}

TEST(ParseAllocationFailure, EveryPolicyAndEveryErrorLeaksNothing)
{
    for (const auto policy : {quarrow::duplicate_key_policy::first_wins, quarrow::duplicate_key_policy::reject})
    {
        quarrow::parse_options options;
        options.duplicate_keys = policy;
        fail_each_allocation([&] {
            try
            {
                json::parse(text, options);
            }
            catch (const json::parse_error& e)
            {
                EXPECT_EQ(e.id, 104);
            }
        });
    }
    // Errors found deep inside a half-built value, and one whose message is cut.
    for (const std::string& bad : {text + "x", text.substr(0, text.size() - 2) + "1e999}",
                                  text.substr(0, 60) + "\x01"})
    {
        fail_each_allocation([&] {
            try
            {
                json::parse(bad);
            }
            catch (const json::parse_error&)
            {
            }
        });
    }
}

// More elements wait in open arrays than the builder first makes room for,
// half of them owning memory, so its stack grows while they are on it.
std::string crowded_text()
{
    std::string elements;
    for (int i = 0; i < 100; ++i)
    {
        elements += "\"a string far too long for inline storage, number " + std::to_string(i) + "\",[" +
                    std::to_string(i) + ",{\"k\":[]}],";
    }
    return "[" + elements + "[" + elements + "0]]";
}

TEST(ParseAllocationFailure, GrowingElementStackLeaksNothing)
{
    const std::string crowded = crowded_text();
    EXPECT_EQ(json::parse(crowded).dump(), crowded); // compact text writes back as itself
    json target = 17;
    fail_each_allocation([&] { target = json::parse(crowded); }, [&] { EXPECT_EQ(target.dump(), "17"); });
    EXPECT_EQ(target.dump(), crowded);
    // Cut before the end: the failure finds some 400 elements still waiting.
    const std::string cut = crowded.substr(0, crowded.size() - 1);
    fail_each_allocation([&] {
        try
        {
            json::parse(cut);
            ADD_FAILURE() << "read a cut text";
        }
        catch (const json::parse_error&)
        {
        }
    });
}

TEST(ParseAllocations, AcceptAllocatesNothing)
{
    EXPECT_EQ(allocations_during([] { EXPECT_TRUE(json::accept(text)); }), 0u);
    const std::string bad = text + "]";
    EXPECT_EQ(allocations_during([&] { EXPECT_FALSE(json::accept(bad)); }), 0u);
    const std::string deep = std::string(500, '[') + "1.5" + std::string(500, ']');
    EXPECT_EQ(allocations_during([&] { EXPECT_TRUE(json::accept(deep)); }), 0u);
}

// A dropped string is read into the reader's one buffer and copied nowhere:
// long strings dropped cost what short ones do, but for that buffer's growth,
// however many there are.
TEST(ParseAllocations, DroppedStringsAllocateNothingEach)
{
    const auto drop_strings = [](const quarrow::filter_event& e) { return e.kind != json::value_t::string; };
    const auto allocations_for = [&](const std::size_t count, const std::size_t length) {
        const std::string string = "\"" + std::string(length, 's') + "\"";
        std::string records = "[";
        for (std::size_t i = 0; i < count; ++i)
        {
            records += (i == 0 ? "{\"k\":" : ",{\"k\":") + string + ",\"n\":[" + string + "]}";
        }
        records += "]";
        return allocations_during([&] { EXPECT_EQ(json::parse(records, drop_strings).dump().size(), 9 * count + 1); });
    };
    const std::size_t buffer_growth = allocations_for(1, 200) - allocations_for(1, 1);
    EXPECT_LE(buffer_growth, 2u);
    EXPECT_EQ(allocations_for(100, 200), allocations_for(100, 1) + buffer_growth);
}

} // namespace

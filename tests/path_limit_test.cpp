// Paths and patches at the limits: values a million levels deep, walked with
// no stack in proportion to their depth, and allocations failing one by one,
// after which nothing leaks and the value is as it was.

#include "counting_new.hpp"

#include <quarrow/json.hpp>

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <utility>

namespace
{

using counting_new::fail_each_allocation;
using quarrow::json;
using quarrow::json_pointer;
using namespace quarrow::literals;

const std::size_t million = 1000000;

/// leaf inside `depth` objects {"k": ...} (or arrays [...]), built from the
/// inside out so that nothing recurses while building it.
json nest(const bool objects, const std::size_t depth, json leaf)
{
    for (std::size_t level = 0; level < depth; ++level)
    {
        if (objects)
        {
            json::object_t holder;
            holder.emplace("k", std::move(leaf));
            leaf = std::move(holder);
        }
        else
        {
            json::array_t holder(1);
            holder[0] = std::move(leaf);
            leaf = std::move(holder);
        }
    }
    return leaf;
}

/// The pointer text of the leaf of such a nest.
std::string leaf_text(const bool objects, const std::size_t depth)
{
    std::string text;
    for (std::size_t level = 0; level < depth; ++level)
    {
        text += objects ? "/k" : "/0";
    }
    return text;
}

TEST(PathDepth, APointerAMillionTokensLongReachesTheLeaf)
{
    json value = nest(false, million, 1);
    const json_pointer leaf(leaf_text(false, million));
    EXPECT_EQ(leaf.size(), million);
    EXPECT_EQ(value.at(leaf), 1);
    EXPECT_TRUE(value.contains(leaf));
    EXPECT_FALSE(value.contains(leaf / 0));
    EXPECT_THROW(value[leaf / "k"], json::type_error);
    value[leaf] = 2;
    EXPECT_EQ(value.at(leaf), 2);
}

TEST(PathDepth, DiffOfAMillionLevelsIsOneReplaceAtTheBottom)
{
    const json source = nest(false, million, 1);
    const json target = nest(false, million, 2);
    const json patch = json::diff(source, target);
    ASSERT_EQ(patch.size(), 1u);
    EXPECT_EQ(patch[0]["op"], "replace");
    EXPECT_EQ(patch[0]["path"], leaf_text(false, million));
    EXPECT_EQ(source.patch(patch), target);
}

TEST(PathDepth, MergePatchAMillionLevelsDown)
{
    json value = nest(true, million, R"({"keep": 1, "drop": 2})"_json);
    value.merge_patch(nest(true, million, R"({"drop": null, "add": 3})"_json));
    EXPECT_EQ(value.at(json_pointer(leaf_text(true, million))), R"({"keep": 1, "add": 3})"_json);
}

TEST(PathDepth, FlattenAndUnflattenAMillionLevels)
{
    const json value = nest(true, million, 1);
    const json flat = value.flatten();
    ASSERT_EQ(flat.size(), 1u);
    EXPECT_EQ(flat.begin().key(), leaf_text(true, million));
    EXPECT_EQ(flat.unflatten(), value);
}

TEST(PathAllocation, LookupAllocatesNothing)
{
    const json value = R"({"a long key, longer than any inline string": [0, {"b": [1, 2, 3]}]})"_json;
    const json_pointer there("/a long key, longer than any inline string/1/b/2");
    const json_pointer missing("/a long key, longer than any inline string/1/c");
    EXPECT_EQ(counting_new::allocations_during([&] {
                  EXPECT_EQ(value.at(there), 3);
                  EXPECT_EQ(value[there], 3);
                  EXPECT_TRUE(value.contains(there));
                  EXPECT_FALSE(value.contains(missing));
                  EXPECT_EQ(value.value(missing, 7), 7);
              }),
              0u);
}

TEST(PathAllocation, FailedPatchLeavesTheValueAsItWas)
{
    const json before = R"({"a": {"b": [1, 2, 3]}, "c": "a text too long for the inline storage of a string"})"_json;
    const json patch = R"([{"op": "add", "path": "/a/b/1", "value": {"x": [1, 2]}},
                           {"op": "remove", "path": "/a/b/0"},
                           {"op": "replace", "path": "/c", "value": "another text too long to be stored inline"},
                           {"op": "move", "from": "/a/b", "path": "/d"},
                           {"op": "copy", "from": "/d", "path": "/a/e"},
                           {"op": "test", "path": "/a/e/0/x/1", "value": 2}])"_json;
    json value = before;
    fail_each_allocation([&] { value.patch_inplace(patch); }, [&] { EXPECT_EQ(value, before); });
    EXPECT_EQ(value, before.patch(patch));
    EXPECT_NE(value, before);
}

TEST(PathAllocation, FailedMergePatchLeavesTheValueAsItWas)
{
    const json before = R"({"a": {"b": 1, "c": [1, 2]}, "d": "a text too long for the inline storage"})"_json;
    const json patch = R"({"a": {"b": null, "c": {"e": "another text too long to be stored inline"}}, "f": [3]})"_json;
    json value = before;
    fail_each_allocation([&] { value.merge_patch(patch); }, [&] { EXPECT_EQ(value, before); });
    EXPECT_EQ(value, R"({"a": {"c": {"e": "another text too long to be stored inline"}},
                         "d": "a text too long for the inline storage", "f": [3]})"_json);
}

TEST(PathAllocation, FailedSubscriptByPointerLeavesTheValueAsItWas)
{
    const json before = R"({"a": [1], "b": null})"_json;
    for (const char* text : {"/a/3/x/0", "/b/c/0/d", "/new/key/that/is/long/enough/to/allocate"})
    {
        SCOPED_TRACE(text);
        const json_pointer pointer(text);
        json value = before;
        fail_each_allocation([&] { value[pointer] = 1; }, [&] { EXPECT_EQ(value, before); });
        EXPECT_EQ(value.at(pointer), 1);
    }
}

TEST(PathAllocation, DiffFlattenAndUnflattenLeakNothing)
{
    const json source = R"({"a": {"b": [1, 2, 3]}, "long key that allocates": "x"})"_json;
    const json target = R"({"a": {"b": [1, 4]}, "c": "a text too long for the inline storage"})"_json;
    fail_each_allocation([&] { json::diff(source, target); }, [] {});
    fail_each_allocation([&] { source.flatten(); }, [] {});
    const json flat = target.flatten();
    fail_each_allocation([&] { flat.unflatten(); }, [] {});
}

} // namespace

// JSON Patch, diff, merge patches and flattened values.

#include <quarrow/json.hpp>

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

namespace
{

using quarrow::json;
using namespace quarrow::literals;

struct patch_case
{
    const char* name;
    json document;
    json patch;
    json expected; // discarded when the patch must fail
};

const json fails(json::value_t::discarded);

// RFC 6902, Appendix A, every example but A.13, whose patch is not even one
// JSON text of unique keys (see below).
TEST(Patch, AppliesTheExamplesOfRfc6902)
{
    const std::vector<patch_case> cases = {
        {"A.1 adding an object member", R"({"foo": "bar"})"_json,
         R"([{"op": "add", "path": "/baz", "value": "qux"}])"_json, R"({"baz": "qux", "foo": "bar"})"_json},
        {"A.2 adding an array element", R"({"foo": ["bar", "baz"]})"_json,
         R"([{"op": "add", "path": "/foo/1", "value": "qux"}])"_json, R"({"foo": ["bar", "qux", "baz"]})"_json},
        {"A.3 removing an object member", R"({"baz": "qux", "foo": "bar"})"_json,
         R"([{"op": "remove", "path": "/baz"}])"_json, R"({"foo": "bar"})"_json},
        {"A.4 removing an array element", R"({"foo": ["bar", "qux", "baz"]})"_json,
         R"([{"op": "remove", "path": "/foo/1"}])"_json, R"({"foo": ["bar", "baz"]})"_json},
        {"A.5 replacing a value", R"({"baz": "qux", "foo": "bar"})"_json,
         R"([{"op": "replace", "path": "/baz", "value": "boo"}])"_json, R"({"baz": "boo", "foo": "bar"})"_json},
        {"A.6 moving a value", R"({"foo": {"bar": "baz", "waldo": "fred"}, "qux": {"corge": "grault"}})"_json,
         R"([{"op": "move", "from": "/foo/waldo", "path": "/qux/thud"}])"_json,
         R"({"foo": {"bar": "baz"}, "qux": {"corge": "grault", "thud": "fred"}})"_json},
        {"A.7 moving an array element", R"({"foo": ["all", "grass", "cows", "eat"]})"_json,
         R"([{"op": "move", "from": "/foo/1", "path": "/foo/3"}])"_json,
         R"({"foo": ["all", "cows", "eat", "grass"]})"_json},
        {"A.8 testing a value: success", R"({"baz": "qux", "foo": ["a", 2, "c"]})"_json,
         R"([{"op": "test", "path": "/baz", "value": "qux"}, {"op": "test", "path": "/foo/1", "value": 2}])"_json,
         R"({"baz": "qux", "foo": ["a", 2, "c"]})"_json},
        {"A.9 testing a value: error", R"({"baz": "qux"})"_json,
         R"([{"op": "test", "path": "/baz", "value": "bar"}])"_json, fails},
        {"A.10 adding a nested member object", R"({"foo": "bar"})"_json,
         R"([{"op": "add", "path": "/child", "value": {"grandchild": {}}}])"_json,
         R"({"foo": "bar", "child": {"grandchild": {}}})"_json},
        {"A.11 ignoring unrecognized elements", R"({"foo": "bar"})"_json,
         R"([{"op": "add", "path": "/baz", "value": "qux", "xyz": 123}])"_json,
         R"({"foo": "bar", "baz": "qux"})"_json},
        {"A.12 adding to a nonexistent target", R"({"foo": "bar"})"_json,
         R"([{"op": "add", "path": "/baz/bat", "value": "qux"}])"_json, fails},
        {"A.14 ~ escape ordering", R"({"/": 9, "~1": 10})"_json,
         R"([{"op": "test", "path": "/~01", "value": 10}])"_json, R"({"/": 9, "~1": 10})"_json},
        {"A.15 comparing strings and numbers", R"({"/": 9, "~1": 10})"_json,
         R"([{"op": "test", "path": "/~01", "value": "10"}])"_json, fails},
        {"A.16 adding an array value", R"({"foo": ["bar"]})"_json,
         R"([{"op": "add", "path": "/foo/-", "value": ["abc", "def"]}])"_json,
         R"({"foo": ["bar", ["abc", "def"]]})"_json},
    };
    for (const patch_case& c : cases)
    {
        SCOPED_TRACE(c.name);
        if (c.expected.is_discarded())
        {
            EXPECT_THROW(c.document.patch(c.patch), json::exception);
            continue;
        }
        EXPECT_EQ(c.document.patch(c.patch), c.expected);
        json value = c.document;
        value.patch_inplace(c.patch);
        EXPECT_EQ(value, c.expected);
    }
    // A.13: an operation with two "op" members is refused where it is read.
    quarrow::parse_options unique;
    unique.duplicate_keys = quarrow::duplicate_key_policy::reject;
    EXPECT_THROW(json::parse(R"([{"op": "add", "path": "/baz", "value": "qux", "op": "remove"}])", unique),
                 json::parse_error);
}

TEST(Patch, OperationsOnTheWholeDocumentAndEdgesOfArrays)
{
    const std::vector<patch_case> cases = {
        {"add at the root replaces it", R"({"a": 1})"_json, R"([{"op": "add", "path": "", "value": [1]}])"_json,
         R"([1])"_json},
        {"replace at the root", R"([1])"_json, R"([{"op": "replace", "path": "", "value": 2}])"_json, 2},
        {"test of the root", R"([1])"_json, R"([{"op": "test", "path": "", "value": [1.0]}])"_json, R"([1])"_json},
        {"remove of the root", R"([1])"_json, R"([{"op": "remove", "path": ""}])"_json, fails},
        {"add at the size appends", R"([1])"_json, R"([{"op": "add", "path": "/1", "value": 2}])"_json,
         R"([1, 2])"_json},
        {"add past the size", R"([1])"_json, R"([{"op": "add", "path": "/2", "value": 2}])"_json, fails},
        {"add with a leading zero", R"([1])"_json, R"([{"op": "add", "path": "/00", "value": 2}])"_json, fails},
        {"add replaces a member", R"({"a": 1})"_json, R"([{"op": "add", "path": "/a", "value": 2}])"_json,
         R"({"a": 2})"_json},
        {"remove of -", R"([1])"_json, R"([{"op": "remove", "path": "/-"}])"_json, fails},
        {"replace of a missing member", R"({"a": 1})"_json,
         R"([{"op": "replace", "path": "/b", "value": 2}])"_json, fails},
        {"move onto itself", R"({"a": {"b": 1}})"_json, R"([{"op": "move", "from": "/a", "path": "/a"}])"_json,
         R"({"a": {"b": 1}})"_json},
        {"move into its own child", R"({"a": {"b": 1}})"_json,
         R"([{"op": "move", "from": "/a", "path": "/a/b"}])"_json, fails},
        {"move to a sibling whose name it starts", R"({"a": 1})"_json,
         R"([{"op": "move", "from": "/a", "path": "/ab"}])"_json, R"({"ab": 1})"_json},
        {"move up out of itself", R"({"a": {"b": {"c": 1}}})"_json,
         R"([{"op": "move", "from": "/a/b", "path": "/a"}])"_json, R"({"a": {"c": 1}})"_json},
        {"move within an array, backwards", R"([1, 2, 3])"_json,
         R"([{"op": "move", "from": "/2", "path": "/0"}])"_json, R"([3, 1, 2])"_json},
        {"copy into its own child", R"({"a": {"b": 1}})"_json,
         R"([{"op": "copy", "from": "/a", "path": "/a/c"}])"_json, R"({"a": {"b": 1, "c": {"b": 1}}})"_json},
        {"copy of the whole", R"([1])"_json, R"([{"op": "copy", "from": "", "path": "/-"}])"_json,
         R"([1, [1]])"_json},
        {"each operation sees the ones before", R"({})"_json,
         R"([{"op": "add", "path": "/a", "value": []}, {"op": "add", "path": "/a/-", "value": 1},
             {"op": "copy", "from": "/a", "path": "/b"}, {"op": "test", "path": "/b/0", "value": 1}])"_json,
         R"({"a": [1], "b": [1]})"_json},
        {"an empty patch", R"({"a": 1})"_json, R"([])"_json, R"({"a": 1})"_json},
    };
    for (const patch_case& c : cases)
    {
        SCOPED_TRACE(c.name);
        if (c.expected.is_discarded())
        {
            EXPECT_THROW(c.document.patch(c.patch), json::exception);
        }
        else
        {
            EXPECT_EQ(c.document.patch(c.patch), c.expected);
        }
    }
}

// The operations before the failing one succeed on their own, so only the
// all-or-nothing rule can bring the document back.
TEST(Patch, AFailedPatchLeavesTheValueAsItWasAndSaysWhy)
{
    const json document = R"({"a": {"b": [1, 2]}, "c": "text"})"_json;
    const std::string good = R"({"op": "add", "path": "/a/b/-", "value": 3}, {"op": "remove", "path": "/c"}, )";
    struct failure
    {
        std::string operation;
        std::string what;
    };
    const std::vector<failure> failures = {
        {R"(17)", "[json.exception.other_error.504] patch operation 2 is malformed: expected an object"},
        {R"({"path": "/a"})",
         "[json.exception.other_error.504] patch operation 2 is malformed: expected member 'op' holding a string"},
        {R"({"op": 1, "path": "/a"})",
         "[json.exception.other_error.504] patch operation 2 is malformed: expected member 'op' holding a string"},
        {R"({"op": "add", "value": 1})", "[json.exception.other_error.504] patch operation 2 is malformed: expected "
                                         "member 'path' holding a JSON pointer"},
        {R"({"op": "add", "path": "a", "value": 1})",
         "[json.exception.other_error.504] patch operation 2 is malformed: expected member 'path' holding a JSON "
         "pointer, not 'a'"},
        {R"({"op": "add", "path": "/a~"})",
         "[json.exception.other_error.504] patch operation 2 is malformed: expected member 'path' holding a JSON "
         "pointer, not '/a~'"},
        {R"({"op": "replace", "path": "/a"})",
         "[json.exception.other_error.504] patch operation 2 is malformed: expected member 'value'"},
        {R"({"op": "move", "path": "/a"})", "[json.exception.other_error.504] patch operation 2 is malformed: "
                                            "expected member 'from' holding a JSON pointer"},
        {R"({"op": "copy", "from": 0, "path": "/a"})",
         "[json.exception.other_error.504] patch operation 2 is malformed: expected member 'from' holding a JSON "
         "pointer"},
        {R"({"op": "merge", "path": "/a"})", "[json.exception.other_error.505] patch operation 2 has unknown op 'merge'"},
        {R"({"op": "Add", "path": "/a", "value": 1})",
         "[json.exception.other_error.505] patch operation 2 has unknown op 'Add'"},
        {R"({"op": "add", "path": "/x/y", "value": 1})",
         "[json.exception.out_of_range.405] patch operation 2 (add): no value at path '/x/y'"},
        {R"({"op": "add", "path": "/a/b/9", "value": 1})",
         "[json.exception.out_of_range.405] patch operation 2 (add): no value at path '/a/b/9'"},
        {R"({"op": "remove", "path": "/c"})",
         "[json.exception.out_of_range.405] patch operation 2 (remove): no value at path '/c'"},
        {R"({"op": "remove", "path": ""})",
         "[json.exception.out_of_range.405] patch operation 2 (remove): no value at path ''"},
        {R"({"op": "replace", "path": "/a/b/3", "value": 1})",
         "[json.exception.out_of_range.405] patch operation 2 (replace): no value at path '/a/b/3'"},
        {R"({"op": "move", "from": "/c", "path": "/d"})",
         "[json.exception.out_of_range.405] patch operation 2 (move): no value at from '/c'"},
        {R"({"op": "move", "from": "/a/b", "path": "/x/y"})",
         "[json.exception.out_of_range.405] patch operation 2 (move): no value at path '/x/y'"},
        {R"({"op": "copy", "from": "/a/x", "path": "/d"})",
         "[json.exception.out_of_range.405] patch operation 2 (copy): no value at from '/a/x'"},
        {R"({"op": "move", "from": "/a", "path": "/a/b/0"})",
         "[json.exception.other_error.507] patch operation 2 (move): cannot move '/a' into its own child '/a/b/0'"},
        {R"({"op": "test", "path": "/a/b", "value": [1, 2]})",
         "[json.exception.other_error.506] patch operation 2 (test) failed: the value at path '/a/b' differs"},
        {R"({"op": "test", "path": "/c", "value": "text"})",
         "[json.exception.other_error.506] patch operation 2 (test) failed: the value at path '/c' differs"},
    };
    for (const failure& f : failures)
    {
        SCOPED_TRACE(f.operation);
        const json patch = json::parse("[" + good + f.operation + "]");
        json value = document;
        try
        {
            value.patch_inplace(patch);
            ADD_FAILURE() << "patched into " << value;
        }
        catch (const json::exception& e)
        {
            EXPECT_EQ(std::string(e.what()), f.what);
        }
        EXPECT_EQ(value, document);
    }
    json value = document;
    try
    {
        value.patch_inplace(R"({"op": "remove", "path": "/c"})"_json);
        ADD_FAILURE() << "patched into " << value;
    }
    catch (const json::type_error& e)
    {
        EXPECT_STREQ(e.what(), "[json.exception.type_error.315] patch() needs an array of operations, but is given "
                               "object");
    }
    EXPECT_EQ(value, document);
}

// A patch may be part of the value it changes.
TEST(Patch, ReadsAPatchThatLivesInTheValueItChanges)
{
    json value = R"({"ops": [{"op": "remove", "path": "/ops"}, {"op": "add", "path": "/done", "value": true}]})"_json;
    value.patch_inplace(value["ops"]);
    EXPECT_EQ(value, R"({"done": true})"_json);
    value = R"({"m": {"a": {"m": null}}})"_json;
    value.merge_patch(value["m"]);
    EXPECT_EQ(value, R"({"m": {"a": {"m": null}}, "a": {}})"_json);
}

TEST(Diff, GivesAPatchFromSourceToTarget)
{
    struct diff_case
    {
        json source;
        json target;
        json expected;
        bool padded; // both get a long member "pad", so that small changes are worth writing as such
    };
    const std::vector<diff_case> cases = {
        {R"({"a": 1})"_json, R"({"a": 1.0})"_json, R"([])"_json, false},
        {R"([1, [2, {"k": "v"}]])"_json, R"([1, [2, {"k": "v"}]])"_json, R"([])"_json, false},
        {R"({"a": {"b": 1, "c": 2, "d": [1, 2, 3]}})"_json, R"({"a": {"b": 1, "c": 3, "d": [1, 2], "f": null}})"_json,
         R"([{"op": "replace", "path": "/a/c", "value": 3}, {"op": "remove", "path": "/a/d/2"},
             {"op": "add", "path": "/a/f", "value": null}])"_json,
         true},
        {R"({"long name": [10, 20], "x~/": 0})"_json, R"({"long name": [10, 20, 30, 40], "x~/": 1})"_json,
         R"([{"op": "add", "path": "/long name/2", "value": 30}, {"op": "add", "path": "/long name/3", "value": 40},
             {"op": "replace", "path": "/x~0~1", "value": 1}])"_json,
         true},
        {R"({"list": [1, 2, 3, 4, 5, 6]})"_json, R"({"list": [1, 2]})"_json,
         R"([{"op": "remove", "path": "/list/5"}, {"op": "remove", "path": "/list/4"},
             {"op": "remove", "path": "/list/3"}, {"op": "remove", "path": "/list/2"}])"_json,
         true},
        {R"({"a": [1]})"_json, R"({"a": {"0": 1}})"_json,
         R"([{"op": "replace", "path": "/a", "value": {"0": 1}}])"_json, false},
        {R"(1)"_json, R"("1")"_json, R"([{"op": "replace", "path": "", "value": "1"}])"_json, false},
        {R"({"a": 1, "b": 2, "c": 3})"_json, R"({"x": 1, "y": 2, "z": 3})"_json,
         R"([{"op": "replace", "path": "", "value": {"x": 1, "y": 2, "z": 3}}])"_json, false},
    };
    const std::string pad(200, '.');
    for (diff_case c : cases)
    {
        if (c.padded)
        {
            c.source["pad"] = pad;
            c.target["pad"] = pad;
        }
        SCOPED_TRACE(c.source.dump() + " to " + c.target.dump());
        const json patch = json::diff(c.source, c.target);
        EXPECT_EQ(patch, c.expected);
        EXPECT_EQ(c.source.patch(patch), c.target);
        json whole = R"([{"op": "replace", "path": ""}])"_json;
        whole[0]["value"] = c.target;
        EXPECT_LE(patch.dump().size(), whole.dump().size());
    }
}

// RFC 7396, Appendix A, every example.
TEST(MergePatch, AppliesTheExamplesOfRfc7396)
{
    const std::vector<patch_case> cases = {
        {"1", R"({"a":"b"})"_json, R"({"a":"c"})"_json, R"({"a":"c"})"_json},
        {"2", R"({"a":"b"})"_json, R"({"b":"c"})"_json, R"({"a":"b","b":"c"})"_json},
        {"3", R"({"a":"b"})"_json, R"({"a":null})"_json, R"({})"_json},
        {"4", R"({"a":"b","b":"c"})"_json, R"({"a":null})"_json, R"({"b":"c"})"_json},
        {"5", R"({"a":["b"]})"_json, R"({"a":"c"})"_json, R"({"a":"c"})"_json},
        {"6", R"({"a":"c"})"_json, R"({"a":["b"]})"_json, R"({"a":["b"]})"_json},
        {"7", R"({"a":{"b":"c"}})"_json, R"({"a":{"b":"d","c":null}})"_json, R"({"a":{"b":"d"}})"_json},
        {"8", R"({"a":[{"b":"c"}]})"_json, R"({"a":[1]})"_json, R"({"a":[1]})"_json},
        {"9", R"(["a","b"])"_json, R"(["c","d"])"_json, R"(["c","d"])"_json},
        {"10", R"({"a":"b"})"_json, R"(["c"])"_json, R"(["c"])"_json},
        {"11", R"({"a":"foo"})"_json, R"(null)"_json, R"(null)"_json},
        {"12", R"({"a":"foo"})"_json, R"("bar")"_json, R"("bar")"_json},
        {"13", R"({"e":null})"_json, R"({"a":1})"_json, R"({"e":null,"a":1})"_json},
        {"14", R"([1,2])"_json, R"({"a":"b","c":null})"_json, R"({"a":"b"})"_json},
        {"15", R"({})"_json, R"({"a":{"bb":{"ccc":null}}})"_json, R"({"a":{"bb":{}}})"_json},
    };
    for (const patch_case& c : cases)
    {
        SCOPED_TRACE(c.name);
        json value = c.document;
        value.merge_patch(c.patch);
        EXPECT_EQ(value, c.expected);
    }
}

TEST(Flatten, KeysEveryLeafByItsPointerAndComesBack)
{
    struct flat_case
    {
        json value;
        json flat;
        bool comes_back;
    };
    const std::vector<flat_case> cases = {
        {R"({"a": {"b": [1, {"c": null}], "e": {}}, "f": [], "g~/": "x"})"_json,
         R"({"/a/b/0": 1, "/a/b/1/c": null, "/a/e": {}, "/f": [], "/g~0~1": "x"})"_json, true},
        {R"(17)"_json, R"({"": 17})"_json, true},
        {R"([])"_json, R"({"": []})"_json, true},
        {R"({})"_json, R"({"": {}})"_json, true},
        {R"({"": {"": 1}})"_json, R"({"//": 1})"_json, true},
        // An object whose keys are indexes comes back as an array: pointers
        // do not tell the two apart.
        {R"({"0": true})"_json, R"({"/0": true})"_json, false},
    };
    for (const flat_case& c : cases)
    {
        SCOPED_TRACE(c.value.dump());
        EXPECT_EQ(c.value.flatten(), c.flat);
        EXPECT_EQ(c.flat.unflatten() == c.value, c.comes_back);
    }
    EXPECT_EQ(R"({"/0": true})"_json.unflatten(), R"([true])"_json);
}

TEST(Flatten, UnflattenRefusesWhatIsNoFlattenedValue)
{
    struct refusal
    {
        json flat;
        std::string what;
    };
    const std::vector<refusal> cases = {
        {R"([1])"_json, "[json.exception.type_error.315] unflatten() needs an object, but is given array"},
        {R"({"a": 1})"_json, "[json.exception.parse_error.106] invalid JSON pointer at line 1, column 1: expected "
                             "'/' to start a reference token, found 'a'"},
        {R"({"/a": 1, "/a/b": 2})"_json, "[json.exception.type_error.313] cannot use pointer '/a/b' with number"},
        {R"({"/a/0": 1, "/a/b": 2})"_json, "[json.exception.type_error.314] pointer '/a/b' uses 'b' as an array index"},
    };
    for (const refusal& c : cases)
    {
        SCOPED_TRACE(c.flat.dump());
        try
        {
            ADD_FAILURE() << c.flat.unflatten();
        }
        catch (const json::exception& e)
        {
            EXPECT_EQ(std::string(e.what()), c.what);
        }
    }
}

} // namespace

// JSON Pointer: text in and out, and values reached, made and removed by pointer.

#include <quarrow/json.hpp>

#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

namespace
{

using quarrow::json;
using quarrow::json_pointer;
using namespace quarrow::literals;

static_assert(std::is_same<json::json_pointer, json_pointer>::value, "one pointer type for json");
static_assert(not std::is_convertible<const char*, json_pointer>::value and
                  not std::is_convertible<std::string, json_pointer>::value,
              "text becomes a pointer only when asked: j.at(\"key\") stays a key lookup");

/// The text a URI fragment's percent escapes stand for (RFC 3986).
std::string percent_decoded(const std::string& fragment)
{
    std::string text;
    for (std::size_t i = 0; i < fragment.size(); ++i)
    {
        if (fragment[i] == '%')
        {
            text += static_cast<char>(std::stoi(fragment.substr(i + 1, 2), nullptr, 16));
            i += 2;
        }
        else
        {
            text += fragment[i];
        }
    }
    return text;
}

// RFC 6901, section 5: every example, in the JSON string form and in the URI
// fragment form, whose decoded text is the same pointer.
TEST(Pointer, ResolvesTheExamplesOfRfc6901)
{
    const json document = R"({"foo": ["bar", "baz"], "": 0, "a/b": 1, "c%d": 2, "e^f": 3, "g|h": 4,
                              "i\\j": 5, "k\"l": 6, " ": 7, "m~n": 8})"_json;
    struct example
    {
        std::string text;
        std::string fragment;
        json expected;
    };
    const std::vector<example> examples = {
        {"", "#", document},
        {"/foo", "#/foo", {"bar", "baz"}},
        {"/foo/0", "#/foo/0", "bar"},
        {"/", "#/", 0},
        {"/a~1b", "#/a~1b", 1},
        {"/c%d", "#/c%25d", 2},
        {"/e^f", "#/e%5Ef", 3},
        {"/g|h", "#/g%7Ch", 4},
        {"/i\\j", "#/i%5Cj", 5},
        {"/k\"l", "#/k%22l", 6},
        {"/ ", "#/%20", 7},
        {"/m~0n", "#/m~0n", 8},
    };
    for (const example& e : examples)
    {
        SCOPED_TRACE(e.text);
        const json_pointer pointer(e.text);
        EXPECT_EQ(json_pointer(percent_decoded(e.fragment.substr(1))), pointer);
        EXPECT_EQ(document.at(pointer), e.expected);
        EXPECT_EQ(document[pointer], e.expected);
        EXPECT_TRUE(document.contains(pointer));
        EXPECT_EQ(pointer.to_string(), e.text);
    }
}

TEST(Pointer, TextThatIsNoPointerThrowsWithItsByte)
{
    struct bad_text
    {
        std::string text;
        int id;
        std::size_t byte;
        std::string message;
    };
    const std::vector<bad_text> cases = {
        {"a", 106, 0, "expected '/' to start a reference token, found 'a'"},
        {"#/a", 106, 0, "expected '/' to start a reference token, found '#'"},
        {"~0", 106, 0, "expected '/' to start a reference token, found '~'"},
        {"/~", 107, 2, "expected '0' or '1' after '~', found end of input"},
        {"/a~2", 107, 3, "expected '0' or '1' after '~', found '2'"},
        {"/a/~~0", 107, 4, "expected '0' or '1' after '~', found '~'"},
        {"/~0~/", 107, 4, "expected '0' or '1' after '~', found '/'"},
        {std::string("/x~\x01", 4), 107, 3, "expected '0' or '1' after '~', found '\\x01'"},
        {"/x~\xC3\xA9", 107, 3, "expected '0' or '1' after '~', found '\\xC3'"},
    };
    for (const bad_text& c : cases)
    {
        SCOPED_TRACE(c.text);
        try
        {
            json_pointer pointer(c.text);
            ADD_FAILURE() << "read as " << pointer;
        }
        catch (const json::parse_error& e)
        {
            EXPECT_EQ(e.id, c.id);
            EXPECT_EQ(e.byte, c.byte);
            EXPECT_EQ(e.line, 1u);
            EXPECT_EQ(e.column, c.byte + 1);
            EXPECT_EQ(std::string(e.what()), "[json.exception.parse_error." + std::to_string(c.id) +
                                                 "] invalid JSON pointer at line 1, column " +
                                                 std::to_string(c.byte + 1) + ": " + c.message);
        }
    }
    EXPECT_THROW(json_pointer(static_cast<const char*>(nullptr)), json::other_error);
}

TEST(Pointer, IsBuiltAndTakenApartTokenByToken)
{
    const json_pointer items = "/data/items"_json_pointer;
    EXPECT_EQ((items / 0 / "a/b~c").to_string(), "/data/items/0/a~1b~0c");
    EXPECT_EQ((json_pointer() / items / "id").to_string(), "/data/items/id");
    EXPECT_EQ(items.back(), "items");
    EXPECT_EQ(items.parent_pointer(), "/data"_json_pointer);
    EXPECT_EQ(json_pointer().parent_pointer(), json_pointer());
    EXPECT_TRUE(json_pointer("").empty());
    EXPECT_FALSE(items.empty());
    EXPECT_EQ(json_pointer("/").size(), 1u);
    EXPECT_EQ(json_pointer("/").back(), "");

    json_pointer built;
    built.push_back("a/b");
    built /= 7;
    EXPECT_EQ(built, "/a~1b/7"_json_pointer);
    built.pop_back();
    built.pop_back();
    EXPECT_TRUE(built.empty());
    EXPECT_THROW(built.pop_back(), json::other_error);
    EXPECT_THROW(built.back(), json::other_error);

    std::ostringstream out;
    out << "/m~0n/"_json_pointer;
    EXPECT_EQ(out.str(), "/m~0n/");

    // Ordered by tokens, unescaped: "/a/b" before "/a~1b" although '/' < '~'
    // holds in the text too; "/a" before "/a/b"; "/" (one empty token) after "".
    const std::vector<json_pointer> ascending = {json_pointer(), "/"_json_pointer, "/a"_json_pointer,
                                                 "/a/b"_json_pointer, "/a~1b"_json_pointer, "/b"_json_pointer};
    for (std::size_t i = 0; i < ascending.size(); ++i)
    {
        for (std::size_t k = 0; k < ascending.size(); ++k)
        {
            EXPECT_EQ(ascending[i] < ascending[k], i < k) << ascending[i] << " < " << ascending[k];
            EXPECT_EQ(ascending[i] == ascending[k], i == k) << ascending[i] << " == " << ascending[k];
            EXPECT_EQ(ascending[i] != ascending[k], i != k) << ascending[i] << " != " << ascending[k];
        }
    }
}

// A key that looks like a pointer is still a key: only a json_pointer walks.
TEST(PointerAccess, TextStaysAKey)
{
    json value = {{"/a", 1}, {"a", {{"b", 2}}}};
    EXPECT_EQ(value.at("/a"), 1);
    EXPECT_EQ(value["/a"], 1);
    EXPECT_TRUE(value.contains("/a"));
    EXPECT_FALSE(value.contains("/a/b"));
    EXPECT_TRUE(value.contains("/a/b"_json_pointer));
    EXPECT_EQ(value.at("/a/b"_json_pointer), 2);
    EXPECT_EQ(value.value("/a", 0), 1);
    EXPECT_EQ(value.value("/a/b"_json_pointer, 0), 2);
}

TEST(PointerAccess, AMissingPathThrowsNamingThePointerAndChangesNothing)
{
    const json document = R"({"a": {"b": [10, 20]}, "s": "text", "n": null})"_json;
    struct miss
    {
        std::string pointer;
        std::string what;
    };
    const std::vector<miss> misses = {
        {"/x", "[json.exception.out_of_range.404] key 'x' not found at pointer '/x'"},
        {"/a/x/y", "[json.exception.out_of_range.404] key 'x' not found at pointer '/a/x'"},
        {"/a/b/2", "[json.exception.out_of_range.402] array index 2 is out of range at pointer '/a/b/2'"},
        {"/a/b/-", "[json.exception.out_of_range.402] array index - is out of range at pointer '/a/b/-'"},
        {"/a/b/18446744073709551616/c",
         "[json.exception.out_of_range.402] array index 18446744073709551616 is out of range at pointer "
         "'/a/b/18446744073709551616'"},
        {"/a/b/01", "[json.exception.type_error.314] pointer '/a/b/01' uses '01' as an array index"},
        {"/a/b/x", "[json.exception.type_error.314] pointer '/a/b/x' uses 'x' as an array index"},
        {"/a/b/+1", "[json.exception.type_error.314] pointer '/a/b/+1' uses '+1' as an array index"},
        {"/a/b/", "[json.exception.type_error.314] pointer '/a/b/' uses '' as an array index"},
        {"/s/0", "[json.exception.type_error.313] cannot use pointer '/s/0' with string"},
        {"/n/k", "[json.exception.type_error.313] cannot use pointer '/n/k' with null"},
        {"/a/b/0/z", "[json.exception.type_error.313] cannot use pointer '/a/b/0/z' with number"},
        {"/a~1b", "[json.exception.out_of_range.404] key 'a/b' not found at pointer '/a~1b'"},
    };
    json changed = document;
    for (const miss& m : misses)
    {
        SCOPED_TRACE(m.pointer);
        const json_pointer pointer(m.pointer);
        EXPECT_FALSE(document.contains(pointer));
        EXPECT_EQ(document.value(pointer, 17), 17);
        EXPECT_EQ(document.value(pointer, "default"), "default");
        const std::vector<std::function<void()>> forms = {
            [&] { document.at(pointer); },
            [&] { document[pointer]; },
            [&] { changed.at(pointer); },
            [&] { changed.erase(pointer); },
        };
        for (std::size_t form = 0; form < forms.size(); ++form)
        {
            try
            {
                forms[form]();
                ADD_FAILURE() << "form " << form << " did not throw";
            }
            catch (const json::exception& e)
            {
                EXPECT_EQ(std::string(e.what()), m.what) << "form " << form;
            }
        }
        EXPECT_EQ(changed, document);
    }
}

TEST(PointerAccess, NonConstSubscriptMakesWhatIsMissing)
{
    struct making
    {
        json before;
        std::string pointer;
        json after;
    };
    const std::vector<making> cases = {
        {json(), "", json()},
        {json(), "/a", R"({"a": null})"_json},
        {json(), "/0", R"([null])"_json},
        {json(), "/-", R"([null])"_json},
        {json(), "/2/b", R"([null, null, {"b": null}])"_json},
        {json(), "/a/-/-/c", R"({"a": [[{"c": null}]]})"_json},
        {json(), "/01", R"({"01": null})"_json},
        {R"([1])"_json, "/-", R"([1, null])"_json},
        {R"([1])"_json, "/3", R"([1, null, null, null])"_json},
        {R"([null, 1])"_json, "/0", R"([null, 1])"_json},
        {R"({"a": [1]})"_json, "/a/-/x", R"({"a": [1, {"x": null}]})"_json},
        {R"({"a": null})"_json, "/a/b", R"({"a": {"b": null}})"_json},
        {R"({"a": 1})"_json, "/b/0", R"({"a": 1, "b": [null]})"_json},
    };
    for (const making& c : cases)
    {
        SCOPED_TRACE(c.pointer);
        json value = c.before;
        json& made = value[json_pointer(c.pointer)];
        EXPECT_TRUE(made.is_null());
        EXPECT_EQ(value, c.after);
        made = "here"; // the very value made inside
        EXPECT_NE(value, c.after);
    }
}

TEST(PointerAccess, NonConstSubscriptThatCannotMakeThePathChangesNothing)
{
    struct refusal
    {
        json before;
        std::string pointer;
        int id;
    };
    const std::vector<refusal> cases = {
        {R"({"s": "text"})"_json, "/s/x", 313},
        {R"({"a": {"n": 1}})"_json, "/a/n/0/b", 313},
        {R"({"a": [1]})"_json, "/a/x", 314},
        {R"({"a": [1]})"_json, "/a/00", 314},
        {R"({"a": []})"_json, "/a/18446744073709551615", 402},
        {json(), "/a/18446744073709551615/b", 402},
    };
    for (const refusal& c : cases)
    {
        SCOPED_TRACE(c.pointer);
        json value = c.before;
        try
        {
            value[json_pointer(c.pointer)] = 1;
            ADD_FAILURE() << "made " << value;
        }
        catch (const json::exception& e)
        {
            EXPECT_EQ(e.id, c.id) << e.what();
        }
        EXPECT_EQ(value, c.before);
    }
}

TEST(PointerAccess, EraseRemovesTheMemberOrElement)
{
    const json document = R"({"a": {"b": [10, 20, 30]}, "c": 1})"_json;
    const std::vector<std::pair<std::string, json>> cases = {
        {"/c", R"({"a": {"b": [10, 20, 30]}})"_json},
        {"/a", R"({"c": 1})"_json},
        {"/a/b/0", R"({"a": {"b": [20, 30]}, "c": 1})"_json},
        {"/a/b/2", R"({"a": {"b": [10, 20]}, "c": 1})"_json},
    };
    for (const auto& c : cases)
    {
        json value = document;
        value.erase(json_pointer(c.first));
        EXPECT_EQ(value, c.second) << c.first;
    }
    json value = document;
    EXPECT_THROW(value.erase(json_pointer()), json::other_error);
    EXPECT_EQ(value, document);
}

TEST(PointerAccess, ValueReadsWhatIsThereAsTheDefaultsType)
{
    const json document = R"({"a": [1, "two"]})"_json;
    EXPECT_EQ(document.value("/a/0"_json_pointer, 5), 1);
    EXPECT_EQ(document.value("/a/1"_json_pointer, "none"), "two");
    EXPECT_EQ(document.value("/a/2"_json_pointer, "none"), "none");
    EXPECT_THROW(document.value("/a/1"_json_pointer, 5), json::type_error);
    EXPECT_THROW(document.value("/a/0"_json_pointer, "none"), json::type_error);
}

TEST(Literals, ReadTextAndPointers)
{
    EXPECT_EQ(R"({"a": [1, 2]})"_json, json({{"a", {1, 2}}}));
    EXPECT_EQ("[1, 2]"_json.size(), 2u);
    EXPECT_EQ("/a/0"_json_pointer, json_pointer("/a/0"));
    EXPECT_THROW("{"_json, json::parse_error);
    EXPECT_THROW("a"_json_pointer, json::parse_error);
    // A NUL inside the literal is part of its text.
    EXPECT_EQ("/a\0b"_json_pointer.back(), std::string("a\0b", 3));
}

} // namespace

// A second instantiation of basic_json: float numbers, the integer types under
// their <cstdint> names, an allocator that counts and a serializer of its own.

#include <quarrow/json.hpp>

#include "counting_new.hpp"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace
{

/// Blocks every counting_allocator has handed out, and those not yet given back.
struct allocator_counts
{
    std::size_t allocations = 0;
    std::size_t live = 0;
};

allocator_counts& counts()
{
    static allocator_counts shared;
    return shared;
}

/// Counts each allocation, then takes it from the global operator new, which
/// counting_new counts too: when both counts grow alike, nothing was
/// allocated around the allocator.
template<typename T>
struct counting_allocator
{
    using value_type = T;

    counting_allocator() = default;

    template<typename U>
    counting_allocator(const counting_allocator<U>& /*unused*/) noexcept
    {}

    T* allocate(const std::size_t n)
    {
        T* const p = std::allocator<T>().allocate(n);
        ++counts().allocations;
        ++counts().live;
        return p;
    }

    void deallocate(T* const p, const std::size_t n) noexcept
    {
        --counts().live;
        std::allocator<T>().deallocate(p, n);
    }

    friend bool operator==(const counting_allocator& /*unused*/, const counting_allocator& /*unused*/) noexcept
    {
        return true;
    }

    friend bool operator!=(const counting_allocator& /*unused*/, const counting_allocator& /*unused*/) noexcept
    {
        return false;
    }
};

/// Converted by point_serializer alone: it has no to_json or from_json of its own.
struct point
{
    int x;
    int y;
};

template<typename T, typename SFINAE = void>
struct point_serializer : quarrow::adl_serializer<T, SFINAE>
{};

/// A point as the array [x, y].
template<>
struct point_serializer<point, void>
{
    template<typename BasicJsonType>
    static void to_json(BasicJsonType& j, const point& p)
    {
        j = BasicJsonType{p.x, p.y};
    }

    template<typename BasicJsonType>
    static void from_json(const BasicJsonType& j, point& p)
    {
        p.x = j[0].template get<int>();
        p.y = j[1].template get<int>();
    }
};

using fjson = quarrow::basic_json<std::map, std::vector, std::string, bool, std::int64_t, std::uint64_t, float,
                                  counting_allocator, point_serializer>;

/// `count` arrays each in the next, the innermost holding `inner`.
std::string nested(const std::size_t count, const std::string& inner)
{
    return std::string(count, '[') + inner + std::string(count, ']');
}

/// Arrays long enough to grow the reader's element stack, objects, 200 levels
/// of nesting for the writer's spilled frames; every string, number text
/// included, short enough to stay inside its std::string.
std::string document()
{
    std::string text = "{\"flat\":[";
    for (int i = 0; i != 300; ++i)
    {
        text += std::to_string(i) + ".5,";
    }
    text += "true,null],\"deep\":" + nested(200, "{\"k\":\"v\"}") + ",\"big\":4294967296,\"neg\":-9}";
    return text;
}

TEST(Instantiation, EveryAllocationGoesThroughTheAllocator)
{
    const std::string text = document();
    const fjson parsed = fjson::parse(text);
    fjson other = parsed;
    other["deep"] = 1;
    std::string written;
    written.reserve(2 * text.size()); // the text itself is a std::string, which allocates on its own
    std::istringstream stream(text);
    // Deeper than the reader keeps without allocating.
    const std::string deep = nested(1000, "");
    quarrow::parse_options deep_options;
    deep_options.max_depth = 1000;

    struct operation
    {
        const char* name;
        std::function<void()> run;
    };
    const operation operations[] = {
        {"parse", [&] { fjson::parse(text); }},
        {"parse a stream", [&] { fjson::parse(stream); }},
        {"accept", [&] { EXPECT_TRUE(fjson::accept(deep, deep_options)); }},
        {"build", [] { fjson value = {{"a", {1, 2.5f, "s"}}, {"b", fjson::object()}, {"c", nullptr}}; }},
        {"copy", [&] { fjson copy = parsed; }},
        {"compare", [&] { EXPECT_NE(parsed, other); }},
        {"dump", [&] {
             written.clear();
             parsed.dump_to(written);
         }},
        {"hash", [&] { std::hash<fjson>()(parsed); }},
        {"update", [&] {
             fjson copy = parsed;
             copy.update(other);
         }},
        {"change", [&] {
             fjson copy = parsed;
             copy["flat"].erase(0);
             copy["flat"].push_back(point{1, 2});
             copy.erase("deep");
         }},
    };
    for (const operation& op : operations)
    {
        const std::size_t before = counts().allocations;
        const std::size_t live_before = counts().live;
        const std::size_t global = counting_new::allocations_during(op.run);
        EXPECT_GT(global, 0u) << op.name;
        EXPECT_EQ(counts().allocations - before, global) << op.name;
        EXPECT_EQ(counts().live, live_before) << op.name;
    }
    EXPECT_EQ(fjson::parse(written), parsed);
}

TEST(Instantiation, ValueApi)
{
    fjson value = fjson::parse(R"({"a":[1,-2,2.5,"s",true,null],"b":{"c":18446744073709551615}})");
    EXPECT_EQ(value, (fjson{{"a", {1, -2, 2.5f, "s", true, nullptr}}, {"b", {{"c", UINT64_MAX}}}}));
    EXPECT_EQ(value.dump(), R"({"a":[1,-2,2.5,"s",true,null],"b":{"c":18446744073709551615}})");
    EXPECT_TRUE(value["a"][0].is_number_integer());
    EXPECT_TRUE(value["a"][2].is_number_float());
    EXPECT_TRUE(value["b"]["c"].is_number_unsigned());
    EXPECT_EQ(value["a"][1].get<std::int64_t>(), -2);
    EXPECT_EQ(value["a"][2].get_ref<const float&>(), 2.5f);
    EXPECT_LT(value["a"][1], value["a"][2]);
    EXPECT_EQ(fjson(2.0f), fjson(2));
    EXPECT_EQ(fjson(INT64_MIN).dump(), "-9223372036854775808");

    std::string keys;
    for (auto member = value.begin(); member != value.end(); ++member)
    {
        keys += member.key();
    }
    EXPECT_EQ(keys, "ab");

    // The serializer is the one given: points convert, inside containers too.
    const fjson points = std::vector<point>{{1, 2}, {3, 4}};
    EXPECT_EQ(points.dump(), "[[1,2],[3,4]]");
    EXPECT_EQ(points[1].get<point>().y, 4);
}

/// strtof in the C locale, the oracle of what a float reads as.
struct float_reading
{
    bool overflows;
    float value;
};

float_reading read_float(const std::string& text)
{
    const float x = std::strtof(text.c_str(), nullptr);
    return {std::isinf(x), x};
}

TEST(Instantiation, FloatsReadWithinTheirRange)
{
    const char* const texts[] = {
        "3.4e38",
        "-3.4e38",
        "3.4028234663852886e38", // the largest float
        "3.4028235e38",
        "3.4028236e38",
        "3.40282356779733661637539395458142568448e38", // halfway to 2^128: rounds to infinity
        "3.40282357e38",
        "1e39",
        "-1e39",
        "123456789012345678901234567890123456789",
        "1e308",
        "1e400",
        "1.17549435e-38",
        "1e-45",
        "1e-50",
        "0.1",
        "16777217",
        "0.12345678901234567890", // the long fraction the reader scans apart
    };
    for (const char* const text : texts)
    {
        const float_reading expected = read_float(text);
        const std::string document = std::string("[") + text + "]";
        std::istringstream stream(document);
        EXPECT_EQ(fjson::accept(document), not expected.overflows) << text;
        for (int from_stream = 0; from_stream != 2; ++from_stream)
        {
            try
            {
                const fjson value = from_stream != 0 ? fjson::parse(stream) : fjson::parse(document);
                EXPECT_FALSE(expected.overflows) << text;
                EXPECT_EQ(value[0].get<float>(), expected.value) << text;
            }
            catch (const fjson::parse_error& e)
            {
                EXPECT_TRUE(expected.overflows) << text;
                EXPECT_EQ(e.id, 103) << text;
                EXPECT_EQ(e.byte, 1u) << text;
                EXPECT_NE(std::string(e.what()).find("within the range of a float"), std::string::npos) << e.what();
            }
        }
    }
}

TEST(Instantiation, FloatsAreWrittenAsTheDoublesTheyWiden)
{
    const float values[] = {0.1f, -1.5f, 3.4e38f, FLT_MAX, FLT_MIN, std::numeric_limits<float>::denorm_min(), 16777216.0f, 0.0f, -0.0f};
    for (const float x : values)
    {
        for (const bool fifteen_digits : {false, true})
        {
            quarrow::dump_options options;
            options.fifteen_digit_doubles = fifteen_digits;
            const std::string text = fjson(x).dump(options);
            EXPECT_EQ(text, quarrow::json(static_cast<double>(x)).dump(options)) << x;
            const fjson back = fjson::parse(text);
            EXPECT_TRUE(back.is_number_float()) << text;
            EXPECT_EQ(back.get<float>(), x) << text;
            EXPECT_EQ(std::signbit(back.get<float>()), std::signbit(x)) << text;
        }
    }
    quarrow::dump_options fifteen_digits;
    fifteen_digits.fifteen_digit_doubles = true;
    EXPECT_EQ(fjson(0.1f).dump(), "0.10000000149011612");
    EXPECT_EQ(fjson(0.1f).dump(fifteen_digits), "0.100000001490116");
    EXPECT_EQ(fjson(std::nanf("")).dump(), "null");
}

} // namespace

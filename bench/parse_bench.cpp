// Reads three corpora with quarrow (parse and accept) and with RapidJSON,
// Boost.JSON, jsoncpp and simdjson, and prints MB/s of input by the median
// processor time of the thread, beside what building quarrow's value costs
// without any text: the same maps, nodes, vectors and strings, made member
// by member as a parser must (each vector grown as it comes, or allocated
// once at its size: the fewest allocations this value can be made with),
// and by a copy.
//
// Before anything is timed, every library must accept every corpus and
// quarrow's value must write text that reads back to the same text; the
// program exits with 1 if a check fails.

#include <quarrow/json.hpp>

#include <boost/json.hpp>
#include <json/json.h>
#include <rapidjson/document.h>
#include <simdjson.h>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace
{

using quarrow::json;

struct corpus
{
    std::string name;
    std::string text;
    simdjson::padded_string padded;
    json value; // quarrow's, for the copy that costs what building does
};

/// One way to read a text, returning something of the result so the work
/// cannot be optimized away.
struct reader
{
    const char* name;
    std::function<std::size_t(const corpus&)> read;
};

/// The value built member by member and element by element, the way a
/// parser must (a copy clones each map whole, with no key comparisons).
/// With `reserved`, each array's vector is allocated once, at its size.
json built_by_hand(const json& source, const bool reserved)
{
    if (const json::object_t* object = source.get_ptr<const json::object_t*>())
    {
        json::object_t result;
        for (const auto& member : *object)
        {
            result.emplace(member.first, built_by_hand(member.second, reserved));
        }
        return json(std::move(result));
    }
    if (const json::array_t* array = source.get_ptr<const json::array_t*>())
    {
        json::array_t result;
        if (reserved)
        {
            result.reserve(array->size());
        }
        for (const json& element : *array)
        {
            result.push_back(built_by_hand(element, reserved));
        }
        return json(std::move(result));
    }
    return source;
}

simdjson::dom::parser& simdjson_parser()
{
    static simdjson::dom::parser parser; // reused, as its documentation advises
    return parser;
}

const std::vector<reader>& readers()
{
    static const std::vector<reader> all = {
        {"quarrow parse", [](const corpus& c) { return json::parse(c.text).size(); }},
        {"quarrow accept", [](const corpus& c) { return static_cast<std::size_t>(json::accept(c.text)); }},
        {"quarrow value built without parsing, by hand, vectors grown",
         [](const corpus& c) { return built_by_hand(c.value, false).size(); }},
        {"quarrow value built without parsing, by hand, vectors allocated once",
         [](const corpus& c) { return built_by_hand(c.value, true).size(); }},
        {"quarrow value built without parsing, by copy", [](const corpus& c) { return json(c.value).size(); }},
        {"RapidJSON Parse",
         [](const corpus& c) {
             rapidjson::Document d;
             d.Parse(c.text.data(), c.text.size());
             return static_cast<std::size_t>(d.HasParseError() ? 0 : d.MemberCount());
         }},
        {"RapidJSON Parse, full precision",
         [](const corpus& c) {
             rapidjson::Document d;
             d.Parse<rapidjson::kParseFullPrecisionFlag>(c.text.data(), c.text.size());
             return static_cast<std::size_t>(d.HasParseError() ? 0 : d.MemberCount());
         }},
        {"Boost.JSON parse",
         [](const corpus& c) {
             boost::json::error_code error;
             const boost::json::value v = boost::json::parse(c.text, error);
             return error ? std::size_t{0} : v.as_object().size();
         }},
        {"Boost.JSON parse, monotonic_resource",
         [](const corpus& c) {
             boost::json::monotonic_resource resource;
             boost::json::error_code error;
             const boost::json::value v = boost::json::parse(c.text, error, &resource);
             return error ? std::size_t{0} : v.as_object().size();
         }},
        {"jsoncpp CharReader",
         [](const corpus& c) {
             static const std::unique_ptr<Json::CharReader> r(Json::CharReaderBuilder().newCharReader());
             Json::Value v;
             std::string errors;
             const bool ok = r->parse(c.text.data(), c.text.data() + c.text.size(), &v, &errors);
             return ok ? static_cast<std::size_t>(v.size()) : std::size_t{0};
         }},
        {"simdjson DOM parser, reused",
         [](const corpus& c) {
             simdjson::dom::element e;
             if (simdjson_parser().parse(c.padded).get(e) != simdjson::SUCCESS)
             {
                 return std::size_t{0};
             }
             simdjson::dom::object o;
             return e.get(o) == simdjson::SUCCESS ? o.size() : std::size_t{0};
         }},
    };
    return all;
}

std::string read_file(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

/// Seconds of processor time this thread has used: unlike real time, it
/// does not grow while other programs on a busy machine run instead.
double thread_seconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double median_seconds(const reader& r, const corpus& c, const int runs)
{
    std::vector<double> seconds;
    volatile std::size_t sink = r.read(c); // warm-up
    for (int i = 0; i < runs; ++i)
    {
        const double start = thread_seconds();
        sink = sink + r.read(c);
        seconds.push_back(thread_seconds() - start);
    }
    std::sort(seconds.begin(), seconds.end());
    return seconds[seconds.size() / 2];
}

bool check(const corpus& c)
{
    bool ok = true;
    for (const reader& r : readers())
    {
        if (r.read(c) == 0)
        {
            std::fprintf(stderr, "%s: %s read nothing\n", c.name.c_str(), r.name);
            ok = false;
        }
    }
    const std::string written = c.value.dump();
    if (json::parse(written).dump() != written)
    {
        std::fprintf(stderr, "%s: quarrow's text does not read back to itself\n", c.name.c_str());
        ok = false;
    }
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    std::string data = QUARROW_BENCH_DATA;
    int runs = 21;
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        if (arg == "--smoke")
        {
            runs = 1;
        }
        else if (arg.compare(0, 7, "--data=") == 0)
        {
            data = arg.substr(7);
        }
        else
        {
            std::fprintf(stderr, "usage: %s [--smoke] [--data=DIR]\n"
                                 "  --smoke  run the checks, then each case once\n", argv[0]);
            return 2;
        }
    }

    std::vector<std::unique_ptr<corpus>> corpora;
    bool ok = true;
    for (const char* name : {"canada.json", "citm_catalog.json", "twitter.json"})
    {
        std::unique_ptr<corpus> c(new corpus);
        c->name = name;
        c->text = read_file(data + "/" + name);
        c->padded = simdjson::padded_string(c->text);
        c->value = json::parse(c->text);
        ok = check(*c) and ok;
        corpora.push_back(std::move(c));
    }
    if (not ok)
    {
        return 1;
    }

    std::printf("MB/s of input (MB = 10^6 bytes), median processor time of %d runs:\n\n| case |", runs);
    for (const auto& c : corpora)
    {
        std::printf(" %s |", c->name.c_str());
    }
    std::printf("\n|---|---:|---:|---:|\n");
    std::vector<std::vector<double>> speed(readers().size());
    for (std::size_t i = 0; i < readers().size(); ++i)
    {
        std::printf("| %s |", readers()[i].name);
        for (const auto& c : corpora)
        {
            const double mb_per_s = static_cast<double>(c->text.size()) / 1e6 / median_seconds(readers()[i], *c, runs);
            speed[i].push_back(mb_per_s);
            std::printf(" %.0f |", mb_per_s);
        }
        std::printf("\n");
        std::fflush(stdout);
    }

    // Rows of readers(), in its order.
    const std::size_t parse = 0, accept = 1, grown = 2, allocated_once = 3, copied = 4, first_peer = 5;
    const std::size_t simdjson = readers().size() - 1;
    // Times compare as speeds the other way round.
    const auto print_ratios = [&](const char* title, const std::size_t numerator, const std::size_t denominator) {
        std::printf("\n%s:", title);
        for (std::size_t k = 0; k < corpora.size(); ++k)
        {
            std::printf(" %s %.2f", corpora[k]->name.c_str(), speed[numerator][k] / speed[denominator][k]);
        }
    };
    print_ratios("parse time / time to build the value, vectors allocated once (goal: at most 1.3)", allocated_once,
                 parse);
    print_ratios("parse time / time to build the value, vectors grown", grown, parse);
    print_ratios("parse time / time to copy the value", copied, parse);
    print_ratios("accept / simdjson (goal: at least 0.5)", accept, simdjson);
    std::printf("\naccept / fastest other peer (goal: above 1):");
    for (std::size_t k = 0; k < corpora.size(); ++k)
    {
        double best = 0;
        for (std::size_t i = first_peer; i < simdjson; ++i)
        {
            best = std::max(best, speed[i][k]);
        }
        std::printf(" %s %.2f", corpora[k]->name.c_str(), speed[accept][k] / best);
    }
    std::printf("\n");
    return 0;
}

// Writes three corpora as JSON text with quarrow and with RapidJSON,
// Boost.JSON and jsoncpp, and prints MB/s of output with quarrow's ratio to
// the best peer, what quarrow's copy, destruction and at() cost, and the
// memory each library's document holds.
//
// quarrow reads text too (parse_bench times that), but here its documents are
// converted from RapidJSON's, so that the text it writes is checked by a
// reader other than its own: before anything is timed, quarrow's text is read
// back and compared with the source; the program exits with 1 if a check fails.

#include "live_bytes.hpp"

#include <quarrow/json.hpp>

#include <benchmark/benchmark.h>
#include <boost/json.hpp>
#include <json/json.h>
#include <rapidjson/document.h>
#include <rapidjson/ostreamwrapper.h>
#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <malloc.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <streambuf>
#include <string>
#include <utility>
#include <vector>

namespace
{

using quarrow::json;

// -- corpora --------------------------------------------------------------

struct corpus_file
{
    const char* name;
    const char* present_key; // a top-level member, for at()
};

const corpus_file corpus_files[] = {
    {"canada.json", "features"},
    {"citm_catalog.json", "performances"},
    {"twitter.json", "statuses"},
};

const std::string missing_key = "no such member";

enum class library : std::size_t
{
    quarrow,
    rapidjson,
    boost_json,
    jsoncpp
};

const char* const library_names[] = {"quarrow", "RapidJSON", "Boost.JSON", "jsoncpp"};
constexpr std::size_t library_count = 4;

const char* name_of(const library lib)
{
    return library_names[static_cast<std::size_t>(lib)];
}

/// What a library's document keeps once built, and how that was measured.
struct holding
{
    std::size_t bytes;
    const char* method;
    std::size_t heap; // growth of malloc's in-use total, block overhead included
};

struct corpus
{
    std::string name;
    std::string present_key;
    rapidjson::Document rapid;
    boost::json::value boost;
    Json::Value jsoncpp;
    json quarrow;
    holding held[library_count];
};

/// malloc's bytes in use, its own block headers and mmapped blocks included
/// but not what counting adds: the one count that sees every library,
/// including what bypasses operator new.
std::size_t heap_in_use()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd - counting_overhead();
}

/// What the heap grows by while an instance lives.
class heap_growth
{
  public:
    std::size_t counted() const noexcept
    {
        return live_bytes() - live_at_start;
    }

    std::size_t heap() const
    {
        return heap_in_use() - heap_at_start;
    }

  private:
    std::size_t live_at_start = live_bytes();
    std::size_t heap_at_start = heap_in_use();
};

/// The converter: every kind through quarrow's public conversions, integers
/// kept signed or unsigned as they were read.
json to_quarrow(const rapidjson::Value& v)
{
    switch (v.GetType())
    {
        case rapidjson::kNullType:
            return nullptr;
        case rapidjson::kFalseType:
            return false;
        case rapidjson::kTrueType:
            return true;
        case rapidjson::kStringType:
            return json::string_t(v.GetString(), v.GetStringLength());
        case rapidjson::kNumberType:
            if (v.IsInt64())
            {
                return static_cast<long long>(v.GetInt64());
            }
            if (v.IsUint64())
            {
                return static_cast<unsigned long long>(v.GetUint64());
            }
            return v.GetDouble();
        case rapidjson::kArrayType:
        {
            json::array_t array;
            array.reserve(v.Size());
            for (const auto& element : v.GetArray())
            {
                array.push_back(to_quarrow(element));
            }
            return json(std::move(array));
        }
        case rapidjson::kObjectType:
        {
            json::object_t object;
            for (const auto& member : v.GetObject())
            {
                object.emplace(json::string_t(member.name.GetString(), member.name.GetStringLength()),
                               to_quarrow(member.value));
            }
            return json(std::move(object));
        }
    }
    return nullptr; // not reached: the switch covers every type
}

bool read_file(const std::string& path, std::string& text)
{
    std::ifstream file(path, std::ios::binary);
    text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return file.good() || file.eof();
}

/// The reader is gone on return, so only the document is left on the heap.
bool jsoncpp_parse(const std::string& text, Json::Value& document, std::string& errors)
{
    const Json::CharReaderBuilder builder;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    return reader->parse(text.data(), text.data() + text.size(), &document, &errors);
}

/// Reads one corpus with each library, counting what each document holds.
std::unique_ptr<corpus> load(const std::string& folder, const corpus_file& file)
{
    std::unique_ptr<corpus> c(new corpus);
    c->name = file.name;
    c->present_key = file.present_key;

    std::string text;
    if (!read_file(folder + "/" + file.name, text) || text.empty())
    {
        std::cerr << "cannot read " << folder << "/" << file.name << " (give the folder with --data=DIR)\n";
        return nullptr;
    }

    {
        // The pool allocator takes its chunks from malloc, out of operator new's sight.
        const heap_growth growth;
        c->rapid.Parse<rapidjson::kParseFullPrecisionFlag>(text.data(), text.size());
        c->held[static_cast<std::size_t>(library::rapidjson)] = {c->rapid.GetAllocator().Capacity(),
                                                                 "pool allocator Capacity()", growth.heap()};
    }
    if (c->rapid.HasParseError())
    {
        std::cerr << file.name << ": RapidJSON cannot parse it\n";
        return nullptr;
    }
    {
        const heap_growth growth;
        c->boost = boost::json::parse(text);
        c->held[static_cast<std::size_t>(library::boost_json)] = {growth.counted(), "operator new", growth.heap()};
    }
    {
        const heap_growth growth;
        std::string errors;
        if (!jsoncpp_parse(text, c->jsoncpp, errors))
        {
            std::cerr << file.name << ": jsoncpp cannot parse it: " << errors << "\n";
            return nullptr;
        }
        c->held[static_cast<std::size_t>(library::jsoncpp)] = {
            growth.counted(), "operator new; misses its strings, which use malloc", growth.heap()};
    }
    {
        const heap_growth growth;
        c->quarrow = to_quarrow(c->rapid);
        c->held[static_cast<std::size_t>(library::quarrow)] = {growth.counted(), "operator new", growth.heap()};
    }
    return c;
}

// -- checks ---------------------------------------------------------------

std::string digits15(const double x)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.15g", x);
    return buffer;
}

/// quarrow keeps integers exact and writes doubles exactly, or with 15
/// significant digits when asked.
bool same_number(const rapidjson::Value& expected, const rapidjson::Value& actual, const bool exact)
{
    if (expected.IsInt64())
    {
        return actual.IsInt64() && actual.GetInt64() == expected.GetInt64();
    }
    if (expected.IsUint64())
    {
        return actual.IsUint64() && actual.GetUint64() == expected.GetUint64();
    }
    if (exact)
    {
        return actual.IsDouble() && actual.GetDouble() == expected.GetDouble();
    }
    return actual.IsDouble() && digits15(actual.GetDouble()) == digits15(expected.GetDouble());
}

/// Equal but for member order. On a difference, `where` is its path.
bool same_value(const rapidjson::Value& expected, const rapidjson::Value& actual, const bool exact, std::string& where)
{
    if (expected.GetType() != actual.GetType())
    {
        return false;
    }
    switch (expected.GetType())
    {
        case rapidjson::kNumberType:
            return same_number(expected, actual, exact);
        case rapidjson::kStringType:
            return expected == actual;
        case rapidjson::kArrayType:
            if (expected.Size() != actual.Size())
            {
                return false;
            }
            for (rapidjson::SizeType i = 0; i < expected.Size(); ++i)
            {
                if (!same_value(expected[i], actual[i], exact, where))
                {
                    where = "/" + std::to_string(i) + where;
                    return false;
                }
            }
            return true;
        case rapidjson::kObjectType:
            // Equal counts and every source member found: a repeated key in the
            // source, which quarrow keeps once, shows up as a count mismatch.
            if (expected.MemberCount() != actual.MemberCount())
            {
                return false;
            }
            for (const auto& member : expected.GetObject())
            {
                const auto found = actual.FindMember(member.name);
                if (found == actual.MemberEnd() || !same_value(member.value, found->value, exact, where))
                {
                    where = "/" + std::string(member.name.GetString(), member.name.GetStringLength()) + where;
                    return false;
                }
            }
            return true;
        default:
            return true; // null, false and true: the type says it all
    }
}

/// quarrow's text reads back as the source, through both routes alike, and
/// at() finds what it should.
bool check(const corpus& c)
{
    struct layout
    {
        const char* name;
        int indent;
        bool fifteen_digits;
    };
    const layout layouts[] = {{"compact", 0, false}, {"indented", 4, false}, {"fifteen digits", 0, true}};

    bool ok = true;
    for (const layout& l : layouts)
    {
        quarrow::dump_options options;
        options.indent = l.indent;
        options.fifteen_digit_doubles = l.fifteen_digits;
        const std::string text = c.quarrow.dump(options);
        std::ostringstream chunked;
        c.quarrow.dump_to(chunked, options);
        if (chunked.str() != text)
        {
            std::cerr << c.name << ": " << l.name << " text differs between dump_to(stream) and dump()\n";
            ok = false;
        }
        std::ostringstream stream;
        stream << std::setw(l.indent) << c.quarrow;
        if (l.fifteen_digits && stream.str() != text)
        {
            std::cerr << c.name << ": " << l.name << " text differs between operator<< and dump()\n";
            ok = false;
        }

        rapidjson::Document back;
        back.Parse<rapidjson::kParseFullPrecisionFlag>(text.data(), text.size());
        std::string where;
        if (back.HasParseError())
        {
            std::cerr << c.name << ": " << l.name << " text does not parse, at byte " << back.GetErrorOffset() << "\n";
            ok = false;
        }
        else if (!same_value(c.rapid, back, !l.fifteen_digits, where))
        {
            std::cerr << c.name << ": " << l.name << " text reads back different at " << (where.empty() ? "/" : where)
                      << "\n";
            ok = false;
        }
    }

    try
    {
        c.quarrow.at(c.present_key);
    }
    catch (const json::exception& error)
    {
        std::cerr << c.name << ": at(\"" << c.present_key << "\") threw " << error.what() << "\n";
        ok = false;
    }
    try
    {
        c.quarrow.at(missing_key);
        std::cerr << c.name << ": at(\"" << missing_key << "\") did not throw\n";
        ok = false;
    }
    catch (const json::out_of_range&)
    {
    }
    return ok;
}

// -- output routes --------------------------------------------------------

enum class route : std::size_t
{
    stream_compact,
    stream_indented,
    string_compact,
    string_indented,
    string_fifteen_digits,
    file_chunked
};

struct route_name
{
    const char* key;   // in benchmark names
    const char* label; // in the summary
};

const route_name route_names[] = {
    {"stream_compact", "compact, to an ostringstream"},
    {"stream_indented", "indented by 4, to an ostringstream"},
    {"string_compact", "compact, to a string (own fastest route)"},
    {"string_indented", "indented by 4, to a string (own fastest route)"},
    {"string_fifteen_digits", "compact, 15-digit doubles (the stream operator's), to a string"},
    {"file_chunked", "compact, to a stream in 64 KiB chunks (dump_to)"},
};
constexpr std::size_t route_count = 6;

std::size_t written(std::ostringstream& out)
{
    return static_cast<std::size_t>(out.tellp());
}

std::size_t quarrow_stream(const corpus& c)
{
    std::ostringstream out;
    out << c.quarrow;
    return written(out);
}

std::size_t quarrow_stream_indented(const corpus& c)
{
    std::ostringstream out;
    out << std::setw(4) << c.quarrow;
    return written(out);
}

std::size_t quarrow_string(const corpus& c)
{
    const std::string text = c.quarrow.dump();
    benchmark::DoNotOptimize(text.data());
    return text.size();
}

std::size_t quarrow_string_indented(const corpus& c)
{
    const std::string text = c.quarrow.dump(4);
    benchmark::DoNotOptimize(text.data());
    return text.size();
}

std::size_t quarrow_string_fifteen_digits(const corpus& c)
{
    quarrow::dump_options options;
    options.fifteen_digit_doubles = true;
    const std::string text = c.quarrow.dump(options);
    benchmark::DoNotOptimize(text.data());
    return text.size();
}

// A stream that counts and drops what it gets, as a file would take it: the
// writer's own work, with no text held anywhere.
class counting_streambuf : public std::streambuf
{
  public:
    std::size_t count = 0;

  protected:
    int_type overflow(int_type c) override
    {
        ++count;
        return c;
    }

    std::streamsize xsputn(const char* /*s*/, std::streamsize n) override
    {
        count += static_cast<std::size_t>(n);
        return n;
    }
};

std::size_t quarrow_file_chunked(const corpus& c)
{
    counting_streambuf sink;
    std::ostream stream(&sink);
    c.quarrow.dump_to(stream);
    return sink.count;
}

template<typename Writer>
std::size_t rapidjson_stream(const corpus& c)
{
    std::ostringstream out;
    rapidjson::OStreamWrapper wrapper(out);
    Writer writer(wrapper);
    c.rapid.Accept(writer);
    return written(out);
}

std::size_t rapidjson_stream_indented(const corpus& c)
{
    std::ostringstream out;
    rapidjson::OStreamWrapper wrapper(out);
    rapidjson::PrettyWriter<rapidjson::OStreamWrapper> writer(wrapper);
    writer.SetIndent(' ', 4);
    c.rapid.Accept(writer);
    return written(out);
}

std::size_t rapidjson_string(const corpus& c)
{
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    c.rapid.Accept(writer);
    benchmark::DoNotOptimize(buffer.GetString());
    return buffer.GetSize();
}

std::size_t rapidjson_string_indented(const corpus& c)
{
    rapidjson::StringBuffer buffer;
    rapidjson::PrettyWriter<rapidjson::StringBuffer> writer(buffer);
    writer.SetIndent(' ', 4);
    c.rapid.Accept(writer);
    benchmark::DoNotOptimize(buffer.GetString());
    return buffer.GetSize();
}

std::size_t boost_stream(const corpus& c)
{
    std::ostringstream out;
    out << c.boost;
    return written(out);
}

std::size_t boost_string(const corpus& c)
{
    const std::string text = boost::json::serialize(c.boost);
    benchmark::DoNotOptimize(text.data());
    return text.size();
}

// UTF-8 is written as it is, as the other three do, rather than as \u escapes.
Json::StreamWriterBuilder jsoncpp_builder(const char* indentation)
{
    Json::StreamWriterBuilder builder;
    builder["indentation"] = indentation;
    builder["emitUTF8"] = true;
    return builder;
}

const Json::StreamWriterBuilder& jsoncpp_compact()
{
    static const Json::StreamWriterBuilder builder = jsoncpp_builder("");
    return builder;
}

const Json::StreamWriterBuilder& jsoncpp_indented()
{
    static const Json::StreamWriterBuilder builder = jsoncpp_builder("    ");
    return builder;
}

std::size_t jsoncpp_write(const corpus& c, const Json::StreamWriterBuilder& builder)
{
    std::ostringstream out;
    const std::unique_ptr<Json::StreamWriter> writer(builder.newStreamWriter());
    writer->write(c.jsoncpp, &out);
    return written(out);
}

std::size_t jsoncpp_stream(const corpus& c)
{
    return jsoncpp_write(c, jsoncpp_compact());
}

std::size_t jsoncpp_stream_indented(const corpus& c)
{
    return jsoncpp_write(c, jsoncpp_indented());
}

std::size_t jsoncpp_string(const corpus& c)
{
    const std::string text = Json::writeString(jsoncpp_compact(), c.jsoncpp);
    benchmark::DoNotOptimize(text.data());
    return text.size();
}

std::size_t jsoncpp_string_indented(const corpus& c)
{
    const std::string text = Json::writeString(jsoncpp_indented(), c.jsoncpp);
    benchmark::DoNotOptimize(text.data());
    return text.size();
}

/// One library's route: writes the whole document once, returns the bytes written.
struct output_case
{
    library lib;
    route way;
    std::size_t (*write)(const corpus&);
};

// Boost.JSON 1.81 has no indented output. quarrow's dump(), RapidJSON and
// Boost.JSON write shortest round-trip doubles; the 15-digit route, the stream
// operator's digits through dump(), is quarrow's alone, as is the chunked
// stream route, to set against its compact dump().
const output_case output_cases[] = {
    {library::quarrow, route::stream_compact, quarrow_stream},
    {library::quarrow, route::stream_indented, quarrow_stream_indented},
    {library::quarrow, route::string_compact, quarrow_string},
    {library::quarrow, route::string_indented, quarrow_string_indented},
    {library::quarrow, route::string_fifteen_digits, quarrow_string_fifteen_digits},
    {library::quarrow, route::file_chunked, quarrow_file_chunked},
    {library::rapidjson, route::stream_compact, rapidjson_stream<rapidjson::Writer<rapidjson::OStreamWrapper>>},
    {library::rapidjson, route::stream_indented, rapidjson_stream_indented},
    {library::rapidjson, route::string_compact, rapidjson_string},
    {library::rapidjson, route::string_indented, rapidjson_string_indented},
    {library::boost_json, route::stream_compact, boost_stream},
    {library::boost_json, route::string_compact, boost_string},
    {library::jsoncpp, route::stream_compact, jsoncpp_stream},
    {library::jsoncpp, route::stream_indented, jsoncpp_stream_indented},
    {library::jsoncpp, route::string_compact, jsoncpp_string},
    {library::jsoncpp, route::string_indented, jsoncpp_string_indented},
};

void run_output(benchmark::State& state, const corpus& c, std::size_t (*write)(const corpus&))
{
    std::size_t bytes = 0;
    for (auto _ : state)
    {
        bytes += write(c);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}

// -- quarrow alone --------------------------------------------------------

void time_copy(benchmark::State& state, const corpus& c)
{
    for (auto _ : state)
    {
        json copy(c.quarrow);
        benchmark::DoNotOptimize(copy);
        state.PauseTiming();
        copy = nullptr; // the destruction is timed on its own
        state.ResumeTiming();
    }
}

void time_destruction(benchmark::State& state, const corpus& c)
{
    for (auto _ : state)
    {
        state.PauseTiming();
        json copy(c.quarrow);
        state.ResumeTiming();
        copy = nullptr; // releases the whole tree
    }
}

void time_at_present(benchmark::State& state, const corpus& c)
{
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(&c.quarrow.at(c.present_key));
    }
}

void time_at_missing(benchmark::State& state, const corpus& c)
{
    for (auto _ : state)
    {
        try
        {
            benchmark::DoNotOptimize(&c.quarrow.at(missing_key));
        }
        catch (const json::out_of_range& error)
        {
            benchmark::DoNotOptimize(error.id);
        }
    }
}

struct operation_case
{
    const char* key;
    const char* label;
    benchmark::TimeUnit unit;
    void (*run)(benchmark::State&, const corpus&);
};

const operation_case operation_cases[] = {
    {"copy", "deep copy (ms)", benchmark::kMillisecond, time_copy},
    {"destruction", "destruction (ms)", benchmark::kMillisecond, time_destruction},
    {"at_present", "at(), present key (ns)", benchmark::kNanosecond, time_at_present},
    {"at_missing", "at(), missing key, throws (ns)", benchmark::kNanosecond, time_at_missing},
};

// -- running and the summary ----------------------------------------------

/// Keeps the median real time per iteration of every benchmark, by name:
/// the "median" aggregate of repeated runs, or the one run when there is one.
class median_reporter : public benchmark::ConsoleReporter
{
  public:
    std::map<std::string, double> seconds;

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
        {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            const bool single = run.run_type == Run::RT_Iteration && run.repetitions == 1;
            if ((median || single) && !run.error_occurred)
            {
                seconds[run.run_name.function_name] =
                    run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            }
        }
    }
};

struct registered_output
{
    std::string name;
    const corpus* source;
    const output_case* what;
    std::size_t bytes; // of one output
};

std::string benchmark_name(const corpus& c, const char* lib, const char* what)
{
    return c.name + "/" + lib + "/" + what;
}

void configure(benchmark::internal::Benchmark* b, const benchmark::TimeUnit unit, const bool smoke)
{
    b->UseRealTime()->Unit(unit);
    if (smoke)
    {
        b->Iterations(1)->Repetitions(1);
    }
}

/// A median time, or a negative number when the benchmark did not run (filtered out).
double seconds_of(const median_reporter& reporter, const std::string& name)
{
    const auto found = reporter.seconds.find(name);
    return found == reporter.seconds.end() ? -1.0 : found->second;
}

void print_output_tables(const median_reporter& reporter, const std::vector<std::unique_ptr<corpus>>& corpora,
                         const std::vector<registered_output>& outputs)
{
    // The registered output of one cell, or nullptr where a library has no such route.
    const auto cell = [&outputs](const corpus& c, std::size_t lib, std::size_t way) -> const registered_output* {
        for (const registered_output& o : outputs)
        {
            if (o.source == &c && static_cast<std::size_t>(o.what->lib) == lib &&
                static_cast<std::size_t>(o.what->way) == way)
            {
                return &o;
            }
        }
        return nullptr;
    };

    std::printf("\nMB/s of output (MB = 10^6 bytes of each library's own text), median real time:\n\n");
    std::printf("| corpus | route | quarrow | RapidJSON | Boost.JSON | jsoncpp | quarrow / best peer |\n");
    std::printf("| --- | --- | ---: | ---: | ---: | ---: | ---: |\n");
    for (const auto& c : corpora)
    {
        for (std::size_t way = 0; way < route_count; ++way)
        {
            std::printf("| %s | %s |", c->name.c_str(), route_names[way].label);
            double quarrow_rate = 0;
            double best_peer = 0;
            for (std::size_t lib = 0; lib < library_count; ++lib)
            {
                const registered_output* o = cell(*c, lib, way);
                if (o == nullptr)
                {
                    std::printf(" none |");
                    continue;
                }
                const double seconds = seconds_of(reporter, o->name);
                if (seconds <= 0)
                {
                    std::printf(" - |");
                    continue;
                }
                const double rate = static_cast<double>(o->bytes) / seconds / 1e6;
                std::printf(" %.1f |", rate);
                if (lib == static_cast<std::size_t>(library::quarrow))
                {
                    quarrow_rate = rate;
                }
                else if (rate > best_peer)
                {
                    best_peer = rate;
                }
            }
            if (quarrow_rate > 0 && best_peer > 0)
            {
                std::printf(" %.2f |\n", quarrow_rate / best_peer);
            }
            else
            {
                std::printf(" - |\n");
            }
        }
    }
    std::printf("\nnone: Boost.JSON 1.81 has no indented output; the 15-digit and the chunked routes are "
                "quarrow's alone.\n");

    std::printf("\nDocuments per second, median real time:\n\n");
    std::printf("| corpus | route | quarrow | RapidJSON | Boost.JSON | jsoncpp |\n");
    std::printf("| --- | --- | ---: | ---: | ---: | ---: |\n");
    for (const auto& c : corpora)
    {
        for (std::size_t way = 0; way < route_count; ++way)
        {
            std::printf("| %s | %s |", c->name.c_str(), route_names[way].label);
            for (std::size_t lib = 0; lib < library_count; ++lib)
            {
                const registered_output* o = cell(*c, lib, way);
                const double seconds = o == nullptr ? 0 : seconds_of(reporter, o->name);
                if (o == nullptr)
                {
                    std::printf(" none |");
                }
                else if (seconds <= 0)
                {
                    std::printf(" - |");
                }
                else
                {
                    std::printf(" %.0f |", 1 / seconds);
                }
            }
            std::printf("\n");
        }
    }

    std::printf("\nBytes of output:\n\n");
    std::printf("| corpus | route | quarrow | RapidJSON | Boost.JSON | jsoncpp |\n");
    std::printf("| --- | --- | ---: | ---: | ---: | ---: |\n");
    for (const auto& c : corpora)
    {
        for (std::size_t way = 0; way < route_count; ++way)
        {
            std::printf("| %s | %s |", c->name.c_str(), route_names[way].label);
            for (std::size_t lib = 0; lib < library_count; ++lib)
            {
                const registered_output* o = cell(*c, lib, way);
                if (o == nullptr)
                {
                    std::printf(" none |");
                }
                else
                {
                    std::printf(" %zu |", o->bytes);
                }
            }
            std::printf("\n");
        }
    }
}

void print_operation_table(const median_reporter& reporter, const std::vector<std::unique_ptr<corpus>>& corpora)
{
    std::printf("\nquarrow alone, median real time:\n\n| corpus |");
    for (const operation_case& op : operation_cases)
    {
        std::printf(" %s |", op.label);
    }
    std::printf("\n| --- |");
    for (std::size_t i = 0; i < sizeof operation_cases / sizeof operation_cases[0]; ++i)
    {
        std::printf(" ---: |");
    }
    std::printf("\n");
    for (const auto& c : corpora)
    {
        std::printf("| %s |", c->name.c_str());
        for (const operation_case& op : operation_cases)
        {
            const double seconds = seconds_of(reporter, benchmark_name(*c, "quarrow", op.key));
            if (seconds <= 0)
            {
                std::printf(" - |");
            }
            else
            {
                std::printf(" %.*f |", op.unit == benchmark::kMillisecond ? 2 : 0,
                            seconds * benchmark::GetTimeUnitMultiplier(op.unit));
            }
        }
        std::printf("\n");
    }
}

void print_memory_tables(const std::vector<std::unique_ptr<corpus>>& corpora)
{
    std::printf("\nMemory held by each document:\n\n");
    std::printf("| corpus | library | bytes held | counted by | malloc in use grew by |\n");
    std::printf("| --- | --- | ---: | --- | ---: |\n");
    for (const auto& c : corpora)
    {
        for (std::size_t lib = 0; lib < library_count; ++lib)
        {
            const holding& h = c->held[lib];
            std::printf("| %s | %s | %zu | %s | %zu |\n", c->name.c_str(), library_names[lib], h.bytes, h.method,
                        h.heap);
        }
    }

    std::printf("\nSize of one value:\n\n| library | type | sizeof |\n| --- | --- | ---: |\n");
    std::printf("| quarrow | quarrow::json | %zu |\n", sizeof(json));
    std::printf("| RapidJSON | rapidjson::Value | %zu |\n", sizeof(rapidjson::Value));
    std::printf("| Boost.JSON | boost::json::value | %zu |\n", sizeof(boost::json::value));
    std::printf("| jsoncpp | Json::Value | %zu |\n", sizeof(Json::Value));
}

/// Writes DIR/<corpus>.compact.json and DIR/<corpus>.indented.json.
bool save_texts(const std::vector<std::unique_ptr<corpus>>& corpora, const std::string& folder)
{
    for (const auto& c : corpora)
    {
        for (const int indent : {0, 4})
        {
            const std::string path = folder + "/" + c->name + (indent > 0 ? ".indented.json" : ".compact.json");
            std::ofstream file(path, std::ios::binary);
            file << std::setw(indent) << c->quarrow;
            if (!file.good())
            {
                std::cerr << "cannot write " << path << "\n";
                return false;
            }
        }
    }
    return true;
}

struct options
{
    std::string data = QUARROW_BENCH_DATA;
    std::string save; // a folder for quarrow's text; nothing is timed then
    bool smoke = false;
};

bool parse_options(const int argc, char** argv, options& opts)
{
    const std::string data_flag = "--data=";
    const std::string save_flag = "--save=";
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        if (arg == "--smoke")
        {
            opts.smoke = true;
        }
        else if (arg.compare(0, data_flag.size(), data_flag) == 0)
        {
            opts.data = arg.substr(data_flag.size());
        }
        else if (arg.compare(0, save_flag.size(), save_flag) == 0)
        {
            opts.save = arg.substr(save_flag.size());
        }
        else
        {
            std::cerr << "unknown argument " << arg << "\n"
                      << "usage: " << argv[0] << " [--smoke] [--data=DIR] [--save=DIR] [--benchmark_...]\n"
                      << "  --smoke     run the checks, then each benchmark for one iteration\n"
                      << "  --data=DIR  the folder holding the corpora (default " << QUARROW_BENCH_DATA << ")\n"
                      << "  --save=DIR  run the checks, write quarrow's compact and indented text of each\n"
                      << "              corpus into DIR, and time nothing: to compare two headers' bytes\n";
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    // Medians of five repetitions unless the command line asks otherwise:
    // later flags win, so the defaults go first.
    char repetitions[] = "--benchmark_repetitions=5";
    char aggregates_only[] = "--benchmark_display_aggregates_only=true";
    std::vector<char*> args(argv, argv + argc);
    args.insert(args.begin() + 1, {repetitions, aggregates_only});
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());

    options opts;
    if (!parse_options(count, args.data(), opts))
    {
        return 2;
    }

    std::vector<std::unique_ptr<corpus>> corpora;
    for (const corpus_file& file : corpus_files)
    {
        std::unique_ptr<corpus> c = load(opts.data, file);
        if (c == nullptr)
        {
            return 1;
        }
        corpora.push_back(std::move(c));
    }

    bool ok = true;
    for (const auto& c : corpora)
    {
        ok = check(*c) && ok;
    }
    if (!ok)
    {
        std::cerr << "checks failed; nothing timed\n";
        return 1;
    }
    std::cout << "checks passed: quarrow's compact and indented text reads back exactly as each corpus, its "
                 "15-digit text as operator<< writes it, and dump() and dump_to() give the same bytes\n";

    if (!opts.save.empty())
    {
        return save_texts(corpora, opts.save) ? 0 : 1;
    }

    std::vector<registered_output> outputs;
    for (const auto& c : corpora)
    {
        const corpus* const source = c.get();
        for (const output_case& oc : output_cases)
        {
            // One untimed run gives the size for MB/s. number_share.sh profiles
            // these calls, and counts on their order: corpus by corpus, in table order.
            outputs.push_back({benchmark_name(*c, name_of(oc.lib), route_names[static_cast<std::size_t>(oc.way)].key),
                               source, &oc, oc.write(*c)});
            const auto write = oc.write;
            configure(benchmark::RegisterBenchmark(outputs.back().name.c_str(),
                                                   [source, write](benchmark::State& state) {
                                                       run_output(state, *source, write);
                                                   }),
                      benchmark::kMillisecond, opts.smoke);
        }
        for (const operation_case& op : operation_cases)
        {
            const auto run = op.run;
            configure(benchmark::RegisterBenchmark(benchmark_name(*c, "quarrow", op.key).c_str(),
                                                   [source, run](benchmark::State& state) { run(state, *source); }),
                      op.unit, opts.smoke);
        }
    }

    median_reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    print_output_tables(reporter, corpora, outputs);
    print_operation_table(reporter, corpora);
    print_memory_tables(corpora);
    return 0;
}

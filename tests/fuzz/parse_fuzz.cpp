// libFuzzer target for reading text: every input either parses or throws
// parse_error at a byte inside it; accept agrees with parse; text in memory
// (with its fast paths) and text from a stream read alike; the stream
// operator reads values one after another without crashing; and a parsed
// value writes text that reads back to a value writing the same bytes.

#include <quarrow/json.hpp>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

namespace
{

using quarrow::json;

void require(bool condition)
{
    if (not condition)
    {
        std::abort();
    }
}

/// The value written back, or the error's id and byte.
std::string outcome(const std::string& text, const quarrow::parse_options& options, const bool from_stream)
{
    try
    {
        if (from_stream)
        {
            std::istringstream stream(text);
            return json::parse(stream, options).dump();
        }
        return json::parse(text, options).dump();
    }
    catch (const json::parse_error& e)
    {
        require(e.byte <= text.size());
        return "error " + std::to_string(e.id) + " at " + std::to_string(e.byte);
    }
}

void check(const std::string& text, const quarrow::parse_options& options)
{
    const bool accepted = json::accept(text, options);
    const std::string written = outcome(text, options, false);
    require(outcome(text, options, true) == written);
    if (written.compare(0, 6, "error ") == 0)
    {
        require(not accepted);
        return;
    }
    require(accepted);
    try
    {
        require(json::parse(written).dump() == written);
    }
    catch (const json::parse_error& e)
    {
        // Fifteen digits write the doubles nearest the largest one as a
        // number above it; nothing else may fail to read back.
        require(e.id == 103);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    check(text, quarrow::parse_options());

    quarrow::parse_options relaxed;
    relaxed.allow_comments = true;
    relaxed.allow_trailing_commas = true;
    relaxed.duplicate_keys = quarrow::duplicate_key_policy::first_wins;
    relaxed.max_depth = 64;
    check(text, relaxed);

    quarrow::parse_options strict_keys;
    strict_keys.duplicate_keys = quarrow::duplicate_key_policy::reject;
    check(text, strict_keys);

    std::istringstream stream(text);
    json value;
    try
    {
        while (stream >> value)
        {
        }
    }
    catch (const json::parse_error&)
    {
    }
    return 0;
}

// libFuzzer target for the JSON Lines reader: every input is read to its end
// without crashing, each record is the line its place names, with the value
// try_parse reads from that line alone or an error inside it, read and
// try_read agree, and a bad line never stops the lines after it.

#include <quarrow/json.hpp>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

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

void check(const std::string& text, const quarrow::parse_options& options)
{
    std::vector<std::size_t> line_starts = {0};
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] == '\n')
        {
            line_starts.push_back(i + 1);
        }
    }
    std::istringstream thrown_in(text);
    std::istringstream kept_in(text);
    quarrow::lines_reader thrown(thrown_in, options);
    quarrow::lines_reader kept(kept_in, options);
    quarrow::parse_result<json> result;
    std::size_t last_line = 0;
    for (;;)
    {
        json value;
        std::string outcome;
        try
        {
            outcome = thrown.read(value) ? value.dump() : "end";
        }
        catch (const json::parse_error& e)
        {
            require(e.line == thrown.line() and e.byte >= thrown.byte() and
                    e.byte <= thrown.byte() + thrown.text().size());
            outcome = e.what();
        }
        const bool more = kept.try_read(result);
        require(outcome == (not more ? "end" : result.ok() ? result.value.dump() : result.error.message));
        if (not more)
        {
            break;
        }
        // The record is the line its place names, read alone.
        require(kept.line() > last_line and kept.line() <= line_starts.size());
        last_line = kept.line();
        require(kept.byte() == line_starts[kept.line() - 1]);
        require(text.compare(kept.byte(), kept.text().size(), kept.text()) == 0);
        quarrow::parse_options alone = options;
        alone.skip_byte_order_mark = options.skip_byte_order_mark and kept.line() == 1;
        const quarrow::parse_result<json> read_alone = json::try_parse(kept.text(), alone);
        require(read_alone.ok() == result.ok());
        require(result.ok() ? read_alone.value == result.value
                            : read_alone.error.id == result.error.id and
                                  read_alone.error.byte + kept.byte() == result.error.byte);
        kept.excerpt(result.error.byte);
    }
    require(kept_in.eof());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    check(text, quarrow::parse_options());

    quarrow::parse_options relaxed;
    relaxed.allow_comments = true;
    relaxed.allow_trailing_commas = true;
    relaxed.skip_byte_order_mark = true;
    relaxed.duplicate_keys = quarrow::duplicate_key_policy::reject;
    relaxed.max_depth = 64;
    check(text, relaxed);
    return 0;
}

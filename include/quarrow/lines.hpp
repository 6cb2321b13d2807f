// Reading a stream of values a line each (JSON Lines), and showing where an error is.

#ifndef QUARROW_LINES_HPP
#define QUARROW_LINES_HPP

namespace quarrow
{

/// The line of text around byte `at` and, below it, a caret under that byte,
/// for a tool to show where a parse_error or a read_error is:
///
///     {"id": 1, "name": tru}
///                          ^
///
/// Tabs are written as \t, other control bytes, DEL and bytes that are not
/// valid UTF-8 as \xHH, so nothing raw reaches a terminal or a log; a line
/// longer than `width` bytes is cut around the byte, "..." standing for what
/// is left out. An `at` past the end stands for the end. Throws std::bad_alloc.
inline std::string error_excerpt(const char* const text, const std::size_t size, std::size_t at,
                                 const std::size_t width = 72)
{
    at = std::min(at, size);
    std::size_t first = at;
    while (first != 0 and text[first - 1] != '\n')
    {
        --first;
    }
    std::size_t last = at;
    while (last != size and text[last] != '\n')
    {
        ++last;
    }
    const auto continuation = [&](const std::size_t i) {
        return (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80;
    };
    const std::size_t half = width / 2;
    const bool cut_before = at - first > half;
    if (cut_before)
    {
        first = at - half;
        while (first != at and continuation(first))
        {
            ++first;
        }
    }
    const bool cut_after = last - at > half;
    if (cut_after)
    {
        last = at + half;
        while (last != at and continuation(last))
        {
            --last;
        }
    }
    const char* const hexify = detail::uppercase_hex();
    std::string shown = cut_before ? "..." : "";
    std::size_t caret = std::string::npos;
    for (std::size_t i = first; i != last;)
    {
        const auto byte = static_cast<unsigned char>(text[i]);
        const std::size_t length = byte < 0x80 ? 1 : detail::utf8_sequence_length(text + i, text + last);
        if (caret == std::string::npos and at < i + std::max<std::size_t>(length, 1))
        {
            caret = shown.size();
        }
        if (byte == '\t')
        {
            shown += "\\t";
        }
        else if (length == 0 or byte < 0x20 or byte == 0x7F)
        {
            shown += "\\x";
            shown += hexify[byte >> 4];
            shown += hexify[byte & 0x0F];
        }
        else
        {
            shown.append(text + i, length);
        }
        i += std::max<std::size_t>(length, 1);
    }
    // The caret's column counts each character as one, however many bytes it takes.
    std::size_t column = 0;
    const std::size_t caret_byte = caret == std::string::npos ? shown.size() : caret;
    for (std::size_t i = 0; i != caret_byte; ++i)
    {
        column += (static_cast<unsigned char>(shown[i]) & 0xC0) != 0x80;
    }
    if (cut_after)
    {
        shown += "...";
    }
    shown += '\n';
    shown.append(column, ' ');
    shown += '^';
    return shown;
}

/// The same, for a string.
inline std::string error_excerpt(const std::string& text, const std::size_t at, const std::size_t width = 72)
{
    return error_excerpt(text.data(), text.size(), at, width);
}

/// Reads JSON Lines: one value a line from a std::istream, with parse
/// options, lines ending at LF. Lines of only whitespace (and comments, if
/// allowed; a comment ends with its line) are skipped. Each error's byte,
/// line and column count from where the stream stood when the reader was
/// made, and after a bad line the reader goes on with the next one.
template<typename BasicJsonType>
class basic_lines_reader
{
  public:
    /// A reader of the rest of the stream; a byte order mark at its start
    /// is skipped only with parse_options::skip_byte_order_mark.
    explicit basic_lines_reader(std::istream& stream, const parse_options options = parse_options())
        : source(&stream), options_(options)
    {}

    /// Reads the next value into value; false at the end of the stream
    /// (eofbit is set, and failbit when it ended with a LF). Throws parse_error for a bad
    /// line, leaving value as it was (the next read goes on after that
    /// line); parse_error 105 for a stream that is not good() before
    /// reading, or one that got badbit, after which the reader reads no
    /// more; std::bad_alloc; and what the stream's exceptions mask asks for.
    bool read(BasicJsonType& value)
    {
        detail::parse_failure failure;
        switch (next(value, failure))
        {
            case outcome::value:
                return true;
            case outcome::end:
                return false;
            default:
                detail::throw_parse_error(failure);
        }
    }

    /// read, with an error in the result instead of thrown, also when built
    /// with -fno-exceptions: false at the end of the stream; true with the
    /// value or the error in result otherwise. Never throws parse_error.
    bool try_read(parse_result<BasicJsonType>& result)
    {
        detail::parse_failure failure;
        result.error = read_error();
        switch (next(result.value, failure))
        {
            case outcome::value:
                return true;
            case outcome::end:
                return false;
            default:
                result.value = BasicJsonType();
                result.error = detail::read_error_of(failure);
                return true;
        }
    }

    /// The line of the last line read, counted from 1; 0 before the first.
    std::size_t line() const noexcept
    {
        return record_line;
    }

    /// The offset of the first byte of that line.
    std::size_t byte() const noexcept
    {
        return record_byte;
    }

    /// The text of that line, without its LF.
    const std::string& text() const noexcept
    {
        return record;
    }

    /// error_excerpt of that line, at the byte `at` counted as byte() counts
    /// (the byte of an error in it). Throws std::bad_alloc.
    std::string excerpt(const std::size_t at) const
    {
        return error_excerpt(record, at < record_byte ? 0 : at - record_byte);
    }

  private:
    enum class outcome
    {
        value,
        end,
        error
    };

    /// Reads lines up to the next value, into value, or the failure of the
    /// first line that is not JSON.
    outcome next(BasicJsonType& value, detail::parse_failure& failure)
    {
        for (;;)
        {
            if (finished)
            {
                return outcome::end;
            }
            if (not source->good())
            {
                return unreadable(detail::stream_not_good(source->rdstate()), failure);
            }
            std::getline(*source, record);
            if (source->bad())
            {
                detail::parse_failure threw;
                threw.expected = detail::expectation::buffer_byte;
                threw.byte = next_byte + record.size();
                threw.column = record.size() + 1;
                return unreadable(threw, failure);
            }
            if (source->fail())
            {
                finished = true; // only the end was left
                return outcome::end;
            }
            finished = source->eof();
            record_line = next_line;
            record_byte = next_byte;
            ++next_line;
            next_byte += record.size() + 1;
            parse_options line_options = options_;
            line_options.skip_byte_order_mark = options_.skip_byte_order_mark and record_line == 1;
            detail::parser<BasicJsonType, detail::memory_input> reader(
                detail::memory_input(record.data(), record.data() + record.size()), line_options);
            if (not reader.skip_byte_order_mark() or not reader.skip_space())
            {
                return bad_line(reader.failure(false), failure);
            }
            if (reader.at_end())
            {
                continue;
            }
            BasicJsonType result;
            detail::value_builder<BasicJsonType> builder(result, options_.duplicate_keys);
            if (not reader.read(builder, true))
            {
                return bad_line(reader.failure(builder.duplicate_key()), failure);
            }
            value = std::move(result);
            return outcome::value;
        }
    }

    /// A failure on the line just read, its place counted from the stream's start.
    outcome bad_line(const detail::parse_failure& on_line, detail::parse_failure& failure) const
    {
        failure = on_line;
        failure.byte += record_byte;
        failure.line = record_line;
        if (record_line != 1 and failure.hint == detail::option_hint::byte_order_mark)
        {
            failure.hint = detail::option_hint::none; // a mark is skipped only where the stream starts
        }
        return outcome::error;
    }

    /// 105 at the line about to be read; the reader reads no more.
    outcome unreadable(const detail::parse_failure& at_start, detail::parse_failure& failure)
    {
        failure = at_start;
        failure.byte += next_byte;
        failure.line = next_line;
        finished = true;
        return outcome::error;
    }

    std::istream* source;
    parse_options options_;
    std::string record;          // the last line read
    std::size_t record_line = 0; // its line
    std::size_t record_byte = 0; // the offset of its first byte
    std::size_t next_line = 1;
    std::size_t next_byte = 0;
    bool finished = false; // the end was met, or a stream that cannot be read
};

/// The JSON Lines reader of json values.
using lines_reader = basic_lines_reader<json>;

} // namespace quarrow

#endif // QUARROW_LINES_HPP

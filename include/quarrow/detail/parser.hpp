// The reader: bytes checked against the JSON grammar of RFC 8259, without recursion, reported as events.

#ifndef QUARROW_DETAIL_PARSER_HPP
#define QUARROW_DETAIL_PARSER_HPP

namespace quarrow
{
namespace detail
{

/// What the grammar wanted where a parse failed.
enum class expectation : std::uint8_t
{
    value,
    end_of_input,
    comma_or_bracket,
    comma_or_brace,
    key,
    key_or_brace,
    colon,
    digit,
    literal_true,
    literal_false,
    literal_null,
    string_content,
    escape_letter,
    hex_digit,
    no_lone_low_surrogate,
    low_surrogate,
    utf8_lead,
    utf8_continuation,
    comment_start,
    comment_end,
    byte_order_mark,
    // Each of the rest is an error of its own; the ones above are syntax errors.
    shallower,
    finite_number,
    finite_float,
    new_key,
    good_stream,
    buffer_byte,
    // Only told to fail, which records it as value: a value in an array.
    element
};

/// The option that would have read on where a syntax error stopped the text.
enum class option_hint : std::uint8_t
{
    none,
    comments,
    trailing_commas,
    byte_order_mark
};

/// Where and why a parse failed, kept without allocating so that accept
/// never needs to; parse_error_text turns it into the message.
struct parse_failure
{
    bool stopped = false; // the handler stopped the parse: no error
    std::size_t byte = 0;
    std::size_t line = 1;
    std::size_t column = 1;
    expectation expected = expectation::value;
    std::size_t max_depth = 0;
    std::array<char, 24> found{{}}; // the first bytes of what stood there
    std::size_t found_length = 0;
    bool found_end = false; // the input ended there
    bool found_cut = false; // found holds only the start of it
    std::ios_base::iostate stream_state = std::ios_base::goodbit; // of a stream that was not good
    option_hint hint = option_hint::none;
};

/// The error a failure is, which what the grammar expected tells.
inline error parse_error_of(const parse_failure& failure) noexcept
{
    switch (failure.expected)
    {
        case expectation::shallower:
            return error::nesting_too_deep;
        case expectation::finite_number:
            return error::number_out_of_range;
        case expectation::finite_float:
            return error::float_out_of_range;
        case expectation::new_key:
            return error::duplicate_key;
        case expectation::good_stream:
            return error::stream_not_good;
        case expectation::buffer_byte:
            return error::stream_buffer_threw;
        default:
            break;
    }
    static const error syntax_errors[] = {error::syntax_error, error::syntax_error_at_comment,
                                          error::syntax_error_at_trailing_comma, error::syntax_error_at_byte_order_mark};
    return syntax_errors[static_cast<std::size_t>(failure.hint)];
}

/// What stood where the parse failed: the end of input, or its first bytes
/// quoted, with control bytes and those from 0x80 up written as \xHH.
inline std::string found_text(const parse_failure& failure)
{
    if (failure.found_end)
    {
        return "end of input";
    }
    const char* const hexify = uppercase_hex();
    std::string text = "'";
    for (std::size_t i = 0; i < failure.found_length; ++i)
    {
        const auto byte = static_cast<unsigned char>(failure.found[i]);
        if (byte < 0x20 or byte >= 0x7F)
        {
            text += "\\x";
            text += hexify[byte >> 4];
            text += hexify[byte & 0x0F];
        }
        else
        {
            text += failure.found[i];
        }
    }
    text += failure.found_cut ? "...'" : "'";
    return text;
}

/// The state bits of a stream, as "failbit|eofbit".
inline std::string stream_state_text(const std::ios_base::iostate state)
{
    static const struct
    {
        std::ios_base::iostate bit;
        const char* name;
    } bits[] = {{std::ios_base::badbit, "badbit"}, {std::ios_base::failbit, "failbit"},
                {std::ios_base::eofbit, "eofbit"}};
    std::string text;
    for (const auto& bit : bits)
    {
        if ((state & bit.bit) != 0)
        {
            text += text.empty() ? "" : "|";
            text += bit.name;
        }
    }
    return text;
}

/// The text of every parse error: the error's text in the table, with where
/// it is, what the grammar expected and what stood there instead.
inline std::string parse_error_text(const parse_failure& failure)
{
    static const char* const expected_texts[] = {
        "a value",
        "end of input",
        "',' or ']'",
        "',' or '}'",
        "'\"' to start a key",
        "'\"' to start a key, or '}'",
        "':'",
        "a digit",
        "'true'",
        "'false'",
        "'null'",
        "a character, an escape or '\"'",
        "one of '\"', '\\', '/', 'b', 'f', 'n', 'r', 't', 'u' after '\\'",
        "a hexadecimal digit",
        "no low surrogate without a high one before it",
        "'\\u' and a low surrogate after a high surrogate",
        "the first byte of a UTF-8 sequence",
        "a UTF-8 continuation byte that completes the sequence",
        "'/' or '*' after '/'",
        "'*/'",
        "the byte order mark EF BB BF",
    };
    static_assert(sizeof expected_texts / sizeof *expected_texts == static_cast<std::size_t>(expectation::shallower),
                  "one text for each expectation of a syntax error");
    const error what = parse_error_of(failure);
    const std::string line = std::to_string(failure.line);
    const std::string column = std::to_string(failure.column);
    switch (what)
    {
        case error::syntax_error:
        case error::syntax_error_at_comment:
        case error::syntax_error_at_trailing_comma:
        case error::syntax_error_at_byte_order_mark:
            return error_text(what, {line, column, expected_texts[static_cast<std::size_t>(failure.expected)],
                                     found_text(failure)});
        case error::nesting_too_deep:
            return error_text(what, {line, column, std::to_string(failure.max_depth), found_text(failure)});
        case error::stream_not_good:
            return error_text(what, {line, column, stream_state_text(failure.stream_state)});
        case error::stream_buffer_threw:
            return error_text(what, {line, column});
        default:
            return error_text(what, {line, column, found_text(failure)});
    }
}

/// The parse_error the failure is. Throws std::bad_alloc.
inline parse_error parse_error_of_failure(const parse_failure& failure)
{
    return parse_error(entry_of(parse_error_of(failure)).id, failure.byte, failure.line, failure.column,
                       parse_error_text(failure));
}

/// Throws the failure as parse_error.
[[noreturn]] inline void throw_parse_error(const parse_failure& failure)
{
    throw_exception<parse_error>(parse_error_of_failure(failure));
}

/// The failure 105 of a stream that was not good before reading, at the
/// first byte, naming the bits it had.
inline parse_failure stream_not_good(const std::ios_base::iostate state) noexcept
{
    parse_failure failure;
    failure.expected = expectation::good_stream;
    failure.stream_state = state;
    return failure;
}

/// Whether the failure is of a stream that could not be read.
inline bool is_unreadable(const parse_failure& failure) noexcept
{
    return failure.expected == expectation::good_stream or failure.expected == expectation::buffer_byte;
}

template<typename BasicJsonType>
class value_builder;

/// The reader: a loop over the bytes with an explicit stack of the open
/// arrays and objects, so no depth of text reaches the call stack. It
/// reports each value to a handler whose callbacks return false to stop.
/// Failures are recorded, not thrown, so accept can run it without a throw.
template<typename BasicJsonType, typename Input>
class parser
{
    using string_t = typename BasicJsonType::string_t;
    using number_integer_t = typename BasicJsonType::number_integer_t;
    using number_unsigned_t = typename BasicJsonType::number_unsigned_t;
    using number_float_t = typename BasicJsonType::number_float_t;

  public:
    parser(Input source, const parse_options& parse_options_)
        : input(std::move(source)), options(parse_options_)
    {}

    /// Reads one value, reporting it to handler. With whole_text, only
    /// whitespace may follow it; without, the input is left just after it.
    /// False when the text is not JSON (raise throws why) or the handler
    /// stopped (see stopped).
    template<typename Handler>
    bool read(Handler& handler, const bool whole_text)
    {
        // A handler that ignores every value needs no string decoded and no
        // number converted, only checked.
        ignoring_values = std::is_same<Handler, typename BasicJsonType::event_handler>::value;
        if (not skip_whitespace())
        {
            return false;
        }
        bool in_object = false;
        for (;;)
        {
            // A value starts here.
            token_start = input.offset();
            switch (input.peek())
            {
                case '{':
                case '[':
                {
                    const bool object = input.peek() == '{';
                    if (depth == options.max_depth)
                    {
                        return fail(expectation::shallower);
                    }
                    input.advance();
                    if (not(object ? handler.begin_object() : handler.begin_array()))
                    {
                        return stop();
                    }
                    if (not skip_whitespace())
                    {
                        return false;
                    }
                    if (input.peek() == (object ? '}' : ']'))
                    {
                        token_start = input.offset();
                        input.advance();
                        if (not(object ? handler.end_object() : handler.end_array()))
                        {
                            return stop();
                        }
                        break;
                    }
                    push(in_object);
                    in_object = object;
                    if (object and not read_key(handler, expectation::key_or_brace))
                    {
                        return false;
                    }
                    continue;
                }
                case '"':
                    if (not read_string_for(handler, false))
                    {
                        return false;
                    }
                    break;
                case 't':
                    if (not read_literal("true", expectation::literal_true))
                    {
                        return false;
                    }
                    if (not handler.boolean_value(true))
                    {
                        return stop();
                    }
                    break;
                case 'f':
                    if (not read_literal("false", expectation::literal_false))
                    {
                        return false;
                    }
                    if (not handler.boolean_value(false))
                    {
                        return stop();
                    }
                    break;
                case 'n':
                    if (not read_literal("null", expectation::literal_null))
                    {
                        return false;
                    }
                    if (not handler.null_value())
                    {
                        return stop();
                    }
                    break;
                case '-':
                case '0':
                case '1':
                case '2':
                case '3':
                case '4':
                case '5':
                case '6':
                case '7':
                case '8':
                case '9':
                    for (;;)
                    {
                        if (not read_number(handler))
                        {
                            return false;
                        }
                        // Numbers in an array most often follow one another with a bare comma between.
                        if (in_object or depth == 0 or not input.comma_then_number())
                        {
                            break;
                        }
                        input.advance();
                        token_start = input.offset();
                    }
                    break;
                default:
                    return fail_value(in_object);
            }

            switch (close_levels(handler, whole_text, in_object))
            {
                case after_value::next_value:
                    break;
                case after_value::finished:
                    return true;
                case after_value::failed:
                    return false;
            }
        }
    }

    /// Where reading stands once a value has ended.
    enum class after_value
    {
        next_value, // one follows: an element, or a member whose key is read
        finished,   // the whole text is read
        failed      // the text failed, or the handler stopped
    };

    /// Closes every array and object that ends with the value just read, up
    /// to the start of the next value, reading a member's key before it.
    template<typename Handler>
    QUARROW_ALWAYS_INLINE after_value close_levels(Handler& handler, const bool whole_text, bool& in_object)
    {
        for (;;)
        {
            if (depth == 0)
            {
                if (not whole_text)
                {
                    return after_value::finished;
                }
                if (not skip_whitespace())
                {
                    return after_value::failed;
                }
                return input.peek() == -1 or fail(expectation::end_of_input) ? after_value::finished
                                                                                   : after_value::failed;
            }
            if (not skip_whitespace())
            {
                return after_value::failed;
            }
            const char closing = in_object ? '}' : ']';
            int c = input.peek();
            if (c == ',')
            {
                input.advance();
                if (not skip_whitespace())
                {
                    return after_value::failed;
                }
                c = input.peek();
                if (not(options.allow_trailing_commas and c == closing))
                {
                    if (in_object and not read_key(handler, options.allow_trailing_commas ? expectation::key_or_brace
                                                                                            : expectation::key))
                    {
                        return after_value::failed;
                    }
                    return after_value::next_value;
                }
            }
            if (c != closing)
            {
                fail(in_object ? expectation::comma_or_brace : expectation::comma_or_bracket);
                return after_value::failed;
            }
            token_start = input.offset();
            input.advance();
            if (not(in_object ? handler.end_object() : handler.end_array()))
            {
                stop();
                return after_value::failed;
            }
            in_object = pop();
        }
    }

    /// Skips whitespace (and comments, if allowed) and tells whether the
    /// input ends there; for reading one value after another.
    bool at_end()
    {
        return skip_whitespace() and input.peek() == -1;
    }

    /// True when read returned false because the handler stopped it.
    bool stopped() const noexcept
    {
        return failed.stopped;
    }

    /// With skip_byte_order_mark, skips a byte order mark where reading
    /// starts; false when the bytes there start one but do not end it. Kept
    /// out of read, so that the plain reading path stays as it was.
    bool skip_byte_order_mark()
    {
        return not options.skip_byte_order_mark or input.offset() != 0 or input.peek() != 0xEF or
               read_byte_order_mark();
    }

    /// Skips whitespace (and comments, if allowed); false when a comment
    /// fails (failure tells why).
    bool skip_space()
    {
        return skip_whitespace();
    }

    /// The recorded failure. After a handler stopped at a key, duplicate_key
    /// makes it 104 at that key.
    const parse_failure& failure(const bool duplicate_key)
    {
        if (duplicate_key)
        {
            failed.expected = expectation::new_key;
            failed.found_end = false;
            failed.found_length = 0;
            show('"');
            show_text(text.data(), text.size());
            show('"');
        }
        return failed;
    }

    /// Throws the recorded failure as parse_error; see failure.
    [[noreturn]] void raise(const bool duplicate_key)
    {
        throw_parse_error(failure(duplicate_key));
    }

    /// The failure of a stream buffer that threw at the next byte.
    const parse_failure& unreadable()
    {
        record(input.offset(), expectation::buffer_byte);
        return failed;
    }

    /// Throws parse_error 105 at the byte the stream buffer threw on.
    [[noreturn]] void raise_unreadable()
    {
        throw_parse_error(unreadable());
    }

  private:
    /// Records a failure at the next byte, which is shown as what was found.
    bool fail(const expectation expected)
    {
        record(input.offset(), expected == expectation::element ? expectation::value : expected);
        const int c = input.peek();
        if (c == -1)
        {
            failed.found_end = true;
        }
        else
        {
            show(static_cast<char>(c));
        }
        failed.hint = hint_at(expected, c);
        return false;
    }

    /// fail where a value should start: in an array, a ']' there follows a
    /// comma. Cold, so that read keeps its size and its inlining.
    QUARROW_COLD bool fail_value(const bool in_object)
    {
        return fail(in_object or depth == 0 ? expectation::value : expectation::element);
    }

    /// The option that would read on from byte c, where expected was not
    /// found: a '/' between tokens may start a comment; a ']' for an
    /// element, or a '}' for a key, follows a comma (after '[' or '{' it
    /// would have closed them); and 0xEF at the start may lead a byte order
    /// mark.
    option_hint hint_at(const expectation expected, const int c) const noexcept
    {
        if (c == '/' and (expected <= expectation::colon or expected == expectation::element) and
            not options.allow_comments)
        {
            return option_hint::comments;
        }
        if ((c == ']' and expected == expectation::element) or (c == '}' and expected == expectation::key))
        {
            return option_hint::trailing_commas;
        }
        if (c == 0xEF and expected == expectation::value and failed.byte == 0 and not options.skip_byte_order_mark)
        {
            return option_hint::byte_order_mark;
        }
        return option_hint::none;
    }

    /// Records that the handler stopped at the token starting at token_start.
    bool stop()
    {
        record(token_start, expectation::value);
        failed.stopped = true;
        return false;
    }

    void record(const std::size_t byte, const expectation expected)
    {
        failed.stopped = false;
        failed.byte = byte;
        failed.line = line;
        failed.column = byte - line_start + 1;
        failed.expected = expected;
        failed.max_depth = options.max_depth;
        failed.hint = option_hint::none;
    }

    void show(const char c) noexcept
    {
        if (failed.found_length == failed.found.size())
        {
            failed.found_cut = true;
            return;
        }
        failed.found[failed.found_length++] = c;
    }

    void show_text(const char* first, const std::size_t length) noexcept
    {
        for (std::size_t i = 0; i < length and not failed.found_cut; ++i)
        {
            show(first[i]);
        }
    }

    // -- whitespace and comments ----------------------------------------------

    QUARROW_NOINLINE bool read_byte_order_mark()
    {
        return read_literal("\xEF\xBB\xBF", expectation::byte_order_mark);
    }

    QUARROW_ALWAYS_INLINE bool skip_whitespace()
    {
        input.skip_whitespace(line, line_start);
        return input.peek() != '/' or not options.allow_comments or skip_comments();
    }

    /// The comments from a '/' on, and the whitespace around them.
    bool skip_comments()
    {
        for (;;)
        {
            if (not skip_comment())
            {
                return false;
            }
            input.skip_whitespace(line, line_start);
            if (input.peek() != '/')
            {
                return true;
            }
        }
    }

    bool skip_comment()
    {
        input.advance();
        const int kind = input.peek();
        if (kind == '/')
        {
            // The line feed is left to skip_whitespace, which counts it.
            while (input.peek() != '\n' and input.peek() != -1)
            {
                input.advance();
            }
            return true;
        }
        if (kind != '*')
        {
            return fail(expectation::comment_start);
        }
        input.advance();
        for (;;)
        {
            const int c = input.peek();
            if (c == -1)
            {
                return fail(expectation::comment_end);
            }
            input.advance();
            if (c == '\n')
            {
                ++line;
                line_start = input.offset();
            }
            else if (c == '*' and input.peek() == '/')
            {
                input.advance();
                return true;
            }
        }
    }

    // -- tokens ---------------------------------------------------------------

    /// true, false or null; in memory, the word four bytes per comparison.
    template<std::size_t Size>
    QUARROW_ALWAYS_INLINE bool read_literal(const char (&word)[Size], const expectation expected)
    {
        if (input.starts_with(word, Size - 1))
        {
            input.advance(Size - 1);
            return true;
        }
        return read_literal_bytes(word, expected);
    }

    /// read_literal a byte at a time, failing at the first byte that differs.
    bool read_literal_bytes(const char* word, const expectation expected)
    {
        for (; *word != '\0'; ++word)
        {
            if (input.peek() != static_cast<unsigned char>(*word))
            {
                return fail(expected);
            }
            input.advance();
        }
        return true;
    }

    /// A key and its colon, up to the start of the member's value.
    template<typename Handler>
    bool read_key(Handler& handler, const expectation expected)
    {
        token_start = input.offset();
        if (input.peek() != '"')
        {
            return fail(expected);
        }
        if (not read_string_for(handler, true))
        {
            return false;
        }
        if (not skip_whitespace())
        {
            return false;
        }
        if (input.peek() != ':')
        {
            return fail(expectation::colon);
        }
        input.advance();
        return input.skip_single_space() or skip_whitespace();
    }

    /// A number by the grammar (decimal::scan_number), read once: integer
    /// text becomes the first integer type it fits; all other text becomes
    /// the nearest double.
    template<typename Handler>
    bool read_number(Handler& handler)
    {
        return read_number(handler, std::integral_constant<bool, Input::contiguous>());
    }

    /// read_number for bytes in memory, the common measure or coordinate
    /// read in one go.
    template<typename Handler>
    bool read_number(Handler& handler, std::true_type /*in memory*/)
    {
        const char* const first = input.position();
#if defined(QUARROW_SSE2) && defined(__x86_64__)
        if (input.end() - first >= 32)
        {
            std::uint64_t leading = 0;
            bool negative = false;
            const char* const end = decimal::scan_long_fraction(first, leading, negative);
            if (end != nullptr)
            {
                input.advance(static_cast<std::size_t>(end - first));
                const double result =
                    ignoring_values ? 0.0 : long_fraction_to_double(first, end, leading, negative);
                return handler.float_value(static_cast<number_float_t>(result)) or stop();
            }
        }
#endif
        const std::size_t start = input.offset();
        decimal::memory_cursor bytes(first, input.end());
        decimal::number_parts parts{}; // zeroed: the compiler cannot see that valid text sets every part
        bool integral = false;
        const bool valid = decimal::scan_number(bytes, parts, integral);
        input.advance(static_cast<std::size_t>(bytes.position() - first));
        return valid ? report_number(handler, start, parts, integral, first, bytes.position())
                     : fail(expectation::digit);
    }

    /// The bytes of a number taken one at a time from the input, each kept
    /// in number_text, as decimal::scan_number takes them.
    class byte_cursor
    {
      public:
        explicit byte_cursor(parser& reader)
            : owner(&reader), next(reader.input.peek())
        {}

        int peek() const noexcept
        {
            return next;
        }

        /// Inlined even where the input's advance is heavy, as a stream's is.
        QUARROW_ALWAYS_INLINE void take()
        {
            owner->input.advance();
            owner->number_text.push_back(static_cast<char>(next));
            next = owner->input.peek();
        }

        void take_digits(std::uint64_t& leading, int& taken, bool& truncated)
        {
            decimal::take_digits_one_by_one(*this, leading, taken, truncated);
        }

        std::ptrdiff_t offset() const noexcept
        {
            return static_cast<std::ptrdiff_t>(owner->number_text.size());
        }

        const char* at(const std::ptrdiff_t offset_from_first) const noexcept
        {
            return owner->number_text.data() + offset_from_first;
        }

      private:
        parser* owner;
        int next;
    };

    /// read_number for any input.
    template<typename Handler>
    bool read_number(Handler& handler, std::false_type /*any input*/)
    {
        const std::size_t start = input.offset();
        number_text.clear();
        byte_cursor bytes(*this);
        decimal::number_parts parts{}; // zeroed: the compiler cannot see that valid text sets every part
        bool integral = false;
        if (not decimal::scan_number(bytes, parts, integral))
        {
            return fail(expectation::digit);
        }
        return report_number(handler, start, parts, integral, number_text.data(),
                             number_text.data() + number_text.size());
    }

    /// Reports the number that scan_number read from [first, last) as parts,
    /// which began at byte `start`: as an integer type where it is integral
    /// and fits one, or else as the nearest double.
    template<typename Handler>
    QUARROW_ALWAYS_INLINE bool report_number(Handler& handler, const std::size_t start, const decimal::number_parts& parts,
                       const bool integral, const char* const first, const char* const last)
    {
        std::uint64_t magnitude = 0;
        if (integral and decimal::integer_value(parts, std::numeric_limits<number_unsigned_t>::digits, magnitude) and
            is_integer(parts.negative, static_cast<number_unsigned_t>(magnitude)))
        {
            return report_integer(handler, parts.negative, static_cast<number_unsigned_t>(magnitude));
        }
        // Below 10^magnitude, so nothing can overflow: a handler that
        // ignores the value needs no conversion.
        if (ignoring_values and (parts.leading == 0 or parts.magnitude <= std::numeric_limits<number_float_t>::max_exponent10))
        {
            return handler.float_value(number_float_t()) or stop();
        }
        double result = 0;
        if (not decimal::parts_to_double(parts, result) or not in_float_range(result))
        {
            record(start, float_range());
            show_text(first, static_cast<std::size_t>(last - first));
            return false;
        }
        return handler.float_value(static_cast<number_float_t>(result)) or stop();
    }

    /// Whether a finite double stays finite as a number_float_t; for a
    /// double no test is made.
    static bool in_float_range(const double x) noexcept
    {
        return in_float_range(x, std::is_same<number_float_t, double>());
    }

    static bool in_float_range(const double /*unused*/, std::true_type /*double*/) noexcept
    {
        return true;
    }

    /// A float overflows from halfway between its largest value and the
    /// next power of two on, where rounding reaches infinity.
    static bool in_float_range(const double x, std::false_type /*float*/) noexcept
    {
        using limits = std::numeric_limits<number_float_t>;
        const double overflow =
            std::ldexp(1.0, limits::max_exponent) - std::ldexp(1.0, limits::max_exponent - limits::digits - 1);
        return std::fabs(x) < overflow;
    }

    /// What a number beyond the range of number_float_t should have been.
    static expectation float_range() noexcept
    {
        return std::is_same<number_float_t, double>::value ? expectation::finite_number : expectation::finite_float;
    }

    /// An integer for which is_integer holds, as the first integer type it fits.
    template<typename Handler>
    bool report_integer(Handler& handler, const bool negative, const number_unsigned_t magnitude)
    {
        using signed_limits = std::numeric_limits<number_integer_t>;
        const auto largest = static_cast<number_unsigned_t>(signed_limits::max());
        if (not negative)
        {
            return (magnitude <= largest ? handler.integer_value(static_cast<number_integer_t>(magnitude))
                                         : handler.unsigned_value(magnitude)) or
                   stop();
        }
        // Negated one short of the magnitude, so the most negative number does not overflow.
        const number_integer_t value = magnitude == 0 ? 0 : -static_cast<number_integer_t>(magnitude - 1) - 1;
        return handler.integer_value(value) or stop();
    }

    /// Whether an integer of this sign and magnitude fits number_integer_t
    /// or, when not negative, number_unsigned_t.
    static bool is_integer(const bool negative, const number_unsigned_t magnitude) noexcept
    {
        return not negative or
               magnitude <= static_cast<number_unsigned_t>(std::numeric_limits<number_integer_t>::max()) + 1;
    }

    // -- strings --------------------------------------------------------------

    /// A string value, or a key where `key`, reported to the handler.
    template<typename Handler>
    bool read_string_for(Handler& handler, const bool key)
    {
        return read_string() and ((key ? handler.object_key(text) : handler.string_value(text)) or stop());
    }

    /// The value builder takes a string with nothing to decode from where it
    /// lies in memory, sparing the copy into `text`.
    bool read_string_for(value_builder<BasicJsonType>& builder, const bool key)
    {
        const char* first = nullptr;
        std::size_t length = 0;
        if (not read_string(first, length, std::integral_constant<bool, Input::contiguous>()))
        {
            return false;
        }
        if (first == nullptr)
        {
            return (key ? builder.object_key(text) : builder.string_value(text)) or stop();
        }
        if (key ? builder.object_key(first, length) : builder.string_value(first, length))
        {
            return true;
        }
        text.assign(first, length); // for the message
        return stop();
    }

    /// A string from its opening quote: where it has nothing to decode, first
    /// and length give its bytes in memory; otherwise first is null and the
    /// string is in `text`.
    bool read_string(const char*& first, std::size_t& length, std::true_type /*in memory*/)
    {
        input.advance();
        const std::size_t run = input.plain_run();
        const char* const start = input.position();
        if (static_cast<std::size_t>(input.end() - start) > run and start[run] == '"')
        {
            first = start;
            length = run;
            input.advance(run + 1);
            return true;
        }
        text.assign(start, run);
        input.advance(run);
        return read_string_rest();
    }

    bool read_string(const char*& /*first*/, std::size_t& /*length*/, std::false_type /*any input*/)
    {
        return read_string();
    }

    /// A string from its opening quote, decoded into `text` as UTF-8.
    bool read_string()
    {
        text.clear();
        input.advance();
        return read_string_rest();
    }

    /// The rest of a string, after its opening quote, appended to `text`.
    bool read_string_rest()
    {
        for (;;)
        {
            const std::size_t run = input.plain_run();
            if (run != 0)
            {
                if (not ignoring_values)
                {
                    text.append(input.position(), run);
                }
                input.advance(run);
            }
            const int c = input.peek();
            if (c == '"')
            {
                input.advance();
                return true;
            }
            if (c == '\\')
            {
                input.advance();
                if (not read_escape())
                {
                    return false;
                }
            }
            else if (c < 0x20)
            {
                return fail(expectation::string_content);
            }
            else if (c < 0x80)
            {
                put(static_cast<char>(c));
                input.advance();
            }
            else if (not read_utf8(c))
            {
                return false;
            }
        }
    }

    /// One UTF-8 sequence as RFC 3629 allows it, failing at its first byte
    /// that breaks the rules.
    bool read_utf8(const int lead)
    {
        int more = 0;
        int low = 0;
        int high = 0;
        if (not utf8_sequence(lead, more, low, high))
        {
            return fail(expectation::utf8_lead);
        }
        put(static_cast<char>(lead));
        input.advance();
        for (; more > 0; --more)
        {
            const int c = input.peek();
            if (c < low or c > high)
            {
                return fail(expectation::utf8_continuation);
            }
            put(static_cast<char>(c));
            input.advance();
            low = 0x80;
            high = 0xBF;
        }
        return true;
    }

    static int hex_value(const int c) noexcept
    {
        if (c >= '0' and c <= '9')
        {
            return c - '0';
        }
        if (c >= 'a' and c <= 'f')
        {
            return c - 'a' + 10;
        }
        if (c >= 'A' and c <= 'F')
        {
            return c - 'A' + 10;
        }
        return -1;
    }

    /// The escape after a backslash.
    bool read_escape()
    {
        char decoded = 0;
        switch (input.peek())
        {
            case '"':
                decoded = '"';
                break;
            case '\\':
                decoded = '\\';
                break;
            case '/':
                decoded = '/';
                break;
            case 'b':
                decoded = '\b';
                break;
            case 'f':
                decoded = '\f';
                break;
            case 'n':
                decoded = '\n';
                break;
            case 'r':
                decoded = '\r';
                break;
            case 't':
                decoded = '\t';
                break;
            case 'u':
                input.advance();
                return read_unicode_escape();
            default:
                return fail(expectation::escape_letter);
        }
        put(decoded);
        input.advance();
        return true;
    }

    /// Four hex digits of a \u escape into unit. A digit that no valid
    /// escape could have there fails at once: a low surrogate cannot come
    /// first, and the one after a high surrogate must be \uDC00 to \uDFFF.
    bool read_hex_unit(unsigned int& unit, const bool low_surrogate)
    {
        unit = 0;
        for (int i = 0; i < 4; ++i)
        {
            const int value = hex_value(input.peek());
            if (value < 0)
            {
                return fail(low_surrogate and i < 2 ? expectation::low_surrogate : expectation::hex_digit);
            }
            unit = unit * 16 + static_cast<unsigned int>(value);
            if (low_surrogate and ((i == 0 and unit != 0xD) or (i == 1 and unit < 0xDC)))
            {
                return fail(expectation::low_surrogate);
            }
            if (not low_surrogate and i == 1 and unit >= 0xDC and unit <= 0xDF)
            {
                return fail(expectation::no_lone_low_surrogate);
            }
            input.advance();
        }
        return true;
    }

    /// A \u escape from its first hex digit; a high surrogate must be
    /// followed by the escape of a low one, and the pair is one code point.
    bool read_unicode_escape()
    {
        unsigned int unit = 0;
        if (not read_hex_unit(unit, false))
        {
            return false;
        }
        if (unit >= 0xD800 and unit <= 0xDBFF)
        {
            for (const char c : {'\\', 'u'})
            {
                if (input.peek() != c)
                {
                    return fail(expectation::low_surrogate);
                }
                input.advance();
            }
            unsigned int second = 0;
            if (not read_hex_unit(second, true))
            {
                return false;
            }
            unit = 0x10000 + ((unit - 0xD800) << 10) + (second - 0xDC00);
        }
        append_code_point(unit);
        return true;
    }

    void put(const char c)
    {
        if (not ignoring_values)
        {
            text.push_back(c);
        }
    }

    void append_code_point(const unsigned int code_point)
    {
        if (code_point < 0x80)
        {
            put(static_cast<char>(code_point));
        }
        else if (code_point < 0x800)
        {
            put(static_cast<char>(0xC0 | (code_point >> 6)));
            put(static_cast<char>(0x80 | (code_point & 0x3F)));
        }
        else if (code_point < 0x10000)
        {
            put(static_cast<char>(0xE0 | (code_point >> 12)));
            put(static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)));
            put(static_cast<char>(0x80 | (code_point & 0x3F)));
        }
        else
        {
            put(static_cast<char>(0xF0 | (code_point >> 18)));
            put(static_cast<char>(0x80 | ((code_point >> 12) & 0x3F)));
            put(static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)));
            put(static_cast<char>(0x80 | (code_point & 0x3F)));
        }
    }

    // -- the stack of open arrays and objects, one bit each -------------------

    /// Opens a level, saving whether the enclosing one is an object. The
    /// innermost levels are bits of one word, a shift each, under a marker
    /// bit that tells when the word is full.
    void push(const bool enclosing_is_object)
    {
        if (kinds >> 63 != 0)
        {
            save_kinds();
        }
        kinds = kinds << 1 | static_cast<std::uint64_t>(enclosing_is_object);
        ++depth;
    }

    /// Closes a level; returns whether the enclosing one is an object.
    bool pop()
    {
        if (kinds == 1)
        {
            restore_kinds();
        }
        const bool enclosing_is_object = (kinds & 1) != 0;
        kinds >>= 1;
        --depth;
        return enclosing_is_object;
    }

    /// Stores the full word and starts an empty one. The first words are
    /// stored in place, so shallow text allocates nothing here.
    QUARROW_NOINLINE void save_kinds()
    {
        if (saved_kinds < near_kinds.size())
        {
            near_kinds[saved_kinds] = kinds;
        }
        else
        {
            far_kinds.push_back(kinds);
        }
        ++saved_kinds;
        kinds = 1;
    }

    /// Takes back the word stored last, once the current one is empty.
    QUARROW_NOINLINE void restore_kinds() noexcept
    {
        --saved_kinds;
        if (saved_kinds < near_kinds.size())
        {
            kinds = near_kinds[saved_kinds];
        }
        else
        {
            kinds = far_kinds.back();
            far_kinds.pop_back();
        }
    }

    Input input;
    const parse_options options;
    string_t text;        // the string or key last read
    string_t number_text; // the number being read, when the input is not in memory
    std::size_t depth = 0;
    std::uint64_t kinds = 1; // a bit per innermost level, above the marker bit
    std::size_t saved_kinds = 0;
    std::array<std::uint64_t, 8> near_kinds{{}};
    vector_for<BasicJsonType, std::uint64_t> far_kinds;
    std::size_t line = 1;
    std::size_t line_start = 0; // offset of the first byte of the line
    std::size_t token_start = 0;
    bool ignoring_values = false;
    parse_failure failed;
};

} // namespace detail
} // namespace quarrow

#endif // QUARROW_DETAIL_PARSER_HPP

// The reading functions behind parse, accept and parse_events.

#ifndef QUARROW_DETAIL_READING_HPP
#define QUARROW_DETAIL_READING_HPP

namespace quarrow
{
namespace detail
{

/// The input for each kind of source the reading entry points take.
template<typename Text, typename = decltype(std::declval<const Text&>().data() + std::declval<const Text&>().size())>
memory_input input_of(const Text& text) noexcept
{
    return memory_input(text.data(), text.data() + text.size());
}

/// Throws other_error 501 for a null pointer.
inline memory_input input_of(const char* text)
{
    if (text == nullptr)
    {
        throw_null_text();
    }
    return memory_input(text, text + std::char_traits<char>::length(text));
}

template<typename Iterator>
iterator_input<Iterator> input_of(std::pair<Iterator, Iterator>&& range)
{
    return iterator_input<Iterator>(std::move(range.first), std::move(range.second));
}

/// Pointers to bytes in memory take the fast input.
template<typename Byte, enable_if_t<sizeof(Byte) == 1, int> = 0>
memory_input input_of(std::pair<Byte*, Byte*>&& range) noexcept
{
    return memory_input(reinterpret_cast<const char*>(range.first), reinterpret_cast<const char*>(range.second));
}

/// Reads the whole text into the builder's value; throws its parse_error.
template<typename BasicJsonType, typename Input, typename Builder>
void read_value(parser<BasicJsonType, Input>& reader, Builder& builder)
{
    if (not reader.skip_byte_order_mark() or not reader.read(builder, true))
    {
        reader.raise(builder.duplicate_key());
    }
}

/// Whether the whole text is JSON; builds nothing unless repeated keys are refused.
template<typename BasicJsonType, typename Input>
bool accepts(parser<BasicJsonType, Input>& reader, const parse_options& options)
{
    if (options.duplicate_keys == duplicate_key_policy::reject)
    {
        BasicJsonType scratch;
        value_builder<BasicJsonType> builder(scratch, options.duplicate_keys);
        return reader.skip_byte_order_mark() and reader.read(builder, true);
    }
    typename BasicJsonType::event_handler ignore;
    return reader.skip_byte_order_mark() and reader.read(ignore, true);
}

/// Reports the whole text to handler; false when it stopped, and throws the
/// parse_error of text that is not JSON.
template<typename BasicJsonType, typename Input, typename Handler>
bool read_all_events(parser<BasicJsonType, Input>& reader, Handler& handler)
{
    if (reader.skip_byte_order_mark() and reader.read(handler, true))
    {
        return true;
    }
    if (not reader.stopped())
    {
        reader.raise(false);
    }
    return false;
}

template<typename BasicJsonType, typename Source>
BasicJsonType parse_source(Source&& source, const parse_options& options)
{
    auto input = input_of(std::forward<Source>(source));
    BasicJsonType result;
    value_builder<BasicJsonType> builder(result, options.duplicate_keys);
    parser<BasicJsonType, decltype(input)> reader(std::move(input), options);
    read_value(reader, builder);
    return result;
}

template<typename BasicJsonType, typename Source>
bool accept_source(Source&& source, const parse_options& options)
{
    auto input = input_of(std::forward<Source>(source));
    parser<BasicJsonType, decltype(input)> reader(std::move(input), options);
    return accepts(reader, options);
}

template<typename BasicJsonType, typename Source, typename Handler>
bool read_events(Source&& source, Handler& handler, const parse_options& options)
{
    auto input = input_of(std::forward<Source>(source));
    parser<BasicJsonType, decltype(input)> reader(std::move(input), options);
    return read_all_events(reader, handler);
}

#if defined(__cpp_exceptions) || defined(__EXCEPTIONS)
/// Sets bits of the stream while another exception is on its way, dropping
/// the ios_base::failure that its exceptions mask asks for.
inline void set_state_quietly(std::istream& stream, const std::ios_base::iostate bits)
{
    try
    {
        stream.setstate(bits);
    }
    catch (const std::ios_base::failure&)
    {}
}
#endif

/// How every stream entry point reads, as a formatted extractor does: a
/// sentry first, then read(reader), then the state bits for what it met:
/// eofbit when the end of the stream was seen, failbit when read returns
/// false or throws, badbit instead when the stream buffer threw. The mask's
/// ios_base::failure comes as the standard has it, but never in place of an
/// exception already on its way; the buffer's own exception passes only when
/// the mask asks for badbit. Returns read's result, and false when nothing
/// could be read: a stream not good before, or a buffer that threw, whose
/// failure 105 goes to unreadable unless it is null.
template<typename BasicJsonType, typename Read>
bool read_stream_noting(std::istream& stream, const parse_options& options, parse_failure* const unreadable, Read read)
{
    const std::ios_base::iostate before = stream.rdstate();
    const std::istream::sentry ready(stream, true); // JSON's own whitespace is skipped by the reader
    if (not ready)
    {
        if (unreadable != nullptr)
        {
            // Only the failbit the sentry sets is not the stream's own: a tie
            // that failed to flush may have set badbit.
            *unreadable = stream_not_good(before | (stream.rdstate() & ~std::ios_base::failbit));
        }
        return false;
    }
    stream_input::report met;
    parser<BasicJsonType, stream_input> reader(stream_input(*stream.rdbuf(), met), options);
#if defined(__cpp_exceptions) || defined(__EXCEPTIONS)
    bool done = false;
    try
    {
        done = read(reader);
    }
    catch (...)
    {
        const std::ios_base::iostate end = met.end ? std::ios_base::eofbit : std::ios_base::goodbit;
        if (not met.buffer_threw)
        {
            set_state_quietly(stream, std::ios_base::failbit | end);
            throw;
        }
        set_state_quietly(stream, std::ios_base::badbit | end);
        if ((stream.exceptions() & std::ios_base::badbit) != 0)
        {
            throw;
        }
        if (unreadable != nullptr)
        {
            *unreadable = reader.unreadable();
        }
        return false;
    }
#else
    const bool done = read(reader);
#endif
    stream.setstate((done ? std::ios_base::goodbit : std::ios_base::failbit) |
                    (met.end ? std::ios_base::eofbit : std::ios_base::goodbit));
    return done;
}

/// read_stream_noting; with unreadable_throws, a stream that cannot be read
/// throws its parse_error 105.
template<typename BasicJsonType, typename Read>
bool read_stream(std::istream& stream, const parse_options& options, const bool unreadable_throws, Read read)
{
    parse_failure unreadable;
    const bool done = read_stream_noting<BasicJsonType>(stream, options, unreadable_throws ? &unreadable : nullptr,
                                                        std::move(read));
    if (is_unreadable(unreadable))
    {
        throw_parse_error(unreadable);
    }
    return done;
}

template<typename BasicJsonType, typename Builder>
void parse_stream_with(std::istream& stream, Builder& builder, const parse_options& options)
{
    read_stream<BasicJsonType>(stream, options, true, [&](parser<BasicJsonType, stream_input>& reader) -> bool {
        read_value(reader, builder);
        return true;
    });
}

template<typename BasicJsonType>
BasicJsonType parse_stream(std::istream& stream, const parse_options& options)
{
    BasicJsonType result;
    value_builder<BasicJsonType> builder(result, options.duplicate_keys);
    parse_stream_with<BasicJsonType>(stream, builder, options);
    return result;
}

// -- reading with a filter, and reading without throwing parse_error --------

template<typename BasicJsonType, typename Source, typename Filter>
BasicJsonType parse_filtered_source(Source&& source, Filter& filter, const parse_options& options)
{
    auto input = input_of(std::forward<Source>(source));
    BasicJsonType result;
    filter_builder<BasicJsonType, Filter> builder(result, options.duplicate_keys, filter);
    parser<BasicJsonType, decltype(input)> reader(std::move(input), options);
    read_value(reader, builder);
    return result;
}

template<typename BasicJsonType, typename Filter>
BasicJsonType parse_filtered_stream(std::istream& stream, Filter& filter, const parse_options& options)
{
    BasicJsonType result;
    filter_builder<BasicJsonType, Filter> builder(result, options.duplicate_keys, filter);
    parse_stream_with<BasicJsonType>(stream, builder, options);
    return result;
}

/// The failure as the error of a result, with the parse_error's place and what().
inline read_error read_error_of(const parse_failure& failure)
{
    const parse_error raised = parse_error_of_failure(failure);
    read_error error;
    error.id = raised.id;
    error.byte = raised.byte;
    error.line = raised.line;
    error.column = raised.column;
    error.message = raised.what();
    return error;
}

/// Reads the whole text into result, or notes why it could not: the value
/// is then null. False on a failure.
template<typename BasicJsonType, typename Input>
bool read_result(parser<BasicJsonType, Input>& reader, parse_result<BasicJsonType>& result,
                 const parse_options& options)
{
    bool done = false;
    {
        value_builder<BasicJsonType> builder(result.value, options.duplicate_keys);
        done = reader.skip_byte_order_mark() and reader.read(builder, true);
        if (not done)
        {
            result.error = read_error_of(reader.failure(builder.duplicate_key()));
        }
    }
    if (not done)
    {
        result.value = BasicJsonType();
    }
    return done;
}

template<typename BasicJsonType, typename Source>
parse_result<BasicJsonType> try_parse_source(Source&& source, const parse_options& options)
{
    auto input = input_of(std::forward<Source>(source));
    parser<BasicJsonType, decltype(input)> reader(std::move(input), options);
    parse_result<BasicJsonType> result;
    read_result(reader, result, options);
    return result;
}

template<typename BasicJsonType>
parse_result<BasicJsonType> try_parse_stream(std::istream& stream, const parse_options& options)
{
    parse_result<BasicJsonType> result;
    parse_failure unreadable;
    read_stream_noting<BasicJsonType>(stream, options, &unreadable,
                                      [&](parser<BasicJsonType, stream_input>& reader) -> bool {
                                          return read_result(reader, result, options);
                                      });
    if (is_unreadable(unreadable))
    {
        result.value = BasicJsonType();
        result.error = read_error_of(unreadable);
    }
    return result;
}

template<typename BasicJsonType>
bool accept_stream(std::istream& stream, const parse_options& options)
{
    return read_stream<BasicJsonType>(stream, options, false, [&](parser<BasicJsonType, stream_input>& reader) {
        return accepts(reader, options);
    });
}

template<typename BasicJsonType, typename Handler>
bool read_stream_events(std::istream& stream, Handler& handler, const parse_options& options)
{
    bool whole = false;
    read_stream<BasicJsonType>(stream, options, true, [&](parser<BasicJsonType, stream_input>& reader) -> bool {
        whole = read_all_events(reader, handler);
        return true; // a handler that stops leaves the stream good
    });
    return whole;
}

} // namespace detail

} // namespace quarrow

#endif // QUARROW_DETAIL_READING_HPP

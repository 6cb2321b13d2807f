// What reading gives back without throwing, and what a filter of parse is told.

#ifndef QUARROW_PARSE_RESULT_HPP
#define QUARROW_PARSE_RESULT_HPP

namespace quarrow
{

/// Why and where reading failed: what the parse_error would have held.
struct read_error
{
    /// The parse_error's id; 0 when nothing failed.
    int id = 0;
    /// 0-based offset of the byte where the text went wrong.
    std::size_t byte = 0;
    /// 1-based line of that byte.
    std::size_t line = 0;
    /// 1-based column of that byte, in bytes.
    std::size_t column = 0;
    /// The parse_error's what().
    std::string message;
};

/// The outcome of try_parse: the value read, or the error that stopped it.
template<typename BasicJsonType>
struct parse_result
{
    /// What was read; null when reading failed.
    BasicJsonType value;
    /// Why reading failed; id 0 when it did not.
    read_error error;

    /// Whether the text was read. Never throws.
    bool ok() const noexcept
    {
        return error.id == 0;
    }

    /// ok(). Never throws.
    explicit operator bool() const noexcept
    {
        return ok();
    }
};

/// When a filter of parse is asked about a value.
enum class filter_stage : std::uint8_t
{
    opened,   ///< an array or object starts: dropping it skips all it holds
    completed ///< a value has been read (an array or object: built whole)
};

/// What a filter of parse is told about a value.
struct filter_event
{
    filter_stage stage;
    /// Its kind: null, object, array, string, boolean or one of the numbers.
    detail::value_t kind;
    /// The arrays and objects around it: 0 for the whole text.
    std::size_t depth;
    /// Its key in the enclosing object; null for an element or the whole text.
    const std::string* key;
    /// Its index in the enclosing array, counted in the text; 0 otherwise.
    std::size_t index;
};

namespace detail
{

/// Whether a Filter can be called with a filter_event for a bool.
template<typename Filter, typename = bool>
struct is_filter : std::false_type
{};

template<typename Filter>
struct is_filter<Filter, decltype(static_cast<bool>(std::declval<Filter&>()(std::declval<const filter_event&>())))>
    : std::true_type
{};

} // namespace detail
} // namespace quarrow

#endif // QUARROW_PARSE_RESULT_HPP

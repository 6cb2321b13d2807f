// Exceptions: every misuse of a value throws one of these.

#ifndef QUARROW_EXCEPTIONS_HPP
#define QUARROW_EXCEPTIONS_HPP

namespace quarrow
{
namespace detail
{

/// The five classes of error, one exception type each.
enum class error_class : std::uint8_t
{
    parse_error,
    invalid_iterator,
    type_error,
    out_of_range,
    other_error
};

/// The name what() gives the class. Never fails.
inline const char* class_name(const error_class category) noexcept
{
    static const char* const names[] = {"parse_error", "invalid_iterator", "type_error", "out_of_range",
                                        "other_error"};
    static_assert(sizeof names / sizeof *names == static_cast<std::size_t>(error_class::other_error) + 1,
                  "one name for each class");
    return names[static_cast<std::size_t>(category)];
}

/// Base of the family; catch it to catch every error the library raises.
class exception : public std::exception
{
  public:
    /// The full message. Never fails and does no work.
    const char* what() const noexcept override
    {
        return m_message.c_str();
    }

    /// The JSON Pointer of the value a conversion out of a value (get, get_to,
    /// value, and the from_json they reach) failed at, relative to the value
    /// converted, as the message ends with it: " (at /servers/1/port)". Empty
    /// when that value itself failed, or the error is no conversion's. Never
    /// fails and does no work.
    const std::string& path() const noexcept
    {
        return m_path;
    }

    /// The numeric id: 100s for parse_error, 200s for invalid_iterator, 300s
    /// for type_error, 400s for out_of_range, 500s for other_error.
    const int id;

  protected:
    /// Composes the message once; throws std::bad_alloc if that fails.
    exception(int id_, const error_class category, const std::string& what_arg)
        : id(id_), m_message(std::string("[json.exception.") + class_name(category) + "." + std::to_string(id_) + "] " +
                             what_arg),
          m_text_length(m_message.size())
    {}

  private:
    friend struct conversion_path;

    std::string m_message;
    std::string m_path;
    // The length of the message before the path; the path follows it.
    std::size_t m_text_length;
    // Set as the error leaves a get, get_to or value: its path is then
    // relative to a value the conversions around that call cannot place.
    bool m_path_closed = false;
};

/// Appends '/' and token to pointer text, '~' written as "~0" and '/' as "~1".
/// Throws std::bad_alloc.
template<typename StringType>
void append_reference_token(StringType& text, const StringType& token)
{
    text += '/';
    for (const char c : token)
    {
        if (c == '~')
        {
            text += "~0";
        }
        else if (c == '/')
        {
            text += "~1";
        }
        else
        {
            text += c;
        }
    }
}

/// Builds the path of a failed conversion as its exception passes out
/// through each level, so that the conversions that succeed pay nothing.
struct conversion_path
{
    /// Puts "/token" before the path of e, the token escaped as a JSON
    /// Pointer escapes it (~ as ~0, / as ~1). A closed path gives way to the
    /// token alone: it points into the value at the token, from a place there
    /// that only a from_json of the user's own knew. Throws std::bad_alloc,
    /// leaving e as it was.
    static void prepend(exception& e, const std::string& token)
    {
        std::string path;
        append_reference_token(path, token);
        if (not e.m_path_closed)
        {
            path += e.m_path;
        }
        std::string message = e.m_message.substr(0, e.m_text_length) + " (at " + path + ")";
        e.m_path.swap(path);
        e.m_message.swap(message);
        e.m_path_closed = false;
    }

    /// Marks the path of e as complete, relative to the value a get, get_to
    /// or value converted. Never fails.
    static void close(exception& e) noexcept
    {
        e.m_path_closed = true;
    }
};

/// An operation is not valid for the kind of value it is applied to.
class type_error : public exception
{
  public:
    /// The error with this id and text; what_arg is copied verbatim.
    type_error(int id_, const std::string& what_arg)
        : exception(id_, error_class::type_error, what_arg)
    {}
};

/// A key or index that is not there. Unrelated to std::out_of_range.
class out_of_range : public exception
{
  public:
    /// The error with this id and text; what_arg is copied verbatim.
    out_of_range(int id_, const std::string& what_arg)
        : exception(id_, error_class::out_of_range, what_arg)
    {}
};

/// Any other misuse.
class other_error : public exception
{
  public:
    /// The error with this id and text; what_arg is copied verbatim.
    other_error(int id_, const std::string& what_arg)
        : exception(id_, error_class::other_error, what_arg)
    {}
};

/// An iterator used where it cannot be: one of another value, one that
/// points to no element, or an operation its kind of value does not offer.
class invalid_iterator : public exception
{
  public:
    /// The error with this id and text; what_arg is copied verbatim.
    invalid_iterator(int id_, const std::string& what_arg)
        : exception(id_, error_class::invalid_iterator, what_arg)
    {}
};

/// Text that is not JSON, or that the parse options refuse.
class parse_error : public exception
{
  public:
    /// The error with this id and place; what_arg is copied verbatim.
    parse_error(int id_, std::size_t byte_, std::size_t line_, std::size_t column_, const std::string& what_arg)
        : exception(id_, error_class::parse_error, what_arg), byte(byte_), line(line_), column(column_)
    {}

    /// 0-based offset of the first byte at which the text stops being the
    /// start of some JSON text, or its length when it ends too early.
    const std::size_t byte;

    /// 1-based line of that byte; lines end at LF.
    const std::size_t line;

    /// 1-based column of that byte on its line, counted in bytes.
    const std::size_t column;
};

/// Every error the library raises, named for what went wrong; the table
/// below gives each its class, id and text.
enum class error : std::uint8_t
{
    syntax_error,
    syntax_error_at_comment,
    syntax_error_at_trailing_comma,
    syntax_error_at_byte_order_mark,
    nesting_too_deep,
    number_out_of_range,
    float_out_of_range,
    duplicate_key,
    stream_not_good,
    stream_buffer_threw,
    iterators_of_different_values,
    iterator_of_another_value,
    iterators_of_another_value,
    iterators_not_a_range,
    iterator_out_of_range,
    key_of_non_object_iterator,
    order_of_object_iterators,
    offset_of_object_iterator,
    index_of_object_iterator,
    range_of_different_values,
    range_not_of_an_object,
    dereference_of_no_element,
    move_out_of_range,
    unbound_iterator,
    object_from_list,
    wrong_type,
    wrong_reference_type,
    cannot_use_at,
    cannot_use_subscript,
    cannot_use_value,
    cannot_use_erase,
    cannot_use_push_back,
    cannot_use_insert,
    cannot_use_swap,
    cannot_use_emplace_back,
    cannot_use_update,
    invalid_utf8,
    index_out_of_range,
    key_not_found,
    number_does_not_fit,
    wrong_array_size,
    text_too_long,
    cannot_use_emplace,
    discarded_has_no_text,
    empty_has_no_element,
    string_from_null,
    // Pointers, access by pointer, patches and flattened values.
    pointer_without_slash,
    pointer_bad_escape,
    pointer_into_scalar,
    pointer_not_an_index,
    wrong_argument_kind,
    pointer_index_out_of_range,
    pointer_key_not_found,
    patch_path_not_found,
    empty_pointer,
    malformed_operation,
    unknown_operation,
    test_failed,
    move_into_child,
    unknown_kind,
    no_variant_alternative,
    enumerator_without_text,
    text_of_no_enumerator
};

/// The number of errors.
constexpr std::size_t error_count = static_cast<std::size_t>(error::text_of_no_enumerator) + 1;

/// One error: its class, its id and its text, in which each <name> (a '<'
/// and a letter up to the next '>') stands for a part the thrower fills in.
struct error_entry
{
    error what;
    error_class category;
    int id;
    const char* text;
};

/// The table of errors, one entry for each, in the order of `error`. The
/// README's catalogue of errors is checked against it.
inline const error_entry* error_table() noexcept
{
    static const error_entry entries[] = {
        {error::syntax_error, error_class::parse_error, 101,
         "syntax error at line <l>, column <c>: expected <what>, found <bytes>"},
        {error::syntax_error_at_comment, error_class::parse_error, 101,
         "syntax error at line <l>, column <c>: expected <what>, found <bytes> (parse_options::allow_comments reads "
         "comments)"},
        {error::syntax_error_at_trailing_comma, error_class::parse_error, 101,
         "syntax error at line <l>, column <c>: expected <what>, found <bytes> (parse_options::allow_trailing_commas "
         "accepts a comma before it)"},
        {error::syntax_error_at_byte_order_mark, error_class::parse_error, 101,
         "syntax error at line <l>, column <c>: expected <what>, found <bytes> (parse_options::skip_byte_order_mark "
         "skips a byte order mark)"},
        {error::nesting_too_deep, error_class::parse_error, 102,
         "nesting too deep at line <l>, column <c>: expected at most <max_depth> nested arrays and objects, found "
         "<bytes>"},
        {error::number_out_of_range, error_class::parse_error, 103,
         "number out of range at line <l>, column <c>: expected a number within the range of a double, found <bytes>"},
        {error::float_out_of_range, error_class::parse_error, 103,
         "number out of range at line <l>, column <c>: expected a number within the range of a float, found <bytes>"},
        {error::duplicate_key, error_class::parse_error, 104,
         "duplicate key at line <l>, column <c>: expected a key the object does not have yet, found <bytes>"},
        {error::stream_not_good, error_class::parse_error, 105,
         "stream not readable at line <l>, column <c>: expected a stream that is good(), found <bits> set"},
        {error::stream_buffer_threw, error_class::parse_error, 105,
         "stream not readable at line <l>, column <c>: expected a byte from the stream buffer, found an exception it "
         "threw"},
        {error::iterators_of_different_values, error_class::invalid_iterator, 201,
         "cannot compare iterators of different values"},
        {error::iterator_of_another_value, error_class::invalid_iterator, 202,
         "iterator does not belong to this value"},
        {error::iterators_of_another_value, error_class::invalid_iterator, 203,
         "iterators do not belong to this value"},
        {error::iterators_not_a_range, error_class::invalid_iterator, 204,
         "iterators do not delimit a range of this value"},
        {error::iterator_out_of_range, error_class::invalid_iterator, 205, "iterator is out of range"},
        {error::key_of_non_object_iterator, error_class::invalid_iterator, 206,
         "cannot use key() with a non-object iterator"},
        {error::order_of_object_iterators, error_class::invalid_iterator, 207,
         "cannot use operator< with object iterators"},
        {error::offset_of_object_iterator, error_class::invalid_iterator, 208,
         "cannot use offsets with object iterators"},
        {error::index_of_object_iterator, error_class::invalid_iterator, 209,
         "cannot use operator[] with object iterators"},
        {error::range_of_different_values, error_class::invalid_iterator, 210,
         "iterators of a range belong to different values"},
        {error::range_not_of_an_object, error_class::invalid_iterator, 211, "iterators do not belong to an object"},
        {error::dereference_of_no_element, error_class::invalid_iterator, 212,
         "cannot dereference an iterator that points to no element"},
        {error::move_out_of_range, error_class::invalid_iterator, 213, "cannot move an iterator out of its range"},
        {error::unbound_iterator, error_class::invalid_iterator, 214, "iterator belongs to no value"},
        {error::object_from_list, error_class::type_error, 301, "cannot create object from initializer list"},
        {error::wrong_type, error_class::type_error, 302, "type must be <expected type name>, but is <type name>"},
        {error::wrong_reference_type, error_class::type_error, 303,
         "incompatible ReferenceType for get_ref, actual type is <type name>"},
        {error::cannot_use_at, error_class::type_error, 304, "cannot use at() with <type name>"},
        {error::cannot_use_subscript, error_class::type_error, 305, "cannot use operator[] with <type name>"},
        {error::cannot_use_value, error_class::type_error, 306, "cannot use value() with <type name>"},
        {error::cannot_use_erase, error_class::type_error, 307, "cannot use erase() with <type name>"},
        {error::cannot_use_push_back, error_class::type_error, 308, "cannot use push_back() with <type name>"},
        {error::cannot_use_insert, error_class::type_error, 309, "cannot use insert() with <type name>"},
        {error::cannot_use_swap, error_class::type_error, 310, "cannot use swap() with <type name>"},
        {error::cannot_use_emplace_back, error_class::type_error, 311, "cannot use emplace_back() with <type name>"},
        {error::cannot_use_update, error_class::type_error, 312, "cannot use update() with <type name>"},
        {error::invalid_utf8, error_class::type_error, 316, "invalid UTF-8 byte at index <i>: 0x<XX>"},
        {error::index_out_of_range, error_class::out_of_range, 401,
         "array index <i> is out of range for an array of size <size>"},
        {error::key_not_found, error_class::out_of_range, 403, "key '<key>' not found"},
        {error::number_does_not_fit, error_class::out_of_range, 406, "number <number> does not fit into <type>"},
        {error::wrong_array_size, error_class::out_of_range, 407,
         "array has <size> elements, but the target holds <target size>"},
        {error::text_too_long, error_class::out_of_range, 408, "text longer than max_length <max_length>"},
        {error::cannot_use_emplace, error_class::type_error, 320, "cannot use emplace() with <type name>"},
        {error::discarded_has_no_text, error_class::type_error, 321,
         "cannot write a discarded value: JSON has no text for it"},
        {error::empty_has_no_element, error_class::out_of_range, 412,
         "cannot use <operation> with <type name> of size 0"},
        {error::string_from_null, error_class::other_error, 501, "cannot create string from null pointer"},
        {error::pointer_without_slash, error_class::parse_error, 106,
         "invalid JSON pointer at line <l>, column <c>: expected '/' to start a reference token, found <bytes>"},
        {error::pointer_bad_escape, error_class::parse_error, 107,
         "invalid JSON pointer at line <l>, column <c>: expected '0' or '1' after '~', found <bytes>"},
        {error::pointer_into_scalar, error_class::type_error, 313,
         "cannot use pointer '<pointer>' with <type name>"},
        {error::pointer_not_an_index, error_class::type_error, 314,
         "pointer '<pointer>' uses '<token>' as an array index"},
        {error::wrong_argument_kind, error_class::type_error, 315, "<operation> needs <kind>, but is given <type name>"},
        {error::pointer_index_out_of_range, error_class::out_of_range, 402,
         "array index <index> is out of range at pointer '<pointer>'"},
        {error::pointer_key_not_found, error_class::out_of_range, 404, "key '<key>' not found at pointer '<pointer>'"},
        {error::patch_path_not_found, error_class::out_of_range, 405,
         "patch operation <index> (<op>): no value at <member> '<pointer>'"},
        {error::empty_pointer, error_class::other_error, 503, "cannot use <operation> with the empty JSON pointer"},
        {error::malformed_operation, error_class::other_error, 504,
         "patch operation <index> is malformed: expected <what>"},
        {error::unknown_operation, error_class::other_error, 505, "patch operation <index> has unknown op '<op>'"},
        {error::test_failed, error_class::other_error, 506,
         "patch operation <index> (test) failed: the value at path '<pointer>' differs"},
        {error::move_into_child, error_class::other_error, 507,
         "patch operation <index> (move): cannot move '<from>' into its own child '<pointer>'"},
        {error::unknown_kind, error_class::other_error, 502, "cannot create value of unknown kind <number>"},
        {error::no_variant_alternative, error_class::type_error, 317,
         "no alternative of the variant reads the <type name>"},
        {error::enumerator_without_text, error_class::out_of_range, 409,
         "enumerator <number> has no text; the texts are <texts>"},
        {error::text_of_no_enumerator, error_class::out_of_range, 410,
         "text <text> names no enumerator; the texts are <texts>"},
    };
    static_assert(sizeof entries / sizeof *entries == error_count, "one entry for each error");
    return entries;
}

/// The entry of this error. Never fails.
inline const error_entry& entry_of(const error what) noexcept
{
    const error_entry& entry = error_table()[static_cast<std::size_t>(what)];
    assert(entry.what == what);
    return entry;
}

/// The text of the error, with parts, in order, in place of its <names>.
/// Throws std::bad_alloc.
inline std::string error_text(const error what, const std::initializer_list<std::string> parts)
{
    std::string text;
    auto part = parts.begin();
    for (const char* c = entry_of(what).text; *c != '\0'; ++c)
    {
        const bool named = *c == '<' and ((c[1] >= 'a' and c[1] <= 'z') or (c[1] >= 'A' and c[1] <= 'Z'));
        if (not named)
        {
            text += *c;
            continue;
        }
        assert(part != parts.end());
        text += *part++;
        c = std::strchr(c, '>');
    }
    assert(part == parts.end());
    return text;
}

/// Every exception of the library leaves through here. With exceptions it
/// throws Exception built from args; built with -fno-exceptions it writes the
/// message to standard error and aborts, after calling
/// QUARROW_ERROR_HANDLER(exception) if the user defined it (a function that
/// takes a const detail::exception&).
template<typename Exception, typename... Args>
[[noreturn]] void throw_exception(Args&&... args)
{
#if defined(__cpp_exceptions) || defined(__EXCEPTIONS)
    throw Exception(std::forward<Args>(args)...);
#else
    const Exception raised(std::forward<Args>(args)...);
#ifdef QUARROW_ERROR_HANDLER
    QUARROW_ERROR_HANDLER(static_cast<const exception&>(raised));
#endif
    std::fprintf(stderr, "%s\n", raised.what());
    std::abort();
#endif
}

/// Throws the error as the exception of its class, its text made of parts
/// (see error_text). Parse errors, which have a place, are thrown by
/// throw_parse_error. Throws std::bad_alloc if the text cannot be made.
[[noreturn]] inline void throw_error(const error what, const std::initializer_list<std::string> parts = {})
{
    const error_entry& entry = entry_of(what);
    const std::string text = error_text(what, parts);
    switch (entry.category)
    {
        case error_class::invalid_iterator:
            throw_exception<invalid_iterator>(entry.id, text);
        case error_class::type_error:
            throw_exception<type_error>(entry.id, text);
        case error_class::out_of_range:
            throw_exception<out_of_range>(entry.id, text);
        default:
            assert(entry.category == error_class::other_error);
            throw_exception<other_error>(entry.id, text);
    }
}

} // namespace detail

} // namespace quarrow

#endif // QUARROW_EXCEPTIONS_HPP

// Generated from include/quarrow/ by tools/single_header.py: do not edit.
// To change it, edit the parts and run `python3 tools/single_header.py`.
// quarrow: JSON text read strictly into one value type, and written back.
// SPDX-License-Identifier: MIT
//
// MIT License
//
// Copyright (c) 2026 the quarrow authors
//
// Permission is hereby granted, free of charge, to any person obtaining a copy
// of this software and associated documentation files (the "Software"), to deal
// in the Software without restriction, including without limitation the rights
// to use, copy, modify, merge, publish, distribute, sublicense, and/or sell
// copies of the Software, and to permit persons to whom the Software is
// furnished to do so, subject to the following conditions:
//
// The above copyright notice and this permission notice shall be included in all
// copies or substantial portions of the Software.
//
// THE SOFTWARE IS PROVIDED "AS IS", WITHOUT WARRANTY OF ANY KIND, EXPRESS OR
// IMPLIED, INCLUDING BUT NOT LIMITED TO THE WARRANTIES OF MERCHANTABILITY,
// FITNESS FOR A PARTICULAR PURPOSE AND NONINFRINGEMENT. IN NO EVENT SHALL THE
// AUTHORS OR COPYRIGHT HOLDERS BE LIABLE FOR ANY CLAIM, DAMAGES OR OTHER
// LIABILITY, WHETHER IN AN ACTION OF CONTRACT, TORT OR OTHERWISE, ARISING FROM,
// OUT OF OR IN CONNECTION WITH THE SOFTWARE OR THE USE OR OTHER DEALINGS IN THE
// SOFTWARE.
//
// Header-only, C++11. `quarrow::json` holds null, an object, an array, a
// string, a boolean or a number; it is read from text, walked, changed,
// compared and written back as text, and every misuse is reported by
// throwing one of the exceptions in quarrow::detail.

#ifndef QUARROW_JSON_HPP
#define QUARROW_JSON_HPP

// Configuration and portability: the version, the standard headers, and what the platform offers.


#define QUARROW_VERSION_MAJOR 0
#define QUARROW_VERSION_MINOR 1
#define QUARROW_VERSION_PATCH 0

#include <algorithm>
#include <array>
#include <cassert>
#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <functional>
#include <initializer_list>
#include <istream>
#include <iterator>
#include <limits>
#include <map>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#if __cplusplus >= 201703L
#include <optional>
#include <string_view>
#include <variant>
#endif
#if __cplusplus >= 202002L
#include <compare>
#endif
// Portability, spelled once. The three attributes steer inlining on the paths
// the benchmark measures; QUARROW_COLD keeps a failure path out of line and
// out of the way. SSE2 scans bytes 16 at a time where the target has
// it; defining QUARROW_NO_SSE2 takes the portable scans instead, which CI
// tests too.
#if defined(__GNUC__) || defined(__clang__)
#define QUARROW_ALWAYS_INLINE [[gnu::always_inline]]
#define QUARROW_NOINLINE [[gnu::noinline]]
#define QUARROW_COLD [[gnu::cold, gnu::noinline]]
#else
#define QUARROW_ALWAYS_INLINE
#define QUARROW_NOINLINE
#define QUARROW_COLD
#endif
#if defined(__SSE2__) && !defined(QUARROW_NO_SSE2)
#define QUARROW_SSE2
#include <emmintrin.h>
#endif

// The C locale's decimal point and thousands separator, which writing a double
// through snprintf has to undo. nl_langinfo returns the calling thread's
// locale's own texts; localeconv, left only where <langinfo.h> is missing,
// refills one static struct on every call, so threads writing at once race on it.
#if defined(__has_include)
#if __has_include(<langinfo.h>)
#include <langinfo.h>
#define QUARROW_HAS_LANGINFO
#endif
#endif

namespace quarrow
{
namespace detail
{

/// The calling thread's C locale's decimal point and thousands separator, as
/// the C library writes them into number text (either may be empty or several
/// bytes long). Never fail.
#ifdef QUARROW_HAS_LANGINFO
inline const char* locale_decimal_point() noexcept
{
    return nl_langinfo(RADIXCHAR);
}
inline const char* locale_thousands_sep() noexcept
{
    return nl_langinfo(THOUSEP);
}
#else
inline const char* locale_decimal_point() noexcept
{
    return std::localeconv()->decimal_point;
}
inline const char* locale_thousands_sep() noexcept
{
    return std::localeconv()->thousands_sep;
}
#endif

/// Zero bits below the lowest one bit of x, which is not 0.
inline int count_trailing_zeros(std::uint64_t x) noexcept
{
    assert(x != 0);
#if defined(__GNUC__) || defined(__clang__)
    return __builtin_ctzll(x);
#else
    int count = 0;
    for (; (x & 1) == 0; x >>= 1)
    {
        ++count;
    }
    return count;
#endif
}

/// Zero bits above the highest one bit of x, which is not 0.
inline int count_leading_zeros(std::uint64_t x) noexcept
{
    assert(x != 0);
#if defined(__GNUC__) || defined(__clang__)
    return __builtin_clzll(x);
#else
    int count = 0;
    for (; (x & (std::uint64_t{1} << 63)) == 0; x <<= 1)
    {
        ++count;
    }
    return count;
#endif
}

} // namespace detail

} // namespace quarrow

// The names every part uses: the value type declared, and the kinds a value can hold.


namespace quarrow
{

/// Converts native values of type T into values and back (defined in conversions.hpp).
template<typename T, typename SFINAE = void>
struct adl_serializer;

/// The value type, over the containers and scalar types it stores; quarrow
/// ships the one instantiation `json`, and the class refuses by static_assert
/// the parameters it cannot honour. Objects are ObjectType maps from
/// StringType to values, arrays ArrayType sequences of values; the scalars are
/// stored as BooleanType, NumberIntegerType, NumberUnsignedType and
/// NumberFloatType; containers, strings and the stacks the operations keep
/// are allocated with AllocatorType; native values are converted by
/// JSONSerializer<T>::to_json and read back by JSONSerializer<T>::from_json.
template<template<typename U, typename V, typename... Args> class ObjectType = std::map,
         template<typename U, typename... Args> class ArrayType = std::vector,
         class StringType = std::string,
         class BooleanType = bool,
         class NumberIntegerType = long long,
         class NumberUnsignedType = unsigned long long,
         class NumberFloatType = double,
         template<typename U> class AllocatorType = std::allocator,
         template<typename T, typename SFINAE = void> class JSONSerializer = adl_serializer>
class basic_json;

/// The JSON value type: every quarrow value is a `json`.
using json = basic_json<>;

/// A path to a value inside a value, RFC 6901, its reference tokens held as
/// StringType (defined in json_pointer.hpp).
template<typename StringType>
class basic_json_pointer;

/// The JSON Pointer of `json`.
using json_pointer = basic_json_pointer<std::string>;

namespace detail
{

/// The allocator of T that BasicJsonType allocates everything with.
template<typename BasicJsonType, typename T>
using allocator_for =
    typename std::allocator_traits<typename BasicJsonType::allocator_type>::template rebind_alloc<T>;

/// A std::vector of T over that allocator, for the stacks and lists the
/// value's operations, the reader and the writer keep.
template<typename BasicJsonType, typename T>
using vector_for = std::vector<T, allocator_for<BasicJsonType, T>>;

// ---------------------------------------------------------------------------
// Kinds: what a value holds. The numbers are fixed and part of the interface.
// ---------------------------------------------------------------------------

/// The kind of a value; type() returns it, and basic_json(value_t) makes the
/// empty value of one.
enum class value_t : std::uint8_t
{
    null = 0,
    object = 1,
    array = 2,
    string = 3,
    boolean = 4,
    number_integer = 5,
    number_unsigned = 6,
    number_float = 7,
    discarded = 8
};

} // namespace detail
} // namespace quarrow

// Exceptions: every misuse of a value throws one of these.


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

// Options: how text is read and written.


namespace quarrow
{

/// What the text routes do with string bytes that are not valid UTF-8
/// (RFC 3629: no overlong form, no encoded surrogate, nothing above U+10FFFF,
/// no truncated sequence, no stray continuation byte).
enum class utf8_policy
{
    keep,    ///< write the bytes as they are, as the stream operator does
    replace, ///< write U+FFFD for each maximal subpart of an ill-formed sequence
    error    ///< throw type_error 316 naming the index of the first bad byte
};

/// Options of dump() and dump_to(). The defaults write each double with the
/// fewest digits that read back as the same double, so that parse(dump(v))
/// == v; with fifteen_digit_doubles they give the stream operator's bytes.
struct dump_options
{
    /// Spaces a level when greater than 0; compact otherwise.
    int indent = -1;
    /// Doubles with 15 significant digits, as the stream operator writes
    /// them, instead of the fewest digits that read back as the same double.
    /// 15 digits lose most doubles' last bits.
    bool fifteen_digit_doubles = false;
    /// Bytes of strings and keys that are not valid UTF-8.
    utf8_policy invalid_utf8 = utf8_policy::keep;
    /// Every character above U+007F as \uXXXX (a surrogate pair above
    /// U+FFFF), so that the text is plain ASCII. A byte that is not valid
    /// UTF-8 cannot be kept in ASCII: under utf8_policy::keep it throws
    /// type_error 316, as under utf8_policy::error.
    bool escape_non_ascii = false;
    /// The most bytes the text may have; a longer one throws out_of_range
    /// 408 (dump() returns nothing, dump_to leaves its string as it was). No
    /// limit by default. Indented text grows with depth times size, so a
    /// server that writes back what it received may want one.
    std::size_t max_length = static_cast<std::size_t>(-1);
};

/// What parse does with a key its object already has.
enum class duplicate_key_policy
{
    last_wins,  ///< the later member replaces the earlier one
    first_wins, ///< the later member is read and dropped
    reject      ///< parse_error 104
};

/// How text is read. The defaults read exactly RFC 8259 JSON.
struct parse_options
{
    /// Arrays and objects open at once, at most; one more is parse_error 102.
    std::size_t max_depth = 512;

    /// `//` to the end of the line and `/* ... */` count as whitespace.
    bool allow_comments = false;

    /// One comma may stand before a closing `]` or `}`.
    bool allow_trailing_commas = false;

    /// A UTF-8 byte order mark (EF BB BF) where reading starts is skipped;
    /// positions still count its three bytes.
    bool skip_byte_order_mark = false;

    /// What a repeated key in an object does.
    duplicate_key_policy duplicate_keys = duplicate_key_policy::last_wins;
};

} // namespace quarrow

// What reading gives back without throwing, and what a filter of parse is told.


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

// Conversions: native values into a basic_json and back out.


namespace quarrow
{
namespace detail
{

/// std::enable_if_t, which C++11 lacks.
template<bool Condition, typename T = void>
using enable_if_t = typename std::enable_if<Condition, T>::type;

/// T without reference and const/volatile: the type a conversion is chosen by.
template<typename T>
using uncvref_t = typename std::remove_cv<typename std::remove_reference<T>::type>::type;

/// Ranks overloads: one taking priority_tag<N> beats one taking a lower N.
/// to_json_fn::call takes priority_tag<1>, leaving room for a fallback below.
template<unsigned N>
struct priority_tag : priority_tag<N - 1>
{};

template<>
struct priority_tag<0>
{};

/// One constant instance of an empty function object, shared by every unit.
template<typename T>
struct static_const
{
    static constexpr T value{};
};

template<typename T>
constexpr T static_const<T>::value;

/// True when T is one of Candidates, exactly.
template<typename T, typename... Candidates>
struct is_one_of : std::false_type
{};

template<typename T, typename First, typename... Rest>
struct is_one_of<T, First, Rest...>
    : std::conditional<std::is_same<T, First>::value, std::true_type, is_one_of<T, Rest...>>::type
{};

// The native types that become numbers. Characters (char, wchar_t, char16_t,
// char32_t) and bool are not among them: neither is a number to its writer.
template<typename T>
using is_signed_number = is_one_of<T, signed char, short, int, long, long long>;

template<typename T>
using is_unsigned_number = is_one_of<T, unsigned char, unsigned short, unsigned int, unsigned long, unsigned long long>;

template<typename T>
using is_floating_number = is_one_of<T, float, double>;

/// Stores a value of kind Kind into a basic_json that owns nothing yet.
/// `stored` is of the kind's own storage type (number_integer_t for
/// value_t::number_integer, string_t for value_t::string, and so on), or the
/// kind itself for an empty value; the matching json_value constructor puts
/// it into the storage word, copying an lvalue and moving an rvalue.
template<value_t Kind>
struct external_constructor
{
    template<typename BasicJsonType, typename Stored>
    static void construct(BasicJsonType& j, Stored&& stored) noexcept(
        std::is_nothrow_constructible<typename BasicJsonType::json_value, Stored>::value)
    {
        // Made first: if making it throws, j still holds a valid null.
        const typename BasicJsonType::json_value value(std::forward<Stored>(stored));
        j.m_value = value;
        j.m_type = Kind;
        j.assert_invariant();
    }
};

// The to_json overloads, one per family of native types, each storing exactly
// one kind. They take part only for exactly their own types, so no native
// value reaches a kind through an implicit conversion.

template<typename BasicJsonType>
void to_json(BasicJsonType& j, std::nullptr_t /*unused*/) noexcept
{
    external_constructor<value_t::null>::construct(j, value_t::null);
}

template<typename BasicJsonType, typename T,
         enable_if_t<std::is_same<T, typename BasicJsonType::boolean_t>::value, int> = 0>
void to_json(BasicJsonType& j, T b) noexcept
{
    external_constructor<value_t::boolean>::construct(j, b);
}

template<typename BasicJsonType, typename T, enable_if_t<is_signed_number<T>::value, int> = 0>
void to_json(BasicJsonType& j, T n) noexcept
{
    using number_integer_t = typename BasicJsonType::number_integer_t;
    external_constructor<value_t::number_integer>::construct(j, static_cast<number_integer_t>(n));
}

template<typename BasicJsonType, typename T, enable_if_t<is_unsigned_number<T>::value, int> = 0>
void to_json(BasicJsonType& j, T n) noexcept
{
    using number_unsigned_t = typename BasicJsonType::number_unsigned_t;
    external_constructor<value_t::number_unsigned>::construct(j, static_cast<number_unsigned_t>(n));
}

template<typename BasicJsonType, typename T, enable_if_t<is_floating_number<T>::value, int> = 0>
void to_json(BasicJsonType& j, T x) noexcept
{
    using number_float_t = typename BasicJsonType::number_float_t;
    external_constructor<value_t::number_float>::construct(j, static_cast<number_float_t>(x));
}

template<typename BasicJsonType, typename T,
         enable_if_t<std::is_same<uncvref_t<T>, typename BasicJsonType::string_t>::value, int> = 0>
void to_json(BasicJsonType& j, T&& s)
{
    external_constructor<value_t::string>::construct(j, std::forward<T>(s));
}

/// A character array holds text up to its first NUL, and never beyond its end.
template<typename BasicJsonType, std::size_t N>
void to_json(BasicJsonType& j, const char (&s)[N])
{
    using string_t = typename BasicJsonType::string_t;
    external_constructor<value_t::string>::construct(j, string_t(s, std::find(s, s + N, '\0')));
}

/// Raised wherever a null character pointer stands for text.
[[noreturn]] inline void throw_null_text()
{
    throw_error(error::string_from_null);
}

/// The text up to the NUL s points to. Throws other_error 501 for a null pointer.
template<typename StringType>
StringType string_from_pointer(const char* s)
{
    if (s == nullptr)
    {
        throw_null_text();
    }
    return StringType(s);
}

/// Text up to the NUL. Throws other_error 501 for a null pointer.
template<typename BasicJsonType, typename T, enable_if_t<is_one_of<T, const char*, char*>::value, int> = 0>
void to_json(BasicJsonType& j, T s)
{
    external_constructor<value_t::string>::construct(j, string_from_pointer<typename BasicJsonType::string_t>(s));
}

template<typename BasicJsonType, typename T,
         enable_if_t<std::is_same<uncvref_t<T>, typename BasicJsonType::object_t>::value, int> = 0>
void to_json(BasicJsonType& j, T&& object)
{
    external_constructor<value_t::object>::construct(j, std::forward<T>(object));
}

template<typename BasicJsonType, typename T,
         enable_if_t<std::is_same<uncvref_t<T>, typename BasicJsonType::array_t>::value, int> = 0>
void to_json(BasicJsonType& j, T&& array)
{
    external_constructor<value_t::array>::construct(j, std::forward<T>(array));
}

// Standard containers, built through the overloads above, one element or
// member at a time. Each builds its container aside and stores it only when
// complete, so a conversion that throws leaves nothing behind.

/// std::void_t, which C++11 lacks; the struct makes unused parameters count in SFINAE.
template<typename... Ts>
struct make_void
{
    using type = void;
};

template<typename... Ts>
using void_t = typename make_void<Ts...>::type;

/// True when every one of Conditions is.
template<bool... Conditions>
struct bool_pack
{};

template<bool... Conditions>
using all_true = std::is_same<bool_pack<true, Conditions...>, bool_pack<Conditions..., true>>;

/// std::index_sequence, which C++11 lacks.
template<std::size_t... I>
struct index_sequence
{};

template<std::size_t N, std::size_t... I>
struct make_index_sequence : make_index_sequence<N - 1, N - 1, I...>
{};

template<std::size_t... I>
struct make_index_sequence<0, I...> : index_sequence<I...>
{};

/// True for a type with keys and mapped values, such as std::map and std::unordered_map.
template<typename T, typename = void>
struct is_map_like : std::false_type
{};

template<typename T>
struct is_map_like<T, void_t<typename T::key_type, typename T::mapped_type>> : std::true_type
{};

/// The type a range of T yields, when std::begin and std::end apply to T.
template<typename T>
using range_element_t = typename std::iterator_traits<decltype(std::begin(std::declval<const T&>()))>::value_type;

/// True for a range whose elements convert: an array. Maps and the types
/// with overloads of their own are left to those; a type that yields itself
/// (a path, say) is not a sequence of values.
template<typename BasicJsonType, typename T, typename = void>
struct is_sequence_in : std::false_type
{};

template<typename BasicJsonType, typename T>
struct is_sequence_in<BasicJsonType, T, void_t<range_element_t<T>, decltype(std::end(std::declval<const T&>()))>>
    : std::integral_constant<
          bool, not is_map_like<T>::value and
                    not is_one_of<T, BasicJsonType, typename BasicJsonType::string_t,
                                  typename BasicJsonType::object_t, typename BasicJsonType::array_t>::value and
                    not std::is_same<range_element_t<T>, T>::value and
                    std::is_constructible<BasicJsonType, const range_element_t<T>&>::value>
{};

/// True for a map whose keys convert to string_t and whose values convert: an object.
template<typename BasicJsonType, typename T, typename = void>
struct is_map_in : std::false_type
{};

template<typename BasicJsonType, typename T>
struct is_map_in<BasicJsonType, T, enable_if_t<is_map_like<T>::value>>
    : std::integral_constant<
          bool, not std::is_same<T, typename BasicJsonType::object_t>::value and
                    std::is_constructible<typename BasicJsonType::string_t, const typename T::key_type&>::value and
                    std::is_constructible<BasicJsonType, const typename T::mapped_type&>::value>
{};

/// True for a std::pair or std::tuple whose elements all convert: an array.
template<typename BasicJsonType, typename T>
struct is_tuple_in : std::false_type
{};

template<typename BasicJsonType, typename First, typename Second>
struct is_tuple_in<BasicJsonType, std::pair<First, Second>>
    : all_true<std::is_constructible<BasicJsonType, const First&>::value,
               std::is_constructible<BasicJsonType, const Second&>::value>
{};

template<typename BasicJsonType, typename... Elements>
struct is_tuple_in<BasicJsonType, std::tuple<Elements...>>
    : all_true<std::is_constructible<BasicJsonType, const Elements&>::value...>
{};

/// A sequence, a set, a C array other than of characters, an initializer
/// list, std::vector<bool>: an array of the elements in their order.
template<typename BasicJsonType, typename T, enable_if_t<is_sequence_in<BasicJsonType, T>::value, int> = 0>
void to_json(BasicJsonType& j, const T& sequence)
{
    using array_t = typename BasicJsonType::array_t;
    using element_t = range_element_t<T>;
    const auto first = std::begin(sequence);
    const auto last = std::end(sequence);
    array_t array(static_cast<typename array_t::size_type>(std::distance(first, last)));
    // Through element_t, so a proxy such as std::vector<bool>'s reads as what it stands for.
    std::transform(first, last, array.begin(), [](const element_t& element) { return BasicJsonType(element); });
    external_constructor<value_t::array>::construct(j, std::move(array));
}

/// A map: an object, the first of keys that read the same winning.
template<typename BasicJsonType, typename T, enable_if_t<is_map_in<BasicJsonType, T>::value, int> = 0>
void to_json(BasicJsonType& j, const T& map)
{
    using string_t = typename BasicJsonType::string_t;
    typename BasicJsonType::object_t object;
    for (const auto& member : map)
    {
        // A sorted map arrives in key order, which the hint turns into constant time.
        object.emplace_hint(object.end(), string_t(member.first), BasicJsonType(member.second));
    }
    external_constructor<value_t::object>::construct(j, std::move(object));
}

template<typename BasicJsonType, typename T, std::size_t... I>
void tuple_to_json(BasicJsonType& j, const T& tuple, index_sequence<I...> /*unused*/)
{
    typename BasicJsonType::array_t array(sizeof...(I));
    // Expands to one assignment per element, in order.
    const int expand[] = {0, (array[I] = BasicJsonType(std::get<I>(tuple)), 0)...};
    static_cast<void>(expand);
    external_constructor<value_t::array>::construct(j, std::move(array));
}

/// A std::pair or std::tuple: an array of its elements.
template<typename BasicJsonType, typename T, enable_if_t<is_tuple_in<BasicJsonType, T>::value, int> = 0>
void to_json(BasicJsonType& j, const T& tuple)
{
    tuple_to_json(j, tuple, make_index_sequence<std::tuple_size<T>::value>{});
}

#ifdef __cpp_lib_string_view
/// A string view: a string of its bytes, NULs included.
template<typename BasicJsonType, typename T, enable_if_t<std::is_same<T, std::string_view>::value, int> = 0>
void to_json(BasicJsonType& j, T s)
{
    external_constructor<value_t::string>::construct(j, typename BasicJsonType::string_t(s.data(), s.size()));
}
#endif

#ifdef __cpp_lib_variant
/// std::monostate, the empty alternative of a variant: null.
template<typename BasicJsonType, typename T, enable_if_t<std::is_same<T, std::monostate>::value, int> = 0>
void to_json(BasicJsonType& j, T /*unused*/) noexcept
{
    external_constructor<value_t::null>::construct(j, value_t::null);
}

/// A variant: its active alternative. Throws what that conversion throws,
/// and std::bad_variant_access for a variant valueless by exception.
template<typename BasicJsonType, typename... Alternatives,
         enable_if_t<all_true<std::is_constructible<BasicJsonType, const Alternatives&>::value...>::value, int> = 0>
void to_json(BasicJsonType& j, const std::variant<Alternatives...>& variant)
{
    j = std::visit([](const auto& alternative) { return BasicJsonType(alternative); }, variant);
}
#endif

#ifdef __cpp_lib_optional
/// An optional: null when empty, else its value.
template<typename BasicJsonType, typename T, enable_if_t<std::is_constructible<BasicJsonType, const T&>::value, int> = 0>
void to_json(BasicJsonType& j, const std::optional<T>& optional)
{
    j = optional.has_value() ? BasicJsonType(*optional) : BasicJsonType();
}
#endif

/// The function object behind adl_serializer::to_json. Its unqualified call
/// finds the overloads above and those in the namespace of the value's type.
struct to_json_fn
{
  private:
    template<typename BasicJsonType, typename T>
    auto call(BasicJsonType& j, T&& val, priority_tag<1> /*unused*/) const
        noexcept(noexcept(to_json(j, std::forward<T>(val))))
        -> decltype(to_json(j, std::forward<T>(val)), void())
    {
        to_json(j, std::forward<T>(val));
    }

  public:
    template<typename BasicJsonType, typename T>
    auto operator()(BasicJsonType& j, T&& val) const
        noexcept(noexcept(std::declval<const to_json_fn&>().call(j, std::forward<T>(val), priority_tag<1>{})))
        -> decltype(std::declval<const to_json_fn&>().call(j, std::forward<T>(val), priority_tag<1>{}))
    {
        call(j, std::forward<T>(val), priority_tag<1>{});
    }
};

// ---------------------------------------------------------------------------
// Reading out: the road from a basic_json back to a native value. get<T>()
// and get_to call JSONSerializer<T>::from_json, which reaches a from_json
// overload (ours below, or a user's found by argument-dependent lookup).
// Nothing converts silently: a kind that does not fit is a type_error, a
// number the target cannot hold exactly an out_of_range.
// ---------------------------------------------------------------------------

/// Throws type_error 302 naming the kind the target needs and the kind j is.
template<typename BasicJsonType>
[[noreturn]] void throw_type_must_be(const char* expected, const BasicJsonType& j)
{
    throw_error(error::wrong_type, {expected, j.type_name()});
}

/// Throws out_of_range 406 naming the number j holds and the target type.
template<typename BasicJsonType>
[[noreturn]] void throw_does_not_fit(const BasicJsonType& j, const char* target)
{
    const auto* x = j.template get_ptr<const typename BasicJsonType::number_float_t*>();
    // The shortest digits that read back as x, so the text names the number
    // that failed; dump() is locale-proof, but writes the numbers JSON lacks as null.
    const std::string number = x == nullptr or std::isfinite(*x) ? std::string(j.dump())
                               : std::isnan(*x)                  ? "NaN"
                               : *x < 0                          ? "-Infinity"
                                                                 : "Infinity";
    throw_error(error::number_does_not_fit, {number, target});
}

/// The name of a number type, as messages write it.
template<typename T>
const char* number_type_name() noexcept
{
    return std::is_same<T, signed char>::value          ? "signed char"
           : std::is_same<T, short>::value              ? "short"
           : std::is_same<T, int>::value                ? "int"
           : std::is_same<T, long>::value               ? "long"
           : std::is_same<T, long long>::value          ? "long long"
           : std::is_same<T, unsigned char>::value      ? "unsigned char"
           : std::is_same<T, unsigned short>::value     ? "unsigned short"
           : std::is_same<T, unsigned int>::value       ? "unsigned int"
           : std::is_same<T, unsigned long>::value      ? "unsigned long"
           : std::is_same<T, unsigned long long>::value ? "unsigned long long"
           : std::is_same<T, float>::value              ? "float"
                                                        : "double";
}

/// Whether integer type T holds n: compared as the widest types, so no
/// comparison mixes signedness.
template<typename T, typename N, enable_if_t<std::is_signed<N>::value, int> = 0>
bool integer_fits(const N n) noexcept
{
    return n < 0 ? std::is_signed<T>::value and
                       static_cast<std::intmax_t>(n) >= static_cast<std::intmax_t>(std::numeric_limits<T>::min())
                 : static_cast<std::uintmax_t>(n) <= static_cast<std::uintmax_t>(std::numeric_limits<T>::max());
}

template<typename T, typename N, enable_if_t<std::is_unsigned<N>::value, int> = 0>
bool integer_fits(const N n) noexcept
{
    return static_cast<std::uintmax_t>(n) <= static_cast<std::uintmax_t>(std::numeric_limits<T>::max());
}

/// Whether integer type T holds x exactly: finite, without a fraction, and
/// within [-2^digits, 2^digits) (from 0 when T is unsigned); both bounds are
/// exact in binary floating point, unlike T's own maximum.
template<typename T, typename Float>
bool integer_fits_float(const Float x) noexcept
{
    const Float bound = std::ldexp(Float(1), std::numeric_limits<T>::digits);
    return std::isfinite(x) and std::trunc(x) == x and x < bound and
           (std::is_signed<T>::value ? x >= -bound : x >= Float(0));
}

/// Only null. Throws type_error 302 for any other kind.
template<typename BasicJsonType>
void from_json(const BasicJsonType& j, std::nullptr_t& n)
{
    if (not j.is_null())
    {
        throw_type_must_be("null", j);
    }
    n = nullptr;
}

/// Only a boolean: a number is not read as one. Throws type_error 302 for any other kind.
template<typename BasicJsonType, typename T,
         enable_if_t<std::is_same<T, typename BasicJsonType::boolean_t>::value, int> = 0>
void from_json(const BasicJsonType& j, T& b)
{
    const auto* stored = j.template get_ptr<const T*>();
    if (stored == nullptr)
    {
        throw_type_must_be("boolean", j);
    }
    b = *stored;
}

/// Any number, when T holds it exactly: a floating-point number with an
/// integral value in T's range reads as that integer. Throws out_of_range
/// 406 for a number T cannot hold (a negative one for an unsigned T, one
/// with a fraction), and type_error 302 for a value that is not a number.
template<typename BasicJsonType, typename T,
         enable_if_t<is_signed_number<T>::value or is_unsigned_number<T>::value, int> = 0>
void from_json(const BasicJsonType& j, T& n)
{
    switch (j.type())
    {
        case value_t::number_integer:
        {
            const auto stored = *j.template get_ptr<const typename BasicJsonType::number_integer_t*>();
            if (integer_fits<T>(stored))
            {
                n = static_cast<T>(stored);
                return;
            }
            break;
        }
        case value_t::number_unsigned:
        {
            const auto stored = *j.template get_ptr<const typename BasicJsonType::number_unsigned_t*>();
            if (integer_fits<T>(stored))
            {
                n = static_cast<T>(stored);
                return;
            }
            break;
        }
        case value_t::number_float:
        {
            const auto stored = *j.template get_ptr<const typename BasicJsonType::number_float_t*>();
            if (integer_fits_float<T>(stored))
            {
                n = static_cast<T>(stored);
                return;
            }
            break;
        }
        case value_t::null:
        case value_t::object:
        case value_t::array:
        case value_t::string:
        case value_t::boolean:
        case value_t::discarded:
            throw_type_must_be("number", j);
    }
    throw_does_not_fit(j, number_type_name<T>());
}

/// Any number: integers are rounded to the nearest T. Throws out_of_range
/// 406 for a finite number beyond T's range, and type_error 302 for a value
/// that is not a number.
template<typename BasicJsonType, typename T, enable_if_t<is_floating_number<T>::value, int> = 0>
void from_json(const BasicJsonType& j, T& x)
{
    switch (j.type())
    {
        case value_t::number_integer:
            x = static_cast<T>(*j.template get_ptr<const typename BasicJsonType::number_integer_t*>());
            return;
        case value_t::number_unsigned:
            x = static_cast<T>(*j.template get_ptr<const typename BasicJsonType::number_unsigned_t*>());
            return;
        case value_t::number_float:
        {
            const auto stored = *j.template get_ptr<const typename BasicJsonType::number_float_t*>();
            if (std::isfinite(stored) and std::fabs(stored) > std::numeric_limits<T>::max())
            {
                throw_does_not_fit(j, number_type_name<T>());
            }
            x = static_cast<T>(stored);
            return;
        }
        case value_t::null:
        case value_t::object:
        case value_t::array:
        case value_t::string:
        case value_t::boolean:
        case value_t::discarded:
            break;
    }
    throw_type_must_be("number", j);
}

/// What j stores as a Stored; throws type_error 302 when j holds another kind.
template<typename Stored, typename BasicJsonType>
const Stored& stored_or_throw(const BasicJsonType& j, const char* expected)
{
    const Stored* stored = j.template get_ptr<const Stored*>();
    if (stored == nullptr)
    {
        throw_type_must_be(expected, j);
    }
    return *stored;
}

// The path of a failed conversion: each level that reads a part of a value
// (an element, a member) catches what escapes it, puts the part's token
// before the error's path and throws the same exception on. The levels call
// each other through read_into, not get, so that the error's path stays
// open; get, get_to and value close it.

/// The text of a token of a path: an index in decimal, a key as it is.
/// Throws std::bad_alloc.
inline std::string token_text(const std::size_t index)
{
    return std::to_string(index);
}

template<typename Key>
std::string token_text(const Key& key)
{
    return std::string(key);
}

/// Reads element into target through the value type's serializer; an error
/// of ours escaping it gets token (an index or a key) before its path.
/// Throws what that from_json throws.
template<typename BasicJsonType, typename T, typename Token>
QUARROW_ALWAYS_INLINE inline void read_into(const BasicJsonType& element, T& target, const Token& token)
{
#if defined(__cpp_exceptions) || defined(__EXCEPTIONS)
    try
    {
        BasicJsonType::template json_serializer<T>::from_json(element, target);
    }
    catch (exception& e)
    {
        conversion_path::prepend(e, token_text(token));
        throw;
    }
#else
    static_cast<void>(token);
    BasicJsonType::template json_serializer<T>::from_json(element, target);
#endif
}

/// The element read as a fresh T, as read_into reads it.
template<typename T, typename BasicJsonType, typename Token>
QUARROW_ALWAYS_INLINE inline T read_at(const BasicJsonType& element, const Token& token)
{
    T result{};
    read_into(element, result, token);
    return result;
}

/// Reads j into target as get and get_to do, closing the path of an error
/// of ours that escapes. Throws what that from_json throws.
template<typename BasicJsonType, typename T>
QUARROW_ALWAYS_INLINE inline void read_whole(const BasicJsonType& j, T& target)
{
#if defined(__cpp_exceptions) || defined(__EXCEPTIONS)
    try
    {
        BasicJsonType::template json_serializer<T>::from_json(j, target);
    }
    catch (exception& e)
    {
        conversion_path::close(e);
        throw;
    }
#else
    BasicJsonType::template json_serializer<T>::from_json(j, target);
#endif
}

/// Reads the member at key into target as value(key, default) does: the
/// path starts with the key, and is closed.
template<typename BasicJsonType, typename T, typename Key>
void read_whole(const BasicJsonType& member, T& target, const Key& key)
{
#if defined(__cpp_exceptions) || defined(__EXCEPTIONS)
    try
    {
        read_into(member, target, key);
    }
    catch (exception& e)
    {
        conversion_path::close(e);
        throw;
    }
#else
    read_into(member, target, key);
#endif
}

// The target is assigned only once the whole result is built, by a move that
// does not throw, so a failed conversion leaves it as it was. Each throws
// type_error 302 for a value of another kind, and std::bad_alloc.

template<typename BasicJsonType, typename T,
         enable_if_t<std::is_same<T, typename BasicJsonType::string_t>::value, int> = 0>
void from_json(const BasicJsonType& j, T& s)
{
    s = T(stored_or_throw<T>(j, "string"));
}

template<typename BasicJsonType, typename T,
         enable_if_t<std::is_same<T, typename BasicJsonType::object_t>::value, int> = 0>
void from_json(const BasicJsonType& j, T& object)
{
    object = T(stored_or_throw<T>(j, "object"));
}

template<typename BasicJsonType, typename T,
         enable_if_t<std::is_same<T, typename BasicJsonType::array_t>::value, int> = 0>
void from_json(const BasicJsonType& j, T& array)
{
    array = T(stored_or_throw<T>(j, "array"));
}

/// A copy of the whole value. Throws std::bad_alloc.
template<typename BasicJsonType>
void from_json(const BasicJsonType& j, BasicJsonType& copy)
{
    copy = j;
}

/// True when get<T>() reads a T out of a BasicJsonType.
template<typename BasicJsonType, typename T, typename = void>
struct is_readable : std::false_type
{};

template<typename BasicJsonType, typename T>
struct is_readable<BasicJsonType, T,
                   void_t<decltype(std::declval<const BasicJsonType&>().template get<T>())>> : std::true_type
{};

/// True for the keys value() takes: what StringType is made from, but not
/// nullptr, which would only fail once run.
template<typename StringType, typename KeyType>
using is_key = std::integral_constant<bool, std::is_constructible<StringType, const KeyType&>::value and
                                                not std::is_same<KeyType, std::nullptr_t>::value>;

/// True for a container that takes elements with insert(position, element)
/// and whose elements read out: std::vector, std::deque, std::list, the sets.
template<typename BasicJsonType, typename T, typename = void>
struct is_sequence_out : std::false_type
{};

template<typename BasicJsonType, typename T>
struct is_sequence_out<BasicJsonType, T,
                       void_t<enable_if_t<not std::is_same<T, BasicJsonType>::value>, // a value reads as itself
                              decltype(std::declval<T&>().insert(std::declval<T&>().end(),
                                                                 std::declval<typename T::value_type>()))>>
    : std::integral_constant<
          bool, not is_map_like<T>::value and
                    not is_one_of<T, BasicJsonType, typename BasicJsonType::string_t,
                                  typename BasicJsonType::object_t, typename BasicJsonType::array_t>::value and
                    not std::is_same<typename T::value_type, T>::value and
                    is_readable<BasicJsonType, typename T::value_type>::value>
{};

/// True for a map from string_t whose values read out.
template<typename BasicJsonType, typename T, typename = void>
struct is_map_out : std::false_type
{};

template<typename BasicJsonType, typename T>
struct is_map_out<BasicJsonType, T, enable_if_t<is_map_like<T>::value>>
    : std::integral_constant<
          bool, not std::is_same<T, typename BasicJsonType::object_t>::value and
                    std::is_same<typename T::key_type, typename BasicJsonType::string_t>::value and
                    is_readable<BasicJsonType, typename T::mapped_type>::value>
{};

/// True for a std::pair or std::tuple whose elements all read out.
template<typename BasicJsonType, typename T>
struct is_tuple_out : std::false_type
{};

template<typename BasicJsonType, typename First, typename Second>
struct is_tuple_out<BasicJsonType, std::pair<First, Second>>
    : all_true<is_readable<BasicJsonType, First>::value, is_readable<BasicJsonType, Second>::value>
{};

template<typename BasicJsonType, typename... Elements>
struct is_tuple_out<BasicJsonType, std::tuple<Elements...>> : all_true<is_readable<BasicJsonType, Elements>::value...>
{};

/// The array stored in j when it has exactly `size` elements. Throws
/// type_error 302 for another kind, and out_of_range 407 for another size.
template<typename BasicJsonType>
const typename BasicJsonType::array_t& array_of_size(const BasicJsonType& j, const std::size_t size)
{
    const auto& array = stored_or_throw<typename BasicJsonType::array_t>(j, "array");
    if (array.size() != size)
    {
        throw_error(error::wrong_array_size, {std::to_string(array.size()), std::to_string(size)});
    }
    return array;
}

/// Room for `size` elements up front, for the containers that can make it.
template<typename T>
auto reserve_for(T& container, const std::size_t size, priority_tag<1> /*unused*/)
    -> decltype(container.reserve(size), void())
{
    container.reserve(size);
}

template<typename T>
void reserve_for(T& /*unused*/, const std::size_t /*unused*/, priority_tag<0> /*unused*/) noexcept
{}

/// An array into a sequence or a set, its elements in order (a set keeps
/// the first of equal ones).
template<typename BasicJsonType, typename T, enable_if_t<is_sequence_out<BasicJsonType, T>::value, int> = 0>
void from_json(const BasicJsonType& j, T& sequence)
{
    const auto& array = stored_or_throw<typename BasicJsonType::array_t>(j, "array");
    T result;
    reserve_for(result, array.size(), priority_tag<1>{});
    for (std::size_t i = 0; i < array.size(); ++i)
    {
        result.insert(result.end(), read_at<typename T::value_type>(array[i], i));
    }
    sequence = std::move(result);
}

/// An array of exactly N elements into a std::array; out_of_range 407 for another size.
template<typename BasicJsonType, typename T, std::size_t N,
         enable_if_t<is_readable<BasicJsonType, T>::value, int> = 0>
void from_json(const BasicJsonType& j, std::array<T, N>& fixed)
{
    const auto& array = array_of_size(j, N);
    std::array<T, N> result{};
    for (std::size_t i = 0; i < N; ++i)
    {
        read_into(array[i], result[i], i);
    }
    fixed = std::move(result);
}

/// An object into a map from string_t.
template<typename BasicJsonType, typename T, enable_if_t<is_map_out<BasicJsonType, T>::value, int> = 0>
void from_json(const BasicJsonType& j, T& map)
{
    const auto& object = stored_or_throw<typename BasicJsonType::object_t>(j, "object");
    T result;
    for (const auto& member : object)
    {
        result.emplace(member.first, read_at<typename T::mapped_type>(member.second, member.first));
    }
    map = std::move(result);
}

template<typename T, typename Array, std::size_t... I>
T tuple_from_array(const Array& array, index_sequence<I...> /*unused*/)
{
    return T(read_at<typename std::tuple_element<I, T>::type>(array[I], I)...);
}

/// An array of exactly as many elements into a std::pair or std::tuple;
/// out_of_range 407 for another size.
template<typename BasicJsonType, typename T, enable_if_t<is_tuple_out<BasicJsonType, T>::value, int> = 0>
void from_json(const BasicJsonType& j, T& tuple)
{
    constexpr std::size_t size = std::tuple_size<T>::value;
    tuple = tuple_from_array<T>(array_of_size(j, size), make_index_sequence<size>{});
}

#ifdef __cpp_lib_optional
/// Null into an empty optional, anything else into its value.
template<typename BasicJsonType, typename T, enable_if_t<is_readable<BasicJsonType, T>::value, int> = 0>
void from_json(const BasicJsonType& j, std::optional<T>& optional)
{
    if (j.is_null())
    {
        optional.reset();
        return;
    }
    T value{};
    BasicJsonType::template json_serializer<T>::from_json(j, value);
    optional = std::move(value);
}
#endif

#ifdef __cpp_lib_string_view
/// A view of the stored string, valid while j holds it unchanged. Throws
/// type_error 302 for a value that is not a string.
template<typename BasicJsonType, typename T, enable_if_t<std::is_same<T, std::string_view>::value, int> = 0>
void from_json(const BasicJsonType& j, T& view)
{
    const auto& stored = stored_or_throw<typename BasicJsonType::string_t>(j, "string");
    view = T(stored.data(), stored.size());
}
#endif

#ifdef __cpp_lib_variant
/// Only null. Throws type_error 302 for any other kind.
template<typename BasicJsonType, typename T, enable_if_t<std::is_same<T, std::monostate>::value, int> = 0>
void from_json(const BasicJsonType& j, T& /*unused*/)
{
    if (not j.is_null())
    {
        throw_type_must_be("null", j);
    }
}

#if defined(__cpp_exceptions) || defined(__EXCEPTIONS)
/// Whether j reads as alternative I, which then becomes the variant's.
template<std::size_t I, typename BasicJsonType, typename Variant>
bool read_alternative(const BasicJsonType& j, Variant& variant)
{
    using alternative_t = std::variant_alternative_t<I, Variant>;
    alternative_t alternative{};
    try
    {
        BasicJsonType::template json_serializer<alternative_t>::from_json(j, alternative);
    }
    catch (const exception&)
    {
        return false;
    }
    variant = Variant(std::in_place_index<I>, std::move(alternative));
    return true;
}

template<typename BasicJsonType, typename Variant, std::size_t... I>
void variant_from_json(const BasicJsonType& j, Variant& variant, index_sequence<I...> /*unused*/)
{
    // The first alternative that reads wins; the fold stops there.
    if (not(read_alternative<I>(j, variant) or ...))
    {
        throw_error(error::no_variant_alternative, {j.type_name()});
    }
}

/// A variant: the first of its alternatives, in order, that reads j without
/// an error of the library (so std::variant<int, double> reads 1.5 as the
/// double, and std::variant<double, int> reads 1 as the double too). Throws
/// type_error 317 when none does, and std::bad_alloc. Offered only with
/// exceptions, which the tries are made of.
template<typename BasicJsonType, typename... Alternatives,
         enable_if_t<all_true<is_readable<BasicJsonType, Alternatives>::value...>::value, int> = 0>
void from_json(const BasicJsonType& j, std::variant<Alternatives...>& variant)
{
    variant_from_json(j, variant, make_index_sequence<sizeof...(Alternatives)>{});
}
#endif
#endif

/// The function object behind adl_serializer::from_json. Its unqualified
/// call finds the overloads above and those in the namespace of the target's type.
struct from_json_fn
{
  private:
    template<typename BasicJsonType, typename T>
    auto call(const BasicJsonType& j, T& val, priority_tag<1> /*unused*/) const
        noexcept(noexcept(from_json(j, val))) -> decltype(from_json(j, val), void())
    {
        from_json(j, val);
    }

  public:
    template<typename BasicJsonType, typename T>
    auto operator()(const BasicJsonType& j, T& val) const
        noexcept(noexcept(std::declval<const from_json_fn&>().call(j, val, priority_tag<1>{})))
        -> decltype(std::declval<const from_json_fn&>().call(j, val, priority_tag<1>{}))
    {
        call(j, val, priority_tag<1>{});
    }
};

} // namespace detail

/// The default JSONSerializer: converts any T for which a to_json exists, and
/// reads any T for which a from_json exists.
template<typename, typename>
struct adl_serializer
{
    template<typename BasicJsonType, typename ValueType>
    static auto to_json(BasicJsonType& j, ValueType&& val)
        noexcept(noexcept(detail::static_const<detail::to_json_fn>::value(j, std::forward<ValueType>(val))))
        -> decltype(detail::static_const<detail::to_json_fn>::value(j, std::forward<ValueType>(val)))
    {
        detail::static_const<detail::to_json_fn>::value(j, std::forward<ValueType>(val));
    }

    /// Reads j into val through the from_json found for ValueType; throws
    /// what that from_json throws.
    template<typename BasicJsonType, typename ValueType>
    static auto from_json(const BasicJsonType& j, ValueType& val)
        noexcept(noexcept(detail::static_const<detail::from_json_fn>::value(j, val)))
            -> decltype(detail::static_const<detail::from_json_fn>::value(j, val))
    {
        detail::static_const<detail::from_json_fn>::value(j, val);
    }
};

} // namespace quarrow

// Mapping: a struct or an enum of the user's own converted both ways in one line.


namespace quarrow
{

/// Tells the struct mappings that a member of type T may be empty.
/// Specialise it for a "maybe" type of your own, with
///     static bool is_empty(const T&);          // never throws
///     static constexpr bool written_as_null;   // true: an empty one is written as null
/// An empty member is then left out of the object written (or written as
/// null), and a missing member reads as T(); a null one reads through T's own
/// from_json, as any member does. std::optional comes specialised, left out
/// when empty.
template<typename T, typename SFINAE = void>
struct optional_member
{};

#ifdef __cpp_lib_optional
template<typename T>
struct optional_member<std::optional<T>>
{
    static bool is_empty(const std::optional<T>& optional) noexcept
    {
        return not optional.has_value();
    }
    static constexpr bool written_as_null = false;
};
#endif

namespace detail
{

/// A member of Class the mappings read and write: its name in JSON, and
/// where it lives.
template<typename Class, typename Member>
struct member_field
{
    const char* name;
    std::size_t length;
    Member Class::*pointer;
};

/// The field of member `pointer`, named by the string literal `name`. Never fails.
template<typename Class, typename Member, std::size_t N>
constexpr member_field<Class, Member> field(const char (&name)[N], Member Class::*pointer) noexcept
{
    return {name, N - 1, pointer};
}

/// What reading an object that lacks a member does.
enum class missing_member : std::uint8_t
{
    /// Throws out_of_range 403 naming the member.
    refused,
    /// Keeps the value the member has.
    default_kept
};

/// True when optional_member<T> is specialised for T.
template<typename T, typename = void>
struct is_optional_member : std::false_type
{};

template<typename T>
struct is_optional_member<T, void_t<decltype(optional_member<T>::is_empty(std::declval<const T&>()))>>
    : std::true_type
{};

template<typename BasicJsonType, typename Class, typename Member>
void write_member(typename BasicJsonType::object_t& object, const member_field<Class, Member>& entry,
                  const Member& member, std::false_type /*optional*/)
{
    object.emplace(typename BasicJsonType::string_t(entry.name, entry.length), BasicJsonType(member));
}

template<typename BasicJsonType, typename Class, typename Member>
void write_member(typename BasicJsonType::object_t& object, const member_field<Class, Member>& entry,
                  const Member& member, std::true_type /*optional*/)
{
    if (not optional_member<Member>::is_empty(member))
    {
        object.emplace(typename BasicJsonType::string_t(entry.name, entry.length), BasicJsonType(member));
    }
    else if (optional_member<Member>::written_as_null)
    {
        object.emplace(typename BasicJsonType::string_t(entry.name, entry.length), BasicJsonType());
    }
}

/// A missing member that may be empty reads as empty, unless defaults are kept.
template<typename Member>
void read_missing(Member& member, const char* /*name*/, const missing_member policy, std::true_type /*optional*/)
{
    if (policy == missing_member::refused)
    {
        member = Member();
    }
}

template<typename Member>
void read_missing(Member& /*member*/, const char* name, const missing_member policy, std::false_type /*optional*/)
{
    if (policy == missing_member::refused)
    {
        throw_error(error::key_not_found, {name});
    }
}

template<typename BasicJsonType, typename Member>
QUARROW_ALWAYS_INLINE inline void read_member(const typename BasicJsonType::object_t& object, const char* name,
                                              const std::size_t length, Member& member, const missing_member policy)
{
    const auto found = object.find(typename BasicJsonType::string_t(name, length));
    if (found == object.end())
    {
        read_missing(member, name, policy, is_optional_member<Member>{});
        return;
    }
    read_into(found->second, member, name);
}

/// The object of the fields of value, written in their order; a duplicate
/// name keeps the first. Throws what the members' conversions throw.
template<typename BasicJsonType, typename Class, typename... Members>
void members_to_json(BasicJsonType& j, const Class& value, const member_field<Class, Members>&... fields)
{
    typename BasicJsonType::object_t object;
    // Expands to one write per field, in order.
    const int expand[] = {
        0, (write_member<BasicJsonType>(object, fields, value.*fields.pointer, is_optional_member<Members>{}), 0)...};
    static_cast<void>(expand);
    external_constructor<value_t::object>::construct(j, std::move(object));
}

/// Reads an object into value, field by field; members the object has and
/// no field names are ignored, and a missing one under
/// missing_member::default_kept keeps what value holds. get, get_to and the
/// containers read into a fresh value-initialised Class, moved into their
/// target once whole, so that a failure leaves the target as it was. Throws
/// type_error 302 for a value that is not an object, out_of_range 403 for a
/// missing member under missing_member::refused, and what the members'
/// conversions throw, with the member's name put before the path.
template<missing_member Policy, typename BasicJsonType, typename Class, typename... Members>
void members_from_json(const BasicJsonType& j, Class& value, const member_field<Class, Members>&... fields)
{
    const auto& object = stored_or_throw<typename BasicJsonType::object_t>(j, "object");
    // Expands to one read per field, in order.
    const int expand[] = {
        0, (read_member<BasicJsonType>(object, fields.name, fields.length, value.*fields.pointer, Policy), 0)...};
    static_cast<void>(expand);
}

/// One enumerator and its text.
template<typename Enum>
struct enum_text
{
    Enum value;
    const char* text;
};

/// The texts of the table as JSON strings, separated by ", ". Throws std::bad_alloc.
template<typename BasicJsonType, typename Enum, std::size_t N>
std::string enum_texts(const enum_text<Enum> (&texts)[N])
{
    std::string list;
    for (const auto& entry : texts)
    {
        list += (list.empty() ? "" : ", ") + BasicJsonType(entry.text).dump();
    }
    return list;
}

/// The text of value, the first the table gives it. Throws out_of_range 409
/// for an enumerator the table lacks.
template<typename BasicJsonType, typename Enum, std::size_t N>
void enum_to_json(BasicJsonType& j, const Enum value, const enum_text<Enum> (&texts)[N])
{
    for (const auto& entry : texts)
    {
        if (entry.value == value)
        {
            j = BasicJsonType(entry.text);
            return;
        }
    }
    using underlying = typename std::underlying_type<Enum>::type;
    throw_error(error::enumerator_without_text,
                {std::to_string(+static_cast<underlying>(value)), enum_texts<BasicJsonType>(texts)});
}

/// The enumerator of the text, the first the table gives it. Throws
/// type_error 302 for a value that is not a string, and out_of_range 410 for
/// a text the table lacks.
template<typename BasicJsonType, typename Enum, std::size_t N>
void enum_from_json(const BasicJsonType& j, Enum& value, const enum_text<Enum> (&texts)[N])
{
    const auto& text = stored_or_throw<typename BasicJsonType::string_t>(j, "string");
    for (const auto& entry : texts)
    {
        if (text == entry.text)
        {
            value = entry.value;
            return;
        }
    }
    throw_error(error::text_of_no_enumerator, {j.dump(), enum_texts<BasicJsonType>(texts)});
}

} // namespace detail
} // namespace quarrow

// The macros only list what the templates above work with. The fields are
// written out by counting the arguments (64 at most) and taking the macro
// of that count; each argument is a member's name, or QUARROW_MEMBER's
// parenthesised pair, told apart by whether the argument splits in two.

#define QUARROW_DETAIL_CAT(a, b) QUARROW_DETAIL_CAT_I(a, b)
#define QUARROW_DETAIL_CAT_I(a, b) a##b
#define QUARROW_DETAIL_PAIR(name, text) name, text
#define QUARROW_DETAIL_THIRD(...) QUARROW_DETAIL_THIRD_I(__VA_ARGS__)
#define QUARROW_DETAIL_THIRD_I(a, b, c, ...) c
#define QUARROW_DETAIL_FIELD(T, x)                                                                                    \
    QUARROW_DETAIL_THIRD(QUARROW_DETAIL_PAIR x, QUARROW_DETAIL_RENAMED, QUARROW_DETAIL_NAMED, unused)(T, x)
#define QUARROW_DETAIL_NAMED(T, name) ::quarrow::detail::field(#name, &T::name)
#define QUARROW_DETAIL_RENAMED(T, pair) QUARROW_DETAIL_RENAMED_I(T, QUARROW_DETAIL_PAIR pair)
#define QUARROW_DETAIL_RENAMED_I(...) QUARROW_DETAIL_RENAMED_II(__VA_ARGS__)
#define QUARROW_DETAIL_RENAMED_II(T, name, text) ::quarrow::detail::field(text, &T::name)
#define QUARROW_DETAIL_FIELDS(T, ...)                                                                                 \
    QUARROW_DETAIL_CAT(QUARROW_DETAIL_FIELDS_, QUARROW_DETAIL_COUNT(__VA_ARGS__))(T, __VA_ARGS__)
#define QUARROW_DETAIL_COUNT(...) QUARROW_DETAIL_COUNT_I(__VA_ARGS__, 64, 63, 62, 61, 60, 59, 58, 57, 56, 55, 54, \
    53, 52, 51, 50, 49, 48, 47, 46, 45, 44, 43, 42, 41, 40, 39, 38, 37, 36, 35, 34, 33, 32, 31, 30, 29, 28, 27, 26, \
    25, 24, 23, 22, 21, 20, 19, 18, 17, 16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, unused)
#define QUARROW_DETAIL_COUNT_I(a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11, a12, a13, a14, a15, a16, a17, a18, a19, \
    a20, a21, a22, a23, a24, a25, a26, a27, a28, a29, a30, a31, a32, a33, a34, a35, a36, a37, a38, a39, a40, a41, \
    a42, a43, a44, a45, a46, a47, a48, a49, a50, a51, a52, a53, a54, a55, a56, a57, a58, a59, a60, a61, a62, a63, \
    a64, count, ...) count
#define QUARROW_DETAIL_FIELDS_1(T, x) QUARROW_DETAIL_FIELD(T, x)
#define QUARROW_DETAIL_FIELDS_2(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_1(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_3(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_2(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_4(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_3(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_5(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_4(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_6(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_5(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_7(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_6(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_8(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_7(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_9(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_8(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_10(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_9(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_11(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_10(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_12(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_11(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_13(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_12(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_14(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_13(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_15(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_14(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_16(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_15(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_17(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_16(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_18(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_17(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_19(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_18(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_20(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_19(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_21(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_20(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_22(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_21(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_23(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_22(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_24(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_23(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_25(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_24(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_26(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_25(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_27(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_26(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_28(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_27(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_29(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_28(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_30(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_29(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_31(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_30(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_32(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_31(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_33(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_32(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_34(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_33(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_35(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_34(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_36(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_35(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_37(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_36(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_38(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_37(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_39(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_38(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_40(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_39(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_41(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_40(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_42(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_41(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_43(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_42(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_44(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_43(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_45(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_44(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_46(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_45(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_47(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_46(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_48(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_47(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_49(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_48(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_50(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_49(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_51(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_50(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_52(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_51(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_53(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_52(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_54(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_53(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_55(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_54(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_56(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_55(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_57(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_56(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_58(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_57(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_59(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_58(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_60(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_59(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_61(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_60(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_62(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_61(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_63(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_62(T, __VA_ARGS__)
#define QUARROW_DETAIL_FIELDS_64(T, x, ...) QUARROW_DETAIL_FIELD(T, x), QUARROW_DETAIL_FIELDS_63(T, __VA_ARGS__)

// The two functions; the static_assert takes the semicolon after the macro.
#define QUARROW_DETAIL_TYPE(specifier, policy, Type, ...)                                                             \
    template<typename BasicJsonType>                                                                                 \
    specifier void to_json(BasicJsonType& j, const Type& value)                                                      \
    {                                                                                                                \
        ::quarrow::detail::members_to_json(j, value, QUARROW_DETAIL_FIELDS(Type, __VA_ARGS__));                      \
    }                                                                                                                \
    template<typename BasicJsonType>                                                                                 \
    specifier void from_json(const BasicJsonType& j, Type& value)                                                    \
    {                                                                                                                \
        ::quarrow::detail::members_from_json<::quarrow::detail::missing_member::policy>(                             \
            j, value, QUARROW_DETAIL_FIELDS(Type, __VA_ARGS__));                                                     \
    }                                                                                                                \
    static_assert(true, "")

/// A member written under another name in JSON, a string literal, among
/// the plain names of the macros below:
/// QUARROW_TYPE(config, host, QUARROW_MEMBER(max_retries, "max-retries")).
#define QUARROW_MEMBER(name, text) (name, text)

/// Maps the public members of Type (1 to 64, each a name or a QUARROW_MEMBER)
/// to an object of the same names, both ways; use it in Type's namespace.
/// Reading throws type_error 302 for a value that is not an object,
/// out_of_range 403 for a missing member (one that optional_member marks
/// reads as empty), and what the members' conversions throw; get, get_to
/// and the containers read into a fresh value-initialised Type, moved into
/// their target once whole.
#define QUARROW_TYPE(Type, ...) QUARROW_DETAIL_TYPE(inline, refused, Type, __VA_ARGS__)

/// The same, but a missing member keeps the value it has in the Type read
/// into: through get, get_to and the containers, a value-initialised one.
#define QUARROW_TYPE_WITH_DEFAULTS(Type, ...) QUARROW_DETAIL_TYPE(inline, default_kept, Type, __VA_ARGS__)

/// QUARROW_TYPE for use inside Type, where private members are reached too.
#define QUARROW_TYPE_INTRUSIVE(Type, ...) QUARROW_DETAIL_TYPE(friend, refused, Type, __VA_ARGS__)

/// QUARROW_TYPE_WITH_DEFAULTS for use inside Type.
#define QUARROW_TYPE_INTRUSIVE_WITH_DEFAULTS(Type, ...) QUARROW_DETAIL_TYPE(friend, default_kept, Type, __VA_ARGS__)

/// Maps the enumerators of Enum to texts, both ways, as a list of
/// {enumerator, "text"} pairs; use it in Enum's namespace. The first pair of
/// an enumerator gives its text, the first of a text its enumerator. Writing
/// throws out_of_range 409 for an enumerator the list lacks; reading throws
/// type_error 302 for a value that is not a string and out_of_range 410 for
/// a text the list lacks, both messages listing the texts.
#define QUARROW_ENUM(Enum, ...)                                                                                       \
    template<typename BasicJsonType>                                                                                 \
    void to_json(BasicJsonType& j, const Enum& value)                                                                \
    {                                                                                                                \
        static const ::quarrow::detail::enum_text<Enum> texts[] = {__VA_ARGS__};                                    \
        ::quarrow::detail::enum_to_json(j, value, texts);                                                            \
    }                                                                                                                \
    template<typename BasicJsonType>                                                                                 \
    void from_json(const BasicJsonType& j, Enum& value)                                                              \
    {                                                                                                                \
        static const ::quarrow::detail::enum_text<Enum> texts[] = {__VA_ARGS__};                                    \
        ::quarrow::detail::enum_from_json(j, value, texts);                                                          \
    }                                                                                                                \
    static_assert(true, "")

// Iterators: walking an array, an object or a scalar, every step checked.


namespace quarrow
{
namespace detail
{

template<typename Iterator>
class item;

/// A random-access iterator over a value of type BasicJsonType (const for the
/// const iterator). Arrays and other non-objects are walked by position, so
/// an iterator checks itself against the current size; objects by member.
/// Changing a value invalidates its iterators as the underlying container's
/// own are invalidated; an iterator bound to a value that has died is unusable.
template<typename BasicJsonType>
class value_iterator
{
    template<typename>
    friend class value_iterator;
    template<typename>
    friend class item;
    friend typename std::remove_const<BasicJsonType>::type;

    using object_t = typename BasicJsonType::object_t;
    using member_iterator = typename std::conditional<std::is_const<BasicJsonType>::value,
                                                      typename object_t::const_iterator,
                                                      typename object_t::iterator>::type;

  public:
    using iterator_category = std::random_access_iterator_tag;
    using value_type = typename std::remove_const<BasicJsonType>::type;
    using difference_type = std::ptrdiff_t;
    using pointer = BasicJsonType*;
    using reference = BasicJsonType&;

    /// Bound to no value: only assignment and comparison with another unbound
    /// iterator work; anything else throws invalid_iterator 214.
    value_iterator() noexcept = default;

    /// The iterator converts to the const iterator. Never throws.
    template<typename Other,
             enable_if_t<std::is_same<const Other, BasicJsonType>::value and
                             not std::is_same<Other, BasicJsonType>::value,
                         int> = 0>
    value_iterator(const value_iterator<Other>& other) noexcept
        : m_container(other.m_container), m_member(other.m_member), m_index(other.m_index)
    {}

    /// The element or member value pointed to. Throws invalid_iterator 212 at
    /// the end or outside the range, 214 when unbound.
    reference operator*() const
    {
        check_bound();
        if (m_container->is_object())
        {
            if (m_member == m_container->m_value.object->end())
            {
                throw_error(error::dereference_of_no_element);
            }
            return m_member->second;
        }
        if (m_index < 0 or static_cast<std::size_t>(m_index) >= m_container->size())
        {
            throw_error(error::dereference_of_no_element);
        }
        if (m_container->is_array())
        {
            return (*m_container->m_value.array)[static_cast<std::size_t>(m_index)];
        }
        return *m_container;
    }

    /// Throws what operator* throws.
    pointer operator->() const
    {
        return &**this;
    }

    /// The next position. Throws invalid_iterator 213 past the end, 214 when unbound.
    value_iterator& operator++()
    {
        return step(1);
    }

    /// Throws what the prefix form throws.
    value_iterator operator++(int)
    {
        const value_iterator result = *this;
        step(1);
        return result;
    }

    /// The previous position. Throws invalid_iterator 213 before the beginning, 214 when unbound.
    value_iterator& operator--()
    {
        return step(-1);
    }

    /// Throws what the prefix form throws.
    value_iterator operator--(int)
    {
        const value_iterator result = *this;
        step(-1);
        return result;
    }

    /// Moves by n positions. Throws invalid_iterator 208 on an object, 213
    /// when the result would lie outside [begin, end], 214 when unbound.
    value_iterator& operator+=(difference_type n)
    {
        check_bound();
        if (m_container->is_object())
        {
            throw_error(error::offset_of_object_iterator);
        }
        return step(n);
    }

    /// Throws what operator+= throws.
    value_iterator& operator-=(difference_type n)
    {
        if (n == std::numeric_limits<difference_type>::min()) // no value is that long, and -n would overflow
        {
            check_bound();
            throw_error(m_container->is_object() ? error::offset_of_object_iterator : error::move_out_of_range);
        }
        return *this += -n;
    }

    /// Throws what operator+= throws.
    value_iterator operator+(difference_type n) const
    {
        value_iterator result = *this;
        return result += n;
    }

    /// Throws what operator+= throws.
    friend value_iterator operator+(difference_type n, const value_iterator& it)
    {
        return it + n;
    }

    /// Throws what operator+= throws.
    value_iterator operator-(difference_type n) const
    {
        value_iterator result = *this;
        return result -= n;
    }

    /// The number of steps from other to this one; on an object it walks the
    /// members, so it costs their number. Throws invalid_iterator 201 for
    /// iterators of different values, 214 when unbound.
    template<typename Other>
    difference_type operator-(const value_iterator<Other>& other) const
    {
        check_same_value(other);
        check_bound();
        if (not m_container->is_object())
        {
            return m_index - other.m_index;
        }
        const typename object_t::const_iterator end = m_container->m_value.object->end();
        difference_type count = 0;
        for (typename object_t::const_iterator i = other.m_member;; ++i, ++count)
        {
            if (i == m_member)
            {
                return count;
            }
            if (i == end)
            {
                break;
            }
        }
        // Not after other, so before it.
        count = 0;
        for (typename object_t::const_iterator i = m_member; i != other.m_member; ++i)
        {
            --count;
        }
        return count;
    }

    /// *(it + n). Throws invalid_iterator 209 on an object, and what + and * throw.
    reference operator[](difference_type n) const
    {
        check_bound();
        if (m_container->is_object())
        {
            throw_error(error::index_of_object_iterator);
        }
        return *(*this + n);
    }

    /// Same position of the same value. Throws invalid_iterator 201 for
    /// iterators of different values (an unbound one included, unless both are).
    template<typename Other>
    bool operator==(const value_iterator<Other>& other) const
    {
        check_same_value(other);
        if (m_container == nullptr)
        {
            return true;
        }
        return m_container->is_object() ? m_member == other.m_member : m_index == other.m_index;
    }

    /// Throws what operator== throws.
    template<typename Other>
    bool operator!=(const value_iterator<Other>& other) const
    {
        return not(*this == other);
    }

    /// Position order. Throws invalid_iterator 201 for iterators of different
    /// values, 207 on an object, 214 when unbound.
    template<typename Other>
    bool operator<(const value_iterator<Other>& other) const
    {
        check_same_value(other);
        check_bound();
        if (m_container->is_object())
        {
            throw_error(error::order_of_object_iterators);
        }
        return m_index < other.m_index;
    }

    /// Throws what operator< throws.
    template<typename Other>
    bool operator<=(const value_iterator<Other>& other) const
    {
        return not(other < *this);
    }

    /// Throws what operator< throws.
    template<typename Other>
    bool operator>(const value_iterator<Other>& other) const
    {
        return other < *this;
    }

    /// Throws what operator< throws.
    template<typename Other>
    bool operator>=(const value_iterator<Other>& other) const
    {
        return not(*this < other);
    }

    /// The key of the member pointed to. Throws invalid_iterator 206 when the
    /// value is not an object, 212 at the end, 214 when unbound.
    const typename BasicJsonType::string_t& key() const
    {
        check_bound();
        if (not m_container->is_object())
        {
            throw_error(error::key_of_non_object_iterator);
        }
        if (m_member == m_container->m_value.object->end())
        {
            throw_error(error::dereference_of_no_element);
        }
        return m_member->first;
    }

    /// The same as operator*.
    reference value() const
    {
        return **this;
    }

  private:
    value_iterator(BasicJsonType* container, member_iterator member) noexcept
        : m_container(container), m_member(member)
    {}

    value_iterator(BasicJsonType* container, difference_type index) noexcept
        : m_container(container), m_index(index)
    {}

    void check_bound() const
    {
        if (m_container == nullptr)
        {
            throw_error(error::unbound_iterator);
        }
    }

    template<typename Other>
    void check_same_value(const value_iterator<Other>& other) const
    {
        if (m_container != other.m_container)
        {
            throw_error(error::iterators_of_different_values);
        }
    }

    /// Moves by n, which is 1 or -1 on an object.
    value_iterator& step(difference_type n)
    {
        check_bound();
        if (m_container->is_object())
        {
            const auto& object = *m_container->m_value.object;
            if ((n > 0 and m_member == object.end()) or (n < 0 and m_member == object.begin()))
            {
                throw_error(error::move_out_of_range);
            }
            if (n > 0)
            {
                ++m_member;
            }
            else
            {
                --m_member;
            }
            return *this;
        }
        const auto size = static_cast<difference_type>(m_container->size());
        // Checked without forming m_index + n, which could overflow.
        if ((n < 0 and n < -m_index) or (n > 0 and size - m_index < n))
        {
            throw_error(error::move_out_of_range);
        }
        m_index += n;
        return *this;
    }

    BasicJsonType* m_container = nullptr;
    member_iterator m_member{};
    difference_type m_index = 0;
};

/// A reverse iterator over a value that also offers key() and value().
template<typename Base>
class reverse_value_iterator : public std::reverse_iterator<Base>
{
  public:
    using std::reverse_iterator<Base>::reverse_iterator;

    /// Throws what Base's operator-- throws.
    reverse_value_iterator& operator++()
    {
        std::reverse_iterator<Base>::operator++();
        return *this;
    }

    /// Throws what Base's operator-- throws.
    reverse_value_iterator operator++(int)
    {
        const reverse_value_iterator result = *this;
        ++*this;
        return result;
    }

    /// Throws what Base's operator++ throws.
    reverse_value_iterator& operator--()
    {
        std::reverse_iterator<Base>::operator--();
        return *this;
    }

    /// Throws what Base's operator++ throws.
    reverse_value_iterator operator--(int)
    {
        const reverse_value_iterator result = *this;
        --*this;
        return result;
    }

    /// The key of the member pointed to. Throws what Base's key() throws,
    /// and invalid_iterator 213 at the reverse end.
    auto key() const -> decltype(std::declval<Base>().key())
    {
        Base position = this->base();
        return (--position).key();
    }

    /// The element or member value pointed to. Throws what Base's operator* throws.
    typename Base::reference value() const
    {
        return **this;
    }
};

/// One entry of items() and the iterator to it at once, so that range-for
/// (structured bindings included) can bind a reference to it: key() is the
/// member's key, an array element's index as text, or empty for any other value.
/// The entry lives in the iterator, so a reference to it lasts while that
/// iterator stays where it is; what value() returns lasts as the element does.
template<typename Iterator>
class item
{
  public:
    using string_t = typename Iterator::value_type::string_t;
    using iterator_category = std::forward_iterator_tag;
    using value_type = item;
    using difference_type = std::ptrdiff_t;
    using pointer = const item*;
    using reference = const item&;

    /// Bound to no value, as Iterator's own default. Never throws.
    item() = default;

    /// The entry at it. Never throws.
    explicit item(Iterator it) noexcept
        : m_it(it)
    {}

    /// The entry itself. Never throws.
    const item& operator*() const noexcept
    {
        return *this;
    }

    /// The entry itself. Never throws.
    const item* operator->() const noexcept
    {
        return this;
    }

    /// Throws what Iterator's operator++ throws.
    item& operator++()
    {
        ++m_it;
        ++m_index;
        return *this;
    }

    /// Throws what the prefix form throws.
    item operator++(int)
    {
        const item result = *this;
        ++*this;
        return result;
    }

    /// Throws what Iterator's comparison throws.
    bool operator==(const item& other) const
    {
        return m_it == other.m_it;
    }

    /// Throws what Iterator's comparison throws.
    bool operator!=(const item& other) const
    {
        return m_it != other.m_it;
    }

    /// Throws what Iterator's key() throws, and std::bad_alloc for an index.
    const string_t& key() const
    {
        m_it.check_bound();
        if (m_it.m_container->is_object())
        {
            return m_it.key();
        }
        if (m_it.m_container->is_array())
        {
            m_index_text = std::to_string(m_index);
        }
        return m_index_text;
    }

    /// Throws what Iterator's operator* throws.
    typename Iterator::reference value() const
    {
        return *m_it;
    }

    /// key() for N 0, value() for N 1: the tuple protocol of structured bindings.
    template<std::size_t N, enable_if_t<N == 0, int> = 0>
    const string_t& get() const
    {
        return key();
    }

    /// See above.
    template<std::size_t N, enable_if_t<N == 1, int> = 0>
    typename Iterator::reference get() const
    {
        return value();
    }

  private:
    Iterator m_it;
    std::size_t m_index = 0;
    mutable string_t m_index_text;
};

/// What items() returns: a range of item<Iterator>.
template<typename Iterator>
class item_range
{
  public:
    /// The range [first, last). Never throws.
    item_range(Iterator first, Iterator last) noexcept
        : m_first(first), m_last(last)
    {}

    /// Never throws.
    item<Iterator> begin() const noexcept
    {
        return item<Iterator>(m_first);
    }

    /// Never throws.
    item<Iterator> end() const noexcept
    {
        return item<Iterator>(m_last);
    }

  private:
    Iterator m_first;
    Iterator m_last;
};

} // namespace detail

} // namespace quarrow

namespace std
{

/// An entry of items() binds as two names.
template<typename Iterator>
struct tuple_size<::quarrow::detail::item<Iterator>> : std::integral_constant<std::size_t, 2>
{};

/// The first binds the key, the second the value.
template<std::size_t N, typename Iterator>
struct tuple_element<N, ::quarrow::detail::item<Iterator>>
{
    using type = decltype(std::declval<const ::quarrow::detail::item<Iterator>&>().template get<N>());
};

} // namespace std

// The value: a kind tag and one 64-bit word, and everything done with it.


namespace quarrow
{
namespace detail
{

// The reading functions the value's entry points call; the reader's parts define them.

/// Iterators over bytes, which the reading entry points take in pairs.
template<typename Iterator>
using is_byte_iterator =
    is_one_of<uncvref_t<typename std::iterator_traits<Iterator>::value_type>, char, signed char, unsigned char>;

// What the value's code needs of object_t and array_t, asked so that any
// other type gives false rather than an error.

/// Always void: the specializations below match when its types exist.
template<typename...>
struct always_void
{
    using type = void;
};

/// Maps from Key to T with one member per key, as std::map: pairs of a const
/// Key and a T from Allocator, and operator[] to reach a member by its key.
template<typename Map, typename Key, typename T, typename Allocator, typename = void>
struct is_unique_map : std::false_type
{};

template<typename Map, typename Key, typename T, typename Allocator>
struct is_unique_map<Map, Key, T, Allocator,
                     typename always_void<typename Map::value_type, typename Map::allocator_type,
                                          decltype(std::declval<Map&>()[std::declval<const Key&>()])>::type>
    : std::integral_constant<
          bool, std::is_same<typename Map::value_type, std::pair<const Key, T>>::value and
                    std::is_same<typename Map::allocator_type, Allocator>::value and
                    std::is_same<decltype(std::declval<Map&>()[std::declval<const Key&>()]), T&>::value>
{};

/// Sequences of T from Allocator with random access and reserve(), as std::vector.
template<typename Sequence, typename T, typename Allocator, typename = void>
struct is_vector_like : std::false_type
{};

template<typename Sequence, typename T, typename Allocator>
struct is_vector_like<Sequence, T, Allocator,
                      typename always_void<typename Sequence::allocator_type, typename Sequence::iterator,
                                           decltype(std::declval<Sequence&>().reserve(std::size_t()))>::type>
    : std::integral_constant<
          bool, std::is_same<typename Sequence::value_type, T>::value and
                    std::is_same<typename Sequence::allocator_type, Allocator>::value and
                    std::is_base_of<std::random_access_iterator_tag,
                                    typename std::iterator_traits<typename Sequence::iterator>::iterator_category>::value>
{};

template<typename BasicJsonType, typename Source>
BasicJsonType parse_source(Source&& source, const parse_options& options);

template<typename BasicJsonType, typename Source>
bool accept_source(Source&& source, const parse_options& options);

template<typename BasicJsonType, typename Source, typename Handler>
bool read_events(Source&& source, Handler& handler, const parse_options& options);

template<typename BasicJsonType>
BasicJsonType parse_stream(std::istream& stream, const parse_options& options);

template<typename BasicJsonType>
bool accept_stream(std::istream& stream, const parse_options& options);

template<typename BasicJsonType, typename Handler>
bool read_stream_events(std::istream& stream, Handler& handler, const parse_options& options);

template<typename BasicJsonType, typename Source>
parse_result<BasicJsonType> try_parse_source(Source&& source, const parse_options& options);

template<typename BasicJsonType>
parse_result<BasicJsonType> try_parse_stream(std::istream& stream, const parse_options& options);

template<typename BasicJsonType, typename Source, typename Filter>
BasicJsonType parse_filtered_source(Source&& source, Filter& filter, const parse_options& options);

template<typename BasicJsonType, typename Filter>
BasicJsonType parse_filtered_stream(std::istream& stream, Filter& filter, const parse_options& options);

} // namespace detail

template<template<typename U, typename V, typename... Args> class ObjectType,
         template<typename U, typename... Args> class ArrayType,
         class StringType,
         class BooleanType,
         class NumberIntegerType,
         class NumberUnsignedType,
         class NumberFloatType,
         template<typename U> class AllocatorType,
         template<typename T, typename SFINAE> class JSONSerializer>
class basic_json
{
    template<detail::value_t>
    friend struct detail::external_constructor;
    template<typename>
    friend class detail::value_iterator;

  public:
    using value_t = detail::value_t;

    /// The exception family, also reachable through the value type.
    using exception = detail::exception;
    using type_error = detail::type_error;
    using out_of_range = detail::out_of_range;
    using other_error = detail::other_error;
    using invalid_iterator = detail::invalid_iterator;
    using parse_error = detail::parse_error;

    // What each kind stores.

    /// Members ordered by key, compared byte by byte; one member per key.
    using object_t = ObjectType<StringType, basic_json, std::less<StringType>,
                                AllocatorType<std::pair<const StringType, basic_json>>>;
    using array_t = ArrayType<basic_json, AllocatorType<basic_json>>;
    using string_t = StringType;
    using boolean_t = BooleanType;
    using number_integer_t = NumberIntegerType;
    using number_unsigned_t = NumberUnsignedType;
    using number_float_t = NumberFloatType;
    /// What containers and strings are allocated with, and every stack or
    /// list the value's operations, the reader and the writer keep.
    using allocator_type = AllocatorType<basic_json>;

    // The parameters the code honours; any other is refused here, by name.
    static_assert(detail::is_unique_map<object_t, StringType, basic_json,
                                        AllocatorType<std::pair<const StringType, basic_json>>>::value,
                  "ObjectType must be a map template with the parameters of std::map (key, value, compare, "
                  "allocator), one member per key, holding std::pair<const key, value> from its allocator");
    static_assert(detail::is_vector_like<array_t, basic_json, AllocatorType<basic_json>>::value,
                  "ArrayType must be a sequence template with the parameters of std::vector (value, allocator), "
                  "holding its values from its allocator, with random access and reserve()");
    static_assert(std::is_same<StringType, std::string>::value,
                  "StringType must be std::string: the reader and the writer work on its char bytes");
    static_assert(std::is_same<BooleanType, bool>::value, "BooleanType must be bool");
    static_assert(std::is_integral<NumberIntegerType>::value and std::is_signed<NumberIntegerType>::value and
                      std::numeric_limits<NumberIntegerType>::digits == 63,
                  "NumberIntegerType must be a signed 64-bit integer type");
    static_assert(std::is_integral<NumberUnsignedType>::value and std::is_unsigned<NumberUnsignedType>::value and
                      std::numeric_limits<NumberUnsignedType>::digits == 64,
                  "NumberUnsignedType must be an unsigned 64-bit integer type");
    static_assert(std::is_same<NumberFloatType, double>::value or std::is_same<NumberFloatType, float>::value,
                  "NumberFloatType must be double or float");

    /// Writes one value as JSON text onto a stream, each token with the
    /// stream's own put or write.
    class serializer;

    /// Writes one value as JSON text into a string or, in fixed-size
    /// chunks, onto a stream, as fast as it can.
    class writer;

  private:
    /// The walk of a value and its layout that the two writers share, each
    /// token written through Sink.
    template<typename Sink>
    class tree_walk;

  public:

    /// Converts native values of type T into values and back.
    template<typename T, typename SFINAE = void>
    using json_serializer = JSONSerializer<T, SFINAE>;

    // The value as a container.

    /// What an iterator walks: values.
    using value_type = basic_json;
    /// A reference to an element or a member's value.
    using reference = basic_json&;
    /// The same, read-only.
    using const_reference = const basic_json&;
    /// Counts and indexes of elements and members.
    using size_type = std::size_t;
    /// The distance between two iterators.
    using difference_type = std::ptrdiff_t;
    /// Iterators over an array's elements, an object's members, or the value
    /// itself; see begin().
    using iterator = detail::value_iterator<basic_json>;
    /// The same, read-only.
    using const_iterator = detail::value_iterator<const basic_json>;
    /// The same, walking backwards.
    using reverse_iterator = detail::reverse_value_iterator<iterator>;
    /// The same, read-only.
    using const_reverse_iterator = detail::reverse_value_iterator<const_iterator>;

  private:
    /// The one way containers and strings are made: if building the T throws,
    /// its storage goes back to the allocator and the exception passes on.
    template<typename T, typename... Args>
    static T* create(Args&&... args)
    {
        using traits = std::allocator_traits<AllocatorType<T>>;
        AllocatorType<T> alloc;
        auto deallocate = [&alloc](T* p) { traits::deallocate(alloc, p, 1); };
        std::unique_ptr<T, decltype(deallocate)> object(traits::allocate(alloc, 1), deallocate);
        traits::construct(alloc, object.get(), std::forward<Args>(args)...);
        assert(object != nullptr);
        return object.release();
    }

    /// The counterpart of create.
    template<typename T>
    static void destroy(T* p) noexcept
    {
        using traits = std::allocator_traits<AllocatorType<T>>;
        AllocatorType<T> alloc;
        traits::destroy(alloc, p);
        traits::deallocate(alloc, p, 1);
    }

    /// The storage word; m_type alone says which member is meaningful.
    union json_value
    {
        object_t* object;
        array_t* array;
        string_t* string;
        boolean_t boolean;
        number_integer_t number_integer;
        number_unsigned_t number_unsigned;
        number_float_t number_float;

        json_value() = default;
        json_value(boolean_t v) noexcept : boolean(v) {}
        json_value(number_integer_t v) noexcept : number_integer(v) {}
        json_value(number_unsigned_t v) noexcept : number_unsigned(v) {}
        json_value(number_float_t v) noexcept : number_float(v) {}
        json_value(const string_t& v) : string(create<string_t>(v)) {}
        json_value(const object_t& v) : object(create<object_t>(v)) {}
        json_value(const array_t& v) : array(create<array_t>(v)) {}
        json_value(string_t&& v) : string(create<string_t>(std::move(v))) {}
        json_value(object_t&& v) : object(create<object_t>(std::move(v))) {}
        json_value(array_t&& v) : array(create<array_t>(std::move(v))) {}

        /// The empty value of a kind.
        json_value(value_t t)
        {
            switch (t)
            {
                case value_t::object:
                    object = create<object_t>();
                    break;
                case value_t::array:
                    array = create<array_t>();
                    break;
                case value_t::string:
                    string = create<string_t>("");
                    break;
                case value_t::boolean:
                    boolean = false;
                    break;
                case value_t::number_integer:
                    number_integer = 0;
                    break;
                case value_t::number_unsigned:
                    number_unsigned = 0;
                    break;
                case value_t::number_float:
                    number_float = 0.0;
                    break;
                case value_t::null:
                case value_t::discarded:
                    object = nullptr;
                    break;
            }
        }
    };

    /// The owning kinds never hold a null pointer.
    void assert_invariant() const noexcept
    {
        assert(m_type != value_t::object or m_value.object != nullptr);
        assert(m_type != value_t::array or m_value.array != nullptr);
        assert(m_type != value_t::string or m_value.string != nullptr);
    }

    // -- copying and releasing trees, with no recursion on their depth --------

    /// True for an object or array of kind `kind` that holds at least one value.
    static bool has_children(const value_t kind, const json_value container) noexcept
    {
        return (kind == value_t::object and not container.object->empty()) or
               (kind == value_t::array and not container.array->empty());
    }

    /// True for an object or array that holds at least one value.
    bool has_children() const noexcept
    {
        return has_children(m_type, m_value);
    }

    /// True for this object or array when it holds a value that holds values:
    /// then its container's own copy would copy more than one level down.
    bool has_grandchildren() const noexcept
    {
        if (m_type == value_t::object)
        {
            for (const auto& member : *m_value.object)
            {
                if (member.second.has_children())
                {
                    return true;
                }
            }
            return false;
        }
        for (const basic_json& element : *m_value.array)
        {
            if (element.has_children())
            {
                return true;
            }
        }
        return false;
    }

    /// The first element, or the value of the first member, of a container that has one.
    static basic_json& first_child(const value_t kind, const json_value container) noexcept
    {
        return kind == value_t::object ? container.object->begin()->second : container.array->front();
    }

    /// True for a container that goes on the list of those to release: an
    /// object that holds values, or an array holding an object or array.
    /// Any other array is cheaper to look through here than to put on the list.
    static bool goes_on_list(const value_t kind, const json_value container) noexcept
    {
        if (kind == value_t::object)
        {
            return not container.object->empty();
        }
        if (kind == value_t::array)
        {
            for (const basic_json& element : *container.array)
            {
                if (element.is_structured())
                {
                    return true;
                }
            }
        }
        return false;
    }

    /// Releases an empty object, an array holding no object or array, or a
    /// string: the destructors this runs meet only scalars and strings.
    static void release_flat(const value_t kind, const json_value content) noexcept
    {
        switch (kind)
        {
            case value_t::object:
                destroy(content.object);
                break;
            case value_t::array:
                destroy(content.array);
                break;
            case value_t::string:
                destroy(content.string);
                break;
            case value_t::null:
            case value_t::boolean:
            case value_t::number_integer:
            case value_t::number_unsigned:
            case value_t::number_float:
            case value_t::discarded:
                break;
        }
    }

    /// Readies a value of a container about to be released, so that the
    /// container's own destructor only meets scalars and strings: an object
    /// or array goes on the list of containers to release headed by
    /// (head_kind, head) when goes_on_list says so, or else is released
    /// here; both leave the value null. The list needs no memory: each
    /// container's first value keeps the link to the next, and what that
    /// value held is dealt with in the same way.
    static void detach(basic_json& value, value_t& head_kind, json_value& head) noexcept
    {
        if (not value.is_structured())
        {
            return;
        }
        value_t kind = value.m_type;
        json_value container = value.m_value;
        value.m_type = value_t::null;
        while (goes_on_list(kind, container))
        {
            basic_json& link = first_child(kind, container);
            const value_t held_kind = link.m_type;
            const json_value held = link.m_value;
            link.m_type = head_kind;
            link.m_value = head;
            head_kind = kind;
            head = container;
            kind = held_kind;
            container = held;
        }
        release_flat(kind, container);
    }

    /// Releases this value's container and all below it, in time linear in
    /// their size and with no memory, since a destructor must not fail. Each
    /// container from the list is released whole after one walk over its
    /// values readies them (see detach), so its own destructor goes one
    /// level down at most; slots left null cost no erase. Out of line so
    /// that the destructor of a scalar or string, run for most values, stays
    /// a few instructions.
    QUARROW_NOINLINE void release_tree() noexcept
    {
        value_t kind = m_type;
        json_value container = m_value;
        value_t head_kind = value_t::null; // null ends the list
        json_value head = {};
        for (;;)
        {
            if (kind == value_t::object)
            {
                for (auto& member : *container.object)
                {
                    detach(member.second, head_kind, head);
                }
                destroy(container.object);
            }
            else
            {
                for (basic_json& element : *container.array)
                {
                    detach(element, head_kind, head);
                }
                destroy(container.array);
            }
            if (head_kind == value_t::null)
            {
                return;
            }
            kind = head_kind;
            container = head;
            basic_json& link = first_child(kind, container);
            head_kind = link.m_type;
            head = link.m_value;
            link.m_type = value_t::null;
        }
    }

    /// The containers of a copy still to fill, each with its source.
    using fill_list = detail::vector_for<basic_json, std::pair<const basic_json*, basic_json*>>;

    /// Makes this null value a copy of source, which has no grandchildren:
    /// a container is copied whole by its own copy, which then copies each
    /// of its values with the copy constructor, one level down at most.
    /// Throws std::bad_alloc, leaving this value as it was.
    QUARROW_ALWAYS_INLINE void copy_whole(const basic_json& source)
    {
        switch (source.m_type)
        {
            case value_t::object:
                m_value = json_value(*source.m_value.object);
                break;
            case value_t::array:
                m_value = json_value(*source.m_value.array);
                break;
            case value_t::string:
                m_value = json_value(*source.m_value.string);
                break;
            case value_t::null:
            case value_t::boolean:
            case value_t::number_integer:
            case value_t::number_unsigned:
            case value_t::number_float:
            case value_t::discarded:
                m_value = source.m_value;
                break;
        }
        m_type = source.m_type;
    }

    /// Makes this null value a copy of source, except that a container with
    /// grandchildren is left empty and put on to_fill. Inline in the loops
    /// of copy_tree, which run it for every value copied there. Throws
    /// std::bad_alloc, leaving what was built in this value.
    QUARROW_ALWAYS_INLINE void copy_one_level(const basic_json& source, fill_list& to_fill)
    {
        if (source.is_structured() and source.has_grandchildren())
        {
            m_value = json_value(source.m_type);
            m_type = source.m_type;
            to_fill.emplace_back(&source, this);
            return;
        }
        copy_whole(source);
    }

    /// Makes this null value a copy of source, an object or array: whole by
    /// its container's own copy when it has no grandchildren, or else one
    /// container at a time from a list of those still to fill. Out of line,
    /// as release_tree. Throws std::bad_alloc, leaving what was built in
    /// this value.
    QUARROW_NOINLINE void copy_tree(const basic_json& source)
    {
        if (not source.has_grandchildren())
        {
            copy_whole(source);
            return;
        }
        m_value = json_value(source.m_type);
        m_type = source.m_type;
        fill_list to_fill;
        to_fill.reserve(64); // spares the first regrowths
        to_fill.emplace_back(&source, this);
        while (not to_fill.empty())
        {
            const basic_json& from = *to_fill.back().first;
            basic_json& into = *to_fill.back().second;
            to_fill.pop_back();
            if (from.is_object())
            {
                object_t& members = *into.m_value.object;
                for (const auto& member : *from.m_value.object)
                {
                    members
                        .emplace_hint(members.end(), std::piecewise_construct, std::forward_as_tuple(member.first),
                                      std::forward_as_tuple())
                        ->second.copy_one_level(member.second, to_fill);
                }
            }
            else
            {
                array_t& elements = *into.m_value.array;
                elements.reserve(from.m_value.array->size()); // so the addresses kept in to_fill stay valid
                for (const basic_json& element : *from.m_value.array)
                {
                    elements.emplace_back();
                    elements.back().copy_one_level(element, to_fill);
                }
            }
        }
    }

  public:
    // -- lifecycle ------------------------------------------------------------

    /// A null value.
    basic_json() noexcept
    {
        assert_invariant();
    }

    /// The empty value of a kind: {}, [], "", false, 0, 0u, 0.0, null or
    /// discarded. Throws std::bad_alloc for the three that allocate, and
    /// other_error 502 for a number that is none of the nine kinds.
    basic_json(value_t kind)
        : basic_json()
    {
        if (kind > value_t::discarded) // a cast number: its value would write nothing at all
        {
            detail::throw_error(detail::error::unknown_kind, {std::to_string(static_cast<unsigned int>(kind))});
        }
        m_value = kind;
        m_type = kind;
        assert_invariant();
    }

    /// A value from a native one, through json_serializer<T>::to_json:
    /// nullptr is null; bool is a boolean; signed char, short, int, long and
    /// long long are signed numbers; their unsigned forms are unsigned
    /// numbers; float and double are floating-point numbers; string_t,
    /// character arrays and character pointers are strings (a null pointer
    /// throws other_error 501); object_t and array_t are copied or moved in.
    /// Sequences and sets of values that convert (C arrays and initializer
    /// lists too), std::pair and std::tuple are arrays; maps with keys that
    /// convert to string_t are objects; from C++17, std::optional is its
    /// value or null, std::string_view a string.
    /// Characters, other pointers and other types do not convert, unless a
    /// to_json for them is found in their own namespace.
    /// Throws only what that conversion throws (allocation failure for text
    /// and containers); what it had stored by then is released.
    template<typename CompatibleType, typename U = detail::uncvref_t<CompatibleType>,
             detail::enable_if_t<not std::is_same<U, basic_json>::value, int> = 0,
             typename = decltype(json_serializer<U>::to_json(std::declval<basic_json&>(),
                                                            std::declval<CompatibleType>()))>
    basic_json(CompatibleType&& val) noexcept(
        noexcept(json_serializer<U>::to_json(std::declval<basic_json&>(), std::forward<CompatibleType>(val))))
        : basic_json() // complete from here on, so what a throwing to_json stored is released
    {
        json_serializer<U>::to_json(*this, std::forward<CompatibleType>(val));
        assert_invariant();
    }

    /// An object or an array from a brace list. With type_deduction, a list
    /// whose every entry is a two-entry array with a string first (an empty
    /// list too) is an object, the first entry with a key winning; any other
    /// list is an array of copies of its entries. Without type_deduction,
    /// manual_type value_t::array forces an array and value_t::object demands
    /// an object. Throws type_error 301 when an object is demanded of a list
    /// that is not one, and std::bad_alloc; nothing is left behind either way.
    basic_json(std::initializer_list<basic_json> init, bool type_deduction = true,
               value_t manual_type = value_t::array)
        : basic_json() // complete from here on, so a throw below releases what was built
    {
        bool is_an_object = std::all_of(init.begin(), init.end(), [](const basic_json& element) {
            return element.is_array() and element.size() == 2 and element[0].is_string();
        });

        if (not type_deduction)
        {
            if (manual_type == value_t::array)
            {
                is_an_object = false;
            }
            if (manual_type == value_t::object and not is_an_object)
            {
                detail::throw_error(detail::error::object_from_list);
            }
        }

        if (is_an_object)
        {
            m_value = value_t::object;
            m_type = value_t::object;
            for (const basic_json& element : init)
            {
                m_value.object->emplace(*element[0].m_value.string, element[1]);
            }
        }
        else
        {
            m_value.array = create<array_t>(init);
            m_type = value_t::array;
        }
        assert_invariant();
    }

    /// A deep copy: the copy and its source share nothing.
    /// Throws std::bad_alloc; nothing is left behind if it does.
    basic_json(const basic_json& other)
        : basic_json() // complete from here on, so a throw below releases what was built
    {
        other.assert_invariant();
        switch (other.m_type)
        {
            case value_t::object:
            case value_t::array:
                if (other.has_children())
                {
                    copy_tree(other);
                    break;
                }
                m_value = json_value(other.m_type);
                m_type = other.m_type;
                break;
            case value_t::string:
                m_value = json_value(*other.m_value.string);
                m_type = value_t::string;
                break;
            case value_t::null:
            case value_t::boolean:
            case value_t::number_integer:
            case value_t::number_unsigned:
            case value_t::number_float:
            case value_t::discarded:
                m_value = other.m_value;
                m_type = other.m_type;
                break;
        }
        assert_invariant();
    }

    /// Takes over other's content and leaves other null.
    basic_json(basic_json&& other) noexcept
        : m_type(other.m_type), m_value(other.m_value)
    {
        other.assert_invariant();
        other.m_type = value_t::null;
        other.m_value = {};
        assert_invariant();
    }

    /// Exchange-based assignment: any copy is made while the argument is
    /// built, so the target is untouched if it fails; the old content is
    /// released when the argument dies.
    basic_json& operator=(basic_json other) noexcept
    {
        other.assert_invariant();
        std::swap(m_type, other.m_type);
        std::swap(m_value, other.m_value);
        assert_invariant();
        return *this;
    }

    /// Releases the whole tree the value owns, at any depth.
    ~basic_json() noexcept
    {
        assert_invariant();
        switch (m_type)
        {
            case value_t::object:
            case value_t::array:
                release_tree();
                break;
            case value_t::string:
                destroy(m_value.string);
                break;
            case value_t::null:
            case value_t::boolean:
            case value_t::number_integer:
            case value_t::number_unsigned:
            case value_t::number_float:
            case value_t::discarded:
                break;
        }
    }

    /// An array of the entries of init, whatever they are: array({{"a", 1}})
    /// holds one pair. Throws std::bad_alloc.
    static basic_json array(std::initializer_list<basic_json> init = {})
    {
        return basic_json(init, false, value_t::array);
    }

    /// An object of the pairs in init, the first entry with a key winning.
    /// Throws type_error 301 when an entry is not a two-entry array with a
    /// string first, and std::bad_alloc.
    static basic_json object(std::initializer_list<basic_json> init = {})
    {
        return basic_json(init, false, value_t::object);
    }

    // -- kind -----------------------------------------------------------------

    /// The kind the value holds.
    value_t type() const noexcept
    {
        return m_type;
    }

    /// True for null.
    bool is_null() const noexcept
    {
        return m_type == value_t::null;
    }

    /// True for an object.
    bool is_object() const noexcept
    {
        return m_type == value_t::object;
    }

    /// True for an array.
    bool is_array() const noexcept
    {
        return m_type == value_t::array;
    }

    /// True for a string.
    bool is_string() const noexcept
    {
        return m_type == value_t::string;
    }

    /// True for a boolean.
    bool is_boolean() const noexcept
    {
        return m_type == value_t::boolean;
    }

    /// True for signed and unsigned integers alike.
    bool is_number_integer() const noexcept
    {
        return m_type == value_t::number_integer or m_type == value_t::number_unsigned;
    }

    /// True for all three number kinds.
    bool is_number() const noexcept
    {
        return is_number_integer() or is_number_float();
    }

    /// True for an unsigned number only.
    bool is_number_unsigned() const noexcept
    {
        return m_type == value_t::number_unsigned;
    }

    /// True for a floating-point number.
    bool is_number_float() const noexcept
    {
        return m_type == value_t::number_float;
    }

    /// True for the discarded kind, which only basic_json(value_t::discarded) makes.
    bool is_discarded() const noexcept
    {
        return m_type == value_t::discarded;
    }

    /// Null, a string, a boolean or a number.
    bool is_primitive() const noexcept
    {
        return is_null() or is_string() or is_boolean() or is_number();
    }

    /// An object or an array.
    bool is_structured() const noexcept
    {
        return is_object() or is_array();
    }

    /// 0 for null; the member or element count of an object or array;
    /// 1 for everything else, a string of any length included.
    std::size_t size() const noexcept
    {
        switch (m_type)
        {
            case value_t::null:
                return 0;
            case value_t::object:
                return m_value.object->size();
            case value_t::array:
                return m_value.array->size();
            case value_t::string:
            case value_t::boolean:
            case value_t::number_integer:
            case value_t::number_unsigned:
            case value_t::number_float:
            case value_t::discarded:
                break;
        }
        return 1;
    }

    /// The kind's name as error messages use it; all numbers are "number".
    std::string type_name() const
    {
        switch (m_type)
        {
            case value_t::null:
                return "null";
            case value_t::object:
                return "object";
            case value_t::array:
                return "array";
            case value_t::string:
                return "string";
            case value_t::boolean:
                return "boolean";
            case value_t::discarded:
                return "discarded";
            case value_t::number_integer:
            case value_t::number_unsigned:
            case value_t::number_float:
                break;
        }
        return "number";
    }

    // -- element access -------------------------------------------------------

    /// The value of the member with this key, compared byte for byte.
    /// Throws type_error 304 when the value is not an object and out_of_range
    /// 403 when it has no such member; nothing is ever inserted.
    basic_json& at(const string_t& key)
    {
        return const_cast<basic_json&>(static_cast<const basic_json&>(*this).at(key));
    }

    /// The same, on a const value.
    const basic_json& at(const string_t& key) const
    {
        if (not is_object())
        {
            throw_kind_error(detail::error::cannot_use_at);
        }
        const auto member = m_value.object->find(key);
        if (member == m_value.object->end())
        {
            detail::throw_error(detail::error::key_not_found, {key});
        }
        return member->second;
    }

    /// The element at this position of an array. Throws type_error 305 when
    /// the value is not an array (a null is not turned into one), and
    /// out_of_range 401 when index is not less than size(): nothing outside
    /// the array is ever read.
    const basic_json& operator[](std::size_t index) const
    {
        if (not is_array())
        {
            throw_kind_error(detail::error::cannot_use_subscript);
        }
        if (index >= m_value.array->size())
        {
            throw_index_error(index, m_value.array->size());
        }
        return (*m_value.array)[index];
    }

    // -- lookup ---------------------------------------------------------------
    // object_t orders keys with std::less<string_t>, which is not transparent,
    // so a lookup needs a string_t: one is taken by reference and never
    // copied; any other string-like key (a literal, a string_view) is turned
    // into one first.

  private:
#if defined(__cpp_lib_string_view)
    template<typename KeyType>
    using is_string_view_like = std::is_convertible<KeyType, std::string_view>;
#else
    template<typename KeyType>
    using is_string_view_like = std::false_type;
#endif

    /// Key types other than string_t that make a string_t: character
    /// pointers and arrays, and from C++17 what converts to a string view.
    /// Nothing else, so that a class that merely converts to string_t (an
    /// address of a value, say) keeps the overloads made for it.
    template<typename KeyType>
    using enable_if_key_like =
        detail::enable_if_t<(std::is_convertible<KeyType, const char*>::value or
                             is_string_view_like<KeyType>::value) and
                                not std::is_same<detail::uncvref_t<KeyType>, string_t>::value and
                                not std::is_same<detail::uncvref_t<KeyType>, basic_json>::value,
                            int>;

  public:
    /// The member with this key, or end() when there is none or the value is
    /// not an object. Never throws.
    iterator find(const string_t& key) noexcept
    {
        return is_object() ? iterator(this, m_value.object->find(key)) : end();
    }

    /// The same, on a const value.
    const_iterator find(const string_t& key) const noexcept
    {
        return is_object() ? const_iterator(this, m_value.object->find(key)) : end();
    }

    /// The same, for any string-like key. Throws other_error 501 for a null
    /// character pointer, and std::bad_alloc when making the string_t fails.
    template<typename KeyType, enable_if_key_like<KeyType> = 0>
    iterator find(KeyType&& key)
    {
        return find(key_text(key));
    }

    /// The same, on a const value.
    template<typename KeyType, enable_if_key_like<KeyType> = 0>
    const_iterator find(KeyType&& key) const
    {
        return find(key_text(key));
    }

    /// True when the value is an object with a member of this key. Throws
    /// only what making a string_t of a string-like key throws.
    template<typename KeyType,
             detail::enable_if_t<not std::is_same<detail::uncvref_t<KeyType>, basic_json_pointer<string_t>>::value,
                                 int> = 0>
    bool contains(KeyType&& key) const
    {
        return find(std::forward<KeyType>(key)) != end();
    }

    /// 1 when the value is an object with a member of this key, 0 otherwise.
    /// Throws only what making a string_t of a string-like key throws.
    template<typename KeyType>
    size_type count(KeyType&& key) const
    {
        return contains(std::forward<KeyType>(key)) ? 1 : 0;
    }

    // -- access as a container: by index, by string-like key, at either end --
    // A string-like key (see enable_if_key_like) is made into a string_t
    // once; a null character pointer throws other_error 501.

    /// The element at this position of an array. Throws type_error 304 when
    /// the value is not an array and out_of_range 401, naming the index and
    /// the size, when index is not less than size(); nothing is inserted.
    basic_json& at(size_type index)
    {
        return const_cast<basic_json&>(static_cast<const basic_json&>(*this).at(index));
    }

    /// The same, on a const value.
    const basic_json& at(size_type index) const
    {
        if (not is_array())
        {
            throw_kind_error(detail::error::cannot_use_at);
        }
        if (index >= m_value.array->size())
        {
            throw_index_error(index, m_value.array->size());
        }
        return (*m_value.array)[index];
    }

    /// at(key) for a string-like key. Throws what at(string_t) throws.
    template<typename KeyType, enable_if_key_like<KeyType> = 0>
    basic_json& at(KeyType&& key)
    {
        return at(key_text(key));
    }

    /// The same, on a const value.
    template<typename KeyType, enable_if_key_like<KeyType> = 0>
    const basic_json& at(KeyType&& key) const
    {
        return at(key_text(key));
    }

    /// value[key] for a string-like key. Throws what operator[](string_t) throws.
    template<typename KeyType, enable_if_key_like<KeyType> = 0>
    basic_json& operator[](KeyType&& key)
    {
        return (*this)[key_text(key)];
    }

    /// The same, on a const value: nothing is inserted.
    template<typename KeyType, enable_if_key_like<KeyType> = 0>
    const basic_json& operator[](KeyType&& key) const
    {
        return (*this)[key_text(key)];
    }

    /// erase(key) for a string-like key. Throws what erase(string_t) throws.
    template<typename KeyType, enable_if_key_like<KeyType> = 0>
    size_type erase(KeyType&& key)
    {
        return erase(key_text(key));
    }

    /// The first element of an array, the value of the first member of an
    /// object in key order, or a string, boolean or number itself, as begin()
    /// walks them. Throws out_of_range 412 for null and an empty container.
    basic_json& front()
    {
        return const_cast<basic_json&>(static_cast<const basic_json&>(*this).front());
    }

    /// The same, on a const value.
    const basic_json& front() const
    {
        return end_element("front()", true);
    }

    /// The last element of an array, the value of the last member of an
    /// object in key order, or a string, boolean or number itself. Throws
    /// out_of_range 412 for null and an empty container.
    basic_json& back()
    {
        return const_cast<basic_json&>(static_cast<const basic_json&>(*this).back());
    }

    /// The same, on a const value.
    const basic_json& back() const
    {
        return end_element("back()", false);
    }

    /// Adds the member key with the value basic_json(args...) to an object
    /// unless the key is there, in which case args are left untouched; a
    /// null value becomes an object first. Returns the member with that key
    /// and whether it was added. The key is a string_t or string-like.
    /// Throws type_error 320 on any other kind, other_error 501 for a null
    /// character pointer, and what building the value throws; the value is
    /// then as it was.
    template<typename KeyType, typename... Args,
             detail::enable_if_t<std::is_same<detail::uncvref_t<KeyType>, string_t>::value, int> = 0>
    std::pair<iterator, bool> emplace(KeyType&& key, Args&&... args)
    {
        if (is_null())
        {
            basic_json object(value_t::object);
            const auto added = object.emplace(std::forward<KeyType>(key), std::forward<Args>(args)...);
            swap(object);
            return {iterator(this, added.first.m_member), true};
        }
        if (not is_object())
        {
            throw_kind_error(detail::error::cannot_use_emplace);
        }
        object_t& members = *m_value.object;
        const auto place = members.lower_bound(key);
        if (place != members.end() and not members.key_comp()(key, place->first))
        {
            return {iterator(this, place), false};
        }
        const auto added = members.emplace_hint(place, std::piecewise_construct,
                                                std::forward_as_tuple(std::forward<KeyType>(key)),
                                                std::forward_as_tuple(std::forward<Args>(args)...));
        return {iterator(this, added), true};
    }

    /// The same for a string-like key.
    template<typename KeyType, typename... Args, enable_if_key_like<KeyType> = 0>
    std::pair<iterator, bool> emplace(KeyType&& key, Args&&... args)
    {
        if (not is_null() and not is_object())
        {
            throw_kind_error(detail::error::cannot_use_emplace); // before the key is copied
        }
        return emplace(key_text(key), std::forward<Args>(args)...);
    }

    // -- change ---------------------------------------------------------------
    // Every change completes or leaves the value as it was: whatever may fail
    // (a copy, an allocation) happens before the value is touched, or is
    // undone. A null becomes the container a change needs.

    /// The value of the member with this key, inserted as null when missing;
    /// a null value becomes an object first. Throws type_error 305 on any
    /// other kind, and std::bad_alloc.
    basic_json& operator[](const string_t& key)
    {
        if (is_null())
        {
            basic_json object(value_t::object);
            basic_json& member = object[key];
            swap(object);
            return member;
        }
        if (not is_object())
        {
            throw_kind_error(detail::error::cannot_use_subscript);
        }
        return (*m_value.object)[key];
    }

    /// The value of the member with this key; nothing is ever inserted.
    /// Throws type_error 305 when the value is not an object and out_of_range
    /// 403 when it has no such member.
    const basic_json& operator[](const string_t& key) const
    {
        if (not is_object())
        {
            throw_kind_error(detail::error::cannot_use_subscript);
        }
        return at(key);
    }

    /// The element at this position of an array, to read or replace. An
    /// index past the end first grows the array with nulls up to it, and a
    /// null value becomes an array first. Throws type_error 305 on any other
    /// kind, out_of_range 401 for an index no array can reach, and
    /// std::bad_alloc; the value is then as it was.
    basic_json& operator[](size_type index)
    {
        if (is_null())
        {
            basic_json array(value_t::array);
            basic_json& element = array[index];
            swap(array);
            return element;
        }
        if (not is_array())
        {
            throw_kind_error(detail::error::cannot_use_subscript);
        }
        array_t& elements = *m_value.array;
        if (index >= elements.size())
        {
            if (index >= elements.max_size())
            {
                throw_index_error(index, elements.size());
            }
            elements.resize(index + 1); // strong: moving a value cannot throw
        }
        return elements[index];
    }

    /// Appends val to an array; a null value becomes an array first. Throws
    /// type_error 308 on any other kind, and std::bad_alloc.
    void push_back(basic_json&& val)
    {
        if (not is_null() and not is_array())
        {
            throw_kind_error(detail::error::cannot_use_push_back);
        }
        emplace_back(std::move(val));
    }

    /// Appends a copy of val, which may be part of this value. Throws what
    /// the other push_back throws.
    void push_back(const basic_json& val)
    {
        push_back(basic_json(val));
    }

    /// Adds a member to an object unless its key is there; a null value
    /// becomes an object first. Throws type_error 308 on any other kind, and
    /// std::bad_alloc.
    void push_back(const typename object_t::value_type& member)
    {
        if (not is_null() and not is_object())
        {
            throw_kind_error(detail::error::cannot_use_push_back);
        }
        insert(member);
    }

    /// On an object (or null), a list of a string and a value adds that
    /// member; anything else appends basic_json(init). Throws what the other
    /// push_back forms throw.
    void push_back(std::initializer_list<basic_json> init)
    {
        if ((is_object() or is_null()) and init.size() == 2 and init.begin()->is_string())
        {
            push_back(typename object_t::value_type(*init.begin()->m_value.string, *(init.begin() + 1)));
            return;
        }
        if (not is_null() and not is_array())
        {
            throw_kind_error(detail::error::cannot_use_push_back);
        }
        push_back(basic_json(init));
    }

    /// Appends basic_json(args...) to an array and returns it; a null value
    /// becomes an array first. Throws type_error 311 on any other kind, and
    /// what building the element throws.
    template<typename... Args>
    basic_json& emplace_back(Args&&... args)
    {
        if (is_null())
        {
            basic_json array(value_t::array);
            basic_json& element = array.emplace_back(std::forward<Args>(args)...);
            swap(array);
            return element;
        }
        if (not is_array())
        {
            throw_kind_error(detail::error::cannot_use_emplace_back);
        }
        m_value.array->emplace_back(std::forward<Args>(args)...);
        return m_value.array->back();
    }

    /// Inserts a copy of val into an array before pos; returns an iterator to
    /// it. Throws type_error 309 when the value is not an array,
    /// invalid_iterator 202 for an iterator of another value, 205 for one
    /// past the end, and std::bad_alloc.
    iterator insert(const_iterator pos, const basic_json& val)
    {
        return insert_elements(pos, array_t(1, val));
    }

    /// The same, moving val in.
    iterator insert(const_iterator pos, basic_json&& val)
    {
        array_t elements;
        elements.push_back(std::move(val));
        return insert_elements(pos, std::move(elements));
    }

    /// Inserts count copies of val before pos; returns an iterator to the
    /// first, or pos when count is 0. Throws what inserting one value throws.
    iterator insert(const_iterator pos, size_type count, const basic_json& val)
    {
        return insert_elements(pos, array_t(count, val));
    }

    /// Inserts copies of the elements (or member values) of [first, last),
    /// which may come from this very array, before pos. Throws what inserting
    /// one value throws, invalid_iterator 210 when first and last belong to
    /// different values, and what stepping from first to last throws.
    iterator insert(const_iterator pos, const_iterator first, const_iterator last)
    {
        if (not is_array())
        {
            throw_kind_error(detail::error::cannot_use_insert);
        }
        if (first.m_container != last.m_container)
        {
            detail::throw_error(detail::error::range_of_different_values);
        }
        array_t elements;
        for (; first != last; ++first)
        {
            elements.push_back(*first);
        }
        return insert_elements(pos, std::move(elements));
    }

    /// Inserts copies of the list's values before pos. Throws what inserting
    /// one value throws.
    iterator insert(const_iterator pos, std::initializer_list<basic_json> init)
    {
        return insert_elements(pos, array_t(init));
    }

    /// Adds a member to an object unless its key is there; a null value
    /// becomes an object first. Returns the member with that key and whether
    /// it was added. Throws type_error 309 on any other kind, and std::bad_alloc.
    std::pair<iterator, bool> insert(const typename object_t::value_type& member)
    {
        if (is_null())
        {
            basic_json object(value_t::object);
            const auto added = object.m_value.object->insert(member);
            swap(object);
            return {iterator(this, added.first), true};
        }
        if (not is_object())
        {
            throw_kind_error(detail::error::cannot_use_insert);
        }
        const auto added = m_value.object->insert(member);
        return {iterator(this, added.first), added.second};
    }

    /// Adds copies of the members of the object other whose keys this object
    /// lacks, keeping the members it has; a null value becomes an object
    /// first. Throws type_error 309 when either value is not an object (the
    /// message names the kind of the one that is not), and std::bad_alloc.
    void insert(const basic_json& other)
    {
        merge(other, false, detail::error::cannot_use_insert);
    }

    /// The same with the members of [first, last), iterators of an object.
    /// Throws type_error 309 when this value is not an object or null,
    /// invalid_iterator 210 when first and last belong to different values,
    /// 211 when they do not belong to an object, and std::bad_alloc.
    void insert(const_iterator first, const_iterator last)
    {
        if (not is_null() and not is_object())
        {
            throw_kind_error(detail::error::cannot_use_insert);
        }
        if (first.m_container != last.m_container)
        {
            detail::throw_error(detail::error::range_of_different_values);
        }
        if (first.m_container == nullptr or not first.m_container->is_object())
        {
            detail::throw_error(detail::error::range_not_of_an_object);
        }
        merge_range(first, last, false);
    }

    /// Copies every member of the object other in, replacing the value of a
    /// member with the same key; a null value becomes an object first.
    /// Throws type_error 312 when either value is not an object (the message
    /// names the kind of the one that is not), and std::bad_alloc.
    void update(const basic_json& other)
    {
        merge(other, true, detail::error::cannot_use_update);
    }

    /// Removes the member with this key; returns how many were removed, 0 or
    /// 1. Throws type_error 307 when the value is not an object.
    size_type erase(const string_t& key)
    {
        if (not is_object())
        {
            throw_kind_error(detail::error::cannot_use_erase);
        }
        return m_value.object->erase(key);
    }

    /// Removes the element at this position of an array. Throws type_error
    /// 307 when the value is not an array and out_of_range 401 when index is
    /// not less than size().
    void erase(size_type index)
    {
        if (not is_array())
        {
            throw_kind_error(detail::error::cannot_use_erase);
        }
        if (index >= m_value.array->size())
        {
            throw_index_error(index, m_value.array->size());
        }
        m_value.array->erase(m_value.array->begin() + static_cast<difference_type>(index));
    }

    /// Removes the element or member at pos; on a string, boolean or number,
    /// whose one element is the value itself, makes it null. Returns an
    /// iterator to what followed. Throws type_error 307 on null,
    /// invalid_iterator 202 for an iterator of another value and 205 for one
    /// that points to no element.
    iterator erase(const_iterator pos)
    {
        if (is_null() or is_discarded())
        {
            throw_kind_error(detail::error::cannot_use_erase);
        }
        if (pos.m_container != this)
        {
            detail::throw_error(detail::error::iterator_of_another_value);
        }
        if (is_object())
        {
            if (pos.m_member == m_value.object->cend())
            {
                detail::throw_error(detail::error::iterator_out_of_range);
            }
            return iterator(this, m_value.object->erase(pos.m_member));
        }
        if (pos.m_index < 0 or static_cast<size_type>(pos.m_index) >= size())
        {
            detail::throw_error(detail::error::iterator_out_of_range);
        }
        if (is_array())
        {
            m_value.array->erase(m_value.array->begin() + pos.m_index);
            return iterator(this, pos.m_index);
        }
        *this = basic_json();
        return end();
    }

    /// Removes the elements or members of [first, last); on a string,
    /// boolean or number, a range of its one element makes it null. Returns
    /// an iterator to what followed. Throws type_error 307 on null,
    /// invalid_iterator 203 for iterators of another value and 204 when they
    /// do not delimit a range, last before first included.
    iterator erase(const_iterator first, const_iterator last)
    {
        if (is_null() or is_discarded())
        {
            throw_kind_error(detail::error::cannot_use_erase);
        }
        if (first.m_container != this or last.m_container != this)
        {
            detail::throw_error(detail::error::iterators_of_another_value);
        }
        if (is_object())
        {
            // Walking there is what erasing costs anyway, and it finds a reversed range.
            for (auto member = first.m_member; member != last.m_member; ++member)
            {
                if (member == m_value.object->cend())
                {
                    detail::throw_error(detail::error::iterators_not_a_range);
                }
            }
            return iterator(this, m_value.object->erase(first.m_member, last.m_member));
        }
        if (first.m_index < 0 or first.m_index > last.m_index or static_cast<size_type>(last.m_index) > size())
        {
            detail::throw_error(detail::error::iterators_not_a_range);
        }
        if (is_array())
        {
            m_value.array->erase(m_value.array->begin() + first.m_index, m_value.array->begin() + last.m_index);
            return iterator(this, first.m_index);
        }
        if (first.m_index != last.m_index)
        {
            *this = basic_json();
        }
        return iterator(this, first.m_index);
    }

    /// Makes the value the empty one of its kind: {}, [], "", false, 0, 0u,
    /// 0.0; null and discarded stay as they are. Never throws.
    void clear() noexcept
    {
        switch (m_type)
        {
            case value_t::object:
                m_value.object->clear();
                break;
            case value_t::array:
                m_value.array->clear();
                break;
            case value_t::string:
                m_value.string->clear();
                break;
            case value_t::boolean:
                m_value.boolean = false;
                break;
            case value_t::number_integer:
                m_value.number_integer = 0;
                break;
            case value_t::number_unsigned:
                m_value.number_unsigned = 0;
                break;
            case value_t::number_float:
                m_value.number_float = 0.0;
                break;
            case value_t::null:
            case value_t::discarded:
                break;
        }
    }

    /// Exchanges the contents of two values. Never throws.
    void swap(basic_json& other) noexcept
    {
        std::swap(m_type, other.m_type);
        std::swap(m_value, other.m_value);
        assert_invariant();
        other.assert_invariant();
    }

    /// The same, found by argument-dependent lookup.
    friend void swap(basic_json& left, basic_json& right) noexcept
    {
        left.swap(right);
    }

    /// Exchanges the elements of an array with other's. Throws type_error 310
    /// when the value is not an array.
    void swap(array_t& other)
    {
        if (not is_array())
        {
            throw_kind_error(detail::error::cannot_use_swap);
        }
        std::swap(*m_value.array, other);
    }

    /// Exchanges the members of an object with other's. Throws type_error
    /// 310 when the value is not an object.
    void swap(object_t& other)
    {
        if (not is_object())
        {
            throw_kind_error(detail::error::cannot_use_swap);
        }
        std::swap(*m_value.object, other);
    }

    /// Exchanges the text of a string with other. Throws type_error 310 when
    /// the value is not a string.
    void swap(string_t& other)
    {
        if (not is_string())
        {
            throw_kind_error(detail::error::cannot_use_swap);
        }
        std::swap(*m_value.string, other);
    }

  private:
    /// The error of an operation the value's kind does not offer, which
    /// names the kind: one of the "cannot use <operation> with <type name>".
    [[noreturn]] void throw_kind_error(const detail::error what) const
    {
        detail::throw_error(what, {type_name()});
    }

    /// front() (first) or back(): the element at that end of what begin()
    /// walks. Throws out_of_range 412, naming the operation, when there is none.
    const basic_json& end_element(const char* operation, const bool first) const
    {
        if (empty())
        {
            detail::throw_error(detail::error::empty_has_no_element, {operation, type_name()});
        }
        switch (m_type)
        {
            case value_t::object:
                return first ? m_value.object->begin()->second : m_value.object->rbegin()->second;
            case value_t::array:
                return first ? m_value.array->front() : m_value.array->back();
            default:
                return *this;
        }
    }

    [[noreturn]] static void throw_index_error(size_type index, size_type size)
    {
        detail::throw_error(detail::error::index_out_of_range, {std::to_string(index), std::to_string(size)});
    }

    /// Inserts elements before pos, as one step that cannot fail half way:
    /// the room is reserved first, and moving values in never throws.
    iterator insert_elements(const_iterator pos, array_t&& elements)
    {
        if (not is_array())
        {
            throw_kind_error(detail::error::cannot_use_insert);
        }
        if (pos.m_container != this)
        {
            detail::throw_error(detail::error::iterator_of_another_value);
        }
        array_t& array = *m_value.array;
        if (pos.m_index < 0 or static_cast<size_type>(pos.m_index) > array.size())
        {
            detail::throw_error(detail::error::iterator_out_of_range);
        }
        static_assert(std::is_nothrow_move_constructible<basic_json>::value and
                          std::is_nothrow_move_assignable<basic_json>::value,
                      "moving elements within the reserved room must not throw");
        array.reserve(array.size() + elements.size());
        array.insert(array.begin() + pos.m_index, std::make_move_iterator(elements.begin()),
                     std::make_move_iterator(elements.end()));
        return iterator(this, pos.m_index);
    }

    /// insert(other) and update(other): the members of other merged in.
    void merge(const basic_json& other, const bool replace, const detail::error kind_error)
    {
        if (not is_null() and not is_object())
        {
            throw_kind_error(kind_error);
        }
        if (not other.is_object())
        {
            other.throw_kind_error(kind_error);
        }
        merge_range(other.cbegin(), other.cend(), replace);
    }

    /// Copies the members of [first, last) in: those with new keys, and
    /// with replace those with existing keys too. First every value is
    /// copied, then the new members are added holding null (and removed
    /// again if that fails), and last the copies are moved in, which cannot fail.
    void merge_range(const_iterator first, const_iterator last, const bool replace)
    {
        if (is_null())
        {
            basic_json object(value_t::object);
            object.merge_range(first, last, replace);
            swap(object);
            return;
        }
        object_t& object = *m_value.object;

        detail::vector_for<basic_json, std::pair<const string_t*, basic_json>> incoming;
        for (; first != last; ++first)
        {
            if (replace or object.find(first.key()) == object.end())
            {
                incoming.emplace_back(&first.key(), *first);
            }
        }

        // Erases the members added so far unless committed.
        struct undo_additions
        {
            object_t& object;
            detail::vector_for<basic_json, typename object_t::iterator> added;
            bool committed;

            ~undo_additions()
            {
                if (not committed)
                {
                    for (const auto& member : added)
                    {
                        object.erase(member);
                    }
                }
            }
        } undo{object, {}, false};
        detail::vector_for<basic_json, typename object_t::iterator> targets;
        undo.added.reserve(incoming.size());
        targets.reserve(incoming.size());
        for (const auto& member : incoming)
        {
            const auto target = object.emplace(*member.first, basic_json());
            targets.push_back(target.first);
            if (target.second)
            {
                undo.added.push_back(target.first);
            }
        }
        undo.committed = true;

        for (std::size_t i = 0; i < incoming.size(); ++i)
        {
            targets[i]->second = std::move(incoming[i].second);
        }
    }

  public:
    // -- traversal ------------------------------------------------------------
    // An array is walked over its elements, an object over its members in key
    // order (an iterator's key() and value(), and * gives the value). Null is
    // an empty range; a string, boolean or number a range of one element, the
    // value itself.

    /// The first element or member. Never throws.
    iterator begin() noexcept
    {
        return is_object() ? iterator(this, m_value.object->begin()) : iterator(this, difference_type(0));
    }

    /// The same, on a const value.
    const_iterator begin() const noexcept
    {
        return cbegin();
    }

    /// The same, always const.
    const_iterator cbegin() const noexcept
    {
        return is_object() ? const_iterator(this, m_value.object->cbegin()) : const_iterator(this, difference_type(0));
    }

    /// Past the last element or member. Never throws.
    iterator end() noexcept
    {
        return is_object() ? iterator(this, m_value.object->end())
                           : iterator(this, static_cast<difference_type>(size()));
    }

    /// The same, on a const value.
    const_iterator end() const noexcept
    {
        return cend();
    }

    /// The same, always const.
    const_iterator cend() const noexcept
    {
        return is_object() ? const_iterator(this, m_value.object->cend())
                           : const_iterator(this, static_cast<difference_type>(size()));
    }

    /// The last element or member, walking backwards. Never throws.
    reverse_iterator rbegin() noexcept
    {
        return reverse_iterator(end());
    }

    /// The same, on a const value.
    const_reverse_iterator rbegin() const noexcept
    {
        return crbegin();
    }

    /// The same, always const.
    const_reverse_iterator crbegin() const noexcept
    {
        return const_reverse_iterator(cend());
    }

    /// Before the first element or member, walking backwards. Never throws.
    reverse_iterator rend() noexcept
    {
        return reverse_iterator(begin());
    }

    /// The same, on a const value.
    const_reverse_iterator rend() const noexcept
    {
        return crend();
    }

    /// The same, always const.
    const_reverse_iterator crend() const noexcept
    {
        return const_reverse_iterator(cbegin());
    }

    /// For range-for over key/value entries, each with key() and value(),
    /// also as `auto& [key, value]` in C++17: the key is the member's key, an
    /// array element's index as text, or empty for any other value.
    /// Never throws.
    detail::item_range<iterator> items() noexcept
    {
        return detail::item_range<iterator>(begin(), end());
    }

    /// The same, on a const value.
    detail::item_range<const_iterator> items() const noexcept
    {
        return detail::item_range<const_iterator>(cbegin(), cend());
    }

    /// True when size() is 0: null, an empty object or array. Never throws.
    bool empty() const noexcept
    {
        return size() == 0;
    }

    /// The most elements or members the value's container can hold; size()
    /// for any other kind. Never throws.
    size_type max_size() const noexcept
    {
        switch (m_type)
        {
            case value_t::object:
                return m_value.object->max_size();
            case value_t::array:
                return m_value.array->max_size();
            case value_t::null:
            case value_t::string:
            case value_t::boolean:
            case value_t::number_integer:
            case value_t::number_unsigned:
            case value_t::number_float:
            case value_t::discarded:
                break;
        }
        return size();
    }

    // -- by path --------------------------------------------------------------
    // A json_pointer names a value inside this one by the keys and indexes on
    // the way to it (RFC 6901); an array index is "0" or digits without a
    // leading zero, and "-" names the place after the last element. Patches
    // (RFC 6902), merge patches (RFC 7396) and flattened values are built on
    // it. Nothing here recurses on the depth of a value or a pointer.

    /// A path to a value inside a value.
    using json_pointer = basic_json_pointer<string_t>;

  private:
    /// The walks that access by pointer, patches, diff, merge patches and
    /// flattening share (patch.hpp).
    class path_walk;

  public:
    /// The value the pointer names; nothing is ever inserted. Throws
    /// out_of_range 404 for a missing member, 402 for an index past the end
    /// (and for "-"), type_error 313 for a token that meets a string,
    /// boolean, number or null, 314 for a token that is not an array index
    /// used on an array; each names the pointer up to the failing token.
    basic_json& at(const json_pointer& ptr)
    {
        return const_cast<basic_json&>(path_walk::at(*this, ptr));
    }

    /// The same, on a const value.
    const basic_json& at(const json_pointer& ptr) const
    {
        return path_walk::at(*this, ptr);
    }

    /// The value the pointer names, created with what leads to it when
    /// missing: a null becomes an object for a key and an array for an
    /// index, an array grows with nulls up to an index, and "-" appends.
    /// Throws type_error 313 for a token that meets a string, boolean or
    /// number, 314 for one that is not an array index used on an array,
    /// out_of_range 402 for an index no array can reach, and std::bad_alloc;
    /// the value is then as it was.
    basic_json& operator[](const json_pointer& ptr)
    {
        return path_walk::make(*this, ptr);
    }

    /// The value the pointer names, as at(ptr). Throws what at(ptr) throws.
    const basic_json& operator[](const json_pointer& ptr) const
    {
        return path_walk::at(*this, ptr);
    }

    /// True when the pointer names a value. Never throws.
    bool contains(const json_pointer& ptr) const noexcept
    {
        return path_walk::find(*this, ptr) != nullptr;
    }

    /// The value the pointer names read as the default's type, or the
    /// default when it names none. Throws what get throws for a value of
    /// another kind.
    template<typename ValueType, detail::enable_if_t<detail::is_readable<basic_json, ValueType>::value, int> = 0>
    ValueType value(const json_pointer& ptr, const ValueType& default_value) const
    {
        const basic_json* found = path_walk::find(*this, ptr);
        return found == nullptr ? default_value : found->template get<ValueType>();
    }

    /// The same with a text default: the value read as a string_t. Throws
    /// what get throws for a value that is not a string.
    string_t value(const json_pointer& ptr, const char* default_value) const
    {
        const basic_json* found = path_walk::find(*this, ptr);
        return found == nullptr ? detail::string_from_pointer<string_t>(default_value)
                                : found->template get<string_t>();
    }

    /// Removes the member or element the pointer names. Throws what at(ptr)
    /// throws when it names none, and other_error 503 for the empty pointer.
    void erase(const json_pointer& ptr)
    {
        path_walk::erase(*this, ptr);
    }

    /// The value with the JSON Patch `operations` applied, an array of
    /// operations done in order on a copy. Throws type_error 315 when
    /// `operations` is not an array; other_error 504 for an operation that
    /// is not an object or lacks a member it needs ("op", "path", "from" as
    /// strings holding pointers, "value"), 505 for an unknown op, 506 for a
    /// failed test (or a test of a path that names nothing), 507 for a move
    /// into the moved value's own child; out_of_range 405 for a path or
    /// from that names no value where the op needs one; std::bad_alloc.
    /// Each error names the index of the operation.
    basic_json patch(const basic_json& operations) const
    {
        basic_json result(*this);
        path_walk::apply(result, operations);
        return result;
    }

    /// Applies the JSON Patch to this value, all or nothing: the value is
    /// left as it was when any operation fails. Throws what patch throws.
    void patch_inplace(const basic_json& operations)
    {
        basic_json result = patch(operations);
        swap(result);
    }

    /// A JSON Patch that turns source into target: source.patch(diff(source,
    /// target)) == target. Objects are compared member by member and arrays
    /// element by element, with additions and removals at the end; written
    /// as text, it is never longer than a replace of the whole value.
    /// Throws std::bad_alloc.
    static basic_json diff(const basic_json& source, const basic_json& target)
    {
        return path_walk::diff(source, target);
    }

    /// Applies the merge patch (RFC 7396): an object patch sets its members
    /// in this value, made an object first when it is not, and removes those
    /// it sets to null, member by member down; any other patch replaces the
    /// value. Throws std::bad_alloc, leaving the value as it was.
    void merge_patch(const basic_json& patch)
    {
        basic_json result(*this);
        path_walk::merge(result, patch);
        swap(result);
    }

    /// An object whose keys are the pointer texts of every string, boolean,
    /// number, null, empty array and empty object in the value, each with
    /// that value. Throws std::bad_alloc.
    basic_json flatten() const
    {
        return path_walk::flatten(*this);
    }

    /// The value a flattened object stands for, each member's value put at
    /// the pointer its key spells, as operator[](ptr) would. Throws
    /// type_error 315 when the value is not an object, parse_error 106 and
    /// 107 for a key that is not a pointer, type_error 313 and 314 for keys
    /// that cannot both hold, and std::bad_alloc.
    basic_json unflatten() const
    {
        return path_walk::unflatten(*this);
    }

    // -- comparison -----------------------------------------------------------
    // Values of different kinds order by kind: null < boolean < number <
    // string < array < object < discarded. Numbers compare by mathematical
    // value across the three number kinds, exactly; strings byte by byte as
    // unsigned; arrays element by element and objects member by member (key,
    // then value) in key order, a prefix first. NaN is unordered, as in
    // double: unequal to everything, itself included, and neither less nor
    // greater, and so is a container that holds one where the walk reaches
    // it. A native value on either side is converted to a value first.
    // Nested values are walked with a stack of their own, not by recursion;
    // std::bad_alloc is the one error, when that stack cannot grow.

    /// True when the values are equal.
    friend bool operator==(const basic_json& left, const basic_json& right)
    {
        return compare(left, right) == ordering::equal;
    }

    /// True when the values are not equal.
    friend bool operator!=(const basic_json& left, const basic_json& right)
    {
        return not(left == right);
    }

    /// True when left orders before right.
    friend bool operator<(const basic_json& left, const basic_json& right)
    {
        return compare(left, right) == ordering::less;
    }

    /// True when left orders before or equals right.
    friend bool operator<=(const basic_json& left, const basic_json& right)
    {
        const ordering result = compare(left, right);
        return result == ordering::less or result == ordering::equal;
    }

    /// True when left orders after right.
    friend bool operator>(const basic_json& left, const basic_json& right)
    {
        return compare(left, right) == ordering::greater;
    }

    /// True when left orders after or equals right.
    friend bool operator>=(const basic_json& left, const basic_json& right)
    {
        const ordering result = compare(left, right);
        return result == ordering::greater or result == ordering::equal;
    }

#if defined(__cpp_impl_three_way_comparison) && defined(__cpp_lib_three_way_comparison)
    /// The order of the two values, as the operators above give it; NaN, and
    /// a container compared as far as one, is unordered.
    friend std::partial_ordering operator<=>(const basic_json& left, const basic_json& right)
    {
        switch (compare(left, right))
        {
            case ordering::less:
                return std::partial_ordering::less;
            case ordering::equal:
                return std::partial_ordering::equivalent;
            case ordering::greater:
                return std::partial_ordering::greater;
            case ordering::unordered:
                break;
        }
        return std::partial_ordering::unordered;
    }
#endif

  private:
    enum class ordering
    {
        less,
        equal,
        greater,
        unordered
    };

    /// Where a kind stands in the order between kinds; numbers share one place.
    static int kind_rank(value_t kind) noexcept
    {
        switch (kind)
        {
            case value_t::null:
                return 0;
            case value_t::boolean:
                return 1;
            case value_t::number_integer:
            case value_t::number_unsigned:
            case value_t::number_float:
                return 2;
            case value_t::string:
                return 3;
            case value_t::array:
                return 4;
            case value_t::object:
                return 5;
            case value_t::discarded:
                break;
        }
        return 6;
    }

    template<typename T>
    static ordering order_of(const T& left, const T& right) noexcept
    {
        if (left < right)
        {
            return ordering::less;
        }
        if (right < left)
        {
            return ordering::greater;
        }
        return left == right ? ordering::equal : ordering::unordered;
    }

    static ordering reversed(ordering result) noexcept
    {
        return result == ordering::less ? ordering::greater : result == ordering::greater ? ordering::less : result;
    }

    /// A signed integer against a floating-point number, exactly: the
    /// number's whole part is compared as an integer, then its fraction.
    static ordering order_of(number_integer_t left, number_float_t right) noexcept
    {
        // -2^63 and 2^63 are powers of two, so exact as floating-point numbers.
        const auto lowest = static_cast<number_float_t>(std::numeric_limits<number_integer_t>::min());
        if (std::isnan(right))
        {
            return ordering::unordered;
        }
        if (right < lowest)
        {
            return ordering::greater;
        }
        if (right >= -lowest)
        {
            return ordering::less;
        }
        const number_float_t whole = std::trunc(right);
        const ordering result = order_of(left, static_cast<number_integer_t>(whole));
        return result != ordering::equal ? result : order_of(whole, right);
    }

    /// The same for an unsigned integer.
    static ordering order_of(number_unsigned_t left, number_float_t right) noexcept
    {
        const number_float_t beyond =
            static_cast<number_float_t>(std::numeric_limits<number_unsigned_t>::max() / 2 + 1) * 2;
        if (std::isnan(right))
        {
            return ordering::unordered;
        }
        if (right < 0)
        {
            return ordering::greater;
        }
        if (right >= beyond)
        {
            return ordering::less;
        }
        const number_float_t whole = std::trunc(right);
        const ordering result = order_of(left, static_cast<number_unsigned_t>(whole));
        return result != ordering::equal ? result : order_of(whole, right);
    }

    static ordering order_of(number_integer_t left, number_unsigned_t right) noexcept
    {
        return left < 0 ? ordering::less : order_of(static_cast<number_unsigned_t>(left), right);
    }

    /// Two numbers of any kinds.
    static ordering compare_numbers(const basic_json& left, const basic_json& right) noexcept
    {
        const json_value& l = left.m_value;
        const json_value& r = right.m_value;
        switch (left.m_type)
        {
            case value_t::number_integer:
                return right.m_type == value_t::number_integer    ? order_of(l.number_integer, r.number_integer)
                       : right.m_type == value_t::number_unsigned ? order_of(l.number_integer, r.number_unsigned)
                                                                  : order_of(l.number_integer, r.number_float);
            case value_t::number_unsigned:
                if (right.m_type == value_t::number_integer)
                {
                    return reversed(order_of(r.number_integer, l.number_unsigned));
                }
                return right.m_type == value_t::number_unsigned ? order_of(l.number_unsigned, r.number_unsigned)
                                                                : order_of(l.number_unsigned, r.number_float);
            default:
                break;
        }
        return right.m_type == value_t::number_float      ? order_of(l.number_float, r.number_float)
               : right.m_type == value_t::number_integer ? reversed(order_of(r.number_integer, l.number_float))
                                                          : reversed(order_of(r.number_unsigned, l.number_float));
    }

    /// A pair of arrays or objects being compared, and how far.
    struct comparison_frame
    {
        const basic_json* left;
        const basic_json* right;
        size_type index;
        typename object_t::const_iterator left_member;
        typename object_t::const_iterator right_member;
    };

    /// Compares the values themselves; two arrays or two objects are put on
    /// open, to have their contents compared, and count as equal so far.
    static ordering compare_one(const basic_json& left, const basic_json& right,
                                detail::vector_for<basic_json, comparison_frame>& open)
    {
        const int left_rank = kind_rank(left.m_type);
        const int right_rank = kind_rank(right.m_type);
        if (left_rank != right_rank)
        {
            return order_of(left_rank, right_rank);
        }
        switch (left.m_type)
        {
            case value_t::object:
                open.push_back({&left, &right, 0, left.m_value.object->cbegin(), right.m_value.object->cbegin()});
                return ordering::equal;
            case value_t::array:
                open.push_back({&left, &right, 0, {}, {}});
                return ordering::equal;
            case value_t::string:
            {
                const int result = left.m_value.string->compare(*right.m_value.string);
                return order_of(result, 0);
            }
            case value_t::boolean:
                return order_of(left.m_value.boolean, right.m_value.boolean);
            case value_t::number_integer:
            case value_t::number_unsigned:
            case value_t::number_float:
                return compare_numbers(left, right);
            case value_t::null:
            case value_t::discarded:
                break;
        }
        return ordering::equal;
    }

    /// The whole comparison, depth first, with no recursion.
    static ordering compare(const basic_json& left, const basic_json& right)
    {
        detail::vector_for<basic_json, comparison_frame> open;
        ordering result = compare_one(left, right, open);
        while (result == ordering::equal and not open.empty())
        {
            comparison_frame& top = open.back();
            if (top.left->is_array())
            {
                const array_t& l = *top.left->m_value.array;
                const array_t& r = *top.right->m_value.array;
                if (top.index == l.size() or top.index == r.size())
                {
                    result = order_of(l.size(), r.size());
                    open.pop_back();
                    continue;
                }
                const size_type i = top.index++;
                result = compare_one(l[i], r[i], open); // may move top
                continue;
            }
            if (top.left_member == top.left->m_value.object->cend() or
                top.right_member == top.right->m_value.object->cend())
            {
                result = order_of(top.left->size(), top.right->size());
                open.pop_back();
                continue;
            }
            const auto l = top.left_member++;
            const auto r = top.right_member++;
            result = order_of(l->first.compare(r->first), 0);
            if (result == ordering::equal)
            {
                result = compare_one(l->second, r->second, open); // may move top
            }
        }
        return result;
    }

  public:

    // -- typed access ---------------------------------------------------------

    /// A pointer to the stored scalar, string or container, or nullptr when
    /// the value holds another kind. An integer pointer also reaches an
    /// unsigned number, read as signed. Never throws.
    template<typename PointerType, detail::enable_if_t<std::is_pointer<PointerType>::value, int> = 0>
    PointerType get_ptr() noexcept
    {
        return get_impl_ptr(static_cast<PointerType>(nullptr));
    }

    /// The same, on a const value: only pointers to const.
    template<typename PointerType,
             detail::enable_if_t<std::is_pointer<PointerType>::value and
                                     std::is_const<typename std::remove_pointer<PointerType>::type>::value,
                                 int> = 0>
    PointerType get_ptr() const noexcept
    {
        return get_impl_ptr(static_cast<PointerType>(nullptr));
    }

    /// A reference to what get_ptr would point to.
    /// Throws type_error 303 when the value holds another kind; the value is unchanged.
    template<typename ReferenceType, detail::enable_if_t<std::is_reference<ReferenceType>::value, int> = 0>
    ReferenceType get_ref()
    {
        return get_ref_impl<ReferenceType>(*this);
    }

    /// The same, on a const value: only references to const.
    template<typename ReferenceType,
             detail::enable_if_t<std::is_reference<ReferenceType>::value and
                                     std::is_const<typename std::remove_reference<ReferenceType>::type>::value,
                                 int> = 0>
    ReferenceType get_ref() const
    {
        return get_ref_impl<ReferenceType>(*this);
    }

    // -- reading out ----------------------------------------------------------

    /// The value read as a ValueType, through json_serializer<ValueType>::from_json:
    /// bool, every integer and floating-point type, string_t, std::nullptr_t,
    /// basic_json, object_t, array_t, the standard sequences and sets, a
    /// std::array of the same size, maps from string_t, std::pair,
    /// std::tuple, std::optional (empty for null), and types with a from_json
    /// of their own. Throws type_error 302 when the value is of another kind,
    /// out_of_range 406 for a number the type cannot hold exactly, out_of_range
    /// 407 for an array of another size than a fixed-size target, and
    /// std::bad_alloc. An error of the library that escapes carries the path
    /// of the element or member that failed (exception::path()).
    template<typename ValueType, typename U = detail::uncvref_t<ValueType>,
             detail::enable_if_t<std::is_same<ValueType, U>::value, int> = 0,
             typename = decltype(json_serializer<U>::from_json(std::declval<const basic_json&>(), std::declval<U&>()))>
    U get() const
    {
        U result{};
        detail::read_whole(*this, result);
        return result;
    }

    /// Reads the value into target, as get<ValueType>() would: into a fresh
    /// ValueType, moved into target once read, so a failure leaves target as
    /// it was. Returns target. Throws what get does.
    template<typename ValueType, typename = decltype(json_serializer<ValueType>::from_json(
                                     std::declval<const basic_json&>(), std::declval<ValueType&>()))>
    ValueType& get_to(ValueType& target) const
    {
        target = get<ValueType>();
        return target;
    }

    /// The member with this key read as the default's type, or the default
    /// when there is no such member. The key is anything string_t is made
    /// from; object_t orders keys with std::less<string_t>, so a string_t key
    /// is looked up as it is and any other is copied into a string_t once.
    /// Throws type_error 306 when the value is not an object, other_error 501
    /// for a null character pointer, and what get throws for a member of
    /// another kind, its path starting with the key.
    template<typename KeyType, typename ValueType,
             detail::enable_if_t<detail::is_key<string_t, KeyType>::value and
                                     detail::is_readable<basic_json, ValueType>::value,
                                 int> = 0>
    ValueType value(const KeyType& key, const ValueType& default_value) const
    {
        const basic_json* member = member_or_null(key);
        if (member == nullptr)
        {
            return default_value;
        }
        ValueType result{};
        detail::read_whole(*member, result, key);
        return result;
    }

    /// The same with a text default: the member read as a string_t. Throws
    /// as value(key, default) does.
    template<typename KeyType, detail::enable_if_t<detail::is_key<string_t, KeyType>::value, int> = 0>
    string_t value(const KeyType& key, const char* default_value) const
    {
        const basic_json* member = member_or_null(key);
        if (member == nullptr)
        {
            return string_t(default_value);
        }
        string_t result;
        detail::read_whole(*member, result, key);
        return result;
    }

    // -- output ---------------------------------------------------------------

    /// The value as JSON text: indented by `indent` spaces a level when indent
    /// is greater than 0, compact otherwise; each double with the fewest
    /// digits that read back as it, so that parse(dump()) equals the value.
    /// Throws std::bad_alloc, and type_error 321 for a discarded value
    /// anywhere in the value.
    string_t dump(int indent = -1) const
    {
        dump_options options;
        options.indent = indent;
        return dump(options);
    }

    /// The value as JSON text written as options say. Throws what dump(indent)
    /// throws, type_error 316 for a string that is not valid UTF-8 under
    /// utf8_policy::error, and out_of_range 408 past max_length.
    string_t dump(const dump_options& options) const
    {
        string_t text;
        dump_to(text, options);
        return text;
    }

    /// Appends the value as JSON text to `text`, whose capacity is reused;
    /// `text` may be a string inside the value, which is then written as it
    /// was before the call. Throws what dump(options) throws; `text` then
    /// has its old length again.
    void dump_to(string_t& text, const dump_options& options = {}) const
    {
        writer w(options, text);
        w.write(*this);
    }

    /// Writes the value as JSON text onto `stream` in chunks of
    /// writer::chunk_size bytes, one unformatted write each, without holding
    /// the whole text. The stream's width and formatting are ignored. Writing
    /// stops at the first write that leaves the stream not good(), the bytes
    /// before it written; nothing is written to a stream that is not good().
    /// Throws what dump(options) throws, and whatever the stream throws; the
    /// text written before a throw stays written. Returns the stream.
    std::ostream& dump_to(std::ostream& stream, const dump_options& options = {}) const
    {
        writer w(options, stream);
        w.write(*this);
        return stream;
    }

    // -- reading text ---------------------------------------------------------

    /// The callbacks parse_events makes, each doing nothing and letting the
    /// parse go on: derive from it and hide the ones you need. A callback that
    /// returns false stops the parse there.
    struct event_handler
    {
        /// `null`.
        bool null_value()
        {
            return true;
        }

        /// `true` or `false`.
        bool boolean_value(boolean_t /*unused*/)
        {
            return true;
        }

        /// Integer text that fits number_integer_t.
        bool integer_value(number_integer_t /*unused*/)
        {
            return true;
        }

        /// Integer text that fits only number_unsigned_t.
        bool unsigned_value(number_unsigned_t /*unused*/)
        {
            return true;
        }

        /// Any other number, correctly rounded.
        bool float_value(number_float_t /*unused*/)
        {
            return true;
        }

        /// A string value, decoded to UTF-8; the handler may move from it.
        bool string_value(string_t& /*unused*/)
        {
            return true;
        }

        /// The key of the member whose value comes next; may be moved from.
        bool object_key(string_t& /*unused*/)
        {
            return true;
        }

        /// `{`; its members follow, then end_object.
        bool begin_object()
        {
            return true;
        }

        /// `}`.
        bool end_object()
        {
            return true;
        }

        /// `[`; its elements follow, then end_array.
        bool begin_array()
        {
            return true;
        }

        /// `]`.
        bool end_array()
        {
            return true;
        }
    };

    /// The value the JSON text holds; see parse_options for what is read.
    /// Throws parse_error (101 not JSON, 102 too deep, 103 number out of
    /// range, 104 repeated key under the reject policy) and std::bad_alloc;
    /// nothing is left behind when it throws.
    static basic_json parse(const string_t& text, parse_options options = parse_options())
    {
        return detail::parse_source<basic_json>(text, options);
    }

    /// The same, for the text up to the NUL. Throws other_error 501 for a
    /// null pointer, and what parse(string_t) throws.
    static basic_json parse(const char* text, parse_options options = parse_options())
    {
        return detail::parse_source<basic_json>(text, options);
    }

#if defined(__cpp_lib_string_view)
    /// The same, for a view of the text. Throws what parse(string_t) throws.
    static basic_json parse(std::string_view text, parse_options options = parse_options())
    {
        return detail::parse_source<basic_json>(text, options);
    }
#endif

    /// The same, for the bytes [first, last) of input iterators over char,
    /// signed char or unsigned char. Throws what parse(string_t) throws, and
    /// whatever the iterators throw.
    template<typename InputIterator, detail::enable_if_t<detail::is_byte_iterator<InputIterator>::value, int> = 0>
    static basic_json parse(InputIterator first, InputIterator last, parse_options options = parse_options())
    {
        return detail::parse_source<basic_json>(std::make_pair(std::move(first), std::move(last)), options);
    }

    /// The same, for the rest of the stream, which must be one value and
    /// whitespace, read as a formatted extractor reads: eofbit is set once the
    /// end is seen, failbit before the parse_error of text that is not JSON.
    /// Throws what parse(string_t) throws, and parse_error 105 for a stream
    /// not good() before (failbit is set) or whose buffer throws (badbit is
    /// set; with badbit in the exceptions mask the buffer's exception passes
    /// instead). The mask's ios_base::failure comes for the other bits.
    static basic_json parse(std::istream& stream, parse_options options = parse_options())
    {
        return detail::parse_stream<basic_json>(stream, options);
    }

    /// Whether parse would read the text with these options; builds no value
    /// and throws nothing for any text. Only the reject policy for repeated
    /// keys keeps the keys, and so may throw std::bad_alloc.
    static bool accept(const string_t& text, parse_options options = parse_options())
    {
        return detail::accept_source<basic_json>(text, options);
    }

    /// The same, for the text up to the NUL; throws other_error 501 for a null pointer.
    static bool accept(const char* text, parse_options options = parse_options())
    {
        return detail::accept_source<basic_json>(text, options);
    }

#if defined(__cpp_lib_string_view)
    /// The same, for a view of the text.
    static bool accept(std::string_view text, parse_options options = parse_options())
    {
        return detail::accept_source<basic_json>(text, options);
    }
#endif

    /// The same, for the bytes [first, last); throws whatever the iterators throw.
    template<typename InputIterator, detail::enable_if_t<detail::is_byte_iterator<InputIterator>::value, int> = 0>
    static bool accept(InputIterator first, InputIterator last, parse_options options = parse_options())
    {
        return detail::accept_source<basic_json>(std::make_pair(std::move(first), std::move(last)), options);
    }

    /// The same, for the rest of the stream, with its bits set as parse sets
    /// them: false, with failbit, for text that is not JSON or a stream not
    /// good() before; false, with badbit, when its buffer throws. Throws
    /// only what the exceptions mask asks for (ios_base::failure, or the
    /// buffer's exception for badbit), and std::bad_alloc as accept(string_t).
    static bool accept(std::istream& stream, parse_options options = parse_options())
    {
        return detail::accept_stream<basic_json>(stream, options);
    }

    /// Reads the text as parse does but builds nothing: reports each value,
    /// key and bracket to handler (see event_handler) as it is read. Returns
    /// true when the whole text was read, false when a callback stopped it.
    /// Throws parse_error as parse does (but never 104: the handler sees every
    /// key), std::bad_alloc, and whatever the handler throws.
    template<typename Handler>
    static bool parse_events(const string_t& text, Handler& handler, parse_options options = parse_options())
    {
        return detail::read_events<basic_json>(text, handler, options);
    }

    /// The same, for the text up to the NUL; throws other_error 501 for a null pointer.
    template<typename Handler>
    static bool parse_events(const char* text, Handler& handler, parse_options options = parse_options())
    {
        return detail::read_events<basic_json>(text, handler, options);
    }

#if defined(__cpp_lib_string_view)
    /// The same, for a view of the text.
    template<typename Handler>
    static bool parse_events(std::string_view text, Handler& handler, parse_options options = parse_options())
    {
        return detail::read_events<basic_json>(text, handler, options);
    }
#endif

    /// The same, for the bytes [first, last); also throws whatever the iterators throw.
    template<typename InputIterator, typename Handler,
             detail::enable_if_t<detail::is_byte_iterator<InputIterator>::value, int> = 0>
    static bool parse_events(InputIterator first, InputIterator last, Handler& handler,
                             parse_options options = parse_options())
    {
        return detail::read_events<basic_json>(std::make_pair(std::move(first), std::move(last)), handler, options);
    }

    /// The same, for the rest of the stream, with its bits set and errors
    /// thrown as parse(std::istream&) does; the handler's exceptions pass
    /// unchanged, after failbit is set. A handler that stops leaves the stream
    /// good, just after the token it stopped at.
    template<typename Handler>
    static bool parse_events(std::istream& stream, Handler& handler, parse_options options = parse_options())
    {
        return detail::read_stream_events<basic_json>(stream, handler, options);
    }

    // -- reading without throwing, and with a filter ---------------------------

    /// Reads the text as parse does, but an error comes back in the result
    /// (its id, place and what()) instead of being thrown, also when built
    /// with -fno-exceptions; the value is then null. Never throws
    /// parse_error; throws std::bad_alloc.
    static parse_result<basic_json> try_parse(const string_t& text, parse_options options = parse_options())
    {
        return detail::try_parse_source<basic_json>(text, options);
    }

    /// The same, for the text up to the NUL; throws other_error 501 for a null pointer.
    static parse_result<basic_json> try_parse(const char* text, parse_options options = parse_options())
    {
        return detail::try_parse_source<basic_json>(text, options);
    }

#if defined(__cpp_lib_string_view)
    /// The same, for a view of the text.
    static parse_result<basic_json> try_parse(std::string_view text, parse_options options = parse_options())
    {
        return detail::try_parse_source<basic_json>(text, options);
    }
#endif

    /// The same, for the bytes [first, last); also throws whatever the iterators throw.
    template<typename InputIterator, detail::enable_if_t<detail::is_byte_iterator<InputIterator>::value, int> = 0>
    static parse_result<basic_json> try_parse(InputIterator first, InputIterator last,
                                              parse_options options = parse_options())
    {
        return detail::try_parse_source<basic_json>(std::make_pair(std::move(first), std::move(last)), options);
    }

    /// The same, for the rest of the stream, with its bits set as parse sets
    /// them; a stream not good() before, or whose buffer throws, is error
    /// 105. Throws only what the exceptions mask asks for (ios_base::failure,
    /// or the buffer's exception for badbit), and std::bad_alloc.
    static parse_result<basic_json> try_parse(std::istream& stream, parse_options options = parse_options())
    {
        return detail::try_parse_stream<basic_json>(stream, options);
    }

    /// Reads the text as parse does, keeping only the values filter keeps:
    /// filter(const filter_event&) is called for each array and object as it
    /// opens and for each value once it is read (an array or object: built),
    /// and returns false to drop it. A dropped member or element is not in
    /// the result at all, a dropped array or object is not built, and a
    /// dropped whole text leaves null. Throws what parse throws, and
    /// whatever the filter throws.
    template<typename Filter, detail::enable_if_t<detail::is_filter<Filter>::value, int> = 0>
    static basic_json parse(const string_t& text, Filter filter, parse_options options = parse_options())
    {
        return detail::parse_filtered_source<basic_json>(text, filter, options);
    }

    /// The same, for the text up to the NUL; throws other_error 501 for a null pointer.
    template<typename Filter, detail::enable_if_t<detail::is_filter<Filter>::value, int> = 0>
    static basic_json parse(const char* text, Filter filter, parse_options options = parse_options())
    {
        return detail::parse_filtered_source<basic_json>(text, filter, options);
    }

#if defined(__cpp_lib_string_view)
    /// The same, for a view of the text.
    template<typename Filter, detail::enable_if_t<detail::is_filter<Filter>::value, int> = 0>
    static basic_json parse(std::string_view text, Filter filter, parse_options options = parse_options())
    {
        return detail::parse_filtered_source<basic_json>(text, filter, options);
    }
#endif

    /// The same, for the bytes [first, last); also throws whatever the iterators throw.
    template<typename InputIterator, typename Filter,
             detail::enable_if_t<detail::is_byte_iterator<InputIterator>::value and detail::is_filter<Filter>::value,
                                 int> = 0>
    static basic_json parse(InputIterator first, InputIterator last, Filter filter,
                            parse_options options = parse_options())
    {
        return detail::parse_filtered_source<basic_json>(std::make_pair(std::move(first), std::move(last)), filter,
                                                         options);
    }

    /// The same, for the rest of the stream, as parse(std::istream&) reads it.
    template<typename Filter, detail::enable_if_t<detail::is_filter<Filter>::value, int> = 0>
    static basic_json parse(std::istream& stream, Filter filter, parse_options options = parse_options())
    {
        return detail::parse_filtered_stream<basic_json>(stream, filter, options);
    }

  private:
    /// The member value(key, ...) reads, or nullptr. Throws type_error 306
    /// when the value is not an object, before the key is copied.
    template<typename KeyType>
    const basic_json* member_or_null(const KeyType& key) const
    {
        if (not is_object())
        {
            throw_kind_error(detail::error::cannot_use_value);
        }
        const auto member = m_value.object->find(key_text(key));
        return member == m_value.object->end() ? nullptr : &member->second;
    }

    static const string_t& key_text(const string_t& key) noexcept
    {
        return key;
    }

    static string_t key_text(const char* key)
    {
        return detail::string_from_pointer<string_t>(key);
    }

    template<typename KeyType, detail::enable_if_t<not std::is_convertible<const KeyType&, const char*>::value and
                                                       not std::is_same<KeyType, string_t>::value,
                                                   int> = 0>
    static string_t key_text(const KeyType& key)
    {
        return string_t(key);
    }

    // One overload per member type, chosen by the type of the null pointer
    // passed in; a non-const value lends the const ones its own constness.

    template<typename T>
    T* get_impl_ptr(T* /*unused*/) noexcept
    {
        return const_cast<T*>(static_cast<const basic_json&>(*this).get_impl_ptr(static_cast<const T*>(nullptr)));
    }

    const object_t* get_impl_ptr(const object_t* /*unused*/) const noexcept
    {
        return is_object() ? m_value.object : nullptr;
    }

    const array_t* get_impl_ptr(const array_t* /*unused*/) const noexcept
    {
        return is_array() ? m_value.array : nullptr;
    }

    const string_t* get_impl_ptr(const string_t* /*unused*/) const noexcept
    {
        return is_string() ? m_value.string : nullptr;
    }

    const boolean_t* get_impl_ptr(const boolean_t* /*unused*/) const noexcept
    {
        return is_boolean() ? &m_value.boolean : nullptr;
    }

    const number_integer_t* get_impl_ptr(const number_integer_t* /*unused*/) const noexcept
    {
        return is_number_integer() ? &m_value.number_integer : nullptr;
    }

    const number_unsigned_t* get_impl_ptr(const number_unsigned_t* /*unused*/) const noexcept
    {
        return is_number_unsigned() ? &m_value.number_unsigned : nullptr;
    }

    const number_float_t* get_impl_ptr(const number_float_t* /*unused*/) const noexcept
    {
        return is_number_float() ? &m_value.number_float : nullptr;
    }

    template<typename ReferenceType, typename ThisType>
    static ReferenceType get_ref_impl(ThisType& obj)
    {
        using PointerType = typename std::add_pointer<ReferenceType>::type;
        auto* ptr = obj.template get_ptr<PointerType>();
        if (ptr != nullptr)
        {
            return *ptr;
        }
        detail::throw_error(detail::error::wrong_reference_type, {obj.type_name()});
    }

    value_t m_type = value_t::null;
    json_value m_value = {};
};

} // namespace quarrow

// Wide arithmetic: 128- and 192-bit products and sums, for reading and writing numbers exactly.


namespace quarrow
{
namespace detail
{

/// An unsigned 128-bit number as two 64-bit halves.
struct uint128
{
    std::uint64_t high;
    std::uint64_t low;
};

/// a * b in full, from 32-bit halves: for compilers without a 128-bit type.
inline uint128 multiply_portable(const std::uint64_t a, const std::uint64_t b) noexcept
{
    const std::uint64_t half = 0xFFFFFFFFu;
    const std::uint64_t low_low = (a & half) * (b & half);
    const std::uint64_t high_low = (a >> 32) * (b & half);
    const std::uint64_t low_high = (a & half) * (b >> 32);
    const std::uint64_t high_high = (a >> 32) * (b >> 32);
    // At most 3 * (2^32 - 1) + (2^32 - 1)^2 = 2^64 - 1: no carry is lost.
    const std::uint64_t cross = (low_low >> 32) + (high_low & half) + low_high;
    return {high_high + (high_low >> 32) + (cross >> 32), (cross << 32) | (low_low & half)};
}

/// a * b in full.
inline uint128 multiply(const std::uint64_t a, const std::uint64_t b) noexcept
{
#if defined(__SIZEOF_INT128__)
    __extension__ typedef unsigned __int128 native_uint128;
    const native_uint128 product = static_cast<native_uint128>(a) * b;
    return {static_cast<std::uint64_t>(product >> 64), static_cast<std::uint64_t>(product)};
#else
    return multiply_portable(a, b);
#endif
}

/// a + b, which the callers know cannot wrap.
inline uint128 uint128_plus(const uint128 a, const std::uint64_t b) noexcept
{
    const std::uint64_t low = a.low + b;
    return {a.high + (low < b ? 1u : 0u), low};
}

/// 192 bits, most significant word first.
struct uint192
{
    std::uint64_t high;
    std::uint64_t middle;
    std::uint64_t low;
};

/// a * b in full.
inline uint192 multiply(const std::uint64_t a, const uint128& b) noexcept
{
    const uint128 high = multiply(a, b.high);
    const uint128 low = multiply(a, b.low);
    const std::uint64_t middle = high.low + low.high;
    return {high.high + (middle < high.low ? 1u : 0u), middle, low.low};
}

/// a + b, which must not exceed 192 bits.
inline uint192 add(const uint192& a, const uint192& b) noexcept
{
    const std::uint64_t low = a.low + b.low;
    const std::uint64_t carry_low = low < a.low ? 1u : 0u;
    const std::uint64_t middle_sum = a.middle + b.middle;
    const std::uint64_t middle = middle_sum + carry_low;
    const std::uint64_t carry_middle = (middle_sum < a.middle or middle < middle_sum) ? 1u : 0u;
    return {a.high + b.high + carry_middle, middle, low};
}

/// floor(n * log2(10)), exact over the table below (tests/powers_of_ten.py checks it).
inline int floor_log2_pow10(const int n) noexcept
{
    assert(n > -360 and n < 360);
    return ((n * 217706 + (1200 << 16)) >> 16) - 1200;
}

} // namespace detail
} // namespace quarrow

// Bytes eight at a time: the loads and tests that the reader and the writers share.


namespace quarrow
{
namespace detail
{

/// A byte (or peek()'s -1 for the end) that is a decimal digit.
inline bool is_digit(const int c) noexcept
{
    return c >= '0' and c <= '9';
}

/// The 8 bytes at p, the first in the lowest byte, whatever the byte order.
inline std::uint64_t eight_bytes(const char* p) noexcept
{
    // Spelled out, so that compilers see one load on a little-endian machine.
    const unsigned char* const u = reinterpret_cast<const unsigned char*>(p);
    return std::uint64_t{u[0]} | std::uint64_t{u[1]} << 8 | std::uint64_t{u[2]} << 16 | std::uint64_t{u[3]} << 24 |
           std::uint64_t{u[4]} << 32 | std::uint64_t{u[5]} << 40 | std::uint64_t{u[6]} << 48 |
           std::uint64_t{u[7]} << 56;
}

/// How many of the 8 bytes of x (as eight_bytes holds them), from the first
/// on, are zero; x is not 0.
inline std::size_t zero_bytes_first(const std::uint64_t x) noexcept
{
    return static_cast<std::size_t>(count_trailing_zeros(x) / 8);
}

/// The bytes of word (eight, as eight_bytes holds them) that a JSON string
/// cannot hold as they are: the quotation mark, the backslash, those below
/// 0x20 and, where non_ascii_mask is all ones, those from 0x80; each has its
/// top bit set, and no byte before the first such does (a byte is zero in
/// x ^ c exactly where x has c, and subtracting 1 from each byte borrows into
/// its top bit where the byte was zero, a borrow moving on only above a zero
/// byte; subtracting 0x20 likewise flags the control bytes). As '"' and '\\'
/// are below 0x80, ~word has the top bits of ~(word ^ c), so one mask serves
/// the three tests.
inline std::uint64_t string_special_bytes(const std::uint64_t word, const std::uint64_t non_ascii_mask) noexcept
{
    const std::uint64_t ones = 0x0101010101010101u;
    const std::uint64_t tops = 0x8080808080808080u;
    const std::uint64_t below_space = word - ones * 0x20;
    const std::uint64_t quote = (word ^ (ones * '"')) - ones;
    const std::uint64_t backslash = (word ^ (ones * '\\')) - ones;
    return (((below_space | quote | backslash) & ~word) | (word & non_ascii_mask)) & tops;
}

/// The hexadecimal digits, for escapes (lowercase) and for bytes named in messages (uppercase).
inline const char* lowercase_hex() noexcept
{
    return "0123456789abcdef";
}

inline const char* uppercase_hex() noexcept
{
    return "0123456789ABCDEF";
}

} // namespace detail
} // namespace quarrow

// The UTF-8 rules of RFC 3629, once, for the reader that checks text and the writer that checks or escapes it.


namespace quarrow
{
namespace detail
{

/// The UTF-8 rules of RFC 3629 for a sequence led by `lead`: how many
/// continuation bytes follow, and the range the first of them must be in (so
/// no overlong form, no surrogate, nothing above U+10FFFF); the others are
/// 0x80 to 0xBF. False for a byte that never leads a sequence.
inline bool utf8_sequence(const int lead, int& more, int& low, int& high) noexcept
{
    low = 0x80;
    high = 0xBF;
    if (lead >= 0xC2 and lead <= 0xDF)
    {
        more = 1;
    }
    else if (lead >= 0xE0 and lead <= 0xEF)
    {
        more = 2;
        low = lead == 0xE0 ? 0xA0 : 0x80;  // shorter forms exist
        high = lead == 0xED ? 0x9F : 0xBF; // surrogates
    }
    else if (lead >= 0xF0 and lead <= 0xF4)
    {
        more = 3;
        low = lead == 0xF0 ? 0x90 : 0x80;  // shorter forms exist
        high = lead == 0xF4 ? 0x8F : 0xBF; // above U+10FFFF
    }
    else
    {
        return false;
    }
    return true;
}

/// The length of the valid UTF-8 sequence at p, before end; 0 if there is none.
inline std::size_t utf8_sequence_length(const char* const p, const char* const end) noexcept
{
    int more = 0;
    int low = 0;
    int high = 0;
    if (not utf8_sequence(static_cast<unsigned char>(*p), more, low, high) or end - p <= more)
    {
        return 0;
    }
    const auto first = static_cast<unsigned char>(p[1]);
    bool valid = first >= low and first <= high;
    for (int i = 2; i <= more; ++i)
    {
        const auto next = static_cast<unsigned char>(p[i]);
        valid = valid and next >= 0x80 and next <= 0xBF;
    }
    return valid ? static_cast<std::size_t>(1 + more) : 0;
}

} // namespace detail
} // namespace quarrow

// The powers of ten that reading and writing numbers share: leading bits and small exact powers.


namespace quarrow
{
namespace detail
{

// Generated by tests/powers_of_ten.py, which a test runs to check it; do not edit.
constexpr int power_of_ten_bits_min = -342;
constexpr int power_of_ten_bits_max = 341;

/// The 128 leading bits of 10^n, truncated: 10^n = (bits + f) * 2^(floor_log2_pow10(n) - 127),
/// 0 <= f < 1. They are also those of 5^n, as 10^n = 5^n * 2^n.
inline const uint128& power_of_ten_bits(const int n) noexcept
{
    static const uint128 table[] = {
        {0xeef453d6923bd65a, 0x113faa2906a13b3f}, {0x9558b4661b6565f8, 0x4ac7ca59a424c507},
        {0xbaaee17fa23ebf76, 0x5d79bcf00d2df649}, {0xe95a99df8ace6f53, 0xf4d82c2c107973dc},
        {0x91d8a02bb6c10594, 0x79071b9b8a4be869}, {0xb64ec836a47146f9, 0x9748e2826cdee284},
        {0xe3e27a444d8d98b7, 0xfd1b1b2308169b25}, {0x8e6d8c6ab0787f72, 0xfe30f0f5e50e20f7},
        {0xb208ef855c969f4f, 0xbdbd2d335e51a935}, {0xde8b2b66b3bc4723, 0xad2c788035e61382},
        {0x8b16fb203055ac76, 0x4c3bcb5021afcc31}, {0xaddcb9e83c6b1793, 0xdf4abe242a1bbf3d},
        {0xd953e8624b85dd78, 0xd71d6dad34a2af0d}, {0x87d4713d6f33aa6b, 0x8672648c40e5ad68},
        {0xa9c98d8ccb009506, 0x680efdaf511f18c2}, {0xd43bf0effdc0ba48, 0x0212bd1b2566def2},
        {0x84a57695fe98746d, 0x014bb630f7604b57}, {0xa5ced43b7e3e9188, 0x419ea3bd35385e2d},
        {0xcf42894a5dce35ea, 0x52064cac828675b9}, {0x818995ce7aa0e1b2, 0x7343efebd1940993},
        {0xa1ebfb4219491a1f, 0x1014ebe6c5f90bf8}, {0xca66fa129f9b60a6, 0xd41a26e077774ef6},
        {0xfd00b897478238d0, 0x8920b098955522b4}, {0x9e20735e8cb16382, 0x55b46e5f5d5535b0},
        {0xc5a890362fddbc62, 0xeb2189f734aa831d}, {0xf712b443bbd52b7b, 0xa5e9ec7501d523e4},
        {0x9a6bb0aa55653b2d, 0x47b233c92125366e}, {0xc1069cd4eabe89f8, 0x999ec0bb696e840a},
        {0xf148440a256e2c76, 0xc00670ea43ca250d}, {0x96cd2a865764dbca, 0x380406926a5e5728},
        {0xbc807527ed3e12bc, 0xc605083704f5ecf2}, {0xeba09271e88d976b, 0xf7864a44c633682e},
        {0x93445b8731587ea3, 0x7ab3ee6afbe0211d}, {0xb8157268fdae9e4c, 0x5960ea05bad82964},
        {0xe61acf033d1a45df, 0x6fb92487298e33bd}, {0x8fd0c16206306bab, 0xa5d3b6d479f8e056},
        {0xb3c4f1ba87bc8696, 0x8f48a4899877186c}, {0xe0b62e2929aba83c, 0x331acdabfe94de87},
        {0x8c71dcd9ba0b4925, 0x9ff0c08b7f1d0b14}, {0xaf8e5410288e1b6f, 0x07ecf0ae5ee44dd9},
        {0xdb71e91432b1a24a, 0xc9e82cd9f69d6150}, {0x892731ac9faf056e, 0xbe311c083a225cd2},
        {0xab70fe17c79ac6ca, 0x6dbd630a48aaf406}, {0xd64d3d9db981787d, 0x092cbbccdad5b108},
        {0x85f0468293f0eb4e, 0x25bbf56008c58ea5}, {0xa76c582338ed2621, 0xaf2af2b80af6f24e},
        {0xd1476e2c07286faa, 0x1af5af660db4aee1}, {0x82cca4db847945ca, 0x50d98d9fc890ed4d},
        {0xa37fce126597973c, 0xe50ff107bab528a0}, {0xcc5fc196fefd7d0c, 0x1e53ed49a96272c8},
        {0xff77b1fcbebcdc4f, 0x25e8e89c13bb0f7a}, {0x9faacf3df73609b1, 0x77b191618c54e9ac},
        {0xc795830d75038c1d, 0xd59df5b9ef6a2417}, {0xf97ae3d0d2446f25, 0x4b0573286b44ad1d},
        {0x9becce62836ac577, 0x4ee367f9430aec32}, {0xc2e801fb244576d5, 0x229c41f793cda73f},
        {0xf3a20279ed56d48a, 0x6b43527578c1110f}, {0x9845418c345644d6, 0x830a13896b78aaa9},
        {0xbe5691ef416bd60c, 0x23cc986bc656d553}, {0xedec366b11c6cb8f, 0x2cbfbe86b7ec8aa8},
        {0x94b3a202eb1c3f39, 0x7bf7d71432f3d6a9}, {0xb9e08a83a5e34f07, 0xdaf5ccd93fb0cc53},
        {0xe858ad248f5c22c9, 0xd1b3400f8f9cff68}, {0x91376c36d99995be, 0x23100809b9c21fa1},
        {0xb58547448ffffb2d, 0xabd40a0c2832a78a}, {0xe2e69915b3fff9f9, 0x16c90c8f323f516c},
        {0x8dd01fad907ffc3b, 0xae3da7d97f6792e3}, {0xb1442798f49ffb4a, 0x99cd11cfdf41779c},
        {0xdd95317f31c7fa1d, 0x40405643d711d583}, {0x8a7d3eef7f1cfc52, 0x482835ea666b2572},
        {0xad1c8eab5ee43b66, 0xda3243650005eecf}, {0xd863b256369d4a40, 0x90bed43e40076a82},
        {0x873e4f75e2224e68, 0x5a7744a6e804a291}, {0xa90de3535aaae202, 0x711515d0a205cb36},
        {0xd3515c2831559a83, 0x0d5a5b44ca873e03}, {0x8412d9991ed58091, 0xe858790afe9486c2},
        {0xa5178fff668ae0b6, 0x626e974dbe39a872}, {0xce5d73ff402d98e3, 0xfb0a3d212dc8128f},
        {0x80fa687f881c7f8e, 0x7ce66634bc9d0b99}, {0xa139029f6a239f72, 0x1c1fffc1ebc44e80},
        {0xc987434744ac874e, 0xa327ffb266b56220}, {0xfbe9141915d7a922, 0x4bf1ff9f0062baa8},
        {0x9d71ac8fada6c9b5, 0x6f773fc3603db4a9}, {0xc4ce17b399107c22, 0xcb550fb4384d21d3},
        {0xf6019da07f549b2b, 0x7e2a53a146606a48}, {0x99c102844f94e0fb, 0x2eda7444cbfc426d},
        {0xc0314325637a1939, 0xfa911155fefb5308}, {0xf03d93eebc589f88, 0x793555ab7eba27ca},
        {0x96267c7535b763b5, 0x4bc1558b2f3458de}, {0xbbb01b9283253ca2, 0x9eb1aaedfb016f16},
        {0xea9c227723ee8bcb, 0x465e15a979c1cadc}, {0x92a1958a7675175f, 0x0bfacd89ec191ec9},
        {0xb749faed14125d36, 0xcef980ec671f667b}, {0xe51c79a85916f484, 0x82b7e12780e7401a},
        {0x8f31cc0937ae58d2, 0xd1b2ecb8b0908810}, {0xb2fe3f0b8599ef07, 0x861fa7e6dcb4aa15},
        {0xdfbdcece67006ac9, 0x67a791e093e1d49a}, {0x8bd6a141006042bd, 0xe0c8bb2c5c6d24e0},
        {0xaecc49914078536d, 0x58fae9f773886e18}, {0xda7f5bf590966848, 0xaf39a475506a899e},
        {0x888f99797a5e012d, 0x6d8406c952429603}, {0xaab37fd7d8f58178, 0xc8e5087ba6d33b83},
        {0xd5605fcdcf32e1d6, 0xfb1e4a9a90880a64}, {0x855c3be0a17fcd26, 0x5cf2eea09a55067f},
        {0xa6b34ad8c9dfc06f, 0xf42faa48c0ea481e}, {0xd0601d8efc57b08b, 0xf13b94daf124da26},
        {0x823c12795db6ce57, 0x76c53d08d6b70858}, {0xa2cb1717b52481ed, 0x54768c4b0c64ca6e},
        {0xcb7ddcdda26da268, 0xa9942f5dcf7dfd09}, {0xfe5d54150b090b02, 0xd3f93b35435d7c4c},
        {0x9efa548d26e5a6e1, 0xc47bc5014a1a6daf}, {0xc6b8e9b0709f109a, 0x359ab6419ca1091b},
        {0xf867241c8cc6d4c0, 0xc30163d203c94b62}, {0x9b407691d7fc44f8, 0x79e0de63425dcf1d},
        {0xc21094364dfb5636, 0x985915fc12f542e4}, {0xf294b943e17a2bc4, 0x3e6f5b7b17b2939d},
        {0x979cf3ca6cec5b5a, 0xa705992ceecf9c42}, {0xbd8430bd08277231, 0x50c6ff782a838353},
        {0xece53cec4a314ebd, 0xa4f8bf5635246428}, {0x940f4613ae5ed136, 0x871b7795e136be99},
        {0xb913179899f68584, 0x28e2557b59846e3f}, {0xe757dd7ec07426e5, 0x331aeada2fe589cf},
        {0x9096ea6f3848984f, 0x3ff0d2c85def7621}, {0xb4bca50b065abe63, 0x0fed077a756b53a9},
        {0xe1ebce4dc7f16dfb, 0xd3e8495912c62894}, {0x8d3360f09cf6e4bd, 0x64712dd7abbbd95c},
        {0xb080392cc4349dec, 0xbd8d794d96aacfb3}, {0xdca04777f541c567, 0xecf0d7a0fc5583a0},
        {0x89e42caaf9491b60, 0xf41686c49db57244}, {0xac5d37d5b79b6239, 0x311c2875c522ced5},
        {0xd77485cb25823ac7, 0x7d633293366b828b}, {0x86a8d39ef77164bc, 0xae5dff9c02033197},
        {0xa8530886b54dbdeb, 0xd9f57f830283fdfc}, {0xd267caa862a12d66, 0xd072df63c324fd7b},
        {0x8380dea93da4bc60, 0x4247cb9e59f71e6d}, {0xa46116538d0deb78, 0x52d9be85f074e608},
        {0xcd795be870516656, 0x67902e276c921f8b}, {0x806bd9714632dff6, 0x00ba1cd8a3db53b6},
        {0xa086cfcd97bf97f3, 0x80e8a40eccd228a4}, {0xc8a883c0fdaf7df0, 0x6122cd128006b2cd},
        {0xfad2a4b13d1b5d6c, 0x796b805720085f81}, {0x9cc3a6eec6311a63, 0xcbe3303674053bb0},
        {0xc3f490aa77bd60fc, 0xbedbfc4411068a9c}, {0xf4f1b4d515acb93b, 0xee92fb5515482d44},
        {0x991711052d8bf3c5, 0x751bdd152d4d1c4a}, {0xbf5cd54678eef0b6, 0xd262d45a78a0635d},
        {0xef340a98172aace4, 0x86fb897116c87c34}, {0x9580869f0e7aac0e, 0xd45d35e6ae3d4da0},
        {0xbae0a846d2195712, 0x8974836059cca109}, {0xe998d258869facd7, 0x2bd1a438703fc94b},
        {0x91ff83775423cc06, 0x7b6306a34627ddcf}, {0xb67f6455292cbf08, 0x1a3bc84c17b1d542},
        {0xe41f3d6a7377eeca, 0x20caba5f1d9e4a93}, {0x8e938662882af53e, 0x547eb47b7282ee9c},
        {0xb23867fb2a35b28d, 0xe99e619a4f23aa43}, {0xdec681f9f4c31f31, 0x6405fa00e2ec94d4},
        {0x8b3c113c38f9f37e, 0xde83bc408dd3dd04}, {0xae0b158b4738705e, 0x9624ab50b148d445},
        {0xd98ddaee19068c76, 0x3badd624dd9b0957}, {0x87f8a8d4cfa417c9, 0xe54ca5d70a80e5d6},
        {0xa9f6d30a038d1dbc, 0x5e9fcf4ccd211f4c}, {0xd47487cc8470652b, 0x7647c3200069671f},
        {0x84c8d4dfd2c63f3b, 0x29ecd9f40041e073}, {0xa5fb0a17c777cf09, 0xf468107100525890},
        {0xcf79cc9db955c2cc, 0x7182148d4066eeb4}, {0x81ac1fe293d599bf, 0xc6f14cd848405530},
        {0xa21727db38cb002f, 0xb8ada00e5a506a7c}, {0xca9cf1d206fdc03b, 0xa6d90811f0e4851c},
        {0xfd442e4688bd304a, 0x908f4a166d1da663}, {0x9e4a9cec15763e2e, 0x9a598e4e043287fe},
        {0xc5dd44271ad3cdba, 0x40eff1e1853f29fd}, {0xf7549530e188c128, 0xd12bee59e68ef47c},
        {0x9a94dd3e8cf578b9, 0x82bb74f8301958ce}, {0xc13a148e3032d6e7, 0xe36a52363c1faf01},
        {0xf18899b1bc3f8ca1, 0xdc44e6c3cb279ac1}, {0x96f5600f15a7b7e5, 0x29ab103a5ef8c0b9},
        {0xbcb2b812db11a5de, 0x7415d448f6b6f0e7}, {0xebdf661791d60f56, 0x111b495b3464ad21},
        {0x936b9fcebb25c995, 0xcab10dd900beec34}, {0xb84687c269ef3bfb, 0x3d5d514f40eea742},
        {0xe65829b3046b0afa, 0x0cb4a5a3112a5112}, {0x8ff71a0fe2c2e6dc, 0x47f0e785eaba72ab},
        {0xb3f4e093db73a093, 0x59ed216765690f56}, {0xe0f218b8d25088b8, 0x306869c13ec3532c},
        {0x8c974f7383725573, 0x1e414218c73a13fb}, {0xafbd2350644eeacf, 0xe5d1929ef90898fa},
        {0xdbac6c247d62a583, 0xdf45f746b74abf39}, {0x894bc396ce5da772, 0x6b8bba8c328eb783},
        {0xab9eb47c81f5114f, 0x066ea92f3f326564}, {0xd686619ba27255a2, 0xc80a537b0efefebd},
        {0x8613fd0145877585, 0xbd06742ce95f5f36}, {0xa798fc4196e952e7, 0x2c48113823b73704},
        {0xd17f3b51fca3a7a0, 0xf75a15862ca504c5}, {0x82ef85133de648c4, 0x9a984d73dbe722fb},
        {0xa3ab66580d5fdaf5, 0xc13e60d0d2e0ebba}, {0xcc963fee10b7d1b3, 0x318df905079926a8},
        {0xffbbcfe994e5c61f, 0xfdf17746497f7052}, {0x9fd561f1fd0f9bd3, 0xfeb6ea8bedefa633},
        {0xc7caba6e7c5382c8, 0xfe64a52ee96b8fc0}, {0xf9bd690a1b68637b, 0x3dfdce7aa3c673b0},
        {0x9c1661a651213e2d, 0x06bea10ca65c084e}, {0xc31bfa0fe5698db8, 0x486e494fcff30a62},
        {0xf3e2f893dec3f126, 0x5a89dba3c3efccfa}, {0x986ddb5c6b3a76b7, 0xf89629465a75e01c},
        {0xbe89523386091465, 0xf6bbb397f1135823}, {0xee2ba6c0678b597f, 0x746aa07ded582e2c},
        {0x94db483840b717ef, 0xa8c2a44eb4571cdc}, {0xba121a4650e4ddeb, 0x92f34d62616ce413},
        {0xe896a0d7e51e1566, 0x77b020baf9c81d17}, {0x915e2486ef32cd60, 0x0ace1474dc1d122e},
        {0xb5b5ada8aaff80b8, 0x0d819992132456ba}, {0xe3231912d5bf60e6, 0x10e1fff697ed6c69},
        {0x8df5efabc5979c8f, 0xca8d3ffa1ef463c1}, {0xb1736b96b6fd83b3, 0xbd308ff8a6b17cb2},
        {0xddd0467c64bce4a0, 0xac7cb3f6d05ddbde}, {0x8aa22c0dbef60ee4, 0x6bcdf07a423aa96b},
        {0xad4ab7112eb3929d, 0x86c16c98d2c953c6}, {0xd89d64d57a607744, 0xe871c7bf077ba8b7},
        {0x87625f056c7c4a8b, 0x11471cd764ad4972}, {0xa93af6c6c79b5d2d, 0xd598e40d3dd89bcf},
        {0xd389b47879823479, 0x4aff1d108d4ec2c3}, {0x843610cb4bf160cb, 0xcedf722a585139ba},
        {0xa54394fe1eedb8fe, 0xc2974eb4ee658828}, {0xce947a3da6a9273e, 0x733d226229feea32},
        {0x811ccc668829b887, 0x0806357d5a3f525f}, {0xa163ff802a3426a8, 0xca07c2dcb0cf26f7},
        {0xc9bcff6034c13052, 0xfc89b393dd02f0b5}, {0xfc2c3f3841f17c67, 0xbbac2078d443ace2},
        {0x9d9ba7832936edc0, 0xd54b944b84aa4c0d}, {0xc5029163f384a931, 0x0a9e795e65d4df11},
        {0xf64335bcf065d37d, 0x4d4617b5ff4a16d5}, {0x99ea0196163fa42e, 0x504bced1bf8e4e45},
        {0xc06481fb9bcf8d39, 0xe45ec2862f71e1d6}, {0xf07da27a82c37088, 0x5d767327bb4e5a4c},
        {0x964e858c91ba2655, 0x3a6a07f8d510f86f}, {0xbbe226efb628afea, 0x890489f70a55368b},
        {0xeadab0aba3b2dbe5, 0x2b45ac74ccea842e}, {0x92c8ae6b464fc96f, 0x3b0b8bc90012929d},
        {0xb77ada0617e3bbcb, 0x09ce6ebb40173744}, {0xe55990879ddcaabd, 0xcc420a6a101d0515},
        {0x8f57fa54c2a9eab6, 0x9fa946824a12232d}, {0xb32df8e9f3546564, 0x47939822dc96abf9},
        {0xdff9772470297ebd, 0x59787e2b93bc56f7}, {0x8bfbea76c619ef36, 0x57eb4edb3c55b65a},
        {0xaefae51477a06b03, 0xede622920b6b23f1}, {0xdab99e59958885c4, 0xe95fab368e45eced},
        {0x88b402f7fd75539b, 0x11dbcb0218ebb414}, {0xaae103b5fcd2a881, 0xd652bdc29f26a119},
        {0xd59944a37c0752a2, 0x4be76d3346f0495f}, {0x857fcae62d8493a5, 0x6f70a4400c562ddb},
        {0xa6dfbd9fb8e5b88e, 0xcb4ccd500f6bb952}, {0xd097ad07a71f26b2, 0x7e2000a41346a7a7},
        {0x825ecc24c873782f, 0x8ed400668c0c28c8}, {0xa2f67f2dfa90563b, 0x728900802f0f32fa},
        {0xcbb41ef979346bca, 0x4f2b40a03ad2ffb9}, {0xfea126b7d78186bc, 0xe2f610c84987bfa8},
        {0x9f24b832e6b0f436, 0x0dd9ca7d2df4d7c9}, {0xc6ede63fa05d3143, 0x91503d1c79720dbb},
        {0xf8a95fcf88747d94, 0x75a44c6397ce912a}, {0x9b69dbe1b548ce7c, 0xc986afbe3ee11aba},
        {0xc24452da229b021b, 0xfbe85badce996168}, {0xf2d56790ab41c2a2, 0xfae27299423fb9c3},
        {0x97c560ba6b0919a5, 0xdccd879fc967d41a}, {0xbdb6b8e905cb600f, 0x5400e987bbc1c920},
        {0xed246723473e3813, 0x290123e9aab23b68}, {0x9436c0760c86e30b, 0xf9a0b6720aaf6521},
        {0xb94470938fa89bce, 0xf808e40e8d5b3e69}, {0xe7958cb87392c2c2, 0xb60b1d1230b20e04},
        {0x90bd77f3483bb9b9, 0xb1c6f22b5e6f48c2}, {0xb4ecd5f01a4aa828, 0x1e38aeb6360b1af3},
        {0xe2280b6c20dd5232, 0x25c6da63c38de1b0}, {0x8d590723948a535f, 0x579c487e5a38ad0e},
        {0xb0af48ec79ace837, 0x2d835a9df0c6d851}, {0xdcdb1b2798182244, 0xf8e431456cf88e65},
        {0x8a08f0f8bf0f156b, 0x1b8e9ecb641b58ff}, {0xac8b2d36eed2dac5, 0xe272467e3d222f3f},
        {0xd7adf884aa879177, 0x5b0ed81dcc6abb0f}, {0x86ccbb52ea94baea, 0x98e947129fc2b4e9},
        {0xa87fea27a539e9a5, 0x3f2398d747b36224}, {0xd29fe4b18e88640e, 0x8eec7f0d19a03aad},
        {0x83a3eeeef9153e89, 0x1953cf68300424ac}, {0xa48ceaaab75a8e2b, 0x5fa8c3423c052dd7},
        {0xcdb02555653131b6, 0x3792f412cb06794d}, {0x808e17555f3ebf11, 0xe2bbd88bbee40bd0},
        {0xa0b19d2ab70e6ed6, 0x5b6aceaeae9d0ec4}, {0xc8de047564d20a8b, 0xf245825a5a445275},
        {0xfb158592be068d2e, 0xeed6e2f0f0d56712}, {0x9ced737bb6c4183d, 0x55464dd69685606b},
        {0xc428d05aa4751e4c, 0xaa97e14c3c26b886}, {0xf53304714d9265df, 0xd53dd99f4b3066a8},
        {0x993fe2c6d07b7fab, 0xe546a8038efe4029}, {0xbf8fdb78849a5f96, 0xde98520472bdd033},
        {0xef73d256a5c0f77c, 0x963e66858f6d4440}, {0x95a8637627989aad, 0xdde7001379a44aa8},
        {0xbb127c53b17ec159, 0x5560c018580d5d52}, {0xe9d71b689dde71af, 0xaab8f01e6e10b4a6},
        {0x9226712162ab070d, 0xcab3961304ca70e8}, {0xb6b00d69bb55c8d1, 0x3d607b97c5fd0d22},
        {0xe45c10c42a2b3b05, 0x8cb89a7db77c506a}, {0x8eb98a7a9a5b04e3, 0x77f3608e92adb242},
        {0xb267ed1940f1c61c, 0x55f038b237591ed3}, {0xdf01e85f912e37a3, 0x6b6c46dec52f6688},
        {0x8b61313bbabce2c6, 0x2323ac4b3b3da015}, {0xae397d8aa96c1b77, 0xabec975e0a0d081a},
        {0xd9c7dced53c72255, 0x96e7bd358c904a21}, {0x881cea14545c7575, 0x7e50d64177da2e54},
        {0xaa242499697392d2, 0xdde50bd1d5d0b9e9}, {0xd4ad2dbfc3d07787, 0x955e4ec64b44e864},
        {0x84ec3c97da624ab4, 0xbd5af13bef0b113e}, {0xa6274bbdd0fadd61, 0xecb1ad8aeacdd58e},
        {0xcfb11ead453994ba, 0x67de18eda5814af2}, {0x81ceb32c4b43fcf4, 0x80eacf948770ced7},
        {0xa2425ff75e14fc31, 0xa1258379a94d028d}, {0xcad2f7f5359a3b3e, 0x096ee45813a04330},
        {0xfd87b5f28300ca0d, 0x8bca9d6e188853fc}, {0x9e74d1b791e07e48, 0x775ea264cf55347d},
        {0xc612062576589dda, 0x95364afe032a819d}, {0xf79687aed3eec551, 0x3a83ddbd83f52204},
        {0x9abe14cd44753b52, 0xc4926a9672793542}, {0xc16d9a0095928a27, 0x75b7053c0f178293},
        {0xf1c90080baf72cb1, 0x5324c68b12dd6338}, {0x971da05074da7bee, 0xd3f6fc16ebca5e03},
        {0xbce5086492111aea, 0x88f4bb1ca6bcf584}, {0xec1e4a7db69561a5, 0x2b31e9e3d06c32e5},
        {0x9392ee8e921d5d07, 0x3aff322e62439fcf}, {0xb877aa3236a4b449, 0x09befeb9fad487c2},
        {0xe69594bec44de15b, 0x4c2ebe687989a9b3}, {0x901d7cf73ab0acd9, 0x0f9d37014bf60a10},
        {0xb424dc35095cd80f, 0x538484c19ef38c94}, {0xe12e13424bb40e13, 0x2865a5f206b06fb9},
        {0x8cbccc096f5088cb, 0xf93f87b7442e45d3}, {0xafebff0bcb24aafe, 0xf78f69a51539d748},
        {0xdbe6fecebdedd5be, 0xb573440e5a884d1b}, {0x89705f4136b4a597, 0x31680a88f8953030},
        {0xabcc77118461cefc, 0xfdc20d2b36ba7c3d}, {0xd6bf94d5e57a42bc, 0x3d32907604691b4c},
        {0x8637bd05af6c69b5, 0xa63f9a49c2c1b10f}, {0xa7c5ac471b478423, 0x0fcf80dc33721d53},
        {0xd1b71758e219652b, 0xd3c36113404ea4a8}, {0x83126e978d4fdf3b, 0x645a1cac083126e9},
        {0xa3d70a3d70a3d70a, 0x3d70a3d70a3d70a3}, {0xcccccccccccccccc, 0xcccccccccccccccc},
        {0x8000000000000000, 0x0000000000000000}, {0xa000000000000000, 0x0000000000000000},
        {0xc800000000000000, 0x0000000000000000}, {0xfa00000000000000, 0x0000000000000000},
        {0x9c40000000000000, 0x0000000000000000}, {0xc350000000000000, 0x0000000000000000},
        {0xf424000000000000, 0x0000000000000000}, {0x9896800000000000, 0x0000000000000000},
        {0xbebc200000000000, 0x0000000000000000}, {0xee6b280000000000, 0x0000000000000000},
        {0x9502f90000000000, 0x0000000000000000}, {0xba43b74000000000, 0x0000000000000000},
        {0xe8d4a51000000000, 0x0000000000000000}, {0x9184e72a00000000, 0x0000000000000000},
        {0xb5e620f480000000, 0x0000000000000000}, {0xe35fa931a0000000, 0x0000000000000000},
        {0x8e1bc9bf04000000, 0x0000000000000000}, {0xb1a2bc2ec5000000, 0x0000000000000000},
        {0xde0b6b3a76400000, 0x0000000000000000}, {0x8ac7230489e80000, 0x0000000000000000},
        {0xad78ebc5ac620000, 0x0000000000000000}, {0xd8d726b7177a8000, 0x0000000000000000},
        {0x878678326eac9000, 0x0000000000000000}, {0xa968163f0a57b400, 0x0000000000000000},
        {0xd3c21bcecceda100, 0x0000000000000000}, {0x84595161401484a0, 0x0000000000000000},
        {0xa56fa5b99019a5c8, 0x0000000000000000}, {0xcecb8f27f4200f3a, 0x0000000000000000},
        {0x813f3978f8940984, 0x4000000000000000}, {0xa18f07d736b90be5, 0x5000000000000000},
        {0xc9f2c9cd04674ede, 0xa400000000000000}, {0xfc6f7c4045812296, 0x4d00000000000000},
        {0x9dc5ada82b70b59d, 0xf020000000000000}, {0xc5371912364ce305, 0x6c28000000000000},
        {0xf684df56c3e01bc6, 0xc732000000000000}, {0x9a130b963a6c115c, 0x3c7f400000000000},
        {0xc097ce7bc90715b3, 0x4b9f100000000000}, {0xf0bdc21abb48db20, 0x1e86d40000000000},
        {0x96769950b50d88f4, 0x1314448000000000}, {0xbc143fa4e250eb31, 0x17d955a000000000},
        {0xeb194f8e1ae525fd, 0x5dcfab0800000000}, {0x92efd1b8d0cf37be, 0x5aa1cae500000000},
        {0xb7abc627050305ad, 0xf14a3d9e40000000}, {0xe596b7b0c643c719, 0x6d9ccd05d0000000},
        {0x8f7e32ce7bea5c6f, 0xe4820023a2000000}, {0xb35dbf821ae4f38b, 0xdda2802c8a800000},
        {0xe0352f62a19e306e, 0xd50b2037ad200000}, {0x8c213d9da502de45, 0x4526f422cc340000},
        {0xaf298d050e4395d6, 0x9670b12b7f410000}, {0xdaf3f04651d47b4c, 0x3c0cdd765f114000},
        {0x88d8762bf324cd0f, 0xa5880a69fb6ac800}, {0xab0e93b6efee0053, 0x8eea0d047a457a00},
        {0xd5d238a4abe98068, 0x72a4904598d6d880}, {0x85a36366eb71f041, 0x47a6da2b7f864750},
        {0xa70c3c40a64e6c51, 0x999090b65f67d924}, {0xd0cf4b50cfe20765, 0xfff4b4e3f741cf6d},
        {0x82818f1281ed449f, 0xbff8f10e7a8921a4}, {0xa321f2d7226895c7, 0xaff72d52192b6a0d},
        {0xcbea6f8ceb02bb39, 0x9bf4f8a69f764490}, {0xfee50b7025c36a08, 0x02f236d04753d5b4},
        {0x9f4f2726179a2245, 0x01d762422c946590}, {0xc722f0ef9d80aad6, 0x424d3ad2b7b97ef5},
        {0xf8ebad2b84e0d58b, 0xd2e0898765a7deb2}, {0x9b934c3b330c8577, 0x63cc55f49f88eb2f},
        {0xc2781f49ffcfa6d5, 0x3cbf6b71c76b25fb}, {0xf316271c7fc3908a, 0x8bef464e3945ef7a},
        {0x97edd871cfda3a56, 0x97758bf0e3cbb5ac}, {0xbde94e8e43d0c8ec, 0x3d52eeed1cbea317},
        {0xed63a231d4c4fb27, 0x4ca7aaa863ee4bdd}, {0x945e455f24fb1cf8, 0x8fe8caa93e74ef6a},
        {0xb975d6b6ee39e436, 0xb3e2fd538e122b44}, {0xe7d34c64a9c85d44, 0x60dbbca87196b616},
        {0x90e40fbeea1d3a4a, 0xbc8955e946fe31cd}, {0xb51d13aea4a488dd, 0x6babab6398bdbe41},
        {0xe264589a4dcdab14, 0xc696963c7eed2dd1}, {0x8d7eb76070a08aec, 0xfc1e1de5cf543ca2},
        {0xb0de65388cc8ada8, 0x3b25a55f43294bcb}, {0xdd15fe86affad912, 0x49ef0eb713f39ebe},
        {0x8a2dbf142dfcc7ab, 0x6e3569326c784337}, {0xacb92ed9397bf996, 0x49c2c37f07965404},
        {0xd7e77a8f87daf7fb, 0xdc33745ec97be906}, {0x86f0ac99b4e8dafd, 0x69a028bb3ded71a3},
        {0xa8acd7c0222311bc, 0xc40832ea0d68ce0c}, {0xd2d80db02aabd62b, 0xf50a3fa490c30190},
        {0x83c7088e1aab65db, 0x792667c6da79e0fa}, {0xa4b8cab1a1563f52, 0x577001b891185938},
        {0xcde6fd5e09abcf26, 0xed4c0226b55e6f86}, {0x80b05e5ac60b6178, 0x544f8158315b05b4},
        {0xa0dc75f1778e39d6, 0x696361ae3db1c721}, {0xc913936dd571c84c, 0x03bc3a19cd1e38e9},
        {0xfb5878494ace3a5f, 0x04ab48a04065c723}, {0x9d174b2dcec0e47b, 0x62eb0d64283f9c76},
        {0xc45d1df942711d9a, 0x3ba5d0bd324f8394}, {0xf5746577930d6500, 0xca8f44ec7ee36479},
        {0x9968bf6abbe85f20, 0x7e998b13cf4e1ecb}, {0xbfc2ef456ae276e8, 0x9e3fedd8c321a67e},
        {0xefb3ab16c59b14a2, 0xc5cfe94ef3ea101e}, {0x95d04aee3b80ece5, 0xbba1f1d158724a12},
        {0xbb445da9ca61281f, 0x2a8a6e45ae8edc97}, {0xea1575143cf97226, 0xf52d09d71a3293bd},
        {0x924d692ca61be758, 0x593c2626705f9c56}, {0xb6e0c377cfa2e12e, 0x6f8b2fb00c77836c},
        {0xe498f455c38b997a, 0x0b6dfb9c0f956447}, {0x8edf98b59a373fec, 0x4724bd4189bd5eac},
        {0xb2977ee300c50fe7, 0x58edec91ec2cb657}, {0xdf3d5e9bc0f653e1, 0x2f2967b66737e3ed},
        {0x8b865b215899f46c, 0xbd79e0d20082ee74}, {0xae67f1e9aec07187, 0xecd8590680a3aa11},
        {0xda01ee641a708de9, 0xe80e6f4820cc9495}, {0x884134fe908658b2, 0x3109058d147fdcdd},
        {0xaa51823e34a7eede, 0xbd4b46f0599fd415}, {0xd4e5e2cdc1d1ea96, 0x6c9e18ac7007c91a},
        {0x850fadc09923329e, 0x03e2cf6bc604ddb0}, {0xa6539930bf6bff45, 0x84db8346b786151c},
        {0xcfe87f7cef46ff16, 0xe612641865679a63}, {0x81f14fae158c5f6e, 0x4fcb7e8f3f60c07e},
        {0xa26da3999aef7749, 0xe3be5e330f38f09d}, {0xcb090c8001ab551c, 0x5cadf5bfd3072cc5},
        {0xfdcb4fa002162a63, 0x73d9732fc7c8f7f6}, {0x9e9f11c4014dda7e, 0x2867e7fddcdd9afa},
        {0xc646d63501a1511d, 0xb281e1fd541501b8}, {0xf7d88bc24209a565, 0x1f225a7ca91a4226},
        {0x9ae757596946075f, 0x3375788de9b06958}, {0xc1a12d2fc3978937, 0x0052d6b1641c83ae},
        {0xf209787bb47d6b84, 0xc0678c5dbd23a49a}, {0x9745eb4d50ce6332, 0xf840b7ba963646e0},
        {0xbd176620a501fbff, 0xb650e5a93bc3d898}, {0xec5d3fa8ce427aff, 0xa3e51f138ab4cebe},
        {0x93ba47c980e98cdf, 0xc66f336c36b10137}, {0xb8a8d9bbe123f017, 0xb80b0047445d4184},
        {0xe6d3102ad96cec1d, 0xa60dc059157491e5}, {0x9043ea1ac7e41392, 0x87c89837ad68db2f},
        {0xb454e4a179dd1877, 0x29babe4598c311fb}, {0xe16a1dc9d8545e94, 0xf4296dd6fef3d67a},
        {0x8ce2529e2734bb1d, 0x1899e4a65f58660c}, {0xb01ae745b101e9e4, 0x5ec05dcff72e7f8f},
        {0xdc21a1171d42645d, 0x76707543f4fa1f73}, {0x899504ae72497eba, 0x6a06494a791c53a8},
        {0xabfa45da0edbde69, 0x0487db9d17636892}, {0xd6f8d7509292d603, 0x45a9d2845d3c42b6},
        {0x865b86925b9bc5c2, 0x0b8a2392ba45a9b2}, {0xa7f26836f282b732, 0x8e6cac7768d7141e},
        {0xd1ef0244af2364ff, 0x3207d795430cd926}, {0x8335616aed761f1f, 0x7f44e6bd49e807b8},
        {0xa402b9c5a8d3a6e7, 0x5f16206c9c6209a6}, {0xcd036837130890a1, 0x36dba887c37a8c0f},
        {0x802221226be55a64, 0xc2494954da2c9789}, {0xa02aa96b06deb0fd, 0xf2db9baa10b7bd6c},
        {0xc83553c5c8965d3d, 0x6f92829494e5acc7}, {0xfa42a8b73abbf48c, 0xcb772339ba1f17f9},
        {0x9c69a97284b578d7, 0xff2a760414536efb}, {0xc38413cf25e2d70d, 0xfef5138519684aba},
        {0xf46518c2ef5b8cd1, 0x7eb258665fc25d69}, {0x98bf2f79d5993802, 0xef2f773ffbd97a61},
        {0xbeeefb584aff8603, 0xaafb550ffacfd8fa}, {0xeeaaba2e5dbf6784, 0x95ba2a53f983cf38},
        {0x952ab45cfa97a0b2, 0xdd945a747bf26183}, {0xba756174393d88df, 0x94f971119aeef9e4},
        {0xe912b9d1478ceb17, 0x7a37cd5601aab85d}, {0x91abb422ccb812ee, 0xac62e055c10ab33a},
        {0xb616a12b7fe617aa, 0x577b986b314d6009}, {0xe39c49765fdf9d94, 0xed5a7e85fda0b80b},
        {0x8e41ade9fbebc27d, 0x14588f13be847307}, {0xb1d219647ae6b31c, 0x596eb2d8ae258fc8},
        {0xde469fbd99a05fe3, 0x6fca5f8ed9aef3bb}, {0x8aec23d680043bee, 0x25de7bb9480d5854},
        {0xada72ccc20054ae9, 0xaf561aa79a10ae6a}, {0xd910f7ff28069da4, 0x1b2ba1518094da04},
        {0x87aa9aff79042286, 0x90fb44d2f05d0842}, {0xa99541bf57452b28, 0x353a1607ac744a53},
        {0xd3fa922f2d1675f2, 0x42889b8997915ce8}, {0x847c9b5d7c2e09b7, 0x69956135febada11},
        {0xa59bc234db398c25, 0x43fab9837e699095}, {0xcf02b2c21207ef2e, 0x94f967e45e03f4bb},
        {0x8161afb94b44f57d, 0x1d1be0eebac278f5}, {0xa1ba1ba79e1632dc, 0x6462d92a69731732},
        {0xca28a291859bbf93, 0x7d7b8f7503cfdcfe}, {0xfcb2cb35e702af78, 0x5cda735244c3d43e},
        {0x9defbf01b061adab, 0x3a0888136afa64a7}, {0xc56baec21c7a1916, 0x088aaa1845b8fdd0},
        {0xf6c69a72a3989f5b, 0x8aad549e57273d45}, {0x9a3c2087a63f6399, 0x36ac54e2f678864b},
        {0xc0cb28a98fcf3c7f, 0x84576a1bb416a7dd}, {0xf0fdf2d3f3c30b9f, 0x656d44a2a11c51d5},
        {0x969eb7c47859e743, 0x9f644ae5a4b1b325}, {0xbc4665b596706114, 0x873d5d9f0dde1fee},
        {0xeb57ff22fc0c7959, 0xa90cb506d155a7ea}, {0x9316ff75dd87cbd8, 0x09a7f12442d588f2},
        {0xb7dcbf5354e9bece, 0x0c11ed6d538aeb2f}, {0xe5d3ef282a242e81, 0x8f1668c8a86da5fa},
        {0x8fa475791a569d10, 0xf96e017d694487bc}, {0xb38d92d760ec4455, 0x37c981dcc395a9ac},
        {0xe070f78d3927556a, 0x85bbe253f47b1417}, {0x8c469ab843b89562, 0x93956d7478ccec8e},
        {0xaf58416654a6babb, 0x387ac8d1970027b2}, {0xdb2e51bfe9d0696a, 0x06997b05fcc0319e},
        {0x88fcf317f22241e2, 0x441fece3bdf81f03}, {0xab3c2fddeeaad25a, 0xd527e81cad7626c3},
        {0xd60b3bd56a5586f1, 0x8a71e223d8d3b074}, {0x85c7056562757456, 0xf6872d5667844e49},
        {0xa738c6bebb12d16c, 0xb428f8ac016561db}, {0xd106f86e69d785c7, 0xe13336d701beba52},
        {0x82a45b450226b39c, 0xecc0024661173473}, {0xa34d721642b06084, 0x27f002d7f95d0190},
        {0xcc20ce9bd35c78a5, 0x31ec038df7b441f4}, {0xff290242c83396ce, 0x7e67047175a15271},
        {0x9f79a169bd203e41, 0x0f0062c6e984d386}, {0xc75809c42c684dd1, 0x52c07b78a3e60868},
        {0xf92e0c3537826145, 0xa7709a56ccdf8a82}, {0x9bbcc7a142b17ccb, 0x88a66076400bb691},
        {0xc2abf989935ddbfe, 0x6acff893d00ea435}, {0xf356f7ebf83552fe, 0x0583f6b8c4124d43},
        {0x98165af37b2153de, 0xc3727a337a8b704a}, {0xbe1bf1b059e9a8d6, 0x744f18c0592e4c5c},
        {0xeda2ee1c7064130c, 0x1162def06f79df73}, {0x9485d4d1c63e8be7, 0x8addcb5645ac2ba8},
        {0xb9a74a0637ce2ee1, 0x6d953e2bd7173692}, {0xe8111c87c5c1ba99, 0xc8fa8db6ccdd0437},
        {0x910ab1d4db9914a0, 0x1d9c9892400a22a2}, {0xb54d5e4a127f59c8, 0x2503beb6d00cab4b},
        {0xe2a0b5dc971f303a, 0x2e44ae64840fd61d}, {0x8da471a9de737e24, 0x5ceaecfed289e5d2},
        {0xb10d8e1456105dad, 0x7425a83e872c5f47}, {0xdd50f1996b947518, 0xd12f124e28f77719},
        {0x8a5296ffe33cc92f, 0x82bd6b70d99aaa6f}, {0xace73cbfdc0bfb7b, 0x636cc64d1001550b},
        {0xd8210befd30efa5a, 0x3c47f7e05401aa4e}, {0x8714a775e3e95c78, 0x65acfaec34810a71},
        {0xa8d9d1535ce3b396, 0x7f1839a741a14d0d}, {0xd31045a8341ca07c, 0x1ede48111209a050},
        {0x83ea2b892091e44d, 0x934aed0aab460432}, {0xa4e4b66b68b65d60, 0xf81da84d5617853f},
        {0xce1de40642e3f4b9, 0x36251260ab9d668e}, {0x80d2ae83e9ce78f3, 0xc1d72b7c6b426019},
        {0xa1075a24e4421730, 0xb24cf65b8612f81f}, {0xc94930ae1d529cfc, 0xdee033f26797b627},
        {0xfb9b7cd9a4a7443c, 0x169840ef017da3b1}, {0x9d412e0806e88aa5, 0x8e1f289560ee864e},
        {0xc491798a08a2ad4e, 0xf1a6f2bab92a27e2}, {0xf5b5d7ec8acb58a2, 0xae10af696774b1db},
        {0x9991a6f3d6bf1765, 0xacca6da1e0a8ef29}, {0xbff610b0cc6edd3f, 0x17fd090a58d32af3},
        {0xeff394dcff8a948e, 0xddfc4b4cef07f5b0}, {0x95f83d0a1fb69cd9, 0x4abdaf101564f98e},
        {0xbb764c4ca7a4440f, 0x9d6d1ad41abe37f1}, {0xea53df5fd18d5513, 0x84c86189216dc5ed},
        {0x92746b9be2f8552c, 0x32fd3cf5b4e49bb4}, {0xb7118682dbb66a77, 0x3fbc8c33221dc2a1},
        {0xe4d5e82392a40515, 0x0fabaf3feaa5334a}, {0x8f05b1163ba6832d, 0x29cb4d87f2a7400e},
        {0xb2c71d5bca9023f8, 0x743e20e9ef511012}, {0xdf78e4b2bd342cf6, 0x914da9246b255416},
        {0x8bab8eefb6409c1a, 0x1ad089b6c2f7548e}, {0xae9672aba3d0c320, 0xa184ac2473b529b1},
        {0xda3c0f568cc4f3e8, 0xc9e5d72d90a2741e}, {0x8865899617fb1871, 0x7e2fa67c7a658892},
        {0xaa7eebfb9df9de8d, 0xddbb901b98feeab7}, {0xd51ea6fa85785631, 0x552a74227f3ea565},
        {0x8533285c936b35de, 0xd53a88958f87275f}, {0xa67ff273b8460356, 0x8a892abaf368f137},
        {0xd01fef10a657842c, 0x2d2b7569b0432d85}, {0x8213f56a67f6b29b, 0x9c3b29620e29fc73},
        {0xa298f2c501f45f42, 0x8349f3ba91b47b8f}, {0xcb3f2f7642717713, 0x241c70a936219a73},
        {0xfe0efb53d30dd4d7, 0xed238cd383aa0110}, {0x9ec95d1463e8a506, 0xf4363804324a40aa},
        {0xc67bb4597ce2ce48, 0xb143c6053edcd0d5}, {0xf81aa16fdc1b81da, 0xdd94b7868e94050a},
        {0x9b10a4e5e9913128, 0xca7cf2b4191c8326}, {0xc1d4ce1f63f57d72, 0xfd1c2f611f63a3f0},
        {0xf24a01a73cf2dccf, 0xbc633b39673c8cec}, {0x976e41088617ca01, 0xd5be0503e085d813},
        {0xbd49d14aa79dbc82, 0x4b2d8644d8a74e18}, {0xec9c459d51852ba2, 0xddf8e7d60ed1219e},
        {0x93e1ab8252f33b45, 0xcabb90e5c942b503}, {0xb8da1662e7b00a17, 0x3d6a751f3b936243},
        {0xe7109bfba19c0c9d, 0x0cc512670a783ad4}, {0x906a617d450187e2, 0x27fb2b80668b24c5},
        {0xb484f9dc9641e9da, 0xb1f9f660802dedf6}, {0xe1a63853bbd26451, 0x5e7873f8a0396973},
        {0x8d07e33455637eb2, 0xdb0b487b6423e1e8}, {0xb049dc016abc5e5f, 0x91ce1a9a3d2cda62},
        {0xdc5c5301c56b75f7, 0x7641a140cc7810fb}, {0x89b9b3e11b6329ba, 0xa9e904c87fcb0a9d},
        {0xac2820d9623bf429, 0x546345fa9fbdcd44}, {0xd732290fbacaf133, 0xa97c177947ad4095},
        {0x867f59a9d4bed6c0, 0x49ed8eabcccc485d}, {0xa81f301449ee8c70, 0x5c68f256bfff5a74},
        {0xd226fc195c6a2f8c, 0x73832eec6fff3111}, {0x83585d8fd9c25db7, 0xc831fd53c5ff7eab},
        {0xa42e74f3d032f525, 0xba3e7ca8b77f5e55}, {0xcd3a1230c43fb26f, 0x28ce1bd2e55f35eb},
        {0x80444b5e7aa7cf85, 0x7980d163cf5b81b3}, {0xa0555e361951c366, 0xd7e105bcc332621f},
        {0xc86ab5c39fa63440, 0x8dd9472bf3fefaa7}, {0xfa856334878fc150, 0xb14f98f6f0feb951},
        {0x9c935e00d4b9d8d2, 0x6ed1bf9a569f33d3}, {0xc3b8358109e84f07, 0x0a862f80ec4700c8},
        {0xf4a642e14c6262c8, 0xcd27bb612758c0fa}, {0x98e7e9cccfbd7dbd, 0x8038d51cb897789c},
        {0xbf21e44003acdd2c, 0xe0470a63e6bd56c3}, {0xeeea5d5004981478, 0x1858ccfce06cac74},
        {0x95527a5202df0ccb, 0x0f37801e0c43ebc8}, {0xbaa718e68396cffd, 0xd30560258f54e6ba},
        {0xe950df20247c83fd, 0x47c6b82ef32a2069}, {0x91d28b7416cdd27e, 0x4cdc331d57fa5441},
        {0xb6472e511c81471d, 0xe0133fe4adf8e952}, {0xe3d8f9e563a198e5, 0x58180fddd97723a6},
        {0x8e679c2f5e44ff8f, 0x570f09eaa7ea7648}, {0xb201833b35d63f73, 0x2cd2cc6551e513da},
        {0xde81e40a034bcf4f, 0xf8077f7ea65e58d1}, {0x8b112e86420f6191, 0xfb04afaf27faf782},
        {0xadd57a27d29339f6, 0x79c5db9af1f9b563}, {0xd94ad8b1c7380874, 0x18375281ae7822bc},
        {0x87cec76f1c830548, 0x8f2293910d0b15b5}, {0xa9c2794ae3a3c69a, 0xb2eb3875504ddb22},
        {0xd433179d9c8cb841, 0x5fa60692a46151eb}, {0x849feec281d7f328, 0xdbc7c41ba6bcd333},
        {0xa5c7ea73224deff3, 0x12b9b522906c0800}, {0xcf39e50feae16bef, 0xd768226b34870a00},
        {0x81842f29f2cce375, 0xe6a1158300d46640}, {0xa1e53af46f801c53, 0x60495ae3c1097fd0},
        {0xca5e89b18b602368, 0x385bb19cb14bdfc4}, {0xfcf62c1dee382c42, 0x46729e03dd9ed7b5},
        {0x9e19db92b4e31ba9, 0x6c07a2c26a8346d1}, {0xc5a05277621be293, 0xc7098b7305241885},
        {0xf70867153aa2db38, 0xb8cbee4fc66d1ea7}, {0x9a65406d44a5c903, 0x737f74f1dc043328},
        {0xc0fe908895cf3b44, 0x505f522e53053ff2}, {0xf13e34aabb430a15, 0x647726b9e7c68fef},
        {0x96c6e0eab509e64d, 0x5eca783430dc19f5}, {0xbc789925624c5fe0, 0xb67d16413d132072},
        {0xeb96bf6ebadf77d8, 0xe41c5bd18c57e88f}, {0x933e37a534cbaae7, 0x8e91b962f7b6f159},
        {0xb80dc58e81fe95a1, 0x723627bbb5a4adb0}, {0xe61136f2227e3b09, 0xcec3b1aaa30dd91c},
        {0x8fcac257558ee4e6, 0x213a4f0aa5e8a7b1}, {0xb3bd72ed2af29e1f, 0xa988e2cd4f62d19d},
        {0xe0accfa875af45a7, 0x93eb1b80a33b8605}, {0x8c6c01c9498d8b88, 0xbc72f130660533c3},
        {0xaf87023b9bf0ee6a, 0xeb8fad7c7f8680b4}, {0xdb68c2ca82ed2a05, 0xa67398db9f6820e1},
    };
    assert(n >= power_of_ten_bits_min and n <= power_of_ten_bits_max);
    return table[n - power_of_ten_bits_min];
}

/// power_of_ten_bits(n) holds 10^n with no bits dropped.
inline bool power_of_ten_bits_exact(const int n) noexcept
{
    return n >= 0 and n <= 55; // 5^55 < 2^128 < 5^56
}

/// 10^n for n in [0, 19], all a uint64_t holds.
inline std::uint64_t power_of_ten(const int n) noexcept
{
    static const std::uint64_t table[] = {
        1u, 10u, 100u, 1000u,
        10000u, 100000u, 1000000u, 10000000u,
        100000000u, 1000000000u, 10000000000u, 100000000000u,
        1000000000000u, 10000000000000u, 100000000000000u, 1000000000000000u,
        10000000000000000u, 100000000000000000u, 1000000000000000000u, 10000000000000000000u,
    };
    assert(n >= 0 and n <= 19);
    return table[n];
}

/// The powers of ten that doubles hold exactly.
constexpr int max_exact_power_of_ten = 22;

/// 10^q for q in [0, max_exact_power_of_ten], exactly.
inline double exact_power_of_ten(const int q) noexcept
{
    static const double table[] = {
        1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11,
        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22,
    };
    assert(q >= 0 and q <= max_exact_power_of_ten);
    return table[q];
}

} // namespace detail
} // namespace quarrow

// Exact big-integer arithmetic for the rare numbers the 128-bit estimates leave undecided.


namespace quarrow
{
namespace detail
{

/// An unsigned integer of up to `capacity` 32-bit limbs, least significant
/// first, on the stack: the exact arithmetic for the rare numbers that the
/// 128-bit estimates leave undecided. Enough for 800 digits times 5^1123.
class big_integer
{
  public:
    /// The integer `value`.
    explicit big_integer(const std::uint64_t value) noexcept
        : m_limbs(), m_size(0)
    {
        for (std::uint64_t rest = value; rest != 0; rest >>= 32)
        {
            m_limbs[m_size++] = static_cast<std::uint32_t>(rest);
        }
    }

    /// *this = *this * factor + addend.
    void multiply_add(const std::uint32_t factor, const std::uint32_t addend) noexcept
    {
        std::uint64_t carry = addend;
        for (std::size_t i = 0; i < m_size; ++i)
        {
            const std::uint64_t product = std::uint64_t{m_limbs[i]} * factor + carry;
            m_limbs[i] = static_cast<std::uint32_t>(product);
            carry = product >> 32;
        }
        if (carry != 0)
        {
            push(static_cast<std::uint32_t>(carry));
        }
    }

    /// *this = *this * 5^exponent, exponent >= 0.
    void multiply_by_power_of_five(int exponent) noexcept
    {
        const std::uint32_t five_to_13 = 1220703125; // the largest power of five in 32 bits
        for (; exponent >= 13; exponent -= 13)
        {
            multiply_add(five_to_13, 0);
        }
        std::uint32_t rest = 1;
        for (; exponent > 0; --exponent)
        {
            rest *= 5;
        }
        multiply_add(rest, 0);
    }

    /// *this = *this * 2^bits, bits >= 0.
    void shift_left(const int bits) noexcept
    {
        if (m_size == 0)
        {
            return;
        }
        const std::size_t limbs = static_cast<std::size_t>(bits) / 32;
        const unsigned within = static_cast<unsigned>(bits) % 32;
        if (within != 0)
        {
            std::uint32_t carry = 0;
            for (std::size_t i = 0; i < m_size; ++i)
            {
                const std::uint32_t limb = m_limbs[i];
                m_limbs[i] = (limb << within) | carry;
                carry = limb >> (32 - within);
            }
            if (carry != 0)
            {
                push(carry);
            }
        }
        if (limbs != 0)
        {
            assert(m_size + limbs <= capacity);
            std::copy_backward(m_limbs, m_limbs + m_size, m_limbs + m_size + limbs);
            std::fill(m_limbs, m_limbs + limbs, 0u);
            m_size += limbs;
        }
    }

    /// Negative, zero or positive as a is less than, equal to or greater than b.
    friend int compare(const big_integer& a, const big_integer& b) noexcept
    {
        if (a.m_size != b.m_size)
        {
            return a.m_size < b.m_size ? -1 : 1;
        }
        for (std::size_t i = a.m_size; i-- > 0;)
        {
            if (a.m_limbs[i] != b.m_limbs[i])
            {
                return a.m_limbs[i] < b.m_limbs[i] ? -1 : 1;
            }
        }
        return 0;
    }

  private:
    void push(const std::uint32_t limb) noexcept
    {
        assert(m_size < capacity);
        m_limbs[m_size++] = limb;
    }

    static constexpr std::size_t capacity = 96;
    std::uint32_t m_limbs[capacity];
    std::size_t m_size;
};

/// The sign of left * 10^ten_exponent - right * 2^two_exponent, computed
/// exactly; left and right are scaled in the process.
inline int compare_scaled(big_integer& left, const int ten_exponent, big_integer& right,
                          const int two_exponent) noexcept
{
    // 10^j = 5^j * 2^j: the fives go to the side whose exponent is not negative,
    // then the smaller power of two cancels.
    if (ten_exponent >= 0)
    {
        left.multiply_by_power_of_five(ten_exponent);
    }
    else
    {
        right.multiply_by_power_of_five(-ten_exponent);
    }
    if (ten_exponent > two_exponent)
    {
        left.shift_left(ten_exponent - two_exponent);
    }
    else
    {
        right.shift_left(two_exponent - ten_exponent);
    }
    return compare(left, right);
}

} // namespace detail

} // namespace quarrow

// Reading numbers: decimal text to the nearest double, exactly and without the C library.


namespace quarrow
{
namespace detail
{

/// Decimal number text to the nearest double, without allocating and without
/// the C library, whose conversions follow the C locale's decimal point.
namespace decimal
{

constexpr std::uint64_t infinity_bits = std::uint64_t{0x7FF} << 52;
constexpr std::uint64_t hidden_bit = std::uint64_t{1} << 52;

/// The bits of the double nearest to x * 2^scale, ties to even, where x's
/// top bit is bit 190 or 191; infinity's bits beyond the largest finite double.
/// Ordered like the values, so it grows with x. `uncertain` tells whether a
/// number up to `slack` units of x.high above x might round otherwise.
inline std::uint64_t round_to_double(const uint192& x, const int scale, const std::uint64_t slack,
                                     bool& uncertain) noexcept
{
    uncertain = false;
    const int top = 191 - count_leading_zeros(x.high);
    assert(top >= 190);
    const int exponent = top + scale; // x * 2^scale is in [2^exponent, 2^(exponent + 1))
    if (exponent > 1023)
    {
        return infinity_bits;
    }
    // Bits below `shift` are rounded off: 53 bits stay in a normal number,
    // fewer below 2^-1022, where the last bit is worth 2^-1074.
    const int shift = exponent >= -1022 ? top - 52 : -1074 - scale;
    if (shift > 192)
    {
        return 0; // below half the smallest subnormal
    }
    const int in_high = shift - 128; // the kept bits are all in x.high
    assert(in_high >= 10);
    const std::uint64_t kept = in_high < 64 ? x.high >> in_high : 0;
    const std::uint64_t half = std::uint64_t{1} << (in_high - 1);
    const std::uint64_t below_half = x.high & (half - 1);
    const bool above_half = (x.high & half) != 0;
    const bool below_is_zero = below_half == 0 and x.middle == 0 and x.low == 0;
    const bool round_up = above_half and (not below_is_zero or (kept & 1) != 0);
    // A larger number rounds otherwise if it reaches the next half, or if
    // this one is a tie rounded down.
    uncertain = slack != 0 and (below_half + slack >= half or (above_half and below_is_zero));
    const std::uint64_t mantissa = kept + (round_up ? 1u : 0u);
    if (exponent < -1022)
    {
        return mantissa; // a subnormal, or the smallest normal when rounding carried into bit 52
    }
    // The hidden bit adds one to the exponent field; a carry into bit 53 adds another.
    return (static_cast<std::uint64_t>(exponent + 1022) << 52) + mantissa;
}

/// A number's significant digits: from the first nonzero digit to the end of
/// the mantissa, perhaps with the decimal point among them.
struct digit_run
{
    const char* first;
    const char* last;
};

// Beyond this many significant digits only whether the rest is all zeros can
// matter: a halfway point between two doubles has at most 768.
constexpr std::int64_t max_exact_digits = 800;

/// Compares the number digits * 10^(magnitude - count of digits) with the
/// halfway point halfway_mantissa * 2^halfway_exponent: negative, zero or
/// positive as the number is below, at or above it.
inline int compare_with_halfway(const digit_run digits, const std::int64_t magnitude,
                                const std::uint64_t halfway_mantissa, const int halfway_exponent) noexcept
{
    big_integer number(0);
    std::int64_t count = 0;
    std::uint32_t chunk = 0;
    std::uint32_t chunk_scale = 1;
    bool nonzero_rest = false;
    for (const char* p = digits.first; p != digits.last; ++p)
    {
        if (*p == '.')
        {
            continue;
        }
        if (count == max_exact_digits)
        {
            nonzero_rest = nonzero_rest or *p != '0';
            continue;
        }
        chunk = chunk * 10 + static_cast<std::uint32_t>(*p - '0');
        chunk_scale *= 10;
        ++count;
        if (chunk_scale == 1000000000)
        {
            number.multiply_add(chunk_scale, chunk);
            chunk = 0;
            chunk_scale = 1;
        }
    }
    number.multiply_add(chunk_scale, chunk);

    // number * 10^q against halfway_mantissa * 2^halfway_exponent.
    big_integer halfway(halfway_mantissa);
    const int order = compare_scaled(number, static_cast<int>(magnitude - count), halfway, halfway_exponent);
    return order == 0 and nonzero_rest ? 1 : order;
}

/// The bits of the double nearest to the number, given that they are
/// `candidate` or the next double up: decided exactly at the halfway point
/// between the two.
inline std::uint64_t decide_exactly(const digit_run digits, const std::int64_t magnitude,
                                    const std::uint64_t candidate) noexcept
{
    const std::uint64_t exponent_field = candidate >> 52;
    const std::uint64_t fraction = candidate & (hidden_bit - 1);
    const std::uint64_t mantissa = exponent_field == 0 ? fraction : fraction | hidden_bit;
    const int exponent = exponent_field == 0 ? -1074 : static_cast<int>(exponent_field) - 1075;
    const int order = compare_with_halfway(digits, magnitude, 2 * mantissa + 1, exponent - 1);
    const bool up = order > 0 or (order == 0 and (mantissa & 1) != 0);
    return candidate + (up ? 1u : 0u);
}

// When the compiler evaluates double arithmetic in double, one multiplication
// or division of exact operands rounds correctly (not so with x87's wider registers).
#if defined(FLT_EVAL_METHOD) && FLT_EVAL_METHOD == 0
constexpr bool exact_double_arithmetic = std::numeric_limits<double>::is_iec559;
#else
constexpr bool exact_double_arithmetic = false;
#endif

// Exponents beyond this stay here while they are read; far smaller ones
// already decide the result, and digit counts added to it cannot overflow.
constexpr std::int64_t exponent_limit = std::int64_t{1} << 40;

/// How many of the 8 bytes, from the first on, are '0' to '9'. A byte xor
/// '0' is below 10 just for digits; adding 0x76 sets its top bit from 10 on
/// (a carry out of a byte reaches only bytes after a non-digit).
inline int leading_digit_count(const std::uint64_t bytes) noexcept
{
    const std::uint64_t values = bytes ^ 0x3030303030303030u;
    const std::uint64_t non_digits = ((values + 0x7676767676767676u) | values) & 0x8080808080808080u;
    return non_digits == 0 ? 8 : static_cast<int>(zero_bytes_first(non_digits));
}

/// The value of 8 digit bytes: neighbouring digits combine into pairs, pairs
/// into fours, fours into the eight, each step one multiplication that adds a
/// lane times its weight to the lane above.
inline std::uint64_t eight_digits_value(std::uint64_t bytes) noexcept
{
    bytes = ((bytes & 0x0F0F0F0F0F0F0F0Fu) * (10 * 256 + 1)) >> 8;
    bytes = ((bytes & 0x00FF00FF00FF00FFu) * (100 * 65536 + 1)) >> 16;
    return ((bytes & 0x0000FFFF0000FFFFu) * (10000 * (std::uint64_t{1} << 32) + 1)) >> 32;
}

/// Takes the digits at the cursor one at a time: into `leading` while
/// `taken` stays at most 19, after that only whether one is not 0.
template<typename Cursor>
QUARROW_ALWAYS_INLINE inline void take_digits_one_by_one(Cursor& in, std::uint64_t& leading, int& taken,
                                                         bool& truncated)
{
    for (int c = in.peek(); is_digit(c); c = in.peek())
    {
        if (taken < 19)
        {
            leading = leading * 10 + static_cast<std::uint64_t>(c - '0');
            ++taken;
        }
        else
        {
            truncated = truncated or c != '0';
        }
        in.take();
    }
}

/// A number's bytes in memory, [first, last), as scan_number takes them.
/// Offsets count from first.
class memory_cursor
{
  public:
    memory_cursor(const char* const first_byte, const char* const last_byte) noexcept
        : first(first_byte), next(first_byte), last(last_byte)
    {}

    int peek() const noexcept
    {
        return next != last ? static_cast<unsigned char>(*next) : -1;
    }

    void take() noexcept
    {
        ++next;
    }

    /// take_digits_one_by_one, eight bytes at a time while any digits among
    /// them still fit.
    QUARROW_ALWAYS_INLINE void take_digits(std::uint64_t& leading, int& taken, bool& truncated) noexcept
    {
        while (last - next >= 8 and taken <= 19 - 8)
        {
            const std::uint64_t bytes = eight_bytes(next);
            const int count = leading_digit_count(bytes);
            if (count == 8)
            {
                leading = leading * 100000000 + eight_digits_value(bytes);
                taken += 8;
                next += 8;
                continue;
            }
            taken += count;
            if (count < 4)
            {
                // Few digits, as before most decimal points: cheaper one at a time.
                for (const char* const end = next + count; next != end; ++next)
                {
                    leading = leading * 10 + static_cast<std::uint64_t>(*next - '0');
                }
                return;
            }
            // Shifted up, the digits keep their order and zeros lead them.
            const int shift = 64 - 8 * count;
            leading = leading * power_of_ten(count) + eight_digits_value(bytes << shift);
            next += count; // a byte that is not a digit ends them
            return;
        }
        take_digits_one_by_one(*this, leading, taken, truncated);
    }

    std::ptrdiff_t offset() const noexcept
    {
        return next - first;
    }

    const char* at(const std::ptrdiff_t offset_from_first) const noexcept
    {
        return first + offset_from_first;
    }

    const char* position() const noexcept
    {
        return next;
    }

  private:
    const char* first;
    const char* next;
    const char* last;
};

/// What a number's text says, read once: its first 19 significant digits,
/// whether a nonzero digit follows them, and its order of magnitude.
struct number_parts
{
    std::uint64_t leading;
    int taken; // digits in leading
    bool truncated;
    bool negative;
    std::int64_t magnitude; // the number is below 10^magnitude and at least a tenth of it
    digit_run digits;
};

#if defined(QUARROW_SSE2) && defined(__x86_64__)
/// Reads the common measure or coordinate, at least 32 bytes readable from
/// p: a sign, 1 to 3 integer digits not led by 0, and 8 to 16 fraction
/// digits, with no exponent. The fraction is read in one 16-byte load and
/// taken as 16 digits, trailing zeros added, so the number is always
/// leading * 10^-16. Returns its end, or nullptr for any other number.
QUARROW_ALWAYS_INLINE inline const char* scan_long_fraction(const char* p, std::uint64_t& leading,
                                                              bool& negative) noexcept
{
    negative = *p == '-';
    const char* const first = p + (negative ? 1 : 0);
    const auto digit = [first](const int i) { return static_cast<unsigned char>(first[i] - '0'); };
    const unsigned int d0 = digit(0);
    const unsigned int d1 = digit(1);
    const unsigned int d2 = digit(2);
    // Settled before any digit is taken, so that integers leave at once.
    const int whole = d1 > 9 ? 1 : d2 > 9 ? 2 : 3;
    if (first[whole] != '.' or d0 - 1 > 8)
    {
        return nullptr;
    }
    const unsigned int integer = whole == 1 ? d0 : whole == 2 ? d0 * 10 + d1 : d0 * 100 + d1 * 10 + d2;
    const char* const fraction = first + whole + 1;
    const __m128i digits = _mm_sub_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(fraction)), _mm_set1_epi8('0'));
    const __m128i is_digit_lane = _mm_cmpeq_epi8(_mm_min_epu8(digits, _mm_set1_epi8(9)), digits);
    const auto lanes = static_cast<unsigned int>(_mm_movemask_epi8(is_digit_lane));
    const int count = count_trailing_zeros(~lanes); // bit 16 on: at most 16
    const char* const end = fraction + count;
    if (count < 8 or is_digit(*end) or (*end | 0x20) == 'e')
    {
        return nullptr;
    }
    // Lanes past the digits to zero, then digits paired, pairs into fours,
    // fours into eights, each step one multiplication and addition of lanes.
    static const unsigned char ones_then_zeros[32] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                                      0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    const __m128i kept =
        _mm_and_si128(digits, _mm_loadu_si128(reinterpret_cast<const __m128i*>(ones_then_zeros + 16 - count)));
    const __m128i pairs = _mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(kept, _mm_set1_epi16(0xFF)), _mm_set1_epi16(10)),
                                        _mm_srli_epi16(kept, 8));
    const __m128i fours = _mm_madd_epi16(pairs, _mm_set1_epi32(1 << 16 | 100));
    const __m128i eights = _mm_madd_epi16(_mm_packs_epi32(fours, fours), _mm_set1_epi32(1 << 16 | 10000));
    const auto both = static_cast<std::uint64_t>(_mm_cvtsi128_si64(eights));
    const std::uint64_t sixteen = (both & 0xFFFFFFFFu) * 100000000 + (both >> 32);
    leading = std::uint64_t{integer} * 10000000000000000u + sixteen;
    return end;
}
#endif

/// The JSON number grammar, in the one place it is written: reads the
/// number at the cursor (memory_cursor, or the reader's own for bytes taken
/// one at a time) into its parts, so that the text is read once. True with
/// the cursor past the number; false with it at the byte where a digit was
/// expected. `integral` tells whether the number has neither fraction nor
/// exponent.
template<typename Cursor>
QUARROW_ALWAYS_INLINE inline bool scan_number(Cursor& in, number_parts& parts, bool& integral)
{
    // In locals, which the compiler keeps in registers.
    std::uint64_t leading = 0;
    int taken = 0;
    bool truncated = false;
    const bool negative = in.peek() == '-';
    integral = true;
    if (negative)
    {
        in.take();
    }
    if (not is_digit(in.peek()))
    {
        return false;
    }
    std::ptrdiff_t first_digit = 0;
    if (in.peek() == '0')
    {
        in.take();
        first_digit = in.offset(); // no digit may follow a leading 0
    }
    else
    {
        first_digit = in.offset();
        in.take_digits(leading, taken, truncated);
    }
    std::int64_t magnitude = in.offset() - first_digit;
    if (in.peek() == '.')
    {
        integral = false;
        in.take();
        if (not is_digit(in.peek()))
        {
            return false;
        }
        if (taken == 0)
        {
            const std::ptrdiff_t zeros = in.offset();
            while (in.peek() == '0')
            {
                in.take();
            }
            magnitude -= in.offset() - zeros;
            first_digit = in.offset();
        }
        in.take_digits(leading, taken, truncated);
    }
    const std::ptrdiff_t last_digit = in.offset();
    if (in.peek() == 'e' or in.peek() == 'E')
    {
        integral = false;
        in.take();
        const bool negative_exponent = in.peek() == '-';
        if (in.peek() == '-' or in.peek() == '+')
        {
            in.take();
        }
        if (not is_digit(in.peek()))
        {
            return false;
        }
        std::int64_t exponent = 0;
        for (int c = in.peek(); is_digit(c); c = in.peek())
        {
            exponent = exponent < exponent_limit ? exponent * 10 + (c - '0') : exponent;
            in.take();
        }
        magnitude += negative_exponent ? -exponent : exponent;
    }
    parts = {leading, taken, truncated, negative, magnitude, {in.at(first_digit), in.at(last_digit)}};
    return true;
}

/// The integer that an integral number's parts hold, when it fits an
/// unsigned type of `bits` bits (at most 64); false otherwise.
inline bool integer_value(const number_parts& parts, const int bits, std::uint64_t& value) noexcept
{
    // leading holds 19 digits at most; a 20th can still fit 64 bits.
    std::uint64_t magnitude = parts.leading;
    if (parts.magnitude > 20)
    {
        return false;
    }
    if (parts.magnitude == 20)
    {
        const auto last = static_cast<std::uint64_t>(parts.digits.last[-1] - '0');
        if (magnitude > (std::numeric_limits<std::uint64_t>::max() - last) / 10)
        {
            return false;
        }
        magnitude = magnitude * 10 + last;
    }
    if (bits < 64 and magnitude >> (bits % 64) != 0)
    {
        return false;
    }
    value = magnitude;
    return true;
}

/// The bits of the double nearest to the number `parts` describes, given
/// `lower`, its product with the power of ten rounded down, and `bits`, what
/// that rounds to, which a number a little above it might not. Out of line,
/// as it is rarely needed and would keep the common path's values in memory.
QUARROW_NOINLINE inline std::uint64_t settle_rounding(const number_parts& parts, const uint192& lower,
                                                        const std::uint64_t bits) noexcept
{
    const int q = static_cast<int>(parts.magnitude) - parts.taken;
    const int zeros = count_leading_zeros(parts.leading);
    const std::uint64_t normalized = parts.leading << zeros;
    const uint128& power = power_of_ten_bits(q);
    const int scale = floor_log2_pow10(q) - 127 - zeros;
    uint192 upper = lower;
    if (not power_of_ten_bits_exact(q))
    {
        upper = add(upper, uint192{0, 0, normalized});
    }
    if (parts.truncated)
    {
        const std::uint64_t unit = std::uint64_t{1} << zeros;
        const uint192 shifted = {zeros == 0 ? 0 : power.high >> (64 - zeros),
                                 (power.high << zeros) | (zeros == 0 ? 0 : power.low >> (64 - zeros)),
                                 power.low << zeros};
        upper = add(upper, shifted);
        upper = add(upper, uint192{0, 0, power_of_ten_bits_exact(q) ? 0 : unit});
    }
    bool uncertain = false;
    if (bits == round_to_double(upper, scale, 0, uncertain))
    {
        return bits;
    }
    // The bounds are closer than half a unit in the last place, so one
    // halfway point at most lies between them.
    return decide_exactly(parts.digits, parts.magnitude, bits);
}

/// The bits of the double nearest to normalized * power * 2^scale, where
/// both factors have their top bit set and `power` is a power of ten's
/// leading bits, from the first 64 bits of their product alone: false unless
/// those settle it. They most often do, for a normal double whose rounding
/// `slack` cannot change: as round_to_double, with the top bit of the 192-bit
/// product at 190 or 191 and the 53 kept bits all in its high word. That is
/// the high word here, or one more where the product with the power's low
/// word carries, so one more unit of slack lets the second multiplication
/// wait for the rare numbers that need it.
QUARROW_ALWAYS_INLINE inline bool round_from_high_word(const std::uint64_t normalized, const std::uint64_t power,
                                                        const int scale, const std::uint64_t slack,
                                                        std::uint64_t& bits) noexcept
{
    const uint128 lead = multiply(normalized, power);
    const int top = 190 + static_cast<int>(lead.high >> 63);
    const int exponent = top + scale;
    const int in_high = top - 180;
    const std::uint64_t half = std::uint64_t{1} << (in_high - 1);
    const std::uint64_t below_half = lead.high & (half - 1);
    const std::uint64_t round_up = (lead.high >> (in_high - 1)) & 1;
    // Above a halfway point, the number stays below the next one; below it,
    // it may reach it; on it, it may be a tie. The slack counts only below
    // (masked, not branched on: which side is as good as random).
    const std::uint64_t slack_below = (slack + 1) & (round_up - 1);
    if (exponent < -1022 or exponent > 1023 or below_half == 0 or below_half + slack_below >= half)
    {
        return false;
    }
    bits = (static_cast<std::uint64_t>(exponent + 1022) << 52) + (lead.high >> in_high) + round_up;
    return true;
}

/// The double nearest to the number `parts` describes, as text_to_double.
QUARROW_ALWAYS_INLINE inline bool parts_to_double(const number_parts& parts, double& result) noexcept
{
    const std::uint64_t leading = parts.leading;
    const int taken = parts.taken;
    const bool truncated = parts.truncated;
    const std::int64_t magnitude = parts.magnitude;
    const double sign = parts.negative ? -1.0 : 1.0;

    if (leading == 0)
    {
        result = sign * 0.0;
        return true;
    }
    if (magnitude > 309)
    {
        return false; // at least 10^309
    }
    if (magnitude < -323)
    {
        result = sign * 0.0; // below 10^-324, under half the smallest subnormal
        return true;
    }
    const int q = static_cast<int>(magnitude) - taken; // the number is (leading + rest) * 10^q, 0 <= rest < 1

    if (exact_double_arithmetic and not truncated and leading <= (std::uint64_t{1} << 53) and
        q >= -max_exact_power_of_ten and q <= max_exact_power_of_ten)
    {
        const double exact = static_cast<double>(leading);
        result = sign * (q < 0 ? exact / exact_power_of_ten(-q) : exact * exact_power_of_ten(q));
        return true;
    }

    // The number is (leading + rest) * 5^q * 2^q: in 192 bits, lower times a
    // power of two, rounded down. The digits left out and the bits of 5^q the
    // table drops each add less than one unit to a factor, so the number lies
    // below a bound a few units of lower.high above lower (see settle_rounding).
    const int zeros = count_leading_zeros(leading);
    const std::uint64_t normalized = leading << zeros;
    const uint128& power = power_of_ten_bits(q); // the leading bits of 5^q, too
    const int scale = floor_log2_pow10(q) - 127 - zeros;
    const bool exact = power_of_ten_bits_exact(q) and not truncated;
    const std::uint64_t slack = exact ? 0 : 2 + (truncated ? std::uint64_t{1} << zeros : 0);
    std::uint64_t bits = 0;
    if (not round_from_high_word(normalized, power.high, scale, slack, bits))
    {
        const uint192 lower = multiply(normalized, power);
        bool uncertain = false;
        bits = round_to_double(lower, scale, slack, uncertain);
        if (uncertain)
        {
            bits = settle_rounding(parts, lower, bits);
        }
    }
    if (bits == infinity_bits)
    {
        return false;
    }
    double magnitude_value;
    std::memcpy(&magnitude_value, &bits, sizeof magnitude_value);
    result = sign * magnitude_value;
    return true;
}

} // namespace decimal

/// The double nearest to the number text [first, last), ties to even, as strtod gives in the C locale;
/// false (result untouched) when its magnitude is beyond the largest finite double.
/// [first,last) is already validated by the JSON grammar: '-'? digits ('.' digits)? ([eE] [+-]? digits)?
/// Out of line, so that the reader's common path, which falls back on it, stays small.
QUARROW_NOINLINE inline bool text_to_double(const char* first, const char* last, double& result) noexcept
{
    assert(first != last);
    decimal::number_parts parts{}; // zeroed: the compiler cannot see that valid text sets every part
    bool integral = false;
    decimal::memory_cursor text(first, last);
    const bool valid = decimal::scan_number(text, parts, integral);
    assert(valid and text.position() == last);
    static_cast<void>(valid);
    return decimal::parts_to_double(parts, result);
}

#if defined(QUARROW_SSE2) && defined(__x86_64__)
/// The double nearest to the number [first, last) that
/// decimal::scan_long_fraction read as `leading` and `negative`:
/// leading * 10^-16 is in [1, 1000), so always normal and finite, and
/// 10^-16 is inexact (two units of slack).
QUARROW_ALWAYS_INLINE inline double long_fraction_to_double(const char* const first, const char* const last,
                                                             const std::uint64_t leading, const bool negative) noexcept
{
    const int zeros = count_leading_zeros(leading);
    std::uint64_t bits = 0;
    if (not decimal::round_from_high_word(leading << zeros, power_of_ten_bits(-16).high,
                                          floor_log2_pow10(-16) - 127 - zeros, 2, bits))
    {
        double result = 0;
        text_to_double(first, last, result);
        return result;
    }
    bits |= static_cast<std::uint64_t>(negative) << 63;
    double result;
    std::memcpy(&result, &bits, sizeof result);
    return result;
}
#endif

} // namespace detail
} // namespace quarrow

// The reader's inputs: bytes in memory, a stream buffer, or input iterators.


namespace quarrow
{
namespace detail
{

/// Skips space, tab, CR and LF, counting each LF as the end of a line:
/// `line_start` becomes the offset of the byte after it.
template<typename Input>
void skip_whitespace_bytes(Input& input, std::size_t& line, std::size_t& line_start)
{
    for (;;)
    {
        const int c = input.peek();
        if (c == ' ' or c == '\t' or c == '\r')
        {
            input.advance();
        }
        else if (c == '\n')
        {
            input.advance();
            ++line;
            line_start = input.offset();
        }
        else
        {
            return;
        }
    }
}

/// Bytes in memory: the fast input, whose numbers are converted in place.
class memory_input
{
  public:
    /// The bytes [first, last).
    memory_input(const char* first, const char* last) noexcept
        : begin_byte(first), next_byte(first), end_byte(last)
    {}

    static constexpr bool contiguous = true;

    /// The next byte, 0 to 255, or -1 at the end.
    int peek() const noexcept
    {
        return next_byte != end_byte ? static_cast<unsigned char>(*next_byte) : -1;
    }

    void advance(std::size_t count = 1) noexcept
    {
        next_byte += count;
    }

    /// Offset of the next byte from the start.
    std::size_t offset() const noexcept
    {
        return static_cast<std::size_t>(next_byte - begin_byte);
    }

    const char* position() const noexcept
    {
        return next_byte;
    }

    /// The end of the bytes.
    const char* end() const noexcept
    {
        return end_byte;
    }

    /// Whether the bytes from here start with the `length` bytes at word,
    /// four at a time: for a constant word, a load and a comparison each.
    bool starts_with(const char* const word, const std::size_t length) const noexcept
    {
        if (static_cast<std::size_t>(end_byte - next_byte) < length)
        {
            return false;
        }
        std::size_t i = 0;
        for (; length - i >= 4; i += 4)
        {
            std::uint32_t have = 0;
            std::uint32_t want = 0;
            std::memcpy(&have, next_byte + i, 4);
            std::memcpy(&want, word + i, 4);
            if (have != want)
            {
                return false;
            }
        }
        for (; i != length; ++i)
        {
            if (next_byte[i] != word[i])
            {
                return false;
            }
        }
        return true;
    }

    /// Steps over a space followed by a byte that is neither whitespace nor
    /// the start of a comment, the most common whitespace after a colon.
    bool skip_single_space() noexcept
    {
        if (end_byte - next_byte >= 2 and *next_byte == ' ' and static_cast<unsigned char>(next_byte[1]) > ' ' and
            next_byte[1] != '/')
        {
            ++next_byte;
            return true;
        }
        return false;
    }

    /// Whether the next bytes are a comma and the first of a number.
    bool comma_then_number() const noexcept
    {
        return end_byte - next_byte >= 2 and *next_byte == ',' and
               (is_digit(next_byte[1]) or next_byte[1] == '-');
    }

    /// skip_whitespace_bytes, spaces eight or sixteen at a time.
    void skip_whitespace(std::size_t& line, std::size_t& line_start) noexcept
    {
        if (next_byte != end_byte and static_cast<unsigned char>(*next_byte) > ' ')
        {
            return; // most often no whitespace at all, with the rest kept out of the caller
        }
        skip_whitespace_run(line, line_start);
    }

    /// skip_whitespace from a byte that may be whitespace.
    void skip_whitespace_run(std::size_t& line, std::size_t& line_start) noexcept
    {
        const char* p = next_byte;
        while (p != end_byte)
        {
            if (*p == '\n')
            {
                // Most often a line break and the indent of the next line.
                ++p;
                ++line;
                line_start = static_cast<std::size_t>(p - begin_byte);
                p += space_run(p);
            }
            else if (*p == ' ')
            {
                p += end_byte - p >= 2 and static_cast<unsigned char>(p[1]) > ' ' ? 1 : space_run(p);
            }
            else if (*p == '\t' or *p == '\r')
            {
                ++p;
            }
            else
            {
                break;
            }
        }
        next_byte = p;
    }

    /// How many bytes from here a string takes as they are: printable ASCII
    /// other than the quotation mark and the backslash, and whole valid
    /// UTF-8 sequences. The byte-by-byte path deals with everything else.
    QUARROW_ALWAYS_INLINE std::size_t plain_run() const noexcept
    {
        const char* p = next_byte;
        for (;;)
        {
#if defined(QUARROW_SSE2)
            if (end_byte - p >= 16)
            {
                const unsigned int special = special_bytes_16(p);
                if (special == 0)
                {
                    p += 16;
                    continue;
                }
                p += count_trailing_zeros(special);
            }
            else
#endif
            if (end_byte - p >= 8)
            {
                const std::uint64_t special = special_bytes(p);
                if (special == 0)
                {
                    p += 8;
                    continue;
                }
                p += zero_bytes_first(special);
            }
            else
            {
                while (p != end_byte and is_plain_ascii(static_cast<unsigned char>(*p)))
                {
                    ++p;
                }
                if (p == end_byte)
                {
                    break;
                }
            }
            if (static_cast<unsigned char>(*p) < 0x80)
            {
                break;
            }
            // Most other scripts take several sequences in a row.
            const char* const run_end = utf8_run(p);
            if (run_end == p)
            {
                break;
            }
            p = run_end;
        }
        return static_cast<std::size_t>(p - next_byte);
    }

  private:
    /// How many spaces start the bytes at p, eight at a time where lines are indented.
    std::size_t space_run(const char* const p) const noexcept
    {
        const char* q = p;
#if defined(QUARROW_SSE2)
        for (; end_byte - q >= 16; q += 16)
        {
            const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
            const int spaces = _mm_movemask_epi8(_mm_cmpeq_epi8(x, _mm_set1_epi8(' ')));
            const unsigned int others = ~static_cast<unsigned int>(spaces) & 0xFFFF;
            if (others != 0)
            {
                return static_cast<std::size_t>(q - p) + static_cast<std::size_t>(count_trailing_zeros(others));
            }
        }
#endif
        for (; end_byte - q >= 8; q += 8)
        {
            const std::uint64_t others = eight_bytes(q) ^ 0x2020202020202020u; // zero for a space
            if (others != 0)
            {
                return static_cast<std::size_t>(q - p) + zero_bytes_first(others);
            }
        }
        while (q != end_byte and *q == ' ')
        {
            ++q;
        }
        return static_cast<std::size_t>(q - p);
    }

    /// The 8 bytes at p with the top bit set in each that is not printable
    /// ASCII other than '"' and '\\', and in no byte before the first such.
    static std::uint64_t special_bytes(const char* p) noexcept
    {
        return string_special_bytes(eight_bytes(p), ~std::uint64_t{0});
    }

#if defined(QUARROW_SSE2)
    /// special_bytes for the 16 bytes at p, a bit for each byte: a signed
    /// comparison with 0x20 flags the control bytes and those from 0x80 on.
    static unsigned int special_bytes_16(const char* p) noexcept
    {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i flagged = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(x, _mm_set1_epi8('"')),
                                                          _mm_cmpeq_epi8(x, _mm_set1_epi8('\\'))),
                                             _mm_cmplt_epi8(x, _mm_set1_epi8(0x20)));
        return static_cast<unsigned int>(_mm_movemask_epi8(flagged));
    }
#endif

    /// Printable ASCII other than '"' and '\\': a string's byte as it is.
    static bool is_plain_ascii(const unsigned char c) noexcept
    {
        return c >= 0x20 and c < 0x80 and c != '"' and c != '\\';
    }

    /// The end of the valid UTF-8 sequences from p on, up to the first byte
    /// below 0x80 or the first that breaks the rules. Where four bytes can
    /// be read, a sequence is checked in one load: the continuation bytes by
    /// masks, and what excludes overlong forms, surrogates and code points
    /// above U+10FFFF by the lead byte and the second byte alone.
    const char* utf8_run(const char* p) const noexcept
    {
        while (end_byte - p >= 4)
        {
            if (end_byte - p >= 8 and two_unlimited_three_byte_sequences(eight_bytes(p)))
            {
                p += 6;
                continue;
            }
            const unsigned char* const u = reinterpret_cast<const unsigned char*>(p);
            const std::uint32_t w = std::uint32_t{u[0]} | std::uint32_t{u[1]} << 8 | std::uint32_t{u[2]} << 16 |
                                    std::uint32_t{u[3]} << 24;
            const std::uint32_t lead = w & 0xFF;
            const std::uint32_t second = (w >> 8) & 0xFF;
            if ((w & 0xC0C0F0) == 0x8080E0)
            {
                // Three bytes: E0 needs A0 on (shorter forms exist), ED below A0 (surrogates).
                if ((lead == 0xE0 and second < 0xA0) or (lead == 0xED and second >= 0xA0))
                {
                    return p;
                }
                p += 3;
            }
            else if ((w & 0xC0E0) == 0x80C0)
            {
                if (lead < 0xC2)
                {
                    return p; // C0 and C1 only start overlong forms
                }
                p += 2;
            }
            else if ((w & 0xC0C0C0F8) == 0x808080F0)
            {
                // Four bytes: F0 needs 90 on, F4 below 90, nothing above F4.
                if (lead > 0xF4 or (lead == 0xF0 and second < 0x90) or (lead == 0xF4 and second >= 0x90))
                {
                    return p;
                }
                p += 4;
            }
            else
            {
                return p; // ASCII, or a sequence that breaks the rules
            }
        }
        while (p != end_byte and static_cast<unsigned char>(*p) >= 0x80)
        {
            const std::size_t length = utf8_length(p);
            if (length == 0)
            {
                break;
            }
            p += length;
        }
        return p;
    }

    /// Whether the bytes start with two three-byte sequences whose leads are
    /// neither E0 nor ED, the two that limit the second byte; most text in
    /// Chinese or Japanese is such pairs.
    static bool two_unlimited_three_byte_sequences(const std::uint64_t bytes) noexcept
    {
        const unsigned int unlimited = 0xDFFE; // a bit for each lead's low half but 0 and D
        return (bytes & 0xC0C0F0C0C0F0u) == 0x8080E08080E0u and
               ((unlimited >> (bytes & 0xF)) & (unlimited >> ((bytes >> 24) & 0xF)) & 1) != 0;
    }

    /// The length of the valid UTF-8 sequence at p, 0 if there is none.
    std::size_t utf8_length(const char* const p) const noexcept
    {
        return utf8_sequence_length(p, end_byte);
    }

    const char* begin_byte;
    const char* next_byte;
    const char* end_byte;
};

/// What the inputs read a byte at a time share: a count of the bytes taken,
/// and no bytes in memory for the parser's fast paths to run over.
template<typename Input>
class byte_at_a_time_input
{
  public:
    static constexpr bool contiguous = false;

    std::size_t offset() const noexcept
    {
        return count;
    }

    const char* position() const noexcept
    {
        return nullptr;
    }

    std::size_t plain_run() const noexcept
    {
        return 0;
    }

    bool starts_with(const char* /*word*/, std::size_t /*length*/) const noexcept
    {
        return false;
    }

    bool skip_single_space() noexcept
    {
        return false;
    }

    bool comma_then_number() const noexcept
    {
        return false;
    }

    void advance(std::size_t /*unused*/) noexcept
    {}

    void skip_whitespace(std::size_t& line, std::size_t& line_start)
    {
        skip_whitespace_bytes(static_cast<Input&>(*this), line, line_start);
    }

  protected:
    std::size_t count = 0;
};

/// A stream buffer, read through sgetc and sbumpc so that nothing past the
/// last byte the parse needs is taken from it. It notes in a report what the
/// stream's state bits need afterwards: whether the end was seen, and whether
/// an exception came from the buffer rather than from the parse.
class stream_input : public byte_at_a_time_input<stream_input>
{
  public:
    struct report
    {
        bool end = false;          // sgetc gave eof
        bool buffer_threw = false; // an exception came from sgetc or sbumpc
    };

    stream_input(std::streambuf& buffer, report& notes) noexcept
        : source(&buffer), noted(&notes)
    {}

    using byte_at_a_time_input<stream_input>::advance;

    int peek() const
    {
        const auto c = from_buffer(false);
        if (c == std::char_traits<char>::eof())
        {
            noted->end = true;
            return -1;
        }
        return c;
    }

    void advance()
    {
        from_buffer(true);
        ++count;
    }

  private:
    /// sbumpc when take, else sgetc. The try costs nothing until one throws,
    /// but left to themselves compilers would call this once a byte.
    QUARROW_ALWAYS_INLINE std::char_traits<char>::int_type from_buffer(const bool take) const
    {
#if defined(__cpp_exceptions) || defined(__EXCEPTIONS)
        try
        {
            return take ? source->sbumpc() : source->sgetc();
        }
        catch (...)
        {
            noted->buffer_threw = true;
            throw;
        }
#else
        return take ? source->sbumpc() : source->sgetc();
#endif
    }

    std::streambuf* source;
    report* noted;
};

/// Any input iterators over char, signed char or unsigned char.
template<typename Iterator>
class iterator_input : public byte_at_a_time_input<iterator_input<Iterator>>
{
  public:
    iterator_input(Iterator first, Iterator last)
        : next_byte(std::move(first)), end_byte(std::move(last))
    {}

    using byte_at_a_time_input<iterator_input<Iterator>>::advance;

    int peek() const
    {
        return next_byte != end_byte ? static_cast<unsigned char>(*next_byte) : -1;
    }

    void advance()
    {
        ++next_byte;
        ++this->count;
    }

  private:
    Iterator next_byte;
    Iterator end_byte;
};

} // namespace detail
} // namespace quarrow

// The reader: bytes checked against the JSON grammar of RFC 8259, without recursion, reported as events.


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

// The handler that builds a value from the reader's events.


namespace quarrow
{
namespace detail
{

/// The handler that builds a value: each object is made in its place in the
/// tree as it opens; an array's elements wait on a stack shared by all open
/// arrays, and it is made whole as it closes, in one allocation of its size.
template<typename BasicJsonType>
class value_builder
{
    using object_t = typename BasicJsonType::object_t;
    using array_t = typename BasicJsonType::array_t;
    using string_t = typename BasicJsonType::string_t;

  public:
    value_builder(BasicJsonType& result, const duplicate_key_policy policy_) noexcept
        : policy(policy_), slot(&result)
    {}

    /// True when the parse stopped at a key the reject policy refused.
    bool duplicate_key() const noexcept
    {
        return duplicate;
    }

    bool null_value()
    {
        return scalar();
    }

    bool boolean_value(const typename BasicJsonType::boolean_t b)
    {
        return scalar(b);
    }

    bool integer_value(const typename BasicJsonType::number_integer_t n)
    {
        return scalar(n);
    }

    bool unsigned_value(const typename BasicJsonType::number_unsigned_t n)
    {
        return scalar(n);
    }

    QUARROW_ALWAYS_INLINE bool float_value(const typename BasicJsonType::number_float_t x)
    {
        return scalar(x);
    }

    /// Copied, not moved: the copy is one allocation of the exact size,
    /// and the parser's buffer keeps its capacity for the next string.
    bool string_value(string_t& s)
    {
        place(static_cast<const string_t&>(s));
        return true;
    }

    /// A string value from its bytes.
    bool string_value(const char* first, const std::size_t length)
    {
        if (next != destination::nowhere)
        {
            BasicJsonType value(detail::value_t::string);
            value.template get_ref<string_t&>().assign(first, length);
            place(std::move(value));
        }
        else
        {
            skip();
        }
        return true;
    }

    bool object_key(string_t& key)
    {
        // The key is copied, so it is still there for the message of 104.
        return add_key(static_cast<const string_t&>(key));
    }

    /// A key from its bytes.
    bool object_key(const char* first, const std::size_t length)
    {
        return add_key(first, length);
    }

    bool begin_object()
    {
        return begin(detail::value_t::object);
    }

    bool begin_array()
    {
        return begin(detail::value_t::array);
    }

    bool end_object()
    {
        if (next == destination::nowhere)
        {
            return end_dropped();
        }
        next = open.back().target != nullptr ? destination::slot : destination::elements;
        open.pop_back();
        return true;
    }

    /// The array made whole from its elements, in one allocation of its size.
    QUARROW_ALWAYS_INLINE bool end_array()
    {
        if (next == destination::nowhere)
        {
            return end_dropped();
        }
        const level& closing = open.back();
        const std::size_t first = closing.first;
        BasicJsonType* const target = closing.target;
        open.pop_back();
        next = target != nullptr ? destination::slot : destination::elements;
        array_t items(std::make_move_iterator(elements.at(first)), std::make_move_iterator(elements.end()));
        elements.drop_moved(first);
        if (target != nullptr)
        {
            *target = BasicJsonType(std::move(items));
        }
        else
        {
            elements.push(std::move(items)); // made in place, where its first element was
        }
        return true;
    }

    /// Whether the reject policy refuses the key in the innermost object,
    /// as object_key would; the parse is then to stop there.
    bool refuses_key(const string_t& key)
    {
        duplicate = policy == duplicate_key_policy::reject and next != destination::nowhere and
                    open.back().object->find(key) != open.back().object->end();
        return duplicate;
    }

    /// Ends the innermost array or object and drops it, so that it leaves no
    /// trace: the member of `key` in the enclosing object, the element of
    /// the enclosing array, or the root, which becomes null.
    bool end_and_drop(const string_t& key)
    {
        if (next == destination::nowhere)
        {
            return end_dropped(); // dropped by the policy already
        }
        const level closing = open.back();
        open.pop_back();
        if (closing.object == nullptr)
        {
            elements.destroy_from(closing.first);
        }
        if (closing.target == nullptr)
        {
            if (closing.object != nullptr)
            {
                elements.destroy_from(elements.size() - 1); // the object, made on the stack as it opened
            }
            next = destination::elements;
            return true;
        }
        next = destination::slot;
        if (open.empty())
        {
            *closing.target = BasicJsonType();
        }
        else
        {
            open.back().object->erase(key);
        }
        return true;
    }

  private:
    /// A member with a key made from `key` and a null value, as the policy says.
    template<typename... Key>
    bool add_key(Key&&... key)
    {
        if (next == destination::nowhere)
        {
            return true;
        }
        object_t& object = *open.back().object;
        const auto inserted = object.emplace(std::piecewise_construct, std::forward_as_tuple(std::forward<Key>(key)...),
                                             std::forward_as_tuple());
        slot = &inserted.first->second;
        if (inserted.second)
        {
            return true;
        }
        switch (policy)
        {
            case duplicate_key_policy::last_wins:
                *slot = BasicJsonType();
                break;
            case duplicate_key_policy::first_wins:
                next = destination::nowhere;
                break;
            case duplicate_key_policy::reject:
                duplicate = true;
                return false;
        }
        return true;
    }

    /// A scalar made from `native` (null from nothing) where it goes.
    template<typename... Native>
    QUARROW_ALWAYS_INLINE bool scalar(const Native... native)
    {
        place(native...);
        return true;
    }

    /// Where a value goes, made there from `args`: an open array's elements
    /// or `slot`, the root or the member whose key came last; null for a
    /// value that is dropped. The address is good until the next value.
    template<typename... Args>
    QUARROW_ALWAYS_INLINE BasicJsonType* place(Args&&... args)
    {
        if (next == destination::elements)
        {
            return elements.push(std::forward<Args>(args)...);
        }
        if (next == destination::slot)
        {
            *slot = BasicJsonType(std::forward<Args>(args)...);
            return slot;
        }
        skip();
        return nullptr;
    }

    /// A dropped scalar, or a dropped array or object closing: once the
    /// whole dropped value is read, values go to the object's members again.
    void skip() noexcept
    {
        if (skipped_depth == 0)
        {
            next = destination::slot;
        }
    }

    bool begin(const detail::value_t kind)
    {
        if (next == destination::nowhere)
        {
            ++skipped_depth;
            return true;
        }
        if (kind == detail::value_t::array)
        {
            open.push_back({nullptr, elements.size(), next == destination::slot ? slot : nullptr});
            next = destination::elements;
            return true;
        }
        // The map stays where it is while its value moves on the stack.
        object_t* const object = place(BasicJsonType(kind))->template get_ptr<object_t*>();
        open.push_back({object, 0, next == destination::slot ? slot : nullptr});
        next = destination::slot;
        return true;
    }

    /// An array or object inside a dropped value closing.
    bool end_dropped() noexcept
    {
        --skipped_depth;
        skip();
        return true;
    }

    /// The elements of the open arrays, in storage of its own so that a push
    /// is a bounds check and a construction in place, and the moved-from
    /// elements of a closed array leave without a destructor call each.
    class element_stack
    {
      public:
        element_stack() = default;
        element_stack(const element_stack&) = delete;
        element_stack& operator=(const element_stack&) = delete;

        ~element_stack()
        {
            release();
        }

        /// The element made from `args` on top. Throws std::bad_alloc and
        /// what the construction throws; the stack is then as it was.
        template<typename... Args>
        QUARROW_ALWAYS_INLINE BasicJsonType* push(Args&&... args)
        {
            if (top == limit)
            {
                grow();
            }
            traits::construct(alloc, top, std::forward<Args>(args)...);
            return top++;
        }

        std::size_t size() const noexcept
        {
            return static_cast<std::size_t>(top - base);
        }

        BasicJsonType* at(const std::size_t index) const noexcept
        {
            return base + index;
        }

        BasicJsonType* end() const noexcept
        {
            return top;
        }

        /// Removes the elements from `index` on, which were all moved from:
        /// a moved-from value is null and owns nothing, so its storage is
        /// reused without its destructor being run.
        void drop_moved(const std::size_t index) noexcept
        {
            top = base + index;
        }

        /// Destroys the elements from `index` on.
        void destroy_from(const std::size_t index) noexcept
        {
            while (size() != index)
            {
                traits::destroy(alloc, --top);
            }
        }

      private:
        using allocator = allocator_for<BasicJsonType, BasicJsonType>;
        using traits = std::allocator_traits<allocator>;

        /// Destroys every element and gives the storage back.
        void release() noexcept
        {
            while (top != base)
            {
                traits::destroy(alloc, --top);
            }
            if (base != nullptr)
            {
                traits::deallocate(alloc, base, static_cast<std::size_t>(limit - base));
            }
        }

        /// Twice the room, the elements moved there. Out of line: it is rare.
        QUARROW_NOINLINE void grow()
        {
            const std::size_t count = size();
            const std::size_t capacity = count == 0 ? 64 : 2 * count;
            BasicJsonType* const room = traits::allocate(alloc, capacity);
            for (std::size_t i = 0; i != count; ++i)
            {
                traits::construct(alloc, room + i, std::move(base[i]));
            }
            release();
            base = room;
            top = room + count;
            limit = room + capacity;
        }

        allocator alloc;
        BasicJsonType* base = nullptr;
        BasicJsonType* top = nullptr;
        BasicJsonType* limit = nullptr;
    };

    /// Where the next value goes: one test per value on the way there.
    enum class destination : unsigned char
    {
        slot,     // the root, or the member whose key came last
        elements, // the innermost open array's elements
        nowhere   // dropped: the value of a key the first_wins policy refused, with what it holds
    };

    /// An open array or object.
    struct level
    {
        object_t* object;      // null for an array
        std::size_t first;     // where an array's elements start on `elements`
        BasicJsonType* target; // its slot (an array is made there as it closes); null in an array
    };

    const duplicate_key_policy policy;
    vector_for<BasicJsonType, level> open;
    element_stack elements; // of the open arrays, the innermost last
    BasicJsonType* slot;    // the root, then the member whose value comes next
    destination next = destination::slot;
    std::size_t skipped_depth = 0; // open arrays and objects inside a dropped value
    bool duplicate = false;
};

} // namespace detail
} // namespace quarrow

// The handler that builds a value from the reader's events, keeping only what a filter keeps.


namespace quarrow
{
namespace detail
{

/// The value builder behind a filter: a scalar is offered to the filter
/// before it is built, an array or object as it opens and once it is built;
/// what the filter drops never reaches the builder, or leaves it at once.
/// Its own stack holds, for each open array or object, its kind, the index
/// of its next element and the key it stands under, so nothing recurses.
template<typename BasicJsonType, typename Filter>
class filter_builder
{
    using string_t = typename BasicJsonType::string_t;

  public:
    filter_builder(BasicJsonType& result, const duplicate_key_policy policy, Filter& keep_) noexcept
        : built(result, policy), keep(&keep_)
    {}

    /// True when the parse stopped at a key the reject policy refused.
    bool duplicate_key() const noexcept
    {
        return built.duplicate_key();
    }

    bool null_value()
    {
        return scalar(value_t::null, [&] { return built.null_value(); });
    }

    bool boolean_value(const typename BasicJsonType::boolean_t b)
    {
        return scalar(value_t::boolean, [&] { return built.boolean_value(b); });
    }

    bool integer_value(const typename BasicJsonType::number_integer_t n)
    {
        return scalar(value_t::number_integer, [&] { return built.integer_value(n); });
    }

    bool unsigned_value(const typename BasicJsonType::number_unsigned_t n)
    {
        return scalar(value_t::number_unsigned, [&] { return built.unsigned_value(n); });
    }

    bool float_value(const typename BasicJsonType::number_float_t x)
    {
        return scalar(value_t::number_float, [&] { return built.float_value(x); });
    }

    /// A dropped string was only read into the reader's buffer.
    bool string_value(string_t& s)
    {
        return scalar(value_t::string, [&] { return built.string_value(s); });
    }

    /// Kept until the member's value is offered; the buffer keeps its room.
    /// A key the reject policy refuses stops the parse here, as without a filter.
    bool object_key(string_t& k)
    {
        if (dropped_depth != 0)
        {
            return true;
        }
        key = k;
        return not built.refuses_key(key);
    }

    bool begin_object()
    {
        return begin(value_t::object);
    }

    bool begin_array()
    {
        return begin(value_t::array);
    }

    bool end_object()
    {
        return end(value_t::object);
    }

    bool end_array()
    {
        return end(value_t::array);
    }

  private:
    /// An open array or object that is kept.
    struct level
    {
        bool object;
        std::size_t index;     // of its next element
        std::size_t key_start; // where the key it stands under starts in `keys`
    };

    /// What the filter is told of the value at the current place.
    filter_event event(const filter_stage stage, const value_t kind) const noexcept
    {
        filter_event e{stage, kind, levels.size(), nullptr, 0};
        if (not levels.empty())
        {
            if (levels.back().object)
            {
                e.key = &key;
            }
            else
            {
                e.index = levels.back().index;
            }
        }
        return e;
    }

    /// What becomes of a value that starts here.
    enum class offered
    {
        kept,    // built; a member has its key
        dropped, // by the filter
        inside   // inside a dropped value: the filter is not asked
    };

    offered offer(const value_t kind)
    {
        if (dropped_depth != 0)
        {
            return offered::inside;
        }
        const bool opens = kind == value_t::object or kind == value_t::array;
        if (not(*keep)(event(opens ? filter_stage::opened : filter_stage::completed, kind)))
        {
            return offered::dropped;
        }
        if (not levels.empty() and levels.back().object)
        {
            built.object_key(key); // true: a key the policy refuses stopped the parse at the key
        }
        return offered::kept;
    }

    /// A scalar that build makes, if it is kept.
    template<typename Build>
    bool scalar(const value_t kind, Build build)
    {
        switch (offer(kind))
        {
            case offered::kept:
                return build() and next();
            case offered::dropped:
                return next();
            default:
                return true;
        }
    }

    /// The next element's index, after a value of an array is read or dropped.
    bool next() noexcept
    {
        if (not levels.empty())
        {
            ++levels.back().index;
        }
        return true;
    }

    bool begin(const value_t kind)
    {
        switch (offer(kind))
        {
            case offered::kept:
                break;
            case offered::dropped:
                dropped_depth = 1;
                return true;
            default:
                ++dropped_depth;
                return true;
        }
        const std::size_t key_start = keys.size();
        if (not levels.empty() and levels.back().object)
        {
            keys += key;
        }
        levels.push_back({kind == value_t::object, 0, key_start});
        return kind == value_t::object ? built.begin_object() : built.begin_array();
    }

    bool end(const value_t kind)
    {
        if (dropped_depth != 0)
        {
            --dropped_depth;
            return dropped_depth != 0 or next();
        }
        const std::size_t key_start = levels.back().key_start;
        levels.pop_back();
        key.assign(keys, key_start, string_t::npos);
        keys.resize(key_start);
        const bool kept = (*keep)(event(filter_stage::completed, kind));
        if (not kept)
        {
            return built.end_and_drop(key) and next();
        }
        return (kind == value_t::object ? built.end_object() : built.end_array()) and next();
    }

    value_builder<BasicJsonType> built;
    Filter* keep;
    vector_for<BasicJsonType, level> levels;
    string_t key;  // of the member whose value comes next
    string_t keys; // the keys the open levels stand under, one after another
    std::size_t dropped_depth = 0; // open arrays and objects of a dropped value
};

} // namespace detail
} // namespace quarrow

// The reading functions behind parse, accept and parse_events.


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

// Writing numbers: integers, and a double's 15-digit or shortest decimal, exact, locale-free, without allocating.


namespace quarrow
{
namespace detail
{

/// floor(t * log10(2)), exact for |t| < 1100 (tests/powers_of_ten.py checks it).
inline int floor_log10_pow2(const int t) noexcept
{
    // The offset keeps what is shifted non-negative, so the shift rounds down.
    assert(t > -1100 and t < 1100);
    return ((t * 78913 + (400 << 18)) >> 18) - 400;
}

/// The sign of a * 10^j - b * 2^f, computed exactly.
inline int compare_exact(const std::uint64_t a, const int j, const std::uint64_t b, const int f) noexcept
{
    big_integer left(a);
    big_integer right(b);
    return compare_scaled(left, j, right, f);
}

/// Two decimal digits for each number below 100.
inline const char* digit_pairs() noexcept
{
    return "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
           "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
           "8081828384858687888990919293949596979899";
}

/// Writes the two digits of n < 100.
inline void write_pair(char* const out, const std::uint32_t n) noexcept
{
    std::memcpy(out, digit_pairs() + 2 * n, 2);
}

/// Writes the eight digits of n < 10^8.
inline void write_eight(char* const out, const std::uint32_t n) noexcept
{
    // n / 10^6 in fixed point with 32 fraction bits, from above: t exceeds
    // n * 2^32 / 10^6 by at most 1 + 10^8 / 2^16 < 2^32 / 10^6, so each
    // integer part read off and each fraction times 100 hold the next pair.
    // The fraction after pair j + 1 is fraction * 100^j modulo 2^32, each
    // found straight from it rather than from the one before.
    const std::uint64_t t = ((n * std::uint64_t{281474977}) >> 16) + 1; // 281474977 = ceil(2^48 / 10^6)
    const std::uint64_t mask = 0xFFFFFFFFu;
    const std::uint64_t fraction = t & mask;
    write_pair(out, static_cast<std::uint32_t>(t >> 32));
    write_pair(out + 2, static_cast<std::uint32_t>((fraction * 100) >> 32));
    write_pair(out + 4, static_cast<std::uint32_t>((((fraction * 100) & mask) * 100) >> 32));
    write_pair(out + 6, static_cast<std::uint32_t>((((fraction * 10000) & mask) * 100) >> 32));
}

/// Writes the four digits of n < 10^4.
inline void write_four_digits(char* const first, const std::uint32_t n) noexcept
{
    write_pair(first, n / 100);
    write_pair(first + 2, n % 100);
}

/// The decimal digits of n < 10^4 with no leading zero; returns the end.
inline char* up_to_four_digits(char* const first, const std::uint32_t n) noexcept
{
    if (n < 100)
    {
        if (n < 10)
        {
            *first = static_cast<char>('0' + n);
            return first + 1;
        }
        write_pair(first, n);
        return first + 2;
    }
    if (n < 1000)
    {
        *first = static_cast<char>('0' + n / 100);
        write_pair(first + 1, n % 100);
        return first + 3;
    }
    write_four_digits(first, n);
    return first + 4;
}

/// The decimal digits of n < 10^8 with no leading zero; returns the end.
inline char* leading_digits(char* const first, const std::uint32_t n) noexcept
{
    if (n < 10000)
    {
        return up_to_four_digits(first, n);
    }
    char* const rest = up_to_four_digits(first, n / 10000);
    write_four_digits(rest, n % 10000);
    return rest + 4;
}

/// n in decimal at first; returns the end. Cut into pieces of eight
/// digits, each written with 32-bit arithmetic, two digits a store.
inline char* unsigned_text(char* first, const unsigned long long n) noexcept
{
    const unsigned long long eight_digits = 100000000;
    if (n < eight_digits)
    {
        return leading_digits(first, static_cast<std::uint32_t>(n));
    }
    const unsigned long long high = n / eight_digits;
    const auto low = static_cast<std::uint32_t>(n - high * eight_digits);
    if (high < eight_digits)
    {
        first = leading_digits(first, static_cast<std::uint32_t>(high));
    }
    else
    {
        first = leading_digits(first, static_cast<std::uint32_t>(high / eight_digits));
        write_eight(first, static_cast<std::uint32_t>(high % eight_digits));
        first += 8;
    }
    write_eight(first, low);
    return first + 8;
}

template<typename NumberType, enable_if_t<std::is_signed<NumberType>::value, int> = 0>
inline bool is_negative(const NumberType x) noexcept
{
    return x < 0;
}

template<typename NumberType, enable_if_t<std::is_unsigned<NumberType>::value, int> = 0>
inline bool is_negative(const NumberType /*unused*/) noexcept
{
    return false;
}

/// x in decimal at first, which has room for a sign and 20 digits; returns
/// the end.
template<typename NumberType>
char* integer_text(char* first, const NumberType x) noexcept
{
    // The magnitude in unsigned arithmetic, so the most negative number needs no case of its own.
    auto magnitude = static_cast<unsigned long long>(x);
    if (is_negative(x))
    {
        *first++ = '-';
        magnitude = 0 - magnitude;
    }
    return unsigned_text(first, magnitude);
}

/// Writes the p (15, 16 or 17) digits of digits, the first not 0, to out + 1
/// to out + p, each straight to its place; out[0] may take a '0' as well.
inline void write_significand(char* const out, const std::uint64_t digits, const int p) noexcept
{
    std::uint64_t high = digits / 100000000u;
    const std::uint64_t low = digits - high * 100000000u;
    if (p == 17)
    {
        const std::uint64_t first = high / 100000000u;
        out[1] = static_cast<char>('0' + first);
        high -= first * 100000000u;
    }
    // Of fifteen digits the first block holds seven, after a '0' at out[0].
    write_eight(out + p - 15, static_cast<std::uint32_t>(high));
    write_eight(out + p - 7, static_cast<std::uint32_t>(low));
}

/// How many zeros end v, not 0, below 10^8.
inline int decimal_zeros(const std::uint32_t v) noexcept
{
    // Each test on its own rather than one after another: the seven take
    // less time side by side than three halving steps in a row.
    return (v % 10u == 0 ? 1 : 0) + (v % 100u == 0 ? 1 : 0) + (v % 1000u == 0 ? 1 : 0) +
           (v % 10000u == 0 ? 1 : 0) + (v % 100000u == 0 ? 1 : 0) + (v % 1000000u == 0 ? 1 : 0) +
           (v % 10000000u == 0 ? 1 : 0);
}

/// How many of the 15 digits of digits remain without the trailing zeros.
inline int significant_digits(const std::uint64_t digits) noexcept
{
    // The first seven digits are not all zeros, the last eight may be.
    const std::uint64_t high = digits / 100000000u;
    const auto low = static_cast<std::uint32_t>(digits - high * 100000000u);
    return low == 0 ? 7 - decimal_zeros(static_cast<std::uint32_t>(high)) : 15 - decimal_zeros(low);
}

/// Writes 'e', the sign and at least two digits of exponent. Returns the end.
inline char* write_exponent(char* out, const int exponent) noexcept
{
    *out++ = 'e';
    *out++ = exponent < 0 ? '-' : '+';
    auto magnitude = static_cast<std::uint32_t>(exponent < 0 ? -exponent : exponent);
    if (magnitude >= 100)
    {
        *out++ = static_cast<char>('0' + magnitude / 100);
        magnitude %= 100;
    }
    write_pair(out, magnitude);
    return out + 2;
}

/// Copies the count bytes at from to `to`, where sizeof(Word) <= count <=
/// 2 * sizeof(Word): two overlapping words, both read before either is
/// stored, so the ranges may overlap.
template<typename Word>
void copy_as_two_words(char* const to, const char* const from, const int count) noexcept
{
    Word first;
    Word last;
    std::memcpy(&first, from, sizeof(Word));
    std::memcpy(&last, from + count - static_cast<int>(sizeof(Word)), sizeof(Word));
    std::memcpy(to, &first, sizeof(Word));
    std::memcpy(to + count - static_cast<int>(sizeof(Word)), &last, sizeof(Word));
}

/// Moves the count (1 to 16) bytes at from one place left, to from - 1.
inline void move_left(char* const from, const int count) noexcept
{
    char* const to = from - 1;
    if (count >= 8)
    {
        copy_as_two_words<std::uint64_t>(to, from, count);
    }
    else if (count >= 4)
    {
        copy_as_two_words<std::uint32_t>(to, from, count);
    }
    else if (count >= 2)
    {
        copy_as_two_words<std::uint16_t>(to, from, count);
    }
    else
    {
        *to = *from;
    }
}

/// Writes digits * 10^(exponent - p + 1), p (15, 16 or 17) digits the first
/// of which is not 0 and count the significant ones (no zeros follow them),
/// as "%.15g" lays a number out, after '-' when negative, with ".0" after a
/// number with neither '.' nor exponent. Returns the end; may write up to 32 bytes.
inline char* write_decimal(char* out, const bool negative, const std::uint64_t digits, const int p,
                           const int count, const int exponent) noexcept
{
    // The sign is stored either way, and kept only when it counts.
    *out = '-';
    out += negative ? 1 : 0;
    // Below 1 (and from 10^-4) the digits follow "0." and zeros, whose fourth
    // is overwritten or past the end; otherwise they go one place right, and
    // those before the point back.
    const bool below_one = exponent < 0 and exponent >= -4;
    std::memcpy(out, "0.0000", 6);
    write_significand(below_one ? out - exponent : out, digits, p);
    if (below_one)
    {
        out[1] = '.';
        return out + 1 - exponent + count;
    }
    if (exponent < -4 or exponent >= 15)
    {
        out[0] = out[1];
        out[1] = '.';
        return write_exponent(out + count + (count > 1 ? 1 : 0), exponent);
    }
    // The integer part has no more than p digits, zeros where count ends.
    const int integer_digits = exponent + 1;
    move_left(out + 1, integer_digits);
    if (count <= integer_digits)
    {
        std::memcpy(out + integer_digits, ".0", 2);
        return out + integer_digits + 2;
    }
    out[integer_digits] = '.';
    return out + count + 1;
}

/// The least integer not below a / 2^64.
inline std::uint64_t ceiling(const uint128 a) noexcept
{
    return a.high + (a.low != 0 ? 1u : 0u);
}

/// a >> shift, shift in [1, 127].
inline uint128 shift_right(const uint128 a, const int shift) noexcept
{
    if (shift < 64)
    {
        return {a.high >> shift, (a.high << (64 - shift)) | (a.low >> shift)};
    }
    return {0, a.high >> (shift - 64)};
}

/// a - b, which the callers know cannot wrap.
inline uint128 uint128_minus(const uint128 a, const uint128 b) noexcept
{
    return {a.high - b.high - (a.low < b.low ? 1u : 0u), a.low - b.low};
}

/// The decimal digits of a positive finite double x = m * 2^e. It scales x
/// to Y = x * 10^-k in [10^16, 10^17) and keeps floor(Y * 2^64) from a
/// 128-bit power of ten, which is below the exact value by less than 2 (and
/// so may fall a hair outside that range, which the rounding absorbs). Only
/// where that leaves a rounding or a bound undecided does it compute exactly.
class digit_search
{
  public:
    /// x from its bits, sign cleared, not 0.
    explicit digit_search(const std::uint64_t bits) noexcept
    {
        const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
        const int biased_exponent = static_cast<int>(bits >> 52);
        int top_bit = 52;
        if (biased_exponent == 0)
        {
            m_significand = fraction;
            m_exponent = -1074;
            while ((fraction >> top_bit) == 0)
            {
                --top_bit;
            }
        }
        else
        {
            m_significand = fraction | (std::uint64_t{1} << 52);
            m_exponent = biased_exponent - 1075;
        }
        // At a power of two the next double down is nearer than the next one up.
        m_narrow_below = fraction == 0 and biased_exponent > 1;

        // 10^q <= 2^(e + top_bit) <= x < 10^(q + 2), so Y lands in [10^16, 10^18).
        // With its top bit moved to bit 63, m needs one shift of its product
        // with the power, the same way for every double (tests/powers_of_ten.py checks it).
        const std::uint64_t normalized = m_significand << (63 - top_bit);
        m_scale = floor_log10_pow2(m_exponent + top_bit) - 16;
        m_scaled = scaled(normalized, 126 - top_bit);
        if (m_scaled.high >= power_of_ten(17))
        {
            ++m_scale;
            m_scaled = scaled(normalized, 126 - top_bit);
        }
    }

    /// Y rounded to p digits (1 to 17), to nearest and ties to even, as a
    /// p-digit number; 10^p when the rounding carries.
    std::uint64_t rounded(const int p) const noexcept
    {
        const std::uint64_t unit = power_of_ten(17 - p);
        const std::uint64_t digits = m_scaled.high / unit;
        // Twice what is cut off, in units: an integer part and 64 bits of fraction.
        const std::uint64_t twice_rest = 2 * (m_scaled.high % unit) + (m_scaled.low >> 63);
        const std::uint64_t fraction = m_scaled.low << 1;
        // The exact value is above by less than 4 of fraction's units: only
        // just below the midpoint, or on it, is the rounding undecided.
        // (Tested without a branch but the rare one: for 17 digits half the
        // texts have twice_rest == unit - 1.)
        if (((twice_rest == unit - 1) & (fraction >= ~std::uint64_t{0} - 3)) | ((twice_rest == unit) & (fraction == 0)))
        {
            // Compare 2x with twice the midpoint, (2 * digits + 1) * 10^(k + 17 - p).
            const int midpoint = compare_exact(2 * digits + 1, m_scale + 17 - p, m_significand, m_exponent + 1);
            return digits + (midpoint < 0 or (midpoint == 0 and digits % 2 == 1) ? 1 : 0);
        }
        return digits + (twice_rest >= unit ? 1 : 0);
    }

    /// Prepares side() and below_upper(): the bounds of the numbers that read back as x.
    /// Forced inline: -O2 keeps it a call, a few percent of writing canada.json.
    QUARROW_ALWAYS_INLINE void find_bounds() noexcept
    {
        // Half the gap to each neighbour, scaled as Y is by a shift of the
        // power alone: at most 1 + 2^-9 below the exact value.
        const uint128& power = power_of_ten_bits(-m_scale);
        const int shift = 64 - floor_log2_pow10(-m_scale) - m_exponent;
        assert(shift >= 9 and shift < 127);
        const uint128 half_gap = shift_right(power, shift);
        // The upper bound lies in [upper, upper + 3), the lower in (lower, lower + 4).
        uint128 upper = uint128_plus(m_scaled, half_gap.low);
        upper.high += half_gap.high;
        const uint128 lower_gap = m_narrow_below ? shift_right(power, shift + 1) : half_gap;
        const uint128 lower = uint128_minus(uint128_minus(m_scaled, lower_gap), {0, 2});
        m_upper_near = ceiling(upper);
        m_upper_far = ceiling(uint128_plus(upper, 4));
        m_lower_far = ceiling(lower);
        m_lower_near = ceiling(uint128_plus(lower, 4));
    }

    /// The largest p-digit number whose value, digits * 10^(k + 17 - p), is
    /// not surely above the numbers that read back as x: the one among them,
    /// if any, when they span less than 10^(17 - p) of Y's units.
    std::uint64_t below_upper(const int p) const noexcept
    {
        return (m_upper_far - 1) / power_of_ten(17 - p);
    }

    /// Where digits * 10^(k + 17 - p) lies: -1 below the numbers that read
    /// back as x, 0 among them, 1 above them. The bounds between x and its
    /// neighbours read back as x when its significand is even.
    int side(const std::uint64_t digits, const int p) const noexcept
    {
        // As an integer of Y's units, the value is compared exactly only
        // within a few 2^-64 of a bound, that is almost never.
        const std::uint64_t candidate = digits * power_of_ten(17 - p);
        int above = candidate >= m_upper_far ? 1 : -1;
        if (candidate >= m_upper_near and candidate < m_upper_far)
        {
            above = compare_exact(digits, m_scale + 17 - p, 4 * m_significand + 2, m_exponent - 2);
        }
        int below = candidate < m_lower_far ? -1 : 1;
        if (candidate >= m_lower_far and candidate < m_lower_near)
        {
            below = compare_exact(digits, m_scale + 17 - p, 4 * m_significand - (m_narrow_below ? 1 : 2),
                                  m_exponent - 2);
        }
        const bool even = m_significand % 2 == 0;
        if (above > 0 or (above == 0 and not even))
        {
            return 1;
        }
        return below < 0 or (below == 0 and not even) ? -1 : 0;
    }

    /// Whether the next double down is nearer than the next one up.
    bool narrow_below() const noexcept
    {
        return m_narrow_below;
    }

    /// Writes digits, a p-digit result of rounded(), below_upper() or side(),
    /// as write_decimal does. Returns the end.
    char* write(char* const out, const bool negative, const std::uint64_t digits, const int p) const noexcept
    {
        if (digits == power_of_ten(p))
        {
            return write_decimal(out, negative, power_of_ten(14), 15, 1, m_scale + 17);
        }
        // Sixteen and seventeen digits come only where no shorter decimal
        // reads back, so without trailing zeros; fewer are written as fifteen.
        if (p >= 16)
        {
            return write_decimal(out, negative, digits, p, p, m_scale + 16);
        }
        const std::uint64_t fifteen = digits * power_of_ten(15 - p);
        return write_decimal(out, negative, fifteen, 15, significant_digits(fifteen), m_scale + 16);
    }

  private:
    /// floor(Y * 2^64) for v = m * 2^(126 - top_shift): floor(v * power / 2^(64 + shift)).
    /// The truncated power costs at most v / 2^(64 + shift) < 2^-6 of it, the floor below 1.
    uint128 scaled(const std::uint64_t v, const int top_shift) const noexcept
    {
        const int n = -m_scale;
        const uint128& power = power_of_ten_bits(n);
        const uint128 low = multiply(v, power.low);
        const uint128 high = multiply(v, power.high);
        const std::uint64_t w1 = high.low + low.high;
        const std::uint64_t w2 = high.high + (w1 < low.high ? 1u : 0u);
        const int shift = top_shift - m_exponent - floor_log2_pow10(n) - 64;
        assert(shift > 0 and shift < 64);
        return {w2 >> shift, (w2 << (64 - shift)) | (w1 >> shift)};
    }

    std::uint64_t m_significand = 0; // m
    int m_exponent = 0;              // e
    bool m_narrow_below = false;
    int m_scale = 0;    // k
    uint128 m_scaled{}; // floor(Y * 2^64)
    // After find_bounds(), in Y's units: integers below m_upper_near are below
    // the upper bound, from m_upper_far on above it; below m_lower_far they are
    // below the lower bound, from m_lower_near on above it.
    std::uint64_t m_upper_near = 0;
    std::uint64_t m_upper_far = 0;
    std::uint64_t m_lower_far = 0;
    std::uint64_t m_lower_near = 0;
};

/// The bits of x without its sign, and whether the sign was set.
inline std::uint64_t magnitude_bits(const double x, bool& negative) noexcept
{
    static_assert(std::numeric_limits<double>::is_iec559 and sizeof(double) == sizeof(std::uint64_t),
                  "doubles are IEEE 754 binary64");
    std::uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    negative = (bits >> 63) != 0;
    return bits & ~(std::uint64_t{1} << 63);
}

/// Finite x as JSON number text, byte for byte what the stream writer writes: at most 15 significant
/// digits exactly as snprintf("%.15g") in the C locale, "0.0" or "-0.0" for zeros, ".0" appended when the
/// text has neither '.' nor 'e'. Returns the end of the text, at most 24 bytes; first must have room for
/// 32, which it may use past that end. Throws nothing.
inline char* write_double(char* first, const double x) noexcept
{
    assert(std::isfinite(x));
    bool negative;
    const std::uint64_t bits = magnitude_bits(x, negative);
    if (bits == 0)
    {
        return negative ? std::copy_n("-0.0", 4, first) : std::copy_n("0.0", 3, first);
    }
    const digit_search search(bits);
    return search.write(first, negative, search.rounded(15), 15);
}

/// The same layout rules (fixed when -4 <= exponent < 15, else d.ddde±XX with at least two exponent
/// digits; zero texts; ".0" suffix), with the shortest digits that read back to exactly x (at most 17);
/// among several as short, the one nearest x. Where the shortest digits number 15 or fewer, the text
/// equals write_double's, except for subnormals (below 2^-1022), spaced so widely that a decimal shorter
/// than their 15-digit rounding may read back. Returns the end of the text, at most 24 bytes; first must
/// have room for 32, which it may use past that end. Throws nothing.
inline char* write_double_shortest(char* first, const double x) noexcept
{
    assert(std::isfinite(x));
    bool negative;
    const std::uint64_t bits = magnitude_bits(x, negative);
    if (bits == 0)
    {
        return negative ? std::copy_n("-0.0", 4, first) : std::copy_n("0.0", 3, first);
    }
    digit_search search(bits);
    search.find_bounds();
    if ((bits >> 52) == 0)
    {
        // Subnormals are spaced so widely that several decimals of a length
        // may read back; the nearest does if any does, x lying midway
        // between its bounds.
        for (int p = 1; p < 17; ++p)
        {
            const std::uint64_t digits = search.rounded(p);
            if (search.side(digits, p) == 0)
            {
                return search.write(first, negative, digits, p);
            }
        }
        return search.write(first, negative, search.rounded(17), 17);
    }
    // Each double is nearer to its neighbours than 15-digit decimals are to
    // each other, so at most one of those reads back: the one just below the
    // upper bound, if any.
    const std::uint64_t digits15 = search.below_upper(15);
    if (search.side(digits15, 15) == 0)
    {
        return search.write(first, negative, digits15, 15);
    }
    // Of 16-digit decimals more than one may read back. The nearest does,
    // unless x is a power of two whose lower bound is too near: then the
    // next one up may.
    const std::uint64_t digits16 = search.rounded(16);
    const int side16 = search.side(digits16, 16);
    if (side16 == 0)
    {
        return search.write(first, negative, digits16, 16);
    }
    if (side16 < 0 and search.narrow_below() and search.side(digits16 + 1, 16) == 0)
    {
        return search.write(first, negative, digits16 + 1, 16);
    }
    // The nearest 17-digit decimal always reads back.
    return search.write(first, negative, search.rounded(17), 17);
}

} // namespace detail

} // namespace quarrow

// The writer: one walk of the tree, with its layout and escaping, over a
// sink; and dump()'s sink, a fixed buffer handed on a chunk at a time.


namespace quarrow
{
namespace detail
{

/// The escape table: the character after the backslash in the two-character
/// escape of c, or '\0' when c has none. Throws nothing.
inline char short_escape(const char c) noexcept
{
    switch (c)
    {
        case '"':
            return '"';
        case '\\':
            return '\\';
        case '\b':
            return 'b';
        case '\f':
            return 'f';
        case '\n':
            return 'n';
        case '\r':
            return 'r';
        case '\t':
            return 't';
        default:
            return '\0';
    }
}

/// The escaping of strings and keys as dump_options say; the default
/// options give the stream operator's. Output goes through `out.append(text,
/// length)`, into dump()'s buffer or the stream operator's text of a string.
class string_escaper
{
  public:
    explicit string_escaper(const dump_options& options) noexcept
        // ASCII has no room for a byte kept as it is: keep then means error.
        : m_policy(options.escape_non_ascii and options.invalid_utf8 == utf8_policy::keep ? utf8_policy::error
                                                                                         : options.invalid_utf8),
          m_escape_non_ascii(options.escape_non_ascii),
          m_check_non_ascii(options.escape_non_ascii or options.invalid_utf8 != utf8_policy::keep),
          m_non_ascii_mask(m_check_non_ascii ? ~std::uint64_t(0) : 0)
    {}

    /// The first byte in [first, last) that needs more than a copy, or last.
    const char* plain_run_end(const char* first, const char* const last) const noexcept
    {
        while (last - first >= 8)
        {
            std::uint64_t word;
            std::memcpy(&word, first, 8);
            if (needs_attention(word, m_non_ascii_mask))
            {
                break;
            }
            first += 8;
        }
        while (first != last and not needs_attention(static_cast<unsigned char>(*first)))
        {
            ++first;
        }
        return first;
    }

    // The three copy functions are inlined into each string write: as calls,
    // saving and restoring registers cost more than copying a short key.

    /// Copies [first, last) to out up to the first byte that needs more than
    /// a copy; returns the number of bytes copied. out has room for
    /// last - first + 8 bytes, which it may use past what it copies.
    QUARROW_ALWAYS_INLINE std::size_t copy_plain(char* const out, const char* const first,
                                                  const char* const last) const noexcept
    {
        return last - first >= 8 ? copy_plain_words(out, first, last) : copy_plain_short(out, first, last);
    }

    /// Writes [first, end) of the string starting at begin onto out: runs
    /// that need no escape copied whole. Throws what out.append throws, and
    /// type_error 316 (see utf8_policy::error).
    template<typename Out>
    void escape(Out& out, const char* const begin, const char* first, const char* const end) const
    {
        for (;;)
        {
            const char* const run_end = plain_run_end(first, end);
            out.append(first, static_cast<std::size_t>(run_end - first));
            if (run_end == end)
            {
                return;
            }
            first = write_special(out, begin, run_end, end);
        }
    }

  private:
    /// Whether a byte of word needs more than a copy: '"', '\\', a byte below
    /// 0x20 and, when non-ASCII text is checked or escaped (non_ascii_mask
    /// all ones), a byte from 0x80.
    static bool needs_attention(const std::uint64_t word, const std::uint64_t non_ascii_mask) noexcept
    {
        return string_special_bytes(word, non_ascii_mask) != 0;
    }

    bool needs_attention(const unsigned char byte) const noexcept
    {
        return byte < 0x20 or byte == '"' or byte == '\\' or (byte >= 0x80 and m_check_non_ascii);
    }

    /// copy_plain for under 8 bytes, as most keys are: one check.
    QUARROW_ALWAYS_INLINE std::size_t copy_plain_short(char* const out, const char* const first,
                                                        const char* const last) const noexcept
    {
        const auto size = static_cast<std::size_t>(last - first);
        // Two pieces that may overlap, read and stored as they are.
        if (size >= 4)
        {
            std::uint32_t head;
            std::uint32_t tail;
            std::memcpy(&head, first, 4);
            std::memcpy(&tail, last - 4, 4);
            if (needs_attention((std::uint64_t{tail} << 32) | head, m_non_ascii_mask))
            {
                return copy_plain_bytes(out, first, last);
            }
            std::memcpy(out, &head, 4);
            std::memcpy(out + size - 4, &tail, 4);
            return size;
        }
        if (size >= 2)
        {
            std::uint16_t head;
            std::uint16_t tail;
            std::memcpy(&head, first, 2);
            std::memcpy(&tail, last - 2, 2);
            const std::uint64_t spaces = 0x2020202000000000u; // need no attention
            if (needs_attention(spaces | (std::uint64_t{tail} << 16) | head, m_non_ascii_mask))
            {
                return copy_plain_bytes(out, first, last);
            }
            std::memcpy(out, &head, 2);
            std::memcpy(out + size - 2, &tail, 2);
            return size;
        }
        if (size == 1 and not needs_attention(static_cast<unsigned char>(*first)))
        {
            *out = *first;
            return 1;
        }
        return 0;
    }

    /// copy_plain for 8 bytes or more: two words a check, then single words
    /// up to the last 8 bytes, which are read again in part.
    QUARROW_ALWAYS_INLINE std::size_t copy_plain_words(char* out, const char* const first,
                                                        const char* const last) const noexcept
    {
        const std::uint64_t mask = m_non_ascii_mask; // in a register: the stores could alias the member
        const char* const last_word = last - 8;
        const char* in = first;
        for (; last_word - in >= 16; in += 16, out += 16)
        {
            std::uint64_t word0;
            std::uint64_t word1;
            std::memcpy(&word0, in, 8);
            std::memcpy(&word1, in + 8, 8);
            if ((string_special_bytes(word0, mask) | string_special_bytes(word1, mask)) != 0)
            {
                return static_cast<std::size_t>(in - first) + copy_plain_bytes(out, in, last);
            }
            std::memcpy(out, &word0, 8);
            std::memcpy(out + 8, &word1, 8);
        }
        while (in < last_word)
        {
            std::uint64_t word;
            std::memcpy(&word, in, 8);
            if (needs_attention(word, mask))
            {
                return static_cast<std::size_t>(in - first) + copy_plain_bytes(out, in, last);
            }
            std::memcpy(out, &word, 8);
            in += 8;
            out += 8;
        }
        std::uint64_t word;
        std::memcpy(&word, last_word, 8);
        if (needs_attention(word, mask))
        {
            return static_cast<std::size_t>(in - first) + copy_plain_bytes(out, in, last);
        }
        std::memcpy(out + (last_word - in), &word, 8);
        return static_cast<std::size_t>(last - first);
    }

    /// Copies [first, last) to out a byte at a time up to the first byte
    /// that needs more than a copy; returns the number of bytes copied.
    std::size_t copy_plain_bytes(char* const out, const char* const first, const char* const last) const noexcept
    {
        std::size_t n = 0;
        for (; first + n != last and not needs_attention(static_cast<unsigned char>(first[n])); ++n)
        {
            out[n] = first[n];
        }
        return n;
    }

    /// Writes the byte at `at` (or the UTF-8 sequence it starts) as
    /// needed; returns the position after it.
    template<typename Out>
    const char* write_special(Out& out, const char* const begin, const char* const at, const char* const end) const
    {
        const auto byte = static_cast<unsigned char>(*at);
        if (byte < 0x80)
        {
            write_escape(out, byte);
            return at + 1;
        }
        std::size_t length = 0;
        const std::uint32_t code_point = decode_utf8(reinterpret_cast<const unsigned char*>(at),
                                                     reinterpret_cast<const unsigned char*>(end), length);
        if (code_point != invalid)
        {
            if (m_escape_non_ascii)
            {
                write_code_point_escape(out, code_point);
            }
            else
            {
                out.append(at, length);
            }
            return at + length;
        }
        switch (m_policy)
        {
            case utf8_policy::keep:
                out.append(at, length);
                break;
            case utf8_policy::replace:
                if (m_escape_non_ascii)
                {
                    write_code_point_escape(out, 0xFFFD);
                }
                else
                {
                    out.append("\xEF\xBF\xBD", 3);
                }
                break;
            case utf8_policy::error:
                invalid_utf8_error(static_cast<std::size_t>(at - begin), byte);
        }
        return at + length;
    }

    /// The quotation mark, the backslash or a byte below 0x20.
    template<typename Out>
    static void write_escape(Out& out, const unsigned char byte)
    {
        const char letter = short_escape(static_cast<char>(byte));
        if (letter == '\0')
        {
            write_unit_escape(out, byte);
            return;
        }
        const char text[] = {'\\', letter};
        out.append(text, 2);
    }

    /// \uXXXX, lowercase.
    template<typename Out>
    static void write_unit_escape(Out& out, const std::uint32_t unit)
    {
        const char* const hex = lowercase_hex();
        const char text[] = {'\\', 'u', hex[(unit >> 12) & 0xF], hex[(unit >> 8) & 0xF], hex[(unit >> 4) & 0xF],
                             hex[unit & 0xF]};
        out.append(text, 6);
    }

    /// One escape below U+10000, a surrogate pair above.
    template<typename Out>
    static void write_code_point_escape(Out& out, std::uint32_t code_point)
    {
        if (code_point < 0x10000)
        {
            write_unit_escape(out, code_point);
            return;
        }
        code_point -= 0x10000;
        write_unit_escape(out, 0xD800 + (code_point >> 10));
        write_unit_escape(out, 0xDC00 + (code_point & 0x3FF));
    }

    static constexpr std::uint32_t invalid = 0xFFFFFFFF;

    /// The code point of the UTF-8 sequence at first, its byte count in
    /// length; or `invalid`, length then counting the maximal subpart: the
    /// longest start of a valid sequence there, or the one byte that can
    /// start none. Each maximal subpart is replaced by one U+FFFD.
    static std::uint32_t decode_utf8(const unsigned char* first, const unsigned char* last,
                                     std::size_t& length) noexcept
    {
        const unsigned char lead = *first;
        int continuations = 0;
        int low = 0;
        int high = 0;
        if (not utf8_sequence(lead, continuations, low, high))
        {
            length = 1;
            return invalid;
        }
        // The lead's payload: 5, 4 or 3 bits for 1, 2 or 3 continuation bytes.
        std::uint32_t code_point = lead & (0x3Fu >> continuations);
        length = 1;
        for (; length <= static_cast<std::size_t>(continuations); ++length)
        {
            if (first + length == last or first[length] < low or first[length] > high)
            {
                return invalid;
            }
            code_point = (code_point << 6) | (first[length] & 0x3Fu);
            low = 0x80;
            high = 0xBF;
        }
        return code_point;
    }

    /// Throws type_error 316 for this byte at this index of its string.
    [[noreturn]] static void invalid_utf8_error(const std::size_t index, const unsigned char byte)
    {
        const char* const hex = uppercase_hex();
        const char byte_text[] = {hex[byte >> 4], hex[byte & 0xF], '\0'};
        throw_error(error::invalid_utf8, {std::to_string(index), byte_text});
    }

    const utf8_policy m_policy;
    const bool m_escape_non_ascii;
    const bool m_check_non_ascii; // strings are decoded, not just copied, past 0x7F
    const std::uint64_t m_non_ascii_mask; // all ones when m_check_non_ascii: bytes from 0x80 need attention
};

} // namespace detail

// The walk writes each token through its Sink, which provides:
//   make_room()               before each token: a token of up to 64 bytes follows
//   stopped()                 true when nothing more is to be written
//   put_literal("text")       a literal of at most 64 bytes
//   put_char(c), put_pair(c, d)
//   indent(n)                 n spaces
//   write_quoted(s, closing)  s escaped between quotation marks, then closing
//                             after the final one ("\"", "\":" or "\": ")
//   write_string(s)           a string value
//   dump_integer(x), dump_float(x)
//   write_discarded()         the discarded kind, which JSON has no text for
template<template<typename U, typename V, typename... Args> class ObjectType,
         template<typename U, typename... Args> class ArrayType,
         class StringType,
         class BooleanType,
         class NumberIntegerType,
         class NumberUnsignedType,
         class NumberFloatType,
         template<typename U> class AllocatorType,
         template<typename T, typename SFINAE> class JSONSerializer>
template<typename Sink>
class basic_json<ObjectType, ArrayType, StringType, BooleanType, NumberIntegerType, NumberUnsignedType,
                 NumberFloatType, AllocatorType, JSONSerializer>::tree_walk
{
  public:
    /// Writes val and everything in it onto out, with no line feed before or
    /// after. Pretty: every member or element on a line of its own, indented
    /// by indent_step spaces a level more than base_indent. Walks the tree
    /// with a stack of its own, so any depth writes. Throws std::bad_alloc and
    /// whatever out throws.
    void write(const basic_json& val, Sink& out, const bool pretty, const std::size_t indent_step,
               const std::size_t base_indent)
    {
        m_depth = 0;
        m_top = nullptr;
        m_indent_step = indent_step;
        m_indentation = base_indent;
        if (pretty)
        {
            walk<true>(val, out);
        }
        else
        {
            walk<false>(val, out);
        }
    }

  private:
    /// One open object or array, with the position of its next child.
    struct frame
    {
        bool is_object;
        typename object_t::const_iterator member;
        typename object_t::const_iterator members_end;
        typename array_t::const_iterator element;
        typename array_t::const_iterator elements_end;
    };

    // Frames this deep live in the walk itself, so that ordinary documents
    // allocate nothing for it.
    static constexpr std::size_t inline_frames = 32;

    // One instantiation per layout, so that the compact walk tests nothing
    // about indentation. The walk and the two steps it takes for most nodes
    // are forced inline: -O2 keeps them as calls, which cost a tenth more.
    template<bool Pretty>
    QUARROW_ALWAYS_INLINE void walk(const basic_json& root, Sink& out)
    {
        const basic_json* current = &root;
        for (;;)
        {
            out.make_room();
            if (out.stopped())
            {
                return;
            }
            if (write_opening<Pretty>(*current, out))
            {
                current = first_child<Pretty>(out);
                continue;
            }
            current = next_child<Pretty>(out);
            if (current == nullptr)
            {
                return;
            }
        }
    }

    /// Writes a scalar or an empty container whole and returns false, or
    /// opens a non-empty container, pushes its frame and returns true.
    template<bool Pretty>
    QUARROW_ALWAYS_INLINE bool write_opening(const basic_json& val, Sink& out)
    {
        switch (val.m_type)
        {
            case value_t::object:
            {
                const object_t& object = *val.m_value.object;
                if (object.empty())
                {
                    out.put_literal("{}");
                    return false;
                }
                frame& f = push<Pretty>();
                f.is_object = true;
                f.member = object.cbegin();
                f.members_end = object.cend();
                open<Pretty>('{', out);
                return true;
            }
            case value_t::array:
            {
                const array_t& array = *val.m_value.array;
                if (array.empty())
                {
                    out.put_literal("[]");
                    return false;
                }
                frame& f = push<Pretty>();
                f.is_object = false;
                f.element = array.cbegin();
                f.elements_end = array.cend();
                open<Pretty>('[', out);
                return true;
            }
            case value_t::string:
                out.write_string(*val.m_value.string);
                return false;
            case value_t::boolean:
                if (val.m_value.boolean)
                {
                    out.put_literal("true");
                }
                else
                {
                    out.put_literal("false");
                }
                return false;
            case value_t::number_integer:
                out.dump_integer(val.m_value.number_integer);
                return false;
            case value_t::number_unsigned:
                out.dump_integer(val.m_value.number_unsigned);
                return false;
            case value_t::number_float:
                out.dump_float(val.m_value.number_float);
                return false;
            case value_t::discarded:
                out.write_discarded();
                return false;
            case value_t::null:
                out.put_literal("null");
                return false;
        }
        return false;
    }

    /// The first child of the container just opened, its key written.
    template<bool Pretty>
    const basic_json* first_child(Sink& out)
    {
        if (Pretty)
        {
            out.indent(m_indentation);
        }
        return take_child<Pretty>(top(), out);
    }

    /// The next child of the innermost container that has one, after the
    /// separator and its key, the containers before it closed; or nullptr
    /// when the outermost one closed.
    template<bool Pretty>
    QUARROW_ALWAYS_INLINE const basic_json* next_child(Sink& out)
    {
        while (m_depth != 0)
        {
            out.make_room();
            frame& f = top();
            if (f.is_object ? f.member != f.members_end : f.element != f.elements_end)
            {
                if (Pretty)
                {
                    out.put_pair(',', '\n');
                    out.indent(m_indentation);
                }
                else
                {
                    out.put_char(',');
                }
                return take_child<Pretty>(f, out);
            }
            const char bracket = f.is_object ? '}' : ']';
            pop<Pretty>();
            if (Pretty)
            {
                out.put_char('\n');
                out.indent(m_indentation);
                out.make_room();
            }
            out.put_char(bracket);
        }
        return nullptr;
    }

    /// The child the frame points to, its key written; the frame moves on
    /// at once, so that finding the next node overlaps with writing this one.
    template<bool Pretty>
    const basic_json* take_child(frame& f, Sink& out)
    {
        if (f.is_object)
        {
            const auto member = f.member++;
            if (Pretty)
            {
                out.write_quoted(member->first, "\": ");
            }
            else
            {
                out.write_quoted(member->first, "\":");
            }
            return &member->second;
        }
        return &*f.element++;
    }

    /// The opening bracket, with its line feed when pretty.
    template<bool Pretty>
    static void open(const char bracket, Sink& out)
    {
        if (Pretty)
        {
            out.put_pair(bracket, '\n');
        }
        else
        {
            out.put_char(bracket);
        }
    }

    template<bool Pretty>
    frame& push()
    {
        if (m_depth >= inline_frames and m_spilled_frames.size() < m_depth + 1 - inline_frames)
        {
            m_spilled_frames.emplace_back();
        }
        ++m_depth;
        m_top = &frame_at(m_depth);
        if (Pretty)
        {
            m_indentation += m_indent_step;
        }
        return *m_top;
    }

    frame& top() noexcept
    {
        assert(m_depth != 0);
        return *m_top;
    }

    template<bool Pretty>
    void pop() noexcept
    {
        assert(m_depth != 0);
        --m_depth;
        m_top = m_depth == 0 ? nullptr : &frame_at(m_depth);
        if (Pretty)
        {
            m_indentation -= m_indent_step;
        }
    }

    /// The frame of open level `level`, from 1.
    frame& frame_at(const std::size_t level) noexcept
    {
        return level <= inline_frames ? m_frames[level - 1] : m_spilled_frames[level - 1 - inline_frames];
    }

    std::size_t m_indent_step = 0;
    std::size_t m_indentation = 0; // of the innermost open level's children
    std::size_t m_depth = 0;
    frame* m_top = nullptr; // the innermost open level's frame
    std::array<frame, inline_frames> m_frames;
    detail::vector_for<basic_json, frame> m_spilled_frames;
};

template<template<typename U, typename V, typename... Args> class ObjectType,
         template<typename U, typename... Args> class ArrayType,
         class StringType,
         class BooleanType,
         class NumberIntegerType,
         class NumberUnsignedType,
         class NumberFloatType,
         template<typename U> class AllocatorType,
         template<typename T, typename SFINAE> class JSONSerializer>
class basic_json<ObjectType, ArrayType, StringType, BooleanType, NumberIntegerType, NumberUnsignedType,
                 NumberFloatType, AllocatorType, JSONSerializer>::writer
{
  public:
    /// Bytes a stream receives in each write but the last.
    static constexpr std::size_t chunk_size = 65536;

    /// Appends to text; if writing throws, text gets its old length back.
    writer(const dump_options& options, string_t& text) noexcept
        : writer(options)
    {
        m_text = &text;
        m_text_size = text.size();
    }

    /// Writes onto stream, a chunk at a time.
    writer(const dump_options& options, std::ostream& stream) noexcept
        : writer(options)
    {
        m_stream = &stream;
        m_stopped = not stream.good();
    }

    /// Bound to one output; not to be copied.
    writer(const writer&) = delete;
    writer& operator=(const writer&) = delete;

    ~writer()
    {
        if (m_text != nullptr and not m_done)
        {
            m_text->resize(m_text_size); // shrinking never allocates
        }
    }

    /// Writes val and everything in it, with no line feed before or after,
    /// then hands on what is left in the buffer. Walks the tree with a stack
    /// of its own, so any depth writes. Throws std::bad_alloc, type_error 316
    /// (see utf8_policy::error), out_of_range 408 (see max_length), and
    /// whatever the stream throws.
    void write(const basic_json& val)
    {
        m_walk.write(val, *this, m_indent_step > 0, m_indent_step, 0);
        flush_rest();
        m_done = true;
    }

  private:
    friend class tree_walk<writer>;
    friend class detail::string_escaper;

    explicit writer(const dump_options& options) noexcept
        : m_indent_step(options.indent > 0 ? static_cast<std::size_t>(options.indent) : 0),
          m_fifteen_digits(options.fifteen_digit_doubles),
          m_escaper(options),
          m_max_length(options.max_length)
    {}

    // -- the tokens the walk writes ------------------------------------------
    // Each after make_room(), so that a token of at most `spare` bytes needs
    // no check of its own.

    bool stopped() const noexcept
    {
        return m_stopped;
    }

    template<std::size_t N>
    void put_literal(const char (&text)[N]) noexcept
    {
        std::memcpy(m_position, text, N - 1);
        m_position += N - 1;
    }

    void put_char(const char c) noexcept
    {
        *m_position++ = c;
    }

    void put_pair(const char first, const char second) noexcept
    {
        m_position[0] = first;
        m_position[1] = second;
        m_position += 2;
    }

    /// n spaces: eight a store when there is room to spare, as there nearly
    /// always is.
    void indent(const std::size_t n)
    {
        if (room() < n + 8)
        {
            fill(' ', n);
            return;
        }
        const std::uint64_t spaces = 0x2020202020202020u;
        for (std::size_t i = 0; i < n; i += 8)
        {
            std::memcpy(m_position + i, &spaces, 8); // may pass n; those bytes are overwritten next
        }
        m_position += n;
    }

    void write_string(const string_t& s)
    {
        if (&s == m_text)
        {
            // The target itself: each flush appends to it and may move its
            // bytes, so its text as it was is written from a copy.
            write_quoted(string_t(*m_text, 0, m_text_size), "\"");
            return;
        }
        write_quoted(s, "\"");
    }

    /// s between quotation marks, then `closing` after the final one: runs
    /// that need no escape copied whole.
    template<std::size_t N>
    void write_quoted(const string_t& s, const char (&closing)[N])
    {
        const char* const begin = s.data();
        const char* const end = begin + s.size();
        const char* first = begin;
        if (room() >= s.size() + N + 9)
        {
            // The whole string fits with a word to spare: copied with no call
            // per run, and the closing text with it, unless a byte needs an escape.
            char* const out = m_position;
            *out = '"';
            const std::size_t plain = m_escaper.copy_plain(out + 1, begin, end);
            if (plain == s.size())
            {
                std::memcpy(out + 1 + plain, closing, N - 1);
                m_position = out + 1 + plain + (N - 1);
                return;
            }
            m_position = out + 1 + plain;
            first = begin + plain;
        }
        else
        {
            put('"');
        }
        m_escaper.escape(*this, begin, first, end);
        append(closing, N - 1);
    }

    template<typename NumberType>
    void dump_integer(const NumberType x) noexcept
    {
        m_position = detail::integer_text(m_position, x);
    }

    /// Throws type_error 321: text that no reader accepts is not written.
    [[noreturn]] static void write_discarded()
    {
        detail::throw_error(detail::error::discarded_has_no_text);
    }

    /// The shortest digits that read back, or fifteen significant digits when
    /// asked; NaN and the infinities, which JSON cannot express, as null.
    /// Needs the room make_room() leaves.
    void dump_float(const number_float_t x) noexcept
    {
        if (not std::isfinite(x))
        {
            put_literal("null");
            return;
        }
        m_position = m_fifteen_digits ? detail::write_double(m_position, static_cast<double>(x))
                                      : detail::write_double_shortest(m_position, static_cast<double>(x));
    }

    // -- the buffer -----------------------------------------------------------

    // The buffer holds a chunk and `spare` bytes more. Before each token the
    // walk hands on a full chunk, keeping what is past it, so a token of at
    // most `spare` bytes is stored with no check of its own; longer text
    // checks its room once, or goes through append(). Every chunk handed on
    // but the last is full: a token may straddle two chunks.
    static constexpr std::size_t spare = 64;

    std::size_t room() const noexcept
    {
        return static_cast<std::size_t>(m_buffer.data() + m_buffer.size() - m_position);
    }

    /// Leaves at least `spare` bytes of room.
    void make_room()
    {
        if (m_position > m_buffer.data() + chunk_size)
        {
            flush_chunk();
        }
    }

    void put(const char c)
    {
        if (room() == 0)
        {
            flush_chunk();
        }
        *m_position++ = c;
    }

    /// Text of any length: copied whole when it fits, which it nearly always
    /// does, or through as many chunks as it needs. Throws what flushing throws.
    void append(const char* text, std::size_t length)
    {
        if (room() >= length)
        {
            std::memcpy(m_position, text, length);
            m_position += length;
            return;
        }
        for (;;)
        {
            const std::size_t n = std::min(length, room());
            std::memcpy(m_position, text, n);
            m_position += n;
            length -= n;
            if (length == 0)
            {
                return;
            }
            text += n;
            flush_chunk();
        }
    }

    /// n copies of c, through as many chunks as they need.
    void fill(const char c, std::size_t n)
    {
        for (;;)
        {
            const std::size_t k = std::min(n, room());
            std::memset(m_position, c, k);
            m_position += k;
            n -= k;
            if (n == 0)
            {
                return;
            }
            flush_chunk();
        }
    }

    /// Hands on at least a chunk: the text takes all there is, the stream
    /// one chunk exactly, the bytes past it moved to the front for the next.
    void flush_chunk()
    {
        char* const chunk_end = m_buffer.data() + chunk_size;
        assert(m_position >= chunk_end);
        if (m_text != nullptr)
        {
            const auto length = static_cast<std::size_t>(m_position - m_buffer.data());
            count_handed_on(length);
            m_text->append(m_buffer.data(), length);
            m_position = m_buffer.data();
            return;
        }
        if (not m_stopped)
        {
            count_handed_on(chunk_size);
            m_stream->write(m_buffer.data(), static_cast<std::streamsize>(chunk_size));
            m_stopped = not m_stream->good();
        }
        const auto rest = static_cast<std::size_t>(m_position - chunk_end);
        std::memmove(m_buffer.data(), chunk_end, rest);
        m_position = m_buffer.data() + rest;
    }

    /// Hands on what is left: appended to the text, or the last write or two to the stream.
    void flush_rest()
    {
        if (m_text == nullptr and m_position > m_buffer.data() + chunk_size)
        {
            flush_chunk();
        }
        const auto length = static_cast<std::size_t>(m_position - m_buffer.data());
        count_handed_on(length);
        m_position = m_buffer.data();
        if (m_text != nullptr)
        {
            m_text->append(m_buffer.data(), length);
        }
        else if (not m_stopped and length != 0)
        {
            m_stream->write(m_buffer.data(), static_cast<std::streamsize>(length));
            m_stopped = not m_stream->good();
        }
    }

    /// Counts `length` more bytes of text; throws out_of_range 408 before
    /// they are handed on if they would take it past max_length.
    void count_handed_on(const std::size_t length)
    {
        if (length > m_max_length - m_handed_on)
        {
            detail::throw_error(detail::error::text_too_long, {std::to_string(m_max_length)});
        }
        m_handed_on += length;
    }

    const std::size_t m_indent_step; // 0: compact
    const bool m_fifteen_digits;
    const detail::string_escaper m_escaper;

    string_t* m_text = nullptr;
    std::size_t m_text_size = 0; // the text's length before, restored if writing fails
    std::ostream* m_stream = nullptr;
    bool m_stopped = false; // the stream is no longer good: nothing more is written
    bool m_done = false;
    const std::size_t m_max_length;
    std::size_t m_handed_on = 0; // bytes appended to the text or written to the stream

    tree_walk<writer> m_walk;

    std::array<char, chunk_size + spare> m_buffer; // not initialised: bytes are written before they are read
    char* m_position = m_buffer.data();
};

} // namespace quarrow

// The serializer: the stream operator's sink, each token through the stream's put and write.


namespace quarrow
{

template<template<typename U, typename V, typename... Args> class ObjectType,
         template<typename U, typename... Args> class ArrayType,
         class StringType,
         class BooleanType,
         class NumberIntegerType,
         class NumberUnsignedType,
         class NumberFloatType,
         template<typename U> class AllocatorType,
         template<typename T, typename SFINAE> class JSONSerializer>
class basic_json<ObjectType, ArrayType, StringType, BooleanType, NumberIntegerType, NumberUnsignedType,
                 NumberFloatType, AllocatorType, JSONSerializer>::serializer
{
  public:
    /// Binds the stream and captures the C locale's number separators.
    explicit serializer(std::ostream& s)
        : output_stream(s),
          number_buffer{{}},
          thousands_sep(locale_text(detail::locale_thousands_sep())),
          decimal_point(locale_text(detail::locale_decimal_point())),
          indent_spaces(512, ' '),
          escaper(dump_options())
    {}

    /// Bound to one stream for one output; not to be copied.
    serializer(const serializer&) = delete;
    serializer& operator=(const serializer&) = delete;

    /// Writes val and everything in it, with no line feed before or after.
    /// Pretty: every member or element on a line of its own, indented by
    /// indent_step spaces a level, current_indent being the indentation of
    /// the line val starts on. Throws std::bad_alloc, and whatever the stream
    /// throws; the text written so far stays written.
    void dump(const basic_json& val, const bool pretty_print, const unsigned int indent_step,
              const unsigned int current_indent)
    {
        walk.write(val, *this, pretty_print, indent_step, current_indent);
    }

  private:
    friend class tree_walk<serializer>;

    // -- the tokens the walk writes, each with its own put or write ----------

    void write(const char* text, std::size_t length)
    {
        output_stream.write(text, static_cast<std::streamsize>(length));
    }

    static void make_room() noexcept {}

    /// Every token is offered to the stream, whatever its state.
    static bool stopped() noexcept
    {
        return false;
    }

    template<std::size_t N>
    void put_literal(const char (&text)[N])
    {
        write(text, N - 1);
    }

    void put_char(const char c)
    {
        output_stream.put(c);
    }

    void put_pair(const char first, const char second)
    {
        const char pair[] = {first, second};
        write(pair, 2);
    }

    void indent(const std::size_t n)
    {
        if (indent_spaces.size() < n)
        {
            indent_spaces.resize(n, ' ');
        }
        write(indent_spaces.data(), n);
    }

    /// The opening quotation mark, s escaped in one write, then closing: a
    /// lone quotation mark put, the end of a key written.
    template<std::size_t N>
    void write_quoted(const string_t& s, const char (&closing)[N])
    {
        output_stream.put('"');
        dump_escaped(s);
        if (N == 2)
        {
            output_stream.put(closing[0]);
        }
        else
        {
            write(closing, N - 1);
        }
    }

    void write_string(const string_t& s)
    {
        write_quoted(s, "\"");
    }

    /// A fixed text that no reader takes for JSON, so that a discarded value
    /// in a log line shows.
    void write_discarded()
    {
        put_literal("<discarded>");
    }

    /// A string that needs no escape is written from its own storage, any
    /// other from its escaped copy.
    void dump_escaped(const string_t& s)
    {
        const char* const begin = s.data();
        const char* const end = begin + s.size();
        const char* const plain_end = escaper.plain_run_end(begin, end);
        if (plain_end == end)
        {
            write(begin, s.size());
            return;
        }
        escaped.assign(begin, plain_end);
        escaper.escape(escaped, begin, plain_end, end);
        write(escaped.data(), escaped.size());
    }

    // -- numbers --------------------------------------------------------------

    /// Decimal digits, in one write; 0 put.
    template<typename NumberType>
    void dump_integer(NumberType x)
    {
        if (x == 0)
        {
            output_stream.put('0');
            return;
        }
        write(number_buffer.data(),
              static_cast<std::size_t>(detail::integer_text(number_buffer.data(), x) - number_buffer.data()));
    }

    /// At most 15 significant digits, always with a '.' or an exponent so the
    /// text reads back as a floating-point number. NaN and the infinities,
    /// which JSON cannot express, are written as null.
    void dump_float(const number_float_t x)
    {
        if (not std::isfinite(x))
        {
            write("null", 4);
            return;
        }
        if (x == 0)
        {
            if (std::signbit(x))
            {
                write("-0.0", 4);
            }
            else
            {
                write("0.0", 3);
            }
            return;
        }

        static constexpr int d = 15;
        const int len = std::snprintf(number_buffer.data(), number_buffer.size(), "%.*g", d, x);
        assert(len > 0);
        assert(static_cast<std::size_t>(len) < number_buffer.size());

        const std::size_t length = undo_locale(static_cast<std::size_t>(len));
        write(number_buffer.data(), length);

        const auto end = number_buffer.cbegin() + static_cast<std::ptrdiff_t>(length);
        if (std::find_if(number_buffer.cbegin(), end, [](char c) { return c == '.' or c == 'e'; }) == end)
        {
            write(".0", 2);
        }
    }

    /// In the first `length` bytes of number_buffer, removes every thousands
    /// separator and turns the first decimal point into '.', matching each
    /// as the whole byte sequence the locale gives (some are two or three
    /// bytes long). Returns the new length.
    std::size_t undo_locale(const std::size_t length) noexcept
    {
        if (thousands_sep.empty() and (decimal_point.empty() or decimal_point == "."))
        {
            return length; // the C locale and its like: nothing to undo
        }
        char* const begin = number_buffer.data();
        char* const end = begin + length;
        char* out = begin;
        bool point_done = false;
        for (const char* in = begin; in != end;)
        {
            if (starts_with(in, end, thousands_sep))
            {
                in += thousands_sep.size();
            }
            else if (not point_done and starts_with(in, end, decimal_point))
            {
                *out++ = '.';
                in += decimal_point.size();
                point_done = true;
            }
            else
            {
                *out++ = *in++;
            }
        }
        return static_cast<std::size_t>(out - begin);
    }

    static bool starts_with(const char* begin, const char* end, const string_t& text) noexcept
    {
        return not text.empty() and text.size() <= static_cast<std::size_t>(end - begin) and
               std::equal(text.begin(), text.end(), begin);
    }

    static string_t locale_text(const char* text)
    {
        return text == nullptr ? string_t() : string_t(text);
    }

    std::ostream& output_stream;
    std::array<char, 64> number_buffer;
    const string_t thousands_sep; // removed wherever it stands
    const string_t decimal_point; // the first one is turned into '.'
    string_t indent_spaces;
    const detail::string_escaper escaper; // the default options': control bytes, '"' and '\\'
    string_t escaped;                     // the text of the last string that needed an escape
    tree_walk<serializer> walk;
};

} // namespace quarrow

// JSON Pointer, RFC 6901: a path of reference tokens naming a value inside a value.


namespace quarrow
{
namespace detail
{

/// What a reference token names in an array.
enum class array_token : std::uint8_t
{
    index,    // "0", or digits with no leading zero
    past_end, // "-", the place after the last element
    not_index
};

/// Reads a reference token as an array index. An index too large for
/// size_t is read as the largest size_t, which no array reaches. Never throws.
template<typename StringType>
array_token read_array_index(const StringType& token, std::size_t& index) noexcept
{
    if (token.size() == 1 and token[0] == '-')
    {
        return array_token::past_end;
    }
    if (token.empty() or (token[0] == '0' and token.size() > 1))
    {
        return array_token::not_index;
    }
    index = 0;
    for (const char c : token)
    {
        if (c < '0' or c > '9')
        {
            return array_token::not_index;
        }
        const auto digit = static_cast<std::size_t>(c - '0');
        const std::size_t most = std::numeric_limits<std::size_t>::max();
        index = index > (most - digit) / 10 ? most : index * 10 + digit;
    }
    return array_token::index;
}

/// Throws parse_error `what` for pointer text of `length` bytes that goes
/// wrong at `byte`; a pointer is one line, so the column is byte + 1.
[[noreturn]] inline void throw_pointer_syntax_error(const error what, const char* text, const std::size_t length,
                                                    const std::size_t byte)
{
    parse_failure failure;
    failure.found_end = byte == length;
    if (not failure.found_end)
    {
        failure.found[0] = text[byte];
        failure.found_length = 1;
    }
    throw_exception<parse_error>(entry_of(what).id, byte, std::size_t{1}, byte + 1,
                                 error_text(what, {"1", std::to_string(byte + 1), found_text(failure)}));
}

/// Reads pointer text into its reference tokens, unescaped. Returns false
/// for text that is not a pointer, with the byte where it goes wrong and
/// the error it is. Throws std::bad_alloc.
template<typename StringType>
bool read_pointer(const char* text, const std::size_t length, std::vector<StringType>& tokens, std::size_t& byte,
                  error& what)
{
    if (length != 0 and text[0] != '/')
    {
        byte = 0;
        what = error::pointer_without_slash;
        return false;
    }
    std::size_t i = 0;
    while (i < length)
    {
        ++i; // the '/'
        StringType token;
        for (; i < length and text[i] != '/'; ++i)
        {
            if (text[i] != '~')
            {
                token += text[i];
                continue;
            }
            ++i;
            if (i == length or (text[i] != '0' and text[i] != '1'))
            {
                byte = i;
                what = error::pointer_bad_escape;
                return false;
            }
            token += text[i] == '0' ? '~' : '/';
        }
        tokens.push_back(std::move(token));
    }
    return true;
}

} // namespace detail

/// A path to a value inside a value: the reference tokens from the
/// outermost value in, kept unescaped so that following them allocates nothing.
template<typename StringType>
class basic_json_pointer
{
  public:
    using string_t = StringType;
    /// The reference tokens, unescaped, from the outermost in.
    using const_iterator = typename std::vector<string_t>::const_iterator;

    /// The pointer to the whole value. Never throws.
    basic_json_pointer() = default;

    /// The pointer this text spells: empty for the whole value, or else
    /// reference tokens each after a '/', in which "~0" stands for '~' and
    /// "~1" for '/'. Throws parse_error 106 for text that does not start
    /// with '/', 107 for a '~' followed by anything else, both at the byte
    /// where the text goes wrong (line 1, column byte + 1), and std::bad_alloc.
    explicit basic_json_pointer(const string_t& text)
    {
        read(text.data(), text.size());
    }

    /// The same, for the text up to the NUL. Throws other_error 501 for a
    /// null pointer, and what the string_t form throws.
    explicit basic_json_pointer(const char* text)
    {
        if (text == nullptr)
        {
            detail::throw_null_text();
        }
        read(text, std::strlen(text));
    }

#if __cplusplus >= 201703L
    /// The same, for a view of the text. Throws what the string_t form throws.
    explicit basic_json_pointer(std::string_view text)
    {
        read(text.data(), text.size());
    }
#endif

    /// The pointer's text, each token escaped again. Throws std::bad_alloc.
    string_t to_string() const
    {
        string_t text;
        for (const string_t& token : m_tokens)
        {
            detail::append_reference_token(text, token);
        }
        return text;
    }

    /// Writes to_string() onto the stream. Throws std::bad_alloc, and what the stream throws.
    friend std::ostream& operator<<(std::ostream& stream, const basic_json_pointer& pointer)
    {
        return stream << pointer.to_string();
    }

    /// True for the pointer to the whole value. Never throws.
    bool empty() const noexcept
    {
        return m_tokens.empty();
    }

    /// The number of reference tokens. Never throws.
    std::size_t size() const noexcept
    {
        return m_tokens.size();
    }

    /// The first reference token. Never throws.
    const_iterator begin() const noexcept
    {
        return m_tokens.begin();
    }

    /// Past the last reference token. Never throws.
    const_iterator end() const noexcept
    {
        return m_tokens.end();
    }

    /// The pointer to the value that holds this one; the empty pointer's
    /// own parent is itself. Throws std::bad_alloc.
    basic_json_pointer parent_pointer() const
    {
        basic_json_pointer parent;
        if (not empty())
        {
            parent.m_tokens.assign(m_tokens.begin(), m_tokens.end() - 1);
        }
        return parent;
    }

    /// The last reference token, unescaped. Throws other_error 503 for the
    /// empty pointer.
    const string_t& back() const
    {
        if (empty())
        {
            detail::throw_error(detail::error::empty_pointer, {"back()"});
        }
        return m_tokens.back();
    }

    /// Removes the last reference token. Throws other_error 503 for the
    /// empty pointer.
    void pop_back()
    {
        if (empty())
        {
            detail::throw_error(detail::error::empty_pointer, {"pop_back()"});
        }
        m_tokens.pop_back();
    }

    /// Appends a reference token, unescaped. Throws std::bad_alloc.
    void push_back(const string_t& token)
    {
        m_tokens.push_back(token);
    }

    /// The same, moving the token in.
    void push_back(string_t&& token)
    {
        m_tokens.push_back(std::move(token));
    }

    /// Appends a reference token, unescaped. Throws std::bad_alloc.
    basic_json_pointer& operator/=(const string_t& token)
    {
        push_back(token);
        return *this;
    }

    /// Appends an array index. Throws std::bad_alloc.
    basic_json_pointer& operator/=(std::size_t index)
    {
        push_back(std::to_string(index));
        return *this;
    }

    /// Appends the reference tokens of other. Throws std::bad_alloc.
    basic_json_pointer& operator/=(const basic_json_pointer& other)
    {
        m_tokens.insert(m_tokens.end(), other.m_tokens.begin(), other.m_tokens.end());
        return *this;
    }

    /// The pointer with a reference token appended: `ptr / "items" / 0`.
    /// Throws std::bad_alloc.
    friend basic_json_pointer operator/(basic_json_pointer pointer, const string_t& token)
    {
        return pointer /= token;
    }

    /// The same with an array index.
    friend basic_json_pointer operator/(basic_json_pointer pointer, std::size_t index)
    {
        return pointer /= index;
    }

    /// The same with the reference tokens of another pointer.
    friend basic_json_pointer operator/(basic_json_pointer pointer, const basic_json_pointer& other)
    {
        return pointer /= other;
    }

    /// True when the pointers have the same reference tokens. Never throws.
    friend bool operator==(const basic_json_pointer& left, const basic_json_pointer& right) noexcept
    {
        return left.m_tokens == right.m_tokens;
    }

    /// True when they do not.
    friend bool operator!=(const basic_json_pointer& left, const basic_json_pointer& right) noexcept
    {
        return not(left == right);
    }

    /// Orders by reference tokens, the first that differ deciding, a
    /// prefix first. Never throws.
    friend bool operator<(const basic_json_pointer& left, const basic_json_pointer& right) noexcept
    {
        return left.m_tokens < right.m_tokens;
    }

  private:
    void read(const char* text, const std::size_t length)
    {
        std::size_t byte = 0;
        detail::error what = detail::error::pointer_without_slash;
        if (not detail::read_pointer(text, length, m_tokens, byte, what))
        {
            detail::throw_pointer_syntax_error(what, text, length, byte);
        }
    }

    std::vector<string_t> m_tokens;
};

inline namespace literals
{

/// The value the JSON text holds: R"({"a": 1})"_json. Throws what json::parse throws.
inline json operator""_json(const char* text, std::size_t length)
{
    return json::parse(text, text + length);
}

/// The pointer the text spells: "/a/b"_json_pointer. Throws what
/// json_pointer's constructor throws.
inline json_pointer operator""_json_pointer(const char* text, std::size_t length)
{
    return json_pointer(std::string(text, length));
}

} // namespace literals

} // namespace quarrow

// Values by path: access by pointer, JSON Patch, diff, merge patches and flattening, each walked without recursion.


namespace quarrow
{

template<template<typename U, typename V, typename... Args> class ObjectType,
         template<typename U, typename... Args> class ArrayType,
         class StringType,
         class BooleanType,
         class NumberIntegerType,
         class NumberUnsignedType,
         class NumberFloatType,
         template<typename U> class AllocatorType,
         template<typename T, typename SFINAE> class JSONSerializer>
class basic_json<ObjectType, ArrayType, StringType, BooleanType, NumberIntegerType, NumberUnsignedType,
                 NumberFloatType, AllocatorType, JSONSerializer>::path_walk
{
    using token_iterator = typename json_pointer::const_iterator;

  public:
    // -- access by pointer ----------------------------------------------------

    /// The value ptr names, or nullptr. Never throws.
    static const basic_json* find(const basic_json& root, const json_pointer& ptr) noexcept
    {
        miss missed{};
        return follow(root, ptr.begin(), ptr.end(), missed);
    }

    /// The value ptr names. Throws what basic_json::at(ptr) throws.
    static const basic_json& at(const basic_json& root, const json_pointer& ptr)
    {
        miss missed{};
        const basic_json* found = follow(root, ptr.begin(), ptr.end(), missed);
        if (found == nullptr)
        {
            throw_miss(ptr, missed);
        }
        return *found;
    }

    /// The value ptr names, made with what leads to it when missing. What is
    /// missing is built apart and attached in a step that cannot fail, so a
    /// throw leaves root as it was. Throws what basic_json::operator[](ptr) throws.
    static basic_json& make(basic_json& root, const json_pointer& ptr)
    {
        basic_json* value = &root;
        miss missed{};
        for (missed.token = ptr.begin(); missed.token != ptr.end(); ++missed.token)
        {
            const basic_json* next = child(*value, *missed.token, missed.why);
            if (next == nullptr)
            {
                break;
            }
            value = const_cast<basic_json*>(next);
        }
        if (missed.token == ptr.end())
        {
            return *value;
        }
        missed.in = value;
        const token_iterator rest = std::next(missed.token);
        if (value->is_null())
        {
            basic_json fresh;
            basic_json* leaf = make_fresh(fresh, ptr, missed.token);
            value->swap(fresh); // the leaf lives in a container, which moves over whole
            return *leaf;
        }
        if (missed.why == detail::error::pointer_key_not_found)
        {
            basic_json fresh;
            basic_json* leaf = make_fresh(fresh, ptr, rest);
            basic_json& member = value->m_value.object->emplace(*missed.token, std::move(fresh)).first->second;
            return rest == ptr.end() ? member : *leaf;
        }
        std::size_t index = 0;
        if (missed.why != detail::error::pointer_index_out_of_range or
            (detail::read_array_index(*missed.token, index) == detail::array_token::index and
             index >= value->m_value.array->max_size()))
        {
            throw_miss(ptr, missed);
        }
        array_t& elements = *value->m_value.array;
        index = std::max(index, elements.size()); // "-" is the end
        basic_json fresh;
        basic_json* leaf = make_fresh(fresh, ptr, rest);
        elements.reserve(index + 1);
        elements.resize(index); // within the room reserved: nothing throws from here on
        elements.push_back(std::move(fresh));
        return rest == ptr.end() ? elements.back() : *leaf;
    }

    /// Removes what ptr names. Throws what basic_json::erase(ptr) throws.
    static void erase(basic_json& root, const json_pointer& ptr)
    {
        if (ptr.empty())
        {
            detail::throw_error(detail::error::empty_pointer, {"erase()"});
        }
        miss missed{};
        const basic_json* parent = follow(root, ptr.begin(), std::prev(ptr.end()), missed);
        if (parent == nullptr)
        {
            throw_miss(ptr, missed);
        }
        if (not remove_child(const_cast<basic_json&>(*parent), ptr.back(), missed.why))
        {
            missed.token = std::prev(ptr.end());
            missed.in = parent;
            throw_miss(ptr, missed);
        }
    }

    // -- JSON Patch -------------------------------------------------------------

    /// Applies the operations to document in order; a throw leaves it part
    /// way, so it is a copy to drop then. Throws what basic_json::patch throws.
    static void apply(basic_json& document, const basic_json& operations)
    {
        if (not operations.is_array())
        {
            detail::throw_error(detail::error::wrong_argument_kind,
                                {"patch()", "an array of operations", operations.type_name()});
        }
        for (size_type i = 0; i < operations.m_value.array->size(); ++i)
        {
            apply_one(document, (*operations.m_value.array)[i], std::to_string(i));
        }
    }

    /// The patch that turns source into target; see basic_json::diff.
    static basic_json diff(const basic_json& source, const basic_json& target)
    {
        basic_json operations(value_t::array);
        string_t path;
        detail::vector_for<basic_json, diff_frame> open;
        diff_one(source, target, path, operations, open);
        while (not open.empty())
        {
            diff_frame& top = open.back();
            const size_type length = top.path_length;
            path.resize(length);
            if (top.source->is_array())
            {
                const array_t& s = *top.source->m_value.array;
                const array_t& t = *top.target->m_value.array;
                const size_type common = std::min(s.size(), t.size());
                if (top.index < common)
                {
                    const size_type i = top.index++;
                    detail::append_reference_token(path, std::to_string(i));
                    diff_one(s[i], t[i], path, operations, open); // may move top
                    continue;
                }
                open.pop_back();
                for (size_type i = common; i < t.size(); ++i)
                {
                    path.resize(length);
                    detail::append_reference_token(path, std::to_string(i));
                    add_operation(operations, "add", path, &t[i]);
                }
                for (size_type i = s.size(); i > common; --i) // from the end, so that no index moves
                {
                    path.resize(length);
                    detail::append_reference_token(path, std::to_string(i - 1));
                    add_operation(operations, "remove", path, nullptr);
                }
                continue;
            }
            const bool source_done = top.source_member == top.source->m_value.object->cend();
            const bool target_done = top.target_member == top.target->m_value.object->cend();
            if (source_done and target_done)
            {
                open.pop_back();
                continue;
            }
            if (target_done or (not source_done and top.source_member->first < top.target_member->first))
            {
                detail::append_reference_token(path, top.source_member->first);
                add_operation(operations, "remove", path, nullptr);
                ++top.source_member;
                continue;
            }
            if (source_done or top.target_member->first < top.source_member->first)
            {
                detail::append_reference_token(path, top.target_member->first);
                add_operation(operations, "add", path, &top.target_member->second);
                ++top.target_member;
                continue;
            }
            detail::append_reference_token(path, top.source_member->first);
            const basic_json& s = (top.source_member++)->second;
            const basic_json& t = (top.target_member++)->second;
            diff_one(s, t, path, operations, open); // may move top
        }
        // Many small changes can take more text than the target itself.
        static const char replace_text[] = R"([{"op":"replace","path":"","value":}])";
        if (operations.dump().size() > target.dump().size() + (sizeof replace_text - 1))
        {
            operations = basic_json(value_t::array);
            add_operation(operations, "replace", string_t(), &target);
        }
        return operations;
    }

    // -- merge patch and flattening ---------------------------------------------

    /// Applies the merge patch to target, one object at a time from a list
    /// of those still to merge. Throws std::bad_alloc, leaving what was
    /// merged by then.
    static void merge(basic_json& target, const basic_json& patch)
    {
        detail::vector_for<basic_json, std::pair<basic_json*, const basic_json*>> open;
        open.emplace_back(&target, &patch);
        while (not open.empty())
        {
            basic_json& into = *open.back().first;
            const basic_json& from = *open.back().second;
            open.pop_back();
            if (not from.is_object())
            {
                basic_json copy(from);
                into.swap(copy);
                continue;
            }
            if (not into.is_object())
            {
                into = basic_json(value_t::object);
            }
            object_t& members = *into.m_value.object;
            for (const auto& member : *from.m_value.object)
            {
                if (member.second.is_null())
                {
                    members.erase(member.first);
                }
                else if (member.second.is_object())
                {
                    open.emplace_back(&members[member.first], &member.second); // map nodes never move
                }
                else
                {
                    members[member.first] = member.second;
                }
            }
        }
    }

    /// See basic_json::flatten.
    static basic_json flatten(const basic_json& value)
    {
        basic_json result(value_t::object);
        object_t& flat = *result.m_value.object;
        string_t path;
        if (not holds_values(value))
        {
            flat.emplace(path, value);
            return result;
        }
        detail::vector_for<basic_json, flatten_frame> open;
        open.push_back(frame_of(value, 0));
        while (not open.empty())
        {
            flatten_frame& top = open.back();
            path.resize(top.path_length);
            const basic_json* next = nullptr;
            if (top.value->is_array())
            {
                if (top.index == top.value->m_value.array->size())
                {
                    open.pop_back();
                    continue;
                }
                detail::append_reference_token(path, std::to_string(top.index));
                next = &(*top.value->m_value.array)[top.index++];
            }
            else
            {
                if (top.member == top.value->m_value.object->cend())
                {
                    open.pop_back();
                    continue;
                }
                detail::append_reference_token(path, top.member->first);
                next = &(top.member++)->second;
            }
            if (holds_values(*next))
            {
                open.push_back(frame_of(*next, path.size())); // moves top
            }
            else
            {
                flat.emplace(path, *next);
            }
        }
        return result;
    }

    /// See basic_json::unflatten.
    static basic_json unflatten(const basic_json& value)
    {
        if (not value.is_object())
        {
            detail::throw_error(detail::error::wrong_argument_kind, {"unflatten()", "an object", value.type_name()});
        }
        basic_json result;
        for (const auto& member : *value.m_value.object)
        {
            basic_json copy(member.second);
            make(result, json_pointer(member.first)).swap(copy);
        }
        return result;
    }

  private:
    /// Where and why a walk by pointer stopped: the token that names no
    /// value, the value it was used on, and the error that is.
    struct miss
    {
        token_iterator token;
        const basic_json* in;
        detail::error why;
    };

    /// The value token names in value, or nullptr with why set. Never throws.
    static const basic_json* child(const basic_json& value, const string_t& token, detail::error& why) noexcept
    {
        if (value.is_object())
        {
            const auto member = value.m_value.object->find(token);
            if (member != value.m_value.object->end())
            {
                return &member->second;
            }
            why = detail::error::pointer_key_not_found;
            return nullptr;
        }
        if (not value.is_array())
        {
            why = detail::error::pointer_into_scalar;
            return nullptr;
        }
        std::size_t index = 0;
        const detail::array_token kind = detail::read_array_index(token, index);
        if (kind == detail::array_token::not_index)
        {
            why = detail::error::pointer_not_an_index;
            return nullptr;
        }
        if (kind == detail::array_token::index and index < value.m_value.array->size())
        {
            return &(*value.m_value.array)[index];
        }
        why = detail::error::pointer_index_out_of_range;
        return nullptr;
    }

    /// The value the tokens [first, last) name from value, or nullptr with
    /// missed filled in. Never throws.
    static const basic_json* follow(const basic_json& value, token_iterator first, const token_iterator last,
                                    miss& missed) noexcept
    {
        const basic_json* found = &value;
        for (; first != last; ++first)
        {
            const basic_json* next = child(*found, *first, missed.why);
            if (next == nullptr)
            {
                missed.token = first;
                missed.in = found;
                return nullptr;
            }
            found = next;
        }
        return found;
    }

    /// Throws the error of a walk that stopped, naming ptr up to the token.
    [[noreturn]] static void throw_miss(const json_pointer& ptr, const miss& missed)
    {
        string_t prefix;
        for (token_iterator token = ptr.begin(); token != std::next(missed.token); ++token)
        {
            detail::append_reference_token(prefix, *token);
        }
        switch (missed.why)
        {
            case detail::error::pointer_into_scalar:
                detail::throw_error(missed.why, {prefix, missed.in->type_name()});
            case detail::error::pointer_not_an_index:
                detail::throw_error(missed.why, {prefix, *missed.token});
            default:
                detail::throw_error(missed.why, {*missed.token, prefix});
        }
    }

    /// Builds the tokens [first, ptr.end()) in fresh, a null: an object for
    /// a key, an array up to an index ("-" being 0). Returns the value they
    /// name. Throws out_of_range 402 for an index no array can reach, and
    /// std::bad_alloc.
    static basic_json* make_fresh(basic_json& fresh, const json_pointer& ptr, token_iterator first)
    {
        basic_json* value = &fresh;
        for (; first != ptr.end(); ++first)
        {
            std::size_t index = 0;
            const detail::array_token kind = detail::read_array_index(*first, index);
            if (kind == detail::array_token::not_index)
            {
                *value = basic_json(value_t::object);
                value = &(*value->m_value.object)[*first];
                continue;
            }
            *value = basic_json(value_t::array);
            if (kind == detail::array_token::past_end)
            {
                index = 0;
            }
            if (index >= value->m_value.array->max_size())
            {
                throw_miss(ptr, miss{first, value, detail::error::pointer_index_out_of_range});
            }
            value->m_value.array->resize(index + 1);
            value = &value->m_value.array->back();
        }
        return value;
    }

    /// Removes the value token names in parent. Returns false, with why
    /// set, when it names none. Never throws.
    static bool remove_child(basic_json& parent, const string_t& token, detail::error& why) noexcept
    {
        if (child(parent, token, why) == nullptr)
        {
            return false;
        }
        if (parent.is_object())
        {
            parent.m_value.object->erase(token);
            return true;
        }
        std::size_t index = 0;
        detail::read_array_index(token, index);
        parent.m_value.array->erase(parent.m_value.array->begin() + static_cast<difference_type>(index));
        return true;
    }

    /// Puts value where path names in document: the whole document, a
    /// member (replaced if there), or an element inserted before an index
    /// up to the size ("-" appending). Returns false, document unchanged,
    /// when the path names no such place. Throws std::bad_alloc.
    static bool add(basic_json& document, const json_pointer& path, basic_json&& value)
    {
        if (path.empty())
        {
            document.swap(value);
            return true;
        }
        miss missed{};
        basic_json* parent = const_cast<basic_json*>(follow(document, path.begin(), std::prev(path.end()), missed));
        if (parent != nullptr and parent->is_object())
        {
            (*parent->m_value.object)[path.back()].swap(value);
            return true;
        }
        if (parent == nullptr or not parent->is_array())
        {
            return false;
        }
        array_t& elements = *parent->m_value.array;
        std::size_t index = elements.size();
        const detail::array_token kind = detail::read_array_index(path.back(), index);
        if (kind == detail::array_token::not_index or (kind == detail::array_token::index and index > elements.size()))
        {
            return false;
        }
        elements.insert(elements.begin() + static_cast<difference_type>(index), std::move(value));
        return true;
    }

    /// The member of an operation, an object, with this name, or nullptr.
    static const basic_json* member_of(const basic_json& operation, const char* name)
    {
        const auto found = operation.m_value.object->find(string_t(name));
        return found == operation.m_value.object->end() ? nullptr : &found->second;
    }

    /// The pointer in the member of an operation with this name. Throws
    /// other_error 504 when it holds no pointer text, naming a text that is none.
    static json_pointer pointer_of(const basic_json& operation, const char* name, const std::string& number)
    {
        const basic_json* text = member_of(operation, name);
        std::vector<string_t> tokens;
        std::size_t byte = 0;
        detail::error what = detail::error::pointer_without_slash;
        const std::string expected = std::string("member '") + name + "' holding a JSON pointer";
        if (text == nullptr or not text->is_string())
        {
            detail::throw_error(detail::error::malformed_operation, {number, expected});
        }
        if (not detail::read_pointer(text->m_value.string->data(), text->m_value.string->size(), tokens, byte, what))
        {
            detail::throw_error(detail::error::malformed_operation,
                                {number, expected + ", not '" + *text->m_value.string + "'"});
        }
        return json_pointer(*text->m_value.string);
    }

    /// Applies one operation; number is its index in the patch.
    static void apply_one(basic_json& document, const basic_json& operation, const std::string& number)
    {
        if (not operation.is_object())
        {
            detail::throw_error(detail::error::malformed_operation, {number, "an object"});
        }
        const basic_json* op = member_of(operation, "op");
        if (op == nullptr or not op->is_string())
        {
            detail::throw_error(detail::error::malformed_operation, {number, "member 'op' holding a string"});
        }
        const string_t& name = *op->m_value.string;
        const bool has_value = name == "add" or name == "replace" or name == "test";
        const bool has_from = name == "move" or name == "copy";
        if (not has_value and not has_from and name != "remove")
        {
            detail::throw_error(detail::error::unknown_operation, {number, name});
        }
        const json_pointer path = pointer_of(operation, "path", number);
        const basic_json* value = has_value ? member_of(operation, "value") : nullptr;
        if (has_value and value == nullptr)
        {
            detail::throw_error(detail::error::malformed_operation, {number, "member 'value'"});
        }
        const json_pointer from = has_from ? pointer_of(operation, "from", number) : json_pointer();
        const basic_json* source = has_from ? find(document, from) : nullptr;
        if (has_from and source == nullptr)
        {
            detail::throw_error(detail::error::patch_path_not_found, {number, name, "from", from.to_string()});
        }
        bool done = true;
        if (name == "add")
        {
            done = add(document, path, basic_json(*value));
        }
        else if (name == "remove")
        {
            miss missed{};
            const basic_json* parent =
                path.empty() ? nullptr : follow(document, path.begin(), std::prev(path.end()), missed);
            done = parent != nullptr and remove_child(const_cast<basic_json&>(*parent), path.back(), missed.why);
        }
        else if (name == "replace")
        {
            basic_json* target = const_cast<basic_json*>(find(document, path));
            done = target != nullptr;
            if (done)
            {
                basic_json copy(*value);
                target->swap(copy);
            }
        }
        else if (name == "test")
        {
            const basic_json* target = find(document, path);
            if (target == nullptr or *target != *value)
            {
                detail::throw_error(detail::error::test_failed, {number, path.to_string()});
            }
        }
        else if (name == "copy")
        {
            done = add(document, path, basic_json(*source));
        }
        else if (from != path)
        {
            if (from.size() < path.size() and std::equal(from.begin(), from.end(), path.begin()))
            {
                detail::throw_error(detail::error::move_into_child, {number, from.to_string(), path.to_string()});
            }
            basic_json moved(std::move(*const_cast<basic_json*>(source)));
            miss missed{};
            const basic_json* parent = follow(document, from.begin(), std::prev(from.end()), missed);
            remove_child(const_cast<basic_json&>(*parent), from.back(), missed.why);
            done = add(document, path, std::move(moved));
        }
        if (not done)
        {
            detail::throw_error(detail::error::patch_path_not_found, {number, name, "path", path.to_string()});
        }
    }

    /// An array or object being compared with one of its kind, and how far.
    struct diff_frame
    {
        const basic_json* source;
        const basic_json* target;
        size_type path_length;
        size_type index;
        typename object_t::const_iterator source_member;
        typename object_t::const_iterator target_member;
    };

    /// Two arrays or two objects go on open, to be compared by their
    /// contents; any other pair that differs is one replace at path.
    static void diff_one(const basic_json& source, const basic_json& target, const string_t& path,
                         basic_json& operations, detail::vector_for<basic_json, diff_frame>& open)
    {
        if (source.is_object() and target.is_object())
        {
            open.push_back({&source, &target, path.size(), 0, source.m_value.object->cbegin(),
                            target.m_value.object->cbegin()});
        }
        else if (source.is_array() and target.is_array())
        {
            open.push_back({&source, &target, path.size(), 0, {}, {}});
        }
        else if (source != target)
        {
            add_operation(operations, "replace", path, &target);
        }
    }

    /// Appends {"op": op, "path": path} to operations, with "value" a copy
    /// of value unless it is nullptr.
    static void add_operation(basic_json& operations, const char* op, const string_t& path, const basic_json* value)
    {
        basic_json operation(value_t::object);
        object_t& members = *operation.m_value.object;
        members[string_t("op")] = op;
        members[string_t("path")] = path;
        if (value != nullptr)
        {
            members[string_t("value")] = *value;
        }
        operations.m_value.array->push_back(std::move(operation));
    }

    /// An array or object being flattened, and how far.
    struct flatten_frame
    {
        const basic_json* value;
        size_type path_length;
        size_type index;
        typename object_t::const_iterator member;
    };

    static flatten_frame frame_of(const basic_json& value, const size_type path_length) noexcept
    {
        return {&value, path_length, 0,
                value.is_object() ? value.m_value.object->cbegin() : typename object_t::const_iterator()};
    }

    /// True for an array or object that is not empty.
    static bool holds_values(const basic_json& value) noexcept
    {
        return value.is_structured() and not value.empty();
    }
};

} // namespace quarrow

// The stream operators: writing a value, and reading values one after another.


namespace quarrow
{

/// Writes j as JSON text: indented by the stream's width a level when the
/// width is greater than 0, compact otherwise. The width is reset to 0 before
/// anything is written, so it pads nothing. Throws std::bad_alloc, and
/// whatever the stream throws.
template<template<typename U, typename V, typename... Args> class ObjectType,
         template<typename U, typename... Args> class ArrayType,
         class StringType,
         class BooleanType,
         class NumberIntegerType,
         class NumberUnsignedType,
         class NumberFloatType,
         template<typename U> class AllocatorType,
         template<typename T, typename SFINAE> class JSONSerializer>
std::ostream& operator<<(std::ostream& o,
                         const basic_json<ObjectType, ArrayType, StringType, BooleanType, NumberIntegerType,
                                          NumberUnsignedType, NumberFloatType, AllocatorType, JSONSerializer>& j)
{
    using value_type = basic_json<ObjectType, ArrayType, StringType, BooleanType, NumberIntegerType,
                                  NumberUnsignedType, NumberFloatType, AllocatorType, JSONSerializer>;
    const bool pretty_print = o.width() > 0;
    const auto indentation = pretty_print ? o.width() : 0;
    o.width(0);
    typename value_type::serializer s(o);
    s.dump(j, pretty_print, static_cast<unsigned int>(indentation), 0);
    return o;
}

/// Reads one value into j with the default parse_options, as a formatted
/// extractor reads: skips whitespace, reads exactly the bytes of the value,
/// and leaves the stream just after them, so `while (in >> j)` reads values
/// one after another. A stream not good() reads nothing and gets failbit.
/// Sets eofbit when the end was seen (`123` at the end, not `123 `), and
/// failbit and eofbit when only whitespace is left. A buffer that throws sets
/// badbit. Throws parse_error for malformed text, after setting failbit,
/// std::bad_alloc, the buffer's exception only with badbit in the exceptions
/// mask, and the mask's ios_base::failure for the other bits; j is left as it
/// was whenever no value is read.
template<template<typename U, typename V, typename... Args> class ObjectType,
         template<typename U, typename... Args> class ArrayType,
         class StringType,
         class BooleanType,
         class NumberIntegerType,
         class NumberUnsignedType,
         class NumberFloatType,
         template<typename U> class AllocatorType,
         template<typename T, typename SFINAE> class JSONSerializer>
std::istream& operator>>(std::istream& in,
                         basic_json<ObjectType, ArrayType, StringType, BooleanType, NumberIntegerType,
                                    NumberUnsignedType, NumberFloatType, AllocatorType, JSONSerializer>& j)
{
    using value_type = basic_json<ObjectType, ArrayType, StringType, BooleanType, NumberIntegerType,
                                  NumberUnsignedType, NumberFloatType, AllocatorType, JSONSerializer>;
    using stream_parser = detail::parser<value_type, detail::stream_input>;
    const parse_options options;
    detail::read_stream<value_type>(in, options, false, [&](stream_parser& reader) -> bool {
        if (reader.at_end())
        {
            return false; // only whitespace left: failbit and eofbit, as for a number
        }
        value_type result;
        detail::value_builder<value_type> builder(result, options.duplicate_keys);
        if (not reader.read(builder, false))
        {
            reader.raise(false);
        }
        j = std::move(result);
        return true;
    });
    return in;
}

} // namespace quarrow

// Reading a stream of values a line each (JSON Lines), and showing where an error is.


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

// Hashing: std::hash for values, equal for values that compare equal.


namespace quarrow
{
namespace detail
{

/// Mixes h into seed, so that the order of the parts matters.
inline void combine_hash(std::size_t& seed, std::size_t h) noexcept
{
    seed ^= h + 0x9e3779b9u + (seed << 6) + (seed >> 2);
}

/// The hash of a value's own part: its kind (one for all numbers), and its
/// scalar or its size. A number with an integral value hashes as that
/// integer, whatever its kind, so that equal numbers hash alike.
template<typename BasicJsonType>
std::size_t hash_node(const BasicJsonType& j)
{
    using number_integer_t = typename BasicJsonType::number_integer_t;
    using number_unsigned_t = typename BasicJsonType::number_unsigned_t;
    using number_float_t = typename BasicJsonType::number_float_t;
    const std::size_t kind = j.is_number() ? 9 : static_cast<std::size_t>(j.type());
    std::size_t seed = std::hash<std::size_t>()(kind);
    switch (j.type())
    {
        case value_t::object:
        case value_t::array:
            combine_hash(seed, j.size());
            break;
        case value_t::string:
        {
            using string_t = typename BasicJsonType::string_t;
            combine_hash(seed, std::hash<string_t>()(*j.template get_ptr<const string_t*>()));
            break;
        }
        case value_t::boolean:
            combine_hash(seed, *j.template get_ptr<const typename BasicJsonType::boolean_t*>() ? 1 : 0);
            break;
        case value_t::number_integer:
        {
            const number_integer_t n = *j.template get_ptr<const number_integer_t*>();
            combine_hash(seed, n < 0 ? std::hash<number_integer_t>()(n)
                                     : std::hash<number_unsigned_t>()(static_cast<number_unsigned_t>(n)));
            break;
        }
        case value_t::number_unsigned:
            combine_hash(seed, std::hash<number_unsigned_t>()(*j.template get_ptr<const number_unsigned_t*>()));
            break;
        case value_t::number_float:
        {
            const number_float_t x = *j.template get_ptr<const number_float_t*>();
            // Powers of two, so exact: -2^63 and 2^64.
            const auto lowest = static_cast<number_float_t>(std::numeric_limits<number_integer_t>::min());
            const number_float_t beyond =
                static_cast<number_float_t>(std::numeric_limits<number_unsigned_t>::max() / 2 + 1) * 2;
            if (std::trunc(x) != x or x < lowest or x >= beyond) // also NaN and the infinities
            {
                combine_hash(seed, std::hash<number_float_t>()(x));
            }
            else if (x < 0)
            {
                combine_hash(seed, std::hash<number_integer_t>()(static_cast<number_integer_t>(x)));
            }
            else
            {
                combine_hash(seed, std::hash<number_unsigned_t>()(static_cast<number_unsigned_t>(x)));
            }
            break;
        }
        case value_t::null:
        case value_t::discarded:
            break;
    }
    return seed;
}

/// Every node's own hash and every key, in depth-first order, with a stack
/// of iterators instead of recursion. Throws std::bad_alloc when the stack
/// cannot grow.
template<typename BasicJsonType>
std::size_t hash_value(const BasicJsonType& j)
{
    using const_iterator = typename BasicJsonType::const_iterator;
    struct frame
    {
        const_iterator next;
        const_iterator end;
        bool keyed;
    };
    vector_for<BasicJsonType, frame> open;
    std::size_t seed = hash_node(j);
    if (j.is_structured())
    {
        open.push_back({j.cbegin(), j.cend(), j.is_object()});
    }
    while (not open.empty())
    {
        frame& top = open.back();
        if (top.next == top.end)
        {
            open.pop_back();
            continue;
        }
        const const_iterator current = top.next++;
        if (top.keyed)
        {
            combine_hash(seed, std::hash<typename BasicJsonType::string_t>()(current.key()));
        }
        const BasicJsonType& child = *current;
        combine_hash(seed, hash_node(child));
        if (child.is_structured())
        {
            open.push_back({child.cbegin(), child.cend(), child.is_object()}); // moves top
        }
    }
    return seed;
}

} // namespace detail
} // namespace quarrow

namespace std
{

/// Values that compare equal hash alike, 1, 1u and 1.0 among them.
template<template<typename U, typename V, typename... Args> class ObjectType,
         template<typename U, typename... Args> class ArrayType,
         class StringType,
         class BooleanType,
         class NumberIntegerType,
         class NumberUnsignedType,
         class NumberFloatType,
         template<typename U> class AllocatorType,
         template<typename T, typename SFINAE> class JSONSerializer>
struct hash<::quarrow::basic_json<ObjectType, ArrayType, StringType, BooleanType, NumberIntegerType,
                                  NumberUnsignedType, NumberFloatType, AllocatorType, JSONSerializer>>
{
    /// Throws std::bad_alloc when the value is nested and the walk's stack cannot grow.
    std::size_t operator()(const ::quarrow::basic_json<ObjectType, ArrayType, StringType, BooleanType,
                                                       NumberIntegerType, NumberUnsignedType, NumberFloatType,
                                                       AllocatorType, JSONSerializer>& j) const
    {
        return ::quarrow::detail::hash_value(j);
    }
};

} // namespace std


#endif // QUARROW_JSON_HPP

// quarrow: one value type for any JSON value, written out as JSON text.
// Copyright (c) 2026 the quarrow authors. MIT License (SPDX-License-Identifier: MIT):
// the full text is in the LICENSE file that comes with quarrow.
//
// Header-only, C++11. `quarrow::json` holds null, an object, an array, a
// string, a boolean or a number, and reports every misuse by throwing one of
// the exceptions in quarrow::detail.

#ifndef QUARROW_JSON_HPP
#define QUARROW_JSON_HPP

#define QUARROW_VERSION_MAJOR 0
#define QUARROW_VERSION_MINOR 1
#define QUARROW_VERSION_PATCH 0

#include <algorithm>
#include <array>
#include <cassert>
#include <clocale>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <limits>
#include <map>
#include <memory>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

namespace quarrow
{

/// Converts native values of type T into values (see its definition below).
template<typename T, typename SFINAE = void>
struct adl_serializer;

/// The value type, over the containers and scalar types it stores; quarrow
/// uses the one instantiation `json`. Objects are ObjectType maps from
/// StringType to values, arrays ArrayType sequences of values; the scalars are
/// stored as BooleanType, NumberIntegerType, NumberUnsignedType and
/// NumberFloatType; containers and strings are allocated with AllocatorType;
/// native values are converted by JSONSerializer<T>::to_json.
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

namespace detail
{

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

// ---------------------------------------------------------------------------
// Exceptions: every misuse of a value throws one of these. The message reads
// "[json.exception.<class>.<id>] <text>", composed once when it is thrown.
// ---------------------------------------------------------------------------

/// Base of the family; catch it to catch every error the library raises.
class exception : public std::exception
{
  public:
    /// The full message. Never fails and does no work.
    const char* what() const noexcept override
    {
        return m_message.c_str();
    }

    /// The numeric id: 200s for invalid_iterator, 300s for type_error, 400s for
    /// out_of_range, 500s for other_error.
    const int id;

  protected:
    /// Composes the message once; throws std::bad_alloc if that fails.
    exception(int id_, const std::string& class_name, const std::string& what_arg)
        : id(id_), m_message("[json.exception." + class_name + "." + std::to_string(id_) + "] " + what_arg)
    {}

  private:
    std::string m_message;
};

/// An operation is not valid for the kind of value it is applied to.
class type_error : public exception
{
  public:
    /// The error with this id and text; what_arg is copied verbatim.
    type_error(int id_, const std::string& what_arg)
        : exception(id_, "type_error", what_arg)
    {}
};

/// A key or index that is not there. Unrelated to std::out_of_range.
class out_of_range : public exception
{
  public:
    /// The error with this id and text; what_arg is copied verbatim.
    out_of_range(int id_, const std::string& what_arg)
        : exception(id_, "out_of_range", what_arg)
    {}
};

/// Any other misuse.
class other_error : public exception
{
  public:
    /// The error with this id and text; what_arg is copied verbatim.
    other_error(int id_, const std::string& what_arg)
        : exception(id_, "other_error", what_arg)
    {}
};

/// An iterator used where it cannot be: one of another value, one that
/// points to no element, or an operation its kind of value does not offer.
class invalid_iterator : public exception
{
  public:
    /// The error with this id and text; what_arg is copied verbatim.
    invalid_iterator(int id_, const std::string& what_arg)
        : exception(id_, "invalid_iterator", what_arg)
    {}
};

/// Every error of the library leaves through here. With exceptions it throws
/// Exception built from args; built with -fno-exceptions it writes the message
/// to standard error and aborts, after calling QUARROW_ERROR_HANDLER(error) if
/// the user defined it (a function that takes a const detail::exception&).
template<typename Exception, typename... Args>
[[noreturn]] void throw_error(Args&&... args)
{
#if defined(__cpp_exceptions) || defined(__EXCEPTIONS)
    throw Exception(std::forward<Args>(args)...);
#else
    const Exception error(std::forward<Args>(args)...);
#ifdef QUARROW_ERROR_HANDLER
    QUARROW_ERROR_HANDLER(static_cast<const exception&>(error));
#endif
    std::fprintf(stderr, "%s\n", error.what());
    std::abort();
#endif
}

// ---------------------------------------------------------------------------
// Conversion helpers: the road from a native value into a basic_json.
// The converting constructor calls JSONSerializer<T>::to_json, which reaches
// a to_json overload (ours below, or a user's found by argument-dependent
// lookup), which stores the value through external_constructor<kind>.
// ---------------------------------------------------------------------------

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
        j.m_type = Kind;
        j.m_value = typename BasicJsonType::json_value(std::forward<Stored>(stored));
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

/// Text up to the NUL. Throws other_error 501 for a null pointer.
template<typename BasicJsonType, typename T, enable_if_t<is_one_of<T, const char*, char*>::value, int> = 0>
void to_json(BasicJsonType& j, T s)
{
    if (s == nullptr)
    {
        throw_error<other_error>(501, "cannot create string from null pointer");
    }
    external_constructor<value_t::string>::construct(j, typename BasicJsonType::string_t(s));
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

} // namespace detail

/// The default JSONSerializer: converts any T for which a to_json exists.
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
};

// ---------------------------------------------------------------------------
// Iterators: walk an array's elements, an object's members in key order, or
// any other value as a range of one (null: of none). Every step and access is
// checked, so a misused iterator throws invalid_iterator, never reads astray.
// ---------------------------------------------------------------------------

namespace detail
{

/// Raises invalid_iterator with this id (201 to 214); the texts live here.
[[noreturn]] inline void throw_invalid_iterator(int id)
{
    static const char* const texts[] = {
        "cannot compare iterators of different values",               // 201
        "iterator does not belong to this value",                     // 202
        "iterators do not belong to this value",                      // 203
        "iterators do not delimit a range of this value",             // 204
        "iterator is out of range",                                   // 205
        "cannot use key() with a non-object iterator",                // 206
        "cannot use operator< with object iterators",                 // 207
        "cannot use offsets with object iterators",                   // 208
        "cannot use operator[] with object iterators",                // 209
        "iterators of a range belong to different values",            // 210
        "iterators do not belong to an object",                       // 211
        "cannot dereference an iterator that points to no element",   // 212
        "cannot move an iterator out of its range",                   // 213
        "iterator belongs to no value",                               // 214
    };
    assert(id >= 201 and id <= 214);
    throw_error<invalid_iterator>(id, texts[static_cast<std::size_t>(id - 201)]);
}

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
                throw_invalid_iterator(212);
            }
            return m_member->second;
        }
        if (m_index < 0 or static_cast<std::size_t>(m_index) >= m_container->size())
        {
            throw_invalid_iterator(212);
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
            throw_invalid_iterator(208);
        }
        return step(n);
    }

    /// Throws what operator+= throws.
    value_iterator& operator-=(difference_type n)
    {
        if (n == std::numeric_limits<difference_type>::min()) // no value is that long, and -n would overflow
        {
            check_bound();
            throw_invalid_iterator(m_container->is_object() ? 208 : 213);
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
            throw_invalid_iterator(209);
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
            throw_invalid_iterator(207);
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
            throw_invalid_iterator(206);
        }
        if (m_member == m_container->m_value.object->end())
        {
            throw_invalid_iterator(212);
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
            throw_invalid_iterator(214);
        }
    }

    template<typename Other>
    void check_same_value(const value_iterator<Other>& other) const
    {
        if (m_container != other.m_container)
        {
            throw_invalid_iterator(201);
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
                throw_invalid_iterator(213);
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
            throw_invalid_iterator(213);
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
template<typename Iterator>
class item
{
  public:
    using string_t = typename Iterator::value_type::string_t;
    using iterator_category = std::forward_iterator_tag;
    using value_type = item;
    using difference_type = std::ptrdiff_t;
    using pointer = item*;
    using reference = item&;

    /// The entry at it. Never throws.
    explicit item(Iterator it) noexcept
        : m_it(it)
    {}

    /// The entry itself. Never throws.
    item& operator*() noexcept
    {
        return *this;
    }

    /// Throws what Iterator's operator++ throws.
    item& operator++()
    {
        ++m_it;
        ++m_index;
        return *this;
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

// ---------------------------------------------------------------------------
// The value: a kind tag and one 64-bit word. Scalars live in the word;
// objects, arrays and strings live in a container the value alone owns.
// ---------------------------------------------------------------------------

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

    /// Writes one value as JSON text onto a stream.
    class serializer;

    /// Converts native values of type T into values.
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

    /// A container of kind `kind` that holds at least one value.
    static bool has_children(const value_t kind, const json_value container) noexcept
    {
        return kind == value_t::object ? not container.object->empty() : not container.array->empty();
    }

    /// True for an object or array that holds at least one value.
    bool has_children() const noexcept
    {
        return is_structured() and has_children(m_type, m_value);
    }

    /// The last element, or the value of the last member, of a container that has one.
    static basic_json& last_child(const value_t kind, const json_value container) noexcept
    {
        return kind == value_t::object ? std::prev(container.object->end())->second : container.array->back();
    }

    static void drop_last_child(const value_t kind, const json_value container) noexcept
    {
        if (kind == value_t::object)
        {
            container.object->erase(std::prev(container.object->end()));
        }
        else
        {
            container.array->pop_back();
        }
    }

    /// Empties this value's container and every container below it, last
    /// child first, in time linear in their size and with no memory, since a
    /// destructor must not fail. Stepping down into a child, the walk keeps
    /// the way back up (the parent's kind and container) in the child's own
    /// slot, which it drops, with the emptied container, on the way up.
    void release_descendants() noexcept
    {
        value_t kind = m_type; // the container being emptied
        json_value container = m_value;
        value_t parent_kind = value_t::null; // the one holding it; null for this value's own
        json_value parent = {};
        for (;;)
        {
            if (has_children(kind, container))
            {
                basic_json& child = last_child(kind, container);
                if (not child.has_children())
                {
                    drop_last_child(kind, container); // its own release goes no deeper
                    continue;
                }
                const value_t child_kind = child.m_type;
                const json_value child_container = child.m_value;
                child.m_type = parent_kind;
                child.m_value = parent;
                parent_kind = kind;
                parent = container;
                kind = child_kind;
                container = child_container;
            }
            else if (parent_kind == value_t::null)
            {
                return; // the caller releases this value's container, now empty
            }
            else
            {
                if (kind == value_t::object)
                {
                    destroy(container.object);
                }
                else
                {
                    destroy(container.array);
                }
                basic_json& slot = last_child(parent_kind, parent);
                kind = parent_kind;
                container = parent;
                parent_kind = slot.m_type;
                parent = slot.m_value;
                slot.m_type = value_t::null; // so dropping it releases nothing
                drop_last_child(kind, container);
            }
        }
    }

    /// The value's kind and scalar or string, with an empty container in place
    /// of a full one. Throws std::bad_alloc.
    json_value shallow_copy() const
    {
        switch (m_type)
        {
            case value_t::object:
            case value_t::array:
                return json_value(m_type);
            case value_t::string:
                return json_value(*m_value.string);
            case value_t::null:
            case value_t::boolean:
            case value_t::number_integer:
            case value_t::number_unsigned:
            case value_t::number_float:
            case value_t::discarded:
                break;
        }
        return m_value;
    }

    /// A null value holding what shallow_copy gives for source.
    static basic_json shallow_copy_of(const basic_json& source)
    {
        basic_json result;
        result.m_value = source.shallow_copy();
        result.m_type = source.m_type;
        return result;
    }

    /// Fills this value's empty container, and those below it, with copies of
    /// what source's hold, one container at a time from a list of those still
    /// to fill. Throws std::bad_alloc, leaving what was built to the caller.
    void copy_descendants(const basic_json& source)
    {
        std::vector<std::pair<const basic_json*, basic_json*>> to_fill;
        const basic_json* from = &source;
        basic_json* into = this;
        while (from->has_children())
        {
            if (from->is_object())
            {
                object_t& members = *into->m_value.object;
                for (const auto& member : *from->m_value.object)
                {
                    basic_json& copy =
                        members.emplace_hint(members.end(), member.first, shallow_copy_of(member.second))->second;
                    if (member.second.has_children())
                    {
                        to_fill.emplace_back(&member.second, &copy);
                    }
                }
            }
            else
            {
                array_t& elements = *into->m_value.array;
                elements.reserve(from->m_value.array->size()); // so the addresses kept in to_fill stay valid
                for (const basic_json& element : *from->m_value.array)
                {
                    elements.push_back(shallow_copy_of(element));
                    if (element.has_children())
                    {
                        to_fill.emplace_back(&element, &elements.back());
                    }
                }
            }
            if (to_fill.empty())
            {
                return;
            }
            from = to_fill.back().first;
            into = to_fill.back().second;
            to_fill.pop_back();
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
    /// discarded. Throws std::bad_alloc for the three that allocate.
    basic_json(value_t kind)
        : m_type(kind), m_value(kind)
    {
        assert_invariant();
    }

    /// A value from a native one, through json_serializer<T>::to_json:
    /// nullptr is null; bool is a boolean; signed char, short, int, long and
    /// long long are signed numbers; their unsigned forms are unsigned
    /// numbers; float and double are floating-point numbers; string_t,
    /// character arrays and character pointers are strings (a null pointer
    /// throws other_error 501); object_t and array_t are copied or moved in.
    /// Characters, other pointers and other types do not convert, unless a
    /// to_json for them is found in their own namespace.
    /// Throws only what that conversion throws (allocation failure for text).
    template<typename CompatibleType, typename U = detail::uncvref_t<CompatibleType>,
             detail::enable_if_t<not std::is_same<U, basic_json>::value, int> = 0,
             typename = decltype(json_serializer<U>::to_json(std::declval<basic_json&>(),
                                                            std::declval<CompatibleType>()))>
    basic_json(CompatibleType&& val) noexcept(
        noexcept(json_serializer<U>::to_json(std::declval<basic_json&>(), std::forward<CompatibleType>(val))))
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
                detail::throw_error<type_error>(301, "cannot create object from initializer list");
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
        m_value = other.shallow_copy();
        m_type = other.m_type;
        copy_descendants(other);
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
        if (is_structured())
        {
            release_descendants();
        }
        switch (m_type)
        {
            case value_t::object:
                destroy(m_value.object);
                break;
            case value_t::array:
                destroy(m_value.array);
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
            detail::throw_error<type_error>(304, "cannot use at() with " + type_name());
        }
        const auto member = m_value.object->find(key);
        if (member == m_value.object->end())
        {
            detail::throw_error<out_of_range>(403, "key '" + key + "' not found");
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
            throw_kind_error(305, "operator[]");
        }
        if (index >= m_value.array->size())
        {
            throw_index_error(index);
        }
        return (*m_value.array)[index];
    }

    // -- lookup ---------------------------------------------------------------
    // object_t orders keys with std::less<string_t>, which is not transparent,
    // so a lookup needs a string_t: one is taken by reference and never
    // copied; any other string-like key (a literal, a string_view) is turned
    // into one first.

  private:
    /// Key types other than string_t that make a string_t: character
    /// pointers and arrays convert implicitly, string views explicitly.
    template<typename KeyType>
    using enable_if_key_like =
        detail::enable_if_t<std::is_constructible<string_t, KeyType>::value and
                                not std::is_same<detail::uncvref_t<KeyType>, string_t>::value and
                                not std::is_same<detail::uncvref_t<KeyType>, basic_json>::value and
                                not std::is_arithmetic<detail::uncvref_t<KeyType>>::value,
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

    /// The same, for any string-like key. Throws std::bad_alloc when making
    /// the string_t fails.
    template<typename KeyType, enable_if_key_like<KeyType> = 0>
    iterator find(KeyType&& key)
    {
        return find(string_t(std::forward<KeyType>(key)));
    }

    /// The same, on a const value.
    template<typename KeyType, enable_if_key_like<KeyType> = 0>
    const_iterator find(KeyType&& key) const
    {
        return find(string_t(std::forward<KeyType>(key)));
    }

    /// True when the value is an object with a member of this key. Throws
    /// only what making a string_t of a string-like key throws.
    template<typename KeyType>
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
            throw_kind_error(305, "operator[]");
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
            throw_kind_error(305, "operator[]");
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
            throw_kind_error(305, "operator[]");
        }
        array_t& elements = *m_value.array;
        if (index >= elements.size())
        {
            if (index >= elements.max_size())
            {
                throw_index_error(index);
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
            throw_kind_error(308, "push_back()");
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
            throw_kind_error(308, "push_back()");
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
            throw_kind_error(308, "push_back()");
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
            throw_kind_error(311, "emplace_back()");
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
            throw_kind_error(309, "insert()");
        }
        if (first.m_container != last.m_container)
        {
            detail::throw_invalid_iterator(210);
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
            throw_kind_error(309, "insert()");
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
        merge(other, false, 309, "insert()");
    }

    /// The same with the members of [first, last), iterators of an object.
    /// Throws type_error 309 when this value is not an object or null,
    /// invalid_iterator 210 when first and last belong to different values,
    /// 211 when they do not belong to an object, and std::bad_alloc.
    void insert(const_iterator first, const_iterator last)
    {
        if (not is_null() and not is_object())
        {
            throw_kind_error(309, "insert()");
        }
        if (first.m_container != last.m_container)
        {
            detail::throw_invalid_iterator(210);
        }
        if (first.m_container == nullptr or not first.m_container->is_object())
        {
            detail::throw_invalid_iterator(211);
        }
        merge_range(first, last, false);
    }

    /// Copies every member of the object other in, replacing the value of a
    /// member with the same key; a null value becomes an object first.
    /// Throws type_error 312 when either value is not an object (the message
    /// names the kind of the one that is not), and std::bad_alloc.
    void update(const basic_json& other)
    {
        merge(other, true, 312, "update()");
    }

    /// Removes the member with this key; returns how many were removed, 0 or
    /// 1. Throws type_error 307 when the value is not an object.
    size_type erase(const string_t& key)
    {
        if (not is_object())
        {
            throw_kind_error(307, "erase()");
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
            throw_kind_error(307, "erase()");
        }
        if (index >= m_value.array->size())
        {
            throw_index_error(index);
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
            throw_kind_error(307, "erase()");
        }
        if (pos.m_container != this)
        {
            detail::throw_invalid_iterator(202);
        }
        if (is_object())
        {
            if (pos.m_member == m_value.object->cend())
            {
                detail::throw_invalid_iterator(205);
            }
            return iterator(this, m_value.object->erase(pos.m_member));
        }
        if (pos.m_index < 0 or static_cast<size_type>(pos.m_index) >= size())
        {
            detail::throw_invalid_iterator(205);
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
            throw_kind_error(307, "erase()");
        }
        if (first.m_container != this or last.m_container != this)
        {
            detail::throw_invalid_iterator(203);
        }
        if (is_object())
        {
            // Walking there is what erasing costs anyway, and it finds a reversed range.
            for (auto member = first.m_member; member != last.m_member; ++member)
            {
                if (member == m_value.object->cend())
                {
                    detail::throw_invalid_iterator(204);
                }
            }
            return iterator(this, m_value.object->erase(first.m_member, last.m_member));
        }
        if (first.m_index < 0 or first.m_index > last.m_index or static_cast<size_type>(last.m_index) > size())
        {
            detail::throw_invalid_iterator(204);
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
            throw_kind_error(310, "swap()");
        }
        std::swap(*m_value.array, other);
    }

    /// Exchanges the members of an object with other's. Throws type_error
    /// 310 when the value is not an object.
    void swap(object_t& other)
    {
        if (not is_object())
        {
            throw_kind_error(310, "swap()");
        }
        std::swap(*m_value.object, other);
    }

    /// Exchanges the text of a string with other. Throws type_error 310 when
    /// the value is not a string.
    void swap(string_t& other)
    {
        if (not is_string())
        {
            throw_kind_error(310, "swap()");
        }
        std::swap(*m_value.string, other);
    }

  private:
    /// The error of an operation the value's kind does not offer:
    /// "cannot use <operation> with <type name>".
    [[noreturn]] void throw_kind_error(int id, const char* operation) const
    {
        detail::throw_error<type_error>(id, std::string("cannot use ") + operation + " with " + type_name());
    }

    [[noreturn]] static void throw_index_error(size_type index)
    {
        detail::throw_error<out_of_range>(401, "array index " + std::to_string(index) + " is out of range");
    }

    /// Inserts elements before pos, as one step that cannot fail half way:
    /// the room is reserved first, and moving values in never throws.
    iterator insert_elements(const_iterator pos, array_t&& elements)
    {
        if (not is_array())
        {
            throw_kind_error(309, "insert()");
        }
        if (pos.m_container != this)
        {
            detail::throw_invalid_iterator(202);
        }
        array_t& array = *m_value.array;
        if (pos.m_index < 0 or static_cast<size_type>(pos.m_index) > array.size())
        {
            detail::throw_invalid_iterator(205);
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
    void merge(const basic_json& other, const bool replace, const int id, const char* operation)
    {
        if (not is_null() and not is_object())
        {
            throw_kind_error(id, operation);
        }
        if (not other.is_object())
        {
            other.throw_kind_error(id, operation);
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

        std::vector<std::pair<const string_t*, basic_json>> incoming;
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
            std::vector<typename object_t::iterator> added;
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
        std::vector<typename object_t::iterator> targets;
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
                                std::vector<comparison_frame>& open)
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
        std::vector<comparison_frame> open;
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

    // -- output ---------------------------------------------------------------

    /// The value as JSON text: indented by `indent` spaces a level when indent
    /// is greater than 0, compact otherwise; the same bytes as `stream <<` with
    /// that width. Throws std::bad_alloc.
    string_t dump(int indent = -1) const
    {
        std::ostringstream stream;
        stream.exceptions(std::ios::badbit); // a text that cannot grow is an error, not a shorter text
        serializer s(stream);
        s.dump(*this, indent > 0, indent > 0 ? static_cast<unsigned int>(indent) : 0u, 0);
        return stream.str();
    }

  private:
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
        detail::throw_error<type_error>(303, "incompatible ReferenceType for get_ref, actual type is " + obj.type_name());
    }

    value_t m_type = value_t::null;
    json_value m_value = {};
};

// ---------------------------------------------------------------------------
// The serializer: writes one value as JSON text through the stream's
// unformatted put and write, so no formatting state of the stream reaches
// the text, and numbers come out the same under every C locale.
// ---------------------------------------------------------------------------

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
          locale_info(std::localeconv()),
          thousands_sep(locale_text(locale_info->thousands_sep)),
          decimal_point(locale_text(locale_info->decimal_point)),
          indent_spaces(512, ' ')
    {
        open_containers.reserve(32); // so that writing shallow values allocates nothing
    }

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
        open_containers.clear();
        unsigned int new_indent = current_indent; // of the line the next value starts on
        const basic_json* next = &val;
        for (;;)
        {
            if (dump_or_open(*next, pretty_print, new_indent + indent_step))
            {
                open_containers.push_back(open_container(*next));
                new_indent += indent_step;
            }
            // The next value is the next child of the innermost open container;
            // each container that has none left is closed on the way out.
            next = nullptr;
            while (next == nullptr)
            {
                if (open_containers.empty())
                {
                    return;
                }
                open_container& innermost = open_containers.back();
                if (innermost.val->is_object())
                {
                    const object_t& object = *innermost.val->m_value.object;
                    if (innermost.member != object.cend())
                    {
                        if (innermost.member != object.cbegin())
                        {
                            separate(pretty_print);
                        }
                        dump_key(innermost.member->first, pretty_print, new_indent);
                        next = &innermost.member->second;
                        ++innermost.member;
                        continue;
                    }
                    new_indent -= indent_step;
                    close('}', pretty_print, new_indent);
                }
                else
                {
                    const array_t& array = *innermost.val->m_value.array;
                    if (innermost.element != array.cend())
                    {
                        if (innermost.element != array.cbegin())
                        {
                            separate(pretty_print);
                        }
                        indent(pretty_print, new_indent);
                        next = &*innermost.element;
                        ++innermost.element;
                        continue;
                    }
                    new_indent -= indent_step;
                    close(']', pretty_print, new_indent);
                }
                open_containers.pop_back();
            }
        }
    }

  private:
    // -- layout ---------------------------------------------------------------

    void write(const char* text, std::size_t length)
    {
        output_stream.write(text, static_cast<std::streamsize>(length));
    }

    /// The opening bracket; pretty, with its line feed in the same write, and
    /// the indentation grown to cover the new level.
    void open(const char bracket, const bool pretty_print, const unsigned int new_indent)
    {
        if (not pretty_print)
        {
            output_stream.put(bracket);
            return;
        }
        const char opening[] = {bracket, '\n'};
        write(opening, 2);
        if (indent_spaces.size() < new_indent)
        {
            indent_spaces.resize(new_indent, ' ');
        }
    }

    void close(const char bracket, const bool pretty_print, const unsigned int current_indent)
    {
        if (pretty_print)
        {
            output_stream.put('\n');
            write(indent_spaces.data(), current_indent);
        }
        output_stream.put(bracket);
    }

    void indent(const bool pretty_print, const unsigned int new_indent)
    {
        if (pretty_print)
        {
            write(indent_spaces.data(), new_indent);
        }
    }

    /// After every member or element but the last.
    void separate(const bool pretty_print)
    {
        if (pretty_print)
        {
            write(",\n", 2);
        }
        else
        {
            output_stream.put(',');
        }
    }

    /// A member's indentation and key, up to where its value starts.
    void dump_key(const string_t& key, const bool pretty_print, const unsigned int new_indent)
    {
        indent(pretty_print, new_indent);
        output_stream.put('"');
        dump_escaped(key);
        if (pretty_print)
        {
            write("\": ", 3);
        }
        else
        {
            write("\":", 2);
        }
    }

    /// Writes val whole when it is a scalar or an empty container, and returns
    /// false; opens it and returns true when it has members or elements to write.
    bool dump_or_open(const basic_json& val, const bool pretty_print, const unsigned int new_indent)
    {
        switch (val.m_type)
        {
            case value_t::object:
                if (val.m_value.object->empty())
                {
                    write("{}", 2);
                    return false;
                }
                open('{', pretty_print, new_indent);
                return true;

            case value_t::array:
                if (val.m_value.array->empty())
                {
                    write("[]", 2);
                    return false;
                }
                open('[', pretty_print, new_indent);
                return true;

            case value_t::string:
                output_stream.put('"');
                dump_escaped(*val.m_value.string);
                output_stream.put('"');
                return false;

            case value_t::boolean:
                if (val.m_value.boolean)
                {
                    write("true", 4);
                }
                else
                {
                    write("false", 5);
                }
                return false;

            case value_t::number_integer:
                dump_integer(val.m_value.number_integer);
                return false;

            case value_t::number_unsigned:
                dump_integer(val.m_value.number_unsigned);
                return false;

            case value_t::number_float:
                dump_float(val.m_value.number_float);
                return false;

            case value_t::discarded:
                write("<discarded>", 11);
                return false;

            case value_t::null:
                write("null", 4);
                return false;
        }
        return false;
    }

    /// A container being written, and where its writing has got to.
    struct open_container
    {
        explicit open_container(const basic_json& container)
            : val(&container)
        {
            if (container.is_object())
            {
                member = container.m_value.object->cbegin();
            }
            else
            {
                element = container.m_value.array->cbegin();
            }
        }

        const basic_json* val;
        typename object_t::const_iterator member{}; // the next to write, of an object
        typename array_t::const_iterator element{}; // the next to write, of an array
    };

    // -- strings --------------------------------------------------------------

    /// The escape table: the character after the backslash in the
    /// two-character escape of c, or '\0' when c has none.
    static char short_escape(const char c) noexcept
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

    /// The bytes below 0x20; those without a short escape become \u00xx.
    static bool is_control(const char c) noexcept
    {
        return static_cast<unsigned char>(c) < 0x20;
    }

    /// Characters that escaping adds to s: 1 for each short escape, 5 for
    /// each long one.
    static std::size_t extra_space(const string_t& s) noexcept
    {
        std::size_t result = 0;
        for (const char c : s)
        {
            if (short_escape(c) != '\0')
            {
                result += 1;
            }
            else if (is_control(c))
            {
                result += 5;
            }
        }
        return result;
    }

    /// Writes s as the body of a JSON string, in one write: the quotation
    /// mark, the backslash and control bytes escaped, every other byte as it
    /// is. A string that needs no escape is written from its own storage.
    void dump_escaped(const string_t& s) const
    {
        const std::size_t space = extra_space(s);
        if (space == 0)
        {
            output_stream.write(s.data(), static_cast<std::streamsize>(s.size()));
            return;
        }

        // Every escape starts with the backslash already in place.
        string_t result(s.size() + space, '\\');
        std::size_t pos = 0;
        for (const char c : s)
        {
            const char letter = short_escape(c);
            if (letter != '\0')
            {
                result[pos + 1] = letter;
                pos += 2;
            }
            else if (is_control(c))
            {
                static constexpr char hexify[] = "0123456789abcdef";
                const auto byte = static_cast<unsigned char>(c);
                result[pos + 1] = 'u';
                result[pos + 2] = '0';
                result[pos + 3] = '0';
                result[pos + 4] = hexify[byte >> 4];
                result[pos + 5] = hexify[byte & 0x0F];
                pos += 6;
            }
            else
            {
                result[pos] = c;
                pos += 1;
            }
        }
        assert(pos == s.size() + space);
        output_stream.write(result.data(), static_cast<std::streamsize>(result.size()));
    }

    // -- numbers --------------------------------------------------------------

    template<typename NumberType, detail::enable_if_t<std::is_signed<NumberType>::value, int> = 0>
    static bool is_negative(const NumberType x) noexcept
    {
        return x < 0;
    }

    template<typename NumberType, detail::enable_if_t<std::is_unsigned<NumberType>::value, int> = 0>
    static bool is_negative(const NumberType /*unused*/) noexcept
    {
        return false;
    }

    /// Decimal digits, in one write. Never negates, so the most negative
    /// number needs no case of its own.
    template<typename NumberType>
    void dump_integer(NumberType x)
    {
        if (x == 0)
        {
            output_stream.put('0');
            return;
        }

        const bool negative = is_negative(x);
        std::size_t i = 0;
        while (x != 0 and i < number_buffer.size() - 1)
        {
            const int remainder = static_cast<int>(x % 10); // negative or zero for a negative x
            number_buffer[i++] = static_cast<char>('0' + (remainder < 0 ? -remainder : remainder));
            x /= 10;
        }
        assert(x == 0);
        if (negative)
        {
            assert(i < number_buffer.size() - 2);
            number_buffer[i++] = '-';
        }
        std::reverse(number_buffer.data(), number_buffer.data() + i);
        write(number_buffer.data(), i);
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
    const std::lconv* locale_info;
    const string_t thousands_sep; // removed wherever it stands
    const string_t decimal_point; // the first one is turned into '.'
    string_t indent_spaces;
    std::vector<open_container> open_containers; // the innermost last
};

// ---------------------------------------------------------------------------
// The stream operator: the entry point for output.
// ---------------------------------------------------------------------------

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

} // namespace quarrow

// ---------------------------------------------------------------------------
// Structured bindings: an entry of items() binds as its key and its value.
// ---------------------------------------------------------------------------

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

// ---------------------------------------------------------------------------
// Hashing: std::hash for values, equal for values that compare equal.
// ---------------------------------------------------------------------------

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
    std::vector<frame> open;
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

// quarrow: one value type for any JSON value, written out as JSON text.
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

#if __cplusplus >= 201703L
#include <optional>
#include <string_view>
#endif

namespace quarrow
{

/// Converts native values of type T into values and back (see its definition below).
template<typename T, typename SFINAE = void>
struct adl_serializer;

/// The value type, over the containers and scalar types it stores; quarrow
/// uses the one instantiation `json`. Objects are ObjectType maps from
/// StringType to values, arrays ArrayType sequences of values; the scalars are
/// stored as BooleanType, NumberIntegerType, NumberUnsignedType and
/// NumberFloatType; containers and strings are allocated with AllocatorType;
/// native values are converted by JSONSerializer<T>::to_json and read back
/// by JSONSerializer<T>::from_json.
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

    /// The numeric id: 300s for type_error, 400s for out_of_range, 500s for other_error.
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

/// The text up to the NUL s points to. Throws other_error 501 for a null pointer.
template<typename StringType>
StringType string_from_pointer(const char* s)
{
    if (s == nullptr)
    {
        throw_error<other_error>(501, "cannot create string from null pointer");
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
    throw_error<type_error>(302, std::string("type must be ") + expected + ", but is " + j.type_name());
}

/// Throws out_of_range 406 naming the number j holds and the target type.
template<typename BasicJsonType>
[[noreturn]] void throw_does_not_fit(const BasicJsonType& j, const char* target)
{
    const auto* x = j.template get_ptr<const typename BasicJsonType::number_float_t*>();
    // dump() is locale-proof, but writes the numbers JSON lacks as null.
    const std::string number = x == nullptr or std::isfinite(*x) ? std::string(j.dump())
                               : std::isnan(*x)                  ? "NaN"
                               : *x < 0                          ? "-Infinity"
                                                                 : "Infinity";
    throw_error<out_of_range>(406, "number " + number + " does not fit into " + target);
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
                       void_t<decltype(std::declval<T&>().insert(std::declval<T&>().end(),
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
        throw_error<out_of_range>(407, "array has " + std::to_string(array.size()) + " elements, but the target holds " +
                                           std::to_string(size));
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
    std::transform(array.begin(), array.end(), std::inserter(result, result.end()),
                   [](const BasicJsonType& element) { return element.template get<typename T::value_type>(); });
    sequence = std::move(result);
}

/// An array of exactly N elements into a std::array; out_of_range 407 for another size.
template<typename BasicJsonType, typename T, std::size_t N,
         enable_if_t<is_readable<BasicJsonType, T>::value, int> = 0>
void from_json(const BasicJsonType& j, std::array<T, N>& fixed)
{
    const auto& array = array_of_size(j, N);
    std::array<T, N> result{};
    std::transform(array.begin(), array.end(), result.begin(),
                   [](const BasicJsonType& element) { return element.template get<T>(); });
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
        result.emplace(member.first, member.second.template get<typename T::mapped_type>());
    }
    map = std::move(result);
}

template<typename T, typename Array, std::size_t... I>
T tuple_from_array(const Array& array, index_sequence<I...> /*unused*/)
{
    return T(array[I].template get<typename std::tuple_element<I, T>::type>()...);
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
    optional = j.template get<T>();
}
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

  public:
    using value_t = detail::value_t;

    /// The exception family, also reachable through the value type.
    using exception = detail::exception;
    using type_error = detail::type_error;
    using out_of_range = detail::out_of_range;
    using other_error = detail::other_error;

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

    /// Converts native values of type T into values and back.
    template<typename T, typename SFINAE = void>
    using json_serializer = JSONSerializer<T, SFINAE>;

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
            detail::throw_error<other_error>(
                502, "cannot create value of unknown kind " + std::to_string(static_cast<unsigned int>(kind)));
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
    /// and containers).
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
        : m_type(other.m_type)
    {
        other.assert_invariant();
        switch (m_type)
        {
            case value_t::object:
                m_value = *other.m_value.object;
                break;
            case value_t::array:
                m_value = *other.m_value.array;
                break;
            case value_t::string:
                m_value = *other.m_value.string;
                break;
            case value_t::boolean:
                m_value = other.m_value.boolean;
                break;
            case value_t::number_integer:
                m_value = other.m_value.number_integer;
                break;
            case value_t::number_unsigned:
                m_value = other.m_value.number_unsigned;
                break;
            case value_t::number_float:
                m_value = other.m_value.number_float;
                break;
            case value_t::null:
            case value_t::discarded:
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

    /// Releases the whole tree the value owns, depth first.
    ~basic_json() noexcept
    {
        assert_invariant();
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
            detail::throw_error<type_error>(305, "cannot use operator[] with " + type_name());
        }
        if (index >= m_value.array->size())
        {
            detail::throw_error<out_of_range>(401, "array index " + std::to_string(index) + " is out of range");
        }
        return (*m_value.array)[index];
    }

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
    /// std::bad_alloc.
    template<typename ValueType, typename U = detail::uncvref_t<ValueType>,
             detail::enable_if_t<std::is_same<ValueType, U>::value, int> = 0,
             typename = decltype(json_serializer<U>::from_json(std::declval<const basic_json&>(), std::declval<U&>()))>
    U get() const
    {
        U result{};
        json_serializer<U>::from_json(*this, result);
        return result;
    }

    /// Reads the value into target, as get<ValueType>() would, and returns
    /// target. Throws what get does; our own conversions then leave target
    /// as it was.
    template<typename ValueType, typename = decltype(json_serializer<ValueType>::from_json(
                                     std::declval<const basic_json&>(), std::declval<ValueType&>()))>
    ValueType& get_to(ValueType& target) const
    {
        json_serializer<ValueType>::from_json(*this, target);
        return target;
    }

    /// The member with this key read as the default's type, or the default
    /// when there is no such member. The key is anything string_t is made
    /// from; object_t orders keys with std::less<string_t>, so a string_t key
    /// is looked up as it is and any other is copied into a string_t once.
    /// Throws type_error 306 when the value is not an object, other_error 501
    /// for a null character pointer, and what get throws for a member of
    /// another kind.
    template<typename KeyType, typename ValueType,
             detail::enable_if_t<detail::is_key<string_t, KeyType>::value and
                                     detail::is_readable<basic_json, ValueType>::value,
                                 int> = 0>
    ValueType value(const KeyType& key, const ValueType& default_value) const
    {
        const basic_json* member = member_or_null(key);
        return member == nullptr ? default_value : member->template get<ValueType>();
    }

    /// The same with a text default: the member read as a string_t. Throws
    /// as value(key, default) does.
    template<typename KeyType, detail::enable_if_t<detail::is_key<string_t, KeyType>::value, int> = 0>
    string_t value(const KeyType& key, const char* default_value) const
    {
        const basic_json* member = member_or_null(key);
        return member == nullptr ? string_t(default_value) : member->template get<string_t>();
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
    /// The member value(key, ...) reads, or nullptr. Throws type_error 306
    /// when the value is not an object, before the key is copied.
    template<typename KeyType>
    const basic_json* member_or_null(const KeyType& key) const
    {
        if (not is_object())
        {
            detail::throw_error<type_error>(306, "cannot use value() with " + type_name());
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
        const unsigned int new_indent = current_indent + indent_step;
        switch (val.m_type)
        {
            case value_t::object:
            {
                const object_t& object = *val.m_value.object;
                if (object.empty())
                {
                    write("{}", 2);
                    return;
                }
                open('{', pretty_print, new_indent);
                auto i = object.cbegin();
                for (std::size_t count = 1; count < object.size(); ++count, ++i)
                {
                    dump_member(*i, pretty_print, indent_step, new_indent);
                    separate(pretty_print);
                }
                assert(i != val.m_value.object->cend());
                dump_member(*i, pretty_print, indent_step, new_indent);
                close('}', pretty_print, current_indent);
                return;
            }

            case value_t::array:
            {
                const array_t& array = *val.m_value.array;
                if (array.empty())
                {
                    write("[]", 2);
                    return;
                }
                open('[', pretty_print, new_indent);
                for (auto i = array.cbegin(); i != array.cend() - 1; ++i)
                {
                    indent(pretty_print, new_indent);
                    dump(*i, pretty_print, indent_step, new_indent);
                    separate(pretty_print);
                }
                assert(not val.m_value.array->empty());
                indent(pretty_print, new_indent);
                dump(array.back(), pretty_print, indent_step, new_indent);
                close(']', pretty_print, current_indent);
                return;
            }

            case value_t::string:
                output_stream.put('"');
                dump_escaped(*val.m_value.string);
                output_stream.put('"');
                return;

            case value_t::boolean:
                if (val.m_value.boolean)
                {
                    write("true", 4);
                }
                else
                {
                    write("false", 5);
                }
                return;

            case value_t::number_integer:
                dump_integer(val.m_value.number_integer);
                return;

            case value_t::number_unsigned:
                dump_integer(val.m_value.number_unsigned);
                return;

            case value_t::number_float:
                dump_float(val.m_value.number_float);
                return;

            case value_t::discarded:
                write("<discarded>", 11);
                return;

            case value_t::null:
                write("null", 4);
                return;
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

    void dump_member(const typename object_t::value_type& member, const bool pretty_print,
                     const unsigned int indent_step, const unsigned int new_indent)
    {
        indent(pretty_print, new_indent);
        output_stream.put('"');
        dump_escaped(member.first);
        if (pretty_print)
        {
            write("\": ", 3);
        }
        else
        {
            write("\":", 2);
        }
        dump(member.second, pretty_print, indent_step, new_indent);
    }

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

#endif // QUARROW_JSON_HPP

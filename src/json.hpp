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
#include <cstring>
#include <exception>
#include <initializer_list>
#include <iterator>
#include <limits>
#include <map>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
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
// Output options: how dump() and dump_to() write a value as JSON text.
// ---------------------------------------------------------------------------

/// What the text routes do with string bytes that are not valid UTF-8
/// (RFC 3629: no overlong form, no encoded surrogate, nothing above U+10FFFF,
/// no truncated sequence, no stray continuation byte).
enum class utf8_policy
{
    keep,    ///< write the bytes as they are, as the stream operator does
    replace, ///< write U+FFFD for each maximal subpart of an ill-formed sequence
    error    ///< throw type_error 316 naming the index of the first bad byte
};

/// Options of dump() and dump_to(); the defaults give the stream operator's bytes.
struct dump_options
{
    /// Spaces a level when greater than 0; compact otherwise.
    int indent = -1;
    /// Doubles with the fewest digits that read back as the same double,
    /// instead of 15 significant digits.
    bool round_trip_doubles = false;
    /// Bytes of strings and keys that are not valid UTF-8.
    utf8_policy invalid_utf8 = utf8_policy::keep;
    /// Every character above U+007F as \uXXXX (a surrogate pair above
    /// U+FFFF), so that the text is plain ASCII.
    bool escape_non_ascii = false;
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

    /// Writes one value as JSON text into a string or, in fixed-size
    /// chunks, onto a stream, as fast as it can.
    class writer;

    /// Converts native values of type T into values.
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

    /// True for an object or array holding a value that holds values: one
    /// that releasing or copying container by container would go more than
    /// one level down.
    bool has_grandchildren() const noexcept
    {
        if (m_type == value_t::object)
        {
            return std::any_of(m_value.object->cbegin(), m_value.object->cend(),
                               [](const typename object_t::value_type& member) {
                                   return member.second.has_children();
                               });
        }
        if (m_type == value_t::array)
        {
            return std::any_of(m_value.array->cbegin(), m_value.array->cend(),
                               [](const basic_json& element) { return element.has_children(); });
        }
        return false;
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

    /// Reorders the values from first to last so that those with grandchildren
    /// come last, by exchanging values between places: in an object they move
    /// away from their keys, so only for a container about to go.
    template<typename Iterator, typename ValueOf>
    static void put_deep_last(Iterator first, Iterator last, ValueOf value_of) noexcept
    {
        for (;; ++first)
        {
            while (first != last and not value_of(first).has_grandchildren())
            {
                ++first;
            }
            if (first == last)
            {
                return;
            }
            --last;
            while (first != last and value_of(last).has_grandchildren())
            {
                --last;
            }
            if (first == last)
            {
                return;
            }
            basic_json& deep = value_of(first);
            basic_json& shallow = value_of(last);
            std::swap(deep.m_type, shallow.m_type);
            std::swap(deep.m_value, shallow.m_value);
        }
    }

    static void put_deep_last(const value_t kind, const json_value container) noexcept
    {
        if (kind == value_t::object)
        {
            put_deep_last(container.object->begin(), container.object->end(),
                          [](typename object_t::iterator i) -> basic_json& { return i->second; });
        }
        else
        {
            put_deep_last(container.array->begin(), container.array->end(),
                          [](typename array_t::iterator i) -> basic_json& { return *i; });
        }
    }

    /// Releases the values below this value's container that have
    /// grandchildren, and everything below them, in time linear in their size
    /// and with no memory, since a destructor must not fail. Each container
    /// on the way has those values put last; the walk steps down into the
    /// last one while there is one, keeping the way back up (the parent's
    /// kind and container) in the slot it steps down through. A container
    /// whose last value has no grandchildren has no such values left: it goes
    /// whole, with the slot that led to it, and the walk steps back up.
    void release_descendants() noexcept
    {
        value_t kind = m_type; // the container being walked
        json_value container = m_value;
        value_t parent_kind = value_t::null; // the one holding it; null for this value's own
        json_value parent = {};
        put_deep_last(kind, container);
        for (;;)
        {
            if (has_children(kind, container) and last_child(kind, container).has_grandchildren())
            {
                basic_json& child = last_child(kind, container);
                const value_t child_kind = child.m_type;
                const json_value child_container = child.m_value;
                child.m_type = parent_kind;
                child.m_value = parent;
                parent_kind = kind;
                parent = container;
                kind = child_kind;
                container = child_container;
                put_deep_last(kind, container);
            }
            else if (parent_kind == value_t::null)
            {
                return; // the caller releases this value's container, which goes one level down at most
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

    /// The value's kind and scalar or string, with its container copied whole
    /// when `whole` (by the container's own copy, for a value without
    /// grandchildren) or else empty. Throws std::bad_alloc.
    json_value copy_value(const bool whole) const
    {
        switch (m_type)
        {
            case value_t::object:
                return whole ? json_value(*m_value.object) : json_value(value_t::object);
            case value_t::array:
                return whole ? json_value(*m_value.array) : json_value(value_t::array);
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

    /// A value holding what source.copy_value(whole) gives.
    static basic_json copy_of(const basic_json& source, const bool whole)
    {
        basic_json result;
        result.m_value = source.copy_value(whole);
        result.m_type = source.m_type;
        return result;
    }

    /// Fills this value's empty container, and those below it, with copies of
    /// what source's hold, one container at a time from a list of those still
    /// to fill; a container without grandchildren is copied whole. Throws
    /// std::bad_alloc, leaving what was built to the caller.
    void copy_descendants(const basic_json& source)
    {
        std::vector<std::pair<const basic_json*, basic_json*>> to_fill;
        const basic_json* from = &source;
        basic_json* into = this;
        for (;;)
        {
            if (from->is_object())
            {
                object_t& members = *into->m_value.object;
                for (const auto& member : *from->m_value.object)
                {
                    const bool deep = member.second.has_grandchildren();
                    basic_json& copy =
                        members.emplace_hint(members.end(), member.first, copy_of(member.second, not deep))->second;
                    if (deep)
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
                    const bool deep = element.has_grandchildren();
                    elements.push_back(copy_of(element, not deep));
                    if (deep)
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
        const bool deep = other.has_grandchildren();
        m_value = other.copy_value(not deep);
        m_type = other.m_type;
        if (deep)
        {
            copy_descendants(other);
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
        if (has_grandchildren())
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

    // -- output ---------------------------------------------------------------

    /// The value as JSON text: indented by `indent` spaces a level when indent
    /// is greater than 0, compact otherwise; the same bytes as `stream <<` with
    /// that width. Throws std::bad_alloc.
    string_t dump(int indent = -1) const
    {
        dump_options options;
        options.indent = indent;
        return dump(options);
    }

    /// The value as JSON text written as options say. Throws std::bad_alloc,
    /// and type_error 316 for a string that is not valid UTF-8 under
    /// utf8_policy::error.
    string_t dump(const dump_options& options) const
    {
        string_t text;
        dump_to(text, options);
        return text;
    }

    /// Appends the value as JSON text to `text`, whose capacity is reused;
    /// `text` must not be a string inside the value. Throws what
    /// dump(options) throws; `text` then has its old length again.
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

namespace detail
{

// ---------------------------------------------------------------------------
// Floating-point text: a double's 15-digit or shortest decimal, exact, locale-free, without allocating.
// ---------------------------------------------------------------------------

/// An unsigned 128-bit number as two 64-bit halves.
struct uint128
{
    std::uint64_t high;
    std::uint64_t low;
};

/// a < b.
inline bool less(const uint128 a, const uint128 b) noexcept
{
    return a.high < b.high or (a.high == b.high and a.low < b.low);
}

/// a + b, which the callers know cannot wrap.
inline uint128 plus(const uint128 a, const std::uint64_t b) noexcept
{
    const std::uint64_t low = a.low + b;
    return {a.high + (low < b ? 1u : 0u), low};
}

/// a * b from 32-bit pieces; what multiply gives where the compiler has no 128-bit type.
inline uint128 multiply_portable(const std::uint64_t a, const std::uint64_t b) noexcept
{
    const std::uint64_t mask = 0xffffffffu;
    const std::uint64_t low_low = (a & mask) * (b & mask);
    const std::uint64_t high_low = (a >> 32) * (b & mask);
    const std::uint64_t low_high = (a & mask) * (b >> 32);
    const std::uint64_t high_high = (a >> 32) * (b >> 32);
    const std::uint64_t middle = (low_low >> 32) + (high_low & mask) + (low_high & mask); // < 3 * 2^32
    return {high_high + (high_low >> 32) + (low_high >> 32) + (middle >> 32), (middle << 32) | (low_low & mask)};
}

#ifdef __SIZEOF_INT128__
__extension__ typedef unsigned __int128 native_uint128;
#endif

/// a * b.
inline uint128 multiply(const std::uint64_t a, const std::uint64_t b) noexcept
{
#ifdef __SIZEOF_INT128__
    const native_uint128 product = static_cast<native_uint128>(a) * b;
    return {static_cast<std::uint64_t>(product >> 64), static_cast<std::uint64_t>(product)};
#else
    return multiply_portable(a, b);
#endif
}

/// floor(t * log10(2)), exact for |t| < 1100 (tests/powers_of_ten.py checks it).
inline int floor_log10_pow2(const int t) noexcept
{
    // The offset keeps what is shifted non-negative, so the shift rounds down.
    assert(t > -1100 and t < 1100);
    return ((t * 78913 + (400 << 18)) >> 18) - 400;
}

/// floor(n * log2(10)), exact over the table of powers of ten (tests/powers_of_ten.py checks it).
inline int floor_log2_pow10(const int n) noexcept
{
    assert(n > -360 and n < 360);
    return ((n * 217706 + (1200 << 16)) >> 16) - 1200;
}

// Generated by tests/powers_of_ten.py, which a test runs to check it; do not edit.
constexpr int power_of_ten_min = -292;
constexpr int power_of_ten_max = 341;

/// The 128 leading bits of 10^n, truncated, as {high, low}; see floor_log2_pow10.
inline const std::uint64_t* power_of_ten_bits(const int n) noexcept
{
    static const std::uint64_t table[][2] = {
        {0xff77b1fcbebcdc4fu, 0x25e8e89c13bb0f7au},
        {0x9faacf3df73609b1u, 0x77b191618c54e9acu},
        {0xc795830d75038c1du, 0xd59df5b9ef6a2417u},
        {0xf97ae3d0d2446f25u, 0x4b0573286b44ad1du},
        {0x9becce62836ac577u, 0x4ee367f9430aec32u},
        {0xc2e801fb244576d5u, 0x229c41f793cda73fu},
        {0xf3a20279ed56d48au, 0x6b43527578c1110fu},
        {0x9845418c345644d6u, 0x830a13896b78aaa9u},
        {0xbe5691ef416bd60cu, 0x23cc986bc656d553u},
        {0xedec366b11c6cb8fu, 0x2cbfbe86b7ec8aa8u},
        {0x94b3a202eb1c3f39u, 0x7bf7d71432f3d6a9u},
        {0xb9e08a83a5e34f07u, 0xdaf5ccd93fb0cc53u},
        {0xe858ad248f5c22c9u, 0xd1b3400f8f9cff68u},
        {0x91376c36d99995beu, 0x23100809b9c21fa1u},
        {0xb58547448ffffb2du, 0xabd40a0c2832a78au},
        {0xe2e69915b3fff9f9u, 0x16c90c8f323f516cu},
        {0x8dd01fad907ffc3bu, 0xae3da7d97f6792e3u},
        {0xb1442798f49ffb4au, 0x99cd11cfdf41779cu},
        {0xdd95317f31c7fa1du, 0x40405643d711d583u},
        {0x8a7d3eef7f1cfc52u, 0x482835ea666b2572u},
        {0xad1c8eab5ee43b66u, 0xda3243650005eecfu},
        {0xd863b256369d4a40u, 0x90bed43e40076a82u},
        {0x873e4f75e2224e68u, 0x5a7744a6e804a291u},
        {0xa90de3535aaae202u, 0x711515d0a205cb36u},
        {0xd3515c2831559a83u, 0x0d5a5b44ca873e03u},
        {0x8412d9991ed58091u, 0xe858790afe9486c2u},
        {0xa5178fff668ae0b6u, 0x626e974dbe39a872u},
        {0xce5d73ff402d98e3u, 0xfb0a3d212dc8128fu},
        {0x80fa687f881c7f8eu, 0x7ce66634bc9d0b99u},
        {0xa139029f6a239f72u, 0x1c1fffc1ebc44e80u},
        {0xc987434744ac874eu, 0xa327ffb266b56220u},
        {0xfbe9141915d7a922u, 0x4bf1ff9f0062baa8u},
        {0x9d71ac8fada6c9b5u, 0x6f773fc3603db4a9u},
        {0xc4ce17b399107c22u, 0xcb550fb4384d21d3u},
        {0xf6019da07f549b2bu, 0x7e2a53a146606a48u},
        {0x99c102844f94e0fbu, 0x2eda7444cbfc426du},
        {0xc0314325637a1939u, 0xfa911155fefb5308u},
        {0xf03d93eebc589f88u, 0x793555ab7eba27cau},
        {0x96267c7535b763b5u, 0x4bc1558b2f3458deu},
        {0xbbb01b9283253ca2u, 0x9eb1aaedfb016f16u},
        {0xea9c227723ee8bcbu, 0x465e15a979c1cadcu},
        {0x92a1958a7675175fu, 0x0bfacd89ec191ec9u},
        {0xb749faed14125d36u, 0xcef980ec671f667bu},
        {0xe51c79a85916f484u, 0x82b7e12780e7401au},
        {0x8f31cc0937ae58d2u, 0xd1b2ecb8b0908810u},
        {0xb2fe3f0b8599ef07u, 0x861fa7e6dcb4aa15u},
        {0xdfbdcece67006ac9u, 0x67a791e093e1d49au},
        {0x8bd6a141006042bdu, 0xe0c8bb2c5c6d24e0u},
        {0xaecc49914078536du, 0x58fae9f773886e18u},
        {0xda7f5bf590966848u, 0xaf39a475506a899eu},
        {0x888f99797a5e012du, 0x6d8406c952429603u},
        {0xaab37fd7d8f58178u, 0xc8e5087ba6d33b83u},
        {0xd5605fcdcf32e1d6u, 0xfb1e4a9a90880a64u},
        {0x855c3be0a17fcd26u, 0x5cf2eea09a55067fu},
        {0xa6b34ad8c9dfc06fu, 0xf42faa48c0ea481eu},
        {0xd0601d8efc57b08bu, 0xf13b94daf124da26u},
        {0x823c12795db6ce57u, 0x76c53d08d6b70858u},
        {0xa2cb1717b52481edu, 0x54768c4b0c64ca6eu},
        {0xcb7ddcdda26da268u, 0xa9942f5dcf7dfd09u},
        {0xfe5d54150b090b02u, 0xd3f93b35435d7c4cu},
        {0x9efa548d26e5a6e1u, 0xc47bc5014a1a6dafu},
        {0xc6b8e9b0709f109au, 0x359ab6419ca1091bu},
        {0xf867241c8cc6d4c0u, 0xc30163d203c94b62u},
        {0x9b407691d7fc44f8u, 0x79e0de63425dcf1du},
        {0xc21094364dfb5636u, 0x985915fc12f542e4u},
        {0xf294b943e17a2bc4u, 0x3e6f5b7b17b2939du},
        {0x979cf3ca6cec5b5au, 0xa705992ceecf9c42u},
        {0xbd8430bd08277231u, 0x50c6ff782a838353u},
        {0xece53cec4a314ebdu, 0xa4f8bf5635246428u},
        {0x940f4613ae5ed136u, 0x871b7795e136be99u},
        {0xb913179899f68584u, 0x28e2557b59846e3fu},
        {0xe757dd7ec07426e5u, 0x331aeada2fe589cfu},
        {0x9096ea6f3848984fu, 0x3ff0d2c85def7621u},
        {0xb4bca50b065abe63u, 0x0fed077a756b53a9u},
        {0xe1ebce4dc7f16dfbu, 0xd3e8495912c62894u},
        {0x8d3360f09cf6e4bdu, 0x64712dd7abbbd95cu},
        {0xb080392cc4349decu, 0xbd8d794d96aacfb3u},
        {0xdca04777f541c567u, 0xecf0d7a0fc5583a0u},
        {0x89e42caaf9491b60u, 0xf41686c49db57244u},
        {0xac5d37d5b79b6239u, 0x311c2875c522ced5u},
        {0xd77485cb25823ac7u, 0x7d633293366b828bu},
        {0x86a8d39ef77164bcu, 0xae5dff9c02033197u},
        {0xa8530886b54dbdebu, 0xd9f57f830283fdfcu},
        {0xd267caa862a12d66u, 0xd072df63c324fd7bu},
        {0x8380dea93da4bc60u, 0x4247cb9e59f71e6du},
        {0xa46116538d0deb78u, 0x52d9be85f074e608u},
        {0xcd795be870516656u, 0x67902e276c921f8bu},
        {0x806bd9714632dff6u, 0x00ba1cd8a3db53b6u},
        {0xa086cfcd97bf97f3u, 0x80e8a40eccd228a4u},
        {0xc8a883c0fdaf7df0u, 0x6122cd128006b2cdu},
        {0xfad2a4b13d1b5d6cu, 0x796b805720085f81u},
        {0x9cc3a6eec6311a63u, 0xcbe3303674053bb0u},
        {0xc3f490aa77bd60fcu, 0xbedbfc4411068a9cu},
        {0xf4f1b4d515acb93bu, 0xee92fb5515482d44u},
        {0x991711052d8bf3c5u, 0x751bdd152d4d1c4au},
        {0xbf5cd54678eef0b6u, 0xd262d45a78a0635du},
        {0xef340a98172aace4u, 0x86fb897116c87c34u},
        {0x9580869f0e7aac0eu, 0xd45d35e6ae3d4da0u},
        {0xbae0a846d2195712u, 0x8974836059cca109u},
        {0xe998d258869facd7u, 0x2bd1a438703fc94bu},
        {0x91ff83775423cc06u, 0x7b6306a34627ddcfu},
        {0xb67f6455292cbf08u, 0x1a3bc84c17b1d542u},
        {0xe41f3d6a7377eecau, 0x20caba5f1d9e4a93u},
        {0x8e938662882af53eu, 0x547eb47b7282ee9cu},
        {0xb23867fb2a35b28du, 0xe99e619a4f23aa43u},
        {0xdec681f9f4c31f31u, 0x6405fa00e2ec94d4u},
        {0x8b3c113c38f9f37eu, 0xde83bc408dd3dd04u},
        {0xae0b158b4738705eu, 0x9624ab50b148d445u},
        {0xd98ddaee19068c76u, 0x3badd624dd9b0957u},
        {0x87f8a8d4cfa417c9u, 0xe54ca5d70a80e5d6u},
        {0xa9f6d30a038d1dbcu, 0x5e9fcf4ccd211f4cu},
        {0xd47487cc8470652bu, 0x7647c3200069671fu},
        {0x84c8d4dfd2c63f3bu, 0x29ecd9f40041e073u},
        {0xa5fb0a17c777cf09u, 0xf468107100525890u},
        {0xcf79cc9db955c2ccu, 0x7182148d4066eeb4u},
        {0x81ac1fe293d599bfu, 0xc6f14cd848405530u},
        {0xa21727db38cb002fu, 0xb8ada00e5a506a7cu},
        {0xca9cf1d206fdc03bu, 0xa6d90811f0e4851cu},
        {0xfd442e4688bd304au, 0x908f4a166d1da663u},
        {0x9e4a9cec15763e2eu, 0x9a598e4e043287feu},
        {0xc5dd44271ad3cdbau, 0x40eff1e1853f29fdu},
        {0xf7549530e188c128u, 0xd12bee59e68ef47cu},
        {0x9a94dd3e8cf578b9u, 0x82bb74f8301958ceu},
        {0xc13a148e3032d6e7u, 0xe36a52363c1faf01u},
        {0xf18899b1bc3f8ca1u, 0xdc44e6c3cb279ac1u},
        {0x96f5600f15a7b7e5u, 0x29ab103a5ef8c0b9u},
        {0xbcb2b812db11a5deu, 0x7415d448f6b6f0e7u},
        {0xebdf661791d60f56u, 0x111b495b3464ad21u},
        {0x936b9fcebb25c995u, 0xcab10dd900beec34u},
        {0xb84687c269ef3bfbu, 0x3d5d514f40eea742u},
        {0xe65829b3046b0afau, 0x0cb4a5a3112a5112u},
        {0x8ff71a0fe2c2e6dcu, 0x47f0e785eaba72abu},
        {0xb3f4e093db73a093u, 0x59ed216765690f56u},
        {0xe0f218b8d25088b8u, 0x306869c13ec3532cu},
        {0x8c974f7383725573u, 0x1e414218c73a13fbu},
        {0xafbd2350644eeacfu, 0xe5d1929ef90898fau},
        {0xdbac6c247d62a583u, 0xdf45f746b74abf39u},
        {0x894bc396ce5da772u, 0x6b8bba8c328eb783u},
        {0xab9eb47c81f5114fu, 0x066ea92f3f326564u},
        {0xd686619ba27255a2u, 0xc80a537b0efefebdu},
        {0x8613fd0145877585u, 0xbd06742ce95f5f36u},
        {0xa798fc4196e952e7u, 0x2c48113823b73704u},
        {0xd17f3b51fca3a7a0u, 0xf75a15862ca504c5u},
        {0x82ef85133de648c4u, 0x9a984d73dbe722fbu},
        {0xa3ab66580d5fdaf5u, 0xc13e60d0d2e0ebbau},
        {0xcc963fee10b7d1b3u, 0x318df905079926a8u},
        {0xffbbcfe994e5c61fu, 0xfdf17746497f7052u},
        {0x9fd561f1fd0f9bd3u, 0xfeb6ea8bedefa633u},
        {0xc7caba6e7c5382c8u, 0xfe64a52ee96b8fc0u},
        {0xf9bd690a1b68637bu, 0x3dfdce7aa3c673b0u},
        {0x9c1661a651213e2du, 0x06bea10ca65c084eu},
        {0xc31bfa0fe5698db8u, 0x486e494fcff30a62u},
        {0xf3e2f893dec3f126u, 0x5a89dba3c3efccfau},
        {0x986ddb5c6b3a76b7u, 0xf89629465a75e01cu},
        {0xbe89523386091465u, 0xf6bbb397f1135823u},
        {0xee2ba6c0678b597fu, 0x746aa07ded582e2cu},
        {0x94db483840b717efu, 0xa8c2a44eb4571cdcu},
        {0xba121a4650e4ddebu, 0x92f34d62616ce413u},
        {0xe896a0d7e51e1566u, 0x77b020baf9c81d17u},
        {0x915e2486ef32cd60u, 0x0ace1474dc1d122eu},
        {0xb5b5ada8aaff80b8u, 0x0d819992132456bau},
        {0xe3231912d5bf60e6u, 0x10e1fff697ed6c69u},
        {0x8df5efabc5979c8fu, 0xca8d3ffa1ef463c1u},
        {0xb1736b96b6fd83b3u, 0xbd308ff8a6b17cb2u},
        {0xddd0467c64bce4a0u, 0xac7cb3f6d05ddbdeu},
        {0x8aa22c0dbef60ee4u, 0x6bcdf07a423aa96bu},
        {0xad4ab7112eb3929du, 0x86c16c98d2c953c6u},
        {0xd89d64d57a607744u, 0xe871c7bf077ba8b7u},
        {0x87625f056c7c4a8bu, 0x11471cd764ad4972u},
        {0xa93af6c6c79b5d2du, 0xd598e40d3dd89bcfu},
        {0xd389b47879823479u, 0x4aff1d108d4ec2c3u},
        {0x843610cb4bf160cbu, 0xcedf722a585139bau},
        {0xa54394fe1eedb8feu, 0xc2974eb4ee658828u},
        {0xce947a3da6a9273eu, 0x733d226229feea32u},
        {0x811ccc668829b887u, 0x0806357d5a3f525fu},
        {0xa163ff802a3426a8u, 0xca07c2dcb0cf26f7u},
        {0xc9bcff6034c13052u, 0xfc89b393dd02f0b5u},
        {0xfc2c3f3841f17c67u, 0xbbac2078d443ace2u},
        {0x9d9ba7832936edc0u, 0xd54b944b84aa4c0du},
        {0xc5029163f384a931u, 0x0a9e795e65d4df11u},
        {0xf64335bcf065d37du, 0x4d4617b5ff4a16d5u},
        {0x99ea0196163fa42eu, 0x504bced1bf8e4e45u},
        {0xc06481fb9bcf8d39u, 0xe45ec2862f71e1d6u},
        {0xf07da27a82c37088u, 0x5d767327bb4e5a4cu},
        {0x964e858c91ba2655u, 0x3a6a07f8d510f86fu},
        {0xbbe226efb628afeau, 0x890489f70a55368bu},
        {0xeadab0aba3b2dbe5u, 0x2b45ac74ccea842eu},
        {0x92c8ae6b464fc96fu, 0x3b0b8bc90012929du},
        {0xb77ada0617e3bbcbu, 0x09ce6ebb40173744u},
        {0xe55990879ddcaabdu, 0xcc420a6a101d0515u},
        {0x8f57fa54c2a9eab6u, 0x9fa946824a12232du},
        {0xb32df8e9f3546564u, 0x47939822dc96abf9u},
        {0xdff9772470297ebdu, 0x59787e2b93bc56f7u},
        {0x8bfbea76c619ef36u, 0x57eb4edb3c55b65au},
        {0xaefae51477a06b03u, 0xede622920b6b23f1u},
        {0xdab99e59958885c4u, 0xe95fab368e45ecedu},
        {0x88b402f7fd75539bu, 0x11dbcb0218ebb414u},
        {0xaae103b5fcd2a881u, 0xd652bdc29f26a119u},
        {0xd59944a37c0752a2u, 0x4be76d3346f0495fu},
        {0x857fcae62d8493a5u, 0x6f70a4400c562ddbu},
        {0xa6dfbd9fb8e5b88eu, 0xcb4ccd500f6bb952u},
        {0xd097ad07a71f26b2u, 0x7e2000a41346a7a7u},
        {0x825ecc24c873782fu, 0x8ed400668c0c28c8u},
        {0xa2f67f2dfa90563bu, 0x728900802f0f32fau},
        {0xcbb41ef979346bcau, 0x4f2b40a03ad2ffb9u},
        {0xfea126b7d78186bcu, 0xe2f610c84987bfa8u},
        {0x9f24b832e6b0f436u, 0x0dd9ca7d2df4d7c9u},
        {0xc6ede63fa05d3143u, 0x91503d1c79720dbbu},
        {0xf8a95fcf88747d94u, 0x75a44c6397ce912au},
        {0x9b69dbe1b548ce7cu, 0xc986afbe3ee11abau},
        {0xc24452da229b021bu, 0xfbe85badce996168u},
        {0xf2d56790ab41c2a2u, 0xfae27299423fb9c3u},
        {0x97c560ba6b0919a5u, 0xdccd879fc967d41au},
        {0xbdb6b8e905cb600fu, 0x5400e987bbc1c920u},
        {0xed246723473e3813u, 0x290123e9aab23b68u},
        {0x9436c0760c86e30bu, 0xf9a0b6720aaf6521u},
        {0xb94470938fa89bceu, 0xf808e40e8d5b3e69u},
        {0xe7958cb87392c2c2u, 0xb60b1d1230b20e04u},
        {0x90bd77f3483bb9b9u, 0xb1c6f22b5e6f48c2u},
        {0xb4ecd5f01a4aa828u, 0x1e38aeb6360b1af3u},
        {0xe2280b6c20dd5232u, 0x25c6da63c38de1b0u},
        {0x8d590723948a535fu, 0x579c487e5a38ad0eu},
        {0xb0af48ec79ace837u, 0x2d835a9df0c6d851u},
        {0xdcdb1b2798182244u, 0xf8e431456cf88e65u},
        {0x8a08f0f8bf0f156bu, 0x1b8e9ecb641b58ffu},
        {0xac8b2d36eed2dac5u, 0xe272467e3d222f3fu},
        {0xd7adf884aa879177u, 0x5b0ed81dcc6abb0fu},
        {0x86ccbb52ea94baeau, 0x98e947129fc2b4e9u},
        {0xa87fea27a539e9a5u, 0x3f2398d747b36224u},
        {0xd29fe4b18e88640eu, 0x8eec7f0d19a03aadu},
        {0x83a3eeeef9153e89u, 0x1953cf68300424acu},
        {0xa48ceaaab75a8e2bu, 0x5fa8c3423c052dd7u},
        {0xcdb02555653131b6u, 0x3792f412cb06794du},
        {0x808e17555f3ebf11u, 0xe2bbd88bbee40bd0u},
        {0xa0b19d2ab70e6ed6u, 0x5b6aceaeae9d0ec4u},
        {0xc8de047564d20a8bu, 0xf245825a5a445275u},
        {0xfb158592be068d2eu, 0xeed6e2f0f0d56712u},
        {0x9ced737bb6c4183du, 0x55464dd69685606bu},
        {0xc428d05aa4751e4cu, 0xaa97e14c3c26b886u},
        {0xf53304714d9265dfu, 0xd53dd99f4b3066a8u},
        {0x993fe2c6d07b7fabu, 0xe546a8038efe4029u},
        {0xbf8fdb78849a5f96u, 0xde98520472bdd033u},
        {0xef73d256a5c0f77cu, 0x963e66858f6d4440u},
        {0x95a8637627989aadu, 0xdde7001379a44aa8u},
        {0xbb127c53b17ec159u, 0x5560c018580d5d52u},
        {0xe9d71b689dde71afu, 0xaab8f01e6e10b4a6u},
        {0x9226712162ab070du, 0xcab3961304ca70e8u},
        {0xb6b00d69bb55c8d1u, 0x3d607b97c5fd0d22u},
        {0xe45c10c42a2b3b05u, 0x8cb89a7db77c506au},
        {0x8eb98a7a9a5b04e3u, 0x77f3608e92adb242u},
        {0xb267ed1940f1c61cu, 0x55f038b237591ed3u},
        {0xdf01e85f912e37a3u, 0x6b6c46dec52f6688u},
        {0x8b61313bbabce2c6u, 0x2323ac4b3b3da015u},
        {0xae397d8aa96c1b77u, 0xabec975e0a0d081au},
        {0xd9c7dced53c72255u, 0x96e7bd358c904a21u},
        {0x881cea14545c7575u, 0x7e50d64177da2e54u},
        {0xaa242499697392d2u, 0xdde50bd1d5d0b9e9u},
        {0xd4ad2dbfc3d07787u, 0x955e4ec64b44e864u},
        {0x84ec3c97da624ab4u, 0xbd5af13bef0b113eu},
        {0xa6274bbdd0fadd61u, 0xecb1ad8aeacdd58eu},
        {0xcfb11ead453994bau, 0x67de18eda5814af2u},
        {0x81ceb32c4b43fcf4u, 0x80eacf948770ced7u},
        {0xa2425ff75e14fc31u, 0xa1258379a94d028du},
        {0xcad2f7f5359a3b3eu, 0x096ee45813a04330u},
        {0xfd87b5f28300ca0du, 0x8bca9d6e188853fcu},
        {0x9e74d1b791e07e48u, 0x775ea264cf55347du},
        {0xc612062576589ddau, 0x95364afe032a819du},
        {0xf79687aed3eec551u, 0x3a83ddbd83f52204u},
        {0x9abe14cd44753b52u, 0xc4926a9672793542u},
        {0xc16d9a0095928a27u, 0x75b7053c0f178293u},
        {0xf1c90080baf72cb1u, 0x5324c68b12dd6338u},
        {0x971da05074da7beeu, 0xd3f6fc16ebca5e03u},
        {0xbce5086492111aeau, 0x88f4bb1ca6bcf584u},
        {0xec1e4a7db69561a5u, 0x2b31e9e3d06c32e5u},
        {0x9392ee8e921d5d07u, 0x3aff322e62439fcfu},
        {0xb877aa3236a4b449u, 0x09befeb9fad487c2u},
        {0xe69594bec44de15bu, 0x4c2ebe687989a9b3u},
        {0x901d7cf73ab0acd9u, 0x0f9d37014bf60a10u},
        {0xb424dc35095cd80fu, 0x538484c19ef38c94u},
        {0xe12e13424bb40e13u, 0x2865a5f206b06fb9u},
        {0x8cbccc096f5088cbu, 0xf93f87b7442e45d3u},
        {0xafebff0bcb24aafeu, 0xf78f69a51539d748u},
        {0xdbe6fecebdedd5beu, 0xb573440e5a884d1bu},
        {0x89705f4136b4a597u, 0x31680a88f8953030u},
        {0xabcc77118461cefcu, 0xfdc20d2b36ba7c3du},
        {0xd6bf94d5e57a42bcu, 0x3d32907604691b4cu},
        {0x8637bd05af6c69b5u, 0xa63f9a49c2c1b10fu},
        {0xa7c5ac471b478423u, 0x0fcf80dc33721d53u},
        {0xd1b71758e219652bu, 0xd3c36113404ea4a8u},
        {0x83126e978d4fdf3bu, 0x645a1cac083126e9u},
        {0xa3d70a3d70a3d70au, 0x3d70a3d70a3d70a3u},
        {0xccccccccccccccccu, 0xccccccccccccccccu},
        {0x8000000000000000u, 0x0000000000000000u},
        {0xa000000000000000u, 0x0000000000000000u},
        {0xc800000000000000u, 0x0000000000000000u},
        {0xfa00000000000000u, 0x0000000000000000u},
        {0x9c40000000000000u, 0x0000000000000000u},
        {0xc350000000000000u, 0x0000000000000000u},
        {0xf424000000000000u, 0x0000000000000000u},
        {0x9896800000000000u, 0x0000000000000000u},
        {0xbebc200000000000u, 0x0000000000000000u},
        {0xee6b280000000000u, 0x0000000000000000u},
        {0x9502f90000000000u, 0x0000000000000000u},
        {0xba43b74000000000u, 0x0000000000000000u},
        {0xe8d4a51000000000u, 0x0000000000000000u},
        {0x9184e72a00000000u, 0x0000000000000000u},
        {0xb5e620f480000000u, 0x0000000000000000u},
        {0xe35fa931a0000000u, 0x0000000000000000u},
        {0x8e1bc9bf04000000u, 0x0000000000000000u},
        {0xb1a2bc2ec5000000u, 0x0000000000000000u},
        {0xde0b6b3a76400000u, 0x0000000000000000u},
        {0x8ac7230489e80000u, 0x0000000000000000u},
        {0xad78ebc5ac620000u, 0x0000000000000000u},
        {0xd8d726b7177a8000u, 0x0000000000000000u},
        {0x878678326eac9000u, 0x0000000000000000u},
        {0xa968163f0a57b400u, 0x0000000000000000u},
        {0xd3c21bcecceda100u, 0x0000000000000000u},
        {0x84595161401484a0u, 0x0000000000000000u},
        {0xa56fa5b99019a5c8u, 0x0000000000000000u},
        {0xcecb8f27f4200f3au, 0x0000000000000000u},
        {0x813f3978f8940984u, 0x4000000000000000u},
        {0xa18f07d736b90be5u, 0x5000000000000000u},
        {0xc9f2c9cd04674edeu, 0xa400000000000000u},
        {0xfc6f7c4045812296u, 0x4d00000000000000u},
        {0x9dc5ada82b70b59du, 0xf020000000000000u},
        {0xc5371912364ce305u, 0x6c28000000000000u},
        {0xf684df56c3e01bc6u, 0xc732000000000000u},
        {0x9a130b963a6c115cu, 0x3c7f400000000000u},
        {0xc097ce7bc90715b3u, 0x4b9f100000000000u},
        {0xf0bdc21abb48db20u, 0x1e86d40000000000u},
        {0x96769950b50d88f4u, 0x1314448000000000u},
        {0xbc143fa4e250eb31u, 0x17d955a000000000u},
        {0xeb194f8e1ae525fdu, 0x5dcfab0800000000u},
        {0x92efd1b8d0cf37beu, 0x5aa1cae500000000u},
        {0xb7abc627050305adu, 0xf14a3d9e40000000u},
        {0xe596b7b0c643c719u, 0x6d9ccd05d0000000u},
        {0x8f7e32ce7bea5c6fu, 0xe4820023a2000000u},
        {0xb35dbf821ae4f38bu, 0xdda2802c8a800000u},
        {0xe0352f62a19e306eu, 0xd50b2037ad200000u},
        {0x8c213d9da502de45u, 0x4526f422cc340000u},
        {0xaf298d050e4395d6u, 0x9670b12b7f410000u},
        {0xdaf3f04651d47b4cu, 0x3c0cdd765f114000u},
        {0x88d8762bf324cd0fu, 0xa5880a69fb6ac800u},
        {0xab0e93b6efee0053u, 0x8eea0d047a457a00u},
        {0xd5d238a4abe98068u, 0x72a4904598d6d880u},
        {0x85a36366eb71f041u, 0x47a6da2b7f864750u},
        {0xa70c3c40a64e6c51u, 0x999090b65f67d924u},
        {0xd0cf4b50cfe20765u, 0xfff4b4e3f741cf6du},
        {0x82818f1281ed449fu, 0xbff8f10e7a8921a4u},
        {0xa321f2d7226895c7u, 0xaff72d52192b6a0du},
        {0xcbea6f8ceb02bb39u, 0x9bf4f8a69f764490u},
        {0xfee50b7025c36a08u, 0x02f236d04753d5b4u},
        {0x9f4f2726179a2245u, 0x01d762422c946590u},
        {0xc722f0ef9d80aad6u, 0x424d3ad2b7b97ef5u},
        {0xf8ebad2b84e0d58bu, 0xd2e0898765a7deb2u},
        {0x9b934c3b330c8577u, 0x63cc55f49f88eb2fu},
        {0xc2781f49ffcfa6d5u, 0x3cbf6b71c76b25fbu},
        {0xf316271c7fc3908au, 0x8bef464e3945ef7au},
        {0x97edd871cfda3a56u, 0x97758bf0e3cbb5acu},
        {0xbde94e8e43d0c8ecu, 0x3d52eeed1cbea317u},
        {0xed63a231d4c4fb27u, 0x4ca7aaa863ee4bddu},
        {0x945e455f24fb1cf8u, 0x8fe8caa93e74ef6au},
        {0xb975d6b6ee39e436u, 0xb3e2fd538e122b44u},
        {0xe7d34c64a9c85d44u, 0x60dbbca87196b616u},
        {0x90e40fbeea1d3a4au, 0xbc8955e946fe31cdu},
        {0xb51d13aea4a488ddu, 0x6babab6398bdbe41u},
        {0xe264589a4dcdab14u, 0xc696963c7eed2dd1u},
        {0x8d7eb76070a08aecu, 0xfc1e1de5cf543ca2u},
        {0xb0de65388cc8ada8u, 0x3b25a55f43294bcbu},
        {0xdd15fe86affad912u, 0x49ef0eb713f39ebeu},
        {0x8a2dbf142dfcc7abu, 0x6e3569326c784337u},
        {0xacb92ed9397bf996u, 0x49c2c37f07965404u},
        {0xd7e77a8f87daf7fbu, 0xdc33745ec97be906u},
        {0x86f0ac99b4e8dafdu, 0x69a028bb3ded71a3u},
        {0xa8acd7c0222311bcu, 0xc40832ea0d68ce0cu},
        {0xd2d80db02aabd62bu, 0xf50a3fa490c30190u},
        {0x83c7088e1aab65dbu, 0x792667c6da79e0fau},
        {0xa4b8cab1a1563f52u, 0x577001b891185938u},
        {0xcde6fd5e09abcf26u, 0xed4c0226b55e6f86u},
        {0x80b05e5ac60b6178u, 0x544f8158315b05b4u},
        {0xa0dc75f1778e39d6u, 0x696361ae3db1c721u},
        {0xc913936dd571c84cu, 0x03bc3a19cd1e38e9u},
        {0xfb5878494ace3a5fu, 0x04ab48a04065c723u},
        {0x9d174b2dcec0e47bu, 0x62eb0d64283f9c76u},
        {0xc45d1df942711d9au, 0x3ba5d0bd324f8394u},
        {0xf5746577930d6500u, 0xca8f44ec7ee36479u},
        {0x9968bf6abbe85f20u, 0x7e998b13cf4e1ecbu},
        {0xbfc2ef456ae276e8u, 0x9e3fedd8c321a67eu},
        {0xefb3ab16c59b14a2u, 0xc5cfe94ef3ea101eu},
        {0x95d04aee3b80ece5u, 0xbba1f1d158724a12u},
        {0xbb445da9ca61281fu, 0x2a8a6e45ae8edc97u},
        {0xea1575143cf97226u, 0xf52d09d71a3293bdu},
        {0x924d692ca61be758u, 0x593c2626705f9c56u},
        {0xb6e0c377cfa2e12eu, 0x6f8b2fb00c77836cu},
        {0xe498f455c38b997au, 0x0b6dfb9c0f956447u},
        {0x8edf98b59a373fecu, 0x4724bd4189bd5eacu},
        {0xb2977ee300c50fe7u, 0x58edec91ec2cb657u},
        {0xdf3d5e9bc0f653e1u, 0x2f2967b66737e3edu},
        {0x8b865b215899f46cu, 0xbd79e0d20082ee74u},
        {0xae67f1e9aec07187u, 0xecd8590680a3aa11u},
        {0xda01ee641a708de9u, 0xe80e6f4820cc9495u},
        {0x884134fe908658b2u, 0x3109058d147fdcddu},
        {0xaa51823e34a7eedeu, 0xbd4b46f0599fd415u},
        {0xd4e5e2cdc1d1ea96u, 0x6c9e18ac7007c91au},
        {0x850fadc09923329eu, 0x03e2cf6bc604ddb0u},
        {0xa6539930bf6bff45u, 0x84db8346b786151cu},
        {0xcfe87f7cef46ff16u, 0xe612641865679a63u},
        {0x81f14fae158c5f6eu, 0x4fcb7e8f3f60c07eu},
        {0xa26da3999aef7749u, 0xe3be5e330f38f09du},
        {0xcb090c8001ab551cu, 0x5cadf5bfd3072cc5u},
        {0xfdcb4fa002162a63u, 0x73d9732fc7c8f7f6u},
        {0x9e9f11c4014dda7eu, 0x2867e7fddcdd9afau},
        {0xc646d63501a1511du, 0xb281e1fd541501b8u},
        {0xf7d88bc24209a565u, 0x1f225a7ca91a4226u},
        {0x9ae757596946075fu, 0x3375788de9b06958u},
        {0xc1a12d2fc3978937u, 0x0052d6b1641c83aeu},
        {0xf209787bb47d6b84u, 0xc0678c5dbd23a49au},
        {0x9745eb4d50ce6332u, 0xf840b7ba963646e0u},
        {0xbd176620a501fbffu, 0xb650e5a93bc3d898u},
        {0xec5d3fa8ce427affu, 0xa3e51f138ab4cebeu},
        {0x93ba47c980e98cdfu, 0xc66f336c36b10137u},
        {0xb8a8d9bbe123f017u, 0xb80b0047445d4184u},
        {0xe6d3102ad96cec1du, 0xa60dc059157491e5u},
        {0x9043ea1ac7e41392u, 0x87c89837ad68db2fu},
        {0xb454e4a179dd1877u, 0x29babe4598c311fbu},
        {0xe16a1dc9d8545e94u, 0xf4296dd6fef3d67au},
        {0x8ce2529e2734bb1du, 0x1899e4a65f58660cu},
        {0xb01ae745b101e9e4u, 0x5ec05dcff72e7f8fu},
        {0xdc21a1171d42645du, 0x76707543f4fa1f73u},
        {0x899504ae72497ebau, 0x6a06494a791c53a8u},
        {0xabfa45da0edbde69u, 0x0487db9d17636892u},
        {0xd6f8d7509292d603u, 0x45a9d2845d3c42b6u},
        {0x865b86925b9bc5c2u, 0x0b8a2392ba45a9b2u},
        {0xa7f26836f282b732u, 0x8e6cac7768d7141eu},
        {0xd1ef0244af2364ffu, 0x3207d795430cd926u},
        {0x8335616aed761f1fu, 0x7f44e6bd49e807b8u},
        {0xa402b9c5a8d3a6e7u, 0x5f16206c9c6209a6u},
        {0xcd036837130890a1u, 0x36dba887c37a8c0fu},
        {0x802221226be55a64u, 0xc2494954da2c9789u},
        {0xa02aa96b06deb0fdu, 0xf2db9baa10b7bd6cu},
        {0xc83553c5c8965d3du, 0x6f92829494e5acc7u},
        {0xfa42a8b73abbf48cu, 0xcb772339ba1f17f9u},
        {0x9c69a97284b578d7u, 0xff2a760414536efbu},
        {0xc38413cf25e2d70du, 0xfef5138519684abau},
        {0xf46518c2ef5b8cd1u, 0x7eb258665fc25d69u},
        {0x98bf2f79d5993802u, 0xef2f773ffbd97a61u},
        {0xbeeefb584aff8603u, 0xaafb550ffacfd8fau},
        {0xeeaaba2e5dbf6784u, 0x95ba2a53f983cf38u},
        {0x952ab45cfa97a0b2u, 0xdd945a747bf26183u},
        {0xba756174393d88dfu, 0x94f971119aeef9e4u},
        {0xe912b9d1478ceb17u, 0x7a37cd5601aab85du},
        {0x91abb422ccb812eeu, 0xac62e055c10ab33au},
        {0xb616a12b7fe617aau, 0x577b986b314d6009u},
        {0xe39c49765fdf9d94u, 0xed5a7e85fda0b80bu},
        {0x8e41ade9fbebc27du, 0x14588f13be847307u},
        {0xb1d219647ae6b31cu, 0x596eb2d8ae258fc8u},
        {0xde469fbd99a05fe3u, 0x6fca5f8ed9aef3bbu},
        {0x8aec23d680043beeu, 0x25de7bb9480d5854u},
        {0xada72ccc20054ae9u, 0xaf561aa79a10ae6au},
        {0xd910f7ff28069da4u, 0x1b2ba1518094da04u},
        {0x87aa9aff79042286u, 0x90fb44d2f05d0842u},
        {0xa99541bf57452b28u, 0x353a1607ac744a53u},
        {0xd3fa922f2d1675f2u, 0x42889b8997915ce8u},
        {0x847c9b5d7c2e09b7u, 0x69956135febada11u},
        {0xa59bc234db398c25u, 0x43fab9837e699095u},
        {0xcf02b2c21207ef2eu, 0x94f967e45e03f4bbu},
        {0x8161afb94b44f57du, 0x1d1be0eebac278f5u},
        {0xa1ba1ba79e1632dcu, 0x6462d92a69731732u},
        {0xca28a291859bbf93u, 0x7d7b8f7503cfdcfeu},
        {0xfcb2cb35e702af78u, 0x5cda735244c3d43eu},
        {0x9defbf01b061adabu, 0x3a0888136afa64a7u},
        {0xc56baec21c7a1916u, 0x088aaa1845b8fdd0u},
        {0xf6c69a72a3989f5bu, 0x8aad549e57273d45u},
        {0x9a3c2087a63f6399u, 0x36ac54e2f678864bu},
        {0xc0cb28a98fcf3c7fu, 0x84576a1bb416a7ddu},
        {0xf0fdf2d3f3c30b9fu, 0x656d44a2a11c51d5u},
        {0x969eb7c47859e743u, 0x9f644ae5a4b1b325u},
        {0xbc4665b596706114u, 0x873d5d9f0dde1feeu},
        {0xeb57ff22fc0c7959u, 0xa90cb506d155a7eau},
        {0x9316ff75dd87cbd8u, 0x09a7f12442d588f2u},
        {0xb7dcbf5354e9beceu, 0x0c11ed6d538aeb2fu},
        {0xe5d3ef282a242e81u, 0x8f1668c8a86da5fau},
        {0x8fa475791a569d10u, 0xf96e017d694487bcu},
        {0xb38d92d760ec4455u, 0x37c981dcc395a9acu},
        {0xe070f78d3927556au, 0x85bbe253f47b1417u},
        {0x8c469ab843b89562u, 0x93956d7478ccec8eu},
        {0xaf58416654a6babbu, 0x387ac8d1970027b2u},
        {0xdb2e51bfe9d0696au, 0x06997b05fcc0319eu},
        {0x88fcf317f22241e2u, 0x441fece3bdf81f03u},
        {0xab3c2fddeeaad25au, 0xd527e81cad7626c3u},
        {0xd60b3bd56a5586f1u, 0x8a71e223d8d3b074u},
        {0x85c7056562757456u, 0xf6872d5667844e49u},
        {0xa738c6bebb12d16cu, 0xb428f8ac016561dbu},
        {0xd106f86e69d785c7u, 0xe13336d701beba52u},
        {0x82a45b450226b39cu, 0xecc0024661173473u},
        {0xa34d721642b06084u, 0x27f002d7f95d0190u},
        {0xcc20ce9bd35c78a5u, 0x31ec038df7b441f4u},
        {0xff290242c83396ceu, 0x7e67047175a15271u},
        {0x9f79a169bd203e41u, 0x0f0062c6e984d386u},
        {0xc75809c42c684dd1u, 0x52c07b78a3e60868u},
        {0xf92e0c3537826145u, 0xa7709a56ccdf8a82u},
        {0x9bbcc7a142b17ccbu, 0x88a66076400bb691u},
        {0xc2abf989935ddbfeu, 0x6acff893d00ea435u},
        {0xf356f7ebf83552feu, 0x0583f6b8c4124d43u},
        {0x98165af37b2153deu, 0xc3727a337a8b704au},
        {0xbe1bf1b059e9a8d6u, 0x744f18c0592e4c5cu},
        {0xeda2ee1c7064130cu, 0x1162def06f79df73u},
        {0x9485d4d1c63e8be7u, 0x8addcb5645ac2ba8u},
        {0xb9a74a0637ce2ee1u, 0x6d953e2bd7173692u},
        {0xe8111c87c5c1ba99u, 0xc8fa8db6ccdd0437u},
        {0x910ab1d4db9914a0u, 0x1d9c9892400a22a2u},
        {0xb54d5e4a127f59c8u, 0x2503beb6d00cab4bu},
        {0xe2a0b5dc971f303au, 0x2e44ae64840fd61du},
        {0x8da471a9de737e24u, 0x5ceaecfed289e5d2u},
        {0xb10d8e1456105dadu, 0x7425a83e872c5f47u},
        {0xdd50f1996b947518u, 0xd12f124e28f77719u},
        {0x8a5296ffe33cc92fu, 0x82bd6b70d99aaa6fu},
        {0xace73cbfdc0bfb7bu, 0x636cc64d1001550bu},
        {0xd8210befd30efa5au, 0x3c47f7e05401aa4eu},
        {0x8714a775e3e95c78u, 0x65acfaec34810a71u},
        {0xa8d9d1535ce3b396u, 0x7f1839a741a14d0du},
        {0xd31045a8341ca07cu, 0x1ede48111209a050u},
        {0x83ea2b892091e44du, 0x934aed0aab460432u},
        {0xa4e4b66b68b65d60u, 0xf81da84d5617853fu},
        {0xce1de40642e3f4b9u, 0x36251260ab9d668eu},
        {0x80d2ae83e9ce78f3u, 0xc1d72b7c6b426019u},
        {0xa1075a24e4421730u, 0xb24cf65b8612f81fu},
        {0xc94930ae1d529cfcu, 0xdee033f26797b627u},
        {0xfb9b7cd9a4a7443cu, 0x169840ef017da3b1u},
        {0x9d412e0806e88aa5u, 0x8e1f289560ee864eu},
        {0xc491798a08a2ad4eu, 0xf1a6f2bab92a27e2u},
        {0xf5b5d7ec8acb58a2u, 0xae10af696774b1dbu},
        {0x9991a6f3d6bf1765u, 0xacca6da1e0a8ef29u},
        {0xbff610b0cc6edd3fu, 0x17fd090a58d32af3u},
        {0xeff394dcff8a948eu, 0xddfc4b4cef07f5b0u},
        {0x95f83d0a1fb69cd9u, 0x4abdaf101564f98eu},
        {0xbb764c4ca7a4440fu, 0x9d6d1ad41abe37f1u},
        {0xea53df5fd18d5513u, 0x84c86189216dc5edu},
        {0x92746b9be2f8552cu, 0x32fd3cf5b4e49bb4u},
        {0xb7118682dbb66a77u, 0x3fbc8c33221dc2a1u},
        {0xe4d5e82392a40515u, 0x0fabaf3feaa5334au},
        {0x8f05b1163ba6832du, 0x29cb4d87f2a7400eu},
        {0xb2c71d5bca9023f8u, 0x743e20e9ef511012u},
        {0xdf78e4b2bd342cf6u, 0x914da9246b255416u},
        {0x8bab8eefb6409c1au, 0x1ad089b6c2f7548eu},
        {0xae9672aba3d0c320u, 0xa184ac2473b529b1u},
        {0xda3c0f568cc4f3e8u, 0xc9e5d72d90a2741eu},
        {0x8865899617fb1871u, 0x7e2fa67c7a658892u},
        {0xaa7eebfb9df9de8du, 0xddbb901b98feeab7u},
        {0xd51ea6fa85785631u, 0x552a74227f3ea565u},
        {0x8533285c936b35deu, 0xd53a88958f87275fu},
        {0xa67ff273b8460356u, 0x8a892abaf368f137u},
        {0xd01fef10a657842cu, 0x2d2b7569b0432d85u},
        {0x8213f56a67f6b29bu, 0x9c3b29620e29fc73u},
        {0xa298f2c501f45f42u, 0x8349f3ba91b47b8fu},
        {0xcb3f2f7642717713u, 0x241c70a936219a73u},
        {0xfe0efb53d30dd4d7u, 0xed238cd383aa0110u},
        {0x9ec95d1463e8a506u, 0xf4363804324a40aau},
        {0xc67bb4597ce2ce48u, 0xb143c6053edcd0d5u},
        {0xf81aa16fdc1b81dau, 0xdd94b7868e94050au},
        {0x9b10a4e5e9913128u, 0xca7cf2b4191c8326u},
        {0xc1d4ce1f63f57d72u, 0xfd1c2f611f63a3f0u},
        {0xf24a01a73cf2dccfu, 0xbc633b39673c8cecu},
        {0x976e41088617ca01u, 0xd5be0503e085d813u},
        {0xbd49d14aa79dbc82u, 0x4b2d8644d8a74e18u},
        {0xec9c459d51852ba2u, 0xddf8e7d60ed1219eu},
        {0x93e1ab8252f33b45u, 0xcabb90e5c942b503u},
        {0xb8da1662e7b00a17u, 0x3d6a751f3b936243u},
        {0xe7109bfba19c0c9du, 0x0cc512670a783ad4u},
        {0x906a617d450187e2u, 0x27fb2b80668b24c5u},
        {0xb484f9dc9641e9dau, 0xb1f9f660802dedf6u},
        {0xe1a63853bbd26451u, 0x5e7873f8a0396973u},
        {0x8d07e33455637eb2u, 0xdb0b487b6423e1e8u},
        {0xb049dc016abc5e5fu, 0x91ce1a9a3d2cda62u},
        {0xdc5c5301c56b75f7u, 0x7641a140cc7810fbu},
        {0x89b9b3e11b6329bau, 0xa9e904c87fcb0a9du},
        {0xac2820d9623bf429u, 0x546345fa9fbdcd44u},
        {0xd732290fbacaf133u, 0xa97c177947ad4095u},
        {0x867f59a9d4bed6c0u, 0x49ed8eabcccc485du},
        {0xa81f301449ee8c70u, 0x5c68f256bfff5a74u},
        {0xd226fc195c6a2f8cu, 0x73832eec6fff3111u},
        {0x83585d8fd9c25db7u, 0xc831fd53c5ff7eabu},
        {0xa42e74f3d032f525u, 0xba3e7ca8b77f5e55u},
        {0xcd3a1230c43fb26fu, 0x28ce1bd2e55f35ebu},
        {0x80444b5e7aa7cf85u, 0x7980d163cf5b81b3u},
        {0xa0555e361951c366u, 0xd7e105bcc332621fu},
        {0xc86ab5c39fa63440u, 0x8dd9472bf3fefaa7u},
        {0xfa856334878fc150u, 0xb14f98f6f0feb951u},
        {0x9c935e00d4b9d8d2u, 0x6ed1bf9a569f33d3u},
        {0xc3b8358109e84f07u, 0x0a862f80ec4700c8u},
        {0xf4a642e14c6262c8u, 0xcd27bb612758c0fau},
        {0x98e7e9cccfbd7dbdu, 0x8038d51cb897789cu},
        {0xbf21e44003acdd2cu, 0xe0470a63e6bd56c3u},
        {0xeeea5d5004981478u, 0x1858ccfce06cac74u},
        {0x95527a5202df0ccbu, 0x0f37801e0c43ebc8u},
        {0xbaa718e68396cffdu, 0xd30560258f54e6bau},
        {0xe950df20247c83fdu, 0x47c6b82ef32a2069u},
        {0x91d28b7416cdd27eu, 0x4cdc331d57fa5441u},
        {0xb6472e511c81471du, 0xe0133fe4adf8e952u},
        {0xe3d8f9e563a198e5u, 0x58180fddd97723a6u},
        {0x8e679c2f5e44ff8fu, 0x570f09eaa7ea7648u},
        {0xb201833b35d63f73u, 0x2cd2cc6551e513dau},
        {0xde81e40a034bcf4fu, 0xf8077f7ea65e58d1u},
        {0x8b112e86420f6191u, 0xfb04afaf27faf782u},
        {0xadd57a27d29339f6u, 0x79c5db9af1f9b563u},
        {0xd94ad8b1c7380874u, 0x18375281ae7822bcu},
        {0x87cec76f1c830548u, 0x8f2293910d0b15b5u},
        {0xa9c2794ae3a3c69au, 0xb2eb3875504ddb22u},
        {0xd433179d9c8cb841u, 0x5fa60692a46151ebu},
        {0x849feec281d7f328u, 0xdbc7c41ba6bcd333u},
        {0xa5c7ea73224deff3u, 0x12b9b522906c0800u},
        {0xcf39e50feae16befu, 0xd768226b34870a00u},
        {0x81842f29f2cce375u, 0xe6a1158300d46640u},
        {0xa1e53af46f801c53u, 0x60495ae3c1097fd0u},
        {0xca5e89b18b602368u, 0x385bb19cb14bdfc4u},
        {0xfcf62c1dee382c42u, 0x46729e03dd9ed7b5u},
        {0x9e19db92b4e31ba9u, 0x6c07a2c26a8346d1u},
        {0xc5a05277621be293u, 0xc7098b7305241885u},
        {0xf70867153aa2db38u, 0xb8cbee4fc66d1ea7u},
        {0x9a65406d44a5c903u, 0x737f74f1dc043328u},
        {0xc0fe908895cf3b44u, 0x505f522e53053ff2u},
        {0xf13e34aabb430a15u, 0x647726b9e7c68fefu},
        {0x96c6e0eab509e64du, 0x5eca783430dc19f5u},
        {0xbc789925624c5fe0u, 0xb67d16413d132072u},
        {0xeb96bf6ebadf77d8u, 0xe41c5bd18c57e88fu},
        {0x933e37a534cbaae7u, 0x8e91b962f7b6f159u},
        {0xb80dc58e81fe95a1u, 0x723627bbb5a4adb0u},
        {0xe61136f2227e3b09u, 0xcec3b1aaa30dd91cu},
        {0x8fcac257558ee4e6u, 0x213a4f0aa5e8a7b1u},
        {0xb3bd72ed2af29e1fu, 0xa988e2cd4f62d19du},
        {0xe0accfa875af45a7u, 0x93eb1b80a33b8605u},
        {0x8c6c01c9498d8b88u, 0xbc72f130660533c3u},
        {0xaf87023b9bf0ee6au, 0xeb8fad7c7f8680b4u},
        {0xdb68c2ca82ed2a05u, 0xa67398db9f6820e1u},
    };
    assert(n >= power_of_ten_min and n <= power_of_ten_max);
    return table[n - power_of_ten_min];
}

/// 10^n for n in [0, 19].
inline std::uint64_t power_of_ten(const int n) noexcept
{
    static const std::uint64_t table[] = {1u,
                                          10u,
                                          100u,
                                          1000u,
                                          10000u,
                                          100000u,
                                          1000000u,
                                          10000000u,
                                          100000000u,
                                          1000000000u,
                                          10000000000u,
                                          100000000000u,
                                          1000000000000u,
                                          10000000000000u,
                                          100000000000000u,
                                          1000000000000000u,
                                          10000000000000000u,
                                          100000000000000000u,
                                          1000000000000000000u,
                                          10000000000000000000u};
    assert(n >= 0 and n <= 19);
    return table[n];
}

/// A non-negative integer of up to 1280 bits, on the stack: the exact
/// arithmetic for the rare cases a 128-bit estimate cannot decide.
class exact_integer
{
  public:
    /// The value x.
    explicit exact_integer(std::uint64_t x) noexcept
    {
        for (; x != 0; x >>= 32)
        {
            m_words[m_size++] = static_cast<std::uint32_t>(x);
        }
    }

    /// Multiplies the value by 5^n, n >= 0.
    void multiply_by_power_of_five(int n) noexcept
    {
        static const std::uint32_t powers[] = {1u,       5u,        25u,        125u,       625u,
                                               3125u,    15625u,    78125u,     390625u,    1953125u,
                                               9765625u, 48828125u, 244140625u, 1220703125u};
        for (; n > 0; n -= 13)
        {
            multiply(powers[n < 13 ? n : 13]);
        }
    }

    /// Multiplies the value by 2^n, n >= 0.
    void shift_left(const int n) noexcept
    {
        if (m_size == 0)
        {
            return;
        }
        const std::size_t words = static_cast<std::size_t>(n) / 32;
        const unsigned int bits = static_cast<unsigned int>(n) % 32;
        assert(m_size + words < capacity);
        const std::uint32_t top = bits == 0 ? 0 : m_words[m_size - 1] >> (32 - bits);
        for (std::size_t i = m_size - 1; i > 0; --i)
        {
            m_words[i + words] = (m_words[i] << bits) | (bits == 0 ? 0 : m_words[i - 1] >> (32 - bits));
        }
        m_words[words] = m_words[0] << bits;
        std::fill(m_words, m_words + words, 0u);
        m_size += words;
        if (top != 0)
        {
            m_words[m_size++] = top;
        }
    }

    /// -1, 0 or 1 as a is less than, equal to or greater than b.
    friend int compare(const exact_integer& a, const exact_integer& b) noexcept
    {
        if (a.m_size != b.m_size)
        {
            return a.m_size < b.m_size ? -1 : 1;
        }
        for (std::size_t i = a.m_size; i-- > 0;)
        {
            if (a.m_words[i] != b.m_words[i])
            {
                return a.m_words[i] < b.m_words[i] ? -1 : 1;
            }
        }
        return 0;
    }

  private:
    void multiply(const std::uint32_t factor) noexcept
    {
        std::uint64_t carry = 0;
        for (std::size_t i = 0; i < m_size; ++i)
        {
            const std::uint64_t product = static_cast<std::uint64_t>(m_words[i]) * factor + carry;
            m_words[i] = static_cast<std::uint32_t>(product);
            carry = product >> 32;
        }
        if (carry != 0)
        {
            assert(m_size < capacity);
            m_words[m_size++] = static_cast<std::uint32_t>(carry);
        }
    }

    // The largest number compared, a 64-bit number times 5^342 or times 2^1076
    // with the common power of two removed, has under 900 bits.
    static constexpr std::size_t capacity = 40;
    std::uint32_t m_words[capacity] = {};
    std::size_t m_size = 0; // no leading zero words
};

/// The sign of a * 10^j - b * 2^f, computed exactly.
inline int compare_exact(const std::uint64_t a, const int j, const std::uint64_t b, const int f) noexcept
{
    exact_integer left(a);
    exact_integer right(b);
    int left_twos = 0;
    int right_twos = 0;
    if (j >= 0)
    {
        left.multiply_by_power_of_five(j);
        left_twos += j;
    }
    else
    {
        right.multiply_by_power_of_five(-j);
        right_twos -= j;
    }
    if (f >= 0)
    {
        right_twos += f;
    }
    else
    {
        left_twos -= f;
    }
    const int common = std::min(left_twos, right_twos);
    left.shift_left(left_twos - common);
    right.shift_left(right_twos - common);
    return compare(left, right);
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
    const char* const pair = digit_pairs() + 2 * n;
    out[0] = pair[0];
    out[1] = pair[1];
}

/// Writes the count (at most 17) last decimal digits of digits to out,
/// leading zeros included.
inline void write_digits(char* const out, std::uint64_t digits, int count) noexcept
{
    char* p = out + count;
    // Eight digits at a time in 32 bits, in independent pairs.
    for (; count > 8; count -= 8)
    {
        const auto eight = static_cast<std::uint32_t>(digits % 100000000u);
        digits /= 100000000u;
        p -= 8;
        write_pair(p, eight / 1000000);
        write_pair(p + 2, eight / 10000 % 100);
        write_pair(p + 4, eight / 100 % 100);
        write_pair(p + 6, eight % 100);
    }
    auto rest = static_cast<std::uint32_t>(digits);
    for (; count >= 2; count -= 2)
    {
        p -= 2;
        write_pair(p, rest % 100);
        rest /= 100;
    }
    if (count == 1)
    {
        *--p = static_cast<char>('0' + rest);
    }
}

/// Writes digits * 10^(exponent - count + 1), count digits the first of
/// which is not 0, as "%.15g" lays a number out (trailing zeros of the
/// fraction dropped), after '-' when negative, with ".0" after a number with
/// neither '.' nor exponent. Returns the end.
inline char* write_decimal(char* out, const bool negative, const std::uint64_t digits, const int count,
                           const int exponent) noexcept
{
    if (negative)
    {
        *out++ = '-';
    }
    char* end;
    if (exponent < -4 or exponent >= 15)
    {
        // The digits go one place right, and the first one back before the point.
        write_digits(out + 1, digits, count);
        out[0] = out[1];
        out[1] = '.';
        end = out + 1 + count;
        while (end[-1] == '0')
        {
            --end;
        }
        end -= end[-1] == '.' ? 1 : 0;
        *end++ = 'e';
        *end++ = exponent < 0 ? '-' : '+';
        int magnitude = exponent < 0 ? -exponent : exponent;
        if (magnitude >= 100)
        {
            *end++ = static_cast<char>('0' + magnitude / 100);
            magnitude %= 100;
        }
        write_pair(end, static_cast<std::uint32_t>(magnitude));
        return end + 2;
    }
    if (exponent < 0)
    {
        *out++ = '0';
        *out++ = '.';
        out = std::fill_n(out, -exponent - 1, '0');
        write_digits(out, digits, count);
        end = out + count;
        while (end[-1] == '0')
        {
            --end;
        }
        return end;
    }
    const int integer_digits = exponent + 1;
    if (count <= integer_digits)
    {
        write_digits(out, digits, count);
        end = std::fill_n(out + count, integer_digits - count, '0');
        *end++ = '.';
        *end++ = '0';
        return end;
    }
    const int fraction_digits = count - integer_digits;
    const std::uint64_t integer_part = digits / power_of_ten(fraction_digits);
    write_digits(out, integer_part, integer_digits);
    out[integer_digits] = '.';
    write_digits(out + integer_digits + 1, digits - integer_part * power_of_ten(fraction_digits), fraction_digits);
    end = out + 1 + count;
    while (end[-1] == '0')
    {
        --end;
    }
    if (end[-1] == '.')
    {
        *end++ = '0';
    }
    return end;
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
        m_scale = floor_log10_pow2(m_exponent + top_bit) - 16;
        m_scaled = scaled(4 * m_significand);
        if (m_scaled.high >= power_of_ten(17))
        {
            ++m_scale;
            m_scaled = scaled(4 * m_significand);
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
        bool up;
        if (twice_rest < unit - 1 or (twice_rest == unit - 1 and fraction < ~std::uint64_t{0} - 3))
        {
            up = false;
        }
        else if (twice_rest > unit or (twice_rest == unit and fraction != 0))
        {
            up = true;
        }
        else
        {
            // Compare 2x with twice the midpoint, (2 * digits + 1) * 10^(k + 17 - p).
            const int midpoint = compare_exact(2 * digits + 1, m_scale + 17 - p, m_significand, m_exponent + 1);
            up = midpoint < 0 or (midpoint == 0 and digits % 2 == 1);
        }
        return digits + (up ? 1 : 0);
    }

    /// Prepares side(): the bounds of the numbers that read back as x.
    void find_bounds() noexcept
    {
        m_upper = scaled(4 * m_significand + 2);
        m_lower = scaled(4 * m_significand - (m_narrow_below ? 1 : 2));
    }

    /// Where digits * 10^(k + 17 - p) lies: -1 below the numbers that read
    /// back as x, 0 among them, 1 above them. The bounds between x and its
    /// neighbours read back as x when its significand is even.
    int side(const std::uint64_t digits, const int p) const noexcept
    {
        const uint128 candidate = {digits * power_of_ten(17 - p), 0};
        const bool even = m_significand % 2 == 0;
        if (not less(candidate, m_upper))
        {
            const int above = less(candidate, plus(m_upper, 2))
                                  ? compare_exact(digits, m_scale + 17 - p, 4 * m_significand + 2, m_exponent - 2)
                                  : 1;
            if (above > 0 or (above == 0 and not even))
            {
                return 1;
            }
        }
        if (less(candidate, plus(m_lower, 2)))
        {
            const std::uint64_t lower = 4 * m_significand - (m_narrow_below ? 1 : 2);
            const int below =
                less(candidate, m_lower) ? -1 : compare_exact(digits, m_scale + 17 - p, lower, m_exponent - 2);
            if (below < 0 or (below == 0 and not even))
            {
                return -1;
            }
        }
        return 0;
    }

    /// Writes digits, a p-digit result of rounded() or side(), as
    /// write_decimal does. Returns the end.
    char* write(char* const out, const bool negative, const std::uint64_t digits, const int p) const noexcept
    {
        if (digits == power_of_ten(p))
        {
            return write_decimal(out, negative, digits / 10, p, m_scale + 17);
        }
        return write_decimal(out, negative, digits, p, m_scale + 16);
    }

  private:
    /// floor(v * 2^(e - 2) * 10^-k * 2^64): the error of the truncated power,
    /// at most v / 2^shift, stays below 1, as does the truncation itself.
    uint128 scaled(const std::uint64_t v) const noexcept
    {
        const int n = -m_scale;
        const std::uint64_t* const power = power_of_ten_bits(n);
        const uint128 low = multiply(v, power[1]);
        const uint128 high = multiply(v, power[0]);
        const std::uint64_t w0 = low.low;
        const std::uint64_t w1 = high.low + low.high;
        const std::uint64_t w2 = high.high + (w1 < low.high ? 1u : 0u);
        const int shift = -(m_exponent + floor_log2_pow10(n) - 127 + 62);
        assert(shift > 0 and shift < 128);
        if (shift < 64)
        {
            assert((w2 >> shift) == 0);
            const int back = 64 - shift;
            return {(w2 << back) | (w1 >> shift), (w1 << back) | (w0 >> shift)};
        }
        if (shift == 64)
        {
            return {w2, w1};
        }
        return {w2 >> (shift - 64), (w2 << (128 - shift)) | (w1 >> (shift - 64))};
    }

    std::uint64_t m_significand = 0; // m
    int m_exponent = 0;              // e
    bool m_narrow_below = false;
    int m_scale = 0;   // k
    uint128 m_scaled{}; // floor(Y * 2^64), for 4m at 2^(e - 2)
    uint128 m_upper{}; // the same for the bound above x, after find_bounds()
    uint128 m_lower{}; // and for the bound below x
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
    // Each double is nearer to its neighbours than 15-digit decimals are to
    // each other, so at most one of those reads back: the nearest.
    const std::uint64_t digits15 = search.rounded(15);
    if (search.side(digits15, 15) == 0)
    {
        // Not so for subnormals, spaced wider: a shorter decimal may read
        // back that is not the 15-digit one cut short.
        for (int p = 1; (bits >> 52) == 0 and p < 15; ++p)
        {
            const std::uint64_t digits = search.rounded(p);
            if (search.side(digits, p) == 0)
            {
                return search.write(first, negative, digits, p);
            }
        }
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
    if (side16 < 0 and search.side(digits16 + 1, 16) == 0)
    {
        return search.write(first, negative, digits16 + 1, 16);
    }
    // The nearest 17-digit decimal always reads back.
    return search.write(first, negative, search.rounded(17), 17);
}

} // namespace detail

// ---------------------------------------------------------------------------
// The writer: dump() and dump_to(), the stream operator's bytes built in a fixed buffer, a chunk at a time.
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
    /// (see utf8_policy::error), and whatever the stream throws.
    void write(const basic_json& val)
    {
        const basic_json* current = &val;
        for (;;)
        {
            if (m_stopped)
            {
                return;
            }
            if (write_opening(*current))
            {
                current = first_child();
                continue;
            }
            // current is complete: go on with its next sibling, or close its
            // container and try the container's own sibling.
            current = nullptr;
            while (current == nullptr and m_depth != 0)
            {
                current = next_child();
            }
            if (current == nullptr)
            {
                break;
            }
        }
        flush();
        m_done = true;
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

    // Frames this deep live in the writer itself, so that ordinary
    // documents allocate nothing beyond the text.
    static constexpr std::size_t inline_frames = 32;

    explicit writer(const dump_options& options) noexcept
        : m_pretty(options.indent > 0),
          m_indent_step(options.indent > 0 ? static_cast<std::size_t>(options.indent) : 0),
          m_round_trip(options.round_trip_doubles),
          m_policy(options.invalid_utf8),
          m_escape_non_ascii(options.escape_non_ascii),
          m_check_non_ascii(options.escape_non_ascii or options.invalid_utf8 != utf8_policy::keep),
          m_non_ascii_mask(m_check_non_ascii ? ~std::uint64_t(0) : 0)
    {}

    // -- the walk -------------------------------------------------------------

    /// Writes a scalar or an empty container whole and returns false, or
    /// opens a non-empty container, pushes its frame and returns true.
    bool write_opening(const basic_json& val)
    {
        switch (val.m_type)
        {
            case value_t::object:
            {
                const object_t& object = *val.m_value.object;
                if (object.empty())
                {
                    put_text("{}", 2);
                    return false;
                }
                frame& f = push();
                f.is_object = true;
                f.member = object.cbegin();
                f.members_end = object.cend();
                open('{');
                return true;
            }
            case value_t::array:
            {
                const array_t& array = *val.m_value.array;
                if (array.empty())
                {
                    put_text("[]", 2);
                    return false;
                }
                frame& f = push();
                f.is_object = false;
                f.element = array.cbegin();
                f.elements_end = array.cend();
                open('[');
                return true;
            }
            case value_t::string:
                write_string(*val.m_value.string);
                return false;
            case value_t::boolean:
                if (val.m_value.boolean)
                {
                    put_text("true", 4);
                }
                else
                {
                    put_text("false", 5);
                }
                return false;
            case value_t::number_integer:
                write_integer(val.m_value.number_integer);
                return false;
            case value_t::number_unsigned:
                write_integer(val.m_value.number_unsigned);
                return false;
            case value_t::number_float:
                write_float(val.m_value.number_float);
                return false;
            case value_t::discarded:
                put_text("<discarded>", 11);
                return false;
            case value_t::null:
                put_text("null", 4);
                return false;
        }
        return false;
    }

    /// The first child of the container just opened, its key written.
    const basic_json* first_child()
    {
        indent();
        return take_child(top());
    }

    /// The next child of the innermost container, after the separator and
    /// its key; or nullptr when there is none, the container then closed.
    const basic_json* next_child()
    {
        frame& f = top();
        if (f.is_object ? f.member != f.members_end : f.element != f.elements_end)
        {
            if (m_pretty)
            {
                put_text(",\n", 2);
            }
            else
            {
                put(',');
            }
            indent();
            return take_child(f);
        }
        const char bracket = f.is_object ? '}' : ']';
        pop();
        if (m_pretty)
        {
            put('\n');
            indent();
        }
        put(bracket);
        return nullptr;
    }

    /// The child the frame points to, its key written; the frame moves on
    /// at once, so that finding the next node overlaps with writing this one.
    const basic_json* take_child(frame& f)
    {
        if (f.is_object)
        {
            const auto member = f.member++;
            write_key(member->first);
            return &member->second;
        }
        return &*f.element++;
    }

    frame& push()
    {
        if (m_depth >= inline_frames and m_spilled_frames.size() < m_depth + 1 - inline_frames)
        {
            m_spilled_frames.emplace_back();
        }
        ++m_depth;
        return top();
    }

    frame& top() noexcept
    {
        assert(m_depth != 0);
        return m_depth <= inline_frames ? m_frames[m_depth - 1] : m_spilled_frames[m_depth - 1 - inline_frames];
    }

    void pop() noexcept
    {
        assert(m_depth != 0);
        --m_depth;
    }

    // -- layout ---------------------------------------------------------------

    void open(const char bracket)
    {
        if (m_pretty)
        {
            const char opening[] = {bracket, '\n'};
            put_text(opening, 2);
        }
        else
        {
            put(bracket);
        }
    }

    /// The indentation of the innermost open level: eight spaces a store
    /// when there is room to spare, as there nearly always is.
    void indent()
    {
        if (not m_pretty)
        {
            return;
        }
        const std::size_t n = m_depth * m_indent_step;
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

    void write_key(const string_t& key)
    {
        write_string(key);
        if (m_pretty)
        {
            put_text(": ", 2);
        }
        else
        {
            put(':');
        }
    }

    // -- the buffer -----------------------------------------------------------

    // Every chunk handed on but the last is full: text that does not fit
    // is split, so a token may straddle two chunks.

    std::size_t room() const noexcept
    {
        return static_cast<std::size_t>(m_buffer.data() + chunk_size - m_position);
    }

    void put(const char c)
    {
        if (room() == 0)
        {
            flush();
        }
        *m_position++ = c;
    }

    /// Short text: copied whole when it fits, which it nearly always does.
    void put_text(const char* text, const std::size_t length)
    {
        if (room() < length)
        {
            append(text, length);
            return;
        }
        std::memcpy(m_position, text, length);
        m_position += length;
    }

    /// Text of any length, through as many chunks as it needs.
    void append(const char* text, std::size_t length)
    {
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
            flush();
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
            flush();
        }
    }

    /// Hands the buffer on: appended to the text, or one write to the stream.
    void flush()
    {
        const auto length = static_cast<std::size_t>(m_position - m_buffer.data());
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

    // -- strings --------------------------------------------------------------

    /// True when one of the 8 bytes in word needs more than a copy: the
    /// quotation mark, the backslash, a byte below 0x20 and, when non-ASCII
    /// text is checked or escaped, a byte from 0x80. Each test is exact for
    /// "some byte", which is all that is asked.
    bool needs_attention(const std::uint64_t word) const noexcept
    {
        const std::uint64_t ones = 0x0101010101010101u;
        const std::uint64_t high = 0x8080808080808080u;
        const std::uint64_t quote = word ^ (ones * '"');
        const std::uint64_t backslash = word ^ (ones * '\\');
        const std::uint64_t found = ((word - ones * 0x20) & ~word) | ((quote - ones) & ~quote) |
                                    ((backslash - ones) & ~backslash) | (word & m_non_ascii_mask);
        return (found & high) != 0;
    }

    bool needs_attention(const unsigned char byte) const noexcept
    {
        return byte < 0x20 or byte == '"' or byte == '\\' or (byte >= 0x80 and m_check_non_ascii);
    }

    /// The first byte in [first, last) that needs more than a copy, or last.
    const char* plain_run_end(const char* first, const char* const last) const noexcept
    {
        while (last - first >= 8)
        {
            std::uint64_t word;
            std::memcpy(&word, first, 8);
            if (needs_attention(word))
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

    /// s between quotation marks: runs that need no escape copied whole.
    void write_string(const string_t& s)
    {
        const char* const begin = s.data();
        const char* const end = begin + s.size();
        const char* first = begin;
        if (room() < s.size() + 2)
        {
            put('"');
        }
        else
        {
            // The whole string fits: copy word by word while checking, with
            // no call per run, until the end or the first byte to escape.
            char* out = m_position;
            *out++ = '"';
            for (; end - first >= 8; first += 8, out += 8)
            {
                std::uint64_t word;
                std::memcpy(&word, first, 8);
                if (needs_attention(word))
                {
                    break;
                }
                std::memcpy(out, &word, 8);
            }
            for (; first != end and not needs_attention(static_cast<unsigned char>(*first)); ++first, ++out)
            {
                *out = *first;
            }
            m_position = out;
            if (first == end)
            {
                *m_position++ = '"';
                return;
            }
        }
        for (;;)
        {
            const char* const run_end = plain_run_end(first, end);
            append(first, static_cast<std::size_t>(run_end - first));
            if (run_end == end)
            {
                break;
            }
            first = write_special(begin, run_end, end);
        }
        put('"');
    }

    /// Writes the byte at `at` (or the UTF-8 sequence it starts) as
    /// needed; returns the position after it.
    const char* write_special(const char* const begin, const char* const at, const char* const end)
    {
        const auto byte = static_cast<unsigned char>(*at);
        if (byte < 0x80)
        {
            write_escape(byte);
            return at + 1;
        }
        std::size_t length = 0;
        const std::uint32_t code_point = decode_utf8(reinterpret_cast<const unsigned char*>(at),
                                                     reinterpret_cast<const unsigned char*>(end), length);
        if (code_point != invalid)
        {
            if (m_escape_non_ascii)
            {
                write_code_point_escape(code_point);
            }
            else
            {
                append(at, length);
            }
            return at + length;
        }
        switch (m_policy)
        {
            case utf8_policy::keep:
                append(at, length);
                break;
            case utf8_policy::replace:
                if (m_escape_non_ascii)
                {
                    write_code_point_escape(0xFFFD);
                }
                else
                {
                    put_text("\xEF\xBF\xBD", 3);
                }
                break;
            case utf8_policy::error:
                invalid_utf8_error(static_cast<std::size_t>(at - begin), byte);
        }
        return at + length;
    }

    /// The quotation mark, the backslash or a byte below 0x20.
    void write_escape(const unsigned char byte)
    {
        char letter = '\0';
        switch (byte)
        {
            case '"':
                letter = '"';
                break;
            case '\\':
                letter = '\\';
                break;
            case '\b':
                letter = 'b';
                break;
            case '\f':
                letter = 'f';
                break;
            case '\n':
                letter = 'n';
                break;
            case '\r':
                letter = 'r';
                break;
            case '\t':
                letter = 't';
                break;
            default:
                write_unit_escape(byte);
                return;
        }
        const char text[] = {'\\', letter};
        put_text(text, 2);
    }

    /// \uXXXX, lowercase.
    void write_unit_escape(const std::uint32_t unit)
    {
        static constexpr char hex[] = "0123456789abcdef";
        const char text[] = {'\\', 'u', hex[(unit >> 12) & 0xF], hex[(unit >> 8) & 0xF], hex[(unit >> 4) & 0xF],
                             hex[unit & 0xF]};
        put_text(text, 6);
    }

    /// One escape below U+10000, a surrogate pair above.
    void write_code_point_escape(std::uint32_t code_point)
    {
        if (code_point < 0x10000)
        {
            write_unit_escape(code_point);
            return;
        }
        code_point -= 0x10000;
        write_unit_escape(0xD800 + (code_point >> 10));
        write_unit_escape(0xDC00 + (code_point & 0x3FF));
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
        std::size_t continuations = 0;
        unsigned char low = 0x80;  // the range of the first continuation byte,
        unsigned char high = 0xBF; // which rules out overlong forms, surrogates and beyond U+10FFFF
        std::uint32_t code_point = 0;
        if (lead >= 0xC2 and lead <= 0xDF)
        {
            continuations = 1;
            code_point = lead & 0x1Fu;
        }
        else if (lead >= 0xE0 and lead <= 0xEF)
        {
            continuations = 2;
            code_point = lead & 0x0Fu;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        }
        else if (lead >= 0xF0 and lead <= 0xF4)
        {
            continuations = 3;
            code_point = lead & 0x07u;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        }
        else
        {
            length = 1;
            return invalid;
        }
        length = 1;
        for (; length <= continuations; ++length)
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

    /// The one place the text of error 316 is made.
    [[noreturn]] static void invalid_utf8_error(const std::size_t index, const unsigned char byte)
    {
        static constexpr char hex[] = "0123456789ABCDEF";
        const char byte_text[] = {'0', 'x', hex[byte >> 4], hex[byte & 0xF], '\0'};
        detail::throw_error<type_error>(316, "invalid UTF-8 byte at index " + std::to_string(index) + ": " +
                                                 byte_text);
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

    /// Number text is made in place when the longest one fits, in a
    /// buffer of its own and then appended otherwise.
    static constexpr std::size_t longest_number = 32;

    template<typename NumberType>
    void write_integer(const NumberType x)
    {
        if (room() >= longest_number)
        {
            m_position = integer_text(m_position, x);
            return;
        }
        char text[longest_number];
        append(text, static_cast<std::size_t>(integer_text(text, x) - text));
    }

    /// Decimal digits of x at first, two at a time from the right; returns the end.
    template<typename NumberType>
    static char* integer_text(char* first, const NumberType x) noexcept
    {
        static constexpr char pairs[] = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
                                        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
                                        "8081828384858687888990919293949596979899";
        // The magnitude in unsigned arithmetic, so the most negative number needs no case of its own.
        auto magnitude = static_cast<unsigned long long>(x);
        if (is_negative(x))
        {
            *first++ = '-';
            magnitude = 0 - magnitude;
        }
        std::size_t digits = 1;
        for (unsigned long long rest = magnitude;; rest /= 10000, digits += 4)
        {
            if (rest < 10)
            {
                break;
            }
            if (rest < 100)
            {
                digits += 1;
                break;
            }
            if (rest < 1000)
            {
                digits += 2;
                break;
            }
            if (rest < 10000)
            {
                digits += 3;
                break;
            }
        }
        char* const last = first + digits;
        char* out = last;
        while (magnitude >= 100)
        {
            const auto pair = static_cast<std::size_t>(magnitude % 100) * 2;
            magnitude /= 100;
            *--out = pairs[pair + 1];
            *--out = pairs[pair];
        }
        if (magnitude >= 10)
        {
            const auto pair = static_cast<std::size_t>(magnitude) * 2;
            *--out = pairs[pair + 1];
            *--out = pairs[pair];
        }
        else
        {
            *--out = static_cast<char>('0' + magnitude);
        }
        return last;
    }

    /// Fifteen significant digits, or the shortest that read back when asked;
    /// NaN and the infinities, which JSON cannot express, as null.
    void write_float(const number_float_t x)
    {
        if (not std::isfinite(x))
        {
            put_text("null", 4);
            return;
        }
        if (room() >= longest_number)
        {
            m_position = float_text(m_position, x);
            return;
        }
        char text[longest_number];
        append(text, static_cast<std::size_t>(float_text(text, x) - text));
    }

    char* float_text(char* first, const number_float_t x) const noexcept
    {
        return m_round_trip ? detail::write_double_shortest(first, static_cast<double>(x))
                            : detail::write_double(first, static_cast<double>(x));
    }

    const bool m_pretty;
    const std::size_t m_indent_step;
    const bool m_round_trip;
    const utf8_policy m_policy;
    const bool m_escape_non_ascii;
    const bool m_check_non_ascii; // strings are decoded, not just copied, past 0x7F
    const std::uint64_t m_non_ascii_mask; // all ones when m_check_non_ascii: bytes from 0x80 need attention

    string_t* m_text = nullptr;
    std::size_t m_text_size = 0; // the text's length before, restored if writing fails
    std::ostream* m_stream = nullptr;
    bool m_stopped = false; // the stream is no longer good: nothing more is written
    bool m_done = false;

    std::size_t m_depth = 0;
    std::array<frame, inline_frames> m_frames;
    std::vector<frame> m_spilled_frames;

    std::array<char, chunk_size> m_buffer; // not initialised: bytes are written before they are read
    char* m_position = m_buffer.data();
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

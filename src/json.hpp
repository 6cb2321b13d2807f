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
#include <map>
#include <memory>
#include <ostream>
#include <sstream>
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

    /// Appends the value as JSON text to `text`, whose capacity is reused.
    /// Throws what dump(options) throws; `text` then has its old length again.
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
// The writer: dump() and dump_to(), JSON text built in a fixed buffer and
// handed on a chunk at a time, with the stream operator's bytes.
// ---------------------------------------------------------------------------

namespace detail
{

// stand-in: replaced by the number formatting of its own section.
/// Copies snprintf's text of x to first, turning the C locale's decimal
/// point into '.'; returns the end.
inline char* copy_printed_double(char* first, double x, int precision) noexcept
{
    char printed[64];
    const int length = std::snprintf(printed, sizeof printed, "%.*g", precision, x);
    bool point_done = false;
    for (int i = 0; i < length;)
    {
        const char c = printed[i];
        if ((c >= '0' and c <= '9') or c == '-' or c == '+' or c == 'e')
        {
            *first++ = c;
            ++i;
            continue;
        }
        if (not point_done)
        {
            *first++ = '.';
            point_done = true;
        }
        ++i;
        while (i < length and printed[i] != 'e' and (printed[i] < '0' or printed[i] > '9'))
        {
            ++i;
        }
    }
    return first;
}

// stand-in: replaced by the number formatting of its own section.
/// Finite x with 15 significant digits, as the stream operator writes it.
inline char* write_double(char* first, double x) noexcept
{
    if (x == 0)
    {
        const char* text = std::signbit(x) ? "-0.0" : "0.0";
        const std::size_t length = std::signbit(x) ? 4 : 3;
        std::copy(text, text + length, first);
        return first + length;
    }
    char* const begin = first;
    first = copy_printed_double(first, x, 15);
    if (std::find_if(begin, first, [](char c) { return c == '.' or c == 'e'; }) == first)
    {
        *first++ = '.';
        *first++ = '0';
    }
    return first;
}

// stand-in: replaced by the number formatting of its own section.
/// Finite x with the fewest digits (15, 16 or 17) that read back as x.
inline char* write_double_shortest(char* first, double x) noexcept
{
    if (x == 0)
    {
        return write_double(first, x);
    }
    char* const begin = first;
    for (int precision = 15;; ++precision)
    {
        first = copy_printed_double(begin, x, precision);
        // strtod reads the C locale's decimal point
        char text[64];
        const char* point = std::localeconv()->decimal_point;
        std::size_t n = 0;
        for (const char* c = begin; c != first; ++c)
        {
            if (*c == '.')
            {
                for (const char* p = point; *p != '\0'; ++p)
                {
                    text[n++] = *p;
                }
            }
            else
            {
                text[n++] = *c;
            }
        }
        text[n] = '\0';
        if (precision == 17 or std::strtod(text, nullptr) == x)
        {
            break;
        }
    }
    if (std::find_if(begin, first, [](char c) { return c == '.' or c == 'e'; }) == first)
    {
        *first++ = '.';
        *first++ = '0';
    }
    return first;
}

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

    /// The indentation of the innermost open level.
    void indent()
    {
        if (m_pretty)
        {
            fill(' ', m_depth * m_indent_step);
        }
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

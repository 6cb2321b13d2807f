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
#include <istream>
#include <iterator>
#include <limits>
#include <map>
#include <memory>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#if __cplusplus >= 201703L
#include <string_view>
#endif

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

    /// The numeric id: 100s for parse_error, 300s for type_error, 400s for
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

/// Text that is not JSON, or that the parse options refuse.
class parse_error : public exception
{
  public:
    /// The error with this id and place; what_arg is copied verbatim.
    parse_error(int id_, std::size_t byte_, std::size_t line_, std::size_t column_, const std::string& what_arg)
        : exception(id_, "parse_error", what_arg), byte(byte_), line(line_), column(column_)
    {}

    /// 0-based offset of the first byte at which the text stops being the
    /// start of some JSON text, or its length when it ends too early.
    const std::size_t byte;

    /// 1-based line of that byte; lines end at LF.
    const std::size_t line;

    /// 1-based column of that byte on its line, counted in bytes.
    const std::size_t column;
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

/// Raised wherever a null character pointer stands for text.
[[noreturn]] inline void throw_null_text()
{
    throw_error<other_error>(501, "cannot create string from null pointer");
}

/// Text up to the NUL. Throws other_error 501 for a null pointer.
template<typename BasicJsonType, typename T, enable_if_t<is_one_of<T, const char*, char*>::value, int> = 0>
void to_json(BasicJsonType& j, T s)
{
    if (s == nullptr)
    {
        throw_null_text();
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
// The value: a kind tag and one 64-bit word. Scalars live in the word;
// objects, arrays and strings live in a container the value alone owns.
// ---------------------------------------------------------------------------

// The options of reading text, and the reading functions the value's entry
// points call, which the section "Reading text" defines.

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

    /// What a repeated key in an object does.
    duplicate_key_policy duplicate_keys = duplicate_key_policy::last_wins;
};


namespace detail
{

/// Iterators over bytes, which the reading entry points take in pairs.
template<typename Iterator>
using is_byte_iterator =
    is_one_of<uncvref_t<typename std::iterator_traits<Iterator>::value_type>, char, signed char, unsigned char>;

template<typename BasicJsonType, typename Source>
BasicJsonType parse_source(Source&& source, const parse_options& options);

template<typename BasicJsonType, typename Source>
bool accept_source(Source&& source, const parse_options& options);

template<typename BasicJsonType, typename Source, typename Handler>
bool read_events(Source&& source, Handler& handler, const parse_options& options);

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

  public:
    using value_t = detail::value_t;

    /// The exception family, also reachable through the value type.
    using exception = detail::exception;
    using type_error = detail::type_error;
    using out_of_range = detail::out_of_range;
    using other_error = detail::other_error;
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

    /// Writes one value as JSON text onto a stream.
    class serializer;

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
        std::ostringstream stream;
        stream.exceptions(std::ios::badbit); // a text that cannot grow is an error, not a shorter text
        serializer s(stream);
        s.dump(*this, indent > 0, indent > 0 ? static_cast<unsigned int>(indent) : 0u, 0);
        return stream.str();
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
    /// whitespace. Throws what parse(string_t) throws, and whatever the
    /// stream buffer throws.
    static basic_json parse(std::istream& stream, parse_options options = parse_options())
    {
        return detail::parse_source<basic_json>(stream, options);
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

    /// The same, for the rest of the stream; throws whatever the stream buffer throws.
    static bool accept(std::istream& stream, parse_options options = parse_options())
    {
        return detail::accept_source<basic_json>(stream, options);
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

    /// The same, for the rest of the stream; also throws whatever the stream buffer throws.
    template<typename Handler>
    static bool parse_events(std::istream& stream, Handler& handler, parse_options options = parse_options())
    {
        return detail::read_events<basic_json>(stream, handler, options);
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
// Reading text: bytes checked against the JSON grammar of RFC 8259, without
// recursion, and reported one event at a time to a handler; building a value
// is one such handler.
// ---------------------------------------------------------------------------

namespace detail
{

// stand-in: replaced by the exact conversion
inline bool text_to_double(const char* first, const char* last, double& result) noexcept
{
    const char* const point = std::localeconv()->decimal_point;
    std::string text;
    for (; first != last; ++first)
    {
        if (*first == '.')
        {
            text += point;
        }
        else
        {
            text += *first;
        }
    }
    result = std::strtod(text.c_str(), nullptr);
    return std::isfinite(result);
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

    /// How many bytes from here a string takes as they are: printable ASCII
    /// other than the quotation mark and the backslash.
    std::size_t plain_run() const noexcept
    {
        const char* p = next_byte;
        while (p != end_byte)
        {
            const auto c = static_cast<unsigned char>(*p);
            if (c < 0x20 or c >= 0x80 or c == '"' or c == '\\')
            {
                break;
            }
            ++p;
        }
        return static_cast<std::size_t>(p - next_byte);
    }

  private:
    const char* begin_byte;
    const char* next_byte;
    const char* end_byte;
};

/// A stream buffer, read through sgetc and sbumpc so that nothing past the
/// last byte the parse needs is taken from it.
class stream_input
{
  public:
    /// Reads from buffer; a null buffer is empty input.
    explicit stream_input(std::streambuf* buffer) noexcept
        : source(buffer)
    {}

    static constexpr bool contiguous = false;

    int peek() const
    {
        if (source == nullptr)
        {
            return -1;
        }
        const auto c = source->sgetc();
        return c == std::char_traits<char>::eof() ? -1 : c;
    }

    void advance()
    {
        source->sbumpc();
        ++count;
    }

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

    void advance(std::size_t /*unused*/) noexcept
    {}

  private:
    std::streambuf* source;
    std::size_t count = 0;
};

/// Any input iterators over char, signed char or unsigned char.
template<typename Iterator>
class iterator_input
{
  public:
    iterator_input(Iterator first, Iterator last)
        : next_byte(std::move(first)), end_byte(std::move(last))
    {}

    static constexpr bool contiguous = false;

    int peek() const
    {
        return next_byte != end_byte ? static_cast<unsigned char>(*next_byte) : -1;
    }

    void advance()
    {
        ++next_byte;
        ++count;
    }

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

    void advance(std::size_t /*unused*/) noexcept
    {}

  private:
    Iterator next_byte;
    Iterator end_byte;
    std::size_t count = 0;
};

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
    shallower,
    finite_number,
    new_key
};

/// Where and why a parse failed, kept without allocating so that accept
/// never needs to; parse_error_text turns it into the message.
struct parse_failure
{
    int id = 0; // 0: the handler stopped the parse
    std::size_t byte = 0;
    std::size_t line = 1;
    std::size_t column = 1;
    expectation expected = expectation::value;
    std::size_t max_depth = 0;
    std::array<char, 24> found{{}}; // the first bytes of what stood there
    std::size_t found_length = 0;
    bool found_end = false; // the input ended there
    bool found_cut = false; // found holds only the start of it
};

/// The one place of every parse error text: what failed, where, what the
/// grammar expected and what stood there instead.
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
        "", // composed below
        "a number within the range of a double",
        "a key the object does not have yet",
    };
    std::string text;
    switch (failure.id)
    {
        case 102:
            text = "nesting too deep";
            break;
        case 103:
            text = "number out of range";
            break;
        case 104:
            text = "duplicate key";
            break;
        default:
            text = "syntax error";
            break;
    }
    text += " at line " + std::to_string(failure.line) + ", column " + std::to_string(failure.column) + ": expected ";
    if (failure.expected == expectation::shallower)
    {
        text += "at most " + std::to_string(failure.max_depth) + " nested arrays and objects";
    }
    else
    {
        text += expected_texts[static_cast<std::size_t>(failure.expected)];
    }
    text += ", found ";
    if (failure.found_end)
    {
        text += "end of input";
        return text;
    }
    static constexpr char hexify[] = "0123456789ABCDEF";
    text += '\'';
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
    /// False when the text is not JSON (see failure()) or the handler stopped.
    template<typename Handler>
    bool read(Handler& handler, const bool whole_text)
    {
        // A handler that ignores every string needs none of them decoded.
        store_text = not std::is_same<Handler, typename BasicJsonType::event_handler>::value;
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
                        return fail(102, expectation::shallower);
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
                    if (not read_string())
                    {
                        return false;
                    }
                    if (not handler.string_value(text))
                    {
                        return stop();
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
                    if (not read_number(handler))
                    {
                        return false;
                    }
                    break;
                default:
                    return fail(101, expectation::value);
            }

            // A value ended: close every array and object that ends with it,
            // up to the start of the next value.
            for (;;)
            {
                if (depth == 0)
                {
                    if (not whole_text)
                    {
                        return true;
                    }
                    if (not skip_whitespace())
                    {
                        return false;
                    }
                    return input.peek() == -1 or fail(101, expectation::end_of_input);
                }
                if (not skip_whitespace())
                {
                    return false;
                }
                const char closing = in_object ? '}' : ']';
                int c = input.peek();
                if (c == ',')
                {
                    input.advance();
                    if (not skip_whitespace())
                    {
                        return false;
                    }
                    c = input.peek();
                    if (not(options.allow_trailing_commas and c == closing))
                    {
                        if (in_object and not read_key(handler, options.allow_trailing_commas
                                                                    ? expectation::key_or_brace
                                                                    : expectation::key))
                        {
                            return false;
                        }
                        break;
                    }
                }
                if (c != closing)
                {
                    return fail(101, in_object ? expectation::comma_or_brace : expectation::comma_or_bracket);
                }
                token_start = input.offset();
                input.advance();
                if (not(in_object ? handler.end_object() : handler.end_array()))
                {
                    return stop();
                }
                in_object = pop();
            }
        }
    }

    /// Skips whitespace (and comments, if allowed) and tells whether the
    /// input ends there; for reading one value after another.
    bool at_end()
    {
        return skip_whitespace() and input.peek() == -1;
    }

    /// Why read returned false.
    const parse_failure& failure() const noexcept
    {
        return failed;
    }

    /// True when read returned false because the handler stopped it.
    bool stopped() const noexcept
    {
        return failed.id == 0;
    }

    /// Throws the recorded failure as parse_error. After a handler stopped
    /// at a key, duplicate_key makes it 104 at that key.
    [[noreturn]] void raise(const bool duplicate_key)
    {
        if (duplicate_key)
        {
            failed.id = 104;
            failed.expected = expectation::new_key;
            failed.found_end = false;
            failed.found_length = 0;
            show('"');
            show_text(text.data(), text.size());
            show('"');
        }
        throw_error<parse_error>(failed.id, failed.byte, failed.line, failed.column, parse_error_text(failed));
    }

  private:
    /// Records a failure at the next byte, which is shown as what was found.
    bool fail(const int id, const expectation expected)
    {
        record(id, input.offset(), expected);
        const int c = input.peek();
        if (c == -1)
        {
            failed.found_end = true;
        }
        else
        {
            show(static_cast<char>(c));
        }
        return false;
    }

    /// Records that the handler stopped at the token starting at token_start.
    bool stop()
    {
        record(0, token_start, expectation::value);
        return false;
    }

    void record(const int id, const std::size_t byte, const expectation expected)
    {
        failed.id = id;
        failed.byte = byte;
        failed.line = line;
        failed.column = byte - line_start + 1;
        failed.expected = expected;
        failed.max_depth = options.max_depth;
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

    bool skip_whitespace()
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
            else if (c == '/' and options.allow_comments)
            {
                if (not skip_comment())
                {
                    return false;
                }
            }
            else
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
            return fail(101, expectation::comment_start);
        }
        input.advance();
        for (;;)
        {
            const int c = input.peek();
            if (c == -1)
            {
                return fail(101, expectation::comment_end);
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

    bool read_literal(const char* word, const expectation expected)
    {
        for (; *word != '\0'; ++word)
        {
            if (input.peek() != *word)
            {
                return fail(101, expected);
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
            return fail(101, expected);
        }
        if (not read_string())
        {
            return false;
        }
        if (not handler.object_key(text))
        {
            return stop();
        }
        if (not skip_whitespace())
        {
            return false;
        }
        if (input.peek() != ':')
        {
            return fail(101, expectation::colon);
        }
        input.advance();
        return skip_whitespace();
    }

    static bool is_digit(const int c) noexcept
    {
        return c >= '0' and c <= '9';
    }

    /// Takes the next byte into the number's text.
    void keep(const int c)
    {
        input.advance();
        if (not Input::contiguous)
        {
            number_text.push_back(static_cast<char>(c));
        }
    }

    /// Takes digits; false when there is not at least one.
    bool keep_digits()
    {
        int c = input.peek();
        if (not is_digit(c))
        {
            return fail(101, expectation::digit);
        }
        do
        {
            keep(c);
            c = input.peek();
        } while (is_digit(c));
        return true;
    }

    /// A number by the grammar. Integer text becomes the first integer type
    /// it fits; all other text goes through text_to_double, which rounds.
    template<typename Handler>
    bool read_number(Handler& handler)
    {
        const std::size_t start = input.offset();
        const char* const first = input.position();
        number_text.clear();

        int c = input.peek();
        const bool negative = c == '-';
        if (negative)
        {
            keep(c);
            c = input.peek();
        }
        number_unsigned_t magnitude = 0;
        bool fits = true;
        if (c == '0')
        {
            keep(c);
            c = input.peek();
        }
        else if (is_digit(c))
        {
            int digits = 0;
            do
            {
                const auto digit = static_cast<number_unsigned_t>(c - '0');
                // Up to digits10 digits cannot overflow; one more might.
                if (++digits > std::numeric_limits<number_unsigned_t>::digits10 and
                    magnitude > (std::numeric_limits<number_unsigned_t>::max() - digit) / 10)
                {
                    fits = false;
                }
                magnitude = magnitude * 10 + digit;
                keep(c);
                c = input.peek();
            } while (is_digit(c));
        }
        else
        {
            return fail(101, expectation::digit);
        }

        bool integral = true;
        if (c == '.')
        {
            integral = false;
            keep(c);
            if (not keep_digits())
            {
                return false;
            }
            c = input.peek();
        }
        if (c == 'e' or c == 'E')
        {
            integral = false;
            keep(c);
            c = input.peek();
            if (c == '+' or c == '-')
            {
                keep(c);
            }
            if (not keep_digits())
            {
                return false;
            }
        }

        if (integral and fits)
        {
            using signed_limits = std::numeric_limits<number_integer_t>;
            const auto largest = static_cast<number_unsigned_t>(signed_limits::max());
            if (not negative)
            {
                if (not(magnitude <= largest ? handler.integer_value(static_cast<number_integer_t>(magnitude))
                                             : handler.unsigned_value(magnitude)))
                {
                    return stop();
                }
                return true;
            }
            if (magnitude <= largest + 1)
            {
                // Negated one short of the magnitude, so the most negative number does not overflow.
                const number_integer_t value =
                    magnitude == 0 ? 0 : -static_cast<number_integer_t>(magnitude - 1) - 1;
                if (not handler.integer_value(value))
                {
                    return stop();
                }
                return true;
            }
        }

        const char* const text_first = Input::contiguous ? first : number_text.data();
        const char* const text_last =
            Input::contiguous ? input.position() : number_text.data() + number_text.size();
        double result = 0;
        if (not text_to_double(text_first, text_last, result))
        {
            record(103, start, expectation::finite_number);
            show_text(text_first, static_cast<std::size_t>(text_last - text_first));
            return false;
        }
        if (not handler.float_value(static_cast<number_float_t>(result)))
        {
            return stop();
        }
        return true;
    }

    // -- strings --------------------------------------------------------------

    /// A string from its opening quote, decoded into `text` as UTF-8.
    bool read_string()
    {
        text.clear();
        input.advance();
        for (;;)
        {
            const std::size_t run = input.plain_run();
            if (run != 0)
            {
                if (store_text)
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
                return fail(101, expectation::string_content);
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

    /// One UTF-8 sequence as RFC 3629 allows it: shortest form, no
    /// surrogates, nothing above U+10FFFF.
    bool read_utf8(const int lead)
    {
        int more = 0;
        int low = 0x80;
        int high = 0xBF;
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
            return fail(101, expectation::utf8_lead);
        }
        put(static_cast<char>(lead));
        input.advance();
        for (; more > 0; --more)
        {
            const int c = input.peek();
            if (c < low or c > high)
            {
                return fail(101, expectation::utf8_continuation);
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
                return fail(101, expectation::escape_letter);
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
                return fail(101, low_surrogate and i < 2 ? expectation::low_surrogate : expectation::hex_digit);
            }
            unit = unit * 16 + static_cast<unsigned int>(value);
            if (low_surrogate and ((i == 0 and unit != 0xD) or (i == 1 and unit < 0xDC)))
            {
                return fail(101, expectation::low_surrogate);
            }
            if (not low_surrogate and i == 1 and unit >= 0xDC and unit <= 0xDF)
            {
                return fail(101, expectation::no_lone_low_surrogate);
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
                    return fail(101, expectation::low_surrogate);
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
        if (store_text)
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
    /// first levels live in place, so shallow text allocates nothing here.
    void push(const bool enclosing_is_object)
    {
        std::uint64_t& word = kind_word(depth);
        const std::uint64_t bit = std::uint64_t{1} << (depth % 64);
        word = enclosing_is_object ? (word | bit) : (word & ~bit);
        ++depth;
    }

    /// Closes a level; returns whether the enclosing one is an object.
    bool pop()
    {
        --depth;
        return (kind_word(depth) >> (depth % 64) & 1) != 0;
    }

    std::uint64_t& kind_word(const std::size_t level)
    {
        const std::size_t index = level / 64;
        if (index < near_kinds.size())
        {
            return near_kinds[index];
        }
        if (index - near_kinds.size() >= far_kinds.size())
        {
            far_kinds.resize(index - near_kinds.size() + 1);
        }
        return far_kinds[index - near_kinds.size()];
    }

    Input input;
    const parse_options options;
    string_t text;        // the string or key last read
    string_t number_text; // the number being read, when the input is not in memory
    std::size_t depth = 0;
    std::array<std::uint64_t, 8> near_kinds{{}};
    std::vector<std::uint64_t> far_kinds;
    std::size_t line = 1;
    std::size_t line_start = 0; // offset of the first byte of the line
    std::size_t token_start = 0;
    bool store_text = true;
    parse_failure failed;
};

/// The handler that builds a value: each container is made in its place in
/// the tree as it opens, and the stack holds the open ones.
template<typename BasicJsonType>
class value_builder
{
    using object_t = typename BasicJsonType::object_t;
    using array_t = typename BasicJsonType::array_t;
    using string_t = typename BasicJsonType::string_t;

  public:
    value_builder(BasicJsonType& result, const duplicate_key_policy policy_) noexcept
        : root(result), policy(policy_)
    {}

    /// True when the parse stopped at a key the reject policy refused.
    bool duplicate_key() const noexcept
    {
        return duplicate;
    }

    bool null_value()
    {
        return scalar(BasicJsonType());
    }

    bool boolean_value(const typename BasicJsonType::boolean_t b)
    {
        return scalar(BasicJsonType(b));
    }

    bool integer_value(const typename BasicJsonType::number_integer_t n)
    {
        return scalar(BasicJsonType(n));
    }

    bool unsigned_value(const typename BasicJsonType::number_unsigned_t n)
    {
        return scalar(BasicJsonType(n));
    }

    bool float_value(const typename BasicJsonType::number_float_t x)
    {
        return scalar(BasicJsonType(x));
    }

    /// Copied, not moved: the copy is one allocation of the exact size,
    /// and the parser's buffer keeps its capacity for the next string.
    bool string_value(string_t& s)
    {
        if (not discarding())
        {
            place(BasicJsonType(static_cast<const string_t&>(s)));
        }
        return true;
    }

    bool object_key(string_t& key)
    {
        if (skipped_depth != 0)
        {
            return true;
        }
        object_t& object = *open.back()->template get_ptr<object_t*>();
        // The key is copied, so it is still there for the message of 104.
        const auto inserted = object.emplace(static_cast<const string_t&>(key), BasicJsonType());
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
                skip_next = true;
                break;
            case duplicate_key_policy::reject:
                duplicate = true;
                return false;
        }
        return true;
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
        return end();
    }

    bool end_array()
    {
        return end();
    }

  private:
    /// True while the value of a key the first_wins policy drops is read.
    bool discarding() noexcept
    {
        if (skipped_depth != 0)
        {
            return true;
        }
        if (skip_next)
        {
            skip_next = false;
            return true;
        }
        return false;
    }

    bool scalar(BasicJsonType&& value)
    {
        if (not discarding())
        {
            place(std::move(value));
        }
        return true;
    }

    BasicJsonType* place(BasicJsonType&& value)
    {
        if (open.empty())
        {
            root = std::move(value);
            return &root;
        }
        array_t* const array = open.back()->template get_ptr<array_t*>();
        if (array != nullptr)
        {
            array->push_back(std::move(value));
            return &array->back();
        }
        *slot = std::move(value);
        return slot;
    }

    bool begin(const detail::value_t kind)
    {
        if (skipped_depth != 0 or skip_next)
        {
            skip_next = false;
            ++skipped_depth;
            return true;
        }
        BasicJsonType* const container = place(BasicJsonType(kind));
        open.push_back(container);
        return true;
    }

    bool end()
    {
        if (skipped_depth != 0)
        {
            --skipped_depth;
        }
        else
        {
            open.pop_back();
        }
        return true;
    }

    BasicJsonType& root;
    const duplicate_key_policy policy;
    std::vector<BasicJsonType*> open;
    BasicJsonType* slot = nullptr; // the member whose value comes next
    std::size_t skipped_depth = 0;
    bool skip_next = false;
    bool duplicate = false;
};

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

inline stream_input input_of(std::istream& stream) noexcept
{
    return stream_input(stream.rdbuf());
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

template<typename BasicJsonType, typename Source>
BasicJsonType parse_source(Source&& source, const parse_options& options)
{
    auto input = input_of(std::forward<Source>(source));
    BasicJsonType result;
    value_builder<BasicJsonType> builder(result, options.duplicate_keys);
    parser<BasicJsonType, decltype(input)> reader(std::move(input), options);
    if (not reader.read(builder, true))
    {
        reader.raise(builder.duplicate_key());
    }
    return result;
}

template<typename BasicJsonType, typename Source>
bool accept_source(Source&& source, const parse_options& options)
{
    auto input = input_of(std::forward<Source>(source));
    parser<BasicJsonType, decltype(input)> reader(std::move(input), options);
    if (options.duplicate_keys == duplicate_key_policy::reject)
    {
        BasicJsonType scratch;
        value_builder<BasicJsonType> builder(scratch, options.duplicate_keys);
        return reader.read(builder, true);
    }
    typename BasicJsonType::event_handler ignore;
    return reader.read(ignore, true);
}

template<typename BasicJsonType, typename Source, typename Handler>
bool read_events(Source&& source, Handler& handler, const parse_options& options)
{
    auto input = input_of(std::forward<Source>(source));
    parser<BasicJsonType, decltype(input)> reader(std::move(input), options);
    if (reader.read(handler, true))
    {
        return true;
    }
    if (not reader.stopped())
    {
        reader.raise(false);
    }
    return false;
}

} // namespace detail

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
// The stream operators: the entry points for output and for reading values
// one after another from a stream.
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

/// Reads one value into j with the default parse_options: skips whitespace,
/// reads exactly the bytes of the value, and leaves the stream just after
/// them, so `while (in >> j)` reads values one after another. Sets failbit
/// and eofbit, and leaves j as it was, when only whitespace is left. Throws
/// parse_error for malformed text and std::bad_alloc, leaving j as it was,
/// and whatever the stream buffer throws.
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
    const std::istream::sentry ready(in, true); // JSON's own whitespace is skipped below
    if (not ready)
    {
        return in;
    }
    const parse_options options;
    detail::parser<value_type, detail::stream_input> reader(detail::stream_input(in.rdbuf()), options);
    if (reader.at_end())
    {
        in.setstate(std::ios::failbit | std::ios::eofbit);
        return in;
    }
    value_type result;
    detail::value_builder<value_type> builder(result, options.duplicate_keys);
    if (not reader.read(builder, false))
    {
        reader.raise(false);
    }
    j = std::move(result);
    return in;
}

} // namespace quarrow

#endif // QUARROW_JSON_HPP

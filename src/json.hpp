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
#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

/// Decimal number text to the nearest double, without allocating and without
/// the C library, whose conversions follow the C locale's decimal point.
namespace decimal
{

/// 128 bits, most significant half first.
struct uint128
{
    std::uint64_t high;
    std::uint64_t low;
};

/// 192 bits, most significant word first.
struct uint192
{
    std::uint64_t high;
    std::uint64_t middle;
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
    __extension__ typedef unsigned __int128 wide;
    const wide product = static_cast<wide>(a) * b;
    return {static_cast<std::uint64_t>(product >> 64), static_cast<std::uint64_t>(product)};
#else
    return multiply_portable(a, b);
#endif
}

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

/// Leading zero bits of x, which is not 0.
inline int count_leading_zeros(std::uint64_t x) noexcept
{
    assert(x != 0);
#if defined(__GNUC__)
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

// The powers of five 5^q, q in [min_power, max_power], that the table holds.
// Beyond them a number is surely 0 or surely too large for a double.
constexpr int min_power = -342;
constexpr int max_power = 308;

/// The top 128 bits of 5^q, rounded down: 5^q = (value + f) * 2^e, 0 <= f < 1,
/// with e from binary_exponent(q). Written by tests/power_table.py, which also
/// checks this copy.
inline const uint128& power_of_five(const int q) noexcept
{
    assert(q >= min_power and q <= max_power);
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
        {0x8e679c2f5e44ff8f, 0x570f09eaa7ea7648},
    };
    return table[q - min_power];
}

/// The e of power_of_five(q): floor(q * log2(5)) - 127, from a fixed-point
/// log2(5) that is exact enough over the table's range.
inline int binary_exponent(const int q) noexcept
{
    return (q * 152170 + 65536 * 1024) / 65536 - 1024 - 127;
}

/// power_of_five(q) is 5^q itself, with no bits dropped.
inline bool is_exact_power(const int q) noexcept
{
    return q >= 0 and q <= 55; // 5^55 < 2^128 < 5^56
}

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

/// An unsigned integer of up to `capacity` 32-bit limbs, least significant
/// first, for the exact comparisons; enough for 800 digits times 5^1123.
class big_integer
{
  public:
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

    // number * 10^q against halfway_mantissa * 2^halfway_exponent, both brought
    // to integers: a negative q's 5^-q moves to the halfway side.
    const int q = static_cast<int>(magnitude - count);
    big_integer halfway(halfway_mantissa);
    int number_twos = q;
    int halfway_twos = halfway_exponent;
    if (q >= 0)
    {
        number.multiply_by_power_of_five(q);
    }
    else
    {
        halfway.multiply_by_power_of_five(-q);
    }
    if (number_twos > halfway_twos)
    {
        number.shift_left(number_twos - halfway_twos);
    }
    else
    {
        halfway.shift_left(halfway_twos - number_twos);
    }
    const int order = compare(number, halfway);
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

// The powers of ten that doubles hold exactly.
constexpr int max_exact_power_of_ten = 22;

inline double exact_power_of_ten(const int q) noexcept
{
    static const double powers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    return powers[q];
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

inline bool is_digit(const char c) noexcept
{
    return static_cast<unsigned char>(c - '0') < 10;
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

/// All 8 bytes are '0' to '9': each high nibble is 3, and stays 3 when 6 is added.
inline bool are_eight_digits(const std::uint64_t bytes) noexcept
{
    const std::uint64_t high_nibbles = 0xF0F0F0F0F0F0F0F0u;
    return ((bytes & high_nibbles) | (((bytes + 0x0606060606060606u) & high_nibbles) >> 4)) == 0x3333333333333333u;
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

/// Reads the digits from p on: into `leading` while `taken` stays at most
/// 19, after that only whether one is not 0. Returns the end of the digits.
inline const char* read_digits(const char* p, const char* last, std::uint64_t& leading, int& taken,
                               bool& truncated) noexcept
{
    const char* const start = p;
    const char* const stop = p + std::min<std::ptrdiff_t>(last - p, 19 - taken);
    for (; stop - p >= 8 and are_eight_digits(eight_bytes(p)); p += 8)
    {
        leading = leading * 100000000 + eight_digits_value(eight_bytes(p));
    }
    for (; p != stop and is_digit(*p); ++p)
    {
        leading = leading * 10 + static_cast<std::uint64_t>(*p - '0');
    }
    taken += static_cast<int>(p - start);
    for (; p != last and is_digit(*p); ++p)
    {
        truncated = truncated or *p != '0';
    }
    return p;
}

} // namespace decimal

/// The double nearest to the number text [first, last), ties to even, as strtod gives in the C locale;
/// false (result untouched) when its magnitude is beyond the largest finite double.
/// [first,last) is already validated by the JSON grammar: '-'? digits ('.' digits)? ([eE] [+-]? digits)?
inline bool text_to_double(const char* first, const char* last, double& result) noexcept
{
    using namespace decimal;
    assert(first != last);
    const bool negative = *first == '-';
    const char* p = negative ? first + 1 : first;

    // The first 19 significant digits, and whether a nonzero digit follows them.
    std::uint64_t leading = 0;
    int taken = 0;
    bool truncated = false;
    while (p != last and *p == '0')
    {
        ++p;
    }
    digit_run digits = {p, p};
    p = read_digits(p, last, leading, taken, truncated);
    std::int64_t magnitude = p - digits.first; // the number is below 10^magnitude and at least a tenth of it
    if (p != last and *p == '.')
    {
        ++p;
        if (taken == 0)
        {
            const char* const zeros = p;
            while (p != last and *p == '0')
            {
                ++p;
            }
            magnitude -= p - zeros;
            digits.first = p;
        }
        p = read_digits(p, last, leading, taken, truncated);
    }
    digits.last = p;
    if (p != last)
    {
        ++p; // the 'e' or 'E'
        const bool negative_exponent = *p == '-';
        if (*p == '-' or *p == '+')
        {
            ++p;
        }
        std::int64_t exponent = 0;
        for (; p != last and exponent < exponent_limit; ++p)
        {
            exponent = exponent * 10 + (*p - '0');
        }
        magnitude += negative_exponent ? -exponent : exponent;
    }
    const double sign = negative ? -1.0 : 1.0;

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
    // below upper, a few units of lower.high above lower.
    const int zeros = count_leading_zeros(leading);
    const std::uint64_t normalized = leading << zeros;
    const uint128& power = power_of_five(q);
    const int scale = binary_exponent(q) + q - zeros;
    const uint192 lower = multiply(normalized, power);
    const bool exact = is_exact_power(q) and not truncated;
    const std::uint64_t slack = exact ? 0 : 2 + (truncated ? std::uint64_t{1} << zeros : 0);
    bool uncertain = false;
    std::uint64_t bits = round_to_double(lower, scale, slack, uncertain);
    if (uncertain)
    {
        uint192 upper = lower;
        if (not is_exact_power(q))
        {
            upper = add(upper, uint192{0, 0, normalized});
        }
        if (truncated)
        {
            const std::uint64_t unit = std::uint64_t{1} << zeros;
            const uint192 shifted = {zeros == 0 ? 0 : power.high >> (64 - zeros),
                                     (power.high << zeros) | (zeros == 0 ? 0 : power.low >> (64 - zeros)),
                                     power.low << zeros};
            upper = add(upper, shifted);
            upper = add(upper, uint192{0, 0, is_exact_power(q) ? 0 : unit});
        }
        if (bits != round_to_double(upper, scale, 0, uncertain))
        {
            // The bounds are closer than half a unit in the last place, so one
            // halfway point at most lies between them.
            bits = decide_exactly(digits, magnitude, bits);
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

    /// skip_whitespace_bytes, eight spaces at a time where lines are indented.
    void skip_whitespace(std::size_t& line, std::size_t& line_start) noexcept
    {
        const char* p = next_byte;
        while (p != end_byte)
        {
            if (end_byte - p >= 8 and std::memcmp(p, "        ", 8) == 0)
            {
                p += 8;
            }
            else if (*p == ' ' or *p == '\t' or *p == '\r')
            {
                ++p;
            }
            else if (*p == '\n')
            {
                ++p;
                ++line;
                line_start = static_cast<std::size_t>(p - begin_byte);
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
    std::size_t plain_run() const noexcept
    {
        const char* p = next_byte;
        while (p != end_byte)
        {
            if (end_byte - p >= 8 and eight_plain_ascii(p))
            {
                p += 8;
                continue;
            }
            const auto c = static_cast<unsigned char>(*p);
            if (c >= 0x20 and c < 0x80 and c != '"' and c != '\\')
            {
                ++p;
                continue;
            }
            int more = 0;
            int low = 0;
            int high = 0;
            if (c < 0x80 or not utf8_sequence(c, more, low, high) or end_byte - p <= more)
            {
                break;
            }
            const auto first = static_cast<unsigned char>(p[1]);
            bool valid = first >= low and first <= high;
            for (int i = 2; i <= more; ++i)
            {
                const auto next = static_cast<unsigned char>(p[i]);
                valid = valid and next >= 0x80 and next <= 0xBF;
            }
            if (not valid)
            {
                break;
            }
            p += 1 + more;
        }
        return static_cast<std::size_t>(p - next_byte);
    }

  private:
    /// Whether the 8 bytes at p are all printable ASCII other than '"' and
    /// '\\', tested at once: a byte is zero in x ^ c exactly where x has c,
    /// and subtracting 1 from each byte borrows into its top bit only where
    /// the byte was zero; subtracting 0x20 likewise flags the control bytes.
    static bool eight_plain_ascii(const char* p) noexcept
    {
        std::uint64_t x = 0;
        std::memcpy(&x, p, sizeof x);
        const std::uint64_t ones = 0x0101010101010101u;
        const std::uint64_t tops = 0x8080808080808080u;
        const std::uint64_t quotes = x ^ (ones * '"');
        const std::uint64_t backslashes = x ^ (ones * '\\');
        const std::uint64_t flagged = ((quotes - ones) & ~quotes) | ((backslashes - ones) & ~backslashes) |
                                      ((x - ones * 0x20) & ~x) | x;
        return (flagged & tops) == 0;
    }

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

    void skip_whitespace(std::size_t& line, std::size_t& line_start)
    {
        skip_whitespace_bytes(*this, line, line_start);
    }

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

    void skip_whitespace(std::size_t& line, std::size_t& line_start)
    {
        skip_whitespace_bytes(*this, line, line_start);
    }

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
    static_assert(sizeof expected_texts / sizeof *expected_texts == static_cast<std::size_t>(expectation::new_key) + 1,
                  "one text for each expectation");
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
            input.skip_whitespace(line, line_start);
            if (input.peek() != '/' or not options.allow_comments)
            {
                return true;
            }
            if (not skip_comment())
            {
                return false;
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
        int digits = 0; // before the point, 0 for a leading "0"
        if (c == '0')
        {
            keep(c);
            c = input.peek();
        }
        else if (is_digit(c))
        {
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
        int exponent = 0; // kept far from overflowing, beyond any that matters
        if (c == 'e' or c == 'E')
        {
            integral = false;
            keep(c);
            c = input.peek();
            const bool negative_exponent = c == '-';
            if (c == '+' or c == '-')
            {
                keep(c);
                c = input.peek();
            }
            if (not is_digit(c))
            {
                return fail(101, expectation::digit);
            }
            do
            {
                exponent = exponent < 100000 ? exponent * 10 + (c - '0') : exponent;
                keep(c);
                c = input.peek();
            } while (is_digit(c));
            exponent = negative_exponent ? -exponent : exponent;
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

        // Below 10 to the power digits + exponent, so nothing can overflow:
        // a handler that ignores the value needs no conversion.
        if (ignoring_values and digits + exponent <= std::numeric_limits<double>::max_exponent10)
        {
            return handler.float_value(number_float_t()) or stop();
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

    /// One UTF-8 sequence as RFC 3629 allows it, failing at its first byte
    /// that breaks the rules.
    bool read_utf8(const int lead)
    {
        int more = 0;
        int low = 0;
        int high = 0;
        if (not utf8_sequence(lead, more, low, high))
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
    bool ignoring_values = false;
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

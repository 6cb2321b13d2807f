// Conversions: native values into a basic_json and back out.

#ifndef QUARROW_CONVERSIONS_HPP
#define QUARROW_CONVERSIONS_HPP

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

#endif // QUARROW_CONVERSIONS_HPP

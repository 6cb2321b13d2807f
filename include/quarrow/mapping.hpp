// Mapping: a struct or an enum of the user's own converted both ways in one line.

#ifndef QUARROW_MAPPING_HPP
#define QUARROW_MAPPING_HPP

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

#endif // QUARROW_MAPPING_HPP

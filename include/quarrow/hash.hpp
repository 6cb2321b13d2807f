// Hashing: std::hash for values, equal for values that compare equal.

#ifndef QUARROW_HASH_HPP
#define QUARROW_HASH_HPP

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

#endif // QUARROW_HASH_HPP

// The names every part uses: the value type declared, and the kinds a value can hold.

#ifndef QUARROW_DECLARATIONS_HPP
#define QUARROW_DECLARATIONS_HPP

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

#endif // QUARROW_DECLARATIONS_HPP

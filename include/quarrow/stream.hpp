// The stream operators: writing a value, and reading values one after another.

#ifndef QUARROW_STREAM_HPP
#define QUARROW_STREAM_HPP

namespace quarrow
{

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

/// Reads one value into j with the default parse_options, as a formatted
/// extractor reads: skips whitespace, reads exactly the bytes of the value,
/// and leaves the stream just after them, so `while (in >> j)` reads values
/// one after another. A stream not good() reads nothing and gets failbit.
/// Sets eofbit when the end was seen (`123` at the end, not `123 `), and
/// failbit and eofbit when only whitespace is left. A buffer that throws sets
/// badbit. Throws parse_error for malformed text, after setting failbit,
/// std::bad_alloc, the buffer's exception only with badbit in the exceptions
/// mask, and the mask's ios_base::failure for the other bits; j is left as it
/// was whenever no value is read.
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
    using stream_parser = detail::parser<value_type, detail::stream_input>;
    const parse_options options;
    detail::read_stream<value_type>(in, options, false, [&](stream_parser& reader) -> bool {
        if (reader.at_end())
        {
            return false; // only whitespace left: failbit and eofbit, as for a number
        }
        value_type result;
        detail::value_builder<value_type> builder(result, options.duplicate_keys);
        if (not reader.read(builder, false))
        {
            reader.raise(false);
        }
        j = std::move(result);
        return true;
    });
    return in;
}

} // namespace quarrow

#endif // QUARROW_STREAM_HPP

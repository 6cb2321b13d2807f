// The serializer: the stream operator's writer, through the stream's put and write.

#ifndef QUARROW_DETAIL_SERIALIZER_HPP
#define QUARROW_DETAIL_SERIALIZER_HPP

namespace quarrow
{
namespace detail
{

/// The escape table of both writers: the character after the backslash in
/// the two-character escape of c, or '\0' when c has none. Throws nothing.
inline char short_escape(const char c) noexcept
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
                 NumberFloatType, AllocatorType, JSONSerializer>::serializer
{
  public:
    /// Binds the stream and captures the C locale's number separators.
    explicit serializer(std::ostream& s)
        : output_stream(s),
          number_buffer{{}},
          thousands_sep(locale_text(detail::locale_thousands_sep())),
          decimal_point(locale_text(detail::locale_decimal_point())),
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
                assert(member != container.m_value.object->cend()); // only full containers are opened
            }
            else
            {
                assert(not container.m_value.array->empty());
                element = container.m_value.array->cbegin();
            }
        }

        const basic_json* val;
        typename object_t::const_iterator member{}; // the next to write, of an object
        typename array_t::const_iterator element{}; // the next to write, of an array
    };

    // -- strings --------------------------------------------------------------

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
            if (detail::short_escape(c) != '\0')
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
            const char letter = detail::short_escape(c);
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
    const string_t thousands_sep; // removed wherever it stands
    const string_t decimal_point; // the first one is turned into '.'
    string_t indent_spaces;
    std::vector<open_container> open_containers; // the innermost last
};

} // namespace quarrow

#endif // QUARROW_DETAIL_SERIALIZER_HPP

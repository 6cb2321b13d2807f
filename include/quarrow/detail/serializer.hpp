// The serializer: the stream operator's sink, each token through the stream's put and write.

#ifndef QUARROW_DETAIL_SERIALIZER_HPP
#define QUARROW_DETAIL_SERIALIZER_HPP

namespace quarrow
{

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
          indent_spaces(512, ' '),
          escaper(dump_options())
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
        walk.write(val, *this, pretty_print, indent_step, current_indent);
    }

  private:
    friend class tree_walk<serializer>;

    // -- the tokens the walk writes, each with its own put or write ----------

    void write(const char* text, std::size_t length)
    {
        output_stream.write(text, static_cast<std::streamsize>(length));
    }

    static void make_room() noexcept {}

    /// Every token is offered to the stream, whatever its state.
    static bool stopped() noexcept
    {
        return false;
    }

    template<std::size_t N>
    void put_literal(const char (&text)[N])
    {
        write(text, N - 1);
    }

    void put_char(const char c)
    {
        output_stream.put(c);
    }

    void put_pair(const char first, const char second)
    {
        const char pair[] = {first, second};
        write(pair, 2);
    }

    void indent(const std::size_t n)
    {
        if (indent_spaces.size() < n)
        {
            indent_spaces.resize(n, ' ');
        }
        write(indent_spaces.data(), n);
    }

    /// The opening quotation mark, s escaped in one write, then closing: a
    /// lone quotation mark put, the end of a key written.
    template<std::size_t N>
    void write_quoted(const string_t& s, const char (&closing)[N])
    {
        output_stream.put('"');
        dump_escaped(s);
        if (N == 2)
        {
            output_stream.put(closing[0]);
        }
        else
        {
            write(closing, N - 1);
        }
    }

    void write_string(const string_t& s)
    {
        write_quoted(s, "\"");
    }

    /// A fixed text that no reader takes for JSON, so that a discarded value
    /// in a log line shows.
    void write_discarded()
    {
        put_literal("<discarded>");
    }

    /// A string that needs no escape is written from its own storage, any
    /// other from its escaped copy.
    void dump_escaped(const string_t& s)
    {
        const char* const begin = s.data();
        const char* const end = begin + s.size();
        const char* const plain_end = escaper.plain_run_end(begin, end);
        if (plain_end == end)
        {
            write(begin, s.size());
            return;
        }
        escaped.assign(begin, plain_end);
        escaper.escape(escaped, begin, plain_end, end);
        write(escaped.data(), escaped.size());
    }

    // -- numbers --------------------------------------------------------------

    /// Decimal digits, in one write; 0 put.
    template<typename NumberType>
    void dump_integer(NumberType x)
    {
        if (x == 0)
        {
            output_stream.put('0');
            return;
        }
        write(number_buffer.data(),
              static_cast<std::size_t>(detail::integer_text(number_buffer.data(), x) - number_buffer.data()));
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
    const detail::string_escaper escaper; // the default options': control bytes, '"' and '\\'
    string_t escaped;                     // the text of the last string that needed an escape
    tree_walk<serializer> walk;
};

} // namespace quarrow

#endif // QUARROW_DETAIL_SERIALIZER_HPP

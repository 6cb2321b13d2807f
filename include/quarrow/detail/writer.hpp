// The writer: one walk of the tree, with its layout and escaping, over a
// sink; and dump()'s sink, a fixed buffer handed on a chunk at a time.

#ifndef QUARROW_DETAIL_WRITER_HPP
#define QUARROW_DETAIL_WRITER_HPP

namespace quarrow
{
namespace detail
{

/// The escape table: the character after the backslash in the two-character
/// escape of c, or '\0' when c has none. Throws nothing.
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

/// The escaping of strings and keys as dump_options say; the default
/// options give the stream operator's. Output goes through `out.append(text,
/// length)`, into dump()'s buffer or the stream operator's text of a string.
class string_escaper
{
  public:
    explicit string_escaper(const dump_options& options) noexcept
        // ASCII has no room for a byte kept as it is: keep then means error.
        : m_policy(options.escape_non_ascii and options.invalid_utf8 == utf8_policy::keep ? utf8_policy::error
                                                                                         : options.invalid_utf8),
          m_escape_non_ascii(options.escape_non_ascii),
          m_check_non_ascii(options.escape_non_ascii or options.invalid_utf8 != utf8_policy::keep),
          m_non_ascii_mask(m_check_non_ascii ? ~std::uint64_t(0) : 0)
    {}

    /// The first byte in [first, last) that needs more than a copy, or last.
    const char* plain_run_end(const char* first, const char* const last) const noexcept
    {
        while (last - first >= 8)
        {
            std::uint64_t word;
            std::memcpy(&word, first, 8);
            if (needs_attention(word, m_non_ascii_mask))
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

    // The three copy functions are inlined into each string write: as calls,
    // saving and restoring registers cost more than copying a short key.

    /// Copies [first, last) to out up to the first byte that needs more than
    /// a copy; returns the number of bytes copied. out has room for
    /// last - first + 8 bytes, which it may use past what it copies.
    QUARROW_ALWAYS_INLINE std::size_t copy_plain(char* const out, const char* const first,
                                                  const char* const last) const noexcept
    {
        return last - first >= 8 ? copy_plain_words(out, first, last) : copy_plain_short(out, first, last);
    }

    /// Writes [first, end) of the string starting at begin onto out: runs
    /// that need no escape copied whole. Throws what out.append throws, and
    /// type_error 316 (see utf8_policy::error).
    template<typename Out>
    void escape(Out& out, const char* const begin, const char* first, const char* const end) const
    {
        for (;;)
        {
            const char* const run_end = plain_run_end(first, end);
            out.append(first, static_cast<std::size_t>(run_end - first));
            if (run_end == end)
            {
                return;
            }
            first = write_special(out, begin, run_end, end);
        }
    }

  private:
    /// Whether a byte of word needs more than a copy: '"', '\\', a byte below
    /// 0x20 and, when non-ASCII text is checked or escaped (non_ascii_mask
    /// all ones), a byte from 0x80.
    static bool needs_attention(const std::uint64_t word, const std::uint64_t non_ascii_mask) noexcept
    {
        return string_special_bytes(word, non_ascii_mask) != 0;
    }

    bool needs_attention(const unsigned char byte) const noexcept
    {
        return byte < 0x20 or byte == '"' or byte == '\\' or (byte >= 0x80 and m_check_non_ascii);
    }

    /// copy_plain for under 8 bytes, as most keys are: one check.
    QUARROW_ALWAYS_INLINE std::size_t copy_plain_short(char* const out, const char* const first,
                                                        const char* const last) const noexcept
    {
        const auto size = static_cast<std::size_t>(last - first);
        // Two pieces that may overlap, read and stored as they are.
        if (size >= 4)
        {
            std::uint32_t head;
            std::uint32_t tail;
            std::memcpy(&head, first, 4);
            std::memcpy(&tail, last - 4, 4);
            if (needs_attention((std::uint64_t{tail} << 32) | head, m_non_ascii_mask))
            {
                return copy_plain_bytes(out, first, last);
            }
            std::memcpy(out, &head, 4);
            std::memcpy(out + size - 4, &tail, 4);
            return size;
        }
        if (size >= 2)
        {
            std::uint16_t head;
            std::uint16_t tail;
            std::memcpy(&head, first, 2);
            std::memcpy(&tail, last - 2, 2);
            const std::uint64_t spaces = 0x2020202000000000u; // need no attention
            if (needs_attention(spaces | (std::uint64_t{tail} << 16) | head, m_non_ascii_mask))
            {
                return copy_plain_bytes(out, first, last);
            }
            std::memcpy(out, &head, 2);
            std::memcpy(out + size - 2, &tail, 2);
            return size;
        }
        if (size == 1 and not needs_attention(static_cast<unsigned char>(*first)))
        {
            *out = *first;
            return 1;
        }
        return 0;
    }

    /// copy_plain for 8 bytes or more: two words a check, then single words
    /// up to the last 8 bytes, which are read again in part.
    QUARROW_ALWAYS_INLINE std::size_t copy_plain_words(char* out, const char* const first,
                                                        const char* const last) const noexcept
    {
        const std::uint64_t mask = m_non_ascii_mask; // in a register: the stores could alias the member
        const char* const last_word = last - 8;
        const char* in = first;
        for (; last_word - in >= 16; in += 16, out += 16)
        {
            std::uint64_t word0;
            std::uint64_t word1;
            std::memcpy(&word0, in, 8);
            std::memcpy(&word1, in + 8, 8);
            if ((string_special_bytes(word0, mask) | string_special_bytes(word1, mask)) != 0)
            {
                return static_cast<std::size_t>(in - first) + copy_plain_bytes(out, in, last);
            }
            std::memcpy(out, &word0, 8);
            std::memcpy(out + 8, &word1, 8);
        }
        while (in < last_word)
        {
            std::uint64_t word;
            std::memcpy(&word, in, 8);
            if (needs_attention(word, mask))
            {
                return static_cast<std::size_t>(in - first) + copy_plain_bytes(out, in, last);
            }
            std::memcpy(out, &word, 8);
            in += 8;
            out += 8;
        }
        std::uint64_t word;
        std::memcpy(&word, last_word, 8);
        if (needs_attention(word, mask))
        {
            return static_cast<std::size_t>(in - first) + copy_plain_bytes(out, in, last);
        }
        std::memcpy(out + (last_word - in), &word, 8);
        return static_cast<std::size_t>(last - first);
    }

    /// Copies [first, last) to out a byte at a time up to the first byte
    /// that needs more than a copy; returns the number of bytes copied.
    std::size_t copy_plain_bytes(char* const out, const char* const first, const char* const last) const noexcept
    {
        std::size_t n = 0;
        for (; first + n != last and not needs_attention(static_cast<unsigned char>(first[n])); ++n)
        {
            out[n] = first[n];
        }
        return n;
    }

    /// Writes the byte at `at` (or the UTF-8 sequence it starts) as
    /// needed; returns the position after it.
    template<typename Out>
    const char* write_special(Out& out, const char* const begin, const char* const at, const char* const end) const
    {
        const auto byte = static_cast<unsigned char>(*at);
        if (byte < 0x80)
        {
            write_escape(out, byte);
            return at + 1;
        }
        std::size_t length = 0;
        const std::uint32_t code_point = decode_utf8(reinterpret_cast<const unsigned char*>(at),
                                                     reinterpret_cast<const unsigned char*>(end), length);
        if (code_point != invalid)
        {
            if (m_escape_non_ascii)
            {
                write_code_point_escape(out, code_point);
            }
            else
            {
                out.append(at, length);
            }
            return at + length;
        }
        switch (m_policy)
        {
            case utf8_policy::keep:
                out.append(at, length);
                break;
            case utf8_policy::replace:
                if (m_escape_non_ascii)
                {
                    write_code_point_escape(out, 0xFFFD);
                }
                else
                {
                    out.append("\xEF\xBF\xBD", 3);
                }
                break;
            case utf8_policy::error:
                invalid_utf8_error(static_cast<std::size_t>(at - begin), byte);
        }
        return at + length;
    }

    /// The quotation mark, the backslash or a byte below 0x20.
    template<typename Out>
    static void write_escape(Out& out, const unsigned char byte)
    {
        const char letter = short_escape(static_cast<char>(byte));
        if (letter == '\0')
        {
            write_unit_escape(out, byte);
            return;
        }
        const char text[] = {'\\', letter};
        out.append(text, 2);
    }

    /// \uXXXX, lowercase.
    template<typename Out>
    static void write_unit_escape(Out& out, const std::uint32_t unit)
    {
        const char* const hex = lowercase_hex();
        const char text[] = {'\\', 'u', hex[(unit >> 12) & 0xF], hex[(unit >> 8) & 0xF], hex[(unit >> 4) & 0xF],
                             hex[unit & 0xF]};
        out.append(text, 6);
    }

    /// One escape below U+10000, a surrogate pair above.
    template<typename Out>
    static void write_code_point_escape(Out& out, std::uint32_t code_point)
    {
        if (code_point < 0x10000)
        {
            write_unit_escape(out, code_point);
            return;
        }
        code_point -= 0x10000;
        write_unit_escape(out, 0xD800 + (code_point >> 10));
        write_unit_escape(out, 0xDC00 + (code_point & 0x3FF));
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
        int continuations = 0;
        int low = 0;
        int high = 0;
        if (not utf8_sequence(lead, continuations, low, high))
        {
            length = 1;
            return invalid;
        }
        // The lead's payload: 5, 4 or 3 bits for 1, 2 or 3 continuation bytes.
        std::uint32_t code_point = lead & (0x3Fu >> continuations);
        length = 1;
        for (; length <= static_cast<std::size_t>(continuations); ++length)
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

    /// Throws type_error 316 for this byte at this index of its string.
    [[noreturn]] static void invalid_utf8_error(const std::size_t index, const unsigned char byte)
    {
        const char* const hex = uppercase_hex();
        const char byte_text[] = {hex[byte >> 4], hex[byte & 0xF], '\0'};
        throw_error(error::invalid_utf8, {std::to_string(index), byte_text});
    }

    const utf8_policy m_policy;
    const bool m_escape_non_ascii;
    const bool m_check_non_ascii; // strings are decoded, not just copied, past 0x7F
    const std::uint64_t m_non_ascii_mask; // all ones when m_check_non_ascii: bytes from 0x80 need attention
};

} // namespace detail

// The walk writes each token through its Sink, which provides:
//   make_room()               before each token: a token of up to 64 bytes follows
//   stopped()                 true when nothing more is to be written
//   put_literal("text")       a literal of at most 64 bytes
//   put_char(c), put_pair(c, d)
//   indent(n)                 n spaces
//   write_quoted(s, closing)  s escaped between quotation marks, then closing
//                             after the final one ("\"", "\":" or "\": ")
//   write_string(s)           a string value
//   dump_integer(x), dump_float(x)
//   write_discarded()         the discarded kind, which JSON has no text for
template<template<typename U, typename V, typename... Args> class ObjectType,
         template<typename U, typename... Args> class ArrayType,
         class StringType,
         class BooleanType,
         class NumberIntegerType,
         class NumberUnsignedType,
         class NumberFloatType,
         template<typename U> class AllocatorType,
         template<typename T, typename SFINAE> class JSONSerializer>
template<typename Sink>
class basic_json<ObjectType, ArrayType, StringType, BooleanType, NumberIntegerType, NumberUnsignedType,
                 NumberFloatType, AllocatorType, JSONSerializer>::tree_walk
{
  public:
    /// Writes val and everything in it onto out, with no line feed before or
    /// after. Pretty: every member or element on a line of its own, indented
    /// by indent_step spaces a level more than base_indent. Walks the tree
    /// with a stack of its own, so any depth writes. Throws std::bad_alloc and
    /// whatever out throws.
    void write(const basic_json& val, Sink& out, const bool pretty, const std::size_t indent_step,
               const std::size_t base_indent)
    {
        m_depth = 0;
        m_top = nullptr;
        m_indent_step = indent_step;
        m_indentation = base_indent;
        if (pretty)
        {
            walk<true>(val, out);
        }
        else
        {
            walk<false>(val, out);
        }
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

    // Frames this deep live in the walk itself, so that ordinary documents
    // allocate nothing for it.
    static constexpr std::size_t inline_frames = 32;

    // One instantiation per layout, so that the compact walk tests nothing
    // about indentation. The walk and the two steps it takes for most nodes
    // are forced inline: -O2 keeps them as calls, which cost a tenth more.
    template<bool Pretty>
    QUARROW_ALWAYS_INLINE void walk(const basic_json& root, Sink& out)
    {
        const basic_json* current = &root;
        for (;;)
        {
            out.make_room();
            if (out.stopped())
            {
                return;
            }
            if (write_opening<Pretty>(*current, out))
            {
                current = first_child<Pretty>(out);
                continue;
            }
            current = next_child<Pretty>(out);
            if (current == nullptr)
            {
                return;
            }
        }
    }

    /// Writes a scalar or an empty container whole and returns false, or
    /// opens a non-empty container, pushes its frame and returns true.
    template<bool Pretty>
    QUARROW_ALWAYS_INLINE bool write_opening(const basic_json& val, Sink& out)
    {
        switch (val.m_type)
        {
            case value_t::object:
            {
                const object_t& object = *val.m_value.object;
                if (object.empty())
                {
                    out.put_literal("{}");
                    return false;
                }
                frame& f = push<Pretty>();
                f.is_object = true;
                f.member = object.cbegin();
                f.members_end = object.cend();
                open<Pretty>('{', out);
                return true;
            }
            case value_t::array:
            {
                const array_t& array = *val.m_value.array;
                if (array.empty())
                {
                    out.put_literal("[]");
                    return false;
                }
                frame& f = push<Pretty>();
                f.is_object = false;
                f.element = array.cbegin();
                f.elements_end = array.cend();
                open<Pretty>('[', out);
                return true;
            }
            case value_t::string:
                out.write_string(*val.m_value.string);
                return false;
            case value_t::boolean:
                if (val.m_value.boolean)
                {
                    out.put_literal("true");
                }
                else
                {
                    out.put_literal("false");
                }
                return false;
            case value_t::number_integer:
                out.dump_integer(val.m_value.number_integer);
                return false;
            case value_t::number_unsigned:
                out.dump_integer(val.m_value.number_unsigned);
                return false;
            case value_t::number_float:
                out.dump_float(val.m_value.number_float);
                return false;
            case value_t::discarded:
                out.write_discarded();
                return false;
            case value_t::null:
                out.put_literal("null");
                return false;
        }
        return false;
    }

    /// The first child of the container just opened, its key written.
    template<bool Pretty>
    const basic_json* first_child(Sink& out)
    {
        if (Pretty)
        {
            out.indent(m_indentation);
        }
        return take_child<Pretty>(top(), out);
    }

    /// The next child of the innermost container that has one, after the
    /// separator and its key, the containers before it closed; or nullptr
    /// when the outermost one closed.
    template<bool Pretty>
    QUARROW_ALWAYS_INLINE const basic_json* next_child(Sink& out)
    {
        while (m_depth != 0)
        {
            out.make_room();
            frame& f = top();
            if (f.is_object ? f.member != f.members_end : f.element != f.elements_end)
            {
                if (Pretty)
                {
                    out.put_pair(',', '\n');
                    out.indent(m_indentation);
                }
                else
                {
                    out.put_char(',');
                }
                return take_child<Pretty>(f, out);
            }
            const char bracket = f.is_object ? '}' : ']';
            pop<Pretty>();
            if (Pretty)
            {
                out.put_char('\n');
                out.indent(m_indentation);
                out.make_room();
            }
            out.put_char(bracket);
        }
        return nullptr;
    }

    /// The child the frame points to, its key written; the frame moves on
    /// at once, so that finding the next node overlaps with writing this one.
    template<bool Pretty>
    const basic_json* take_child(frame& f, Sink& out)
    {
        if (f.is_object)
        {
            const auto member = f.member++;
            if (Pretty)
            {
                out.write_quoted(member->first, "\": ");
            }
            else
            {
                out.write_quoted(member->first, "\":");
            }
            return &member->second;
        }
        return &*f.element++;
    }

    /// The opening bracket, with its line feed when pretty.
    template<bool Pretty>
    static void open(const char bracket, Sink& out)
    {
        if (Pretty)
        {
            out.put_pair(bracket, '\n');
        }
        else
        {
            out.put_char(bracket);
        }
    }

    template<bool Pretty>
    frame& push()
    {
        if (m_depth >= inline_frames and m_spilled_frames.size() < m_depth + 1 - inline_frames)
        {
            m_spilled_frames.emplace_back();
        }
        ++m_depth;
        m_top = &frame_at(m_depth);
        if (Pretty)
        {
            m_indentation += m_indent_step;
        }
        return *m_top;
    }

    frame& top() noexcept
    {
        assert(m_depth != 0);
        return *m_top;
    }

    template<bool Pretty>
    void pop() noexcept
    {
        assert(m_depth != 0);
        --m_depth;
        m_top = m_depth == 0 ? nullptr : &frame_at(m_depth);
        if (Pretty)
        {
            m_indentation -= m_indent_step;
        }
    }

    /// The frame of open level `level`, from 1.
    frame& frame_at(const std::size_t level) noexcept
    {
        return level <= inline_frames ? m_frames[level - 1] : m_spilled_frames[level - 1 - inline_frames];
    }

    std::size_t m_indent_step = 0;
    std::size_t m_indentation = 0; // of the innermost open level's children
    std::size_t m_depth = 0;
    frame* m_top = nullptr; // the innermost open level's frame
    std::array<frame, inline_frames> m_frames;
    detail::vector_for<basic_json, frame> m_spilled_frames;
};

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
    /// (see utf8_policy::error), out_of_range 408 (see max_length), and
    /// whatever the stream throws.
    void write(const basic_json& val)
    {
        m_walk.write(val, *this, m_indent_step > 0, m_indent_step, 0);
        flush_rest();
        m_done = true;
    }

  private:
    friend class tree_walk<writer>;
    friend class detail::string_escaper;

    explicit writer(const dump_options& options) noexcept
        : m_indent_step(options.indent > 0 ? static_cast<std::size_t>(options.indent) : 0),
          m_fifteen_digits(options.fifteen_digit_doubles),
          m_escaper(options),
          m_max_length(options.max_length)
    {}

    // -- the tokens the walk writes ------------------------------------------
    // Each after make_room(), so that a token of at most `spare` bytes needs
    // no check of its own.

    bool stopped() const noexcept
    {
        return m_stopped;
    }

    template<std::size_t N>
    void put_literal(const char (&text)[N]) noexcept
    {
        std::memcpy(m_position, text, N - 1);
        m_position += N - 1;
    }

    void put_char(const char c) noexcept
    {
        *m_position++ = c;
    }

    void put_pair(const char first, const char second) noexcept
    {
        m_position[0] = first;
        m_position[1] = second;
        m_position += 2;
    }

    /// n spaces: eight a store when there is room to spare, as there nearly
    /// always is.
    void indent(const std::size_t n)
    {
        if (room() < n + 8)
        {
            fill(' ', n);
            return;
        }
        const std::uint64_t spaces = 0x2020202020202020u;
        for (std::size_t i = 0; i < n; i += 8)
        {
            std::memcpy(m_position + i, &spaces, 8); // may pass n; those bytes are overwritten next
        }
        m_position += n;
    }

    void write_string(const string_t& s)
    {
        if (&s == m_text)
        {
            // The target itself: each flush appends to it and may move its
            // bytes, so its text as it was is written from a copy.
            write_quoted(string_t(*m_text, 0, m_text_size), "\"");
            return;
        }
        write_quoted(s, "\"");
    }

    /// s between quotation marks, then `closing` after the final one: runs
    /// that need no escape copied whole.
    template<std::size_t N>
    void write_quoted(const string_t& s, const char (&closing)[N])
    {
        const char* const begin = s.data();
        const char* const end = begin + s.size();
        const char* first = begin;
        if (room() >= s.size() + N + 9)
        {
            // The whole string fits with a word to spare: copied with no call
            // per run, and the closing text with it, unless a byte needs an escape.
            char* const out = m_position;
            *out = '"';
            const std::size_t plain = m_escaper.copy_plain(out + 1, begin, end);
            if (plain == s.size())
            {
                std::memcpy(out + 1 + plain, closing, N - 1);
                m_position = out + 1 + plain + (N - 1);
                return;
            }
            m_position = out + 1 + plain;
            first = begin + plain;
        }
        else
        {
            put('"');
        }
        m_escaper.escape(*this, begin, first, end);
        append(closing, N - 1);
    }

    template<typename NumberType>
    void dump_integer(const NumberType x) noexcept
    {
        m_position = detail::integer_text(m_position, x);
    }

    /// Throws type_error 321: text that no reader accepts is not written.
    [[noreturn]] static void write_discarded()
    {
        detail::throw_error(detail::error::discarded_has_no_text);
    }

    /// The shortest digits that read back, or fifteen significant digits when
    /// asked; NaN and the infinities, which JSON cannot express, as null.
    /// Needs the room make_room() leaves.
    void dump_float(const number_float_t x) noexcept
    {
        if (not std::isfinite(x))
        {
            put_literal("null");
            return;
        }
        m_position = m_fifteen_digits ? detail::write_double(m_position, static_cast<double>(x))
                                      : detail::write_double_shortest(m_position, static_cast<double>(x));
    }

    // -- the buffer -----------------------------------------------------------

    // The buffer holds a chunk and `spare` bytes more. Before each token the
    // walk hands on a full chunk, keeping what is past it, so a token of at
    // most `spare` bytes is stored with no check of its own; longer text
    // checks its room once, or goes through append(). Every chunk handed on
    // but the last is full: a token may straddle two chunks.
    static constexpr std::size_t spare = 64;

    std::size_t room() const noexcept
    {
        return static_cast<std::size_t>(m_buffer.data() + m_buffer.size() - m_position);
    }

    /// Leaves at least `spare` bytes of room.
    void make_room()
    {
        if (m_position > m_buffer.data() + chunk_size)
        {
            flush_chunk();
        }
    }

    void put(const char c)
    {
        if (room() == 0)
        {
            flush_chunk();
        }
        *m_position++ = c;
    }

    /// Text of any length: copied whole when it fits, which it nearly always
    /// does, or through as many chunks as it needs. Throws what flushing throws.
    void append(const char* text, std::size_t length)
    {
        if (room() >= length)
        {
            std::memcpy(m_position, text, length);
            m_position += length;
            return;
        }
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
            flush_chunk();
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
            flush_chunk();
        }
    }

    /// Hands on at least a chunk: the text takes all there is, the stream
    /// one chunk exactly, the bytes past it moved to the front for the next.
    void flush_chunk()
    {
        char* const chunk_end = m_buffer.data() + chunk_size;
        assert(m_position >= chunk_end);
        if (m_text != nullptr)
        {
            const auto length = static_cast<std::size_t>(m_position - m_buffer.data());
            count_handed_on(length);
            m_text->append(m_buffer.data(), length);
            m_position = m_buffer.data();
            return;
        }
        if (not m_stopped)
        {
            count_handed_on(chunk_size);
            m_stream->write(m_buffer.data(), static_cast<std::streamsize>(chunk_size));
            m_stopped = not m_stream->good();
        }
        const auto rest = static_cast<std::size_t>(m_position - chunk_end);
        std::memmove(m_buffer.data(), chunk_end, rest);
        m_position = m_buffer.data() + rest;
    }

    /// Hands on what is left: appended to the text, or the last write or two to the stream.
    void flush_rest()
    {
        if (m_text == nullptr and m_position > m_buffer.data() + chunk_size)
        {
            flush_chunk();
        }
        const auto length = static_cast<std::size_t>(m_position - m_buffer.data());
        count_handed_on(length);
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

    /// Counts `length` more bytes of text; throws out_of_range 408 before
    /// they are handed on if they would take it past max_length.
    void count_handed_on(const std::size_t length)
    {
        if (length > m_max_length - m_handed_on)
        {
            detail::throw_error(detail::error::text_too_long, {std::to_string(m_max_length)});
        }
        m_handed_on += length;
    }

    const std::size_t m_indent_step; // 0: compact
    const bool m_fifteen_digits;
    const detail::string_escaper m_escaper;

    string_t* m_text = nullptr;
    std::size_t m_text_size = 0; // the text's length before, restored if writing fails
    std::ostream* m_stream = nullptr;
    bool m_stopped = false; // the stream is no longer good: nothing more is written
    bool m_done = false;
    const std::size_t m_max_length;
    std::size_t m_handed_on = 0; // bytes appended to the text or written to the stream

    tree_walk<writer> m_walk;

    std::array<char, chunk_size + spare> m_buffer; // not initialised: bytes are written before they are read
    char* m_position = m_buffer.data();
};

} // namespace quarrow

#endif // QUARROW_DETAIL_WRITER_HPP

// The writer: dump() and dump_to(), built in a fixed buffer a chunk at a time.

#ifndef QUARROW_DETAIL_WRITER_HPP
#define QUARROW_DETAIL_WRITER_HPP

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
    /// (see utf8_policy::error), and whatever the stream throws.
    void write(const basic_json& val)
    {
        if (m_pretty)
        {
            walk<true>(val);
        }
        else
        {
            walk<false>(val);
        }
        flush_rest();
        m_done = true;
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

    // Frames this deep live in the writer itself, so that ordinary
    // documents allocate nothing beyond the text.
    static constexpr std::size_t inline_frames = 32;

    explicit writer(const dump_options& options) noexcept
        : m_pretty(options.indent > 0),
          m_indent_step(options.indent > 0 ? static_cast<std::size_t>(options.indent) : 0),
          m_round_trip(options.round_trip_doubles),
          // ASCII has no room for a byte kept as it is: keep then means error.
          m_policy(options.escape_non_ascii and options.invalid_utf8 == utf8_policy::keep ? utf8_policy::error
                                                                                          : options.invalid_utf8),
          m_escape_non_ascii(options.escape_non_ascii),
          m_check_non_ascii(options.escape_non_ascii or options.invalid_utf8 != utf8_policy::keep),
          m_non_ascii_mask(m_check_non_ascii ? ~std::uint64_t(0) : 0),
          m_max_length(options.max_length)
    {}

    // -- the walk -------------------------------------------------------------

    // One instantiation per layout, so that the compact walk tests nothing
    // about indentation.
    template<bool Pretty>
    void walk(const basic_json& root)
    {
        const basic_json* current = &root;
        for (;;)
        {
            make_room();
            if (m_stopped)
            {
                return;
            }
            if (write_opening<Pretty>(*current))
            {
                current = first_child<Pretty>();
                continue;
            }
            current = next_child<Pretty>();
            if (current == nullptr)
            {
                return;
            }
        }
    }

    /// Writes a scalar or an empty container whole and returns false, or
    /// opens a non-empty container, pushes its frame and returns true.
    /// Needs the room make_room() leaves.
    template<bool Pretty>
    bool write_opening(const basic_json& val)
    {
        switch (val.m_type)
        {
            case value_t::object:
            {
                const object_t& object = *val.m_value.object;
                if (object.empty())
                {
                    put_unchecked("{}");
                    return false;
                }
                frame& f = push();
                f.is_object = true;
                f.member = object.cbegin();
                f.members_end = object.cend();
                open<Pretty>('{');
                return true;
            }
            case value_t::array:
            {
                const array_t& array = *val.m_value.array;
                if (array.empty())
                {
                    put_unchecked("[]");
                    return false;
                }
                frame& f = push();
                f.is_object = false;
                f.element = array.cbegin();
                f.elements_end = array.cend();
                open<Pretty>('[');
                return true;
            }
            case value_t::string:
                if (val.m_value.string == m_text)
                {
                    // The target itself: each flush appends to it and may move
                    // its bytes, so its text as it was is written from a copy.
                    write_quoted(string_t(*m_text, 0, m_text_size), "\"");
                    return false;
                }
                write_quoted(*val.m_value.string, "\"");
                return false;
            case value_t::boolean:
                if (val.m_value.boolean)
                {
                    put_unchecked("true");
                }
                else
                {
                    put_unchecked("false");
                }
                return false;
            case value_t::number_integer:
                m_position = integer_text(m_position, val.m_value.number_integer);
                return false;
            case value_t::number_unsigned:
                m_position = integer_text(m_position, val.m_value.number_unsigned);
                return false;
            case value_t::number_float:
                write_float(val.m_value.number_float);
                return false;
            case value_t::discarded:
                put_unchecked("<discarded>");
                return false;
            case value_t::null:
                put_unchecked("null");
                return false;
        }
        return false;
    }

    /// The first child of the container just opened, its key written.
    template<bool Pretty>
    const basic_json* first_child()
    {
        if (Pretty)
        {
            indent();
        }
        return take_child<Pretty>(top());
    }

    /// The next child of the innermost container that has one, after the
    /// separator and its key, the containers before it closed; or nullptr
    /// when the outermost one closed.
    template<bool Pretty>
    const basic_json* next_child()
    {
        while (m_depth != 0)
        {
            make_room();
            frame& f = top();
            if (f.is_object ? f.member != f.members_end : f.element != f.elements_end)
            {
                *m_position++ = ',';
                if (Pretty)
                {
                    *m_position++ = '\n';
                    indent();
                }
                return take_child<Pretty>(f);
            }
            const char bracket = f.is_object ? '}' : ']';
            pop();
            if (Pretty)
            {
                *m_position++ = '\n';
                indent();
                make_room();
            }
            *m_position++ = bracket;
        }
        return nullptr;
    }

    /// The child the frame points to, its key written; the frame moves on
    /// at once, so that finding the next node overlaps with writing this one.
    template<bool Pretty>
    const basic_json* take_child(frame& f)
    {
        if (f.is_object)
        {
            const auto member = f.member++;
            if (Pretty)
            {
                write_quoted(member->first, "\": ");
            }
            else
            {
                write_quoted(member->first, "\":");
            }
            return &member->second;
        }
        return &*f.element++;
    }

    frame& push()
    {
        if (m_depth >= inline_frames and m_spilled_frames.size() < m_depth + 1 - inline_frames)
        {
            m_spilled_frames.emplace_back();
        }
        ++m_depth;
        m_top = &frame_at(m_depth);
        return *m_top;
    }

    frame& top() noexcept
    {
        assert(m_depth != 0);
        return *m_top;
    }

    void pop() noexcept
    {
        assert(m_depth != 0);
        --m_depth;
        m_top = m_depth == 0 ? nullptr : &frame_at(m_depth);
    }

    /// The frame of open level `level`, from 1.
    frame& frame_at(const std::size_t level) noexcept
    {
        return level <= inline_frames ? m_frames[level - 1] : m_spilled_frames[level - 1 - inline_frames];
    }

    // -- layout ---------------------------------------------------------------

    template<bool Pretty>
    void open(const char bracket) noexcept
    {
        *m_position++ = bracket;
        if (Pretty)
        {
            *m_position++ = '\n';
        }
    }

    /// The indentation of the innermost open level: eight spaces a store
    /// when there is room to spare, as there nearly always is.
    void indent()
    {
        const std::size_t n = m_depth * m_indent_step;
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

    /// A literal of at most `spare` bytes, after make_room().
    template<std::size_t N>
    void put_unchecked(const char (&text)[N]) noexcept
    {
        std::memcpy(m_position, text, N - 1);
        m_position += N - 1;
    }

    void put(const char c)
    {
        if (room() == 0)
        {
            flush_chunk();
        }
        *m_position++ = c;
    }

    /// Short text: copied whole when it fits, which it nearly always does.
    void put_text(const char* text, const std::size_t length)
    {
        if (room() < length)
        {
            append(text, length);
            return;
        }
        std::memcpy(m_position, text, length);
        m_position += length;
    }

    /// Text of any length, through as many chunks as it needs.
    void append(const char* text, std::size_t length)
    {
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

    // -- strings --------------------------------------------------------------

    /// The high bit of each of the 8 bytes in word that needs more than a
    /// copy, and maybe of some above it: the quotation mark, the backslash, a
    /// byte below 0x20 and, when non-ASCII text is checked or escaped
    /// (non_ascii_mask all ones), a byte from 0x80. Zero exactly when no
    /// byte needs attention, which is all that is asked.
    static std::uint64_t attention_bits(const std::uint64_t word, const std::uint64_t non_ascii_mask) noexcept
    {
        const std::uint64_t ones = 0x0101010101010101u;
        const std::uint64_t high = 0x8080808080808080u;
        // (x - ones) & ~x sets the high bit of a zero byte of x; with x the
        // word xor '"' or '\\', both below 0x80, ~x has the high bits of
        // ~word, so one mask serves the three tests.
        const std::uint64_t below_space = word - ones * 0x20;
        const std::uint64_t quote = (word ^ (ones * '"')) - ones;
        const std::uint64_t backslash = (word ^ (ones * '\\')) - ones;
        return (((below_space | quote | backslash) & ~word) | (word & non_ascii_mask)) & high;
    }

    static bool needs_attention(const std::uint64_t word, const std::uint64_t non_ascii_mask) noexcept
    {
        return attention_bits(word, non_ascii_mask) != 0;
    }

    bool needs_attention(const unsigned char byte) const noexcept
    {
        return byte < 0x20 or byte == '"' or byte == '\\' or (byte >= 0x80 and m_check_non_ascii);
    }

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
    [[gnu::always_inline]] std::size_t copy_plain(char* const out, const char* const first,
                                                  const char* const last) const noexcept
    {
        return last - first >= 8 ? copy_plain_words(out, first, last) : copy_plain_short(out, first, last);
    }

    /// copy_plain for under 8 bytes, as most keys are: one check.
    [[gnu::always_inline]] std::size_t copy_plain_short(char* const out, const char* const first,
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
    [[gnu::always_inline]] std::size_t copy_plain_words(char* out, const char* const first,
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
            if ((attention_bits(word0, mask) | attention_bits(word1, mask)) != 0)
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
            const std::size_t plain = copy_plain(out + 1, begin, end);
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
        for (;;)
        {
            const char* const run_end = plain_run_end(first, end);
            append(first, static_cast<std::size_t>(run_end - first));
            if (run_end == end)
            {
                break;
            }
            first = write_special(begin, run_end, end);
        }
        put_text(closing, N - 1);
    }

    /// Writes the byte at `at` (or the UTF-8 sequence it starts) as
    /// needed; returns the position after it.
    const char* write_special(const char* const begin, const char* const at, const char* const end)
    {
        const auto byte = static_cast<unsigned char>(*at);
        if (byte < 0x80)
        {
            write_escape(byte);
            return at + 1;
        }
        std::size_t length = 0;
        const std::uint32_t code_point = decode_utf8(reinterpret_cast<const unsigned char*>(at),
                                                     reinterpret_cast<const unsigned char*>(end), length);
        if (code_point != invalid)
        {
            if (m_escape_non_ascii)
            {
                write_code_point_escape(code_point);
            }
            else
            {
                append(at, length);
            }
            return at + length;
        }
        switch (m_policy)
        {
            case utf8_policy::keep:
                append(at, length);
                break;
            case utf8_policy::replace:
                if (m_escape_non_ascii)
                {
                    write_code_point_escape(0xFFFD);
                }
                else
                {
                    put_text("\xEF\xBF\xBD", 3);
                }
                break;
            case utf8_policy::error:
                invalid_utf8_error(static_cast<std::size_t>(at - begin), byte);
        }
        return at + length;
    }

    /// The quotation mark, the backslash or a byte below 0x20.
    void write_escape(const unsigned char byte)
    {
        const char letter = detail::short_escape(static_cast<char>(byte));
        if (letter == '\0')
        {
            write_unit_escape(byte);
            return;
        }
        const char text[] = {'\\', letter};
        put_text(text, 2);
    }

    /// \uXXXX, lowercase.
    void write_unit_escape(const std::uint32_t unit)
    {
        static constexpr char hex[] = "0123456789abcdef";
        const char text[] = {'\\', 'u', hex[(unit >> 12) & 0xF], hex[(unit >> 8) & 0xF], hex[(unit >> 4) & 0xF],
                             hex[unit & 0xF]};
        put_text(text, 6);
    }

    /// One escape below U+10000, a surrogate pair above.
    void write_code_point_escape(std::uint32_t code_point)
    {
        if (code_point < 0x10000)
        {
            write_unit_escape(code_point);
            return;
        }
        code_point -= 0x10000;
        write_unit_escape(0xD800 + (code_point >> 10));
        write_unit_escape(0xDC00 + (code_point & 0x3FF));
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
        std::size_t continuations = 0;
        unsigned char low = 0x80;  // the range of the first continuation byte,
        unsigned char high = 0xBF; // which rules out overlong forms, surrogates and beyond U+10FFFF
        std::uint32_t code_point = 0;
        if (lead >= 0xC2 and lead <= 0xDF)
        {
            continuations = 1;
            code_point = lead & 0x1Fu;
        }
        else if (lead >= 0xE0 and lead <= 0xEF)
        {
            continuations = 2;
            code_point = lead & 0x0Fu;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        }
        else if (lead >= 0xF0 and lead <= 0xF4)
        {
            continuations = 3;
            code_point = lead & 0x07u;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        }
        else
        {
            length = 1;
            return invalid;
        }
        length = 1;
        for (; length <= continuations; ++length)
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
        static constexpr char hex[] = "0123456789ABCDEF";
        const char byte_text[] = {hex[byte >> 4], hex[byte & 0xF], '\0'};
        detail::throw_error(detail::error::invalid_utf8, {std::to_string(index), byte_text});
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

    /// x in decimal at first; returns the end. Needs the room make_room() leaves.
    template<typename NumberType>
    static char* integer_text(char* first, const NumberType x) noexcept
    {
        // The magnitude in unsigned arithmetic, so the most negative number needs no case of its own.
        auto magnitude = static_cast<unsigned long long>(x);
        if (is_negative(x))
        {
            *first++ = '-';
            magnitude = 0 - magnitude;
        }
        return unsigned_text(first, magnitude);
    }

    /// n in decimal at first; returns the end. Cut into pieces of eight
    /// digits, each written with 32-bit arithmetic, two digits a store.
    static char* unsigned_text(char* first, const unsigned long long n) noexcept
    {
        const unsigned long long eight_digits = 100000000;
        if (n < eight_digits)
        {
            return leading_digits(first, static_cast<std::uint32_t>(n));
        }
        const unsigned long long high = n / eight_digits;
        const auto low = static_cast<std::uint32_t>(n - high * eight_digits);
        if (high < eight_digits)
        {
            first = leading_digits(first, static_cast<std::uint32_t>(high));
        }
        else
        {
            first = leading_digits(first, static_cast<std::uint32_t>(high / eight_digits));
            write_eight_digits(first, static_cast<std::uint32_t>(high % eight_digits));
            first += 8;
        }
        write_eight_digits(first, low);
        return first + 8;
    }

    /// The decimal digits of n < 10^8 with no leading zero; returns the end.
    static char* leading_digits(char* const first, const std::uint32_t n) noexcept
    {
        if (n < 10000)
        {
            return up_to_four_digits(first, n);
        }
        char* const rest = up_to_four_digits(first, n / 10000);
        write_four_digits(rest, n % 10000);
        return rest + 4;
    }

    /// The decimal digits of n < 10^4 with no leading zero; returns the end.
    static char* up_to_four_digits(char* const first, const std::uint32_t n) noexcept
    {
        if (n < 100)
        {
            if (n < 10)
            {
                *first = static_cast<char>('0' + n);
                return first + 1;
            }
            write_two_digits(first, n);
            return first + 2;
        }
        if (n < 1000)
        {
            *first = static_cast<char>('0' + n / 100);
            write_two_digits(first + 1, n % 100);
            return first + 3;
        }
        write_four_digits(first, n);
        return first + 4;
    }

    static void write_eight_digits(char* const first, const std::uint32_t n) noexcept
    {
        write_four_digits(first, n / 10000);
        write_four_digits(first + 4, n % 10000);
    }

    static void write_four_digits(char* const first, const std::uint32_t n) noexcept
    {
        write_two_digits(first, n / 100);
        write_two_digits(first + 2, n % 100);
    }

    static void write_two_digits(char* const first, const std::uint32_t n) noexcept
    {
        static constexpr char pairs[] = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
                                        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
                                        "8081828384858687888990919293949596979899";
        std::memcpy(first, pairs + 2 * n, 2);
    }

    /// Fifteen significant digits, or the shortest that read back when asked;
    /// NaN and the infinities, which JSON cannot express, as null. Needs the
    /// room make_room() leaves.
    void write_float(const number_float_t x) noexcept
    {
        if (not std::isfinite(x))
        {
            put_unchecked("null");
            return;
        }
        m_position = m_round_trip ? detail::write_double_shortest(m_position, static_cast<double>(x))
                                  : detail::write_double(m_position, static_cast<double>(x));
    }

    const bool m_pretty;
    const std::size_t m_indent_step;
    const bool m_round_trip;
    const utf8_policy m_policy;
    const bool m_escape_non_ascii;
    const bool m_check_non_ascii; // strings are decoded, not just copied, past 0x7F
    const std::uint64_t m_non_ascii_mask; // all ones when m_check_non_ascii: bytes from 0x80 need attention

    string_t* m_text = nullptr;
    std::size_t m_text_size = 0; // the text's length before, restored if writing fails
    std::ostream* m_stream = nullptr;
    bool m_stopped = false; // the stream is no longer good: nothing more is written
    bool m_done = false;
    const std::size_t m_max_length;
    std::size_t m_handed_on = 0; // bytes appended to the text or written to the stream

    std::size_t m_depth = 0;
    frame* m_top = nullptr; // the innermost open level's frame
    std::array<frame, inline_frames> m_frames;
    detail::vector_for<basic_json, frame> m_spilled_frames;

    std::array<char, chunk_size + spare> m_buffer; // not initialised: bytes are written before they are read
    char* m_position = m_buffer.data();
};

} // namespace quarrow

#endif // QUARROW_DETAIL_WRITER_HPP

// The reader's inputs: bytes in memory, a stream buffer, or input iterators.

#ifndef QUARROW_DETAIL_INPUT_HPP
#define QUARROW_DETAIL_INPUT_HPP

namespace quarrow
{
namespace detail
{

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

    /// The end of the bytes.
    const char* end() const noexcept
    {
        return end_byte;
    }

    /// Whether the bytes from here start with the `length` bytes at word,
    /// four at a time: for a constant word, a load and a comparison each.
    bool starts_with(const char* const word, const std::size_t length) const noexcept
    {
        if (static_cast<std::size_t>(end_byte - next_byte) < length)
        {
            return false;
        }
        std::size_t i = 0;
        for (; length - i >= 4; i += 4)
        {
            std::uint32_t have = 0;
            std::uint32_t want = 0;
            std::memcpy(&have, next_byte + i, 4);
            std::memcpy(&want, word + i, 4);
            if (have != want)
            {
                return false;
            }
        }
        for (; i != length; ++i)
        {
            if (next_byte[i] != word[i])
            {
                return false;
            }
        }
        return true;
    }

    /// Steps over a space followed by a byte that is neither whitespace nor
    /// the start of a comment, the most common whitespace after a colon.
    bool skip_single_space() noexcept
    {
        if (end_byte - next_byte >= 2 and *next_byte == ' ' and static_cast<unsigned char>(next_byte[1]) > ' ' and
            next_byte[1] != '/')
        {
            ++next_byte;
            return true;
        }
        return false;
    }

    /// Whether the next bytes are a comma and the first of a number.
    bool comma_then_number() const noexcept
    {
        return end_byte - next_byte >= 2 and *next_byte == ',' and
               (is_digit(next_byte[1]) or next_byte[1] == '-');
    }

    /// skip_whitespace_bytes, spaces eight or sixteen at a time.
    void skip_whitespace(std::size_t& line, std::size_t& line_start) noexcept
    {
        if (next_byte != end_byte and static_cast<unsigned char>(*next_byte) > ' ')
        {
            return; // most often no whitespace at all, with the rest kept out of the caller
        }
        skip_whitespace_run(line, line_start);
    }

    /// skip_whitespace from a byte that may be whitespace.
    void skip_whitespace_run(std::size_t& line, std::size_t& line_start) noexcept
    {
        const char* p = next_byte;
        while (p != end_byte)
        {
            if (*p == '\n')
            {
                // Most often a line break and the indent of the next line.
                ++p;
                ++line;
                line_start = static_cast<std::size_t>(p - begin_byte);
                p += space_run(p);
            }
            else if (*p == ' ')
            {
                p += end_byte - p >= 2 and static_cast<unsigned char>(p[1]) > ' ' ? 1 : space_run(p);
            }
            else if (*p == '\t' or *p == '\r')
            {
                ++p;
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
    QUARROW_ALWAYS_INLINE std::size_t plain_run() const noexcept
    {
        const char* p = next_byte;
        for (;;)
        {
#if defined(QUARROW_SSE2)
            if (end_byte - p >= 16)
            {
                const unsigned int special = special_bytes_16(p);
                if (special == 0)
                {
                    p += 16;
                    continue;
                }
                p += count_trailing_zeros(special);
            }
            else
#endif
            if (end_byte - p >= 8)
            {
                const std::uint64_t special = special_bytes(p);
                if (special == 0)
                {
                    p += 8;
                    continue;
                }
                p += zero_bytes_first(special);
            }
            else
            {
                while (p != end_byte and is_plain_ascii(static_cast<unsigned char>(*p)))
                {
                    ++p;
                }
                if (p == end_byte)
                {
                    break;
                }
            }
            if (static_cast<unsigned char>(*p) < 0x80)
            {
                break;
            }
            // Most other scripts take several sequences in a row.
            const char* const run_end = utf8_run(p);
            if (run_end == p)
            {
                break;
            }
            p = run_end;
        }
        return static_cast<std::size_t>(p - next_byte);
    }

  private:
    /// How many spaces start the bytes at p, eight at a time where lines are indented.
    std::size_t space_run(const char* const p) const noexcept
    {
        const char* q = p;
#if defined(QUARROW_SSE2)
        for (; end_byte - q >= 16; q += 16)
        {
            const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
            const int spaces = _mm_movemask_epi8(_mm_cmpeq_epi8(x, _mm_set1_epi8(' ')));
            const unsigned int others = ~static_cast<unsigned int>(spaces) & 0xFFFF;
            if (others != 0)
            {
                return static_cast<std::size_t>(q - p) + static_cast<std::size_t>(count_trailing_zeros(others));
            }
        }
#endif
        for (; end_byte - q >= 8; q += 8)
        {
            const std::uint64_t others = eight_bytes(q) ^ 0x2020202020202020u; // zero for a space
            if (others != 0)
            {
                return static_cast<std::size_t>(q - p) + zero_bytes_first(others);
            }
        }
        while (q != end_byte and *q == ' ')
        {
            ++q;
        }
        return static_cast<std::size_t>(q - p);
    }

    /// The 8 bytes at p with the top bit set in each that is not printable
    /// ASCII other than '"' and '\\', and in no byte before the first such.
    static std::uint64_t special_bytes(const char* p) noexcept
    {
        return string_special_bytes(eight_bytes(p), ~std::uint64_t{0});
    }

#if defined(QUARROW_SSE2)
    /// special_bytes for the 16 bytes at p, a bit for each byte: a signed
    /// comparison with 0x20 flags the control bytes and those from 0x80 on.
    static unsigned int special_bytes_16(const char* p) noexcept
    {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i flagged = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(x, _mm_set1_epi8('"')),
                                                          _mm_cmpeq_epi8(x, _mm_set1_epi8('\\'))),
                                             _mm_cmplt_epi8(x, _mm_set1_epi8(0x20)));
        return static_cast<unsigned int>(_mm_movemask_epi8(flagged));
    }
#endif

    /// Printable ASCII other than '"' and '\\': a string's byte as it is.
    static bool is_plain_ascii(const unsigned char c) noexcept
    {
        return c >= 0x20 and c < 0x80 and c != '"' and c != '\\';
    }

    /// The end of the valid UTF-8 sequences from p on, up to the first byte
    /// below 0x80 or the first that breaks the rules. Where four bytes can
    /// be read, a sequence is checked in one load: the continuation bytes by
    /// masks, and what excludes overlong forms, surrogates and code points
    /// above U+10FFFF by the lead byte and the second byte alone.
    const char* utf8_run(const char* p) const noexcept
    {
        while (end_byte - p >= 4)
        {
            if (end_byte - p >= 8 and two_unlimited_three_byte_sequences(eight_bytes(p)))
            {
                p += 6;
                continue;
            }
            const unsigned char* const u = reinterpret_cast<const unsigned char*>(p);
            const std::uint32_t w = std::uint32_t{u[0]} | std::uint32_t{u[1]} << 8 | std::uint32_t{u[2]} << 16 |
                                    std::uint32_t{u[3]} << 24;
            const std::uint32_t lead = w & 0xFF;
            const std::uint32_t second = (w >> 8) & 0xFF;
            if ((w & 0xC0C0F0) == 0x8080E0)
            {
                // Three bytes: E0 needs A0 on (shorter forms exist), ED below A0 (surrogates).
                if ((lead == 0xE0 and second < 0xA0) or (lead == 0xED and second >= 0xA0))
                {
                    return p;
                }
                p += 3;
            }
            else if ((w & 0xC0E0) == 0x80C0)
            {
                if (lead < 0xC2)
                {
                    return p; // C0 and C1 only start overlong forms
                }
                p += 2;
            }
            else if ((w & 0xC0C0C0F8) == 0x808080F0)
            {
                // Four bytes: F0 needs 90 on, F4 below 90, nothing above F4.
                if (lead > 0xF4 or (lead == 0xF0 and second < 0x90) or (lead == 0xF4 and second >= 0x90))
                {
                    return p;
                }
                p += 4;
            }
            else
            {
                return p; // ASCII, or a sequence that breaks the rules
            }
        }
        while (p != end_byte and static_cast<unsigned char>(*p) >= 0x80)
        {
            const std::size_t length = utf8_length(p);
            if (length == 0)
            {
                break;
            }
            p += length;
        }
        return p;
    }

    /// Whether the bytes start with two three-byte sequences whose leads are
    /// neither E0 nor ED, the two that limit the second byte; most text in
    /// Chinese or Japanese is such pairs.
    static bool two_unlimited_three_byte_sequences(const std::uint64_t bytes) noexcept
    {
        const unsigned int unlimited = 0xDFFE; // a bit for each lead's low half but 0 and D
        return (bytes & 0xC0C0F0C0C0F0u) == 0x8080E08080E0u and
               ((unlimited >> (bytes & 0xF)) & (unlimited >> ((bytes >> 24) & 0xF)) & 1) != 0;
    }

    /// The length of the valid UTF-8 sequence at p, 0 if there is none.
    std::size_t utf8_length(const char* const p) const noexcept
    {
        return utf8_sequence_length(p, end_byte);
    }

    const char* begin_byte;
    const char* next_byte;
    const char* end_byte;
};

/// What the inputs read a byte at a time share: a count of the bytes taken,
/// and no bytes in memory for the parser's fast paths to run over.
template<typename Input>
class byte_at_a_time_input
{
  public:
    static constexpr bool contiguous = false;

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

    bool starts_with(const char* /*word*/, std::size_t /*length*/) const noexcept
    {
        return false;
    }

    bool skip_single_space() noexcept
    {
        return false;
    }

    bool comma_then_number() const noexcept
    {
        return false;
    }

    void advance(std::size_t /*unused*/) noexcept
    {}

    void skip_whitespace(std::size_t& line, std::size_t& line_start)
    {
        skip_whitespace_bytes(static_cast<Input&>(*this), line, line_start);
    }

  protected:
    std::size_t count = 0;
};

/// A stream buffer, read through sgetc and sbumpc so that nothing past the
/// last byte the parse needs is taken from it. It notes in a report what the
/// stream's state bits need afterwards: whether the end was seen, and whether
/// an exception came from the buffer rather than from the parse.
class stream_input : public byte_at_a_time_input<stream_input>
{
  public:
    struct report
    {
        bool end = false;          // sgetc gave eof
        bool buffer_threw = false; // an exception came from sgetc or sbumpc
    };

    stream_input(std::streambuf& buffer, report& notes) noexcept
        : source(&buffer), noted(&notes)
    {}

    using byte_at_a_time_input<stream_input>::advance;

    int peek() const
    {
        const auto c = from_buffer(false);
        if (c == std::char_traits<char>::eof())
        {
            noted->end = true;
            return -1;
        }
        return c;
    }

    void advance()
    {
        from_buffer(true);
        ++count;
    }

  private:
    /// sbumpc when take, else sgetc. The try costs nothing until one throws,
    /// but left to themselves compilers would call this once a byte.
    QUARROW_ALWAYS_INLINE std::char_traits<char>::int_type from_buffer(const bool take) const
    {
#if defined(__cpp_exceptions) || defined(__EXCEPTIONS)
        try
        {
            return take ? source->sbumpc() : source->sgetc();
        }
        catch (...)
        {
            noted->buffer_threw = true;
            throw;
        }
#else
        return take ? source->sbumpc() : source->sgetc();
#endif
    }

    std::streambuf* source;
    report* noted;
};

/// Any input iterators over char, signed char or unsigned char.
template<typename Iterator>
class iterator_input : public byte_at_a_time_input<iterator_input<Iterator>>
{
  public:
    iterator_input(Iterator first, Iterator last)
        : next_byte(std::move(first)), end_byte(std::move(last))
    {}

    using byte_at_a_time_input<iterator_input<Iterator>>::advance;

    int peek() const
    {
        return next_byte != end_byte ? static_cast<unsigned char>(*next_byte) : -1;
    }

    void advance()
    {
        ++next_byte;
        ++this->count;
    }

  private:
    Iterator next_byte;
    Iterator end_byte;
};

} // namespace detail
} // namespace quarrow

#endif // QUARROW_DETAIL_INPUT_HPP

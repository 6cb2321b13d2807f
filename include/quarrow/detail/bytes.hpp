// Bytes eight at a time: the loads and tests that the reader and the writers share.

#ifndef QUARROW_DETAIL_BYTES_HPP
#define QUARROW_DETAIL_BYTES_HPP

namespace quarrow
{
namespace detail
{

/// A byte (or peek()'s -1 for the end) that is a decimal digit.
inline bool is_digit(const int c) noexcept
{
    return c >= '0' and c <= '9';
}

/// The 8 bytes at p, the first in the lowest byte, whatever the byte order.
inline std::uint64_t eight_bytes(const char* p) noexcept
{
    // Spelled out, so that compilers see one load on a little-endian machine.
    const unsigned char* const u = reinterpret_cast<const unsigned char*>(p);
    return std::uint64_t{u[0]} | std::uint64_t{u[1]} << 8 | std::uint64_t{u[2]} << 16 | std::uint64_t{u[3]} << 24 |
           std::uint64_t{u[4]} << 32 | std::uint64_t{u[5]} << 40 | std::uint64_t{u[6]} << 48 |
           std::uint64_t{u[7]} << 56;
}

/// How many of the 8 bytes of x (as eight_bytes holds them), from the first
/// on, are zero; x is not 0.
inline std::size_t zero_bytes_first(const std::uint64_t x) noexcept
{
    return static_cast<std::size_t>(count_trailing_zeros(x) / 8);
}

/// The bytes of word (eight, as eight_bytes holds them) that a JSON string
/// cannot hold as they are: the quotation mark, the backslash, those below
/// 0x20 and, where non_ascii_mask is all ones, those from 0x80; each has its
/// top bit set, and no byte before the first such does (a byte is zero in
/// x ^ c exactly where x has c, and subtracting 1 from each byte borrows into
/// its top bit where the byte was zero, a borrow moving on only above a zero
/// byte; subtracting 0x20 likewise flags the control bytes). As '"' and '\\'
/// are below 0x80, ~word has the top bits of ~(word ^ c), so one mask serves
/// the three tests.
inline std::uint64_t string_special_bytes(const std::uint64_t word, const std::uint64_t non_ascii_mask) noexcept
{
    const std::uint64_t ones = 0x0101010101010101u;
    const std::uint64_t tops = 0x8080808080808080u;
    const std::uint64_t below_space = word - ones * 0x20;
    const std::uint64_t quote = (word ^ (ones * '"')) - ones;
    const std::uint64_t backslash = (word ^ (ones * '\\')) - ones;
    return (((below_space | quote | backslash) & ~word) | (word & non_ascii_mask)) & tops;
}

/// The hexadecimal digits, for escapes (lowercase) and for bytes named in messages (uppercase).
inline const char* lowercase_hex() noexcept
{
    return "0123456789abcdef";
}

inline const char* uppercase_hex() noexcept
{
    return "0123456789ABCDEF";
}

} // namespace detail
} // namespace quarrow

#endif // QUARROW_DETAIL_BYTES_HPP

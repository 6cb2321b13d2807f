// Wide arithmetic: 128- and 192-bit products and sums, for reading and writing numbers exactly.

#ifndef QUARROW_DETAIL_WIDE_ARITHMETIC_HPP
#define QUARROW_DETAIL_WIDE_ARITHMETIC_HPP

namespace quarrow
{
namespace detail
{

/// An unsigned 128-bit number as two 64-bit halves.
struct uint128
{
    std::uint64_t high;
    std::uint64_t low;
};

/// a * b in full, from 32-bit halves: for compilers without a 128-bit type.
inline uint128 multiply_portable(const std::uint64_t a, const std::uint64_t b) noexcept
{
    const std::uint64_t half = 0xFFFFFFFFu;
    const std::uint64_t low_low = (a & half) * (b & half);
    const std::uint64_t high_low = (a >> 32) * (b & half);
    const std::uint64_t low_high = (a & half) * (b >> 32);
    const std::uint64_t high_high = (a >> 32) * (b >> 32);
    // At most 3 * (2^32 - 1) + (2^32 - 1)^2 = 2^64 - 1: no carry is lost.
    const std::uint64_t cross = (low_low >> 32) + (high_low & half) + low_high;
    return {high_high + (high_low >> 32) + (cross >> 32), (cross << 32) | (low_low & half)};
}

/// a * b in full.
inline uint128 multiply(const std::uint64_t a, const std::uint64_t b) noexcept
{
#if defined(__SIZEOF_INT128__)
    __extension__ typedef unsigned __int128 native_uint128;
    const native_uint128 product = static_cast<native_uint128>(a) * b;
    return {static_cast<std::uint64_t>(product >> 64), static_cast<std::uint64_t>(product)};
#else
    return multiply_portable(a, b);
#endif
}

/// a + b, which the callers know cannot wrap.
inline uint128 uint128_plus(const uint128 a, const std::uint64_t b) noexcept
{
    const std::uint64_t low = a.low + b;
    return {a.high + (low < b ? 1u : 0u), low};
}

/// 192 bits, most significant word first.
struct uint192
{
    std::uint64_t high;
    std::uint64_t middle;
    std::uint64_t low;
};

/// a * b in full.
inline uint192 multiply(const std::uint64_t a, const uint128& b) noexcept
{
    const uint128 high = multiply(a, b.high);
    const uint128 low = multiply(a, b.low);
    const std::uint64_t middle = high.low + low.high;
    return {high.high + (middle < high.low ? 1u : 0u), middle, low.low};
}

/// a + b, which must not exceed 192 bits.
inline uint192 add(const uint192& a, const uint192& b) noexcept
{
    const std::uint64_t low = a.low + b.low;
    const std::uint64_t carry_low = low < a.low ? 1u : 0u;
    const std::uint64_t middle_sum = a.middle + b.middle;
    const std::uint64_t middle = middle_sum + carry_low;
    const std::uint64_t carry_middle = (middle_sum < a.middle or middle < middle_sum) ? 1u : 0u;
    return {a.high + b.high + carry_middle, middle, low};
}

/// floor(n * log2(10)), exact over the table below (tests/powers_of_ten.py checks it).
inline int floor_log2_pow10(const int n) noexcept
{
    assert(n > -360 and n < 360);
    return ((n * 217706 + (1200 << 16)) >> 16) - 1200;
}

} // namespace detail
} // namespace quarrow

#endif // QUARROW_DETAIL_WIDE_ARITHMETIC_HPP

// Writing numbers: integers, and a double's 15-digit or shortest decimal, exact, locale-free, without allocating.

#ifndef QUARROW_DETAIL_NUMBER_WRITE_HPP
#define QUARROW_DETAIL_NUMBER_WRITE_HPP

namespace quarrow
{
namespace detail
{

/// floor(t * log10(2)), exact for |t| < 1100 (tests/powers_of_ten.py checks it).
inline int floor_log10_pow2(const int t) noexcept
{
    // The offset keeps what is shifted non-negative, so the shift rounds down.
    assert(t > -1100 and t < 1100);
    return ((t * 78913 + (400 << 18)) >> 18) - 400;
}

/// The sign of a * 10^j - b * 2^f, computed exactly.
inline int compare_exact(const std::uint64_t a, const int j, const std::uint64_t b, const int f) noexcept
{
    big_integer left(a);
    big_integer right(b);
    return compare_scaled(left, j, right, f);
}

/// Two decimal digits for each number below 100.
inline const char* digit_pairs() noexcept
{
    return "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
           "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
           "8081828384858687888990919293949596979899";
}

/// Writes the two digits of n < 100.
inline void write_pair(char* const out, const std::uint32_t n) noexcept
{
    std::memcpy(out, digit_pairs() + 2 * n, 2);
}

/// Writes the eight digits of n < 10^8.
inline void write_eight(char* const out, const std::uint32_t n) noexcept
{
    // n / 10^6 in fixed point with 32 fraction bits, from above: t exceeds
    // n * 2^32 / 10^6 by at most 1 + 10^8 / 2^16 < 2^32 / 10^6, so each
    // integer part read off and each fraction times 100 hold the next pair.
    // The fraction after pair j + 1 is fraction * 100^j modulo 2^32, each
    // found straight from it rather than from the one before.
    const std::uint64_t t = ((n * std::uint64_t{281474977}) >> 16) + 1; // 281474977 = ceil(2^48 / 10^6)
    const std::uint64_t mask = 0xFFFFFFFFu;
    const std::uint64_t fraction = t & mask;
    write_pair(out, static_cast<std::uint32_t>(t >> 32));
    write_pair(out + 2, static_cast<std::uint32_t>((fraction * 100) >> 32));
    write_pair(out + 4, static_cast<std::uint32_t>((((fraction * 100) & mask) * 100) >> 32));
    write_pair(out + 6, static_cast<std::uint32_t>((((fraction * 10000) & mask) * 100) >> 32));
}

/// Writes the four digits of n < 10^4.
inline void write_four_digits(char* const first, const std::uint32_t n) noexcept
{
    write_pair(first, n / 100);
    write_pair(first + 2, n % 100);
}

/// The decimal digits of n < 10^4 with no leading zero; returns the end.
inline char* up_to_four_digits(char* const first, const std::uint32_t n) noexcept
{
    if (n < 100)
    {
        if (n < 10)
        {
            *first = static_cast<char>('0' + n);
            return first + 1;
        }
        write_pair(first, n);
        return first + 2;
    }
    if (n < 1000)
    {
        *first = static_cast<char>('0' + n / 100);
        write_pair(first + 1, n % 100);
        return first + 3;
    }
    write_four_digits(first, n);
    return first + 4;
}

/// The decimal digits of n < 10^8 with no leading zero; returns the end.
inline char* leading_digits(char* const first, const std::uint32_t n) noexcept
{
    if (n < 10000)
    {
        return up_to_four_digits(first, n);
    }
    char* const rest = up_to_four_digits(first, n / 10000);
    write_four_digits(rest, n % 10000);
    return rest + 4;
}

/// n in decimal at first; returns the end. Cut into pieces of eight
/// digits, each written with 32-bit arithmetic, two digits a store.
inline char* unsigned_text(char* first, const unsigned long long n) noexcept
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
        write_eight(first, static_cast<std::uint32_t>(high % eight_digits));
        first += 8;
    }
    write_eight(first, low);
    return first + 8;
}

template<typename NumberType, enable_if_t<std::is_signed<NumberType>::value, int> = 0>
inline bool is_negative(const NumberType x) noexcept
{
    return x < 0;
}

template<typename NumberType, enable_if_t<std::is_unsigned<NumberType>::value, int> = 0>
inline bool is_negative(const NumberType /*unused*/) noexcept
{
    return false;
}

/// x in decimal at first, which has room for a sign and 20 digits; returns
/// the end.
template<typename NumberType>
char* integer_text(char* first, const NumberType x) noexcept
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

/// Writes the p (15, 16 or 17) digits of digits, the first not 0, to out + 1
/// to out + p, each straight to its place; out[0] may take a '0' as well.
inline void write_significand(char* const out, const std::uint64_t digits, const int p) noexcept
{
    std::uint64_t high = digits / 100000000u;
    const std::uint64_t low = digits - high * 100000000u;
    if (p == 17)
    {
        const std::uint64_t first = high / 100000000u;
        out[1] = static_cast<char>('0' + first);
        high -= first * 100000000u;
    }
    // Of fifteen digits the first block holds seven, after a '0' at out[0].
    write_eight(out + p - 15, static_cast<std::uint32_t>(high));
    write_eight(out + p - 7, static_cast<std::uint32_t>(low));
}

/// How many zeros end v, not 0, below 10^8.
inline int decimal_zeros(const std::uint32_t v) noexcept
{
    // Each test on its own rather than one after another: the seven take
    // less time side by side than three halving steps in a row.
    return (v % 10u == 0 ? 1 : 0) + (v % 100u == 0 ? 1 : 0) + (v % 1000u == 0 ? 1 : 0) +
           (v % 10000u == 0 ? 1 : 0) + (v % 100000u == 0 ? 1 : 0) + (v % 1000000u == 0 ? 1 : 0) +
           (v % 10000000u == 0 ? 1 : 0);
}

/// How many of the 15 digits of digits remain without the trailing zeros.
inline int significant_digits(const std::uint64_t digits) noexcept
{
    // The first seven digits are not all zeros, the last eight may be.
    const std::uint64_t high = digits / 100000000u;
    const auto low = static_cast<std::uint32_t>(digits - high * 100000000u);
    return low == 0 ? 7 - decimal_zeros(static_cast<std::uint32_t>(high)) : 15 - decimal_zeros(low);
}

/// Writes 'e', the sign and at least two digits of exponent. Returns the end.
inline char* write_exponent(char* out, const int exponent) noexcept
{
    *out++ = 'e';
    *out++ = exponent < 0 ? '-' : '+';
    auto magnitude = static_cast<std::uint32_t>(exponent < 0 ? -exponent : exponent);
    if (magnitude >= 100)
    {
        *out++ = static_cast<char>('0' + magnitude / 100);
        magnitude %= 100;
    }
    write_pair(out, magnitude);
    return out + 2;
}

/// Copies the count bytes at from to `to`, where sizeof(Word) <= count <=
/// 2 * sizeof(Word): two overlapping words, both read before either is
/// stored, so the ranges may overlap.
template<typename Word>
void copy_as_two_words(char* const to, const char* const from, const int count) noexcept
{
    Word first;
    Word last;
    std::memcpy(&first, from, sizeof(Word));
    std::memcpy(&last, from + count - static_cast<int>(sizeof(Word)), sizeof(Word));
    std::memcpy(to, &first, sizeof(Word));
    std::memcpy(to + count - static_cast<int>(sizeof(Word)), &last, sizeof(Word));
}

/// Moves the count (1 to 16) bytes at from one place left, to from - 1.
inline void move_left(char* const from, const int count) noexcept
{
    char* const to = from - 1;
    if (count >= 8)
    {
        copy_as_two_words<std::uint64_t>(to, from, count);
    }
    else if (count >= 4)
    {
        copy_as_two_words<std::uint32_t>(to, from, count);
    }
    else if (count >= 2)
    {
        copy_as_two_words<std::uint16_t>(to, from, count);
    }
    else
    {
        *to = *from;
    }
}

/// Writes digits * 10^(exponent - p + 1), p (15, 16 or 17) digits the first
/// of which is not 0 and count the significant ones (no zeros follow them),
/// as "%.15g" lays a number out, after '-' when negative, with ".0" after a
/// number with neither '.' nor exponent. Returns the end; may write up to 32 bytes.
inline char* write_decimal(char* out, const bool negative, const std::uint64_t digits, const int p,
                           const int count, const int exponent) noexcept
{
    // The sign is stored either way, and kept only when it counts.
    *out = '-';
    out += negative ? 1 : 0;
    // Below 1 (and from 10^-4) the digits follow "0." and zeros, whose fourth
    // is overwritten or past the end; otherwise they go one place right, and
    // those before the point back.
    const bool below_one = exponent < 0 and exponent >= -4;
    std::memcpy(out, "0.0000", 6);
    write_significand(below_one ? out - exponent : out, digits, p);
    if (below_one)
    {
        out[1] = '.';
        return out + 1 - exponent + count;
    }
    if (exponent < -4 or exponent >= 15)
    {
        out[0] = out[1];
        out[1] = '.';
        return write_exponent(out + count + (count > 1 ? 1 : 0), exponent);
    }
    // The integer part has no more than p digits, zeros where count ends.
    const int integer_digits = exponent + 1;
    move_left(out + 1, integer_digits);
    if (count <= integer_digits)
    {
        std::memcpy(out + integer_digits, ".0", 2);
        return out + integer_digits + 2;
    }
    out[integer_digits] = '.';
    return out + count + 1;
}

/// The least integer not below a / 2^64.
inline std::uint64_t ceiling(const uint128 a) noexcept
{
    return a.high + (a.low != 0 ? 1u : 0u);
}

/// a >> shift, shift in [1, 127].
inline uint128 shift_right(const uint128 a, const int shift) noexcept
{
    if (shift < 64)
    {
        return {a.high >> shift, (a.high << (64 - shift)) | (a.low >> shift)};
    }
    return {0, a.high >> (shift - 64)};
}

/// a - b, which the callers know cannot wrap.
inline uint128 uint128_minus(const uint128 a, const uint128 b) noexcept
{
    return {a.high - b.high - (a.low < b.low ? 1u : 0u), a.low - b.low};
}

/// The decimal digits of a positive finite double x = m * 2^e. It scales x
/// to Y = x * 10^-k in [10^16, 10^17) and keeps floor(Y * 2^64) from a
/// 128-bit power of ten, which is below the exact value by less than 2 (and
/// so may fall a hair outside that range, which the rounding absorbs). Only
/// where that leaves a rounding or a bound undecided does it compute exactly.
class digit_search
{
  public:
    /// x from its bits, sign cleared, not 0.
    explicit digit_search(const std::uint64_t bits) noexcept
    {
        const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
        const int biased_exponent = static_cast<int>(bits >> 52);
        int top_bit = 52;
        if (biased_exponent == 0)
        {
            m_significand = fraction;
            m_exponent = -1074;
            while ((fraction >> top_bit) == 0)
            {
                --top_bit;
            }
        }
        else
        {
            m_significand = fraction | (std::uint64_t{1} << 52);
            m_exponent = biased_exponent - 1075;
        }
        // At a power of two the next double down is nearer than the next one up.
        m_narrow_below = fraction == 0 and biased_exponent > 1;

        // 10^q <= 2^(e + top_bit) <= x < 10^(q + 2), so Y lands in [10^16, 10^18).
        // With its top bit moved to bit 63, m needs one shift of its product
        // with the power, the same way for every double (tests/powers_of_ten.py checks it).
        const std::uint64_t normalized = m_significand << (63 - top_bit);
        m_scale = floor_log10_pow2(m_exponent + top_bit) - 16;
        m_scaled = scaled(normalized, 126 - top_bit);
        if (m_scaled.high >= power_of_ten(17))
        {
            ++m_scale;
            m_scaled = scaled(normalized, 126 - top_bit);
        }
    }

    /// Y rounded to p digits (1 to 17), to nearest and ties to even, as a
    /// p-digit number; 10^p when the rounding carries.
    std::uint64_t rounded(const int p) const noexcept
    {
        const std::uint64_t unit = power_of_ten(17 - p);
        const std::uint64_t digits = m_scaled.high / unit;
        // Twice what is cut off, in units: an integer part and 64 bits of fraction.
        const std::uint64_t twice_rest = 2 * (m_scaled.high % unit) + (m_scaled.low >> 63);
        const std::uint64_t fraction = m_scaled.low << 1;
        // The exact value is above by less than 4 of fraction's units: only
        // just below the midpoint, or on it, is the rounding undecided.
        // (Tested without a branch but the rare one: for 17 digits half the
        // texts have twice_rest == unit - 1.)
        if (((twice_rest == unit - 1) & (fraction >= ~std::uint64_t{0} - 3)) | ((twice_rest == unit) & (fraction == 0)))
        {
            // Compare 2x with twice the midpoint, (2 * digits + 1) * 10^(k + 17 - p).
            const int midpoint = compare_exact(2 * digits + 1, m_scale + 17 - p, m_significand, m_exponent + 1);
            return digits + (midpoint < 0 or (midpoint == 0 and digits % 2 == 1) ? 1 : 0);
        }
        return digits + (twice_rest >= unit ? 1 : 0);
    }

    /// Prepares side() and below_upper(): the bounds of the numbers that read back as x.
    /// Forced inline: -O2 keeps it a call, a few percent of writing canada.json.
    QUARROW_ALWAYS_INLINE void find_bounds() noexcept
    {
        // Half the gap to each neighbour, scaled as Y is by a shift of the
        // power alone: at most 1 + 2^-9 below the exact value.
        const uint128& power = power_of_ten_bits(-m_scale);
        const int shift = 64 - floor_log2_pow10(-m_scale) - m_exponent;
        assert(shift >= 9 and shift < 127);
        const uint128 half_gap = shift_right(power, shift);
        // The upper bound lies in [upper, upper + 3), the lower in (lower, lower + 4).
        uint128 upper = uint128_plus(m_scaled, half_gap.low);
        upper.high += half_gap.high;
        const uint128 lower_gap = m_narrow_below ? shift_right(power, shift + 1) : half_gap;
        const uint128 lower = uint128_minus(uint128_minus(m_scaled, lower_gap), {0, 2});
        m_upper_near = ceiling(upper);
        m_upper_far = ceiling(uint128_plus(upper, 4));
        m_lower_far = ceiling(lower);
        m_lower_near = ceiling(uint128_plus(lower, 4));
    }

    /// The largest p-digit number whose value, digits * 10^(k + 17 - p), is
    /// not surely above the numbers that read back as x: the one among them,
    /// if any, when they span less than 10^(17 - p) of Y's units.
    std::uint64_t below_upper(const int p) const noexcept
    {
        return (m_upper_far - 1) / power_of_ten(17 - p);
    }

    /// Where digits * 10^(k + 17 - p) lies: -1 below the numbers that read
    /// back as x, 0 among them, 1 above them. The bounds between x and its
    /// neighbours read back as x when its significand is even.
    int side(const std::uint64_t digits, const int p) const noexcept
    {
        // As an integer of Y's units, the value is compared exactly only
        // within a few 2^-64 of a bound, that is almost never.
        const std::uint64_t candidate = digits * power_of_ten(17 - p);
        int above = candidate >= m_upper_far ? 1 : -1;
        if (candidate >= m_upper_near and candidate < m_upper_far)
        {
            above = compare_exact(digits, m_scale + 17 - p, 4 * m_significand + 2, m_exponent - 2);
        }
        int below = candidate < m_lower_far ? -1 : 1;
        if (candidate >= m_lower_far and candidate < m_lower_near)
        {
            below = compare_exact(digits, m_scale + 17 - p, 4 * m_significand - (m_narrow_below ? 1 : 2),
                                  m_exponent - 2);
        }
        const bool even = m_significand % 2 == 0;
        if (above > 0 or (above == 0 and not even))
        {
            return 1;
        }
        return below < 0 or (below == 0 and not even) ? -1 : 0;
    }

    /// Whether the next double down is nearer than the next one up.
    bool narrow_below() const noexcept
    {
        return m_narrow_below;
    }

    /// Writes digits, a p-digit result of rounded(), below_upper() or side(),
    /// as write_decimal does. Returns the end.
    char* write(char* const out, const bool negative, const std::uint64_t digits, const int p) const noexcept
    {
        if (digits == power_of_ten(p))
        {
            return write_decimal(out, negative, power_of_ten(14), 15, 1, m_scale + 17);
        }
        // Sixteen and seventeen digits come only where no shorter decimal
        // reads back, so without trailing zeros; fewer are written as fifteen.
        if (p >= 16)
        {
            return write_decimal(out, negative, digits, p, p, m_scale + 16);
        }
        const std::uint64_t fifteen = digits * power_of_ten(15 - p);
        return write_decimal(out, negative, fifteen, 15, significant_digits(fifteen), m_scale + 16);
    }

  private:
    /// floor(Y * 2^64) for v = m * 2^(126 - top_shift): floor(v * power / 2^(64 + shift)).
    /// The truncated power costs at most v / 2^(64 + shift) < 2^-6 of it, the floor below 1.
    uint128 scaled(const std::uint64_t v, const int top_shift) const noexcept
    {
        const int n = -m_scale;
        const uint128& power = power_of_ten_bits(n);
        const uint128 low = multiply(v, power.low);
        const uint128 high = multiply(v, power.high);
        const std::uint64_t w1 = high.low + low.high;
        const std::uint64_t w2 = high.high + (w1 < low.high ? 1u : 0u);
        const int shift = top_shift - m_exponent - floor_log2_pow10(n) - 64;
        assert(shift > 0 and shift < 64);
        return {w2 >> shift, (w2 << (64 - shift)) | (w1 >> shift)};
    }

    std::uint64_t m_significand = 0; // m
    int m_exponent = 0;              // e
    bool m_narrow_below = false;
    int m_scale = 0;    // k
    uint128 m_scaled{}; // floor(Y * 2^64)
    // After find_bounds(), in Y's units: integers below m_upper_near are below
    // the upper bound, from m_upper_far on above it; below m_lower_far they are
    // below the lower bound, from m_lower_near on above it.
    std::uint64_t m_upper_near = 0;
    std::uint64_t m_upper_far = 0;
    std::uint64_t m_lower_far = 0;
    std::uint64_t m_lower_near = 0;
};

/// The bits of x without its sign, and whether the sign was set.
inline std::uint64_t magnitude_bits(const double x, bool& negative) noexcept
{
    static_assert(std::numeric_limits<double>::is_iec559 and sizeof(double) == sizeof(std::uint64_t),
                  "doubles are IEEE 754 binary64");
    std::uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    negative = (bits >> 63) != 0;
    return bits & ~(std::uint64_t{1} << 63);
}

/// Finite x as JSON number text, byte for byte what the stream writer writes: at most 15 significant
/// digits exactly as snprintf("%.15g") in the C locale, "0.0" or "-0.0" for zeros, ".0" appended when the
/// text has neither '.' nor 'e'. Returns the end of the text, at most 24 bytes; first must have room for
/// 32, which it may use past that end. Throws nothing.
inline char* write_double(char* first, const double x) noexcept
{
    assert(std::isfinite(x));
    bool negative;
    const std::uint64_t bits = magnitude_bits(x, negative);
    if (bits == 0)
    {
        return negative ? std::copy_n("-0.0", 4, first) : std::copy_n("0.0", 3, first);
    }
    const digit_search search(bits);
    return search.write(first, negative, search.rounded(15), 15);
}

/// The same layout rules (fixed when -4 <= exponent < 15, else d.ddde±XX with at least two exponent
/// digits; zero texts; ".0" suffix), with the shortest digits that read back to exactly x (at most 17);
/// among several as short, the one nearest x. Where the shortest digits number 15 or fewer, the text
/// equals write_double's, except for subnormals (below 2^-1022), spaced so widely that a decimal shorter
/// than their 15-digit rounding may read back. Returns the end of the text, at most 24 bytes; first must
/// have room for 32, which it may use past that end. Throws nothing.
inline char* write_double_shortest(char* first, const double x) noexcept
{
    assert(std::isfinite(x));
    bool negative;
    const std::uint64_t bits = magnitude_bits(x, negative);
    if (bits == 0)
    {
        return negative ? std::copy_n("-0.0", 4, first) : std::copy_n("0.0", 3, first);
    }
    digit_search search(bits);
    search.find_bounds();
    if ((bits >> 52) == 0)
    {
        // Subnormals are spaced so widely that several decimals of a length
        // may read back; the nearest does if any does, x lying midway
        // between its bounds.
        for (int p = 1; p < 17; ++p)
        {
            const std::uint64_t digits = search.rounded(p);
            if (search.side(digits, p) == 0)
            {
                return search.write(first, negative, digits, p);
            }
        }
        return search.write(first, negative, search.rounded(17), 17);
    }
    // Each double is nearer to its neighbours than 15-digit decimals are to
    // each other, so at most one of those reads back: the one just below the
    // upper bound, if any.
    const std::uint64_t digits15 = search.below_upper(15);
    if (search.side(digits15, 15) == 0)
    {
        return search.write(first, negative, digits15, 15);
    }
    // Of 16-digit decimals more than one may read back. The nearest does,
    // unless x is a power of two whose lower bound is too near: then the
    // next one up may.
    const std::uint64_t digits16 = search.rounded(16);
    const int side16 = search.side(digits16, 16);
    if (side16 == 0)
    {
        return search.write(first, negative, digits16, 16);
    }
    if (side16 < 0 and search.narrow_below() and search.side(digits16 + 1, 16) == 0)
    {
        return search.write(first, negative, digits16 + 1, 16);
    }
    // The nearest 17-digit decimal always reads back.
    return search.write(first, negative, search.rounded(17), 17);
}

} // namespace detail

} // namespace quarrow

#endif // QUARROW_DETAIL_NUMBER_WRITE_HPP

// Reading numbers: decimal text to the nearest double, exactly and without the C library.

#ifndef QUARROW_DETAIL_NUMBER_READ_HPP
#define QUARROW_DETAIL_NUMBER_READ_HPP

namespace quarrow
{
namespace detail
{

/// Decimal number text to the nearest double, without allocating and without
/// the C library, whose conversions follow the C locale's decimal point.
namespace decimal
{

constexpr std::uint64_t infinity_bits = std::uint64_t{0x7FF} << 52;
constexpr std::uint64_t hidden_bit = std::uint64_t{1} << 52;

/// The bits of the double nearest to x * 2^scale, ties to even, where x's
/// top bit is bit 190 or 191; infinity's bits beyond the largest finite double.
/// Ordered like the values, so it grows with x. `uncertain` tells whether a
/// number up to `slack` units of x.high above x might round otherwise.
inline std::uint64_t round_to_double(const uint192& x, const int scale, const std::uint64_t slack,
                                     bool& uncertain) noexcept
{
    uncertain = false;
    const int top = 191 - count_leading_zeros(x.high);
    assert(top >= 190);
    const int exponent = top + scale; // x * 2^scale is in [2^exponent, 2^(exponent + 1))
    if (exponent > 1023)
    {
        return infinity_bits;
    }
    // Bits below `shift` are rounded off: 53 bits stay in a normal number,
    // fewer below 2^-1022, where the last bit is worth 2^-1074.
    const int shift = exponent >= -1022 ? top - 52 : -1074 - scale;
    if (shift > 192)
    {
        return 0; // below half the smallest subnormal
    }
    const int in_high = shift - 128; // the kept bits are all in x.high
    assert(in_high >= 10);
    const std::uint64_t kept = in_high < 64 ? x.high >> in_high : 0;
    const std::uint64_t half = std::uint64_t{1} << (in_high - 1);
    const std::uint64_t below_half = x.high & (half - 1);
    const bool above_half = (x.high & half) != 0;
    const bool below_is_zero = below_half == 0 and x.middle == 0 and x.low == 0;
    const bool round_up = above_half and (not below_is_zero or (kept & 1) != 0);
    // A larger number rounds otherwise if it reaches the next half, or if
    // this one is a tie rounded down.
    uncertain = slack != 0 and (below_half + slack >= half or (above_half and below_is_zero));
    const std::uint64_t mantissa = kept + (round_up ? 1u : 0u);
    if (exponent < -1022)
    {
        return mantissa; // a subnormal, or the smallest normal when rounding carried into bit 52
    }
    // The hidden bit adds one to the exponent field; a carry into bit 53 adds another.
    return (static_cast<std::uint64_t>(exponent + 1022) << 52) + mantissa;
}

/// A number's significant digits: from the first nonzero digit to the end of
/// the mantissa, perhaps with the decimal point among them.
struct digit_run
{
    const char* first;
    const char* last;
};

// Beyond this many significant digits only whether the rest is all zeros can
// matter: a halfway point between two doubles has at most 768.
constexpr std::int64_t max_exact_digits = 800;

/// Compares the number digits * 10^(magnitude - count of digits) with the
/// halfway point halfway_mantissa * 2^halfway_exponent: negative, zero or
/// positive as the number is below, at or above it.
inline int compare_with_halfway(const digit_run digits, const std::int64_t magnitude,
                                const std::uint64_t halfway_mantissa, const int halfway_exponent) noexcept
{
    big_integer number(0);
    std::int64_t count = 0;
    std::uint32_t chunk = 0;
    std::uint32_t chunk_scale = 1;
    bool nonzero_rest = false;
    for (const char* p = digits.first; p != digits.last; ++p)
    {
        if (*p == '.')
        {
            continue;
        }
        if (count == max_exact_digits)
        {
            nonzero_rest = nonzero_rest or *p != '0';
            continue;
        }
        chunk = chunk * 10 + static_cast<std::uint32_t>(*p - '0');
        chunk_scale *= 10;
        ++count;
        if (chunk_scale == 1000000000)
        {
            number.multiply_add(chunk_scale, chunk);
            chunk = 0;
            chunk_scale = 1;
        }
    }
    number.multiply_add(chunk_scale, chunk);

    // number * 10^q against halfway_mantissa * 2^halfway_exponent.
    big_integer halfway(halfway_mantissa);
    const int order = compare_scaled(number, static_cast<int>(magnitude - count), halfway, halfway_exponent);
    return order == 0 and nonzero_rest ? 1 : order;
}

/// The bits of the double nearest to the number, given that they are
/// `candidate` or the next double up: decided exactly at the halfway point
/// between the two.
inline std::uint64_t decide_exactly(const digit_run digits, const std::int64_t magnitude,
                                    const std::uint64_t candidate) noexcept
{
    const std::uint64_t exponent_field = candidate >> 52;
    const std::uint64_t fraction = candidate & (hidden_bit - 1);
    const std::uint64_t mantissa = exponent_field == 0 ? fraction : fraction | hidden_bit;
    const int exponent = exponent_field == 0 ? -1074 : static_cast<int>(exponent_field) - 1075;
    const int order = compare_with_halfway(digits, magnitude, 2 * mantissa + 1, exponent - 1);
    const bool up = order > 0 or (order == 0 and (mantissa & 1) != 0);
    return candidate + (up ? 1u : 0u);
}

// When the compiler evaluates double arithmetic in double, one multiplication
// or division of exact operands rounds correctly (not so with x87's wider registers).
#if defined(FLT_EVAL_METHOD) && FLT_EVAL_METHOD == 0
constexpr bool exact_double_arithmetic = std::numeric_limits<double>::is_iec559;
#else
constexpr bool exact_double_arithmetic = false;
#endif

// Exponents beyond this stay here while they are read; far smaller ones
// already decide the result, and digit counts added to it cannot overflow.
constexpr std::int64_t exponent_limit = std::int64_t{1} << 40;

/// How many of the 8 bytes, from the first on, are '0' to '9'. A byte xor
/// '0' is below 10 just for digits; adding 0x76 sets its top bit from 10 on
/// (a carry out of a byte reaches only bytes after a non-digit).
inline int leading_digit_count(const std::uint64_t bytes) noexcept
{
    const std::uint64_t values = bytes ^ 0x3030303030303030u;
    const std::uint64_t non_digits = ((values + 0x7676767676767676u) | values) & 0x8080808080808080u;
    return non_digits == 0 ? 8 : static_cast<int>(zero_bytes_first(non_digits));
}

/// The value of 8 digit bytes: neighbouring digits combine into pairs, pairs
/// into fours, fours into the eight, each step one multiplication that adds a
/// lane times its weight to the lane above.
inline std::uint64_t eight_digits_value(std::uint64_t bytes) noexcept
{
    bytes = ((bytes & 0x0F0F0F0F0F0F0F0Fu) * (10 * 256 + 1)) >> 8;
    bytes = ((bytes & 0x00FF00FF00FF00FFu) * (100 * 65536 + 1)) >> 16;
    return ((bytes & 0x0000FFFF0000FFFFu) * (10000 * (std::uint64_t{1} << 32) + 1)) >> 32;
}

/// Takes the digits at the cursor one at a time: into `leading` while
/// `taken` stays at most 19, after that only whether one is not 0.
template<typename Cursor>
QUARROW_ALWAYS_INLINE inline void take_digits_one_by_one(Cursor& in, std::uint64_t& leading, int& taken,
                                                         bool& truncated)
{
    for (int c = in.peek(); is_digit(c); c = in.peek())
    {
        if (taken < 19)
        {
            leading = leading * 10 + static_cast<std::uint64_t>(c - '0');
            ++taken;
        }
        else
        {
            truncated = truncated or c != '0';
        }
        in.take();
    }
}

/// A number's bytes in memory, [first, last), as scan_number takes them.
/// Offsets count from first.
class memory_cursor
{
  public:
    memory_cursor(const char* const first_byte, const char* const last_byte) noexcept
        : first(first_byte), next(first_byte), last(last_byte)
    {}

    int peek() const noexcept
    {
        return next != last ? static_cast<unsigned char>(*next) : -1;
    }

    void take() noexcept
    {
        ++next;
    }

    /// take_digits_one_by_one, eight bytes at a time while any digits among
    /// them still fit.
    QUARROW_ALWAYS_INLINE void take_digits(std::uint64_t& leading, int& taken, bool& truncated) noexcept
    {
        while (last - next >= 8 and taken <= 19 - 8)
        {
            const std::uint64_t bytes = eight_bytes(next);
            const int count = leading_digit_count(bytes);
            if (count == 8)
            {
                leading = leading * 100000000 + eight_digits_value(bytes);
                taken += 8;
                next += 8;
                continue;
            }
            taken += count;
            if (count < 4)
            {
                // Few digits, as before most decimal points: cheaper one at a time.
                for (const char* const end = next + count; next != end; ++next)
                {
                    leading = leading * 10 + static_cast<std::uint64_t>(*next - '0');
                }
                return;
            }
            // Shifted up, the digits keep their order and zeros lead them.
            const int shift = 64 - 8 * count;
            leading = leading * power_of_ten(count) + eight_digits_value(bytes << shift);
            next += count; // a byte that is not a digit ends them
            return;
        }
        take_digits_one_by_one(*this, leading, taken, truncated);
    }

    std::ptrdiff_t offset() const noexcept
    {
        return next - first;
    }

    const char* at(const std::ptrdiff_t offset_from_first) const noexcept
    {
        return first + offset_from_first;
    }

    const char* position() const noexcept
    {
        return next;
    }

  private:
    const char* first;
    const char* next;
    const char* last;
};

/// What a number's text says, read once: its first 19 significant digits,
/// whether a nonzero digit follows them, and its order of magnitude.
struct number_parts
{
    std::uint64_t leading;
    int taken; // digits in leading
    bool truncated;
    bool negative;
    std::int64_t magnitude; // the number is below 10^magnitude and at least a tenth of it
    digit_run digits;
};

#if defined(QUARROW_SSE2) && defined(__x86_64__)
/// Reads the common measure or coordinate, at least 32 bytes readable from
/// p: a sign, 1 to 3 integer digits not led by 0, and 8 to 16 fraction
/// digits, with no exponent. The fraction is read in one 16-byte load and
/// taken as 16 digits, trailing zeros added, so the number is always
/// leading * 10^-16. Returns its end, or nullptr for any other number.
QUARROW_ALWAYS_INLINE inline const char* scan_long_fraction(const char* p, std::uint64_t& leading,
                                                              bool& negative) noexcept
{
    negative = *p == '-';
    const char* const first = p + (negative ? 1 : 0);
    const auto digit = [first](const int i) { return static_cast<unsigned char>(first[i] - '0'); };
    const unsigned int d0 = digit(0);
    const unsigned int d1 = digit(1);
    const unsigned int d2 = digit(2);
    // Settled before any digit is taken, so that integers leave at once.
    const int whole = d1 > 9 ? 1 : d2 > 9 ? 2 : 3;
    if (first[whole] != '.' or d0 - 1 > 8)
    {
        return nullptr;
    }
    const unsigned int integer = whole == 1 ? d0 : whole == 2 ? d0 * 10 + d1 : d0 * 100 + d1 * 10 + d2;
    const char* const fraction = first + whole + 1;
    const __m128i digits = _mm_sub_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(fraction)), _mm_set1_epi8('0'));
    const __m128i is_digit_lane = _mm_cmpeq_epi8(_mm_min_epu8(digits, _mm_set1_epi8(9)), digits);
    const auto lanes = static_cast<unsigned int>(_mm_movemask_epi8(is_digit_lane));
    const int count = count_trailing_zeros(~lanes); // bit 16 on: at most 16
    const char* const end = fraction + count;
    if (count < 8 or is_digit(*end) or (*end | 0x20) == 'e')
    {
        return nullptr;
    }
    // Lanes past the digits to zero, then digits paired, pairs into fours,
    // fours into eights, each step one multiplication and addition of lanes.
    static const unsigned char ones_then_zeros[32] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                                      0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    const __m128i kept =
        _mm_and_si128(digits, _mm_loadu_si128(reinterpret_cast<const __m128i*>(ones_then_zeros + 16 - count)));
    const __m128i pairs = _mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(kept, _mm_set1_epi16(0xFF)), _mm_set1_epi16(10)),
                                        _mm_srli_epi16(kept, 8));
    const __m128i fours = _mm_madd_epi16(pairs, _mm_set1_epi32(1 << 16 | 100));
    const __m128i eights = _mm_madd_epi16(_mm_packs_epi32(fours, fours), _mm_set1_epi32(1 << 16 | 10000));
    const auto both = static_cast<std::uint64_t>(_mm_cvtsi128_si64(eights));
    const std::uint64_t sixteen = (both & 0xFFFFFFFFu) * 100000000 + (both >> 32);
    leading = std::uint64_t{integer} * 10000000000000000u + sixteen;
    return end;
}
#endif

/// The JSON number grammar, in the one place it is written: reads the
/// number at the cursor (memory_cursor, or the reader's own for bytes taken
/// one at a time) into its parts, so that the text is read once. True with
/// the cursor past the number; false with it at the byte where a digit was
/// expected. `integral` tells whether the number has neither fraction nor
/// exponent.
template<typename Cursor>
QUARROW_ALWAYS_INLINE inline bool scan_number(Cursor& in, number_parts& parts, bool& integral)
{
    // In locals, which the compiler keeps in registers.
    std::uint64_t leading = 0;
    int taken = 0;
    bool truncated = false;
    const bool negative = in.peek() == '-';
    integral = true;
    if (negative)
    {
        in.take();
    }
    if (not is_digit(in.peek()))
    {
        return false;
    }
    std::ptrdiff_t first_digit = 0;
    if (in.peek() == '0')
    {
        in.take();
        first_digit = in.offset(); // no digit may follow a leading 0
    }
    else
    {
        first_digit = in.offset();
        in.take_digits(leading, taken, truncated);
    }
    std::int64_t magnitude = in.offset() - first_digit;
    if (in.peek() == '.')
    {
        integral = false;
        in.take();
        if (not is_digit(in.peek()))
        {
            return false;
        }
        if (taken == 0)
        {
            const std::ptrdiff_t zeros = in.offset();
            while (in.peek() == '0')
            {
                in.take();
            }
            magnitude -= in.offset() - zeros;
            first_digit = in.offset();
        }
        in.take_digits(leading, taken, truncated);
    }
    const std::ptrdiff_t last_digit = in.offset();
    if (in.peek() == 'e' or in.peek() == 'E')
    {
        integral = false;
        in.take();
        const bool negative_exponent = in.peek() == '-';
        if (in.peek() == '-' or in.peek() == '+')
        {
            in.take();
        }
        if (not is_digit(in.peek()))
        {
            return false;
        }
        std::int64_t exponent = 0;
        for (int c = in.peek(); is_digit(c); c = in.peek())
        {
            exponent = exponent < exponent_limit ? exponent * 10 + (c - '0') : exponent;
            in.take();
        }
        magnitude += negative_exponent ? -exponent : exponent;
    }
    parts = {leading, taken, truncated, negative, magnitude, {in.at(first_digit), in.at(last_digit)}};
    return true;
}

/// The integer that an integral number's parts hold, when it fits an
/// unsigned type of `bits` bits (at most 64); false otherwise.
inline bool integer_value(const number_parts& parts, const int bits, std::uint64_t& value) noexcept
{
    // leading holds 19 digits at most; a 20th can still fit 64 bits.
    std::uint64_t magnitude = parts.leading;
    if (parts.magnitude > 20)
    {
        return false;
    }
    if (parts.magnitude == 20)
    {
        const auto last = static_cast<std::uint64_t>(parts.digits.last[-1] - '0');
        if (magnitude > (std::numeric_limits<std::uint64_t>::max() - last) / 10)
        {
            return false;
        }
        magnitude = magnitude * 10 + last;
    }
    if (bits < 64 and magnitude >> (bits % 64) != 0)
    {
        return false;
    }
    value = magnitude;
    return true;
}

/// The bits of the double nearest to the number `parts` describes, given
/// `lower`, its product with the power of ten rounded down, and `bits`, what
/// that rounds to, which a number a little above it might not. Out of line,
/// as it is rarely needed and would keep the common path's values in memory.
QUARROW_NOINLINE inline std::uint64_t settle_rounding(const number_parts& parts, const uint192& lower,
                                                        const std::uint64_t bits) noexcept
{
    const int q = static_cast<int>(parts.magnitude) - parts.taken;
    const int zeros = count_leading_zeros(parts.leading);
    const std::uint64_t normalized = parts.leading << zeros;
    const uint128& power = power_of_ten_bits(q);
    const int scale = floor_log2_pow10(q) - 127 - zeros;
    uint192 upper = lower;
    if (not power_of_ten_bits_exact(q))
    {
        upper = add(upper, uint192{0, 0, normalized});
    }
    if (parts.truncated)
    {
        const std::uint64_t unit = std::uint64_t{1} << zeros;
        const uint192 shifted = {zeros == 0 ? 0 : power.high >> (64 - zeros),
                                 (power.high << zeros) | (zeros == 0 ? 0 : power.low >> (64 - zeros)),
                                 power.low << zeros};
        upper = add(upper, shifted);
        upper = add(upper, uint192{0, 0, power_of_ten_bits_exact(q) ? 0 : unit});
    }
    bool uncertain = false;
    if (bits == round_to_double(upper, scale, 0, uncertain))
    {
        return bits;
    }
    // The bounds are closer than half a unit in the last place, so one
    // halfway point at most lies between them.
    return decide_exactly(parts.digits, parts.magnitude, bits);
}

/// The bits of the double nearest to normalized * power * 2^scale, where
/// both factors have their top bit set and `power` is a power of ten's
/// leading bits, from the first 64 bits of their product alone: false unless
/// those settle it. They most often do, for a normal double whose rounding
/// `slack` cannot change: as round_to_double, with the top bit of the 192-bit
/// product at 190 or 191 and the 53 kept bits all in its high word. That is
/// the high word here, or one more where the product with the power's low
/// word carries, so one more unit of slack lets the second multiplication
/// wait for the rare numbers that need it.
QUARROW_ALWAYS_INLINE inline bool round_from_high_word(const std::uint64_t normalized, const std::uint64_t power,
                                                        const int scale, const std::uint64_t slack,
                                                        std::uint64_t& bits) noexcept
{
    const uint128 lead = multiply(normalized, power);
    const int top = 190 + static_cast<int>(lead.high >> 63);
    const int exponent = top + scale;
    const int in_high = top - 180;
    const std::uint64_t half = std::uint64_t{1} << (in_high - 1);
    const std::uint64_t below_half = lead.high & (half - 1);
    const std::uint64_t round_up = (lead.high >> (in_high - 1)) & 1;
    // Above a halfway point, the number stays below the next one; below it,
    // it may reach it; on it, it may be a tie. The slack counts only below
    // (masked, not branched on: which side is as good as random).
    const std::uint64_t slack_below = (slack + 1) & (round_up - 1);
    if (exponent < -1022 or exponent > 1023 or below_half == 0 or below_half + slack_below >= half)
    {
        return false;
    }
    bits = (static_cast<std::uint64_t>(exponent + 1022) << 52) + (lead.high >> in_high) + round_up;
    return true;
}

/// The double nearest to the number `parts` describes, as text_to_double.
QUARROW_ALWAYS_INLINE inline bool parts_to_double(const number_parts& parts, double& result) noexcept
{
    const std::uint64_t leading = parts.leading;
    const int taken = parts.taken;
    const bool truncated = parts.truncated;
    const std::int64_t magnitude = parts.magnitude;
    const double sign = parts.negative ? -1.0 : 1.0;

    if (leading == 0)
    {
        result = sign * 0.0;
        return true;
    }
    if (magnitude > 309)
    {
        return false; // at least 10^309
    }
    if (magnitude < -323)
    {
        result = sign * 0.0; // below 10^-324, under half the smallest subnormal
        return true;
    }
    const int q = static_cast<int>(magnitude) - taken; // the number is (leading + rest) * 10^q, 0 <= rest < 1

    if (exact_double_arithmetic and not truncated and leading <= (std::uint64_t{1} << 53) and
        q >= -max_exact_power_of_ten and q <= max_exact_power_of_ten)
    {
        const double exact = static_cast<double>(leading);
        result = sign * (q < 0 ? exact / exact_power_of_ten(-q) : exact * exact_power_of_ten(q));
        return true;
    }

    // The number is (leading + rest) * 5^q * 2^q: in 192 bits, lower times a
    // power of two, rounded down. The digits left out and the bits of 5^q the
    // table drops each add less than one unit to a factor, so the number lies
    // below a bound a few units of lower.high above lower (see settle_rounding).
    const int zeros = count_leading_zeros(leading);
    const std::uint64_t normalized = leading << zeros;
    const uint128& power = power_of_ten_bits(q); // the leading bits of 5^q, too
    const int scale = floor_log2_pow10(q) - 127 - zeros;
    const bool exact = power_of_ten_bits_exact(q) and not truncated;
    const std::uint64_t slack = exact ? 0 : 2 + (truncated ? std::uint64_t{1} << zeros : 0);
    std::uint64_t bits = 0;
    if (not round_from_high_word(normalized, power.high, scale, slack, bits))
    {
        const uint192 lower = multiply(normalized, power);
        bool uncertain = false;
        bits = round_to_double(lower, scale, slack, uncertain);
        if (uncertain)
        {
            bits = settle_rounding(parts, lower, bits);
        }
    }
    if (bits == infinity_bits)
    {
        return false;
    }
    double magnitude_value;
    std::memcpy(&magnitude_value, &bits, sizeof magnitude_value);
    result = sign * magnitude_value;
    return true;
}

} // namespace decimal

/// The double nearest to the number text [first, last), ties to even, as strtod gives in the C locale;
/// false (result untouched) when its magnitude is beyond the largest finite double.
/// [first,last) is already validated by the JSON grammar: '-'? digits ('.' digits)? ([eE] [+-]? digits)?
/// Out of line, so that the reader's common path, which falls back on it, stays small.
QUARROW_NOINLINE inline bool text_to_double(const char* first, const char* last, double& result) noexcept
{
    assert(first != last);
    decimal::number_parts parts{}; // zeroed: the compiler cannot see that valid text sets every part
    bool integral = false;
    decimal::memory_cursor text(first, last);
    const bool valid = decimal::scan_number(text, parts, integral);
    assert(valid and text.position() == last);
    static_cast<void>(valid);
    return decimal::parts_to_double(parts, result);
}

#if defined(QUARROW_SSE2) && defined(__x86_64__)
/// The double nearest to the number [first, last) that
/// decimal::scan_long_fraction read as `leading` and `negative`:
/// leading * 10^-16 is in [1, 1000), so always normal and finite, and
/// 10^-16 is inexact (two units of slack).
QUARROW_ALWAYS_INLINE inline double long_fraction_to_double(const char* const first, const char* const last,
                                                             const std::uint64_t leading, const bool negative) noexcept
{
    const int zeros = count_leading_zeros(leading);
    std::uint64_t bits = 0;
    if (not decimal::round_from_high_word(leading << zeros, power_of_ten_bits(-16).high,
                                          floor_log2_pow10(-16) - 127 - zeros, 2, bits))
    {
        double result = 0;
        text_to_double(first, last, result);
        return result;
    }
    bits |= static_cast<std::uint64_t>(negative) << 63;
    double result;
    std::memcpy(&result, &bits, sizeof result);
    return result;
}
#endif

} // namespace detail
} // namespace quarrow

#endif // QUARROW_DETAIL_NUMBER_READ_HPP

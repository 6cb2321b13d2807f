// Exact big-integer arithmetic for the rare numbers the 128-bit estimates leave undecided.

#ifndef QUARROW_DETAIL_BIG_INTEGER_HPP
#define QUARROW_DETAIL_BIG_INTEGER_HPP

namespace quarrow
{
namespace detail
{

/// An unsigned integer of up to `capacity` 32-bit limbs, least significant
/// first, on the stack: the exact arithmetic for the rare numbers that the
/// 128-bit estimates leave undecided. Enough for 800 digits times 5^1123.
class big_integer
{
  public:
    /// The integer `value`.
    explicit big_integer(const std::uint64_t value) noexcept
        : m_limbs(), m_size(0)
    {
        for (std::uint64_t rest = value; rest != 0; rest >>= 32)
        {
            m_limbs[m_size++] = static_cast<std::uint32_t>(rest);
        }
    }

    /// *this = *this * factor + addend.
    void multiply_add(const std::uint32_t factor, const std::uint32_t addend) noexcept
    {
        std::uint64_t carry = addend;
        for (std::size_t i = 0; i < m_size; ++i)
        {
            const std::uint64_t product = std::uint64_t{m_limbs[i]} * factor + carry;
            m_limbs[i] = static_cast<std::uint32_t>(product);
            carry = product >> 32;
        }
        if (carry != 0)
        {
            push(static_cast<std::uint32_t>(carry));
        }
    }

    /// *this = *this * 5^exponent, exponent >= 0.
    void multiply_by_power_of_five(int exponent) noexcept
    {
        const std::uint32_t five_to_13 = 1220703125; // the largest power of five in 32 bits
        for (; exponent >= 13; exponent -= 13)
        {
            multiply_add(five_to_13, 0);
        }
        std::uint32_t rest = 1;
        for (; exponent > 0; --exponent)
        {
            rest *= 5;
        }
        multiply_add(rest, 0);
    }

    /// *this = *this * 2^bits, bits >= 0.
    void shift_left(const int bits) noexcept
    {
        if (m_size == 0)
        {
            return;
        }
        const std::size_t limbs = static_cast<std::size_t>(bits) / 32;
        const unsigned within = static_cast<unsigned>(bits) % 32;
        if (within != 0)
        {
            std::uint32_t carry = 0;
            for (std::size_t i = 0; i < m_size; ++i)
            {
                const std::uint32_t limb = m_limbs[i];
                m_limbs[i] = (limb << within) | carry;
                carry = limb >> (32 - within);
            }
            if (carry != 0)
            {
                push(carry);
            }
        }
        if (limbs != 0)
        {
            assert(m_size + limbs <= capacity);
            std::copy_backward(m_limbs, m_limbs + m_size, m_limbs + m_size + limbs);
            std::fill(m_limbs, m_limbs + limbs, 0u);
            m_size += limbs;
        }
    }

    /// Negative, zero or positive as a is less than, equal to or greater than b.
    friend int compare(const big_integer& a, const big_integer& b) noexcept
    {
        if (a.m_size != b.m_size)
        {
            return a.m_size < b.m_size ? -1 : 1;
        }
        for (std::size_t i = a.m_size; i-- > 0;)
        {
            if (a.m_limbs[i] != b.m_limbs[i])
            {
                return a.m_limbs[i] < b.m_limbs[i] ? -1 : 1;
            }
        }
        return 0;
    }

  private:
    void push(const std::uint32_t limb) noexcept
    {
        assert(m_size < capacity);
        m_limbs[m_size++] = limb;
    }

    static constexpr std::size_t capacity = 96;
    std::uint32_t m_limbs[capacity];
    std::size_t m_size;
};

/// The sign of left * 10^ten_exponent - right * 2^two_exponent, computed
/// exactly; left and right are scaled in the process.
inline int compare_scaled(big_integer& left, const int ten_exponent, big_integer& right,
                          const int two_exponent) noexcept
{
    // 10^j = 5^j * 2^j: the fives go to the side whose exponent is not negative,
    // then the smaller power of two cancels.
    if (ten_exponent >= 0)
    {
        left.multiply_by_power_of_five(ten_exponent);
    }
    else
    {
        right.multiply_by_power_of_five(-ten_exponent);
    }
    if (ten_exponent > two_exponent)
    {
        left.shift_left(ten_exponent - two_exponent);
    }
    else
    {
        right.shift_left(two_exponent - ten_exponent);
    }
    return compare(left, right);
}

} // namespace detail

} // namespace quarrow

#endif // QUARROW_DETAIL_BIG_INTEGER_HPP

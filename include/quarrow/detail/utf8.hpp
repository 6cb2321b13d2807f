// The UTF-8 rules of RFC 3629, once, for the reader that checks text and the writer that checks or escapes it.

#ifndef QUARROW_DETAIL_UTF8_HPP
#define QUARROW_DETAIL_UTF8_HPP

namespace quarrow
{
namespace detail
{

/// The UTF-8 rules of RFC 3629 for a sequence led by `lead`: how many
/// continuation bytes follow, and the range the first of them must be in (so
/// no overlong form, no surrogate, nothing above U+10FFFF); the others are
/// 0x80 to 0xBF. False for a byte that never leads a sequence.
inline bool utf8_sequence(const int lead, int& more, int& low, int& high) noexcept
{
    low = 0x80;
    high = 0xBF;
    if (lead >= 0xC2 and lead <= 0xDF)
    {
        more = 1;
    }
    else if (lead >= 0xE0 and lead <= 0xEF)
    {
        more = 2;
        low = lead == 0xE0 ? 0xA0 : 0x80;  // shorter forms exist
        high = lead == 0xED ? 0x9F : 0xBF; // surrogates
    }
    else if (lead >= 0xF0 and lead <= 0xF4)
    {
        more = 3;
        low = lead == 0xF0 ? 0x90 : 0x80;  // shorter forms exist
        high = lead == 0xF4 ? 0x8F : 0xBF; // above U+10FFFF
    }
    else
    {
        return false;
    }
    return true;
}

/// The length of the valid UTF-8 sequence at p, before end; 0 if there is none.
inline std::size_t utf8_sequence_length(const char* const p, const char* const end) noexcept
{
    int more = 0;
    int low = 0;
    int high = 0;
    if (not utf8_sequence(static_cast<unsigned char>(*p), more, low, high) or end - p <= more)
    {
        return 0;
    }
    const auto first = static_cast<unsigned char>(p[1]);
    bool valid = first >= low and first <= high;
    for (int i = 2; i <= more; ++i)
    {
        const auto next = static_cast<unsigned char>(p[i]);
        valid = valid and next >= 0x80 and next <= 0xBF;
    }
    return valid ? static_cast<std::size_t>(1 + more) : 0;
}

} // namespace detail
} // namespace quarrow

#endif // QUARROW_DETAIL_UTF8_HPP

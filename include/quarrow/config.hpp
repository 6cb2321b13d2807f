// Configuration and portability: the version, the standard headers, and what the platform offers.

#ifndef QUARROW_CONFIG_HPP
#define QUARROW_CONFIG_HPP

#define QUARROW_VERSION_MAJOR 0
#define QUARROW_VERSION_MINOR 1
#define QUARROW_VERSION_PATCH 0

#include <algorithm>
#include <array>
#include <cassert>
#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <functional>
#include <initializer_list>
#include <istream>
#include <iterator>
#include <limits>
#include <map>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#if __cplusplus >= 201703L
#include <optional>
#include <string_view>
#include <variant>
#endif
#if __cplusplus >= 202002L
#include <compare>
#endif
// Portability, spelled once. The three attributes steer inlining on the paths
// the benchmark measures; QUARROW_COLD keeps a failure path out of line and
// out of the way. SSE2 scans bytes 16 at a time where the target has
// it; defining QUARROW_NO_SSE2 takes the portable scans instead, which CI
// tests too.
#if defined(__GNUC__) || defined(__clang__)
#define QUARROW_ALWAYS_INLINE [[gnu::always_inline]]
#define QUARROW_NOINLINE [[gnu::noinline]]
#define QUARROW_COLD [[gnu::cold, gnu::noinline]]
#else
#define QUARROW_ALWAYS_INLINE
#define QUARROW_NOINLINE
#define QUARROW_COLD
#endif
#if defined(__SSE2__) && !defined(QUARROW_NO_SSE2)
#define QUARROW_SSE2
#include <emmintrin.h>
#endif

// The C locale's decimal point and thousands separator, which writing a double
// through snprintf has to undo. nl_langinfo returns the calling thread's
// locale's own texts; localeconv, left only where <langinfo.h> is missing,
// refills one static struct on every call, so threads writing at once race on it.
#if defined(__has_include)
#if __has_include(<langinfo.h>)
#include <langinfo.h>
#define QUARROW_HAS_LANGINFO
#endif
#endif

namespace quarrow
{
namespace detail
{

/// The calling thread's C locale's decimal point and thousands separator, as
/// the C library writes them into number text (either may be empty or several
/// bytes long). Never fail.
#ifdef QUARROW_HAS_LANGINFO
inline const char* locale_decimal_point() noexcept
{
    return nl_langinfo(RADIXCHAR);
}
inline const char* locale_thousands_sep() noexcept
{
    return nl_langinfo(THOUSEP);
}
#else
inline const char* locale_decimal_point() noexcept
{
    return std::localeconv()->decimal_point;
}
inline const char* locale_thousands_sep() noexcept
{
    return std::localeconv()->thousands_sep;
}
#endif

/// Zero bits below the lowest one bit of x, which is not 0.
inline int count_trailing_zeros(std::uint64_t x) noexcept
{
    assert(x != 0);
#if defined(__GNUC__) || defined(__clang__)
    return __builtin_ctzll(x);
#else
    int count = 0;
    for (; (x & 1) == 0; x >>= 1)
    {
        ++count;
    }
    return count;
#endif
}

/// Zero bits above the highest one bit of x, which is not 0.
inline int count_leading_zeros(std::uint64_t x) noexcept
{
    assert(x != 0);
#if defined(__GNUC__) || defined(__clang__)
    return __builtin_clzll(x);
#else
    int count = 0;
    for (; (x & (std::uint64_t{1} << 63)) == 0; x <<= 1)
    {
        ++count;
    }
    return count;
#endif
}

} // namespace detail

} // namespace quarrow

#endif // QUARROW_CONFIG_HPP

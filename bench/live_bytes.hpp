// Bytes held through the global operator new, which this program replaces,
// so the benchmark can tell how much a document keeps.

#ifndef QUARROW_BENCH_LIVE_BYTES_HPP
#define QUARROW_BENCH_LIVE_BYTES_HPP

#include <cstddef>

/// Bytes requested from operator new and not yet given back.
std::size_t live_bytes() noexcept;

/// What the count itself adds to malloc's in-use total for those blocks.
std::size_t counting_overhead() noexcept;

#endif

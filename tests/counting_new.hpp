// A replaced global operator new that counts allocations and can be told to
// fail, for tests of allocation counts and of behaviour under bad_alloc.
// Link counting_new.cpp into the test binary that includes this.

#ifndef QUARROW_TESTS_COUNTING_NEW_HPP
#define QUARROW_TESTS_COUNTING_NEW_HPP

#include <gtest/gtest.h>

#include <cstddef>
#include <new>

namespace counting_new
{

/// Allocations made since the program started.
std::size_t allocations();

/// Blocks allocated and not yet freed.
std::size_t live_blocks();

/// Makes the k-th allocation from now throw std::bad_alloc (k >= 1); 0 disarms.
void fail_at(std::size_t k);

/// Whether the failure fail_at(k) asked for is still to come.
bool failure_pending();

/// Runs `operation` with the 1st, 2nd, ... allocation failing, until it
/// succeeds. Every failed run must throw std::bad_alloc and leave no block
/// behind; `check` then runs to inspect the state the failure left. An
/// operation that succeeds at once, never reaching the allocation set to
/// fail, allocates nothing and so tests nothing: that fails the test.
template<typename Operation, typename Check>
void fail_each_allocation(Operation operation, Check check)
{
    for (std::size_t k = 1;; ++k)
    {
        const std::size_t live_before = live_blocks();
        bool failed = false;
        fail_at(k);
        try
        {
            operation();
        }
        catch (const std::bad_alloc&)
        {
            failed = true;
        }
        const bool reached = !failure_pending();
        fail_at(0);
        if (!failed)
        {
            EXPECT_TRUE(k > 1 || reached) << "the operation allocated nothing, so no allocation could fail";
            return;
        }
        EXPECT_EQ(live_blocks(), live_before) << "leak after allocation " << k << " failed";
        check();
    }
}

template<typename Operation>
void fail_each_allocation(Operation operation)
{
    fail_each_allocation(operation, [] {});
}

/// Allocations made while `operation` runs.
template<typename Operation>
std::size_t allocations_during(Operation operation)
{
    const std::size_t before = allocations();
    operation();
    return allocations() - before;
}

} // namespace counting_new

#endif

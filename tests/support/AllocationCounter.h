#pragma once

namespace quaverline::test
{

/** Counts heap allocations made on the calling thread while a scope is alive.
    The test program's global operator new reports to it, and so do malloc,
    calloc and realloc (except under AddressSanitizer, which owns those).
*/
class ScopedAllocationCounter
{
public:
    ScopedAllocationCounter();
    ~ScopedAllocationCounter();

    long getCount() const;

    ScopedAllocationCounter (const ScopedAllocationCounter&) = delete;
    ScopedAllocationCounter& operator= (const ScopedAllocationCounter&) = delete;
};

} // namespace quaverline::test

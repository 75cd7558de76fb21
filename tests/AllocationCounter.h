#pragma once

/** Counts heap allocations made on the calling thread while a scope is alive.
    The global operator new of the test program reports to it.
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

#include "tests/support/AllocationCounter.h"

#include <cstdlib>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer owns malloc; only operator new is counted.
#define QUAVERLINE_COUNTS_MALLOC 0
#else
#define QUAVERLINE_COUNTS_MALLOC 1
extern "C" void* __libc_malloc (std::size_t);
extern "C" void* __libc_calloc (std::size_t, std::size_t);
extern "C" void* __libc_realloc (void*, std::size_t);
#endif

namespace
{
thread_local bool counting = false;
thread_local long allocations = 0;

void* rawAllocate (std::size_t size)
{
#if QUAVERLINE_COUNTS_MALLOC
    return __libc_malloc (size);
#else
    return std::malloc (size);
#endif
}

void* allocate (std::size_t size)
{
    if (counting)
        ++allocations;

    if (auto* memory = rawAllocate (size == 0 ? 1 : size))
        return memory;

    throw std::bad_alloc();
}

void* allocateAligned (std::size_t size, std::align_val_t alignment)
{
    if (counting)
        ++allocations;

    const auto align = static_cast<std::size_t> (alignment);

    if (auto* memory = std::aligned_alloc (align, (size + align - 1) / align * align))
        return memory;

    throw std::bad_alloc();
}
} // namespace

namespace quaverline::test
{

ScopedAllocationCounter::ScopedAllocationCounter()
{
    allocations = 0;
    counting = true;
}

ScopedAllocationCounter::~ScopedAllocationCounter()
{
    counting = false;
}

long ScopedAllocationCounter::getCount() const
{
    return allocations;
}

} // namespace quaverline::test

void* operator new (std::size_t size)
{
    return allocate (size);
}
void* operator new[] (std::size_t size)
{
    return allocate (size);
}
void* operator new (std::size_t size, const std::nothrow_t&) noexcept
{
    return rawAllocate (size == 0 ? 1 : size);
}
void* operator new[] (std::size_t size, const std::nothrow_t&) noexcept
{
    return rawAllocate (size == 0 ? 1 : size);
}
void* operator new (std::size_t size, std::align_val_t alignment)
{
    return allocateAligned (size, alignment);
}
void* operator new[] (std::size_t size, std::align_val_t alignment)
{
    return allocateAligned (size, alignment);
}
void operator delete (void* memory) noexcept
{
    std::free (memory);
}
void operator delete[] (void* memory) noexcept
{
    std::free (memory);
}
void operator delete (void* memory, std::size_t) noexcept
{
    std::free (memory);
}
void operator delete[] (void* memory, std::size_t) noexcept
{
    std::free (memory);
}
void operator delete (void* memory, std::align_val_t) noexcept
{
    std::free (memory);
}
void operator delete[] (void* memory, std::align_val_t) noexcept
{
    std::free (memory);
}
void operator delete (void* memory, std::size_t, std::align_val_t) noexcept
{
    std::free (memory);
}
void operator delete[] (void* memory, std::size_t, std::align_val_t) noexcept
{
    std::free (memory);
}

#if QUAVERLINE_COUNTS_MALLOC
// C allocations count too: JUCE's containers allocate with malloc and realloc.
extern "C" void* malloc (std::size_t size)
{
    if (counting)
        ++allocations;

    return __libc_malloc (size);
}

extern "C" void* calloc (std::size_t count, std::size_t size)
{
    if (counting)
        ++allocations;

    return __libc_calloc (count, size);
}

extern "C" void* realloc (void* memory, std::size_t size)
{
    if (counting)
        ++allocations;

    return __libc_realloc (memory, size);
}
#endif

#include "AllocationCounter.h"

#include <cstdlib>
#include <new>

namespace
{
thread_local bool counting = false;
thread_local long allocations = 0;

void* allocate (std::size_t size)
{
    if (counting)
        ++allocations;

    if (auto* memory = std::malloc (size == 0 ? 1 : size))
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

void* operator new (std::size_t size) { return allocate (size); }
void* operator new[] (std::size_t size) { return allocate (size); }
void* operator new (std::size_t size, const std::nothrow_t&) noexcept { return std::malloc (size == 0 ? 1 : size); }
void* operator new[] (std::size_t size, const std::nothrow_t&) noexcept { return std::malloc (size == 0 ? 1 : size); }
void* operator new (std::size_t size, std::align_val_t alignment) { return allocateAligned (size, alignment); }
void* operator new[] (std::size_t size, std::align_val_t alignment) { return allocateAligned (size, alignment); }
void operator delete (void* memory) noexcept { std::free (memory); }
void operator delete[] (void* memory) noexcept { std::free (memory); }
void operator delete (void* memory, std::size_t) noexcept { std::free (memory); }
void operator delete[] (void* memory, std::size_t) noexcept { std::free (memory); }
void operator delete (void* memory, std::align_val_t) noexcept { std::free (memory); }
void operator delete[] (void* memory, std::align_val_t) noexcept { std::free (memory); }
void operator delete (void* memory, std::size_t, std::align_val_t) noexcept { std::free (memory); }
void operator delete[] (void* memory, std::size_t, std::align_val_t) noexcept { std::free (memory); }

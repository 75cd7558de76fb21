#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

namespace quaverline::fuzz
{

/** Reads a fuzzer's bytes as the values of a call sequence. Past the end
    every value reads as zero, so any input is a complete sequence.
*/
class FuzzInput
{
public:
    FuzzInput (const uint8_t* data, std::size_t size)
        : next (data)
        , remaining (size)
    {
    }

    bool isEmpty() const noexcept { return remaining == 0; }

    /** A value of any trivial type, bit for bit: NaNs and infinities included. */
    template <typename T>
    T take() noexcept
    {
        static_assert (std::is_trivially_copyable_v<T>);
        T value {};
        const auto count = std::min (sizeof (T), remaining);
        std::memcpy (&value, next, count);
        next += count;
        remaining -= count;
        return value;
    }

    /** A whole number from minimum to maximum. */
    int64_t takeInRange (int64_t minimum, int64_t maximum) noexcept
    {
        const auto span = static_cast<uint64_t> (maximum - minimum) + 1;
        const auto raw = take<uint64_t>();
        return span == 0 ? static_cast<int64_t> (raw) : minimum + static_cast<int64_t> (raw % span);
    }

    bool takeBool() noexcept { return (take<uint8_t>() & 1) != 0; }

    /** Up to maximum bytes, as many as a length byte pair says. */
    std::vector<uint8_t> takeBytes (std::size_t maximum)
    {
        const auto count =
            std::min<std::size_t> (static_cast<std::size_t> (take<uint16_t>()) % (maximum + 1), remaining);
        std::vector<uint8_t> bytes (next, next + count);
        next += count;
        remaining -= count;
        return bytes;
    }

    std::string takeString (std::size_t maximum)
    {
        const auto bytes = takeBytes (maximum);
        return { bytes.begin(), bytes.end() };
    }

private:
    const uint8_t* next;
    std::size_t remaining;
};

/** Writes values as FuzzInput reads them, for seed inputs. */
class FuzzOutput
{
public:
    template <typename T>
    FuzzOutput& put (T value)
    {
        static_assert (std::is_trivially_copyable_v<T>);
        const auto* bytes = reinterpret_cast<const uint8_t*> (&value);
        data.insert (data.end(), bytes, bytes + sizeof (T));
        return *this;
    }

    FuzzOutput& putBytes (const std::vector<uint8_t>& bytes)
    {
        put (static_cast<uint16_t> (bytes.size()));
        data.insert (data.end(), bytes.begin(), bytes.end());
        return *this;
    }

    FuzzOutput& putString (const std::string& text) { return putBytes ({ text.begin(), text.end() }); }

    std::vector<uint8_t> data;
};

} // namespace quaverline::fuzz

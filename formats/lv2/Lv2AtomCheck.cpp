#include "formats/lv2/Lv2AtomCheck.h"

#include <cstdint>
#include <cstring>

namespace quaverline::lv2
{

namespace
{
constexpr int maximumNesting = 8;

template <typename Header>
Header readHeader (const uint8_t* at) noexcept
{
    Header header;
    std::memcpy (&header, at, sizeof (Header));
    return header;
}

std::size_t padded (std::size_t size) noexcept
{
    return (size + 7) & ~std::size_t (7);
}

/** Whether an atom's body (size bytes at body) holds nothing that runs past it. */
bool isSound (uint32_t type, const uint8_t* body, std::size_t size, const AtomTypes& types, int depth) noexcept
{
    if (type != types.object && type != types.blank)
        return true;

    if (depth > maximumNesting || size < sizeof (LV2_Atom_Object_Body))
        return false;

    for (std::size_t at = sizeof (LV2_Atom_Object_Body); at < size;)
    {
        if (size - at < sizeof (LV2_Atom_Property_Body))
            return false;

        const auto property = readHeader<LV2_Atom_Property_Body> (body + at);
        const auto valueAt = at + sizeof (LV2_Atom_Property_Body);

        if (property.value.size > size - valueAt ||
            ! isSound (property.value.type, body + valueAt, property.value.size, types, depth + 1))
            return false;

        at = valueAt + padded (property.value.size);
    }

    return true;
}
} // namespace

void copySoundEvents (const LV2_Atom_Sequence* source,
                      LV2_Atom_Sequence* destination,
                      std::size_t capacity,
                      const AtomTypes& types) noexcept
{
    auto* const out = reinterpret_cast<uint8_t*> (destination);
    std::size_t written = sizeof (LV2_Atom_Sequence);
    LV2_Atom_Sequence head {};
    head.atom.type = types.sequence;

    if (source != nullptr && source->atom.type == types.sequence &&
        source->atom.size >= sizeof (LV2_Atom_Sequence_Body))
    {
        head.body.unit = source->body.unit;
        const auto* const body = reinterpret_cast<const uint8_t*> (&source->body);
        const std::size_t size = source->atom.size;

        for (std::size_t at = sizeof (LV2_Atom_Sequence_Body); size - at >= sizeof (LV2_Atom_Event);)
        {
            const auto event = readHeader<LV2_Atom_Event> (body + at);
            const auto eventSize = sizeof (LV2_Atom_Event) + std::size_t (event.body.size);

            if (eventSize > size - at)
                break;

            const auto keep = event.body.type != types.midiEvent &&
                              isSound (event.body.type, body + at + sizeof (LV2_Atom_Event), event.body.size, types, 0);

            if (keep && capacity - written >= padded (eventSize))
            {
                std::memcpy (out + written, body + at, eventSize);
                std::memset (out + written + eventSize, 0, padded (eventSize) - eventSize);
                written += padded (eventSize);
            }

            if (padded (eventSize) >= size - at)
                break;

            at += padded (eventSize);
        }
    }

    head.atom.size = static_cast<uint32_t> (written - sizeof (LV2_Atom));
    std::memcpy (destination, &head, sizeof (head));
}

} // namespace quaverline::lv2

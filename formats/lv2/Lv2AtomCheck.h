#pragma once

#include <lv2/atom/atom.h>
#include <lv2/urid/urid.h>

#include <cstddef>

namespace quaverline::lv2
{

/** The atom types the check tells apart, as the host maps them. */
struct AtomTypes
{
    LV2_URID sequence, object, blank, midiEvent;
};

/** Copies the events of the host's input sequence that lie wholly within the
    sequence, and whose objects' properties lie wholly within their objects,
    into destination (capacity bytes, atom header included). An event that
    runs past its sequence ends the copy; MIDI events are left out, since the
    plug-in ignores MIDI. A missing or malformed sequence gives an empty one.
*/
void copySoundEvents (const LV2_Atom_Sequence* source,
                      LV2_Atom_Sequence* destination,
                      std::size_t capacity,
                      const AtomTypes& types) noexcept;

} // namespace quaverline::lv2

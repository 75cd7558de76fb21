#pragma once

namespace quaverline::lv2
{

/** The handle of JUCE's plug-in instance behind one that this layer gave a
    host, or null when the handle is none of this layer's live instances.
*/
void* juceInstanceBehind (const void* handle) noexcept;

} // namespace quaverline::lv2

#pragma once

namespace quaverline::vst2
{

/** The answer to a host's effCanDo query: 1 for what the plug-in does, -1 for
    what it never does, 0 for anything else. The comparison is exact and
    case-sensitive; a null text is unknown.
*/
int canDo (const char* text) noexcept;

} // namespace quaverline::vst2

#pragma once

// Marks the library's entry points. On Linux every other symbol is hidden by
// the linker's version script; the Windows DLL takes its exports, with their
// ordinals, from windows/quaverline_win_64.def.
#if defined(_WIN32)
#define QUAVERLINE_EXPORT
#else
#define QUAVERLINE_EXPORT __attribute__ ((visibility ("default")))
#endif

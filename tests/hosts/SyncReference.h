#pragma once

// What Quaverline Sync's builds must render in the host tests: the engine's
// signal for a host playing from 0 at 120 bpm, at 4 PPQN.

#include "engine/SyncClockRenderer.h"

#include <vector>

namespace quaverline::test::syncReference
{

constexpr int blockSize = 512;
constexpr double sampleRate = 48000.0;

/** What the engine renders for a host playing from 0 at 120 bpm, in blocks. */
inline std::vector<float> engineSignal (const SyncSettings& settings, int numBlocks)
{
    SyncClockRenderer renderer;
    renderer.setSampleRate (sampleRate);
    std::vector<float> signal (size_t (numBlocks * blockSize));

    for (int block = 0; block < numBlocks; ++block)
    {
        SyncTransport host;
        host.transport = { true, 120.0, double (block * blockSize) * 120.0 / (60.0 * sampleRate) };
        renderer.render (signal.data() + block * blockSize, nullptr, blockSize, host, settings);
    }

    return signal;
}

inline SyncSettings atFourPpqn()
{
    SyncSettings settings;
    settings.pulsesPerQuarterNote = 4;
    return settings;
}

/** Resolution's normalised value for 4 PPQN, the third of eight choices. */
constexpr float fourPpqn = 2.0f / 7.0f;

} // namespace quaverline::test::syncReference

#include "tests/support/RandomScenarios.h"

#include "engine/MusicalTime.h"

#include <cmath>
#include <cstdlib>
#include <type_traits>

namespace quaverline::test
{

Scenario randomScenario (std::mt19937_64& random)
{
    const auto pick = [&random] (auto low, auto high)
    {
        using T = decltype (low);
        if constexpr (std::is_integral_v<T>)
            return std::uniform_int_distribution<T> (low, high) (random);
        else
            return std::uniform_real_distribution<T> (low, high) (random);
    };

    static constexpr double rates[] = { 8000.0, 22050.0, 44100.0, 48000.0, 96000.0, 192000.0 };
    static constexpr int sizes[] = { 1, 2, 64, 97, 98, 128, 256, 512, 1024, 2048, 4096 };

    Scenario scenario;
    scenario.sampleRate = pick (0, 9) == 0 ? pick (1.0, 400000.0) : rates[pick (0, 5)];
    scenario.timeSignatureIndex = static_cast<uint8_t> (pick (0, 9) < 7 ? pick (0, 30) : pick (0, 255));

    double bpm = pick (0, 9) == 0 ? pick (0.0, 2000.0) : pick (40.0, 300.0);
    double position = 0.0;

    switch (pick (0, 5))
    {
        case 0:
            position = 0.0;
            break;
        case 1:
            position = pick (-8.0, 64.0);
            break;
        case 2: // near a bar line, a tick or a binade
            position = std::round (pick (0.0, 64.0)) + pick (-0.01, 0.01);
            break;
        case 3:
            position = std::ldexp (1.0, pick (-10, 48)) + pick (-0.05, 0.05);
            break;
        case 4:
            position = pick (0.0, 1.0e6);
            break;
        default:
            position = pick (0.0, 8.0) / 48.0;
            break;
    }

    for (int b = pick (1, 6); b > 0; --b)
    {
        const int size = pick (0, 9) == 0 ? pick (1, 8192) : sizes[pick (0, 10)];
        const bool running = pick (0, 9) != 0;
        scenario.blocks.push_back ({ size, { running, bpm, position } });

        if (running)
            position += musicalTime::quarterNotesIn (size, bpm, scenario.sampleRate);

        switch (pick (0, 9))
        {
            case 0: // a loop back, or a jump
                position = pick (0, 1) == 0 ? std::floor (position / 4.0) * 4.0 - 4.0 : pick (-1.0, 100.0);
                break;
            case 1:
                bpm = pick (20.0, 400.0);
                break;
            default:
                break;
        }
    }

    return scenario;
}

int sweepScenarios()
{
    if (const char* text = std::getenv ("QUAVERLINE_SWEEP_SCENARIOS"))
        return std::atoi (text);

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    return 10000;
#else
    return 100000;
#endif
}

} // namespace quaverline::test

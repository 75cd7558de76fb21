// The tools' argument parsers under any command line: quaverline-render's
// and quaverline-jack's answer with options or a message, and the options
// quaverline-render accepts render at least one sample and at most an hour.

#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzSeeds.h"
#include "tools/jack/JackOptions.h"
#include "tools/render/RenderOptions.h"

namespace
{
using quaverline::fuzz::FuzzInput;
using quaverline::fuzz::FuzzOutput;

std::vector<uint8_t> commandLine (const std::vector<std::string>& arguments)
{
    FuzzOutput out;

    for (const auto& argument : arguments)
        out.putString (argument);

    return out.data;
}
} // namespace

extern "C" int LLVMFuzzerInitialize (int* argc, char*** argv)
{
    quaverline::fuzz::writeSeedsIfAsked (
        *argc,
        *argv,
        {
            commandLine ({ "--tempo", "97", "--time-signature", "7/8", "--start", "0.25" }),
            commandLine (
                { "--sample-rate=44100", "--bars", "3", "--block-size", "64", "--channels", "8", "--bit-depth", "24" }),
            commandLine ({ "--seconds", "2.5", "--output", "a.wav", "--plot", "a.png" }),
            commandLine ({ "--time-signature", " 8/8", "--help" }),
        });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    FuzzInput input (data, size);
    std::vector<std::string> arguments;

    while (! input.isEmpty() && arguments.size() < 32)
        arguments.push_back (input.takeString (64));

    const auto parsed = quaverline::parseRenderOptions (arguments);

    if (parsed.options.has_value() == ! parsed.error.empty())
        __builtin_trap();

    if (parsed.options)
    {
        const auto length = quaverline::lengthInSamples (*parsed.options);

        if (length < 1 || length > static_cast<int64_t> (3600.0 * parsed.options->sampleRate))
            __builtin_trap();
    }

    if (const auto jack = quaverline::parseJackOptions (arguments); jack.options.has_value() == ! jack.error.empty())
        __builtin_trap();

    for (const auto& argument : arguments)
        if (const auto index = quaverline::parseTimeSignature (argument); index && (*index < 0 || *index > 255))
            __builtin_trap();

    return 0;
}

// Quaverline Sync's saved state through its processor, as every format's
// wrapper hands it over: any bytes, in JUCE's binary XML or not, then what it
// saves restored again. The seeds and the dictionary
// (sync-state.dict) carry the framing, the state's words, broken UTF-8 and
// unterminated entities, the texts that made JUCE's XML parser read past its end.

#include "fuzz/FuzzSeeds.h"
#include "plugin/PluginFactory.h"
#include "tests/support/HostileBytes.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>
#include <string>

namespace
{
juce::AudioProcessor& processor()
{
    static const std::unique_ptr<juce::AudioProcessor> instance (createPluginFilter());
    return *instance;
}

std::vector<uint8_t> savedState()
{
    juce::MemoryBlock saved;
    processor().getStateInformation (saved);
    const auto* bytes = static_cast<const uint8_t*> (saved.getData());
    return { bytes, bytes + saved.getSize() };
}

/** A text in JUCE's binary XML framing, as seed bytes. */
std::vector<uint8_t> binaryXml (const std::string& text)
{
    const auto bytes = quaverline::test::hostileBytes::binaryXml (text);
    return { bytes.begin(), bytes.end() };
}
} // namespace

extern "C" int LLVMFuzzerInitialize (int* argc, char*** argv)
{
    // Real and hand-made states, and the texts that broke JUCE's XML parser.
    std::vector<std::vector<uint8_t>> seeds {
        savedState(),
        binaryXml ("<QuaverlineSync version=\"1\"><PARAM id=\"resolution\" "
                   "value=\"2.0\"/><PARAM id=\"offset\" value=\"-1e3\"/></QuaverlineSync>"),
        binaryXml ("<a b=\"&#x41;&amp;\">&lt;&#233;</a>"),
        binaryXml ("<a>\xc3\xa9</a>"),
    };

    for (const auto& text : quaverline::test::hostileBytes::brokenXmlTexts())
        seeds.push_back (binaryXml (text));

    quaverline::fuzz::writeSeedsIfAsked (*argc, *argv, seeds);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    // In a block of exactly its size, as hosts hand state over; then saved
    // and restored again, as a host saves a project.
    const std::vector<uint8_t> bytes (data, data + size);
    processor().setStateInformation (bytes.data(), static_cast<int> (bytes.size()));

    const auto saved = savedState();
    processor().setStateInformation (saved.data(), static_cast<int> (saved.size()));
    return 0;
}

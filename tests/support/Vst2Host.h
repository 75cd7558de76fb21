#pragma once

#include "pluginterfaces/vst2.x/aeffect.h"
#include "pluginterfaces/vst2.x/aeffectx.h"

#include "tests/support/PluginLibrary.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

namespace quaverline::test
{

/** A minimal VST 2.4 host: loads the built plug-in library as a host does
    and answers the plug-in's callbacks. One host is current at a time, since
    the callback carries no pointer of the host's own.
*/
class Vst2Host
{
public:
    using EntryPoint = AEffect* (*) (audioMasterCallback);

    Vst2Host() { current = this; }
    ~Vst2Host() { current = nullptr; }

    static EntryPoint entryPoint()
    {
        // Loaded once and kept: hosts rarely unload, and JUCE's threads live in it.
        static void* const library = openPluginLibrary (QUAVERLINE_VST2_PATH);
        return pluginEntryPoint<EntryPoint> (library, "VSTPluginMain");
    }

    AEffect* load() { return entryPoint() (callback); }

    // What the host answers.
    VstIntPtr versionAnswer = 2400;
    VstIntPtr processLevel = 2; // realtime
    bool givesTimeInfo = true;
    VstTimeInfo timeInfo {};

    struct Automation
    {
        int index;
        float value;
        bool operator== (const Automation& other) const { return index == other.index && value == other.value; }
    };

    std::vector<Automation> takeAutomations()
    {
        std::lock_guard<std::mutex> lock (mutex);
        return std::exchange (automations, {});
    }

    std::size_t numAutomations()
    {
        std::lock_guard<std::mutex> lock (mutex);
        return automations.size();
    }

private:
    static VstIntPtr callback (AEffect*, int opcode, int index, VstIntPtr, void*, float opt)
    {
        auto* host = current;

        if (host == nullptr)
            return 0;

        {
            std::lock_guard<std::mutex> lock (host->mutex);
            if (opcode == audioMasterAutomate)
                host->automations.push_back ({ index, opt });
        }

        switch (opcode)
        {
            case audioMasterVersion:
                return host->versionAnswer;
            case audioMasterGetTime:
                return host->givesTimeInfo ? reinterpret_cast<VstIntPtr> (&host->timeInfo) : 0;
            case audioMasterGetCurrentProcessLevel:
                return host->processLevel;
            default:
                return 0;
        }
    }

    inline static Vst2Host* current = nullptr;

    std::mutex mutex;
    std::vector<Automation> automations;
};

/** One plug-in instance, opened as hosts open it and closed at the end. */
class Vst2HostTest : public testing::Test
{
protected:
    Vst2HostTest()
        : effect (host.load())
    {
    }

    void SetUp() override
    {
        ASSERT_NE (effect, nullptr);
        dispatch (effOpen);
    }

    void TearDown() override
    {
        if (effect != nullptr)
            dispatch (effClose);
    }

    VstIntPtr dispatch (int opcode, int index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f)
    {
        return effect->dispatcher (effect, opcode, index, value, ptr, opt);
    }

    void resume (float sampleRate, int blockSize)
    {
        dispatch (effSetSampleRate, 0, 0, nullptr, sampleRate);
        dispatch (effSetBlockSize, 0, blockSize);
        dispatch (effMainsChanged, 0, 1);
    }

    void setTransport (double bpm, double ppqPosition, double sampleRate, bool playing = true)
    {
        host.timeInfo = {};
        host.timeInfo.sampleRate = sampleRate;
        host.timeInfo.tempo = bpm;
        host.timeInfo.ppqPos = ppqPosition;
        host.timeInfo.flags = kVstTempoValid | kVstPpqPosValid | (playing ? kVstTransportPlaying : 0);
    }

    /** Renders blocks into two host buffers, moving the host's transport on by
        the block length each time; returns the first channel.
    */
    std::vector<float> render (int numBlocks, int blockSize, double bpm, double startPosition, double sampleRate)
    {
        std::vector<float> signal;
        std::vector<float> left (static_cast<size_t> (blockSize)), right (left.size());

        for (int block = 0; block < numBlocks; ++block)
        {
            const auto done = double (block) * blockSize;
            setTransport (bpm, startPosition + done * bpm / (60.0 * sampleRate), sampleRate);
            float* outputs[] = { left.data(), right.data() };
            effect->processReplacing (effect, nullptr, outputs, blockSize);
            EXPECT_EQ (left, right) << "block " << block;
            signal.insert (signal.end(), left.begin(), left.end());
        }

        return signal;
    }

    /** Sends idle requests, as hosts do while an editor exists, until the plug-in
        has sent at least count automations; gives up after thirty seconds, as
        long as a busy machine may take.
    */
    bool idleUntilAutomations (std::size_t count)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds (30);

        while (host.numAutomations() < count && std::chrono::steady_clock::now() < deadline)
        {
            dispatch (effEditIdle);
            dispatchWindowMessages();
            std::this_thread::sleep_for (std::chrono::milliseconds (5));
        }

        return host.numAutomations() >= count;
    }

    /** A Windows host's GUI thread runs the message loop, through which JUCE
        delivers its posted messages; on Linux effEditIdle does that.
    */
    static void dispatchWindowMessages()
    {
#if defined(_WIN32)
        MSG message;

        while (PeekMessageA (&message, nullptr, 0, 0, PM_REMOVE))
        {
            TranslateMessage (&message);
            DispatchMessageA (&message);
        }
#endif
    }

    std::string stringAnswer (int opcode, int index = 0)
    {
        char text[256];
        std::memset (text, 'x', sizeof (text));
        text[sizeof (text) - 1] = '\0';
        dispatch (opcode, index, 0, text);
        return text;
    }

    Vst2Host host;
    AEffect* effect = nullptr;
};

} // namespace quaverline::test

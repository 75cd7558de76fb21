// The VST3 plug-in while its audio thread runs: the host's controller sets the
// parameter and the host saves and restores the component's state from
// another thread. Built with ThreadSanitizer (scripts/test-threads), any data
// race fails this test.

#include "tests/support/Vst3Host.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace quaverline::test
{

using namespace vst3host;

TEST (Vst3Threads, AudioAndHostTogether)
{
    Vst3Host host;
    ASSERT_TRUE (host.open());

    Vst::ProcessSetup setup { Vst::kRealtime, Vst::kSample32, 256, 48000.0 };
    ASSERT_EQ (host.processor->setupProcessing (setup), kResultOk);
    ASSERT_EQ (host.component->activateBus (Vst::kAudio, Vst::kOutput, 0, true), kResultOk);
    ASSERT_EQ (host.component->setActive (true), kResultOk);
    host.processor->setProcessing (true);

    Vst::ParameterInfo info {};
    ASSERT_EQ (host.controller->getParameterInfo (0, info), kResultOk);

    std::atomic<bool> audioDone { false };
    std::thread audio (
        [&]
        {
            std::vector<float> left (256), right (256);
            float* channels[] = { left.data(), right.data() };
            Vst::AudioBusBuffers output {};
            output.numChannels = 2;
            output.channelBuffers32 = channels;

            Vst::ProcessContext context {};
            context.state = Vst::ProcessContext::kPlaying | Vst::ProcessContext::kTempoValid |
                            Vst::ProcessContext::kProjectTimeMusicValid;
            context.sampleRate = 48000.0;
            context.tempo = 120.0;

            for (int block = 0; block < 2000; ++block)
            {
                ParameterChanges changes;
                changes.queues.emplace_back (info.id, double (block % 31) / 30.0);
                Vst::ProcessData data {};
                data.symbolicSampleSize = Vst::kSample32;
                data.numSamples = 256;
                data.numOutputs = 1;
                data.outputs = &output;
                data.processContext = &context;
                data.inputParameterChanges = block % 16 == 0 ? &changes : nullptr;
                host.processor->process (data);
                context.projectTimeMusic += 256 * 120.0 / (60.0 * 48000.0);
            }

            audioDone = true;
        });

    for (int step = 0; ! audioDone || step < 200; ++step)
    {
        host.controller->setParamNormalized (info.id, double (step % 31) / 30.0);
        host.controller->getParamNormalized (info.id);
        host.loadState (host.saveState());
    }

    audio.join();
    host.processor->setProcessing (false);
    host.component->setActive (false);
}

} // namespace quaverline::test

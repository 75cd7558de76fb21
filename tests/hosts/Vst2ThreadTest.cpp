// The VST 2.4 plug-in while its audio thread runs: the host automates the
// parameter, saves and restores chunks and switches the bypass from another
// thread, as hosts do. Built with ThreadSanitizer (scripts/test-threads),
// any data race fails this test.

#include "tests/support/Vst2Host.h"

#include <atomic>
#include <thread>

namespace quaverline::test
{

TEST_F (Vst2HostTest, ThreadsAudioAndHostTogether)
{
    resume (48000.0f, 256);
    setTransport (120.0, 0.0, 48000.0);

    std::atomic<bool> audioDone { false };
    std::thread audio (
        [&]
        {
            std::vector<float> left (300), right (300);
            float* outputs[] = { left.data(), right.data() };

            for (int block = 0; block < 2000; ++block)
                effect->processReplacing (effect, nullptr, outputs, block % 2 == 0 ? 256 : 300);

            audioDone = true;
        });

    for (int step = 0; ! audioDone || step < 200; ++step)
    {
        effect->setParameter (effect, 0, float (step % 31) / 30.0f);
        effect->getParameter (effect, 0);

        void* chunk = nullptr;
        const auto size = dispatch (effGetChunk, 0, 0, &chunk);
        std::vector<uint8_t> saved (static_cast<const uint8_t*> (chunk), static_cast<const uint8_t*> (chunk) + size);
        dispatch (effSetChunk, 0, static_cast<VstIntPtr> (saved.size()), saved.data());
        dispatch (effSetBypass, 0, step % 7 == 0);
    }

    audio.join();
}

} // namespace quaverline::test

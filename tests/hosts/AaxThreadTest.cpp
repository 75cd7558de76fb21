// The AAX face while its audio callback runs: the host sets parameters and
// saves and restores chunks from another thread. Built with ThreadSanitizer
// (scripts/test-threads), any data race fails this test.

#include "AAX.h"
#include "tests/support/AaxHost.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace quaverline::test
{

TEST (AaxThreads, AudioAndHostTogether)
{
    const aaxhost::Scan scan;
    ASSERT_EQ (scan.result, 0);
    aaxhost::Instance instance (scan);
    ASSERT_EQ (instance.initialise(), 0);
    instance.transport.playing = true;

    std::atomic<bool> audioDone { false };
    std::thread audio (
        [&]
        {
            for (int block = 0; block < 2000; ++block)
                instance.process (256);

            audioDone = true;
        });

    for (int step = 0; ! audioDone || step < 200; ++step)
    {
        instance.parameters->SetParameterNormalizedValue ("0", double (step % 31) / 30.0);
        double value = 0.0;
        instance.parameters->GetParameterNormalizedValue ("0", &value);

        uint32_t size = 0;
        ASSERT_EQ (instance.parameters->GetChunkSize (aaxhost::stateChunkID, &size), 0);
        std::vector<uint8_t> memory (sizeof (AAX_SPlugInChunkHeader) + size);
        auto* chunk = reinterpret_cast<AAX_SPlugInChunk*> (memory.data());
        chunk->fSize = static_cast<int32_t> (size);
        ASSERT_EQ (instance.parameters->GetChunk (aaxhost::stateChunkID, chunk), 0);
        instance.parameters->SetChunk (aaxhost::stateChunkID, chunk);
    }

    audio.join();
}

} // namespace quaverline::test

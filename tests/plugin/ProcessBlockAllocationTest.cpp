#include "tests/plugin/ProcessorFixture.h"
#include "tests/support/AllocationCounter.h"
#include "tests/support/CaseName.h"

namespace quaverline::test
{

struct AllocationCase
{
    const char* name;
    int numChannels;
    int blockSize;
    std::function<void (FakePlayHead&)> setUp;
};

void PrintTo (const AllocationCase& c, std::ostream* os)
{
    *os << c.name;
}

class ProcessBlockAllocations : public ProcessorTest, public testing::WithParamInterface<AllocationCase>
{
};

TEST_P (ProcessBlockAllocations, AllocateNothing)
{
    const auto& c = GetParam();
    prepare (sampleRate, 64); // blocks are longer than announced
    c.setUp (playHead);

    juce::AudioBuffer<float> buffer (c.numChannels, c.blockSize);
    juce::MidiBuffer midi;
    midi.addEvent (juce::MidiMessage::noteOn (1, 60, 0.5f), 0);

    ScopedAllocationCounter counter;

    for (int block = 0; block < 8; ++block)
        processor->processBlock (buffer, midi);

    EXPECT_EQ (counter.getCount(), 0);
}

INSTANTIATE_TEST_SUITE_P (
    ProcessorTest,
    ProcessBlockAllocations,
    testing::Values (AllocationCase { "Stopped", 2, 4096, [] (FakePlayHead&) {} },
                     AllocationCase { "Counting", 2, 4096, [] (FakePlayHead& p) { p.play (120.0, 0.0); } },
                     AllocationCase { "DoubleRate", 8, 4096, [] (FakePlayHead& p) { p.play (120.0, 0.25); } },
                     AllocationCase { "OddBlock", 3, 1, [] (FakePlayHead& p) { p.play (97.3, 0.0); } }),
    caseName<AllocationCase>);

TEST (AllocationCounter, SeesAnAllocation)
{
    ScopedAllocationCounter counter;
    auto allocated = std::make_unique<int> (1);
    EXPECT_EQ (counter.getCount(), 1);
}

} // namespace quaverline::test

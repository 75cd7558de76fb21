// The VST3 plug-in driven as a careless VST3 host might drive it, through its
// interfaces: saved state of any content, any process set-up, activation and
// bus arrangement in any order, blocks of any length with any process
// context and parameter changes, and parameter calls with any index, ID,
// value and text.

#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzSeeds.h"
#include "tests/support/Vst3Host.h"

namespace
{
using namespace quaverline::test::vst3host;
using quaverline::fuzz::FuzzInput;
using quaverline::fuzz::FuzzOutput;

constexpr int maximumBlock = 20000;
constexpr int maximumChannels = 8;

Vst::ParamID takeParameterId (FuzzInput& input, Vst::IEditController& controller)
{
    Vst::ParameterInfo info {};

    if (input.takeBool() &&
        controller.getParameterInfo (static_cast<int32> (input.takeInRange (0, 1)), info) == kResultOk)
        return info.id;

    return input.take<Vst::ParamID>();
}

void process (Vst3Host& host, FuzzInput& input)
{
    static double samples[maximumChannels][maximumBlock];
    const auto numSamples = static_cast<int32> (input.takeInRange (-2, maximumBlock));
    const auto isDouble = input.takeBool();

    void* channels[maximumChannels];
    for (int channel = 0; channel < maximumChannels; ++channel)
        channels[channel] = input.takeBool() ? samples[channel] : nullptr;

    Vst::AudioBusBuffers output {};
    output.numChannels = static_cast<int32> (input.takeInRange (0, maximumChannels));
    output.channelBuffers32 = input.takeBool() ? reinterpret_cast<float**> (channels) : nullptr;

    Vst::ProcessContext context {};
    context.state = input.take<uint32>();
    context.sampleRate = input.take<double>();
    context.projectTimeSamples = input.take<int64>();
    context.projectTimeMusic = input.take<double>();
    context.tempo = input.take<double>();

    ParameterChanges changes;
    while (input.takeBool() && changes.queues.size() < 4)
        changes.queues.emplace_back (takeParameterId (input, *host.controller.get()), input.take<double>());

    Vst::ProcessData data {};
    data.processMode = static_cast<int32> (input.takeInRange (0, 2));
    data.symbolicSampleSize = isDouble ? Vst::kSample64 : Vst::kSample32;
    data.numSamples = numSamples;
    data.numOutputs = static_cast<int32> (input.takeInRange (0, 1));
    data.outputs = data.numOutputs > 0 ? &output : nullptr;
    data.processContext = input.takeBool() ? &context : nullptr;
    data.inputParameterChanges = input.takeBool() ? &changes : nullptr;
    host.processor->process (data);
}

void arrange (Vst3Host& host, FuzzInput& input)
{
    Vst::SpeakerArrangement inputs[2], outputs[2];

    for (auto* arrangement : { &inputs[0], &inputs[1], &outputs[0], &outputs[1] })
        *arrangement = input.takeBool() ? Vst::SpeakerArr::kStereo : input.take<Vst::SpeakerArrangement>();

    const auto numIns = static_cast<int32> (input.takeInRange (-1, 2));
    const auto numOuts = static_cast<int32> (input.takeInRange (-1, 2));
    host.processor->setBusArrangements (
        input.takeBool() ? inputs : nullptr, numIns, input.takeBool() ? outputs : nullptr, numOuts);
}

void callController (Vst3Host& host, FuzzInput& input)
{
    auto& controller = *host.controller.get();
    Vst::ParameterInfo info {};
    controller.getParameterInfo (static_cast<int32> (input.takeInRange (-2, 4)), info);

    const auto id = takeParameterId (input, controller);
    const auto value = input.take<double>();
    Vst::String128 text {};
    controller.getParamStringByValue (id, value, text);

    auto typed = input.takeBytes (64);
    typed.resize ((typed.size() + 1) / 2 * 2 + 2, 0); // whole characters, then a zero
    Vst::ParamValue parsed = 0.0;
    controller.getParamValueByString (id, reinterpret_cast<Vst::TChar*> (typed.data()), parsed);

    controller.normalizedParamToPlain (id, value);
    controller.plainParamToNormalized (id, value);
    controller.setParamNormalized (id, value);
    controller.getParamNormalized (id);
}
} // namespace

extern "C" int LLVMFuzzerInitialize (int* argc, char*** argv)
{
    const auto setup = FuzzOutput()
                           .put (uint8_t (2))
                           .put (uint8_t (0))
                           .put (int32 (512))
                           .put (48000.0)
                           .put (uint8_t (3))
                           .put (uint8_t (1))
                           .put (uint8_t (7))
                           .put (uint8_t (1));
    auto playing = setup;
    playing.put (uint8_t (5)).put (uint64_t (4098)).put (uint8_t (0));

    for (int channel = 0; channel < maximumChannels; ++channel)
        playing.put (uint8_t (1));

    playing.put (uint64_t (2))
        .put (uint8_t (1))
        .put (uint32 (Vst::ProcessContext::kPlaying | Vst::ProcessContext::kTempoValid |
                      Vst::ProcessContext::kProjectTimeMusicValid));
    playing.put (48000.0)
        .put (int64 (0))
        .put (0.0)
        .put (120.0)
        .put (uint8_t (0))
        .put (uint64_t (0))
        .put (uint64_t (1))
        .put (uint8_t (1))
        .put (uint8_t (0));

    // States whose end JUCE's wrapper reads for its private data: one ending in
    // a cut UTF-8 sequence, and one whose private data claims more bytes than
    // the state has.
    std::vector<uint8_t> brokenEnd (30, 'x');
    brokenEnd.back() = 0xf4;
    std::vector<uint8_t> lyingSize { 12, 0, 0, 0, 0, 0, 0, 0, 0, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0x7f };
    const std::string identifier = "JUCEPrivateData";
    lyingSize.insert (lyingSize.end(), identifier.begin(), identifier.end());

    quaverline::fuzz::writeSeedsIfAsked (*argc,
                                         *argv,
                                         { playing.data,
                                           FuzzOutput().put (uint8_t (0)).putBytes ({ 12 }).data,
                                           FuzzOutput().put (uint8_t (0)).putBytes (brokenEnd).data,
                                           FuzzOutput().put (uint8_t (0)).putBytes (lyingSize).data,
                                           FuzzOutput().put (uint8_t (6)).put (uint64_t (0)).data });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    Vst3Host host;

    if (! host.open())
        __builtin_trap();

    FuzzInput input (data, size);

    for (int step = 0; step < 32 && ! input.isEmpty(); ++step)
    {
        switch (input.take<uint8_t>() % 8)
        {
            case 0:
            {
                MemoryStream stream (input.takeBytes (1024));
                host.component->setState (&stream);
                break;
            }

            case 1:
            {
                MemoryStream stream (input.takeBytes (1024));
                host.controller->setComponentState (&stream);
                break;
            }

            case 2:
            {
                Vst::ProcessSetup setup { Vst::kRealtime,
                                          input.takeBool() ? Vst::kSample64 : Vst::kSample32,
                                          input.take<int32>(),
                                          input.take<double>() };
                host.processor->setupProcessing (setup);
                break;
            }

            case 3:
                host.component->setActive (input.takeBool());
                break;

            case 4:
                arrange (host, input);
                break;

            case 5:
                process (host, input);
                break;

            case 6:
                callController (host, input);
                break;

            default:
                host.processor->setProcessing (input.takeBool());
                break;
        }
    }

    host.component->setActive (false);
    return 0;
}

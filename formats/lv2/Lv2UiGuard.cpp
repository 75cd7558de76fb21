// The plug-in UI's LV2 entry point, in front of JUCE's. JUCE's UI reaches the
// plug-in through the host's instance access, and takes what it is given for
// JUCE's own instance; hosts give the handle they hold, which is the guard's
// (Lv2Guard.cpp). Here the UI gets JUCE's instance behind it instead, and a
// host without instance access, or with a handle that is none of ours, gets
// no UI rather than a crash.

#include "formats/lv2/Lv2Instances.h"

#include <lv2/core/lv2.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/ui/ui.h>

#include <cstring>
#include <vector>

// JUCE's own UI entry point, renamed at compile time so that this one is the
// only way in.
extern "C" const LV2UI_Descriptor* juceLv2UiDescriptor (uint32_t index);

namespace
{
const LV2UI_Descriptor& juceUiDescriptor()
{
    static const LV2UI_Descriptor* const descriptor = juceLv2UiDescriptor (0);
    return *descriptor;
}

LV2UI_Handle instantiate (const LV2UI_Descriptor*,
                          const char* pluginUri,
                          const char* bundlePath,
                          LV2UI_Write_Function writeFunction,
                          LV2UI_Controller controller,
                          LV2UI_Widget* widget,
                          const LV2_Feature* const* features)
{
    if (features == nullptr || widget == nullptr)
        return nullptr;

    void* plugin = nullptr;
    std::vector<LV2_Feature> juceFeatures;

    // JUCE compares every feature's URI: features without one are left out.
    for (auto* const* feature = features; *feature != nullptr; ++feature)
    {
        if ((*feature)->URI == nullptr)
            continue;

        if (std::strcmp ((*feature)->URI, LV2_INSTANCE_ACCESS_URI) == 0)
        {
            plugin = quaverline::lv2::juceInstanceBehind ((*feature)->data);
            juceFeatures.push_back ({ LV2_INSTANCE_ACCESS_URI, plugin });
        }
        else
        {
            juceFeatures.push_back (**feature);
        }
    }

    if (plugin == nullptr)
        return nullptr;

    std::vector<const LV2_Feature*> pointers;

    for (const auto& feature : juceFeatures)
        pointers.push_back (&feature);

    pointers.push_back (nullptr);
    return juceUiDescriptor().instantiate (
        &juceUiDescriptor(), pluginUri, bundlePath, writeFunction, controller, widget, pointers.data());
}

const void* extensionData (const char* uri)
{
    return uri != nullptr ? juceUiDescriptor().extension_data (uri) : nullptr;
}
} // namespace

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor (uint32_t index)
{
    static const LV2UI_Descriptor descriptor {
        juceUiDescriptor().URI, instantiate, juceUiDescriptor().cleanup, juceUiDescriptor().port_event, extensionData
    };
    return index == 0 ? &descriptor : nullptr;
}

#include "AAX_Exports.h"

#include "CACFUnknown.h"

#include <memory>

namespace
{
/** The host's service interface, kept for the library's lifetime. */
class AAX_VHostServices
{
public:
    explicit AAX_VHostServices (IACFUnknown* hostServices)
        : host (hostServices)
    {
    }
    IACFUnknown* get() const noexcept { return host; }

private:
    IACFUnknown* host;
};

std::unique_ptr<AAX_VHostServices> hostServices;

/** Runs an entry point's body; anything it throws becomes the unexpected result. */
template <typename Body>
AAX_Result guarded (Body&& body) noexcept
{
    try
    {
        return body();
    }
    catch (...)
    {
        return aax::result::unexpected;
    }
}
} // namespace

extern "C"
{
    AAX_EXPORT AAX_Result ACFRegisterPlugin (IACFUnknown*, IACFPluginDefinition** definition)
    {
        return guarded (
            [definition]
            {
                auto collection = std::make_unique<AAX_CCollection>();
                const auto described = GetEffectDescriptions (collection.get());

                if (described != aax::result::success)
                    return described;

                if (definition == nullptr)
                    return aax::result::nullObject;

                *definition = collection.release();
                return aax::result::success;
            });
    }

    AAX_EXPORT AAX_Result ACFRegisterComponent (IACFUnknown*, uint32_t, void** definition)
    {
        if (definition != nullptr)
            *definition = nullptr;

        return aax::result::success;
    }

    AAX_EXPORT AAX_Result ACFGetClassFactory (IACFUnknown*, const void*, const void*, void** factory)
    {
        if (factory != nullptr)
            *factory = nullptr;

        return aax::result::unimplemented;
    }

    AAX_EXPORT AAX_Result ACFCanUnloadNow()
    {
        return CACFUnknown::GetActiveObjectCount();
    }

    AAX_EXPORT AAX_Result ACFStartup (IACFUnknown* host)
    {
        return guarded (
            [host]
            {
                if (hostServices == nullptr)
                    hostServices = std::make_unique<AAX_VHostServices> (host);

                return aax::result::success;
            });
    }

    AAX_EXPORT AAX_Result ACFShutdown()
    {
        return guarded (
            []
            {
                hostServices.reset();
                return aax::result::success;
            });
    }

    AAX_EXPORT AAX_Result ACFGetSDKVersion (uint64_t* version)
    {
        if (version != nullptr)
            *version = aax::sdkVersion;

        return aax::result::success;
    }
}

#include "AAX_Exports.h"

#include "AAX_VDescriptions.h"
#include "CACFUnknown.h"

#include <memory>

namespace
{
/** Anything thrown inside an entry point. */
constexpr AAX_Result ACF_E_UNEXPECTED = static_cast<AAX_Result> (0x8000FFFFu);

/** The SDK version the library reports: version 0x0202, revision 10694978. */
constexpr uint64_t sdkVersion = 0x0000020200A32D42ull;

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
        return ACF_E_UNEXPECTED;
    }
}
} // namespace

extern "C"
{
    AAX_EXPORT AAX_Result ACFRegisterPlugin (IACFUnknown*, IACFPluginDefinition** definition)
    {
        return guarded (
            [definition]() -> AAX_Result
            {
                auto collection = std::make_unique<AAX_VCollection>();
                const auto described = GetEffectDescriptions (collection.get());

                if (described != AAX_SUCCESS)
                    return described;

                if (definition == nullptr)
                    return AAX_ERROR_NULL_OBJECT;

                *definition = collection.release();
                return AAX_SUCCESS;
            });
    }

    AAX_EXPORT AAX_Result ACFRegisterComponent (IACFUnknown*, uint32_t, void** definition)
    {
        if (definition != nullptr)
            *definition = nullptr;

        return AAX_SUCCESS;
    }

    AAX_EXPORT AAX_Result ACFGetClassFactory (IACFUnknown*, const void*, const void*, void** factory)
    {
        if (factory != nullptr)
            *factory = nullptr;

        return AAX_ERROR_UNIMPLEMENTED;
    }

    AAX_EXPORT AAX_Result ACFCanUnloadNow()
    {
        return CACFUnknown::GetActiveObjectCount();
    }

    AAX_EXPORT AAX_Result ACFStartup (IACFUnknown* host)
    {
        return guarded (
            [host]() -> AAX_Result
            {
                if (hostServices == nullptr)
                    hostServices = std::make_unique<AAX_VHostServices> (host);

                return AAX_SUCCESS;
            });
    }

    AAX_EXPORT AAX_Result ACFShutdown()
    {
        return guarded (
            []() -> AAX_Result
            {
                hostServices.reset();
                return AAX_SUCCESS;
            });
    }

    AAX_EXPORT AAX_Result ACFGetSDKVersion (uint64_t* version)
    {
        if (version != nullptr)
            *version = sdkVersion;

        return AAX_SUCCESS;
    }
}

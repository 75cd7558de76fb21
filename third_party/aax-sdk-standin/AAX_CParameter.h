#pragma once

#include "AAX_IDisplayDelegate.h"
#include "AAX_IParameter.h"
#include "AAX_ITaperDelegate.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

/** A published parameter of value type T: a taper turns normalised values
    into real ones and back, a display delegate real values into text and back.
    The delegates are copied.
*/
template <typename T>
class AAX_CParameter final : public AAX_IParameter
{
public:
    AAX_CParameter (AAX_CParamID identifier,
                    const AAX_IString& name,
                    T defaultValue,
                    const AAX_ITaperDelegate<T>& taperDelegate,
                    const AAX_IDisplayDelegate<T>& displayDelegate,
                    bool automatable = false)
        : id (identifier != nullptr ? identifier : "")
        , fullName (name.Get())
        , defaultReal (defaultValue)
        , real (defaultValue)
        , taper (taperDelegate.Clone())
        , display (displayDelegate.Clone())
        , isAutomatable (automatable)
    {
    }

    AAX_CParamID Identifier() const override { return id.c_str(); }
    const AAX_CString& Name() const override { return fullName; }

    void AddShortenedName (const AAX_IString& name) override { shortenedNames.emplace_back (name.Get()); }

    AAX_CString ShortenedName (int32_t numCharacters) const override
    {
        const auto limit = static_cast<size_t> (std::max<int32_t> (numCharacters, 0));

        if (fullName.StdString().size() <= limit)
            return fullName;

        std::string best;
        for (const auto& shortened : shortenedNames)
            if (shortened.size() <= limit && shortened.size() > best.size())
                best = shortened;

        return AAX_CString (best.empty() ? fullName.StdString().substr (0, limit) : best);
    }

    double GetNormalizedValue() const override { return taper->RealToNormalized (real.load()); }
    double GetNormalizedDefaultValue() const override { return taper->RealToNormalized (defaultReal); }
    void UpdateNormalizedValue (double newNormalizedValue) override
    {
        real = taper->NormalizedToReal (newNormalizedValue);
    }

    void SetNormalizedValue (double newNormalizedValue) override
    {
        if (automation == nullptr)
        {
            UpdateNormalizedValue (newNormalizedValue);
            return;
        }

        Touch();
        automation->PostSetValueRequest (Identifier(), newNormalizedValue);
        Release();
    }

    bool GetValueStringFromNormalizedValue (double normalizedValue,
                                            int32_t maxNumChars,
                                            AAX_CString& valueString) const override
    {
        return display->ValueToString (taper->NormalizedToReal (normalizedValue), maxNumChars, &valueString);
    }

    bool GetNormalizedValueFromString (const AAX_CString& valueString, double* normalizedValue) const override
    {
        T value {};

        if (! display->StringToValue (valueString, &value))
            return false;

        *normalizedValue = taper->RealToNormalized (value);
        return true;
    }

    uint32_t GetNumberOfSteps() const override { return steps; }
    void SetNumberOfSteps (uint32_t numSteps) override { steps = numSteps; }
    AAX_EParameterType GetType() const override { return type; }
    void SetType (AAX_EParameterType newType) override { type = newType; }
    AAX_EParameterOrientation GetOrientation() const override { return orientation; }
    void SetOrientation (AAX_EParameterOrientation newOrientation) override { orientation = newOrientation; }
    bool Automatable() const override { return isAutomatable; }

    void Touch() override
    {
        if (automation != nullptr)
            automation->PostTouchRequest (Identifier());
    }

    void Release() override
    {
        if (automation != nullptr)
            automation->PostReleaseRequest (Identifier());
    }

    void SetAutomationDelegate (AAX_IAutomationDelegate* automationDelegate) override
    {
        automation = automationDelegate;
    }

private:
    const std::string id;
    const AAX_CString fullName;
    std::vector<std::string> shortenedNames;
    const T defaultReal;
    std::atomic<T> real;
    std::unique_ptr<AAX_ITaperDelegate<T>> taper;
    std::unique_ptr<AAX_IDisplayDelegate<T>> display;
    const bool isAutomatable;
    uint32_t steps = 2;
    AAX_EParameterOrientation orientation = AAX_eParameterOrientation_Default;
    AAX_EParameterType type = AAX_eParameterType_Discrete;
    AAX_IAutomationDelegate* automation = nullptr;
};

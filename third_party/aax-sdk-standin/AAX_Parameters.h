#pragma once

// The SDK's published parameters: value objects with a taper (normalised to
// real value and back), a display rule (value to text and back), steps, type
// and orientation, and the parameter manager that holds them. A parameter set
// by the plug-in goes through the host's automation when there is one.

#include "AAX.h"
#include "AAX_HostInterfaces.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

enum class AAX_EParameterType
{
    discrete = 0,
    continuous = 1
};

/** Normalised values to real ones and back. */
template <typename T>
class AAX_ITaperDelegate
{
public:
    virtual ~AAX_ITaperDelegate() = default;
    virtual T NormalizedToReal (double normalized) const = 0;
    virtual double RealToNormalized (T real) const = 0;
};

template <typename T>
class AAX_CBinaryTaperDelegate final : public AAX_ITaperDelegate<T>
{
public:
    T NormalizedToReal (double normalized) const override { return normalized > 0.0; }
    double RealToNormalized (T real) const override { return real ? 1.0 : 0.0; }
};

/** Linear between two real values; values outside 0..1 are taken as they are. */
template <typename T>
class AAX_CLinearTaperDelegate final : public AAX_ITaperDelegate<T>
{
public:
    AAX_CLinearTaperDelegate (T minimumValue, T maximumValue)
        : minimum (minimumValue)
        , maximum (maximumValue)
    {
    }
    T NormalizedToReal (double normalized) const override
    {
        return static_cast<T> (minimum + normalized * (maximum - minimum));
    }
    double RealToNormalized (T real) const override
    {
        return (static_cast<double> (real) - minimum) / (static_cast<double> (maximum) - minimum);
    }

private:
    T minimum, maximum;
};

/** Real values to text and back. */
template <typename T>
class AAX_IDisplayDelegate
{
public:
    virtual ~AAX_IDisplayDelegate() = default;
    virtual std::string ValueToString (T value, int32_t maximumLength) const = 0;
    virtual bool StringToValue (const std::string& text, T& value) const = 0;
};

template <typename T>
class AAX_CBinaryDisplayDelegate final : public AAX_IDisplayDelegate<T>
{
public:
    AAX_CBinaryDisplayDelegate (std::string offText, std::string onText)
        : off (std::move (offText))
        , on (std::move (onText))
    {
    }

    std::string ValueToString (T value, int32_t maximumLength) const override
    {
        return (value ? on : off).substr (0, static_cast<size_t> (std::max<int32_t> (maximumLength, 0)));
    }

    bool StringToValue (const std::string& text, T& value) const override
    {
        if (text != on && text != off)
            return false;

        value = text == on;
        return true;
    }

private:
    std::string off, on;
};

/** A number with a fixed count of decimals and no unit. */
template <typename T, int decimals>
class AAX_CNumberDisplayDelegate final : public AAX_IDisplayDelegate<T>
{
public:
    std::string ValueToString (T value, int32_t maximumLength) const override
    {
        char text[64];
        std::snprintf (text, sizeof (text), "%.*f", decimals, static_cast<double> (value));
        return std::string (text).substr (0, static_cast<size_t> (std::max<int32_t> (maximumLength, 0)));
    }

    bool StringToValue (const std::string& text, T& value) const override
    {
        char* end = nullptr;
        const auto parsed = std::strtod (text.c_str(), &end);

        if (end == text.c_str() || ! std::isfinite (parsed))
            return false;

        value = static_cast<T> (parsed);
        return true;
    }
};

/** A published parameter as the host and the SDK base see it. */
class AAX_IParameter
{
public:
    virtual ~AAX_IParameter() = default;

    virtual const std::string& Identifier() const = 0;
    virtual const std::string& Name() const = 0;
    /** The longest of the name and its shortened forms that fits. */
    virtual std::string NameOfLength (int32_t maximumLength) const = 0;
    virtual void AddShortenedName (const std::string& name) = 0;

    virtual double GetNormalizedValue() const = 0;
    virtual double GetNormalizedDefaultValue() const = 0;
    /** Takes the value at once: the host's update. */
    virtual void UpdateNormalizedValue (double normalized) = 0;
    /** The plug-in's change: a touch, a set-value request and a release through
        the host's automation if there is one, else the value at once.
    */
    virtual void SetNormalizedValue (double normalized) = 0;

    virtual std::string GetValueString (double normalized, int32_t maximumLength) const = 0;
    virtual bool GetNormalizedValueFromString (const std::string& text, double& normalized) const = 0;

    virtual int32_t GetNumberOfSteps() const = 0;
    virtual void SetNumberOfSteps (int32_t steps) = 0;
    virtual AAX_EParameterType GetType() const = 0;
    virtual void SetType (AAX_EParameterType type) = 0;
    virtual int32_t GetOrientation() const = 0;
    virtual void SetOrientation (int32_t orientation) = 0;
    virtual bool Automatable() const = 0;

    virtual void Touch() = 0;
    virtual void Release() = 0;
    virtual void SetAutomationDelegate (AAX_IAutomationDelegate* delegate) = 0;
};

template <typename T>
class AAX_CParameter final : public AAX_IParameter
{
public:
    AAX_CParameter (std::string identifier,
                    std::string name,
                    T defaultValue,
                    std::unique_ptr<AAX_ITaperDelegate<T>> taper,
                    std::unique_ptr<AAX_IDisplayDelegate<T>> display,
                    bool automatable)
        : id (std::move (identifier))
        , fullName (std::move (name))
        , defaultReal (defaultValue)
        , real (defaultValue)
        , taperDelegate (std::move (taper))
        , displayDelegate (std::move (display))
        , isAutomatable (automatable)
    {
    }

    const std::string& Identifier() const override { return id; }
    const std::string& Name() const override { return fullName; }

    std::string NameOfLength (int32_t maximumLength) const override
    {
        const auto limit = static_cast<size_t> (std::max<int32_t> (maximumLength, 0));

        if (fullName.size() <= limit)
            return fullName;

        std::string best;
        for (const auto& shortened : shortenedNames)
            if (shortened.size() <= limit && shortened.size() > best.size())
                best = shortened;

        return best.empty() ? fullName.substr (0, limit) : best;
    }

    void AddShortenedName (const std::string& name) override { shortenedNames.push_back (name); }

    double GetNormalizedValue() const override { return taperDelegate->RealToNormalized (real.load()); }
    double GetNormalizedDefaultValue() const override { return taperDelegate->RealToNormalized (defaultReal); }
    void UpdateNormalizedValue (double normalized) override { real = taperDelegate->NormalizedToReal (normalized); }

    void SetNormalizedValue (double normalized) override
    {
        if (automation == nullptr)
        {
            UpdateNormalizedValue (normalized);
            return;
        }

        Touch();
        automation->PostSetValueRequest (id.c_str(), normalized);
        Release();
    }

    std::string GetValueString (double normalized, int32_t maximumLength) const override
    {
        return displayDelegate->ValueToString (taperDelegate->NormalizedToReal (normalized), maximumLength);
    }

    bool GetNormalizedValueFromString (const std::string& text, double& normalized) const override
    {
        T value {};

        if (! displayDelegate->StringToValue (text, value))
            return false;

        normalized = taperDelegate->RealToNormalized (value);
        return true;
    }

    int32_t GetNumberOfSteps() const override { return steps; }
    void SetNumberOfSteps (int32_t numberOfSteps) override { steps = numberOfSteps; }
    AAX_EParameterType GetType() const override { return type; }
    void SetType (AAX_EParameterType newType) override { type = newType; }
    int32_t GetOrientation() const override { return orientation; }
    void SetOrientation (int32_t newOrientation) override { orientation = newOrientation; }
    bool Automatable() const override { return isAutomatable; }

    void Touch() override
    {
        if (automation != nullptr)
            automation->PostTouchRequest (id.c_str());
    }

    void Release() override
    {
        if (automation != nullptr)
            automation->PostReleaseRequest (id.c_str());
    }

    void SetAutomationDelegate (AAX_IAutomationDelegate* delegate) override { automation = delegate; }

private:
    const std::string id, fullName;
    std::vector<std::string> shortenedNames;
    const T defaultReal;
    std::atomic<T> real;
    std::unique_ptr<AAX_ITaperDelegate<T>> taperDelegate;
    std::unique_ptr<AAX_IDisplayDelegate<T>> displayDelegate;
    const bool isAutomatable;
    int32_t steps = 2, orientation = 0;
    AAX_EParameterType type = AAX_EParameterType::discrete;
    AAX_IAutomationDelegate* automation = nullptr;
};

/** The published parameters of one instance, in the order of publication. */
class AAX_CParameterManager
{
public:
    void AddParameter (std::unique_ptr<AAX_IParameter> parameter)
    {
        parameter->SetAutomationDelegate (automation);
        parameters.push_back (std::move (parameter));
    }

    /** The parameter with this ID, or null. */
    AAX_IParameter* GetParameterByID (AAX_CParamID id) const
    {
        for (const auto& parameter : parameters)
            if (id != nullptr && parameter->Identifier() == id)
                return parameter.get();

        return nullptr;
    }

    int32_t NumParameters() const { return static_cast<int32_t> (parameters.size()); }
    AAX_IParameter* GetParameter (int32_t index) const
    {
        return index >= 0 && index < NumParameters() ? parameters[static_cast<size_t> (index)].get() : nullptr;
    }

    void SetAutomationDelegate (AAX_IAutomationDelegate* delegate)
    {
        automation = delegate;

        for (const auto& parameter : parameters)
            parameter->SetAutomationDelegate (delegate);
    }

private:
    std::vector<std::unique_ptr<AAX_IParameter>> parameters;
    AAX_IAutomationDelegate* automation = nullptr;
};

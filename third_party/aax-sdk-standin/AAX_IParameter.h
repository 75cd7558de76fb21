#pragma once

#include "AAX.h"
#include "AAX_CString.h"
#include "AAX_IAutomationDelegate.h"

/** A published parameter as the host and the SDK's base see it. */
class AAX_IParameter
{
public:
    virtual ~AAX_IParameter() = default;

    virtual AAX_CParamID Identifier() const = 0;
    virtual const AAX_CString& Name() const = 0;
    virtual void AddShortenedName (const AAX_IString& name) = 0;
    /** The longest of the name and its shortened forms that fits; else the name cut to fit. */
    virtual AAX_CString ShortenedName (int32_t numCharacters) const = 0;

    virtual double GetNormalizedValue() const = 0;
    virtual double GetNormalizedDefaultValue() const = 0;
    /** Takes the value at once: the host's update. */
    virtual void UpdateNormalizedValue (double newNormalizedValue) = 0;
    /** The plug-in's change: a touch, a set-value request and a release through
        the host's automation if there is one, else the value at once.
    */
    virtual void SetNormalizedValue (double newNormalizedValue) = 0;

    virtual bool GetValueStringFromNormalizedValue (double normalizedValue,
                                                    int32_t maxNumChars,
                                                    AAX_CString& valueString) const = 0;
    virtual bool GetNormalizedValueFromString (const AAX_CString& valueString, double* normalizedValue) const = 0;

    virtual uint32_t GetNumberOfSteps() const = 0;
    virtual void SetNumberOfSteps (uint32_t numSteps) = 0;
    virtual AAX_EParameterType GetType() const = 0;
    virtual void SetType (AAX_EParameterType type) = 0;
    virtual AAX_EParameterOrientation GetOrientation() const = 0;
    virtual void SetOrientation (AAX_EParameterOrientation orientation) = 0;
    virtual bool Automatable() const = 0;

    virtual void Touch() = 0;
    virtual void Release() = 0;
    virtual void SetAutomationDelegate (AAX_IAutomationDelegate* automationDelegate) = 0;
};

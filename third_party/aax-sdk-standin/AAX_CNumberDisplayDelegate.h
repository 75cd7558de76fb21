#pragma once

#include "AAX_IDisplayDelegate.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

/** A number with a fixed count of decimals and no unit. */
template <typename T, uint32_t Precision = 2, uint32_t SpaceAfter = 0>
class AAX_CNumberDisplayDelegate final : public AAX_IDisplayDelegate<T>
{
public:
    AAX_CNumberDisplayDelegate* Clone() const override
    {
        return std::make_unique<AAX_CNumberDisplayDelegate> (*this).release();
    }

    bool ValueToString (T value, int32_t maxNumChars, AAX_CString* valueString) const override
    {
        char text[64];
        std::snprintf (text, sizeof (text), "%.*f", static_cast<int> (Precision), static_cast<double> (value));
        const auto limit = static_cast<size_t> (std::max<int32_t> (maxNumChars, 0));
        valueString->Set (std::string (text).substr (0, limit).c_str());
        return true;
    }

    bool StringToValue (const AAX_CString& valueString, T* value) const override
    {
        char* end = nullptr;
        const auto parsed = std::strtod (valueString.Get(), &end);

        if (end == valueString.Get() || ! std::isfinite (parsed))
            return false;

        *value = static_cast<T> (parsed);
        return true;
    }
};

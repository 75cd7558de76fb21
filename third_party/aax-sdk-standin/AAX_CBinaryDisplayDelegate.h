#pragma once

#include "AAX_IDisplayDelegate.h"

#include <algorithm>
#include <memory>
#include <string>

/** Two texts, for false and for true. */
template <typename T>
class AAX_CBinaryDisplayDelegate final : public AAX_IDisplayDelegate<T>
{
public:
    AAX_CBinaryDisplayDelegate (const char* falseString, const char* trueString)
        : off (falseString)
        , on (trueString)
    {
    }

    AAX_CBinaryDisplayDelegate* Clone() const override
    {
        return std::make_unique<AAX_CBinaryDisplayDelegate> (*this).release();
    }

    bool ValueToString (T value, int32_t maxNumChars, AAX_CString* valueString) const override
    {
        const auto limit = static_cast<size_t> (std::max<int32_t> (maxNumChars, 0));
        valueString->Set ((value ? on : off).substr (0, limit).c_str());
        return true;
    }

    bool StringToValue (const AAX_CString& valueString, T* value) const override
    {
        const auto& text = valueString.StdString();

        if (text != on && text != off)
            return false;

        *value = text == on;
        return true;
    }

private:
    std::string off, on;
};

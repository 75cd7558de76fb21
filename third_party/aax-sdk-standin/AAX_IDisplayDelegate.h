#pragma once

#include "AAX_CString.h"

#include <cstdint>

/** Real values to text and back. */
template <typename T>
class AAX_IDisplayDelegate
{
public:
    virtual ~AAX_IDisplayDelegate() = default;
    /** A copy, owned by the caller. */
    virtual AAX_IDisplayDelegate* Clone() const = 0;
    virtual bool ValueToString (T value, int32_t maxNumChars, AAX_CString* valueString) const = 0;
    virtual bool StringToValue (const AAX_CString& valueString, T* value) const = 0;
};

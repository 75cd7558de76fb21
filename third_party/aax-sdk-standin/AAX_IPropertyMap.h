#pragma once

#include "AAX.h"

class AAX_IPropertyMap
{
public:
    virtual ~AAX_IPropertyMap() = default;
    virtual AAX_CBoolean AddProperty (AAX_EProperty property, AAX_CPropertyValue value) = 0;
};

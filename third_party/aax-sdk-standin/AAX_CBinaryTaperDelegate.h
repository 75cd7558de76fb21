#pragma once

#include "AAX_ITaperDelegate.h"

#include <memory>

template <typename T>
class AAX_CBinaryTaperDelegate final : public AAX_ITaperDelegate<T>
{
public:
    AAX_CBinaryTaperDelegate* Clone() const override
    {
        return std::make_unique<AAX_CBinaryTaperDelegate> (*this).release();
    }
    T NormalizedToReal (double normalizedValue) const override { return normalizedValue > 0.0; }
    double RealToNormalized (T realValue) const override { return realValue ? 1.0 : 0.0; }
};

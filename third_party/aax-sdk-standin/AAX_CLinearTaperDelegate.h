#pragma once

#include "AAX_ITaperDelegate.h"

#include <cstdint>
#include <memory>

/** Linear between two real values; values outside 0..1 are taken as they are.
    Real values are not rounded (a precision of 0).
*/
template <typename T, int32_t RealPrecision = 1000>
class AAX_CLinearTaperDelegate final : public AAX_ITaperDelegate<T>
{
public:
    explicit AAX_CLinearTaperDelegate (T minimumValue = 0, T maximumValue = 1)
        : minimum (minimumValue)
        , maximum (maximumValue)
    {
    }

    AAX_CLinearTaperDelegate* Clone() const override
    {
        return std::make_unique<AAX_CLinearTaperDelegate> (*this).release();
    }

    T NormalizedToReal (double normalizedValue) const override
    {
        return static_cast<T> (minimum + normalizedValue * (maximum - minimum));
    }

    double RealToNormalized (T realValue) const override
    {
        return (static_cast<double> (realValue) - minimum) / (static_cast<double> (maximum) - minimum);
    }

private:
    T minimum, maximum;
};

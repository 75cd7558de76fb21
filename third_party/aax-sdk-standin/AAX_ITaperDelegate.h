#pragma once

/** Normalised values to real ones and back. */
template <typename T>
class AAX_ITaperDelegate
{
public:
    virtual ~AAX_ITaperDelegate() = default;
    /** A copy, owned by the caller. */
    virtual AAX_ITaperDelegate* Clone() const = 0;
    virtual T NormalizedToReal (double normalizedValue) const = 0;
    virtual double RealToNormalized (T realValue) const = 0;
};

#pragma once

#include "AAX_IString.h"

#include <string>

/** The SDK's text: a null text is empty. */
class AAX_CString final : public AAX_IString
{
public:
    AAX_CString() = default;
    AAX_CString (const char* text)
        : value (text != nullptr ? text : "")
    {
    }
    explicit AAX_CString (std::string text)
        : value (std::move (text))
    {
    }
    AAX_CString (const AAX_CString&) = default;

    uint32_t Length() const override { return static_cast<uint32_t> (value.size()); }
    uint32_t MaxLength() const override { return static_cast<uint32_t> (value.max_size()); }
    const char* Get() const override { return value.c_str(); }
    void Set (const char* text) override { value = text != nullptr ? text : ""; }

    AAX_IString& operator= (const AAX_IString& other) override
    {
        Set (other.Get());
        return *this;
    }

    AAX_IString& operator= (const char* text) override
    {
        Set (text);
        return *this;
    }

    AAX_CString& operator= (const AAX_CString& other)
    {
        value = other.value;
        return *this;
    }

    const std::string& StdString() const noexcept { return value; }
    bool operator== (const AAX_CString& other) const noexcept { return value == other.value; }
    bool operator!= (const AAX_CString& other) const noexcept { return value != other.value; }

private:
    std::string value;
};

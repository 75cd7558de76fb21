#pragma once

#include "AAX_IParameter.h"

#include <cstring>
#include <memory>
#include <vector>

/** The published parameters of one instance, in the order of publication. */
class AAX_CParameterManager
{
public:
    /** Gives the parameters, present and to come, the host's automation. */
    void Initialize (AAX_IAutomationDelegate* automationDelegate)
    {
        automation = automationDelegate;

        for (const auto& parameter : parameters)
            parameter->SetAutomationDelegate (automationDelegate);
    }

    /** Takes ownership of the parameter. */
    void AddParameter (AAX_IParameter* parameter)
    {
        if (parameter == nullptr)
            return;

        parameter->SetAutomationDelegate (automation);
        parameters.emplace_back (parameter);
    }

    /** The parameter with this ID, or null. */
    AAX_IParameter* GetParameterByID (AAX_CParamID identifier) const
    {
        for (const auto& parameter : parameters)
            if (identifier != nullptr && std::strcmp (parameter->Identifier(), identifier) == 0)
                return parameter.get();

        return nullptr;
    }

    int32_t NumParameters() const { return static_cast<int32_t> (parameters.size()); }

    AAX_IParameter* GetParameter (int32_t index) const
    {
        return index >= 0 && index < NumParameters() ? parameters[static_cast<size_t> (index)].get() : nullptr;
    }

private:
    std::vector<std::unique_ptr<AAX_IParameter>> parameters;
    AAX_IAutomationDelegate* automation = nullptr;
};

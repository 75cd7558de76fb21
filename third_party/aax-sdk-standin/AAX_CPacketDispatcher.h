#pragma once

#include "AAX_CParameterManager.h"
#include "AAX_IController.h"

#include <cstring>
#include <string>
#include <utility>
#include <vector>

/** Carries parameter values to data-in ports of the algorithm context: each
    value of a registered parameter goes to its field as a 4-byte packet (the
    value as a 32-bit integer, 0 or 1).
*/
class AAX_CPacketDispatcher
{
public:
    void Initialize (AAX_IController* controller, const AAX_CParameterManager* parameterManager)
    {
        hostController = controller;
        parameters = parameterManager;
    }

    /** Sends the parameter's changes to the field, its present value at once. */
    AAX_Result RegisterPacket (AAX_CParamID paramID, AAX_CFieldIndex portID)
    {
        packets.emplace_back (paramID != nullptr ? paramID : "", portID);

        if (const auto* parameter = parameters != nullptr ? parameters->GetParameterByID (paramID) : nullptr)
            Dispatch (*parameter);

        return AAX_SUCCESS;
    }

    /** Sends the parameter's value to every field registered for it. */
    void Dispatch (const AAX_IParameter& parameter) const
    {
        if (hostController == nullptr)
            return;

        for (const auto& [id, field] : packets)
        {
            if (id == parameter.Identifier())
            {
                const auto value = static_cast<int32_t> (parameter.GetNormalizedValue() != 0.0);
                hostController->PostPacket (field, &value, sizeof (value));
            }
        }
    }

private:
    AAX_IController* hostController = nullptr;
    const AAX_CParameterManager* parameters = nullptr;
    std::vector<std::pair<std::string, AAX_CFieldIndex>> packets;
};

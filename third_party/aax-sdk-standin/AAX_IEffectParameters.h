#pragma once

#include "AAX.h"
#include "AAX_Chunk.h"
#include "AAX_HostInterfaces.h"

#include <string>

/** A plug-in instance's parameters object as the host calls it: lifetime,
    private data, parameters, chunks and notifications.
*/
class AAX_IEffectParameters
{
public:
    virtual ~AAX_IEffectParameters() = default;

    /** Ends the object's life; the host calls it once, when the instance closes. */
    virtual void Release() = 0;

    virtual AAX_Result
        Initialize (AAX_IController* controller, AAX_IAutomationDelegate* automation, AAX_ITransport* transport) = 0;
    virtual AAX_Result ResetFieldData (AAX_CFieldIndex field, void* data, uint32_t size) = 0;

    virtual AAX_Result GetNumberOfParameters (int32_t* count) const = 0;
    virtual AAX_Result GetMasterBypassParameter (std::string* id) const = 0;
    virtual AAX_Result GetParameterIDFromIndex (int32_t index, std::string* id) const = 0;
    virtual AAX_Result GetParameterName (AAX_CParamID id, std::string* name) const = 0;
    virtual AAX_Result GetParameterNameOfLength (AAX_CParamID id, std::string* name, int32_t maximumLength) const = 0;
    virtual AAX_Result GetParameterNumberOfSteps (AAX_CParamID id, int32_t* steps) const = 0;
    virtual AAX_Result GetParameterIsContinuous (AAX_CParamID id, bool* continuous) const = 0;
    virtual AAX_Result GetParameterOrientation (AAX_CParamID id, int32_t* orientation) const = 0;
    virtual AAX_Result GetParameterIsAutomatable (AAX_CParamID id, bool* automatable) const = 0;
    virtual AAX_Result
        GetParameterStringFromValue (AAX_CParamID id, double value, std::string* text, int32_t maximumLength) const = 0;
    virtual AAX_Result GetParameterValueFromString (AAX_CParamID id, double* value, const std::string& text) const = 0;
    virtual AAX_Result GetParameterNormalizedValue (AAX_CParamID id, double* value) const = 0;
    virtual AAX_Result GetParameterDefaultNormalizedValue (AAX_CParamID id, double* value) const = 0;
    virtual AAX_Result SetParameterNormalizedValue (AAX_CParamID id, double value) = 0;
    virtual AAX_Result SetParameterNormalizedRelative (AAX_CParamID id, double delta) = 0;
    /** The host sets a value, from automation or the user. */
    virtual AAX_Result UpdateParameterNormalizedValue (AAX_CParamID id, double value) = 0;
    virtual AAX_Result GetNumberOfChanges (int32_t* changes) const = 0;

    virtual AAX_Result GetNumberOfChunks (int32_t* count) const = 0;
    virtual AAX_Result GetChunkIDFromIndex (int32_t index, uint32_t* chunkId) const = 0;
    virtual AAX_Result GetChunkSize (uint32_t chunkId, uint32_t* size) = 0;
    virtual AAX_Result GetChunk (uint32_t chunkId, AAX_SPlugInChunk* chunk) = 0;
    virtual AAX_Result SetChunk (uint32_t chunkId, const AAX_SPlugInChunk* chunk) = 0;

    virtual AAX_Result NotificationReceived (uint32_t type, const void* data, uint32_t size) = 0;
};

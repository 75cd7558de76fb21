#pragma once

#include "AAX.h"
#include "AAX_IAutomationDelegate.h"
#include "AAX_IController.h"
#include "AAX_IString.h"
#include "AAX_ITransport.h"

/** A plug-in instance's parameters object as the host calls it: lifetime,
    private data, parameters, chunks and notifications.
*/
class AAX_IEffectParameters
{
public:
    virtual ~AAX_IEffectParameters() = default;

    /** Ends the object's life; the host calls it once, when the instance closes. */
    virtual void Release() = 0;

    /** The host's links to the instance (one object in the SDK, three here). */
    virtual AAX_Result
        Initialize (AAX_IController* controller, AAX_IAutomationDelegate* automation, AAX_ITransport* transport) = 0;
    virtual AAX_Result ResetFieldData (AAX_CFieldIndex fieldIndex, void* data, uint32_t dataSize) const = 0;

    virtual AAX_Result GetNumberOfParameters (int32_t* numControls) const = 0;
    virtual AAX_Result GetMasterBypassParameter (AAX_IString* idString) const = 0;
    virtual AAX_Result GetParameterIDFromIndex (int32_t controlIndex, AAX_IString* idString) const = 0;
    virtual AAX_Result GetParameterName (AAX_CParamID paramID, AAX_IString* name) const = 0;
    virtual AAX_Result GetParameterNameOfLength (AAX_CParamID paramID, AAX_IString* name, int32_t nameLength) const = 0;
    virtual AAX_Result GetParameterNumberofSteps (AAX_CParamID paramID, int32_t* numSteps) const = 0;
    virtual AAX_Result GetParameterType (AAX_CParamID paramID, AAX_EParameterType* type) const = 0;
    virtual AAX_Result GetParameterOrientation (AAX_CParamID paramID, AAX_EParameterOrientation* orientation) const = 0;
    virtual AAX_Result GetParameterIsAutomatable (AAX_CParamID paramID, AAX_CBoolean* automatable) const = 0;
    virtual AAX_Result GetParameterStringFromValue (AAX_CParamID paramID,
                                                    double value,
                                                    AAX_IString* valueString,
                                                    int32_t maxLength) const = 0;
    virtual AAX_Result
        GetParameterValueFromString (AAX_CParamID paramID, double* value, const AAX_IString& valueString) const = 0;
    virtual AAX_Result GetParameterNormalizedValue (AAX_CParamID paramID, double* value) const = 0;
    virtual AAX_Result GetParameterDefaultNormalizedValue (AAX_CParamID paramID, double* value) const = 0;
    virtual AAX_Result SetParameterNormalizedValue (AAX_CParamID paramID, double value) = 0;
    virtual AAX_Result SetParameterNormalizedRelative (AAX_CParamID paramID, double delta) = 0;
    /** The host sets a value, from automation, the user or a chunk. */
    virtual AAX_Result
        UpdateParameterNormalizedValue (AAX_CParamID paramID, double value, AAX_EUpdateSource source) = 0;
    virtual AAX_Result GetNumberOfChanges (int32_t* numChanges) const = 0;

    virtual AAX_Result GetNumberOfChunks (int32_t* numChunks) const = 0;
    virtual AAX_Result GetChunkIDFromIndex (int32_t index, AAX_CTypeID* chunkID) const = 0;
    virtual AAX_Result GetChunkSize (AAX_CTypeID chunkID, uint32_t* size) const = 0;
    virtual AAX_Result GetChunk (AAX_CTypeID chunkID, AAX_SPlugInChunk* chunk) const = 0;
    virtual AAX_Result SetChunk (AAX_CTypeID chunkID, const AAX_SPlugInChunk* chunk) = 0;

    virtual AAX_Result NotificationReceived (AAX_CTypeID type, const void* data, uint32_t size) = 0;
};

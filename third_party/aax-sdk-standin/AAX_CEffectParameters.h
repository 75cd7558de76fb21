#pragma once

#include "AAX_CPacketDispatcher.h"
#include "AAX_CParameterManager.h"
#include "AAX_IEffectParameters.h"
#include "CACFUnknown.h"

#include <atomic>
#include <cstdint>
#include <vector>

/** The SDK's base for a plug-in's parameters object: the parameter manager and
    the host's parameter operations over it, the controls chunk ("elck"), the
    packets that carry parameter values to the audio callback, and the change
    count. Derived classes publish their parameters in EffectInit().
*/
class AAX_CEffectParameters : public AAX_IEffectParameters, public CACFUnknown
{
public:
    /** The controls chunk: the published parameters' values but the master bypass's. */
    static constexpr AAX_CTypeID controlsChunkID = AAX_FourCharCode ("elck");
    static constexpr const char* controlsChunkName = "Complete Controls State";

    void Release() override;

    AAX_Result Initialize (AAX_IController* controller,
                           AAX_IAutomationDelegate* automation,
                           AAX_ITransport* transport) override;
    AAX_Result ResetFieldData (AAX_CFieldIndex fieldIndex, void* data, uint32_t dataSize) const override;

    AAX_Result GetNumberOfParameters (int32_t* numControls) const override;
    AAX_Result GetMasterBypassParameter (AAX_IString* idString) const override;
    AAX_Result GetParameterIDFromIndex (int32_t controlIndex, AAX_IString* idString) const override;
    AAX_Result GetParameterName (AAX_CParamID paramID, AAX_IString* name) const override;
    AAX_Result GetParameterNameOfLength (AAX_CParamID paramID, AAX_IString* name, int32_t nameLength) const override;
    AAX_Result GetParameterNumberofSteps (AAX_CParamID paramID, int32_t* numSteps) const override;
    AAX_Result GetParameterType (AAX_CParamID paramID, AAX_EParameterType* type) const override;
    AAX_Result GetParameterOrientation (AAX_CParamID paramID, AAX_EParameterOrientation* orientation) const override;
    AAX_Result GetParameterIsAutomatable (AAX_CParamID paramID, AAX_CBoolean* automatable) const override;
    AAX_Result GetParameterStringFromValue (AAX_CParamID paramID,
                                            double value,
                                            AAX_IString* valueString,
                                            int32_t maxLength) const override;
    AAX_Result GetParameterValueFromString (AAX_CParamID paramID,
                                            double* value,
                                            const AAX_IString& valueString) const override;
    AAX_Result GetParameterNormalizedValue (AAX_CParamID paramID, double* value) const override;
    AAX_Result GetParameterDefaultNormalizedValue (AAX_CParamID paramID, double* value) const override;
    AAX_Result SetParameterNormalizedValue (AAX_CParamID paramID, double value) override;
    AAX_Result SetParameterNormalizedRelative (AAX_CParamID paramID, double delta) override;
    AAX_Result UpdateParameterNormalizedValue (AAX_CParamID paramID, double value, AAX_EUpdateSource source) override;
    AAX_Result GetNumberOfChanges (int32_t* numChanges) const override;

    AAX_Result GetNumberOfChunks (int32_t* numChunks) const override;
    AAX_Result GetChunkIDFromIndex (int32_t index, AAX_CTypeID* chunkID) const override;
    AAX_Result GetChunkSize (AAX_CTypeID chunkID, uint32_t* size) const override;
    AAX_Result GetChunk (AAX_CTypeID chunkID, AAX_SPlugInChunk* chunk) const override;
    AAX_Result SetChunk (AAX_CTypeID chunkID, const AAX_SPlugInChunk* chunk) override;

    AAX_Result NotificationReceived (AAX_CTypeID type, const void* data, uint32_t size) override;

protected:
    /** Publishes the parameters; called by Initialize once the host links are set. */
    virtual AAX_Result EffectInit() = 0;

    AAX_IController* Controller() const noexcept { return hostController; }
    AAX_ITransport* Transport() const noexcept { return hostTransport; }
    AAX_IAutomationDelegate* AutomationDelegate() const noexcept { return hostAutomation; }

    AAX_CParameterManager mParameterManager;
    AAX_CPacketDispatcher mPacketDispatcher;
    /** Changes the host has not seen yet; any thread may count one. */
    std::atomic<int32_t> mNumPlugInChanges { 0 };

private:
    std::vector<uint8_t> buildControlsChunk() const;

    AAX_IController* hostController = nullptr;
    AAX_IAutomationDelegate* hostAutomation = nullptr;
    AAX_ITransport* hostTransport = nullptr;
};

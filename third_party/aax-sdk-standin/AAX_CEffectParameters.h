#pragma once

#include "AAX_IEffectParameters.h"
#include "AAX_Parameters.h"
#include "CACFUnknown.h"

#include <utility>
#include <vector>

/** The SDK's base for a plug-in's parameters object: the parameter manager and
    the host's parameter operations over it, the controls chunk ("elck"), the
    packets that carry parameter values to the audio callback, and the change
    count. Derived classes publish their parameters in EffectInit().
*/
class AAX_CEffectParameters : public AAX_IEffectParameters, public CACFUnknown
{
public:
    /** The master bypass parameter's ID; the controls chunk leaves it out. */
    static constexpr const char* masterBypassId = "MasterBypassID";
    static constexpr const char* controlsChunkName = "Complete Controls State";

    void Release() override;

    AAX_Result Initialize (AAX_IController* controller,
                           AAX_IAutomationDelegate* automation,
                           AAX_ITransport* transport) override;
    AAX_Result ResetFieldData (AAX_CFieldIndex field, void* data, uint32_t size) override;

    AAX_Result GetNumberOfParameters (int32_t* count) const override;
    AAX_Result GetMasterBypassParameter (std::string* id) const override;
    AAX_Result GetParameterIDFromIndex (int32_t index, std::string* id) const override;
    AAX_Result GetParameterName (AAX_CParamID id, std::string* name) const override;
    AAX_Result GetParameterNameOfLength (AAX_CParamID id, std::string* name, int32_t maximumLength) const override;
    AAX_Result GetParameterNumberOfSteps (AAX_CParamID id, int32_t* steps) const override;
    AAX_Result GetParameterIsContinuous (AAX_CParamID id, bool* continuous) const override;
    AAX_Result GetParameterOrientation (AAX_CParamID id, int32_t* orientation) const override;
    AAX_Result GetParameterIsAutomatable (AAX_CParamID id, bool* automatable) const override;
    AAX_Result GetParameterStringFromValue (AAX_CParamID id,
                                            double value,
                                            std::string* text,
                                            int32_t maximumLength) const override;
    AAX_Result GetParameterValueFromString (AAX_CParamID id, double* value, const std::string& text) const override;
    AAX_Result GetParameterNormalizedValue (AAX_CParamID id, double* value) const override;
    AAX_Result GetParameterDefaultNormalizedValue (AAX_CParamID id, double* value) const override;
    AAX_Result SetParameterNormalizedValue (AAX_CParamID id, double value) override;
    AAX_Result SetParameterNormalizedRelative (AAX_CParamID id, double delta) override;
    AAX_Result UpdateParameterNormalizedValue (AAX_CParamID id, double value) override;
    AAX_Result GetNumberOfChanges (int32_t* changes) const override;

    AAX_Result GetNumberOfChunks (int32_t* count) const override;
    AAX_Result GetChunkIDFromIndex (int32_t index, uint32_t* chunkId) const override;
    AAX_Result GetChunkSize (uint32_t chunkId, uint32_t* size) override;
    AAX_Result GetChunk (uint32_t chunkId, AAX_SPlugInChunk* chunk) override;
    AAX_Result SetChunk (uint32_t chunkId, const AAX_SPlugInChunk* chunk) override;

    AAX_Result NotificationReceived (uint32_t type, const void* data, uint32_t size) override;

protected:
    /** Publishes the parameters; called by Initialize once the host links are set. */
    virtual AAX_Result EffectInit() = 0;

    /** Sends every change of a parameter's value to a data-port field of the
        algorithm context, as a 4-byte packet (the value as a 32-bit integer).
    */
    void RegisterPacket (AAX_CParamID id, AAX_CFieldIndex field);

    AAX_IController* Controller() const noexcept { return hostController; }
    AAX_ITransport* Transport() const noexcept { return hostTransport; }
    AAX_IAutomationDelegate* AutomationDelegate() const noexcept { return hostAutomation; }
    void AddToChangeCount() noexcept { ++changes; }

    AAX_CParameterManager mParameterManager;

private:
    std::vector<uint8_t> buildControlsChunk() const;
    void postPacket (const AAX_IParameter& parameter) const;

    AAX_IController* hostController = nullptr;
    AAX_IAutomationDelegate* hostAutomation = nullptr;
    AAX_ITransport* hostTransport = nullptr;
    std::vector<std::pair<std::string, AAX_CFieldIndex>> packets;
    std::atomic<int32_t> changes { 0 };
};

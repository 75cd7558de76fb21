#include "AAX_CEffectParameters.h"

#include <cstring>
#include <memory>
#include <string>

// The controls chunk "elck" ("Complete Controls State", version 1) holds the
// normalised values of the published parameters other than the master bypass:
//
//     uint32  number of entries
//     per entry: uint32 length of the parameter ID, the ID's bytes (no zero),
//                float64 normalised value
//
// all little-endian, as the platform stores them. Restoring sets every entry
// whose ID is published and skips the others.

namespace
{
constexpr int32_t controlsChunkVersion = 1;

template <typename T>
void append (std::vector<uint8_t>& bytes, const T& value)
{
    const auto* raw = reinterpret_cast<const uint8_t*> (&value);
    bytes.insert (bytes.end(), raw, raw + sizeof (T));
}

/** Writes what read gives of a published parameter into the host's answer:
    -20004 without a place for the answer, -20001 without the parameter.
*/
template <typename Answer, typename Read>
AAX_Result answer (const AAX_IParameter* parameter, Answer* destination, Read&& read)
{
    if (destination == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    if (parameter == nullptr)
        return AAX_ERROR_INVALID_PARAMETER_ID;

    *destination = read (*parameter);
    return AAX_SUCCESS;
}

/** Writes the text that read gives of a published parameter into the host's
    string, with the same answers as answer().
*/
template <typename Read>
AAX_Result answerText (const AAX_IParameter* parameter, AAX_IString* destination, Read&& read)
{
    if (destination == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    if (parameter == nullptr)
        return AAX_ERROR_INVALID_PARAMETER_ID;

    destination->Set (read (*parameter).Get());
    return AAX_SUCCESS;
}

/** Reads the chunk's data from the front, never past its end. */
class ChunkReader
{
public:
    ChunkReader (const char* data, size_t size)
        : position (data)
        , end (data + size)
    {
    }

    template <typename T>
    bool read (T& value)
    {
        return read (&value, sizeof (T));
    }

    bool read (void* destination, size_t size)
    {
        if (static_cast<size_t> (end - position) < size)
            return false;

        std::memcpy (destination, position, size);
        position += size;
        return true;
    }

private:
    const char* position;
    const char* end;
};
} // namespace

void AAX_CEffectParameters::Release()
{
    // The host hands back its one reference: a unique_ptr ends the object.
    std::unique_ptr<AAX_CEffectParameters> { this };
}

AAX_Result AAX_CEffectParameters::Initialize (AAX_IController* controller,
                                              AAX_IAutomationDelegate* automation,
                                              AAX_ITransport* transport)
{
    hostController = controller;
    hostAutomation = automation;
    hostTransport = transport;
    mParameterManager.Initialize (automation);
    mPacketDispatcher.Initialize (controller, &mParameterManager);
    return EffectInit();
}

AAX_Result AAX_CEffectParameters::ResetFieldData (AAX_CFieldIndex, void* data, uint32_t dataSize) const
{
    if (data != nullptr)
        std::memset (data, 0, dataSize);

    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetNumberOfParameters (int32_t* count) const
{
    if (count == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    *count = mParameterManager.NumParameters();
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetMasterBypassParameter (AAX_IString* idString) const
{
    if (idString == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    idString->Set (mParameterManager.GetParameterByID (cDefaultMasterBypassID) != nullptr ? cDefaultMasterBypassID
                                                                                          : "");
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameterIDFromIndex (int32_t controlIndex, AAX_IString* idString) const
{
    return answerText (mParameterManager.GetParameter (controlIndex),
                       idString,
                       [] (const AAX_IParameter& p) { return AAX_CString (p.Identifier()); });
}

AAX_Result AAX_CEffectParameters::GetParameterName (AAX_CParamID paramID, AAX_IString* name) const
{
    return answerText (
        mParameterManager.GetParameterByID (paramID), name, [] (const AAX_IParameter& p) { return p.Name(); });
}

AAX_Result
    AAX_CEffectParameters::GetParameterNameOfLength (AAX_CParamID paramID, AAX_IString* name, int32_t nameLength) const
{
    return answerText (mParameterManager.GetParameterByID (paramID),
                       name,
                       [nameLength] (const AAX_IParameter& p) { return p.ShortenedName (nameLength); });
}

AAX_Result AAX_CEffectParameters::GetParameterNumberofSteps (AAX_CParamID paramID, int32_t* numSteps) const
{
    return answer (mParameterManager.GetParameterByID (paramID),
                   numSteps,
                   [] (const AAX_IParameter& p) { return static_cast<int32_t> (p.GetNumberOfSteps()); });
}

AAX_Result AAX_CEffectParameters::GetParameterType (AAX_CParamID paramID, AAX_EParameterType* type) const
{
    return answer (
        mParameterManager.GetParameterByID (paramID), type, [] (const AAX_IParameter& p) { return p.GetType(); });
}

AAX_Result AAX_CEffectParameters::GetParameterOrientation (AAX_CParamID paramID,
                                                           AAX_EParameterOrientation* orientation) const
{
    return answer (mParameterManager.GetParameterByID (paramID),
                   orientation,
                   [] (const AAX_IParameter& p) { return p.GetOrientation(); });
}

AAX_Result AAX_CEffectParameters::GetParameterIsAutomatable (AAX_CParamID paramID, AAX_CBoolean* automatable) const
{
    return answer (mParameterManager.GetParameterByID (paramID),
                   automatable,
                   [] (const AAX_IParameter& p) { return static_cast<AAX_CBoolean> (p.Automatable()); });
}

AAX_Result AAX_CEffectParameters::GetParameterStringFromValue (AAX_CParamID paramID,
                                                               double value,
                                                               AAX_IString* valueString,
                                                               int32_t maxLength) const
{
    return answerText (mParameterManager.GetParameterByID (paramID),
                       valueString,
                       [=] (const AAX_IParameter& p)
                       {
                           AAX_CString text;
                           p.GetValueStringFromNormalizedValue (value, maxLength, text);
                           return text;
                       });
}

AAX_Result AAX_CEffectParameters::GetParameterValueFromString (AAX_CParamID paramID,
                                                               double* value,
                                                               const AAX_IString& valueString) const
{
    const auto* parameter = mParameterManager.GetParameterByID (paramID);

    if (value == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    return parameter != nullptr && parameter->GetNormalizedValueFromString (AAX_CString (valueString.Get()), value)
               ? AAX_SUCCESS
               : AAX_ERROR_INVALID_PARAMETER_ID;
}

AAX_Result AAX_CEffectParameters::GetParameterNormalizedValue (AAX_CParamID id, double* value) const
{
    return answer (mParameterManager.GetParameterByID (id),
                   value,
                   [] (const AAX_IParameter& p) { return p.GetNormalizedValue(); });
}

AAX_Result AAX_CEffectParameters::GetParameterDefaultNormalizedValue (AAX_CParamID id, double* value) const
{
    return answer (mParameterManager.GetParameterByID (id),
                   value,
                   [] (const AAX_IParameter& p) { return p.GetNormalizedDefaultValue(); });
}

AAX_Result AAX_CEffectParameters::SetParameterNormalizedValue (AAX_CParamID id, double value)
{
    auto* parameter = mParameterManager.GetParameterByID (id);

    if (parameter == nullptr)
        return AAX_ERROR_INVALID_PARAMETER_ID;

    parameter->SetNormalizedValue (value);
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::SetParameterNormalizedRelative (AAX_CParamID id, double delta)
{
    const auto* parameter = mParameterManager.GetParameterByID (id);

    if (parameter == nullptr)
        return AAX_ERROR_INVALID_PARAMETER_ID;

    return SetParameterNormalizedValue (id, parameter->GetNormalizedValue() + delta);
}

AAX_Result AAX_CEffectParameters::UpdateParameterNormalizedValue (AAX_CParamID paramID, double value, AAX_EUpdateSource)
{
    auto* parameter = mParameterManager.GetParameterByID (paramID);

    if (parameter == nullptr)
        return AAX_ERROR_INVALID_PARAMETER_ID;

    parameter->UpdateNormalizedValue (value);
    mPacketDispatcher.Dispatch (*parameter);
    ++mNumPlugInChanges;
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetNumberOfChanges (int32_t* numChanges) const
{
    if (numChanges == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    *numChanges = mNumPlugInChanges.load();
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetNumberOfChunks (int32_t* numChunks) const
{
    if (numChunks == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    *numChunks = 1;
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetChunkIDFromIndex (int32_t index, AAX_CTypeID* chunkID) const
{
    if (chunkID == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    *chunkID = index == 0 ? controlsChunkID : 0;
    return index == 0 ? AAX_SUCCESS : AAX_ERROR_INVALID_CHUNK_INDEX;
}

AAX_Result AAX_CEffectParameters::GetChunkSize (AAX_CTypeID chunkID, uint32_t* size) const
{
    if (chunkID != controlsChunkID)
        return AAX_ERROR_INVALID_CHUNK_ID;

    if (size == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    *size = static_cast<uint32_t> (buildControlsChunk().size());
    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetChunk (AAX_CTypeID chunkID, AAX_SPlugInChunk* chunk) const
{
    if (chunkID != controlsChunkID)
        return AAX_ERROR_INVALID_CHUNK_ID;

    if (chunk == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    const auto data = buildControlsChunk();

    if (chunk->fSize != static_cast<int32_t> (data.size()))
        return AAX_ERROR_INCORRECT_CHUNK_SIZE;

    chunk->fVersion = controlsChunkVersion;
    chunk->fFourCharCode = controlsChunkID;
    std::strncpy (chunk->fName, controlsChunkName, sizeof (chunk->fName) - 1);
    chunk->fName[sizeof (chunk->fName) - 1] = 0;

    if (! data.empty())
        std::memcpy (chunk->fData, data.data(), data.size());

    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::SetChunk (AAX_CTypeID chunkID, const AAX_SPlugInChunk* chunk)
{
    if (chunkID != controlsChunkID)
        return AAX_ERROR_INVALID_CHUNK_ID;

    if (chunk == nullptr)
        return AAX_ERROR_NULL_OBJECT;

    // Every entry is read before any value is set: a damaged chunk sets nothing.
    ChunkReader reader (chunk->fData, static_cast<size_t> (std::max<int32_t> (chunk->fSize, 0)));
    uint32_t count = 0;
    std::vector<std::pair<std::string, double>> entries;

    if (! reader.read (count))
        return AAX_ERROR_INCORRECT_CHUNK_SIZE;

    for (uint32_t i = 0; i < count; ++i)
    {
        uint32_t length = 0;
        std::pair<std::string, double> entry;

        if (! reader.read (length) || length > 4096)
            return AAX_ERROR_INCORRECT_CHUNK_SIZE;

        entry.first.resize (length);

        if (! reader.read (entry.first.data(), length) || ! reader.read (entry.second))
            return AAX_ERROR_INCORRECT_CHUNK_SIZE;

        entries.push_back (std::move (entry));
    }

    for (const auto& [id, value] : entries)
        if (id != cDefaultMasterBypassID && mParameterManager.GetParameterByID (id.c_str()) != nullptr)
            SetParameterNormalizedValue (id.c_str(), value);

    return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::NotificationReceived (AAX_CTypeID, const void*, uint32_t)
{
    return AAX_SUCCESS;
}

std::vector<uint8_t> AAX_CEffectParameters::buildControlsChunk() const
{
    std::vector<uint8_t> data;
    uint32_t count = 0;
    append (data, count);

    for (int32_t i = 0; i < mParameterManager.NumParameters(); ++i)
    {
        const auto& parameter = *mParameterManager.GetParameter (i);

        const std::string id = parameter.Identifier();

        if (id == cDefaultMasterBypassID)
            continue;

        append (data, static_cast<uint32_t> (id.size()));
        data.insert (data.end(), id.begin(), id.end());
        append (data, parameter.GetNormalizedValue());
        ++count;
    }

    std::memcpy (data.data(), &count, sizeof (count));
    return data;
}

#include "AAX_CEffectParameters.h"

#include <cstring>
#include <memory>

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
        return aax::result::nullObject;

    if (parameter == nullptr)
        return aax::result::invalidParameterId;

    *destination = read (*parameter);
    return aax::result::success;
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
    mParameterManager.SetAutomationDelegate (automation);
    return EffectInit();
}

AAX_Result AAX_CEffectParameters::ResetFieldData (AAX_CFieldIndex, void* data, uint32_t size)
{
    if (data != nullptr)
        std::memset (data, 0, size);

    return aax::result::success;
}

AAX_Result AAX_CEffectParameters::GetNumberOfParameters (int32_t* count) const
{
    if (count == nullptr)
        return aax::result::nullObject;

    *count = mParameterManager.NumParameters();
    return aax::result::success;
}

AAX_Result AAX_CEffectParameters::GetMasterBypassParameter (std::string* id) const
{
    if (id == nullptr)
        return aax::result::nullObject;

    *id = mParameterManager.GetParameterByID (masterBypassId) != nullptr ? masterBypassId : "";
    return aax::result::success;
}

AAX_Result AAX_CEffectParameters::GetParameterIDFromIndex (int32_t index, std::string* id) const
{
    return answer (mParameterManager.GetParameter (index), id, [] (const AAX_IParameter& p) { return p.Identifier(); });
}

AAX_Result AAX_CEffectParameters::GetParameterName (AAX_CParamID id, std::string* name) const
{
    return answer (mParameterManager.GetParameterByID (id), name, [] (const AAX_IParameter& p) { return p.Name(); });
}

AAX_Result
    AAX_CEffectParameters::GetParameterNameOfLength (AAX_CParamID id, std::string* name, int32_t maximumLength) const
{
    return answer (mParameterManager.GetParameterByID (id),
                   name,
                   [maximumLength] (const AAX_IParameter& p) { return p.NameOfLength (maximumLength); });
}

AAX_Result AAX_CEffectParameters::GetParameterNumberOfSteps (AAX_CParamID id, int32_t* steps) const
{
    return answer (
        mParameterManager.GetParameterByID (id), steps, [] (const AAX_IParameter& p) { return p.GetNumberOfSteps(); });
}

AAX_Result AAX_CEffectParameters::GetParameterIsContinuous (AAX_CParamID id, bool* continuous) const
{
    return answer (mParameterManager.GetParameterByID (id),
                   continuous,
                   [] (const AAX_IParameter& p) { return p.GetType() == AAX_EParameterType::continuous; });
}

AAX_Result AAX_CEffectParameters::GetParameterOrientation (AAX_CParamID id, int32_t* orientation) const
{
    return answer (mParameterManager.GetParameterByID (id),
                   orientation,
                   [] (const AAX_IParameter& p) { return p.GetOrientation(); });
}

AAX_Result AAX_CEffectParameters::GetParameterIsAutomatable (AAX_CParamID id, bool* automatable) const
{
    return answer (
        mParameterManager.GetParameterByID (id), automatable, [] (const AAX_IParameter& p) { return p.Automatable(); });
}

AAX_Result AAX_CEffectParameters::GetParameterStringFromValue (AAX_CParamID id,
                                                               double value,
                                                               std::string* text,
                                                               int32_t maximumLength) const
{
    return answer (mParameterManager.GetParameterByID (id),
                   text,
                   [=] (const AAX_IParameter& p) { return p.GetValueString (value, maximumLength); });
}

AAX_Result
    AAX_CEffectParameters::GetParameterValueFromString (AAX_CParamID id, double* value, const std::string& text) const
{
    const auto* parameter = mParameterManager.GetParameterByID (id);

    if (value == nullptr)
        return aax::result::nullObject;

    return parameter != nullptr && parameter->GetNormalizedValueFromString (text, *value)
               ? aax::result::success
               : aax::result::invalidParameterId;
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
        return aax::result::invalidParameterId;

    parameter->SetNormalizedValue (value);
    return aax::result::success;
}

AAX_Result AAX_CEffectParameters::SetParameterNormalizedRelative (AAX_CParamID id, double delta)
{
    const auto* parameter = mParameterManager.GetParameterByID (id);

    if (parameter == nullptr)
        return aax::result::invalidParameterId;

    return SetParameterNormalizedValue (id, parameter->GetNormalizedValue() + delta);
}

AAX_Result AAX_CEffectParameters::UpdateParameterNormalizedValue (AAX_CParamID id, double value)
{
    auto* parameter = mParameterManager.GetParameterByID (id);

    if (parameter == nullptr)
        return aax::result::invalidParameterId;

    parameter->UpdateNormalizedValue (value);
    postPacket (*parameter);
    AddToChangeCount();
    return aax::result::success;
}

AAX_Result AAX_CEffectParameters::GetNumberOfChanges (int32_t* count) const
{
    if (count == nullptr)
        return aax::result::nullObject;

    *count = changes.load();
    return aax::result::success;
}

AAX_Result AAX_CEffectParameters::GetNumberOfChunks (int32_t* count) const
{
    if (count == nullptr)
        return aax::result::nullObject;

    *count = 1;
    return aax::result::success;
}

AAX_Result AAX_CEffectParameters::GetChunkIDFromIndex (int32_t index, uint32_t* chunkId) const
{
    if (chunkId == nullptr)
        return aax::result::nullObject;

    *chunkId = index == 0 ? aax::code::controlsChunk : 0;
    return index == 0 ? aax::result::success : aax::result::invalidChunkIndex;
}

AAX_Result AAX_CEffectParameters::GetChunkSize (uint32_t chunkId, uint32_t* size)
{
    if (chunkId != aax::code::controlsChunk)
        return aax::result::invalidChunkId;

    if (size == nullptr)
        return aax::result::nullObject;

    *size = static_cast<uint32_t> (buildControlsChunk().size());
    return aax::result::success;
}

AAX_Result AAX_CEffectParameters::GetChunk (uint32_t chunkId, AAX_SPlugInChunk* chunk)
{
    if (chunkId != aax::code::controlsChunk)
        return aax::result::invalidChunkId;

    if (chunk == nullptr)
        return aax::result::nullObject;

    const auto data = buildControlsChunk();

    if (chunk->fSize != static_cast<int32_t> (data.size()))
        return aax::result::incorrectChunkSize;

    chunk->fVersion = controlsChunkVersion;
    chunk->fFourCharCode = aax::code::controlsChunk;
    std::strncpy (chunk->fName, controlsChunkName, sizeof (chunk->fName) - 1);
    chunk->fName[sizeof (chunk->fName) - 1] = 0;

    if (! data.empty())
        std::memcpy (chunk->fData, data.data(), data.size());

    return aax::result::success;
}

AAX_Result AAX_CEffectParameters::SetChunk (uint32_t chunkId, const AAX_SPlugInChunk* chunk)
{
    if (chunkId != aax::code::controlsChunk)
        return aax::result::invalidChunkId;

    if (chunk == nullptr)
        return aax::result::nullObject;

    // Every entry is read before any value is set: a damaged chunk sets nothing.
    ChunkReader reader (chunk->fData, static_cast<size_t> (std::max<int32_t> (chunk->fSize, 0)));
    uint32_t count = 0;
    std::vector<std::pair<std::string, double>> entries;

    if (! reader.read (count))
        return aax::result::incorrectChunkSize;

    for (uint32_t i = 0; i < count; ++i)
    {
        uint32_t length = 0;
        std::pair<std::string, double> entry;

        if (! reader.read (length) || length > 4096)
            return aax::result::incorrectChunkSize;

        entry.first.resize (length);

        if (! reader.read (entry.first.data(), length) || ! reader.read (entry.second))
            return aax::result::incorrectChunkSize;

        entries.push_back (std::move (entry));
    }

    for (const auto& [id, value] : entries)
        if (id != masterBypassId && mParameterManager.GetParameterByID (id.c_str()) != nullptr)
            SetParameterNormalizedValue (id.c_str(), value);

    return aax::result::success;
}

AAX_Result AAX_CEffectParameters::NotificationReceived (uint32_t, const void*, uint32_t)
{
    return aax::result::success;
}

void AAX_CEffectParameters::RegisterPacket (AAX_CParamID id, AAX_CFieldIndex field)
{
    packets.emplace_back (id, field);

    if (const auto* parameter = mParameterManager.GetParameterByID (id))
        postPacket (*parameter);
}

std::vector<uint8_t> AAX_CEffectParameters::buildControlsChunk() const
{
    std::vector<uint8_t> data;
    uint32_t count = 0;
    append (data, count);

    for (int32_t i = 0; i < mParameterManager.NumParameters(); ++i)
    {
        const auto& parameter = *mParameterManager.GetParameter (i);

        if (parameter.Identifier() == masterBypassId)
            continue;

        append (data, static_cast<uint32_t> (parameter.Identifier().size()));
        data.insert (data.end(), parameter.Identifier().begin(), parameter.Identifier().end());
        append (data, parameter.GetNormalizedValue());
        ++count;
    }

    std::memcpy (data.data(), &count, sizeof (count));
    return data;
}

void AAX_CEffectParameters::postPacket (const AAX_IParameter& parameter) const
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

#pragma once

#include "AAX_IPropertyMap.h"

/** The audio callback of a component: the host passes its instances' contexts. */
using AAX_CProcessProc = void (*) (void* const instancesBegin[], const void* instancesEnd);

/** One component of an effect: the fields of its algorithm context and its
    process procedure with the properties it runs under.
*/
class AAX_IComponentDescriptor
{
public:
    virtual ~AAX_IComponentDescriptor() = default;
    virtual AAX_Result AddAudioIn (AAX_CFieldIndex field) = 0;
    virtual AAX_Result AddAudioOut (AAX_CFieldIndex field) = 0;
    virtual AAX_Result AddAudioBufferLength (AAX_CFieldIndex field) = 0;
    virtual AAX_Result AddDataInPort (AAX_CFieldIndex field,
                                      uint32_t packetSize,
                                      AAX_EDataInPortType portType = AAX_eDataInPortType_Buffered) = 0;
    virtual AAX_Result
        AddMIDINode (AAX_CFieldIndex field, AAX_EMIDINodeType type, const char name[], uint32_t channelMask) = 0;
    virtual AAX_Result AddPrivateData (AAX_CFieldIndex field, int32_t dataSize) = 0;
    /** A new property map, owned by the descriptor. */
    virtual AAX_IPropertyMap* NewPropertyMap() = 0;
    virtual AAX_Result AddProcessProc_Native (AAX_CProcessProc processProc, AAX_IPropertyMap* properties) = 0;
};

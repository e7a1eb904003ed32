#pragma once
// The answer of IMpeg2Data::GetSection: one section, copied, with the PID and
// table_id it was asked for.
#include <vector>

#include "graph/filterbase/com_object.h"
#include "graph/mpeg2_data.h"

class CSectionList : public ComObject<Implements<ISectionList, IID_ISectionList>> {
public:
    CSectionList(PID pid, TID tableId, std::vector<BYTE> section);

    // The list is filled when it is made; it cannot be set up again.
    HRESULT STDMETHODCALLTYPE Initialize(MPEG_REQUEST_TYPE, IMpeg2Data*, PMPEG_CONTEXT, PID, TID, PMPEG2_FILTER,
                                         DWORD, HANDLE) override;
    HRESULT STDMETHODCALLTYPE InitializeWithRawSections(PMPEG_PACKET_LIST) override;
    HRESULT STDMETHODCALLTYPE CancelPendingRequest() override;
    HRESULT STDMETHODCALLTYPE GetNumberOfSections(WORD* count) override;
    // Index 0 only; the bytes belong to the list and live as long as it does.
    HRESULT STDMETHODCALLTYPE GetSectionData(WORD sectionNumber, DWORD* rawPacketLength,
                                             PSECTION* section) override;
    HRESULT STDMETHODCALLTYPE GetProgramIdentifier(PID* pid) override;
    HRESULT STDMETHODCALLTYPE GetTableIdentifier(TID* tableId) override;

private:
    PID pid_;
    TID tableId_;
    std::vector<BYTE> section_;
};

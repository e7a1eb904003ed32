#include "standins/demux/section_list.h"

#include <utility>

CSectionList::CSectionList(PID pid, TID tableId, std::vector<BYTE> section)
    : ComObject(L"CSectionList"), pid_(pid), tableId_(tableId), section_(std::move(section))
{
}

HRESULT STDMETHODCALLTYPE CSectionList::Initialize(MPEG_REQUEST_TYPE, IMpeg2Data*, PMPEG_CONTEXT, PID, TID,
                                                   PMPEG2_FILTER, DWORD, HANDLE)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CSectionList::InitializeWithRawSections(PMPEG_PACKET_LIST) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CSectionList::CancelPendingRequest() { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CSectionList::GetNumberOfSections(WORD* count)
{
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSectionList::GetSectionData(WORD sectionNumber, DWORD* rawPacketLength,
                                                       PSECTION* section)
{
    if (!rawPacketLength || !section) return E_POINTER;
    if (sectionNumber != 0) return E_INVALIDARG;
    *rawPacketLength = static_cast<DWORD>(section_.size());
    *section = reinterpret_cast<PSECTION>(section_.data());
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSectionList::GetProgramIdentifier(PID* pid)
{
    if (!pid) return E_POINTER;
    *pid = pid_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSectionList::GetTableIdentifier(TID* tableId)
{
    if (!tableId) return E_POINTER;
    *tableId = tableId_;
    return S_OK;
}

#include "standins/demux/mpeg2_data_filter.h"

#include <uuids.h>

#include <chrono>

#include "channels/psi/ts_packet.h"
#include "graph/filterbase/base_input_pin.h"
#include "standins/demux/com_apartment.h"
#include "standins/demux/factory.h"
#include "standins/demux/section_list.h"
#include "standins/demux/section_stream.h"

namespace {

constexpr BYTE kStuffing = 0xFF;

// The PID the demultiplexer wrote into the sample's type-specific flags.
std::uint32_t SamplePid(IMediaSample* sample)
{
    ComPtr<IMediaSample2> sample2;
    if (FAILED(sample->QueryInterface(IID_IMediaSample2, sample2.PutVoid()))) return SectionRouter::kUnknownPid;
    AM_SAMPLE2_PROPERTIES properties{};
    const DWORD size = offsetof(AM_SAMPLE2_PROPERTIES, pbBuffer);
    if (FAILED(sample2->GetProperties(size, reinterpret_cast<BYTE*>(&properties))))
        return SectionRouter::kUnknownPid;
    return properties.dwTypeSpecificFlags & kTsMaxPid;
}

}  // namespace

class CSectionsInputPin : public CBaseInputPin {
public:
    CSectionsInputPin(CStandinMpeg2Data* filter, CriticalSection* lock)
        : CBaseInputPin(L"Sections input pin", filter, lock, L"In"), owner_(filter)
    {
    }

    HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) override
    {
        if (!type) return E_POINTER;
        return type->majortype == MEDIATYPE_MPEG2_SECTIONS && type->subtype == MEDIASUBTYPE_MPEG2DATA
                   ? S_OK
                   : VFW_E_TYPE_NOT_ACCEPTED;
    }

    HRESULT GetMediaType(int position, AM_MEDIA_TYPE* type) override
    {
        if (!type) return E_POINTER;
        if (position < 0) return E_INVALIDARG;
        if (position > 0) return VFW_S_NO_MORE_ITEMS;
        InitMediaType(*type);
        type->majortype = MEDIATYPE_MPEG2_SECTIONS;
        type->subtype = MEDIASUBTYPE_MPEG2DATA;
        type->formattype = FORMAT_None;
        return S_OK;
    }

    HRESULT CompleteConnect(IPin* receivePin) override
    {
        owner_->SetUpstream(receivePin);
        return CBaseInputPin::CompleteConnect(receivePin);
    }

    HRESULT BreakConnect() override
    {
        owner_->SetUpstream(nullptr);
        return CBaseInputPin::BreakConnect();
    }

protected:
    HRESULT OnReceive(IMediaSample* sample) override
    {
        BYTE* bytes = nullptr;
        if (FAILED(sample->GetPointer(&bytes)) || !bytes) return S_OK;
        const long length = sample->GetActualDataLength();
        if (length > 0) owner_->ReceiveSections(bytes, static_cast<std::size_t>(length), SamplePid(sample));
        return S_OK;
    }

private:
    CStandinMpeg2Data* owner_;
};

CStandinMpeg2Data::CStandinMpeg2Data(bool strict)
    : WithInterfaces(L"Sections and tables stand-in", nullptr, &stateLock_, CLSID_Mpeg2Data), strict_(strict),
      input_(new CSectionsInputPin(this, &stateLock_)),
      router_([this](std::uint16_t pid, bool map) { MapUpstream(pid, map); })
{
}

CStandinMpeg2Data::~CStandinMpeg2Data()
{
    router_.Shutdown();
    delete input_;
}

HRESULT STDMETHODCALLTYPE CStandinMpeg2Data::NonDelegatingQueryInterface(REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    if (iid == IID_IMpeg2Data) return GetInterface(static_cast<IMpeg2Data*>(this), out);
    return CBaseFilter::NonDelegatingQueryInterface(iid, out);
}

int CStandinMpeg2Data::GetPinCount() { return 1; }

CBasePin* CStandinMpeg2Data::GetPin(int index) { return index == 0 ? input_ : nullptr; }

void CStandinMpeg2Data::SetUpstream(IPin* upstream)
{
    ComPtr<IMPEG2PIDMap> pidMap;
    if (upstream) upstream->QueryInterface(IID_IMPEG2PIDMap, pidMap.PutVoid());
    std::lock_guard<std::mutex> lock(upstreamMutex_);
    upstream_ = pidMap;
}

void CStandinMpeg2Data::MapUpstream(std::uint16_t pid, bool map)
{
    ComPtr<IMPEG2PIDMap> pidMap;
    {
        std::lock_guard<std::mutex> lock(upstreamMutex_);
        pidMap = upstream_;
    }
    if (!pidMap) return;  // not connected: the request can only time out
    ULONG pids[1] = {pid};
    if (map)
        pidMap->MapPID(1, pids, MEDIA_MPEG2_PSI);
    else
        pidMap->UnmapPID(1, pids);
}

void CStandinMpeg2Data::ReceiveSections(const BYTE* bytes, std::size_t size, std::uint32_t pid)
{
    // Normally one section per sample; several back to back are split here,
    // and stuffing after the last one ends the sample.
    std::size_t at = 0;
    while (size - at >= 3 && bytes[at] != kStuffing) {
        const std::size_t length = 3 + ((static_cast<std::size_t>(bytes[at + 1] & 0x0F) << 8) | bytes[at + 2]);
        if (length > size - at) break;
        router_.Deliver(pid, bytes + at, length);
        at += length;
    }
}

HRESULT STDMETHODCALLTYPE CStandinMpeg2Data::GetSection(PID pid, TID tid, PMPEG2_FILTER, DWORD timeoutMs,
                                                        ISectionList** sectionList)
{
    if (!sectionList) return E_POINTER;
    *sectionList = nullptr;
    if (pid > kTsMaxPid) return E_INVALIDARG;
    if (strict_ && !CallerEnteredCom()) return CO_E_NOTINITIALIZED;
    const SectionRouter::Id id = router_.OpenRequest(pid, tid);
    std::vector<std::uint8_t> section = router_.WaitRequest(id, std::chrono::milliseconds(timeoutMs));
    if (section.empty()) return MPEG2_E_SECTION_NOT_FOUND;
    return HandOut(MakeComObject<CSectionList>(pid, tid, std::move(section)), sectionList);
}

HRESULT STDMETHODCALLTYPE CStandinMpeg2Data::GetTable(PID, TID, PMPEG2_FILTER, DWORD, ISectionList** sectionList)
{
    if (sectionList) *sectionList = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CStandinMpeg2Data::GetStreamOfSections(PID pid, TID tid, PMPEG2_FILTER,
                                                                 HANDLE dataReadyEvent, IMpeg2Stream** stream)
{
    if (!stream) return E_POINTER;
    *stream = nullptr;
    if (pid > kTsMaxPid || !dataReadyEvent) return E_INVALIDARG;
    if (strict_ && !CallerEnteredCom()) return CO_E_NOTINITIALIZED;
    ComPtr<CSectionStream> created = MakeComObject<CSectionStream>(GetOwner(), router_, dataReadyEvent, strict_);
    if (!created) return E_OUTOFMEMORY;
    const HRESULT hr = created->Open(pid, tid);
    if (FAILED(hr)) return hr;
    return HandOut(std::move(created), stream);
}

const FilterSetup* CStandinMpeg2Data::GetSetupData() { return &StandinMpeg2DataSetup(); }

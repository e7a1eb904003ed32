#include "standins/demux/demux_output_pin.h"

#include <uuids.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "standins/demux/demux_filter.h"
#include "standins/demux/enum_pid_map.h"
#include "standins/trace.h"

namespace {

// "MapPID son 0x0113": which stream a pin was given, for the tests that check
// the program's track choices.
void TraceMapping(const char* what, const std::wstring& pinName, ULONG pid)
{
    char name[32] = "";
    std::size_t n = 0;
    for (wchar_t c : pinName) {
        if (n + 1 >= sizeof name)
            break;
        name[n++] = c > 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
    }
    name[n] = '\0';
    char line[80];
    std::snprintf(line, sizeof line, "%s %s 0x%04lX", what, name, static_cast<unsigned long>(pid));
    TraceLine(line);
}

// "PES 0x0114 du 123456789": the reference time at which a PES pin's packet
// is due, for the tests that measure how late the program presents it.
void TraceDue(std::uint16_t pid, std::int64_t referenceTime)
{
    char line[64];
    std::snprintf(line, sizeof line, "PES 0x%04X du %lld", static_cast<unsigned>(pid),
                  static_cast<long long>(referenceTime));
    TraceLine(line);
}

// Buffers per kind of pin: elementary-stream pins take whole PES payloads (a
// video picture may be hundreds of kilobytes), section pins one section per
// sample (at most 4096 bytes).
struct BufferPlan {
    long count;
    long size;
};

BufferPlan PlanFor(const AM_MEDIA_TYPE& type)
{
    if (type.majortype == MEDIATYPE_Video) return {4, 512 * 1024};
    if (type.majortype == MEDIATYPE_MPEG2_SECTIONS) return {32, 4096};
    if (type.majortype == MEDIATYPE_MPEG2_PES) return {8, 72 * 1024};  // a bounded PES packet whole
    return {8, 64 * 1024};
}

constexpr long kLargestSection = 4096;

bool ContentFromPlatform(MEDIA_SAMPLE_CONTENT content, PidContent& out)
{
    switch (content) {
    case MEDIA_ELEMENTARY_STREAM: out = PidContent::ElementaryStream; return true;
    case MEDIA_MPEG2_PSI: out = PidContent::Psi; return true;
    case MEDIA_TRANSPORT_PACKET: out = PidContent::TransportPacket; return true;
    default: return false;
    }
}

MEDIA_SAMPLE_CONTENT ContentToPlatform(PidContent content)
{
    switch (content) {
    case PidContent::ElementaryStream: return MEDIA_ELEMENTARY_STREAM;
    case PidContent::Psi: return MEDIA_MPEG2_PSI;
    case PidContent::TransportPacket: break;
    }
    return MEDIA_TRANSPORT_PACKET;
}

// Tells the downstream filter which PID a section came from, in the low 13 bits
// of the sample's type-specific flags, as the platform's demultiplexer does.
void TagSectionPid(IMediaSample* sample, std::uint16_t pid)
{
    ComPtr<IMediaSample2> sample2;
    if (FAILED(sample->QueryInterface(IID_IMediaSample2, sample2.PutVoid()))) return;
    AM_SAMPLE2_PROPERTIES properties{};
    const DWORD size = offsetof(AM_SAMPLE2_PROPERTIES, pbBuffer);
    if (FAILED(sample2->GetProperties(size, reinterpret_cast<BYTE*>(&properties)))) return;
    properties.dwTypeSpecificFlags = pid;
    sample2->SetProperties(size, reinterpret_cast<const BYTE*>(&properties));
}

}  // namespace

CDemuxOutputPin::CDemuxOutputPin(CStandinDemux* demux, CriticalSection* lock, const wchar_t* name, int output,
                                 const AM_MEDIA_TYPE& type)
    : WithInterfaces(L"Demux output pin", demux, lock, name), demux_(demux), output_(output)
{
    type_.Set(type);
}

HRESULT STDMETHODCALLTYPE CDemuxOutputPin::NonDelegatingQueryInterface(REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    if (iid == IID_IMPEG2PIDMap) return GetInterface(static_cast<IMPEG2PIDMap*>(this), out);
    return CBaseOutputPin::NonDelegatingQueryInterface(iid, out);
}

HRESULT STDMETHODCALLTYPE CDemuxOutputPin::MapPID(ULONG count, ULONG* pids, MEDIA_SAMPLE_CONTENT content)
{
    if (!pids) return E_POINTER;
    PidContent wanted;
    if (count == 0 || !ContentFromPlatform(content, wanted)) return E_INVALIDARG;
    // All or nothing: a bad PID anywhere in the list maps none of them.
    for (ULONG i = 0; i < count; ++i) {
        if (pids[i] > kTsMaxPid) return E_INVALIDARG;
    }
    const GUID major = MajorType();
    const bool clockStream =
        wanted == PidContent::ElementaryStream && (major == MEDIATYPE_Audio || major == MEDIATYPE_Video);
    for (ULONG i = 0; i < count; ++i) {
        demux_->Router().Map(output_, static_cast<std::uint16_t>(pids[i]), wanted);
        if (clockStream) demux_->Router().FollowClockOf(static_cast<std::uint16_t>(pids[i]));
        TraceMapping("MapPID", PinName(), pids[i]);
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDemuxOutputPin::UnmapPID(ULONG count, ULONG* pids)
{
    if (!pids) return E_POINTER;
    if (count == 0) return E_INVALIDARG;
    bool allMapped = true;
    for (ULONG i = 0; i < count; ++i) {
        if (pids[i] > kTsMaxPid || !demux_->Router().Unmap(output_, static_cast<std::uint16_t>(pids[i])))
            allMapped = false;
        else
            TraceMapping("UnmapPID", PinName(), pids[i]);
    }
    return allMapped ? S_OK : E_INVALIDARG;
}

HRESULT STDMETHODCALLTYPE CDemuxOutputPin::EnumPIDMap(IEnumPIDMap** pidMap)
{
    if (!pidMap) return E_POINTER;
    std::vector<PID_MAP> entries;
    for (const PidMapping& m : demux_->Router().Mappings(output_))
        entries.push_back(PID_MAP{m.pid, ContentToPlatform(m.content)});
    return HandOut(MakeComObject<CEnumPIDMap>(std::move(entries)), pidMap);
}

GUID CDemuxOutputPin::MajorType()
{
    AutoLock lock(*lock_);
    return type_.Get().majortype;
}

HRESULT CDemuxOutputPin::CheckMediaType(const AM_MEDIA_TYPE* type)
{
    if (!type) return E_POINTER;
    AutoLock lock(*lock_);
    return SameMediaType(*type, type_.Get()) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CDemuxOutputPin::GetMediaType(int position, AM_MEDIA_TYPE* type)
{
    if (!type) return E_POINTER;
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    AutoLock lock(*lock_);
    return CopyMediaType(*type, type_.Get());
}

HRESULT CDemuxOutputPin::ChangeType(const AM_MEDIA_TYPE& type)
{
    HRESULT hr = type_.Set(type);
    if (SUCCEEDED(hr)) IncrementTypeVersion();
    return hr;
}

HRESULT CDemuxOutputPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request)
{
    if (!allocator || !request) return E_POINTER;
    const BufferPlan plan = PlanFor(type_.Get());
    ALLOCATOR_PROPERTIES wanted = *request;
    wanted.cBuffers = std::max(wanted.cBuffers, plan.count);
    wanted.cbBuffer = std::max(wanted.cbBuffer, plan.size);
    if (wanted.cbAlign <= 0) wanted.cbAlign = 1;
    ALLOCATOR_PROPERTIES actual{};
    HRESULT hr = allocator->SetProperties(&wanted, &actual);
    if (FAILED(hr)) return hr;
    // A section is never split across samples: the buffers must hold the largest.
    if (type_.Get().majortype == MEDIATYPE_MPEG2_SECTIONS && actual.cbBuffer < kLargestSection)
        return E_FAIL;
    return actual.cbBuffer > 0 && actual.cBuffers > 0 ? S_OK : E_FAIL;
}

HRESULT CDemuxOutputPin::DeliverRouted(const RoutedData& routed)
{
    if (!GetConnected() || !Allocator()) return S_OK;  // nobody to hand it to
    // A pin of PES type gets each packet with its header, as the platform's
    // demultiplexer gives them.
    RoutedData data = routed;
    std::vector<std::uint8_t> withHeader;
    if (data.content == PidContent::ElementaryStream && data.unitStart &&
        type_.Get().majortype == MEDIATYPE_MPEG2_PES) {
        withHeader = MakePesHeader(data.streamId, data.hasPts, data.pts, data.size, data.unitEnd);
        withHeader.insert(withHeader.end(), data.data, data.data + data.size);
        data.data = withHeader.data();
        data.size = withHeader.size();
    }
    // The PTS's stream time goes on the sample where the PES packet starts. Sound
    // is left untimed: every pin is fed on the one streaming thread here, and a
    // sound renderer that held its samples until their time would hold them all.
    const GUID major = type_.Get().majortype;
    const bool timed = data.time && major != MEDIATYPE_Audio;
    if (timed && major == MEDIATYPE_MPEG2_PES) TraceDue(data.pid, *data.time + demux_->RunStart());
    std::size_t offset = 0;
    bool first = true;
    while (offset < data.size) {
        ComPtr<IMediaSample> sample;
        HRESULT hr = GetDeliveryBuffer(sample.Put(), nullptr, nullptr, 0);
        if (FAILED(hr)) return hr;  // decommitted: the filter is stopping
        BYTE* buffer = nullptr;
        hr = sample->GetPointer(&buffer);
        if (FAILED(hr)) return hr;
        const std::size_t room = static_cast<std::size_t>(std::max(0L, sample->GetSize()));
        const std::size_t size = std::min(room, data.size - offset);
        if (size == 0) return E_FAIL;
        if (data.content == PidContent::Psi && size < data.size) return S_OK;  // would be cut: dropped
        std::memcpy(buffer, data.data + offset, size);
        sample->SetActualDataLength(static_cast<long>(size));
        if (first && timed) {
            REFERENCE_TIME start = *data.time, stop = *data.time + 1;
            sample->SetTime(&start, &stop);
        } else {
            sample->SetTime(nullptr, nullptr);
        }
        sample->SetSyncPoint(first && data.unitStart ? TRUE : FALSE);
        sample->SetDiscontinuity(first && data.discontinuity ? TRUE : FALSE);
        if (data.content == PidContent::Psi) TagSectionPid(sample.Get(), data.pid);
        hr = Deliver(sample.Get());
        if (hr != S_OK) return hr;
        offset += size;
        first = false;
    }
    return S_OK;
}

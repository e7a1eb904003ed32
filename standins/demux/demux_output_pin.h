#pragma once
// An output pin of the demultiplexer stand-in: it offers the one media type it
// was created with, exposes IMPEG2PIDMap, and pushes what the demultiplexer
// routes to it downstream on the input's streaming thread, in samples from the
// allocator agreed with the downstream pin.
#include <dshow.h>
#include <bdaiface.h>

#include "graph/filterbase/output_pin.h"
#include "graph/filterbase/with_interfaces.h"
#include "standins/demux/ts_router.h"

class CStandinDemux;

class CDemuxOutputPin : public WithInterfaces<CBaseOutputPin, IMPEG2PIDMap> {
public:
    CDemuxOutputPin(CStandinDemux* demux, CriticalSection* lock, const wchar_t* name, int output,
                    const AM_MEDIA_TYPE& type);

    // Answers the added interfaces, then those of the base class.
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** out) override;

    // IMPEG2PIDMap
    HRESULT STDMETHODCALLTYPE MapPID(ULONG count, ULONG* pids, MEDIA_SAMPLE_CONTENT content) override;
    HRESULT STDMETHODCALLTYPE UnmapPID(ULONG count, ULONG* pids) override;
    HRESULT STDMETHODCALLTYPE EnumPIDMap(IEnumPIDMap** pidMap) override;

    // CBasePin / CBaseOutputPin
    HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) override;
    HRESULT GetMediaType(int position, AM_MEDIA_TYPE* type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;

    // Streaming thread: copies the routed bytes into as many samples as they need.
    HRESULT DeliverRouted(const RoutedData& data);

    int Output() const { return output_; }
    // Replaces the offered type; the caller checks that the pin may change.
    HRESULT ChangeType(const AM_MEDIA_TYPE& type);

private:
    GUID MajorType();

    CStandinDemux* demux_;
    int output_;
    MediaType type_;
};

#pragma once
// Stand-in for the platform's MPEG-2 demultiplexer (CLSID_MPEG2Demultiplexer),
// which Wine lacks. One input pin takes the transport stream in push mode; the
// output pins are made by IMpeg2Demultiplexer::CreateOutputPin and each carries
// what IMPEG2PIDMap maps on it: PES payloads, whole sections or raw packets.
// Everything is delivered on the upstream streaming thread; the filter has no
// thread of its own.
#include <dshow.h>

#include <mutex>
#include <optional>
#include <vector>

#include "graph/filterbase/base_filter.h"
#include "graph/filterbase/with_interfaces.h"
#include "standins/demux/ts_router.h"

class CDemuxInputPin;
class CDemuxOutputPin;

class CStandinDemux : public WithInterfaces<CBaseFilter, IMpeg2Demultiplexer> {
public:
    CStandinDemux();
    ~CStandinDemux() override;

    // Answers the added interfaces, then those of the base class.
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** out) override;

    // IMediaFilter
    HRESULT STDMETHODCALLTYPE Stop() override;
    HRESULT STDMETHODCALLTYPE Pause() override;
    HRESULT STDMETHODCALLTYPE Run(REFERENCE_TIME start) override;
    HRESULT STDMETHODCALLTYPE SetSyncSource(IReferenceClock* clock) override;

    // IMpeg2Demultiplexer
    HRESULT STDMETHODCALLTYPE CreateOutputPin(AM_MEDIA_TYPE* type, LPWSTR name, IPin** pin) override;
    HRESULT STDMETHODCALLTYPE SetOutputPinMediaType(LPWSTR name, AM_MEDIA_TYPE* type) override;
    HRESULT STDMETHODCALLTYPE DeleteOutputPin(LPWSTR name) override;

    // CBaseFilter
    int GetPinCount() override;
    CBasePin* GetPin(int index) override;
    const FilterSetup* GetSetupData() override;

    TsRouter& Router() { return router_; }
    // The reference time at which the running graph's stream time is 0.
    REFERENCE_TIME RunStart();

    // Streaming thread, from the input pin.
    HRESULT ReceiveStream(const BYTE* bytes, std::size_t size);
    void BeginFlush();
    void EndFlush();
    void EndOfStream();
    void NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);

private:
    CDemuxOutputPin* FindOutput(const wchar_t* name);
    void Route(const RoutedData& data);
    // The graph's stream time now, while it runs and has a clock.
    std::optional<std::int64_t> ArrivalTime();

    CriticalSection stateLock_;
    // Serialises the streaming thread against flushes and pin removal; taken
    // after stateLock_ when both are needed, never before.
    std::mutex streamMutex_;
    TsRouter router_;
    CDemuxInputPin* input_;
    std::vector<CDemuxOutputPin*> outputs_;
    // Deleted pins stay alive until the filter goes: a caller may still hold one.
    std::vector<CDemuxOutputPin*> retired_;
    int nextOutput_ = 1;

    // The clock as the streaming thread reads it, apart from the state lock.
    std::mutex clockMutex_;
    ComPtr<IReferenceClock> clock_;
    REFERENCE_TIME runStart_ = 0;
    bool running_ = false;
};

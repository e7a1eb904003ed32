#pragma once
// A filter graph for the stand-in tests: a pushing transport-stream source, Wine's
// sample grabber, the demultiplexer stand-in with the program's four output pins,
// recording sinks on "video", "son" and "ac3", and the sections-and-tables
// stand-in on "data". The stand-ins are created directly, not through COM.
#include <dshow.h>
#include <bdaiface.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

#include "common/com_ptr.h"
#include "graph/filterbase/base_input_pin.h"
#include "graph/filterbase/source.h"
#include "graph/filterbase/source_stream.h"
#include "graph/mpeg2_data.h"
#include "tests/support/packets.h"
#include "tests/support/sections.h"

using tstest::Bytes;

// Pushes the bytes it is given, in samples of `sampleSize` bytes (not a
// multiple of 188, so packets straddle samples).
class PushPin : public CSourceStream {
public:
    PushPin(CSource* filter, long sampleSize);
    void Push(const Bytes& bytes);
    // Waits until everything pushed has been delivered downstream.
    bool WaitDrained(DWORD timeoutMs);

    HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) override;
    HRESULT GetMediaType(int position, AM_MEDIA_TYPE* type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;
    HRESULT FillBuffer(IMediaSample* sample) override;
    using CSourceStream::GetMediaType;

private:
    long sampleSize_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::uint8_t> queue_;
    bool inFlight_ = false;
};

class PushSource : public CSource {
public:
    explicit PushSource(long sampleSize);
    PushPin* pin;
};

// Records every sample it receives.
class RecordingSink : public CBaseFilter {
public:
    RecordingSink();
    ~RecordingSink() override;
    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int index) override;

    std::vector<Bytes> Samples();
    Bytes Joined();

private:
    class Pin;
    friend class Pin;
    CriticalSection lock_;
    Pin* pin_;
    std::mutex mutex_;
    std::vector<Bytes> samples_;
};

// The media type that the program itself gives its demultiplexer pin `pinName`
// ("video", "son", "ac3" or "data").
class ProgramPinType {
public:
    explicit ProgramPinType(const wchar_t* pinName);
    ~ProgramPinType();
    ProgramPinType(const ProgramPinType&) = delete;
    ProgramPinType& operator=(const ProgramPinType&) = delete;
    AM_MEDIA_TYPE* Get() { return &type_; }

private:
    AM_MEDIA_TYPE type_;
};

struct DemuxGraph {
    DemuxGraph();
    ~DemuxGraph();
    HRESULT Build();
    void Push(const Bytes& ts) { source->pin->Push(ts); }
    bool Drain() { return source->pin->WaitDrained(5000); }

    ComPtr<IFilterGraph2> graph;
    ComPtr<IMediaControl> control;
    PushSource* source = nullptr;  // owned by the graph
    RecordingSink* video = nullptr;
    RecordingSink* audio = nullptr;
    RecordingSink* ac3 = nullptr;
    ComPtr<IBaseFilter> demux;
    ComPtr<IMpeg2Demultiplexer> demuxControl;
    ComPtr<IMPEG2PIDMap> videoMap, audioMap, ac3Map, dataMap;
    ComPtr<IMpeg2Data> mpeg2Data;
};

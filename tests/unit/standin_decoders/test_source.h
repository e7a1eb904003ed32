#pragma once
// Test filters around the stand-ins: a source that pushes prepared payloads with a
// given media type, then ends the stream; a sink that records what reaches it. Both
// are built on the project's filter base layer.
#include <dshow.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "common/com_ptr.h"
#include "graph/filterbase/base_input_pin.h"
#include "graph/filterbase/media_type.h"
#include "graph/filterbase/source.h"
#include "graph/filterbase/source_stream.h"

namespace testing_filters {

using Bytes = std::vector<std::uint8_t>;

struct Payload {
    Bytes bytes;
    REFERENCE_TIME start = -1;   // -1: no time stamp
};

class CTestSource : public CSource {
public:
    CTestSource(const AM_MEDIA_TYPE& type, std::vector<Payload> payloads);
    IPin* OutputPin();
};

struct ReceivedSample {
    long length = 0;
    bool timed = false;
    REFERENCE_TIME start = 0, stop = 0;
    std::uint32_t sampleRate = 0;   // of the PCM format in force for this sample
    Bytes head;                     // the first bytes of the data
};

class CTestSink : public CBaseFilter {
public:
    // Takes any type of `majorType`.
    explicit CTestSink(const GUID& majorType);
    ~CTestSink() override;

    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int index) override;
    IPin* InputPin();

    // Waits for the end of the stream; false on time-out.
    bool WaitForEnd(DWORD timeoutMs);
    std::vector<ReceivedSample> Samples();

private:
    class Pin;
    friend class Pin;
    CriticalSection lock_;
    Pin* pin_;
    GUID major_;
    HANDLE ended_;
    std::mutex mutex_;
    std::vector<ReceivedSample> samples_;
    std::uint32_t rate_ = 0;
};

// MPEG-2 video elementary-stream pieces.
Bytes SequenceHeader(int width, int height);
Bytes ServiceMarker(int pid);   // user data "BTVPID=<pid>"
Bytes Picture(int number);
// The demultiplexer's "video" type: an MPEG2VIDEOINFO of 720 x 576, no sequence header.
void DemuxVideoType(MediaType& type);
// The demultiplexer's audio type with a given subtype: PCM-looking WAVEFORMATEX, 48 kHz.
void DemuxAudioType(const GUID& subtype, MediaType& type);
// Audio frames: MPEG-1 layer II at 192 kbit/s (rate 48000, 44100 or 32000), AC-3 at 48 kHz 448 kbit/s.
Bytes Layer2Frame(std::uint32_t rate);
Bytes Ac3Frame();

}  // namespace testing_filters

#pragma once
// Stand-in audio decoders (MPEG audio and AC-3): for each whole compressed frame they
// deliver the frame's length of 16-bit stereo PCM, a quiet tone, time-stamped.
#include <cstdint>
#include <vector>

#include "standins/decoders/audio_frames.h"
#include "standins/decoders/transform_filter.h"

namespace standin {

class CPcmAudioDecoder : public CTransformFilter {
public:
    // `strictFormat`: as the platform's AAC and Dolby decoders, the format block must
    // describe the stream: an ADTS stream's first header must carry the block's rate
    // (the core AAC rate, for HE-AAC) and channel count, and E-AC-3 comes with its own
    // format tag, not AC-3's.
    CPcmAudioDecoder(IUnknown* outer, AudioFormat format, bool strictFormat = false);

    const FilterSetup* GetSetupData() override;

    HRESULT CheckInputType(const AM_MEDIA_TYPE& type) override;
    HRESULT GetOutputType(const AM_MEDIA_TYPE* input, int position, AM_MEDIA_TYPE& type) override;
    HRESULT CheckOutputType(const AM_MEDIA_TYPE* input, const AM_MEDIA_TYPE& type) override;
    void OutputBufferNeeds(long& count, long& bytes) override;
    HRESULT Transform(IMediaSample* sample) override;
    void StartOfRun() override;
    void AfterFlush() override;

private:
    HRESULT DeliverFrame(const AudioFrameInfo& frame);

    // The first ADTS header against the format block; a mismatch stops the stream.
    HRESULT CheckFirstFrame(const AudioFrameInfo& frame);

    AudioFormat format_;
    bool strictFormat_;
    bool firstFrameChecked_ = false;
    // Streaming state, under the streaming lock.
    AudioFrameScanner scanner_;
    std::vector<AudioFrameInfo> frames_;
    std::uint32_t outputRate_ = 0;     // rate of the PCM downstream last agreed to
    double phase_ = 0;
    bool haveTime_ = false;
    REFERENCE_TIME nextTime_ = 0;
    std::uint64_t remainder_ = 0;      // carried fraction when frames are resampled to outputRate_
};

}  // namespace standin

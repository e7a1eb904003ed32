// The audio stand-ins in Wine's real filter graph, created directly: compressed frames
// in, time-stamped PCM of the right rate and length out.
#include <dshow.h>
#include <uuids.h>
#include <mmreg.h>

#include <cstring>

#include <gtest/gtest.h>

#include "common/com_ptr.h"
#include "graph/media_framework.h"
#include "standins/decoders/decoder_registration.h"
#include "test_source.h"

using namespace testing_filters;

#define EXPECT_FAILED(expr) EXPECT_TRUE(FAILED(expr))

namespace {

IPin* PinOf(IBaseFilter* filter, PIN_DIRECTION direction)
{
    ComPtr<IEnumPins> pins;
    filter->EnumPins(pins.Put());
    IPin* pin = nullptr;
    while (pins->Next(1, &pin, nullptr) == S_OK) {
        PIN_DIRECTION d;
        pin->QueryDirection(&d);
        pin->Release();
        if (d == direction) return pin;
    }
    return nullptr;
}

class AudioChain : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterGraph2,
                                                  graph_.PutVoid()));
    }
    void TearDown() override
    {
        ComPtr<IMediaControl> control;
        if (graph_ && SUCCEEDED(graph_.As(IID_IMediaControl, control))) control->Stop();
        control.Reset();
        source_.Reset();
        decoder_.Reset();
        sinkFilter_.Reset();
        graph_.Reset();
        CoUninitialize();
    }

    // source (demultiplexer-like type) -> decoder -> recording sink, then run to the end.
    // A decoder that stops the stream never ends it: `mayStop` then only waits a while.
    std::vector<ReceivedSample> Decode(standin::FilterFactory factory, const GUID& subtype, std::vector<Payload> data,
                                       bool mayStop = false)
    {
        MediaType type;
        DemuxAudioType(subtype, type);
        auto* source = new CTestSource(type.Get(), std::move(data));
        source_ = ComPtr<IBaseFilter>::Share(static_cast<IBaseFilter*>(source));
        auto* sink = new CTestSink(MEDIATYPE_Audio);
        sinkFilter_ = ComPtr<IBaseFilter>::Share(static_cast<IBaseFilter*>(sink));
        EXPECT_HRESULT_SUCCEEDED(factory(nullptr, IID_IBaseFilter, decoder_.PutVoid()));
        EXPECT_HRESULT_SUCCEEDED(graph_->AddFilter(source_.Get(), L"Source"));
        EXPECT_HRESULT_SUCCEEDED(graph_->AddFilter(decoder_.Get(), L"Codec audio"));
        EXPECT_HRESULT_SUCCEEDED(graph_->AddFilter(sinkFilter_.Get(), L"Sink"));
        EXPECT_HRESULT_SUCCEEDED(graph_->ConnectDirect(source->OutputPin(), PinOf(decoder_.Get(), PINDIR_INPUT), nullptr));
        EXPECT_HRESULT_SUCCEEDED(graph_->ConnectDirect(PinOf(decoder_.Get(), PINDIR_OUTPUT), sink->InputPin(), nullptr));
        ComPtr<IMediaControl> control;
        EXPECT_HRESULT_SUCCEEDED(graph_.As(IID_IMediaControl, control));
        EXPECT_HRESULT_SUCCEEDED(control->Run());
        const bool ended = sink->WaitForEnd(mayStop ? 2000 : 10000);
        if (!mayStop) {
            EXPECT_TRUE(ended);
        }
        return sink->Samples();
    }

    ComPtr<IFilterGraph2> graph_;
    ComPtr<IBaseFilter> source_, decoder_, sinkFilter_;
};

// Frames cut into transport-packet-sized pieces, the first piece of each PES-like
// group time-stamped.
std::vector<Payload> Chunked(const Bytes& stream, std::size_t piece, REFERENCE_TIME firstTime)
{
    std::vector<Payload> out;
    for (std::size_t pos = 0; pos < stream.size(); pos += piece) {
        Payload p;
        p.bytes.assign(stream.begin() + pos, stream.begin() + std::min(stream.size(), pos + piece));
        if (pos == 0) p.start = firstTime;
        out.push_back(std::move(p));
    }
    return out;
}

Bytes Repeat(const Bytes& frame, int count)
{
    Bytes all;
    for (int i = 0; i < count; ++i) all.insert(all.end(), frame.begin(), frame.end());
    return all;
}

}  // namespace

TEST_F(AudioChain, MpegLayerTwoGivesOneBlockOf1152SamplesPerFrame)
{
    const auto samples =
        Decode(standin::CreateMpegAudioDecoder, MEDIASUBTYPE_MPEG2_AUDIO, Chunked(Repeat(Layer2Frame(48000), 10), 184, 5000000));
    ASSERT_EQ(10u, samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i) {
        EXPECT_EQ(1152 * 4, samples[i].length);
        EXPECT_EQ(48000u, samples[i].sampleRate);
        ASSERT_TRUE(samples[i].timed);
        // 1152 samples at 48 kHz last 24 ms, back to back from the first time stamp.
        EXPECT_EQ(5000000 + static_cast<REFERENCE_TIME>(i) * 240000, samples[i].start);
        EXPECT_EQ(samples[i].start + 240000, samples[i].stop);
    }
    // A quiet tone, not silence and not noise.
    int peak = 0;
    for (std::size_t b = 0; b + 1 < samples[3].head.size(); b += 2)
        peak = std::max(peak, std::abs(static_cast<int>(static_cast<std::int16_t>(samples[3].head[b] | (samples[3].head[b + 1] << 8)))));
    EXPECT_GT(peak, 0);
    EXPECT_LE(peak, 300);
}

TEST_F(AudioChain, MpegFramesAtAnotherRateChangeTheFormat)
{
    const auto samples =
        Decode(standin::CreateMpegAudioDecoder, MEDIASUBTYPE_MPEG1AudioPayload, Chunked(Repeat(Layer2Frame(44100), 4), 1000, 0));
    ASSERT_EQ(4u, samples.size());
    for (const auto& s : samples) {
        EXPECT_EQ(44100u, s.sampleRate);
        EXPECT_EQ(1152 * 4, s.length);
    }
    EXPECT_EQ(static_cast<REFERENCE_TIME>(1152) * 10000000 / 44100, samples[1].start - samples[0].start);
}

TEST_F(AudioChain, Ac3Gives1536SamplesPerFrame)
{
    const auto samples = Decode(standin::CreateAc3Decoder, MEDIASUBTYPE_DOLBY_AC3, Chunked(Repeat(Ac3Frame(), 5), 184, 0));
    ASSERT_EQ(5u, samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i) {
        EXPECT_EQ(1536 * 4, samples[i].length);
        EXPECT_EQ(48000u, samples[i].sampleRate);
        EXPECT_EQ(static_cast<REFERENCE_TIME>(i) * 320000, samples[i].start);
    }
}

TEST_F(AudioChain, DecodersRefuseTheOtherFormat)
{
    MediaType ac3;
    DemuxAudioType(MEDIASUBTYPE_DOLBY_AC3, ac3);
    auto* source = new CTestSource(ac3.Get(), {});
    source_ = ComPtr<IBaseFilter>::Share(static_cast<IBaseFilter*>(source));
    ASSERT_HRESULT_SUCCEEDED(standin::CreateMpegAudioDecoder(nullptr, IID_IBaseFilter, decoder_.PutVoid()));
    ASSERT_HRESULT_SUCCEEDED(graph_->AddFilter(source_.Get(), L"Source"));
    ASSERT_HRESULT_SUCCEEDED(graph_->AddFilter(decoder_.Get(), L"Codec audio"));
    EXPECT_FAILED(graph_->ConnectDirect(source->OutputPin(), PinOf(decoder_.Get(), PINDIR_INPUT), nullptr));

    ComPtr<IBaseFilter> ac3Decoder;
    ASSERT_HRESULT_SUCCEEDED(standin::CreateAc3Decoder(nullptr, IID_IBaseFilter, ac3Decoder.PutVoid()));
    ASSERT_HRESULT_SUCCEEDED(graph_->AddFilter(ac3Decoder.Get(), L"Codec ac3"));
    EXPECT_HRESULT_SUCCEEDED(graph_->ConnectDirect(source->OutputPin(), PinOf(ac3Decoder.Get(), PINDIR_INPUT), nullptr));
}

TEST_F(AudioChain, PlaysIntoWinesDirectSoundRenderer)
{
    MediaType type;
    DemuxAudioType(MEDIASUBTYPE_MPEG2_AUDIO, type);
    auto* source = new CTestSource(type.Get(), Chunked(Repeat(Layer2Frame(48000), 8), 184, 0));
    source_ = ComPtr<IBaseFilter>::Share(static_cast<IBaseFilter*>(source));
    ASSERT_HRESULT_SUCCEEDED(standin::CreateMpegAudioDecoder(nullptr, IID_IBaseFilter, decoder_.PutVoid()));
    ComPtr<IBaseFilter> dsound;
    ASSERT_HRESULT_SUCCEEDED(
        CoCreateInstance(CLSID_DSoundRender, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, dsound.PutVoid()));
    ASSERT_HRESULT_SUCCEEDED(graph_->AddFilter(dsound.Get(), L"Direct sound"));
    ASSERT_HRESULT_SUCCEEDED(graph_->AddFilter(source_.Get(), L"Source"));
    ASSERT_HRESULT_SUCCEEDED(graph_->AddFilter(decoder_.Get(), L"Codec audio"));
    ASSERT_HRESULT_SUCCEEDED(graph_->ConnectDirect(source->OutputPin(), PinOf(decoder_.Get(), PINDIR_INPUT), nullptr));
    ASSERT_HRESULT_SUCCEEDED(
        graph_->ConnectDirect(PinOf(decoder_.Get(), PINDIR_OUTPUT), PinOf(dsound.Get(), PINDIR_INPUT), nullptr));
    AM_MEDIA_TYPE connected{};
    ASSERT_HRESULT_SUCCEEDED(PinOf(dsound.Get(), PINDIR_INPUT)->ConnectionMediaType(&connected));
    EXPECT_TRUE(connected.subtype == MEDIASUBTYPE_PCM);
    FreeMediaType(connected);

    ComPtr<IMediaControl> control;
    ASSERT_HRESULT_SUCCEEDED(graph_.As(IID_IMediaControl, control));
    ASSERT_HRESULT_SUCCEEDED(control->Run());
    ComPtr<IMediaEvent> events;
    ASSERT_HRESULT_SUCCEEDED(graph_.As(IID_IMediaEvent, events));
    long code = 0;
    EXPECT_EQ(S_OK, events->WaitForCompletion(10000, &code));
    EXPECT_EQ(EC_COMPLETE, code);
}

// ---- strict format blocks (BRISOME_STANDINS=strict-aac)

// One ADTS frame (no CRC) of `bytes` bytes at the rate of table index `rateIndex`.
Bytes AdtsFrame(int rateIndex, int channels, std::size_t bytes = 200)
{
    Bytes f(bytes, 0);
    f[0] = 0xFF;
    f[1] = 0xF1;
    f[2] = static_cast<std::uint8_t>(1 << 6 | rateIndex << 2 | (channels >> 2 & 1));
    f[3] = static_cast<std::uint8_t>((channels & 3) << 6 | (bytes >> 11 & 3));
    f[4] = static_cast<std::uint8_t>(bytes >> 3 & 0xFF);
    f[5] = static_cast<std::uint8_t>((bytes & 7) << 5 | 0x1F);
    f[6] = 0xFC;
    return f;
}

class StrictAudioChain : public AudioChain {
protected:
    void SetUp() override
    {
        SetEnvironmentVariableA("BRISOME_STANDINS", "strict-aac");
        AudioChain::SetUp();
    }
    void TearDown() override
    {
        AudioChain::TearDown();
        SetEnvironmentVariableA("BRISOME_STANDINS", nullptr);
    }
};

TEST_F(StrictAudioChain, AacPlaysOnlyWhenTheFormatBlockDescribesTheStream)
{
    // The source's block says 48 kHz stereo (rate index 3).
    struct Case {
        int rateIndex;
        int channels;
        bool plays;
    };
    for (const Case& c : {Case{3, 2, true}, Case{6, 2, false}, Case{3, 1, false}}) {
        SCOPED_TRACE(testing::Message() << "rate index " << c.rateIndex << ", " << c.channels << " channels");
        TearDown();
        SetUp();
        const std::vector<ReceivedSample> out = Decode(standin::CreateAacDecoder, MEDIASUBTYPE_MPEG_ADTS_AAC,
                                                       Chunked(Repeat(AdtsFrame(c.rateIndex, c.channels), 20), 184, 0), true);
        EXPECT_EQ(!out.empty(), c.plays);
    }
}

TEST_F(StrictAudioChain, Eac3TakesOnlyItsOwnFormatBlock)
{
    MediaType ac3Tagged;
    DemuxAudioType(MEDIASUBTYPE_DOLBY_DDPLUS, ac3Tagged);
    reinterpret_cast<WAVEFORMATEX*>(ac3Tagged.Get().pbFormat)->wFormatTag = 0x2000;
    MediaType own;
    AM_MEDIA_TYPE& t = *own.Put();
    t.majortype = MEDIATYPE_Audio;
    t.subtype = MEDIASUBTYPE_DOLBY_DDPLUS;
    t.formattype = FORMAT_WaveFormatEx;
    WAVEFORMATEXTENSIBLE w{};
    w.Format.wFormatTag = WAVE_FORMAT_EXTENSIBLE;
    w.Format.nChannels = 2;
    w.Format.nSamplesPerSec = 48000;
    w.Format.cbSize = sizeof w - sizeof(WAVEFORMATEX);
    w.SubFormat = MEDIASUBTYPE_DOLBY_DDPLUS;
    t.cbFormat = sizeof w;
    t.pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(sizeof w));
    std::memcpy(t.pbFormat, &w, sizeof w);

    for (MediaType* type : {&ac3Tagged, &own}) {
        auto* source = new CTestSource(type->Get(), {});
        ComPtr<IBaseFilter> sourceFilter = ComPtr<IBaseFilter>::Share(static_cast<IBaseFilter*>(source));
        ComPtr<IBaseFilter> decoder;
        ASSERT_HRESULT_SUCCEEDED(standin::CreateEac3Decoder(nullptr, IID_IBaseFilter, decoder.PutVoid()));
        ASSERT_HRESULT_SUCCEEDED(graph_->AddFilter(sourceFilter.Get(), nullptr));
        ASSERT_HRESULT_SUCCEEDED(graph_->AddFilter(decoder.Get(), nullptr));
        const HRESULT hr = graph_->ConnectDirect(source->OutputPin(), PinOf(decoder.Get(), PINDIR_INPUT), nullptr);
        EXPECT_EQ(SUCCEEDED(hr), type == &own);
        graph_->RemoveFilter(sourceFilter.Get());
        graph_->RemoveFilter(decoder.Get());
    }
}

#pragma once
// Frame headers of the two compressed audio formats of DVB-T services, read only as
// far as a stand-in decoder needs: where a frame starts, how long it is, its sample
// rate and how many PCM samples (per channel) it decodes to.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace standin {

struct AudioFrameInfo {
    std::uint32_t sampleRate = 0;
    std::uint32_t samplesPerFrame = 0;   // per channel
    std::uint32_t frameBytes = 0;        // whole frame, header included
    std::uint32_t channels = 0;          // ADTS only: from channel_configuration; 0 when not read
};

// MPEG-1 / MPEG-2 audio (ISO 11172-3, 13818-3), layers I to III: a header starting
// with the 12-bit sync FFF. Needs 4 bytes. Free-format and reserved values are refused.
std::optional<AudioFrameInfo> ParseMpegAudioHeader(const std::uint8_t* data, std::size_t size);
// AC-3 (ATSC A/52) sync information: 0B 77, crc1, then fscod and frmsizecod. Needs 5 bytes.
std::optional<AudioFrameInfo> ParseAc3SyncInfo(const std::uint8_t* data, std::size_t size);

// AAC in ADTS (ISO 14496-3): sync FFF with layer 0, frame length in the header.
// Needs 7 bytes; a CRC-protected header (9 bytes) is counted as part of the frame.
std::optional<AudioFrameInfo> ParseAdtsHeader(const std::uint8_t* data, std::size_t size);
// E-AC-3 (A/52 annex E) sync information: 0B 77, then frmsiz and fscod; bsid 11 to 16.
// Needs 6 bytes.
std::optional<AudioFrameInfo> ParseEac3SyncInfo(const std::uint8_t* data, std::size_t size);

enum class AudioFormat { MpegAudio, Ac3, Aac, Eac3 };

// Finds whole frames in a byte stream delivered in arbitrary pieces. Bytes that are
// not part of a frame are skipped; a frame counts once all of its bytes have arrived.
class AudioFrameScanner {
public:
    explicit AudioFrameScanner(AudioFormat format) : format_(format) {}

    // Appends to `frames` every frame that `size` more bytes complete.
    void Feed(const std::uint8_t* data, std::size_t size, std::vector<AudioFrameInfo>& frames);
    void Reset() { pending_.clear(); }

private:
    std::optional<AudioFrameInfo> ParseAt(std::size_t pos) const;
    bool SyncAt(std::size_t pos) const;
    std::size_t HeaderBytes() const;

    AudioFormat format_;
    std::vector<std::uint8_t> pending_;   // at most one incomplete frame
};

// Fills `frames` stereo frames (left, right interleaved, 16-bit) with a sine tone of
// `amplitude`; `phase` (in cycles, 0..1) carries over from one call to the next so
// that consecutive blocks join without a click.
void SynthesizeTone(std::int16_t* interleaved, std::size_t frames, std::uint32_t sampleRate, double frequency,
                    double amplitude, double& phase);

}  // namespace standin

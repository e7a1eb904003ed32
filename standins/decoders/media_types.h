#pragma once
// Media types that the stand-in filters accept and offer, built and read in one place.
#include <dshow.h>

#include <cstdint>

namespace standin {

// Picture size announced by a compressed video type (MPEG2VIDEOINFO, VIDEOINFOHEADER2
// or VIDEOINFOHEADER); false when the format block is missing or too short.
bool CompressedVideoSize(const AM_MEDIA_TYPE& type, int& width, int& height);

// RGB32 frames of `width` x `height`, bottom-up, in a VIDEOINFOHEADER.
HRESULT MakeRgb32Type(int width, int height, std::int64_t period100ns, AM_MEDIA_TYPE& type);
// An RGB32 VIDEOINFOHEADER type with sane sizes; `height` is negative for top-down rows.
bool ReadRgb32Type(const AM_MEDIA_TYPE& type, int& width, int& height);

// 16-bit stereo PCM at `sampleRate`.
HRESULT MakePcmType(std::uint32_t sampleRate, AM_MEDIA_TYPE& type);
// Sample rate of a WAVEFORMATEX type when it is a plausible broadcast rate, else 0.
std::uint32_t WaveSampleRate(const AM_MEDIA_TYPE& type);

// The WAVEFORMATEX of a type, or null when the block is missing or too short.
const WAVEFORMATEX* WaveFormatOf(const AM_MEDIA_TYPE& type);
// Whether the block is E-AC-3's own: a WAVEFORMATEXTENSIBLE whose sub-format is the
// Dolby Digital Plus subtype (E-AC-3 has no format tag of its own; AC-3's 0x2000 is not it).
bool IsEac3FormatBlock(const AM_MEDIA_TYPE& type);

inline constexpr std::uint32_t kPcmBytesPerFrame = 4;   // two 16-bit channels

}  // namespace standin

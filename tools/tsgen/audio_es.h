#pragma once
// Audio elementary streams of silence at 48 kHz stereo: MPEG-1 layer II,
// AC-3, AAC (ADTS) and E-AC-3 frames that decoders accept as they are.
#include <cstdint>
#include <vector>

namespace tsgen {

inline constexpr std::uint32_t kAudioSampleRate = 48000;
inline constexpr std::uint32_t kMpegAudioSamplesPerFrame = 1152;
inline constexpr std::uint32_t kAc3SamplesPerFrame = 1536;  // E-AC-3 too, at six blocks a frame
inline constexpr std::uint32_t kAacSamplesPerFrame = 1024;

// One silent layer II frame (header FF FD, no CRC, stereo). `bitrate` must be
// a layer II rate usable in stereo (64000 to 384000 bit/s).
std::vector<std::uint8_t> BuildMpegAudioFrame(std::uint32_t bitrate);

// One silent AC-3 frame (sync 0B 77, 2/0 channels) with both CRCs right.
// `bitrate` must be an AC-3 rate (32000 to 640000 bit/s).
std::vector<std::uint8_t> BuildAc3Frame(std::uint32_t bitrate);

// One silent AAC-LC frame in ADTS (no CRC, stereo): a channel pair with no
// scale factor band, filled up to `bitrate` (16000 to 576000 bit/s) with fill
// elements.
std::vector<std::uint8_t> BuildAacFrame(std::uint32_t bitrate);

// One silent E-AC-3 frame (independent substream 0, six blocks, 2/0) of
// `bitrate` (32000 to 1024000 bit/s, a multiple of 500), its CRC right.
std::vector<std::uint8_t> BuildEac3Frame(std::uint32_t bitrate);

// CRC-16 of AC-3 frames: polynomial 0x8005, initial value 0, no reflection.
std::uint16_t Crc16Ac3(const std::uint8_t* data, std::size_t length);

}  // namespace tsgen

#pragma once
// The fixed part of an ADTS frame header (the framing of AAC in DVB), and the format
// a decoder is to be told about. Broadcast bytes are untrusted: a header is read only
// from the bytes given and refused when a field holds a value the syntax forbids.
#include <cstddef>
#include <cstdint>
#include <optional>

struct AudioFormat {
    std::uint32_t sampleRate = 0;  // Hz, the core AAC-LC rate (before spectral band replication)
    std::uint16_t channels = 0;    // 0: the configuration travels in the stream (a program config element)
    std::uint8_t objectType = 0;   // MPEG-4 audio object type: 1 Main, 2 LC, 3 SSR, 4 LTP
};

struct AdtsHeader {
    AudioFormat format;
    std::uint16_t frameLength = 0;  // whole frame, header included
    std::uint8_t headerLength = 0;  // 7, or 9 with the CRC
};

// The header at `data`, which must start with the 12-bit sync word; nullopt when fewer
// than 7 bytes are given or a field is invalid (layer not 0, reserved or escape rate
// index, frame shorter than its header).
std::optional<AdtsHeader> ParseAdtsHeader(const std::uint8_t* data, std::size_t size);

// Sampling rate of an MPEG-4 sampling frequency index, 0 for the reserved ones.
std::uint32_t AacSampleRate(unsigned index);

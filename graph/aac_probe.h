#pragma once
// Finds the format of an AAC stream from its first ADTS header, on the transport
// stream as the tap hands it over: the demultiplexer's AAC pin must be given the
// stream's real rate and channel count before a decoder will accept it, and only the
// stream itself knows them.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "channels/psi/packet_tap.h"
#include "graph/adts_header.h"

class AacProbe : public PacketSubscriber {
public:
    explicit AacProbe(std::uint16_t pid);

    // Streaming thread. Returns false once the format is known, so the tap drops it.
    bool OnPackets(const std::uint8_t* packets, std::size_t count) override;

    // Any thread: whether the format is known yet, and then what it is.
    bool Found() const { return found_.load(std::memory_order_acquire); }
    AudioFormat Format() const { return format_; }

private:
    void TakePayload(const std::uint8_t* packet);
    void Scan();

    std::uint16_t pid_;
    bool started_ = false;  // a PES has begun: bytes before it belong to no known frame
    std::vector<std::uint8_t> pending_;
    AudioFormat format_;
    std::atomic<bool> found_{false};
};

// Polls `probe` until it has found the format or `timeoutMs` has passed; true with
// `format` filled when found.
bool WaitForAacFormat(const AacProbe& probe, unsigned timeoutMs, AudioFormat& format);

#pragma once
// The one place where the tuned multiplex's transport stream is seen whole, ahead
// of the demultiplexer. The grabber's streaming thread feeds it samples of any
// size: the demultiplexer's transport-stream input places no restriction on sample
// boundaries, so a packet may begin in one sample and end in the next, and a
// sample may hold a single byte. The tap turns them back into whole 188-byte
// packets and hands runs of them to its subscribers: recorders, the section
// reader, a time-shift buffer.
//
// Subscribers are called on the streaming thread, one after the other, with
// packets that each begin with the sync byte. They must not block on the user
// interface: anything the window must know is posted to it.
#include <cstddef>
#include <cstdint>
#include <memory>

class PacketSubscriber {
public:
    virtual ~PacketSubscriber() = default;
    // `packets` holds `count` whole packets of 188 bytes, valid only during the
    // call. Returning false (a failed write) removes this subscriber from the tap
    // without disturbing the others; it is not called again.
    virtual bool OnPackets(const std::uint8_t* packets, std::size_t count) = 0;
};

class PacketTap {
public:
    PacketTap();
    ~PacketTap();
    PacketTap(const PacketTap&) = delete;
    PacketTap& operator=(const PacketTap&) = delete;

    // Streaming thread: the bytes of one sample, any size. Up to 187 bytes of a
    // packet cut by the sample's end are carried over to the next call.
    void Feed(const std::uint8_t* data, std::size_t size);

    // Any thread. A subscriber added during a delivery gets the next one.
    void Subscribe(PacketSubscriber* subscriber);
    // Any thread but the streaming one. Waits for a delivery in progress to end:
    // once it returns the subscriber is never called again and may be destroyed.
    void Unsubscribe(PacketSubscriber* subscriber);
    // Drops the bytes carried over (the stream was cut: a stop or a retune).
    void Reset();

private:
    struct State;
    std::unique_ptr<State> state_;
};

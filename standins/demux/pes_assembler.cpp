#include "standins/demux/pes_assembler.h"

#include <utility>


namespace {

constexpr std::size_t kFixedHeaderSize = 6;     // start code, stream_id, PES_packet_length
constexpr std::size_t kOptionalHeaderSize = 9;  // ... plus flags and PES_header_data_length

// Streams whose PES packets carry no optional header: their payload follows
// PES_packet_length directly (ISO/IEC 13818-1, table 2-21).
bool HasOptionalHeader(std::uint8_t streamId)
{
    switch (streamId) {
    case 0xBC:  // program_stream_map
    case 0xBE:  // padding_stream
    case 0xBF:  // private_stream_2
    case 0xF0:  // ECM
    case 0xF1:  // EMM
    case 0xF2:  // DSM-CC
    case 0xF8:  // ITU-T H.222.1 type E
    case 0xFF:  // program_stream_directory
        return false;
    default:
        return true;
    }
}

std::uint64_t ReadTimeStamp(const std::uint8_t* p)
{
    return (static_cast<std::uint64_t>((p[0] >> 1) & 0x07) << 30) |
           (static_cast<std::uint64_t>(p[1]) << 22) |
           (static_cast<std::uint64_t>(p[2] >> 1) << 15) |
           (static_cast<std::uint64_t>(p[3]) << 7) |
           (static_cast<std::uint64_t>(p[4]) >> 1);
}

}  // namespace

PesAssembler::PesAssembler(std::uint16_t pid, Handler handler, std::size_t maxChunk)
    : pid_(pid), handler_(std::move(handler)), maxChunk_(maxChunk == 0 ? 1 : maxChunk)
{
}

void PesAssembler::Reset()
{
    buffer_.clear();
    collecting_ = false;
    headerDone_ = false;
    discontinuity_ = false;
    lastCounter_ = -1;
}

void PesAssembler::Drop()
{
    buffer_.clear();
    collecting_ = false;
    headerDone_ = false;
    discontinuity_ = true;
}

void PesAssembler::FeedPacket(const std::uint8_t* packet)
{
    FeedPacket(ReadTsPacket(packet, kTsPacketSize));
}

void PesAssembler::FeedPacket(const TsPacket& packet)
{
    if (!packet.headerRead() || packet.pid != pid_)
        return;
    if (packet.transportError) {
        // Marked damaged: even the counter cannot be trusted.
        Drop();
        lastCounter_ = -1;
        return;
    }
    if (!packet.ok()) {
        Drop();  // an adaptation field past the packet: no payload to read
        return;
    }
    if (!packet.hasPayload)
        return;  // adaptation field only; the counter does not advance

    if (lastCounter_ >= 0 && !packet.discontinuity) {
        if (packet.continuity == lastCounter_)
            return;  // the same packet sent twice, which the standard allows
        if (packet.continuity != ((lastCounter_ + 1) & 0x0F))
            Drop();  // a packet was lost: the PES packet being built has a hole
    }
    lastCounter_ = packet.continuity;

    if (packet.scrambling != 0) {
        Drop();  // the payload cannot be read without the descrambler
        return;
    }
    if (packet.unitStart)
        StartUnit(packet.payload, packet.payloadSize);
    else if (collecting_)
        Take(packet.payload, packet.payloadSize);
}

void PesAssembler::StartUnit(const std::uint8_t* payload, std::size_t size)
{
    // An unbounded PES packet ends where the next one begins.
    if (collecting_ && headerDone_ && !buffer_.empty())
        Emit(buffer_.size(), true);
    buffer_.clear();
    collecting_ = true;
    headerDone_ = false;
    firstChunk_ = true;
    Take(payload, size);
}

void PesAssembler::Take(const std::uint8_t* payload, std::size_t size)
{
    buffer_.insert(buffer_.end(), payload, payload + size);
    if (!headerDone_ && !ParseHeader())
        return;
    if (bounded_ && buffer_.size() >= payloadLeft_) {
        // Whatever follows the end of a bounded PES packet in this transport
        // packet is not part of it.
        Emit(payloadLeft_);
        buffer_.clear();
        collecting_ = false;
        return;
    }
    while (buffer_.size() >= maxChunk_)
        Emit(maxChunk_);
}

bool PesAssembler::ParseHeader()
{
    if (buffer_.size() < kFixedHeaderSize)
        return false;
    const std::uint8_t* h = buffer_.data();
    if (h[0] != 0x00 || h[1] != 0x00 || h[2] != 0x01) {
        Drop();
        return false;
    }
    const std::uint8_t streamId = h[3];
    const std::size_t declaredLength = static_cast<std::size_t>(h[4]) << 8 | h[5];
    std::size_t headerSize = kFixedHeaderSize;
    bool hasPts = false;
    std::uint64_t pts = 0;
    if (HasOptionalHeader(streamId)) {
        if (buffer_.size() < kOptionalHeaderSize)
            return false;
        if ((h[6] & 0xC0) != 0x80) {  // the '10' marker bits
            Drop();
            return false;
        }
        headerSize = kOptionalHeaderSize + h[8];
        if (buffer_.size() < headerSize)
            return false;
        h = buffer_.data();
        const bool ptsFlag = (h[7] & 0x80) != 0;
        if (ptsFlag && h[8] >= 5) {
            hasPts = true;
            pts = ReadTimeStamp(h + kOptionalHeaderSize);
        }
    }
    if (declaredLength != 0) {
        if (declaredLength + kFixedHeaderSize < headerSize) {
            Drop();
            return false;
        }
        bounded_ = true;
        payloadLeft_ = declaredLength + kFixedHeaderSize - headerSize;
    } else {
        bounded_ = false;
        payloadLeft_ = 0;
    }
    streamId_ = streamId;
    hasPts_ = hasPts;
    pts_ = pts;
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(headerSize));
    headerDone_ = true;
    return true;
}

void PesAssembler::Emit(std::size_t size, bool ends)
{
    if (size == 0)
        return;
    PesChunk chunk;
    chunk.data = buffer_.data();
    chunk.size = size;
    chunk.unitStart = firstChunk_;
    chunk.discontinuity = discontinuity_;
    chunk.hasPts = firstChunk_ && hasPts_;
    chunk.pts = chunk.hasPts ? pts_ : 0;
    chunk.streamId = streamId_;
    chunk.unitEnd = bounded_ ? size == payloadLeft_ : ends;
    handler_(chunk);
    firstChunk_ = false;
    discontinuity_ = false;
    if (bounded_)
        payloadLeft_ -= size;
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(size));
}

std::vector<std::uint8_t> MakePesHeader(std::uint8_t streamId, bool hasPts, std::uint64_t pts,
                                        std::size_t payloadSize, bool whole)
{
    const std::size_t optional = hasPts ? 8 : 3;
    const std::size_t length = whole && optional + payloadSize <= 0xFFFF ? optional + payloadSize : 0;
    std::vector<std::uint8_t> h = {0x00, 0x00, 0x01, streamId, static_cast<std::uint8_t>(length >> 8),
                                   static_cast<std::uint8_t>(length & 0xFF), 0x80,
                                   static_cast<std::uint8_t>(hasPts ? 0x80 : 0x00),
                                   static_cast<std::uint8_t>(hasPts ? 5 : 0)};
    if (hasPts) {
        h.push_back(static_cast<std::uint8_t>(0x21 | ((pts >> 29) & 0x0E)));
        h.push_back(static_cast<std::uint8_t>(pts >> 22));
        h.push_back(static_cast<std::uint8_t>(0x01 | ((pts >> 14) & 0xFE)));
        h.push_back(static_cast<std::uint8_t>(pts >> 7));
        h.push_back(static_cast<std::uint8_t>(0x01 | ((pts << 1) & 0xFE)));
    }
    return h;
}

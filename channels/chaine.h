#pragma once
// The channel record and the process-wide channel and frequency lists.
//
// A channel is a plain value: no pointers, no handles; an all-zero record is
// valid and empty, and records are copied and swapped whole.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "channels/guide_event.h"
#include "channels/service_streams.h"

// PID value that marks a service without a programme clock reference.
constexpr std::int32_t kNoPcrPid = 0x1FFF;

// How one elementary stream is coded. Zero is the kind its field has always
// held (MPEG-1/2 video in Video, MPEG audio in Son1 and Son2, AC-3 in Ac3), so an
// all-zero record, and a record read from an older channel file, mean just that.
enum class StreamCodec : std::uint8_t {
    Classic = 0,
    H264,
    Hevc,
    AacAdts,
    AacLatm,
    Eac3,
};

struct Chaine {
    char Nom[256];     // service name, broadcast bytes or system code page, NUL-terminated
    char Groupe[256];  // service provider name, same rules
    std::int32_t Frequence;  // multiplex centre frequency, kHz
    std::int32_t ONID;
    std::int32_t SID;        // service_id = MPEG programme_number
    std::int32_t TSID;
    std::int32_t Numero;     // logical channel number from the NIT, 0 = none
    std::int32_t PMT;
    std::int32_t PCR;        // kNoPcrPid when the service has none
    std::int32_t Video;
    std::int32_t Son1;
    std::int32_t Son2;
    std::int32_t Ac3;
    StreamCodec VideoCodec;  // coding of each stream above, beside its PID
    StreamCodec Son1Codec;
    StreamCodec Son2Codec;
    StreamCodec Ac3Codec;
    ServiceStreams Streams;  // every audio and subtitle stream, by language and kind
    GuideEvent presentEvent;    // written only by the guide reader
    GuideEvent followingEvent;  // written only by the guide reader
};

// Returns an all-zero record.
Chaine MakeEmptyChaine();

using ChannelList = std::vector<Chaine>;

// The process-wide lists. Membership and order of Chaines are fixed once start-up
// has filled it; a channel is named everywhere by its position in it.
extern ChannelList Chaines;
extern std::vector<std::int32_t> Frequences;

// Removes the record at `position`; later records move up by one.
void RemoveAt(ChannelList& list, std::size_t position);

// Exchange sort on Numero (signed): for i < j, records i and j are swapped
// whenever Numero[i] > Numero[j]. Not stable; the result for equal numbers is the
// one this exact sequence of exchanges gives.
void SortByNumero(ChannelList& list);

// Lowest position whose Numero equals n, or -1.
int FindByNumero(const ChannelList& list, std::int32_t n);

// True when `index` names a record of `list`.
bool IsValidChannelIndex(const ChannelList& list, long long index);

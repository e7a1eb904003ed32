#pragma once
// The order in which a channel scan reads the tables of each multiplex, and what
// it does with the records once every frequency has been visited. Where the
// sections come from (the capture graph's sections-and-tables filter, or a
// recorded stream) is the caller's business.
#include <cstdint>
#include <functional>
#include <vector>

#include "channels/chaine.h"

// How long each request may wait for its section. The SDT time-out also covers
// a lock that comes after the scan's lock wait (lock_wait.h) has run out.
constexpr std::uint32_t kSdtTimeoutMs = 5000;
constexpr std::uint32_t kPatTimeoutMs = 10000;
constexpr std::uint32_t kPmtTimeoutMs = 5000;
constexpr std::uint32_t kNitTimeoutMs = 10000;

// Fetches the first section with `pid` and `tableId` delivered after the request,
// waiting at most `timeoutMs`. On arrival fills `section` (from table_id to CRC_32)
// and returns true; false means the table did not come.
using SectionRequest = std::function<bool(std::uint16_t pid, std::uint8_t tableId,
                                          std::uint32_t timeoutMs, std::vector<std::uint8_t>& section)>;

// Reads one tuned multiplex into `list`: the SDT (nothing more when it does not
// come), the PAT, the PMT of each record the SDT added, in order, and the NIT when
// `capturedNit` is still empty, which it then keeps.
void ReadMultiplexTables(std::int32_t frequency, const SectionRequest& request, ChannelList& list,
                         std::vector<std::uint8_t>& capturedNit);

// Removes, in place and keeping the order of the rest, every record that cannot be
// played: no MPEG video stream (radio, data, or a programme map that never came)
// or no programme clock reference.
void RemoveUnplayable(ChannelList& list);

// What the scan does once every frequency has been read. With a captured NIT
// (non-null and not empty): number the records from it, drop the unplayable ones
// and sort by number. Without one the list keeps every service in scan order.
void FinishScan(ChannelList& list, const std::vector<std::uint8_t>* capturedNit);

// The skipped frequencies that deserve a second look once a scan has found
// channels: those that the NIT (`capturedNit`, possibly empty) gives as the centre
// frequency of a transport stream of which `list` holds no record. A plan's
// frequency and the NIT's may differ by the transmitter's offset (a few hundred
// kHz), so they match within half an 8 MHz UHF channel. In the order of `skipped`.
std::vector<std::int32_t> SkippedButAnnounced(const std::vector<std::int32_t>& skipped,
                                              const std::vector<std::uint8_t>& capturedNit,
                                              const ChannelList& list);

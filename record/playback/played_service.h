#pragma once
// Which service a recording holds, read from its own tables: the first
// programme of its PAT and that programme's PMT, found near the start of the
// file. A recording of one service holds just that one; a recording of a whole
// multiplex plays its first programme.
#include <cstdint>
#include <optional>

#include "channels/chaine.h"
#include "record/playback/byte_source.h"
#include "record/playback/ts_probe.h"

// How far into the file the tables are looked for: broadcasters repeat them
// several times a second, so a few megabytes hold them many times over.
constexpr std::uint64_t kServiceSearchBytes = 8u << 20;

// The service's PIDs and codecs (PMT, PCR, Video, Son1, Ac3 and their codecs;
// the rest of the record is left at its defaults), or nullopt when no PAT or
// PMT is found within `limit` bytes of the first packet.
std::optional<Chaine> FindPlayedService(ByteSource& source, const TsProbe& probe,
                                        std::uint64_t limit = kServiceSearchBytes);

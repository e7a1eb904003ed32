#pragma once
// What the end-to-end tests read back from the files the program writes: the
// packets of a recording, whether they are an unbroken run of the stream the
// stand-in tuner plays in a loop, and the files of a folder.
#include <cstdint>
#include <string>
#include <vector>

#include "channels/psi/ts_packet.h"

using Packets = std::vector<std::string>;

std::uint16_t PidOf(const std::string& packet);

// The whole packets of `stream` whose PID `keep` accepts, in order.
template <class Keep>
Packets PacketsOf(const std::string& stream, Keep keep)
{
    Packets out;
    for (std::size_t at = 0; at + kTsPacketSize <= stream.size(); at += kTsPacketSize) {
        std::string packet = stream.substr(at, kTsPacketSize);
        if (keep(PidOf(packet)))
            out.push_back(std::move(packet));
    }
    return out;
}

// Whether `recorded` is a run of consecutive packets of `source`, which the
// stand-in tuner plays in a loop: nothing lost, nothing doubled, nothing added.
bool IsLoopedRun(const Packets& recorded, const Packets& source);

// The clock references carried on `pcrPid`, in order, in seconds.
std::vector<double> PcrSeconds(const Packets& packets, std::uint16_t pcrPid);

// The whole content of a file, also while the program still writes it; empty
// when it cannot be read.
std::string ReadRecordedFile(const std::wstring& path);

// The names of the files of `folder` that match `pattern` ("*.mpg").
std::vector<std::wstring> FilesIn(const std::wstring& folder, const wchar_t* pattern);

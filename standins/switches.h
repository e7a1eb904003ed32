#pragma once
// The strict switches of the stand-ins, read from BRISOME_STANDINS: a comma-separated
// list such as "odd-samples,slow-lock=1500,no-ac3". Each switch makes one stand-in behave
// as strictly as the Windows component it plays is documented to (or as a real device
// may), so that the unchanged program can be run against that platform. With the
// variable unset every stand-in keeps its lenient default. Pure code: no platform header.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace standins {

struct StandinSwitches {
    bool oddSamples = false;        // samples not cut at packet boundaries
    bool lazyPins = false;          // tuner output only through IBDA_Topology
    bool acceptingAntenna = false;  // antenna Receive answers S_OK
    bool blockingAntenna = false;   // antenna Receive blocks until the graph stops
    std::uint32_t slowLockMs = 0;   // 0: locked at the commit
    bool forgetful = false;         // the tuner forgets its frequency when stopped
    bool strictSections = false;    // the sections filter as documented
    bool noSections = false;        // no sections filter at all
    bool noMpeg2Video = false;      // no classic MPEG-2 video decoder
    bool noAc3 = false;             // no classic AC-3 decoder
    bool strictAac = false;         // AAC and E-AC-3 decoders check the format block
    bool slowPsi = false;           // multi-packet sections spread over >= 300 ms
    // Words that are not switches, kept so that a typo can be reported.
    std::vector<std::string> unknown;

    bool operator==(const StandinSwitches&) const = default;
};

// Longest lock delay accepted: anything longer is a typo, not a tuner.
constexpr std::uint32_t kMaxSlowLockMs = 600'000;

// Spaces around a word are ignored, empty words too; a word that is not a switch, or
// slow-lock without a number in range, goes to `unknown`.
StandinSwitches ParseStandinSwitches(std::string_view text);

}  // namespace standins

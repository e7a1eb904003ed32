#pragma once
// A DVB service is named by three numbers: original network id, transport
// stream id and service id. The service id alone repeats across networks and
// multiplexes, and the frequency changes at a re-planning; the triplet does not.
#include <compare>
#include <cstdint>

struct ServiceKey {
    std::uint16_t onid = 0;
    std::uint16_t tsid = 0;
    std::uint16_t sid = 0;
    auto operator<=>(const ServiceKey&) const = default;
};

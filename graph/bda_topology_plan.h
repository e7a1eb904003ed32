#pragma once
// Which pin ids a BDA tuner's control nodes sit between. A BDA driver describes its
// possible topology as template connections between node types and pin types, a node
// type of -1 standing for a pin of the filter. A real driver may show only its antenna
// input until the output pin is created and joined to it; the control nodes are then
// reached with the ids of those two pins. A pin created at the filter's creation has
// its pin type as id, as the BDA support library gives them.
#include <cstdint>
#include <vector>

struct TemplateLink {
    std::uint32_t fromNodeType;
    std::uint32_t fromPinType;
    std::uint32_t toNodeType;
    std::uint32_t toPinType;
};

struct TopologyPins {
    std::uint32_t inputType;   // the antenna input's pin type, also its id
    std::uint32_t outputType;  // the transport-stream output's pin type
};

constexpr std::uint32_t kTemplatePin = 0xFFFFFFFFu;

// From the template connections: the pin type where the chain of nodes begins and the
// one where it ends. Without usable connections, the first and last of `pinTypes`;
// without those either, 0 and 1, the layout of nearly every single-tuner device.
TopologyPins PlanTopologyPins(const std::vector<TemplateLink>& links, const std::vector<std::uint32_t>& pinTypes);

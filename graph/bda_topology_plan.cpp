#include "graph/bda_topology_plan.h"

#include <optional>

TopologyPins PlanTopologyPins(const std::vector<TemplateLink>& links, const std::vector<std::uint32_t>& pinTypes)
{
    std::optional<std::uint32_t> input, output;
    for (const TemplateLink& link : links) {
        // A link from a pin to a pin (a filter that only passes the stream through)
        // counts as both ends.
        if (!input && link.fromNodeType == kTemplatePin)
            input = link.fromPinType;
        if (!output && link.toNodeType == kTemplatePin)
            output = link.toPinType;
    }
    if (input && output && *input != *output)
        return {*input, *output};
    if (pinTypes.size() >= 2)
        return {pinTypes.front(), pinTypes.back()};
    return {0, 1};
}

#include "graph/bda_topology.h"

#include <bdaiface.h>

#include <vector>

namespace {

constexpr ULONG kMaxEntries = 32;

bool HasOutputPin(IBaseFilter* filter)
{
    ComPtr<IEnumPins> pins;
    if (FAILED(filter->EnumPins(pins.Put())) || !pins)
        return false;
    for (ComPtr<IPin> pin; pins->Next(1, pin.Put(), nullptr) == S_OK; pin.Reset()) {
        PIN_DIRECTION direction;
        if (SUCCEEDED(pin->QueryDirection(&direction)) && direction == PINDIR_OUTPUT)
            return true;
    }
    return false;
}

TopologyPins ReadTopologyPins(IBDA_Topology* topology)
{
    std::vector<std::uint32_t> types;
    ULONG count = 0;
    ULONG read[kMaxEntries] = {};
    if (topology->GetPinTypes(&count, kMaxEntries, read) == S_OK)
        types.assign(read, read + (count < kMaxEntries ? count : kMaxEntries));

    std::vector<TemplateLink> links;
    BDA_TEMPLATE_CONNECTION connections[kMaxEntries] = {};
    count = 0;
    if (topology->GetTemplateConnections(&count, kMaxEntries, connections) == S_OK) {
        for (ULONG i = 0; i < count && i < kMaxEntries; ++i) {
            const BDA_TEMPLATE_CONNECTION& c = connections[i];
            links.push_back({c.FromNodeType, c.FromNodePinType, c.ToNodeType, c.ToNodePinType});
        }
    }
    return PlanTopologyPins(links, types);
}

}  // namespace

TopologyPins PrepareTopology(IBaseFilter* device)
{
    ComPtr<IBDA_Topology> topology;
    if (!device || FAILED(device->QueryInterface(IID_IBDA_Topology, topology.PutVoid())) || !topology)
        return {0, 1};
    TopologyPins pins = ReadTopologyPins(topology.Get());
    if (HasOutputPin(device)) {
        // Joining pins that are already joined is harmless; a driver that made its
        // output pin at once may still wait for this call to route the stream.
        topology->CreateTopology(pins.inputType, pins.outputType);
        return pins;
    }
    ULONG outputId = 0;
    if (FAILED(topology->CreatePin(pins.outputType, &outputId)))
        return pins;  // still no output: the caller finds no transport stream
    topology->CreateTopology(pins.inputType, outputId);
    return {pins.inputType, outputId};
}

ComPtr<IUnknown> FindControlNode(IBaseFilter* device, const TopologyPins& pins, const IID& iid)
{
    ComPtr<IBDA_Topology> topology;
    if (!device || FAILED(device->QueryInterface(IID_IBDA_Topology, topology.PutVoid())) || !topology)
        return {};
    ULONG nodeTypeCount = 0;
    ULONG nodeTypes[kMaxEntries] = {};
    if (topology->GetNodeTypes(&nodeTypeCount, kMaxEntries, nodeTypes) != S_OK)
        return {};
    for (ULONG t = 0; t < nodeTypeCount && t < kMaxEntries; ++t) {
        ULONG interfaceCount = 0;
        GUID interfaces[kMaxEntries] = {};
        if (topology->GetNodeInterfaces(nodeTypes[t], &interfaceCount, kMaxEntries, interfaces) != S_OK)
            continue;
        bool offered = false;
        for (ULONG i = 0; i < interfaceCount && i < kMaxEntries; ++i)
            offered = offered || IsEqualGUID(interfaces[i], iid);
        if (!offered)
            continue;
        ComPtr<IUnknown> node;
        if (FAILED(topology->GetControlNode(pins.inputType, pins.outputType, nodeTypes[t], node.Put())) || !node)
            continue;
        ComPtr<IUnknown> wanted;
        if (SUCCEEDED(node->QueryInterface(iid, wanted.PutVoid())) && wanted)
            return wanted;
    }
    return {};
}

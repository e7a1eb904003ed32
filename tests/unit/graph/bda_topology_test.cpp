// A tuner that shows its transport output only once asked for it, as a BDA driver
// may: the output pin is made and joined through IBDA_Topology, and the control
// nodes are asked for between the pins that the topology gave.
#include <windows.h>
#include <bdaiface.h>

#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "graph/bda_topology.h"
#include "test_source.h"

namespace {

constexpr ULONG kCreatedPinId = 7;

class LazyTuner : public TestSource, public IBDA_Topology {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override { return CBaseFilter::QueryInterface(iid, out); }
    ULONG STDMETHODCALLTYPE AddRef() override { return CBaseFilter::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return CBaseFilter::Release(); }
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** out) override
    {
        if (out && iid == IID_IBDA_Topology) return GetInterface(static_cast<IBDA_Topology*>(this), out);
        return TestSource::NonDelegatingQueryInterface(iid, out);
    }

    // One node type, whose control node is this object (it offers IBDA_Topology).
    HRESULT STDMETHODCALLTYPE GetNodeTypes(ULONG* count, ULONG, ULONG types[]) override { *count = 1; types[0] = 0; return S_OK; }
    HRESULT STDMETHODCALLTYPE GetNodeDescriptors(ULONG*, ULONG, BDANODE_DESCRIPTOR[]) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetNodeInterfaces(ULONG, ULONG* count, ULONG, GUID interfaces[]) override
    {
        *count = 1;
        interfaces[0] = IID_IBDA_Topology;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPinTypes(ULONG* count, ULONG, ULONG types[]) override
    {
        *count = 2;
        types[0] = 0;
        types[1] = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTemplateConnections(ULONG* count, ULONG, BDA_TEMPLATE_CONNECTION connections[]) override
    {
        *count = 2;
        connections[0] = {ULONG(-1), 0, 0, 0};
        connections[1] = {0, 1, ULONG(-1), 1};
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE CreatePin(ULONG pinType, ULONG* pinId) override
    {
        created.push_back(pinType);
        AddTestPin(L"MPEG2 Transport", {});
        *pinId = kCreatedPinId;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DeletePin(ULONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMediaType(ULONG, AM_MEDIA_TYPE*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMedium(ULONG, REGPINMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateTopology(ULONG input, ULONG output) override { joined.emplace_back(input, output); return S_OK; }
    HRESULT STDMETHODCALLTYPE GetControlNode(ULONG input, ULONG output, ULONG, IUnknown** node) override
    {
        *node = nullptr;
        if (input != 0 || output != kCreatedPinId) return E_INVALIDARG;
        AddRef();
        *node = static_cast<IBDA_Topology*>(this);
        return S_OK;
    }

    std::vector<ULONG> created;
    std::vector<std::pair<ULONG, ULONG>> joined;
};

class BdaTopology : public testing::Test {
protected:
    void SetUp() override { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    void TearDown() override { CoUninitialize(); }
};

TEST_F(BdaTopology, TheOutputPinIsCreatedJoinedAndItsIdUsedForTheControlNodes)
{
    auto* tuner = new LazyTuner;
    ComPtr<IBaseFilter> holder = ComPtr<IBaseFilter>::Share(static_cast<IBaseFilter*>(tuner));
    ASSERT_EQ(tuner->GetPinCount(), 0);

    const TopologyPins pins = PrepareTopology(tuner);
    EXPECT_EQ(pins.inputType, 0u);
    EXPECT_EQ(pins.outputType, kCreatedPinId);
    EXPECT_EQ(tuner->created, std::vector<ULONG>{1}) << "the template's output pin type";
    EXPECT_EQ(tuner->joined, (std::vector<std::pair<ULONG, ULONG>>{{0, kCreatedPinId}}));
    EXPECT_EQ(tuner->GetPinCount(), 1);
    EXPECT_TRUE(FindControlNode(tuner, pins, IID_IBDA_Topology));
    EXPECT_FALSE(FindControlNode(tuner, {0, 1}, IID_IBDA_Topology)) << "not the ids of today's stand-ins";
    EXPECT_FALSE(FindControlNode(tuner, pins, IID_IBDA_FrequencyFilter)) << "no node offers it";

    // Once the pin is there, no second one is made.
    PrepareTopology(tuner);
    EXPECT_EQ(tuner->created.size(), 1u);
}

}  // namespace

#pragma once
// The virtual DVB-T tuner: an antenna input of the BDA antenna type, a transport-stream
// output, the BDA change transaction and a topology whose control nodes tune and report
// the signal. After a commit it plays the broadcast file of the tuned frequency.
#include <windows.h>
#include <dshow.h>
#include <bdatypes.h>
#include <bdaiface.h>

#include <memory>

#include "graph/filterbase/source.h"
#include "graph/filterbase/with_interfaces.h"
#include "standins/catalogue.h"
#include "standins/switches.h"
#include "standins/tuner_core.h"

class CAntennaPin;
class CTunerOutputPin;

class CVirtualTuner : public WithInterfaces<CSource, IBDA_DeviceControl, IBDA_Topology> {
public:
    CVirtualTuner(const DeviceEntry& device, const standins::StandinSwitches& switches);
    ~CVirtualTuner() override;

    // Answers the added interfaces, then those of the base class.
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** out) override;

    // IMediaFilter: each state change is traced. A live source: it streams only while
    // running, and paused it answers VFW_S_CANT_CUE, so that the graph runs at once
    // instead of waiting for renderers that cannot get a sample before it does.
    HRESULT STDMETHODCALLTYPE Stop() override;
    HRESULT STDMETHODCALLTYPE Pause() override;
    HRESULT STDMETHODCALLTYPE Run(REFERENCE_TIME start) override;
    HRESULT STDMETHODCALLTYPE GetState(DWORD timeoutMs, FILTER_STATE* state) override;

    // Pin 0 is the antenna input, pin 1 the transport-stream output. With lazy pins, as
    // a BDA driver does, the output shows only once the topology has created and joined it.
    int GetPinCount() override;
    CBasePin* GetPin(int index) override;

    // IBDA_DeviceControl
    HRESULT STDMETHODCALLTYPE StartChanges() override;
    HRESULT STDMETHODCALLTYPE CheckChanges() override;
    HRESULT STDMETHODCALLTYPE CommitChanges() override;
    HRESULT STDMETHODCALLTYPE GetChangeState(ULONG* state) override;

    // IBDA_Topology
    HRESULT STDMETHODCALLTYPE GetNodeTypes(ULONG* count, ULONG maximum, ULONG types[]) override;
    HRESULT STDMETHODCALLTYPE GetNodeDescriptors(ULONG* count, ULONG maximum, BDANODE_DESCRIPTOR descriptors[]) override;
    HRESULT STDMETHODCALLTYPE GetNodeInterfaces(ULONG nodeType, ULONG* count, ULONG maximum, GUID interfaces[]) override;
    HRESULT STDMETHODCALLTYPE GetPinTypes(ULONG* count, ULONG maximum, ULONG types[]) override;
    HRESULT STDMETHODCALLTYPE GetTemplateConnections(ULONG* count, ULONG maximum,
                                                     BDA_TEMPLATE_CONNECTION connections[]) override;
    HRESULT STDMETHODCALLTYPE CreatePin(ULONG pinType, ULONG* pinId) override;
    HRESULT STDMETHODCALLTYPE DeletePin(ULONG pinId) override;
    HRESULT STDMETHODCALLTYPE SetMediaType(ULONG pinId, AM_MEDIA_TYPE* type) override;
    HRESULT STDMETHODCALLTYPE SetMedium(ULONG pinId, REGPINMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE CreateTopology(ULONG inputPinId, ULONG outputPinId) override;
    HRESULT STDMETHODCALLTYPE GetControlNode(ULONG inputPinId, ULONG outputPinId, ULONG nodeType,
                                             IUnknown** node) override;

    const DeviceEntry& Device() const { return device_; }
    const TunerCorePtr& Core() const { return core_; }

private:
    bool HasNode(ULONG nodeType) const;
    bool OutputShown();
    // Whether the pair of pin ids is one that the topology joined.
    bool Joined(ULONG inputPinId, ULONG outputPinId);

    const DeviceEntry& device_;
    const standins::StandinSwitches switches_;
    // Lazy pins only, under the state lock: the output's id once CreatePin made it, and
    // whether CreateTopology joined it to the antenna.
    bool outputCreated_ = false;
    bool outputJoined_ = false;
    TunerCorePtr core_;
    std::unique_ptr<CAntennaPin> antenna_;
    CTunerOutputPin* output_;  // owned by CSource's pin array
};

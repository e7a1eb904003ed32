#include "standins/virtual_tuner.h"

#include <new>

#include "standins/bda_nodes.h"
#include "standins/trace.h"
#include "standins/tuner_pins.h"

CVirtualTuner::CVirtualTuner(const DeviceEntry& device)
    : WithInterfaces(L"tuner TNT virtuel", nullptr, device.classId), device_(device),
      core_(std::make_shared<TunerCore>()),
      antenna_(std::make_unique<CAntennaPin>(this, StateLock())),
      output_(new CTunerOutputPin(this, device.output, core_))
{
}

// The output pin belongs to CSource's array, which deletes it.
CVirtualTuner::~CVirtualTuner() = default;

HRESULT STDMETHODCALLTYPE CVirtualTuner::NonDelegatingQueryInterface(REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    if (iid == IID_IBDA_DeviceControl && device_.hasDeviceControl) {
        return GetInterface(static_cast<IBDA_DeviceControl*>(this), out);
    }
    if (iid == IID_IBDA_Topology) return GetInterface(static_cast<IBDA_Topology*>(this), out);
    return CSource::NonDelegatingQueryInterface(iid, out);
}

HRESULT STDMETHODCALLTYPE CVirtualTuner::Stop()
{
    TraceLine("Stop");
    output_->SetRunning(false);
    return CSource::Stop();
}

HRESULT STDMETHODCALLTYPE CVirtualTuner::Pause()
{
    TraceLine("Pause");
    output_->SetRunning(false);
    return CSource::Pause();
}

HRESULT STDMETHODCALLTYPE CVirtualTuner::Run(REFERENCE_TIME start)
{
    TraceLine("Run");
    HRESULT hr = CSource::Run(start);
    if (SUCCEEDED(hr)) output_->SetRunning(true);
    return hr;
}

HRESULT STDMETHODCALLTYPE CVirtualTuner::GetState(DWORD timeoutMs, FILTER_STATE* state)
{
    HRESULT hr = CSource::GetState(timeoutMs, state);
    if (hr == S_OK && *state == State_Paused) return VFW_S_CANT_CUE;
    return hr;
}

int CVirtualTuner::GetPinCount() { return 2; }

CBasePin* CVirtualTuner::GetPin(int index)
{
    if (index == 0) return antenna_.get();
    if (index == 1) return output_;
    return nullptr;
}

// ---- IBDA_DeviceControl

HRESULT STDMETHODCALLTYPE CVirtualTuner::StartChanges()
{
    TraceLine("StartChanges");
    core_->StartChanges();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CVirtualTuner::CheckChanges()
{
    TraceLine("CheckChanges");
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CVirtualTuner::CommitChanges()
{
    TraceLine("CommitChanges");
    core_->CommitChanges();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CVirtualTuner::GetChangeState(ULONG* state)
{
    if (!state) return E_POINTER;
    *state = BDA_CHANGES_COMPLETE;
    return S_OK;
}

// ---- IBDA_Topology: one input pin (id 0), one output pin (id 1), and between them the
// RF node and the demodulator node, when the device has them.

bool CVirtualTuner::HasNode(ULONG nodeType) const
{
    if (nodeType == kFrequencyNode) return device_.hasFrequencyNode;
    if (nodeType == kStatisticsNode) return device_.hasStatisticsNode;
    return false;
}

HRESULT STDMETHODCALLTYPE CVirtualTuner::GetNodeTypes(ULONG* count, ULONG maximum, ULONG types[])
{
    if (!count) return E_POINTER;
    ULONG found = 0;
    for (ULONG type : {ULONG{kFrequencyNode}, ULONG{kStatisticsNode}}) {
        if (!HasNode(type)) continue;
        if (found < maximum && types) types[found] = type;
        ++found;
    }
    *count = found;
    return found <= maximum ? S_OK : E_INVALIDARG;
}

HRESULT STDMETHODCALLTYPE CVirtualTuner::GetNodeDescriptors(ULONG* count, ULONG, BDANODE_DESCRIPTOR[])
{
    if (!count) return E_POINTER;
    *count = 0;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CVirtualTuner::GetNodeInterfaces(ULONG nodeType, ULONG* count, ULONG maximum,
                                                           GUID interfaces[])
{
    if (!count) return E_POINTER;
    *count = 0;
    if (!HasNode(nodeType)) return E_INVALIDARG;
    *count = 1;
    if (maximum < 1 || !interfaces) return E_INVALIDARG;
    interfaces[0] = nodeType == kFrequencyNode ? IID_IBDA_FrequencyFilter : IID_IBDA_SignalStatistics;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CVirtualTuner::GetPinTypes(ULONG* count, ULONG maximum, ULONG types[])
{
    if (!count) return E_POINTER;
    *count = 2;
    if (maximum < 2 || !types) return E_INVALIDARG;
    types[0] = 0;
    types[1] = 1;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CVirtualTuner::GetTemplateConnections(ULONG* count, ULONG, BDA_TEMPLATE_CONNECTION[])
{
    if (!count) return E_POINTER;
    *count = 0;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CVirtualTuner::CreatePin(ULONG, ULONG*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CVirtualTuner::DeletePin(ULONG) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CVirtualTuner::SetMediaType(ULONG, AM_MEDIA_TYPE*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CVirtualTuner::SetMedium(ULONG, REGPINMEDIUM*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CVirtualTuner::CreateTopology(ULONG inputPinId, ULONG outputPinId)
{
    return inputPinId == 0 && outputPinId == 1 ? S_OK : E_INVALIDARG;
}

HRESULT STDMETHODCALLTYPE CVirtualTuner::GetControlNode(ULONG inputPinId, ULONG outputPinId, ULONG nodeType,
                                                        IUnknown** node)
{
    if (!node) return E_POINTER;
    *node = nullptr;
    if (inputPinId != 0 || outputPinId != 1 || !HasNode(nodeType)) return E_INVALIDARG;
    *node = CreateControlNode(static_cast<NodeType>(nodeType), core_);
    return *node ? S_OK : E_OUTOFMEMORY;
}

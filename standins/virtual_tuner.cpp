#include "standins/virtual_tuner.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <new>

#include "standins/bda_nodes.h"
#include "standins/trace.h"
#include "standins/tuner_pins.h"

namespace {

AntennaMode AntennaModeOf(const standins::StandinSwitches& switches)
{
    if (switches.blockingAntenna) return AntennaMode::Blocking;
    if (switches.acceptingAntenna) return AntennaMode::Accepting;
    return AntennaMode::Refusing;
}

// Pin types and ids of the topology: one antenna input, one transport output. A real
// driver numbers the pins it creates; one of each gets the ids of their types.
constexpr ULONG kAntennaPinType = 0;
constexpr ULONG kOutputPinType = 1;
constexpr ULONG kAntennaPinId = 0;
constexpr ULONG kOutputPinId = 1;
// In a template connection, a pin end is written as this node type with the pin type.
constexpr ULONG kPinEnd = static_cast<ULONG>(-1);

}  // namespace

CVirtualTuner::CVirtualTuner(const DeviceEntry& device, const standins::StandinSwitches& switches)
    : WithInterfaces(L"tuner TNT virtuel", nullptr, device.classId), device_(device), switches_(switches),
      core_(std::make_shared<TunerCore>(std::chrono::milliseconds(switches.slowLockMs))),
      antenna_(std::make_unique<CAntennaPin>(this, StateLock(), AntennaModeOf(switches), switches.lazyPins)),
      output_(new CTunerOutputPin(this, device.output, core_, switches))
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
    antenna_->SetStopped(true);
    // A USB tuner powers down with its graph: it must be tuned again before it plays.
    if (switches_.forgetful) core_->Forget();
    return CSource::Stop();
}

HRESULT STDMETHODCALLTYPE CVirtualTuner::Pause()
{
    TraceLine("Pause");
    output_->SetRunning(false);
    antenna_->SetStopped(false);
    return CSource::Pause();
}

HRESULT STDMETHODCALLTYPE CVirtualTuner::Run(REFERENCE_TIME start)
{
    TraceLine("Run");
    antenna_->SetStopped(false);
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

bool CVirtualTuner::OutputShown()
{
    if (!switches_.lazyPins) return true;
    AutoLock lock(*StateLock());
    return outputJoined_;
}

bool CVirtualTuner::Joined(ULONG inputPinId, ULONG outputPinId)
{
    if (inputPinId != kAntennaPinId || outputPinId != kOutputPinId) return false;
    return OutputShown();
}

int CVirtualTuner::GetPinCount() { return OutputShown() ? 2 : 1; }

CBasePin* CVirtualTuner::GetPin(int index)
{
    if (index == 0) return antenna_.get();
    if (index == 1 && OutputShown()) return output_;
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

HRESULT STDMETHODCALLTYPE CVirtualTuner::GetTemplateConnections(ULONG* count, ULONG maximum,
                                                                BDA_TEMPLATE_CONNECTION connections[])
{
    if (!count) return E_POINTER;
    // Antenna -> RF node -> demodulator node -> transport output, as far as the device
    // has the nodes; a program learns from the pin ends which pin type is the output.
    BDA_TEMPLATE_CONNECTION found[3];
    ULONG used = 0;
    ULONG fromType = kPinEnd;
    ULONG fromPin = kAntennaPinType;
    for (ULONG node : {ULONG{kFrequencyNode}, ULONG{kStatisticsNode}}) {
        if (!HasNode(node)) continue;
        found[used++] = {fromType, fromPin, node, 0};
        fromType = node;
        fromPin = 1;
    }
    found[used++] = {fromType, fromPin, kPinEnd, kOutputPinType};
    *count = used;
    if (maximum < used || !connections) return E_INVALIDARG;
    std::copy(found, found + used, connections);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CVirtualTuner::CreatePin(ULONG pinType, ULONG* pinId)
{
    if (!switches_.lazyPins) return E_NOTIMPL;
    if (!pinId) return E_POINTER;
    char line[48];
    std::snprintf(line, sizeof line, "CreatePin %lu", static_cast<unsigned long>(pinType));
    TraceLine(line);
    AutoLock lock(*StateLock());
    if (pinType == kAntennaPinType) {
        // The antenna pin exists from the start, as the driver's only input.
        *pinId = kAntennaPinId;
        return S_OK;
    }
    if (pinType != kOutputPinType) return E_INVALIDARG;
    outputCreated_ = true;
    *pinId = kOutputPinId;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CVirtualTuner::DeletePin(ULONG) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CVirtualTuner::SetMediaType(ULONG, AM_MEDIA_TYPE*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CVirtualTuner::SetMedium(ULONG, REGPINMEDIUM*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CVirtualTuner::CreateTopology(ULONG inputPinId, ULONG outputPinId)
{
    if (!switches_.lazyPins) return inputPinId == kAntennaPinId && outputPinId == kOutputPinId ? S_OK : E_INVALIDARG;
    char line[64];
    std::snprintf(line, sizeof line, "CreateTopology %lu %lu", static_cast<unsigned long>(inputPinId),
                  static_cast<unsigned long>(outputPinId));
    TraceLine(line);
    {
        AutoLock lock(*StateLock());
        if (inputPinId != kAntennaPinId || outputPinId != kOutputPinId || !outputCreated_) return E_INVALIDARG;
        if (outputJoined_) return S_OK;
        outputJoined_ = true;
    }
    // The new pin is seen by the graph's next enumeration of the pins.
    IncrementPinVersion();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CVirtualTuner::GetControlNode(ULONG inputPinId, ULONG outputPinId, ULONG nodeType,
                                                        IUnknown** node)
{
    if (!node) return E_POINTER;
    *node = nullptr;
    if (!Joined(inputPinId, outputPinId) || !HasNode(nodeType)) return E_INVALIDARG;
    *node = CreateControlNode(static_cast<NodeType>(nodeType), core_);
    return *node ? S_OK : E_OUTOFMEMORY;
}

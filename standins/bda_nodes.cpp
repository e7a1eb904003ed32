#include "standins/bda_nodes.h"

#include <cstdio>
#include <utility>

#include "graph/filterbase/com_object.h"
#include "standins/trace.h"

namespace {

void TraceValue(const char* call, unsigned long value)
{
    char line[64];
    std::snprintf(line, sizeof line, "%s %lu", call, value);
    TraceLine(line);
}

// The RF node: frequency and bandwidth wait for the tuner's CommitChanges.
class FrequencyNode : public ComObject<Implements<IBDA_FrequencyFilter, IID_IBDA_FrequencyFilter>> {
public:
    explicit FrequencyNode(TunerCorePtr core) : ComObject(L"FrequencyNode"), core_(std::move(core)) {}

    HRESULT STDMETHODCALLTYPE put_Autotune(ULONG transponder) override
    {
        TraceValue("put_Autotune", transponder);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Autotune(ULONG* transponder) override
    {
        if (!transponder) return E_POINTER;
        *transponder = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_Frequency(ULONG frequency) override
    {
        TraceValue("put_Frequency", frequency);
        core_->SetFrequency(frequency);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Frequency(ULONG* frequency) override
    {
        if (!frequency) return E_POINTER;
        *frequency = core_->PendingFrequency();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_Polarity(Polarisation polarity) override
    {
        TraceValue("put_Polarity", static_cast<unsigned long>(polarity));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Polarity(Polarisation* polarity) override
    {
        if (!polarity) return E_POINTER;
        *polarity = BDA_POLARISATION_NOT_SET;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_Range(ULONG range) override
    {
        TraceValue("put_Range", range);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Range(ULONG* range) override
    {
        if (!range) return E_POINTER;
        *range = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_Bandwidth(ULONG bandwidth) override
    {
        TraceValue("put_Bandwidth", bandwidth);
        core_->SetBandwidth(bandwidth);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Bandwidth(ULONG* bandwidth) override
    {
        if (!bandwidth) return E_POINTER;
        *bandwidth = core_->PendingBandwidth();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_FrequencyMultiplier(ULONG multiplier) override
    {
        TraceValue("put_FrequencyMultiplier", multiplier);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_FrequencyMultiplier(ULONG* multiplier) override
    {
        if (!multiplier) return E_POINTER;
        *multiplier = 1000;  // frequencies are given in kHz
        return S_OK;
    }

private:
    TunerCorePtr core_;
};

// The demodulator node: read-only figures that follow the last commit.
class StatisticsNode : public ComObject<Implements<IBDA_SignalStatistics, IID_IBDA_SignalStatistics>> {
public:
    explicit StatisticsNode(TunerCorePtr core) : ComObject(L"StatisticsNode"), core_(std::move(core)) {}

    HRESULT STDMETHODCALLTYPE put_SignalStrength(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_SignalStrength(LONG* strength) override
    {
        if (!strength) return E_POINTER;
        *strength = core_->Tuned().present ? signal_figures::kLockedStrength : signal_figures::kNoSignalStrength;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_SignalQuality(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_SignalQuality(LONG* quality) override
    {
        if (!quality) return E_POINTER;
        *quality = Locked() ? signal_figures::kLockedQuality : signal_figures::kNoSignalQuality;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_SignalPresent(BOOLEAN) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_SignalPresent(BOOLEAN* present) override
    {
        if (!present) return E_POINTER;
        *present = core_->Tuned().present ? TRUE : FALSE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_SignalLocked(BOOLEAN) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_SignalLocked(BOOLEAN* locked) override
    {
        if (!locked) return E_POINTER;
        *locked = Locked() ? TRUE : FALSE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_SampleTime(LONG milliseconds) override
    {
        sampleTime_ = milliseconds;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_SampleTime(LONG* milliseconds) override
    {
        if (!milliseconds) return E_POINTER;
        *milliseconds = sampleTime_;
        return S_OK;
    }

private:
    bool Locked() { return core_->Tuned().locked; }

    TunerCorePtr core_;
    LONG sampleTime_ = 100;
};

}  // namespace

IUnknown* CreateControlNode(NodeType type, TunerCorePtr core)
{
    if (type == kFrequencyNode) {
        return static_cast<IBDA_FrequencyFilter*>(MakeComObject<FrequencyNode>(std::move(core)).Detach());
    }
    return static_cast<IBDA_SignalStatistics*>(MakeComObject<StatisticsNode>(std::move(core)).Detach());
}

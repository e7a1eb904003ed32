#pragma once
// The pin half of the layer: identity, connection state and media-type negotiation.
// A pin has no lifetime of its own: its references are its filter's.
#include <dshow.h>

#include <string>

#include "common/com_ptr.h"
#include "graph/filterbase/auto_lock.h"
#include "graph/filterbase/media_type.h"
#include "graph/filterbase/unknown.h"

class CBaseFilter;
namespace filterbase { class ConnectAttemptLog; }

class CBasePin : public CUnknown, public IPin, public IQualityControl {
public:
    // `lock` is the filter's state lock, shared by all its pins.
    CBasePin(const wchar_t* objectName, CBaseFilter* filter, CriticalSection* lock, const wchar_t* pinName,
             PIN_DIRECTION direction);
    ~CBasePin() override;

    // IUnknown; AddRef and Release count on the filter.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE NonDelegatingAddRef() override;
    ULONG STDMETHODCALLTYPE NonDelegatingRelease() override;

    // IPin
    HRESULT STDMETHODCALLTYPE Connect(IPin* receivePin, const AM_MEDIA_TYPE* type) override;
    HRESULT STDMETHODCALLTYPE ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) override;
    HRESULT STDMETHODCALLTYPE Disconnect() override;
    HRESULT STDMETHODCALLTYPE ConnectedTo(IPin** pin) override;
    HRESULT STDMETHODCALLTYPE ConnectionMediaType(AM_MEDIA_TYPE* type) override;
    HRESULT STDMETHODCALLTYPE QueryPinInfo(PIN_INFO* info) override;
    HRESULT STDMETHODCALLTYPE QueryDirection(PIN_DIRECTION* direction) override;
    HRESULT STDMETHODCALLTYPE QueryId(LPWSTR* id) override;
    HRESULT STDMETHODCALLTYPE QueryAccept(const AM_MEDIA_TYPE* type) override;
    HRESULT STDMETHODCALLTYPE EnumMediaTypes(IEnumMediaTypes** types) override;
    HRESULT STDMETHODCALLTYPE QueryInternalConnections(IPin** pins, ULONG* count) override;
    HRESULT STDMETHODCALLTYPE EndOfStream() override;
    HRESULT STDMETHODCALLTYPE NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

    // IQualityControl
    HRESULT STDMETHODCALLTYPE Notify(IBaseFilter* sender, Quality quality) override;
    HRESULT STDMETHODCALLTYPE SetSink(IQualityControl* sink) override;

    // Hooks for derived pins, in this order.
    // Changes whenever the list of offered types changes, so that enumerators notice.
    virtual LONG GetMediaTypeVersion();
    virtual HRESULT Active();
    virtual HRESULT Inactive();
    virtual HRESULT Run(REFERENCE_TIME start);
    // Exactly S_OK accepts the type.
    virtual HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) = 0;
    virtual HRESULT SetMediaType(const AM_MEDIA_TYPE* type);
    virtual HRESULT CheckConnect(IPin* pin);
    virtual HRESULT BreakConnect();
    virtual HRESULT CompleteConnect(IPin* receivePin);
    // S_OK and the type at `position`, VFW_S_NO_MORE_ITEMS past the end.
    virtual HRESULT GetMediaType(int position, AM_MEDIA_TYPE* type);

    bool IsConnected();
    bool IsStopped();
    // Borrowed.
    IPin* GetConnected() const { return connected_.Get(); }
    CBaseFilter* Filter() const { return filter_; }
    const std::wstring& PinName() const { return name_; }
    const AM_MEDIA_TYPE& CurrentMediaType() const { return type_.Get(); }

protected:
    void IncrementTypeVersion();
    // Whether Connect may proceed while the filter is paused or running.
    bool canReconnectWhenActive_ = false;
    // Whether this pin's own types are tried before the other pin's.
    bool tryOwnTypesFirst_ = false;
    CriticalSection* lock_;

private:
    HRESULT AgreeMediaType(IPin* receivePin, const AM_MEDIA_TYPE* type);
    HRESULT TryMediaTypes(IPin* receivePin, const AM_MEDIA_TYPE* partial, IEnumMediaTypes* types,
                          filterbase::ConnectAttemptLog& log);
    HRESULT AttemptConnection(IPin* receivePin, const AM_MEDIA_TYPE& type);
    HRESULT DropConnection();

    std::wstring name_;
    PIN_DIRECTION direction_;
    CBaseFilter* filter_;
    ComPtr<IPin> connected_;
    MediaType type_;
    std::atomic<LONG> typeVersion_{1};
    REFERENCE_TIME segmentStart_ = 0;
    REFERENCE_TIME segmentStop_ = 0x7FFFFFFFFFFFFFFFLL;
    double segmentRate_ = 1.0;
    IQualityControl* qualitySink_ = nullptr;  // not referenced, as the platform asks
};

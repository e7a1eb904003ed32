#include "test_sink.h"


namespace {

// {6A6F1C44-5E1B-4C8B-9D0A-2B7A33C1D001}
const CLSID CLSID_TestSink = {0x6a6f1c44, 0x5e1b, 0x4c8b, {0x9d, 0x0a, 0x2b, 0x7a, 0x33, 0xc1, 0xd0, 0x01}};

// Enumerators of a fixed list, enough for the graph to walk the test filter.
class OnePinEnum : public ComObject<Implements<IEnumPins, IID_IEnumPins>> {
public:
    explicit OnePinEnum(IPin* pin, ULONG position = 0)
        : ComObject(L"OnePinEnum"), pin_(ComPtr<IPin>::Share(pin)), position_(position)
    {
    }
    HRESULT STDMETHODCALLTYPE Next(ULONG count, IPin** pins, ULONG* fetched) override
    {
        ULONG given = 0;
        if (count > 0 && position_ == 0) {
            pins[0] = ComPtr<IPin>(pin_).Detach();
            position_ = 1;
            given = 1;
        }
        if (fetched) *fetched = given;
        return given == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override
    {
        position_ += count;
        return position_ <= 1 ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override { position_ = 0; return S_OK; }
    HRESULT STDMETHODCALLTYPE Clone(IEnumPins** copy) override
    {
        return HandOut(MakeComObject<OnePinEnum>(pin_.Get(), position_), copy);
    }

private:
    ComPtr<IPin> pin_;
    ULONG position_;
};

class TypeListEnum : public ComObject<Implements<IEnumMediaTypes, IID_IEnumMediaTypes>> {
public:
    TypeListEnum(const std::vector<MediaType>& types, size_t position = 0)
        : ComObject(L"TypeListEnum"), types_(types), position_(position)
    {
    }
    HRESULT STDMETHODCALLTYPE Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) override
    {
        ULONG given = 0;
        while (given < count && position_ < types_.size()) types[given++] = CreateMediaType(types_[position_++].Get());
        if (fetched) *fetched = given;
        return given == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override
    {
        position_ += count;
        return position_ <= types_.size() ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override { position_ = 0; return S_OK; }
    HRESULT STDMETHODCALLTYPE Clone(IEnumMediaTypes** copy) override
    {
        return HandOut(MakeComObject<TypeListEnum>(types_, position_), copy);
    }

private:
    std::vector<MediaType> types_;
    size_t position_;
};

}  // namespace

MediaType TypeWithMajor(const GUID& major, const GUID& subtype)
{
    MediaType type;
    AM_MEDIA_TYPE raw;
    InitMediaType(raw);
    raw.majortype = major;
    raw.subtype = subtype;
    type.Set(raw);
    return type;
}

HRESULT STDMETHODCALLTYPE TestInputPin::QueryInterface(REFIID iid, void** out)
{
    if (iid == IID_IUnknown || iid == IID_IPin) {
        *out = static_cast<IPin*>(this);
    } else if (iid == IID_IMemInputPin && filter_->Behaviour().exposesMemInput) {
        *out = static_cast<IMemInputPin*>(this);
    } else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE TestInputPin::AddRef() { return filter_->AddRef(); }

ULONG STDMETHODCALLTYPE TestInputPin::Release() { return filter_->Release(); }

HRESULT STDMETHODCALLTYPE TestInputPin::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type)
{
    if (!connector || !type) return E_POINTER;
    if (connected) return VFW_E_ALREADY_CONNECTED;
    MediaType copy;
    copy.Set(*type);
    proposed.push_back(copy);
    const SinkBehaviour& behaviour = filter_->Behaviour();
    HRESULT hr = behaviour.accept ? behaviour.accept(*type) : S_OK;
    if (FAILED(hr)) return hr;
    connected = ComPtr<IPin>::Share(connector);
    connectionType = copy;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestInputPin::Disconnect()
{
    if (!connected) return S_FALSE;
    connected.Reset();
    connectionType.Clear();
    notifiedAllocator.Reset();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestInputPin::ConnectedTo(IPin** pin)
{
    *pin = ComPtr<IPin>(connected).Detach();
    return *pin ? S_OK : VFW_E_NOT_CONNECTED;
}

HRESULT STDMETHODCALLTYPE TestInputPin::ConnectionMediaType(AM_MEDIA_TYPE* type)
{
    if (!connected) {
        InitMediaType(*type);
        return VFW_E_NOT_CONNECTED;
    }
    return CopyMediaType(*type, connectionType.Get());
}

HRESULT STDMETHODCALLTYPE TestInputPin::QueryPinInfo(PIN_INFO* info)
{
    info->pFilter = filter_;
    filter_->AddRef();
    wcscpy(info->achName, L"Antenne");
    info->dir = PINDIR_INPUT;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestInputPin::QueryDirection(PIN_DIRECTION* direction)
{
    *direction = PINDIR_INPUT;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestInputPin::QueryId(LPWSTR* id)
{
    *id = static_cast<LPWSTR>(CoTaskMemAlloc(sizeof L"Antenne"));
    wcscpy(*id, L"Antenne");
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestInputPin::EnumMediaTypes(IEnumMediaTypes** types)
{
    return HandOut(MakeComObject<TypeListEnum>(filter_->Behaviour().offered), types);
}

HRESULT STDMETHODCALLTYPE TestInputPin::EndOfStream()
{
    ++endsOfStream;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestInputPin::GetAllocator(IMemAllocator** allocator)
{
    if (!filter_->Behaviour().ownAllocator) return VFW_E_NO_ALLOCATOR;
    if (!ownAllocator) {
        HRESULT hr = CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                                      ownAllocator.PutVoid());
        if (FAILED(hr)) return hr;
        ALLOCATOR_PROPERTIES wanted{1, 188, 1, 0}, actual{};
        hr = ownAllocator->SetProperties(&wanted, &actual);
        if (FAILED(hr)) return hr;
    }
    *allocator = ComPtr<IMemAllocator>(ownAllocator).Detach();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestInputPin::NotifyAllocator(IMemAllocator* allocator, BOOL readOnly)
{
    notifiedAllocator = ComPtr<IMemAllocator>::Share(allocator);
    notifiedReadOnly = readOnly;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestInputPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES* properties)
{
    if (!filter_->Behaviour().statesRequirements) return E_NOTIMPL;
    *properties = filter_->Behaviour().requirements;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestInputPin::Receive(IMediaSample* sample)
{
    if (!sample) return E_POINTER;
    receivingThread = GetCurrentThreadId();
    ++received;
    if (filter_->Behaviour().onReceive) filter_->Behaviour().onReceive(sample);
    if (filter_->Behaviour().blocks) {
        std::unique_lock<std::mutex> lock(releaseLock_);
        releaseChanged_.wait(lock, [this] { return released_; });
    }
    return filter_->Behaviour().receiveResult;
}

void TestInputPin::SetReleased(bool released)
{
    {
        std::lock_guard<std::mutex> lock(releaseLock_);
        released_ = released;
    }
    releaseChanged_.notify_all();
}

HRESULT STDMETHODCALLTYPE TestInputPin::ReceiveMultiple(IMediaSample** samples, long count, long* processed)
{
    *processed = 0;
    for (long i = 0; i < count; ++i) {
        HRESULT hr = Receive(samples[i]);
        if (hr != S_OK) return hr;
        ++*processed;
    }
    return S_OK;
}

TestSinkFilter::TestSinkFilter(SinkBehaviour behaviour)
    : ComObject(L"TestSinkFilter"), behaviour_(std::move(behaviour)), pin_(this)
{
}

HRESULT STDMETHODCALLTYPE TestSinkFilter::GetClassID(CLSID* id)
{
    *id = CLSID_TestSink;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestSinkFilter::GetState(DWORD, FILTER_STATE* state)
{
    *state = state_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestSinkFilter::GetSyncSource(IReferenceClock** clock)
{
    *clock = nullptr;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestSinkFilter::EnumPins(IEnumPins** pins)
{
    return HandOut(MakeComObject<OnePinEnum>(&pin_), pins);
}

HRESULT STDMETHODCALLTYPE TestSinkFilter::FindPin(LPCWSTR, IPin** pin)
{
    *pin = nullptr;
    return VFW_E_NOT_FOUND;
}

HRESULT STDMETHODCALLTYPE TestSinkFilter::QueryFilterInfo(FILTER_INFO* info)
{
    wcscpy(info->achName, L"Tuner de test");
    info->pGraph = graph_;
    if (graph_) graph_->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TestSinkFilter::JoinFilterGraph(IFilterGraph* graph, LPCWSTR)
{
    graph_ = graph;
    return S_OK;
}

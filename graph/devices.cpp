#include "graph/devices.h"

#include <ks.h>
#include <ksmedia.h>
#include <bdamedia.h>

#include <cwchar>

#include "config/settings.h"
#include "graph/bda_topology.h"
#include "graph/filterbase/media_type.h"
#include "graph/graph_handles.h"


namespace {

// Filters below "do not use" are never offered by the mapper.
constexpr DWORD kDecoderMinimumMerit = MERIT_DO_NOT_USE + 1;

// The "FriendlyName" of a device or filter entry, as a BSTR the caller frees; null when
// the property cannot be read as text.
BSTR ReadFriendlyName(IMoniker* moniker)
{
    ComPtr<IPropertyBag> bag;
    if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.PutVoid())) || !bag) {
        return nullptr;
    }
    VARIANT value;
    VariantInit(&value);
    BSTR name = nullptr;
    if (SUCCEEDED(bag->Read(L"FriendlyName", &value, nullptr)) && V_VT(&value) == VT_BSTR) {
        name = V_BSTR(&value);
        V_BSTR(&value) = nullptr;  // handed to the caller
        V_VT(&value) = VT_EMPTY;
    }
    VariantClear(&value);
    return name;
}

bool MonikerNameEquals(IMoniker* moniker, const wchar_t* name)
{
    BSTR friendly = ReadFriendlyName(moniker);
    const bool equal = friendly && FriendlyNameEquals(friendly, name);
    SysFreeString(friendly);
    return equal;
}

ComPtr<IBaseFilter> BindFilter(IMoniker* moniker)
{
    ComPtr<IBaseFilter> filter;
    if (FAILED(moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, filter.PutVoid()))) {
        filter.Reset();
    }
    return filter;
}

// Entries of a device category; null when the enumerator cannot be created, the
// enumeration fails, or the category is empty (success with no enumerator).
ComPtr<IEnumMoniker> EnumerateCategory(const GUID& category)
{
    ComPtr<ICreateDevEnum> devices;
    if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                devices.PutVoid()))) {
        return {};
    }
    ComPtr<IEnumMoniker> entries;
    if (devices->CreateClassEnumerator(category, entries.Put(), 0) != S_OK) entries.Reset();
    return entries;
}

// Registered filters with an input of the given type and at least one output.
ComPtr<IEnumMoniker> EnumerateDecoders(const GUID& majorType, const GUID& subtype)
{
    ComPtr<IFilterMapper2> mapper;
    if (FAILED(CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC, IID_IFilterMapper2,
                                mapper.PutVoid()))) {
        return {};
    }
    const GUID inputType[2] = {majorType, subtype};
    ComPtr<IEnumMoniker> entries;
    const HRESULT hr = mapper->EnumMatchingFilters(entries.Put(), 0, strictSearch != 0, kDecoderMinimumMerit,
                                                   TRUE, 1, inputType, nullptr, nullptr, FALSE,
                                                   TRUE, 0, nullptr, nullptr, nullptr);
    if (FAILED(hr)) entries.Reset();
    return entries;
}

// The first entry, in enumeration order, whose name equals the name and that binds.
ComPtr<IBaseFilter> FirstNamedFilter(IEnumMoniker* entries, const wchar_t* name)
{
    ComPtr<IMoniker> moniker;
    while (entries->Next(1, moniker.Put(), nullptr) == S_OK) {
        if (!MonikerNameEquals(moniker.Get(), name)) continue;
        if (ComPtr<IBaseFilter> filter = BindFilter(moniker.Get())) return filter;
    }
    return {};
}

void AddComboString(HWND dialog, int comboId, const wchar_t* text)
{
    SendDlgItemMessageW(dialog, comboId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

}  // namespace

TransportOutputKind ClassifyMediaType(const GUID& majorType, const GUID& subtype)
{
    if (!IsEqualGUID(majorType, MEDIATYPE_Stream)) return TransportOutputKind::None;
    if (IsEqualGUID(subtype, MEDIASUBTYPE_MPEG2_TRANSPORT)) return TransportOutputKind::Mpeg2Transport;
    if (IsEqualGUID(subtype, KSDATAFORMAT_SUBTYPE_BDA_MPEG2_TRANSPORT)) return TransportOutputKind::BdaTransport;
    return TransportOutputKind::None;
}

bool FriendlyNameEquals(BSTR friendlyName, const wchar_t* name)
{
    if (!friendlyName || !name) return false;
    const size_t length = SysStringLen(friendlyName);
    return length == std::wcslen(name) && std::wmemcmp(friendlyName, name, length) == 0;
}

TransportOutputKind ClassifyTransportOutput(IBaseFilter* filter)
{
    if (!filter) return TransportOutputKind::None;
    ComPtr<IEnumPins> pins;
    if (FAILED(filter->EnumPins(pins.Put())) || !pins) return TransportOutputKind::None;

    ComPtr<IPin> pin;
    while (pins->Next(1, pin.Put(), nullptr) == S_OK) {
        PIN_DIRECTION direction;
        if (FAILED(pin->QueryDirection(&direction)) || direction != PINDIR_OUTPUT) continue;
        ComPtr<IEnumMediaTypes> types;
        if (FAILED(pin->EnumMediaTypes(types.Put())) || !types) continue;
        AM_MEDIA_TYPE* type = nullptr;
        while (types->Next(1, &type, nullptr) == S_OK && type) {
            const TransportOutputKind kind = ClassifyMediaType(type->majortype, type->subtype);
            DeleteMediaType(type);
            type = nullptr;
            if (kind != TransportOutputKind::None) return kind;
        }
    }
    return TransportOutputKind::None;
}

ComPtr<IBaseFilter> FindDeviceByName(const GUID& category, const wchar_t* name)
{
    ComPtr<IEnumMoniker> entries = EnumerateCategory(category);
    if (!entries) return {};
    return FirstNamedFilter(entries.Get(), name);
}

std::optional<TopologyPins> tunerTopology;

bool DetectTuner()
{
    tunerTopology.reset();
    tunerFilter = FindDeviceByName(KSCATEGORY_BDA_NETWORK_TUNER, tunerName);
    receiverFilter.Reset();
    if (!tunerFilter) return false;
    tunerTopology = PrepareTopology(tunerFilter.Get());

    switch (ClassifyTransportOutput(tunerFilter.Get())) {
    case TransportOutputKind::BdaTransport:
        // Tuner and receiver in one filter: the receiver setting plays no part.
        return true;
    case TransportOutputKind::Mpeg2Transport:
        receiverFilter = FindDeviceByName(KSCATEGORY_BDA_RECEIVER_COMPONENT, receiverName);
        if (receiverFilter) PrepareTopology(receiverFilter.Get());
        if (ClassifyTransportOutput(receiverFilter.Get()) == TransportOutputKind::BdaTransport) return true;
        receiverFilter.Reset();
        tunerFilter.Reset();
        tunerTopology.reset();
        return false;
    case TransportOutputKind::None:
        break;
    }
    tunerFilter.Reset();
    tunerTopology.reset();
    return false;
}

int FillDeviceList(const GUID& category, HWND dialog, int comboId)
{
    ComPtr<IEnumMoniker> entries = EnumerateCategory(category);
    if (!entries) return 1;

    // Every device is instantiated once to be classified, so that the tuner list holds
    // one-filter tuners and tuners that need a receiver, and the receiver list only
    // receivers with a transport output.
    ComPtr<IMoniker> moniker;
    while (entries->Next(1, moniker.Put(), nullptr) == S_OK) {
        ComPtr<IBaseFilter> filter = BindFilter(moniker.Get());
        if (!filter) continue;
        PrepareTopology(filter.Get());
        if (ClassifyTransportOutput(filter.Get()) != TransportOutputKind::None) {
            if (BSTR name = ReadFriendlyName(moniker.Get())) {
                AddComboString(dialog, comboId, name);
                SysFreeString(name);
            }
        }
    }
    return 0;
}

ComPtr<IBaseFilter> FindDecoderByName(const GUID& majorType, const GUID& subtype, const wchar_t* name)
{
    ComPtr<IEnumMoniker> entries = EnumerateDecoders(majorType, subtype);
    if (!entries) return {};
    return FirstNamedFilter(entries.Get(), name);
}

void FillDecoderList(const GUID& majorType, const GUID& subtype, HWND dialog, int comboId)
{
    ComPtr<IEnumMoniker> entries = EnumerateDecoders(majorType, subtype);
    if (!entries) return;
    ComPtr<IMoniker> moniker;
    while (entries->Next(1, moniker.Put(), nullptr) == S_OK) {
        if (BSTR name = ReadFriendlyName(moniker.Get())) {
            AddComboString(dialog, comboId, name);
            SysFreeString(name);
        }
    }
}

ComPtr<IPin> FindFreePin(IBaseFilter* filter, PIN_DIRECTION direction)
{
    if (!filter) return {};
    ComPtr<IEnumPins> pins;
    if (FAILED(filter->EnumPins(pins.Put())) || !pins) return {};
    ComPtr<IPin> pin;
    while (pins->Next(1, pin.Put(), nullptr) == S_OK) {
        PIN_DIRECTION pinDirection;
        if (FAILED(pin->QueryDirection(&pinDirection)) || pinDirection != direction) continue;
        ComPtr<IPin> peer;
        if (pin->ConnectedTo(peer.Put()) == S_OK && peer) continue;
        return pin;
    }
    return {};
}

#include "standins/registration.h"

#include <dshow.h>
#include <bdamedia.h>

#include <string>

#include "common/com_ptr.h"
#include "standins/catalogue.h"
#include "graph/media_framework.h"
#include "standins/media_filters.h"
#include "standins/module.h"
#include "standins/tuner_pins.h"

namespace {

std::wstring ClassIdText(REFCLSID classId)
{
    wchar_t text[40];
    StringFromGUID2(classId, text, 40);
    return text;
}

const GUID& Category(const DeviceEntry& device)
{
    return device.kind == DeviceKind::Tuner ? KSCATEGORY_BDA_NETWORK_TUNER : KSCATEGORY_BDA_RECEIVER_COMPONENT;
}

LSTATUS SetString(HKEY key, const wchar_t* name, const std::wstring& value)
{
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

// HKCR\CLSID\{class}: the friendly name, and InprocServer32 naming this DLL.
HRESULT RegisterServer(REFCLSID classId, const wchar_t* friendlyName, const std::wstring& modulePath)
{
    const std::wstring keyPath = L"CLSID\\" + ClassIdText(classId);
    HKEY classKey = nullptr;
    LSTATUS status = RegCreateKeyExW(HKEY_CLASSES_ROOT, keyPath.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                     &classKey, nullptr);
    if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
    status = SetString(classKey, nullptr, friendlyName);
    HKEY serverKey = nullptr;
    if (status == ERROR_SUCCESS) {
        status = RegCreateKeyExW(classKey, L"InprocServer32", 0, nullptr, 0, KEY_WRITE, nullptr, &serverKey,
                                 nullptr);
    }
    if (status == ERROR_SUCCESS) status = SetString(serverKey, nullptr, modulePath);
    if (status == ERROR_SUCCESS) status = SetString(serverKey, L"ThreadingModel", L"Both");
    if (serverKey) RegCloseKey(serverKey);
    RegCloseKey(classKey);
    return HRESULT_FROM_WIN32(status);
}

// The device in its BDA category, with the media types of its pins. Merit "do not use":
// the graph builder never inserts a device of its own accord.
HRESULT RegisterInCategory(IFilterMapper2* mapper, const DeviceEntry& device)
{
    REGPINTYPES inputType{};
    if (device.kind == DeviceKind::Tuner) {
        inputType.clsMajorType = &KSDATAFORMAT_TYPE_BDA_ANTENNA;
        inputType.clsMinorType = &GUID_NULL;
    } else {
        inputType.clsMajorType = &MEDIATYPE_Stream;
        inputType.clsMinorType = &MEDIASUBTYPE_MPEG2_TRANSPORT;
    }
    AM_MEDIA_TYPE output;
    SetStreamType(output, device.output);
    REGPINTYPES outputType{&output.majortype, &output.subtype};

    REGFILTERPINS2 pins[2]{};
    pins[0].cInstances = 1;
    pins[0].nMediaTypes = 1;
    pins[0].lpMediaType = &inputType;
    pins[1].dwFlags = REG_PINFLAG_B_OUTPUT;
    pins[1].cInstances = 1;
    pins[1].nMediaTypes = 1;
    pins[1].lpMediaType = &outputType;

    REGFILTER2 filter{};
    filter.dwVersion = 2;
    filter.dwMerit = MERIT_DO_NOT_USE;
    filter.cPins2 = 2;
    filter.rgPins2 = pins;
    // The instance key is the class identifier, which fixes the order of enumeration.
    return mapper->RegisterFilter(device.classId, device.friendlyName, nullptr, &Category(device), nullptr, &filter);
}

std::wstring ModulePath()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(static_cast<HMODULE>(ModuleHandle()), path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return std::wstring(path, length);
}

// COM for the length of a registration call: regsvr32 does not initialise it.
class ComScope {
public:
    ComScope() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope()
    {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT hr_;
};

ComPtr<IFilterMapper2> CreateMapper()
{
    ComPtr<IFilterMapper2> mapper;
    if (FAILED(CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                                mapper.PutVoid()))) {
        mapper.Reset();
    }
    return mapper;
}

}  // namespace

HRESULT RegisterStandins()
{
    const std::wstring modulePath = ModulePath();
    if (modulePath.empty()) return E_FAIL;
    ComScope com;
    ComPtr<IFilterMapper2> mapper = CreateMapper();
    if (!mapper) return E_FAIL;
    for (const DeviceEntry& device : Devices()) {
        HRESULT hr = RegisterServer(device.classId, device.friendlyName, modulePath);
        if (SUCCEEDED(hr)) hr = RegisterInCategory(mapper.Get(), device);
        if (FAILED(hr)) return hr;
    }
    // The media filters take the place of the platform's own under the same class
    // identifiers, in the prefix where they are registered.
    for (const MediaFilterEntry& filter : MediaFilters()) {
        const FilterSetup& setup = *filter.setup;
        HRESULT hr = RegisterServer(*setup.classId, setup.name, modulePath);
        if (SUCCEEDED(hr)) {
            hr = mapper->RegisterFilter(*setup.classId, setup.name, nullptr, &CLSID_LegacyAmFilterCategory,
                                        nullptr, setup.registration);
        }
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT UnregisterStandins()
{
    ComScope com;
    ComPtr<IFilterMapper2> mapper = CreateMapper();
    for (const DeviceEntry& device : Devices()) {
        if (mapper) mapper->UnregisterFilter(&Category(device), nullptr, device.classId);
        const std::wstring keyPath = L"CLSID\\" + ClassIdText(device.classId);
        RegDeleteTreeW(HKEY_CLASSES_ROOT, keyPath.c_str());
        RegDeleteKeyW(HKEY_CLASSES_ROOT, keyPath.c_str());
    }
    // The platform's own filters of the same identifiers come back with wineboot -u.
    for (const MediaFilterEntry& filter : MediaFilters()) {
        if (mapper) mapper->UnregisterFilter(&CLSID_LegacyAmFilterCategory, nullptr, *filter.setup->classId);
        RegDeleteTreeW(HKEY_CLASSES_ROOT, (L"CLSID\\" + ClassIdText(*filter.setup->classId)).c_str());
    }
    return S_OK;
}

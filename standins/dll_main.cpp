// Entry points of the stand-ins DLL, a COM in-process server.
#include <windows.h>

#include <atomic>

#include "graph/filterbase/base_object.h"
#include "standins/catalogue.h"
#include "standins/class_factory.h"
#include "standins/media_filters.h"
#include "standins/module.h"
#include "standins/registration.h"
#include "standins/switches_env.h"
#include "standins/trace.h"

namespace {
void* moduleHandle = nullptr;
std::atomic<long> moduleReferences{0};
}  // namespace

void SetModuleHandle(void* module) { moduleHandle = module; }
void* ModuleHandle() { return moduleHandle; }
void ModuleAddRef() { ++moduleReferences; }
void ModuleRelease() { --moduleReferences; }
long ModuleReferences() { return moduleReferences.load(); }

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        SetModuleHandle(instance);
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID classId, REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    IClassFactory* factory = nullptr;
    if (const DeviceEntry* device = FindDevice(classId)) {
        factory = CreateClassFactory(*device);
    } else if (const MediaFilterEntry* filter = FindMediaFilter(classId)) {
        if (MediaFilterWithdrawn(classId, CurrentStandinSwitches())) {
            TraceLine("withdrawn filter refused");
            return CLASS_E_CLASSNOTAVAILABLE;
        }
        factory = CreateClassFactory(*filter);
    } else {
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    if (!factory) return E_OUTOFMEMORY;
    const HRESULT hr = factory->QueryInterface(iid, out);
    factory->Release();
    return hr;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return ModuleReferences() == 0 && CBaseObject::LiveObjects() == 0 ? S_OK : S_FALSE;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() { return RegisterStandins(); }

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() { return UnregisterStandins(); }

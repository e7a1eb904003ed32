#include "standins/class_factory.h"

#include <new>

#include "graph/filterbase/com_object.h"
#include "standins/module.h"
#include "standins/switches_env.h"
#include "standins/virtual_receiver.h"
#include "standins/virtual_tuner.h"

namespace {

// Builds the device's filter and hands out the requested interface.
HRESULT CreateDevice(const DeviceEntry& device, REFIID iid, void** out)
{
    INonDelegatingUnknown* object = nullptr;
    try {
        const standins::StandinSwitches switches = CurrentStandinSwitches();
        if (device.kind == DeviceKind::Tuner) {
            object = new CVirtualTuner(device, switches);
        } else {
            object = new CVirtualReceiver(device, switches);
        }
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    // The count starts at 0: hold the object across the query, which takes the
    // caller's reference; a failed query then deletes it.
    object->NonDelegatingAddRef();
    HRESULT hr = object->NonDelegatingQueryInterface(iid, out);
    object->NonDelegatingRelease();
    return hr;
}

// Makes one kind of object: a device of the catalogue, or a media filter.
using Creator = HRESULT (*)(const void* context, IUnknown* outer, REFIID iid, void** out);

HRESULT CreateCatalogueDevice(const void* context, IUnknown* outer, REFIID iid, void** out)
{
    if (outer) return CLASS_E_NOAGGREGATION;
    return CreateDevice(*static_cast<const DeviceEntry*>(context), iid, out);
}

HRESULT CreateMediaFilter(const void* context, IUnknown* outer, REFIID iid, void** out)
{
    return static_cast<const MediaFilterEntry*>(context)->create(outer, iid, out);
}

class ClassFactory : public ComObject<Implements<IClassFactory, IID_IClassFactory>> {
public:
    ClassFactory(Creator creator, const void* context)
        : ComObject(L"ClassFactory"), creator_(creator), context_(context)
    {
    }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override
    {
        if (!out) return E_POINTER;
        *out = nullptr;
        return creator_(context_, outer, iid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override
    {
        if (lock) {
            ModuleAddRef();
        } else {
            ModuleRelease();
        }
        return S_OK;
    }

private:
    Creator creator_;
    const void* context_;
};

}  // namespace

IClassFactory* CreateClassFactory(const DeviceEntry& device)
{
    return MakeComObject<ClassFactory>(CreateCatalogueDevice, &device).Detach();
}

IClassFactory* CreateClassFactory(const MediaFilterEntry& filter)
{
    return MakeComObject<ClassFactory>(CreateMediaFilter, &filter).Detach();
}

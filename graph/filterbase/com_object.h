#pragma once
// A stand-alone COM object: a class names the interfaces it answers, and gets
// QueryInterface, AddRef and Release from its CUnknown, so that its reference count,
// its safe final release and the live-object count are those of every other object
// of the layer.
//
//   class CEnumPins : public ComObject<Implements<IEnumPins, IID_IEnumPins>> { ... };
//   class Sink : public ComObject<Implements<IBaseFilter, IID_IBaseFilter, IID_IMediaFilter, IID_IPersist>>
//
// An interface answers for its own identifier and for those of the interfaces it
// extends, listed after it.
//
// Such an object is not aggregated: its outer unknown is itself. IUnknown is
// answered by CUnknown, so every interface gives the same identity.
#include <unknwn.h>

#include <new>
#include <span>
#include <utility>

#include "common/com_ptr.h"
#include "graph/filterbase/unknown.h"

// One entry of an object's interface table: the interface, and the identifiers it is
// handed out for.
template <class Interface_, const IID&... Iids>
struct Implements {
    static_assert(sizeof...(Iids) > 0, "an interface needs its identifier");
    using Interface = Interface_;
    static constexpr const IID* kIids[] = {&Iids...};
};

template <class... Faces>
class ComObject : public CUnknown, public Faces::Interface... {
public:
    // Every interface's IUnknown slots come here.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) final
    {
        return NonDelegatingQueryInterface(iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() final { return NonDelegatingAddRef(); }
    ULONG STDMETHODCALLTYPE Release() final { return NonDelegatingRelease(); }

    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** out) override
    {
        if (!out) return E_POINTER;
        for (const Entry& entry : kTable) {
            for (const IID* answered : entry.iids) {
                if (*answered == iid) return GetInterface(entry.face(this), out);
            }
        }
        return CUnknown::NonDelegatingQueryInterface(iid, out);
    }

protected:
    // `name` must outlive the object (a string literal in practice).
    explicit ComObject(const wchar_t* name) : CUnknown(name, nullptr) {}

private:
    struct Entry {
        std::span<const IID* const> iids;
        IUnknown* (*face)(ComObject*);
    };
    static constexpr Entry kTable[] = {
        {Faces::kIids, [](ComObject* self) -> IUnknown* { return static_cast<typename Faces::Interface*>(self); }}...};
};

// A new T holding the caller's reference, or an empty holder when memory ran out
// (in the allocation or in T's constructor).
template <class T, class... Args>
ComPtr<T> MakeComObject(Args&&... args)
{
    T* object = nullptr;
    try {
        object = new T(std::forward<Args>(args)...);
    } catch (const std::bad_alloc&) {
        return {};
    }
    object->AddRef();
    return ComPtr<T>::Adopt(object);
}

// Hands one of `object`'s interfaces to an out-parameter, taking the object's
// reference: E_OUTOFMEMORY when the object could not be made.
template <class Interface, class T>
HRESULT HandOut(ComPtr<T> object, Interface** out)
{
    *out = object.Detach();
    return *out ? S_OK : E_OUTOFMEMORY;
}

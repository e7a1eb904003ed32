#include "graph/filterbase/unknown.h"

CUnknown::CUnknown(const wchar_t* name, IUnknown* outer)
    : CBaseObject(name),
      // The non-delegating unknown has IUnknown's three slots in IUnknown's order, so
      // it can stand as the outer unknown of an object that is not aggregated.
      outer_(outer ? outer : reinterpret_cast<IUnknown*>(static_cast<INonDelegatingUnknown*>(this)))
{
}

CUnknown::~CUnknown() = default;

HRESULT STDMETHODCALLTYPE CUnknown::NonDelegatingQueryInterface(REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown)
        return GetInterface(reinterpret_cast<IUnknown*>(static_cast<INonDelegatingUnknown*>(this)), out);
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CUnknown::NonDelegatingAddRef() { return static_cast<ULONG>(++references_); }

ULONG STDMETHODCALLTYPE CUnknown::NonDelegatingRelease()
{
    LONG count = references_.load();
    do {
        // An unbalanced Release must not take the count below 0 and delete later.
        if (count <= 0) return 0;
    } while (!references_.compare_exchange_weak(count, count - 1));
    if (count > 1) return static_cast<ULONG>(count - 1);
    // A destructor that hands the object out and releases it again brings the count
    // back to 0 here: the object is already on its way out.
    if (destroying_.exchange(true)) return 0;
    delete this;
    return 0;
}

HRESULT CUnknown::GetInterface(IUnknown* face, void** out)
{
    if (!out) return E_POINTER;
    *out = face;
    face->AddRef();
    return S_OK;
}

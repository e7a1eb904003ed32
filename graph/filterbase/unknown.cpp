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
    LONG left = --references_;
    if (left == 0) {
        // A destructor that hands the object out and releases it again must not
        // come back here and delete it twice.
        references_ = 1;
        delete this;
        return 0;
    }
    return static_cast<ULONG>(left);
}

HRESULT CUnknown::GetInterface(IUnknown* face, void** out)
{
    if (!out) return E_POINTER;
    *out = face;
    face->AddRef();
    return S_OK;
}

#pragma once
// Reference counting and interface lookup of the layer's COM objects. An object answers
// through its non-delegating unknown; its public IUnknown methods forward to the outer
// unknown, which is the object itself unless it is aggregated.
#include <unknwn.h>

#include <atomic>

#include "graph/filterbase/base_object.h"

struct INonDelegatingUnknown {
    virtual HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** out) = 0;
    virtual ULONG STDMETHODCALLTYPE NonDelegatingAddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE NonDelegatingRelease() = 0;
};

class CUnknown : public INonDelegatingUnknown, public CBaseObject {
public:
    // The count starts at 0: whoever receives the object takes the first reference.
    CUnknown(const wchar_t* name, IUnknown* outer);

    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE NonDelegatingAddRef() override;
    // Deletes the object when the count reaches 0, once: a Release with no reference
    // left, or one made while the object is being destroyed, deletes nothing.
    ULONG STDMETHODCALLTYPE NonDelegatingRelease() override;
    virtual ~CUnknown();

    IUnknown* GetOwner() const { return outer_; }

protected:
    // Hands out `face` with a new reference, as QueryInterface does on success.
    static HRESULT GetInterface(IUnknown* face, void** out);
    LONG ReferenceCount() const { return references_.load(); }

private:
    IUnknown* outer_;
    std::atomic<LONG> references_{0};
    std::atomic<bool> destroying_{false};
};

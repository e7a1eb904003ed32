#pragma once
// A filter or pin of the layer that answers more interfaces than its base class. Each
// added interface brings IUnknown's three slots again; here they all go where the
// base's go (the outer unknown, or for a pin its filter), so a derived class only
// lists the interfaces and answers them in its NonDelegatingQueryInterface.
//
//   class CStandinDemux : public WithInterfaces<CBaseFilter, IMpeg2Demultiplexer> { ... };
#include <unknwn.h>

template <class Base, class... Interfaces>
class WithInterfaces : public Base, public Interfaces... {
public:
    using Base::Base;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override { return Base::QueryInterface(iid, out); }
    ULONG STDMETHODCALLTYPE AddRef() override { return Base::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return Base::Release(); }
};

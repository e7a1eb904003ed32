#pragma once
// Enumerator of a filter's pins. It notices a change of the filter's pins through the
// pin version and then answers VFW_E_ENUM_OUT_OF_SYNC until Reset.
#include <dshow.h>

#include "common/com_ptr.h"
#include "graph/filterbase/com_object.h"

class CBaseFilter;

class CEnumPins : public ComObject<Implements<IEnumPins, IID_IEnumPins>> {
public:
    // Starts at the first pin, or where `source` stands when cloning.
    CEnumPins(CBaseFilter* filter, const CEnumPins* source);
    ~CEnumPins() override;

    HRESULT STDMETHODCALLTYPE Next(ULONG count, IPin** pins, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumPins** copy) override;

private:
    bool OutOfSync();

    ComPtr<IBaseFilter> holder_;  // keeps the filter alive while enumerating
    CBaseFilter* filter_;
    int position_ = 0;
    int pinCount_ = 0;
    LONG version_ = 0;
};

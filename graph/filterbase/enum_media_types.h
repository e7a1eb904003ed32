#pragma once
// Enumerator of the media types a pin offers through GetMediaType by position. It
// notices a change of the list through the pin's media-type version and then answers
// VFW_E_ENUM_OUT_OF_SYNC until Reset.
#include <dshow.h>

#include "common/com_ptr.h"
#include "graph/filterbase/com_object.h"

class CBasePin;

class CEnumMediaTypes : public ComObject<Implements<IEnumMediaTypes, IID_IEnumMediaTypes>> {
public:
    CEnumMediaTypes(CBasePin* pin, const CEnumMediaTypes* source);
    ~CEnumMediaTypes() override;

    // Each type handed out is the caller's, to free with DeleteMediaType.
    HRESULT STDMETHODCALLTYPE Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumMediaTypes** copy) override;

private:
    bool OutOfSync();

    ComPtr<IPin> holder_;  // keeps the pin, and so its filter, alive
    CBasePin* pin_;
    int position_ = 0;
    LONG version_ = 0;
};

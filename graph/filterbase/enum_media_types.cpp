#include "graph/filterbase/enum_media_types.h"

#include "graph/filterbase/base_pin.h"
#include "graph/filterbase/media_type.h"

CEnumMediaTypes::CEnumMediaTypes(CBasePin* pin, const CEnumMediaTypes* source)
    : ComObject(L"CEnumMediaTypes"), holder_(ComPtr<IPin>::Share(pin)), pin_(pin)
{
    if (source) {
        position_ = source->position_;
        version_ = source->version_;
    } else {
        version_ = pin_->GetMediaTypeVersion();
    }
}

CEnumMediaTypes::~CEnumMediaTypes() = default;

bool CEnumMediaTypes::OutOfSync() { return pin_->GetMediaTypeVersion() != version_; }

HRESULT STDMETHODCALLTYPE CEnumMediaTypes::Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched)
{
    if (!types) return E_POINTER;
    if (!fetched && count != 1) return E_INVALIDARG;
    if (fetched) *fetched = 0;
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;

    ULONG given = 0;
    while (given < count) {
        MediaType type;
        if (pin_->GetMediaType(position_, type.Put()) != S_OK) break;
        AM_MEDIA_TYPE* copy = CreateMediaType(type.Get());
        if (!copy) break;
        ++position_;
        types[given++] = copy;
    }
    if (fetched) *fetched = given;
    return given == count ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE CEnumMediaTypes::Skip(ULONG count)
{
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
    // Only types that exist can be skipped.
    for (ULONG i = 0; i < count; ++i) {
        MediaType type;
        if (pin_->GetMediaType(position_, type.Put()) != S_OK) return S_FALSE;
        ++position_;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CEnumMediaTypes::Reset()
{
    version_ = pin_->GetMediaTypeVersion();
    position_ = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CEnumMediaTypes::Clone(IEnumMediaTypes** copy)
{
    if (!copy) return E_POINTER;
    *copy = nullptr;
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
    return HandOut(MakeComObject<CEnumMediaTypes>(pin_, this), copy);
}

#include "graph/filterbase/media_type.h"

#include <cstring>

void InitMediaType(AM_MEDIA_TYPE& type)
{
    std::memset(&type, 0, sizeof type);
    type.bFixedSizeSamples = TRUE;
    type.lSampleSize = 1;
}

HRESULT CopyMediaType(AM_MEDIA_TYPE& target, const AM_MEDIA_TYPE& source)
{
    target = source;
    target.pbFormat = nullptr;
    target.cbFormat = 0;
    if (source.cbFormat && source.pbFormat) {
        target.pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(source.cbFormat));
        if (!target.pbFormat) {
            InitMediaType(target);
            return E_OUTOFMEMORY;
        }
        std::memcpy(target.pbFormat, source.pbFormat, source.cbFormat);
        target.cbFormat = source.cbFormat;
    }
    if (target.pUnk) target.pUnk->AddRef();
    return S_OK;
}

void FreeMediaType(AM_MEDIA_TYPE& type)
{
    if (type.pbFormat) CoTaskMemFree(type.pbFormat);
    type.pbFormat = nullptr;
    type.cbFormat = 0;
    if (type.pUnk) type.pUnk->Release();
    type.pUnk = nullptr;
}

AM_MEDIA_TYPE* CreateMediaType(const AM_MEDIA_TYPE& source)
{
    auto* type = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
    if (!type) return nullptr;
    if (FAILED(CopyMediaType(*type, source))) {
        CoTaskMemFree(type);
        return nullptr;
    }
    return type;
}

void DeleteMediaType(AM_MEDIA_TYPE* type)
{
    if (!type) return;
    FreeMediaType(*type);
    CoTaskMemFree(type);
}

bool IsPartialMediaType(const AM_MEDIA_TYPE& type)
{
    return type.majortype == GUID_NULL || type.formattype == GUID_NULL;
}

bool MatchesPartialType(const AM_MEDIA_TYPE& type, const AM_MEDIA_TYPE& partial)
{
    if (partial.majortype != GUID_NULL && partial.majortype != type.majortype) return false;
    if (partial.subtype != GUID_NULL && partial.subtype != type.subtype) return false;
    if (partial.formattype != GUID_NULL) {
        if (partial.formattype != type.formattype) return false;
        // A format type without a block accepts any block of that format.
        if (partial.cbFormat &&
            (partial.cbFormat != type.cbFormat || !partial.pbFormat || !type.pbFormat ||
             std::memcmp(partial.pbFormat, type.pbFormat, partial.cbFormat) != 0))
            return false;
    }
    return true;
}

bool SameMediaType(const AM_MEDIA_TYPE& a, const AM_MEDIA_TYPE& b)
{
    if (a.majortype != b.majortype || a.subtype != b.subtype || a.formattype != b.formattype)
        return false;
    if (a.cbFormat != b.cbFormat) return false;
    if (a.cbFormat == 0) return true;
    return a.pbFormat && b.pbFormat && std::memcmp(a.pbFormat, b.pbFormat, a.cbFormat) == 0;
}

MediaType& MediaType::operator=(const MediaType& other)
{
    if (this != &other) Set(other.type_);
    return *this;
}

HRESULT MediaType::Set(const AM_MEDIA_TYPE& source)
{
    AM_MEDIA_TYPE copy;
    HRESULT hr = CopyMediaType(copy, source);
    if (FAILED(hr)) return hr;
    FreeMediaType(type_);
    type_ = copy;
    return S_OK;
}

void MediaType::Clear()
{
    FreeMediaType(type_);
    InitMediaType(type_);
}

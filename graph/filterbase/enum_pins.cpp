#include "graph/filterbase/enum_pins.h"

#include "graph/filterbase/base_filter.h"
#include "graph/filterbase/base_pin.h"

CEnumPins::CEnumPins(CBaseFilter* filter, const CEnumPins* source)
    : ComObject(L"CEnumPins"), holder_(ComPtr<IBaseFilter>::Share(filter)), filter_(filter)
{
    if (source) {
        position_ = source->position_;
        pinCount_ = source->pinCount_;
        version_ = source->version_;
    } else {
        pinCount_ = filter_->GetPinCount();
        version_ = filter_->GetPinVersion();
    }
}

CEnumPins::~CEnumPins() = default;

bool CEnumPins::OutOfSync() { return filter_->GetPinVersion() != version_; }

HRESULT STDMETHODCALLTYPE CEnumPins::Next(ULONG count, IPin** pins, ULONG* fetched)
{
    if (!pins) return E_POINTER;
    // Without a place for the count, only one pin may be asked for.
    if (!fetched && count != 1) return E_INVALIDARG;
    if (fetched) *fetched = 0;
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;

    ULONG given = 0;
    while (given < count && position_ < pinCount_) {
        CBasePin* pin = filter_->GetPin(position_);
        if (!pin) break;  // the filter lost a pin without changing its version
        ++position_;
        pin->AddRef();
        pins[given++] = pin;
    }
    if (fetched) *fetched = given;
    return given == count ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE CEnumPins::Skip(ULONG count)
{
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
    ULONG left = static_cast<ULONG>(pinCount_ - position_);
    if (count > left) {
        position_ = pinCount_;
        return S_FALSE;
    }
    position_ += static_cast<int>(count);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CEnumPins::Reset()
{
    version_ = filter_->GetPinVersion();
    pinCount_ = filter_->GetPinCount();
    position_ = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CEnumPins::Clone(IEnumPins** copy)
{
    if (!copy) return E_POINTER;
    *copy = nullptr;
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
    return HandOut(MakeComObject<CEnumPins>(filter_, this), copy);
}

#include "graph/filterbase/source.h"

#include <algorithm>
#include <new>

#include "graph/filterbase/source_stream.h"

CSource::CSource(const wchar_t* objectName, IUnknown* outer, REFCLSID classId)
    // The lock is a member, built after the base; the base only keeps its address.
    : CBaseFilter(objectName, outer, &stateLock_, classId)
{
}

CSource::~CSource()
{
    // Each pin's destructor takes itself out of the array.
    while (!pins_.empty()) delete pins_.back();
}

int CSource::GetPinCount()
{
    AutoLock lock(stateLock_);
    return static_cast<int>(pins_.size());
}

CBasePin* CSource::GetPin(int index)
{
    AutoLock lock(stateLock_);
    if (index < 0 || index >= static_cast<int>(pins_.size())) return nullptr;
    return pins_[static_cast<size_t>(index)];
}

HRESULT CSource::AddPin(CSourceStream* pin)
{
    AutoLock lock(stateLock_);
    try {
        pins_.push_back(pin);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    IncrementPinVersion();
    return S_OK;
}

HRESULT CSource::RemovePin(CSourceStream* pin)
{
    AutoLock lock(stateLock_);
    auto found = std::find(pins_.begin(), pins_.end(), pin);
    if (found == pins_.end()) return S_FALSE;
    pins_.erase(found);
    IncrementPinVersion();
    return S_OK;
}

int CSource::FindPinNumber(const CSourceStream* pin)
{
    AutoLock lock(stateLock_);
    auto found = std::find(pins_.begin(), pins_.end(), pin);
    if (found == pins_.end()) return -1;
    return static_cast<int>(found - pins_.begin());
}

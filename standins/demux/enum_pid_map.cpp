#include "standins/demux/enum_pid_map.h"

#include <utility>

CEnumPIDMap::CEnumPIDMap(std::vector<PID_MAP> entries, ULONG position)
    : ComObject(L"CEnumPIDMap"), entries_(std::move(entries)), position_(position)
{
}

HRESULT STDMETHODCALLTYPE CEnumPIDMap::Next(ULONG count, PID_MAP* entries, ULONG* received)
{
    if (!entries) return E_POINTER;
    // The caller may leave out the count only when it asks for one entry.
    if (!received && count != 1) return E_POINTER;
    ULONG copied = 0;
    while (copied < count && position_ < entries_.size())
        entries[copied++] = entries_[position_++];
    if (received) *received = copied;
    return copied == count ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE CEnumPIDMap::Skip(ULONG count)
{
    const ULONG left = static_cast<ULONG>(entries_.size()) - position_;
    if (count > left) {
        position_ = static_cast<ULONG>(entries_.size());
        return S_FALSE;
    }
    position_ += count;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CEnumPIDMap::Reset()
{
    position_ = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CEnumPIDMap::Clone(IEnumPIDMap** copy)
{
    if (!copy) return E_POINTER;
    return HandOut(MakeComObject<CEnumPIDMap>(entries_, position_), copy);
}

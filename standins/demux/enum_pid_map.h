#pragma once
// IEnumPIDMap over a copy of an output pin's mappings taken when it was asked for.
#include <dshow.h>
#include <bdaiface.h>

#include <atomic>
#include <vector>

class CEnumPIDMap : public IEnumPIDMap {
public:
    explicit CEnumPIDMap(std::vector<PID_MAP> entries, ULONG position = 0);
    virtual ~CEnumPIDMap() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // S_OK when `count` entries were copied, S_FALSE when fewer were left.
    HRESULT STDMETHODCALLTYPE Next(ULONG count, PID_MAP* entries, ULONG* received) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumPIDMap** copy) override;

private:
    std::atomic<LONG> references_{1};
    std::vector<PID_MAP> entries_;
    ULONG position_;
};

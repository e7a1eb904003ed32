#pragma once
// IEnumPIDMap over a copy of an output pin's mappings taken when it was asked for.
#include <dshow.h>
#include <bdaiface.h>

#include <vector>

#include "graph/filterbase/com_object.h"

class CEnumPIDMap : public ComObject<Implements<IEnumPIDMap, IID_IEnumPIDMap>> {
public:
    explicit CEnumPIDMap(std::vector<PID_MAP> entries, ULONG position = 0);

    // S_OK when `count` entries were copied, S_FALSE when fewer were left.
    HRESULT STDMETHODCALLTYPE Next(ULONG count, PID_MAP* entries, ULONG* received) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumPIDMap** copy) override;

private:
    std::vector<PID_MAP> entries_;
    ULONG position_;
};

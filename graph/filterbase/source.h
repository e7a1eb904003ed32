#pragma once
// A source filter: a state lock of its own and the array of its output pins. Each
// CSourceStream adds itself on construction and removes itself on destruction.
#include <vector>

#include "graph/filterbase/base_filter.h"

class CSourceStream;

class CSource : public CBaseFilter {
public:
    CSource(const wchar_t* objectName, IUnknown* outer, REFCLSID classId);
    // Deletes whatever pins the derived filter left.
    ~CSource() override;

    int GetPinCount() override;
    CBasePin* GetPin(int index) override;

    // Called by CSourceStream only.
    HRESULT AddPin(CSourceStream* pin);
    HRESULT RemovePin(CSourceStream* pin);
    // Index of `pin` among this filter's pins, or -1.
    int FindPinNumber(const CSourceStream* pin);

protected:
    CriticalSection stateLock_;

private:
    std::vector<CSourceStream*> pins_;
};

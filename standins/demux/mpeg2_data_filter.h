#pragma once
// Stand-in for the platform's sections-and-tables filter (CLSID_Mpeg2Data),
// which Wine lacks. Its input pin takes whole sections from a demultiplexer
// output pin; a request by PID and table_id maps that PID as PSI on the
// upstream pin (IMPEG2PIDMap) for as long as some request or stream needs it.
// Only whole sections with a valid CRC_32 (where the section has one) answer.
#include <dshow.h>
#include <bdaiface.h>

#include <mutex>

#include "common/com_ptr.h"
#include "graph/filterbase/base_filter.h"
#include "graph/filterbase/with_interfaces.h"
#include "graph/mpeg2_data.h"
#include "standins/demux/section_router.h"

class CSectionsInputPin;

class CStandinMpeg2Data : public WithInterfaces<CBaseFilter, IMpeg2Data> {
public:
    // `strict`: as the platform's filter is documented (see CSectionStream), and a call
    // from a thread that has not entered COM is refused.
    explicit CStandinMpeg2Data(bool strict = false);
    ~CStandinMpeg2Data() override;

    // Answers the added interfaces, then those of the base class.
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** out) override;

    // IMpeg2Data. The filter is ignored: this program never narrows a request further.
    // Blocks up to `timeoutMs` for the first matching section that arrives after
    // the call; MPEG2_E_SECTION_NOT_FOUND when none did.
    HRESULT STDMETHODCALLTYPE GetSection(PID pid, TID tid, PMPEG2_FILTER filter, DWORD timeoutMs,
                                         ISectionList** sectionList) override;
    // Not provided (E_NOTIMPL): whole tables are never asked for.
    HRESULT STDMETHODCALLTYPE GetTable(PID pid, TID tid, PMPEG2_FILTER filter, DWORD timeoutMs,
                                       ISectionList** sectionList) override;
    HRESULT STDMETHODCALLTYPE GetStreamOfSections(PID pid, TID tid, PMPEG2_FILTER filter, HANDLE dataReadyEvent,
                                                  IMpeg2Stream** stream) override;

    // CBaseFilter
    int GetPinCount() override;
    CBasePin* GetPin(int index) override;
    const FilterSetup* GetSetupData() override;

    // From the input pin.
    void SetUpstream(IPin* upstream);
    void ReceiveSections(const BYTE* bytes, std::size_t size, std::uint32_t pid);

private:
    void MapUpstream(std::uint16_t pid, bool map);

    CriticalSection stateLock_;
    const bool strict_;
    CSectionsInputPin* input_;
    std::mutex upstreamMutex_;
    ComPtr<IMPEG2PIDMap> upstream_;
    SectionRouter router_;  // last: its users above outlive it
};

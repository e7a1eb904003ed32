#pragma once
// The answer of IMpeg2Data::GetStreamOfSections: every later section with the
// stream's PID and table_id is copied into the oldest buffer the caller has
// supplied, and the caller's event is set once per filled buffer.
//
// A section that arrives while no buffer is waiting is kept (up to
// kBacklogLimit sections, the oldest dropped first) and goes into the next
// buffer supplied, so a reader that hands its buffer back after parsing loses
// nothing. A section larger than the buffer fills it with its first bytes and
// marks the buffer's status with HRESULT_FROM_WIN32(ERROR_MORE_DATA).
//
// Strict, as the platform's filter is documented: one buffer waits at a time (a second
// SupplyDataBuffer meanwhile fails with E_FAIL), a section that arrives with no buffer
// waiting is lost, and a caller that has not entered COM is refused.
//
// The stream holds a reference on its filter, so it stays usable after the
// graph lets go; releasing it closes the request and unmaps the PID when no
// other request uses it.
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

#include "common/com_ptr.h"
#include "graph/filterbase/com_object.h"
#include "graph/mpeg2_data.h"
#include "standins/demux/section_router.h"

class CSectionStream : public ComObject<Implements<IMpeg2Stream, IID_IMpeg2Stream>> {
public:
    static constexpr std::size_t kBacklogLimit = 64;

    // `owner` is the filter whose router this is; `event` is duplicated.
    CSectionStream(IUnknown* owner, SectionRouter& router, HANDLE event, bool strict = false);
    ~CSectionStream() override;
    // Starts receiving; done after construction so the router never sees a half-built stream.
    HRESULT Open(PID pid, TID tableId);

    HRESULT STDMETHODCALLTYPE Initialize(MPEG_REQUEST_TYPE, IMpeg2Data*, PMPEG_CONTEXT, PID, TID, PMPEG2_FILTER,
                                         HANDLE) override;
    HRESULT STDMETHODCALLTYPE SupplyDataBuffer(PMPEG_STREAM_BUFFER buffer) override;

private:
    void OnSection(const std::uint8_t* section, std::size_t size);
    void Fill(MPEG_STREAM_BUFFER* buffer, const std::uint8_t* section, std::size_t size);

    ComPtr<IUnknown> owner_;  // released last, after the router is done with us
    SectionRouter& router_;
    HANDLE event_ = nullptr;
    const bool strict_;
    bool open_ = false;
    SectionRouter::Id id_ = 0;

    std::mutex mutex_;
    std::deque<MPEG_STREAM_BUFFER*> buffers_;
    std::deque<std::vector<std::uint8_t>> backlog_;
};

#include "standins/demux/section_stream.h"

#include "standins/demux/com_apartment.h"

#include <algorithm>
#include <cstring>

CSectionStream::CSectionStream(IUnknown* owner, SectionRouter& router, HANDLE event, bool strict)
    : ComObject(L"CSectionStream"), owner_(ComPtr<IUnknown>::Share(owner)), router_(router), strict_(strict)
{
    // The caller may close its handle while the stream lives; ours stays valid.
    if (!DuplicateHandle(GetCurrentProcess(), event, GetCurrentProcess(), &event_, 0, FALSE,
                         DUPLICATE_SAME_ACCESS))
        event_ = nullptr;
}

CSectionStream::~CSectionStream()
{
    // After this no section reaches OnSection.
    if (open_) router_.CloseStream(id_);
    if (event_) CloseHandle(event_);
}

HRESULT CSectionStream::Open(PID pid, TID tableId)
{
    if (!event_) return E_INVALIDARG;
    id_ = router_.OpenStream(pid, tableId,
                             [this](const std::uint8_t* section, std::size_t size) { OnSection(section, size); });
    open_ = true;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSectionStream::Initialize(MPEG_REQUEST_TYPE, IMpeg2Data*, PMPEG_CONTEXT, PID, TID,
                                                     PMPEG2_FILTER, HANDLE)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CSectionStream::SupplyDataBuffer(PMPEG_STREAM_BUFFER buffer)
{
    if (!buffer) return E_POINTER;
    if (!buffer->pDataBuffer || buffer->dwDataBufferSize == 0) return E_INVALIDARG;
    if (strict_ && !CallerEnteredCom()) return CO_E_NOTINITIALIZED;
    std::lock_guard<std::mutex> lock(mutex_);
    if (strict_) {
        if (!buffers_.empty()) return E_FAIL;
        buffers_.push_back(buffer);
        return S_OK;
    }
    if (!backlog_.empty()) {
        Fill(buffer, backlog_.front().data(), backlog_.front().size());
        backlog_.pop_front();
        return S_OK;
    }
    buffers_.push_back(buffer);
    return S_OK;
}

void CSectionStream::OnSection(const std::uint8_t* section, std::size_t size)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (!buffers_.empty()) {
        MPEG_STREAM_BUFFER* buffer = buffers_.front();
        buffers_.pop_front();
        Fill(buffer, section, size);
        return;
    }
    if (strict_) return;  // nobody was waiting for it
    if (backlog_.size() == kBacklogLimit) backlog_.pop_front();
    backlog_.emplace_back(section, section + size);
}

void CSectionStream::Fill(MPEG_STREAM_BUFFER* buffer, const std::uint8_t* section, std::size_t size)
{
    const std::size_t copied = std::min<std::size_t>(size, buffer->dwDataBufferSize);
    std::memcpy(buffer->pDataBuffer, section, copied);
    buffer->dwSizeOfDataRead = static_cast<DWORD>(copied);
    buffer->hr = copied == size ? S_OK : HRESULT_FROM_WIN32(ERROR_MORE_DATA);
    SetEvent(event_);
}

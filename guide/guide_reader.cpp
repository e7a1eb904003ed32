#include "guide/guide_reader.h"

#include <algorithm>
#include <iterator>
#include <memory>

#include "common/com_ptr.h"
#include "guide/guide_reader_loop.h"
#include "guide/guide_updater.h"
#include "guide/local_time_win.h"

namespace {

constexpr PID kEitPid = 0x12;
constexpr TID kEitTables[] = {0x4E, 0x4F};  // indexed by kActualStream, kOtherStream

// The thread only waits, parses a section or hands a buffer back: it answers a
// stop within this time unless the filter blocks it.
constexpr DWORD kStopTimeoutMs = 5000;

// What the thread uses, made and released on the user-interface thread. The
// buffers live here rather than on the thread's stack: a stream keeps the
// address of the buffer it was given until it is released, which happens
// after the thread has ended.
class GuideReader final : public GuideSectionSource {
public:
    GuideReader(ChannelList& channels, std::int32_t watched, HWND window)
        : updater_(channels, local_, [window] { return PostMessageW(window, WM_GUIDE_UPDATED, 0, 0) != FALSE; })
    {
        updater_.Watch(watched);
    }

    ~GuideReader() override
    {
        // The streams go before the events they signal.
        for (auto& stream : streams_)
            stream.Reset();
        for (HANDLE event : {stopEvent_, eitEvents_[0], eitEvents_[1]})
            if (event)
                CloseHandle(event);
        if (thread_)
            CloseHandle(thread_);
    }

    GuideReader(const GuideReader&) = delete;
    GuideReader& operator=(const GuideReader&) = delete;

    bool Open(IMpeg2Data* tables)
    {
        stopEvent_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        if (!stopEvent_)
            return false;
        for (int stream : {kActualStream, kOtherStream}) {
            eitEvents_[stream] = CreateEventW(nullptr, FALSE, FALSE, nullptr);
            if (!eitEvents_[stream] ||
                FAILED(tables->GetStreamOfSections(kEitPid, kEitTables[stream], nullptr, eitEvents_[stream],
                                                   streams_[stream].Put())) ||
                !streams_[stream])
                return false;
        }
        return true;
    }

    bool Start()
    {
        thread_ = CreateThread(nullptr, 0, GuideReaderThread, this, 0, nullptr);
        return thread_ != nullptr;
    }

    // False when the thread did not end in time: it may still use the streams
    // and buffers, which must then be left to it.
    bool Stop()
    {
        SetEvent(stopEvent_);
        return WaitForSingleObject(thread_, kStopTimeoutMs) == WAIT_OBJECT_0;
    }

    GuideUpdater& Updater() { return updater_; }

    bool Supply(int stream) override
    {
        descriptors_[stream] = MPEG_STREAM_BUFFER{S_OK, kGuideBufferSize, 0, buffers_[stream]};
        return SUCCEEDED(streams_[stream]->SupplyDataBuffer(&descriptors_[stream]));
    }

    GuideWake Wait() override
    {
        // The stop event comes first: with several events set, the lowest wins,
        // so a flood of sections cannot hold off a stop.
        const HANDLE events[] = {stopEvent_, eitEvents_[kActualStream], eitEvents_[kOtherStream]};
        switch (WaitForMultipleObjects(static_cast<DWORD>(std::size(events)), events, FALSE, INFINITE)) {
        case WAIT_OBJECT_0: return GuideWake::Stop;
        case WAIT_OBJECT_0 + 1: return GuideWake::ActualFilled;
        case WAIT_OBJECT_0 + 2: return GuideWake::OtherFilled;
        default: return GuideWake::Failed;
        }
    }

    const std::uint8_t* Bytes(int stream) const override { return buffers_[stream]; }

    std::size_t Size(int stream) const override
    {
        // The count comes from the filter: never trusted beyond the buffer.
        return std::min<std::size_t>(descriptors_[stream].dwSizeOfDataRead, kGuideBufferSize);
    }

private:
    static DWORD WINAPI GuideReaderThread(void* self)
    {
        auto* reader = static_cast<GuideReader*>(self);
        return static_cast<DWORD>(RunGuideReader(*reader, reader->updater_));
    }

    WindowsLocalTimeFormatter local_;
    GuideUpdater updater_;
    HANDLE stopEvent_ = nullptr;
    HANDLE eitEvents_[2] = {};  // set by the 0x4E and the 0x4F stream
    ComPtr<IMpeg2Stream> streams_[2];
    MPEG_STREAM_BUFFER descriptors_[2] = {};
    std::uint8_t buffers_[2][kGuideBufferSize] = {};
    HANDLE thread_ = nullptr;
};

std::unique_ptr<GuideReader> reader;

}  // namespace

void StartGuideReader(IMpeg2Data* tables, ChannelList& channels, std::int32_t watched, HWND window)
{
    StopGuideReader();
    if (!tables)
        return;
    auto created = std::make_unique<GuideReader>(channels, watched, window);
    if (created->Open(tables) && created->Start())
        reader = std::move(created);
}

void StopGuideReader()
{
    if (!reader)
        return;
    if (reader->Stop())
        reader.reset();
    else
        (void)reader.release();  // still in use by a thread that did not end
}

void WatchGuideChannel(std::int32_t channel)
{
    if (reader)
        reader->Updater().Watch(channel);
}

void AcknowledgeGuideUpdate()
{
    if (reader)
        reader->Updater().Acknowledge();
}

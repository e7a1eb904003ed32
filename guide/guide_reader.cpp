#include "guide/guide_reader.h"

#include <objbase.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <vector>

#include "common/com_ptr.h"
#include "guide/guide_reader_loop.h"
#include "guide/guide_updater.h"
#include "guide/local_time_win.h"

namespace {

constexpr PID kEitPid = 0x12;
constexpr TID kEitTables[] = {0x4E, 0x4F};  // indexed by kActualStream, kOtherStream
// Sections of the tap that wait for the thread: every service of every
// multiplex announced in 0x4F, with room to spare.
constexpr std::size_t kTapBacklog = 256;

// The thread only waits, parses a section or hands a buffer back: it answers a
// stop within this time unless the filter blocks it.
constexpr DWORD kStopTimeoutMs = 5000;

// What the thread uses. The buffers live here rather than on the thread's
// stack: a stream keeps the address of the buffer it was given until it is
// released. The filter's streams are made, used and released on the thread,
// which enters the multithreaded apartment; the filter itself reaches it
// marshalled from the user-interface thread.
class GuideReader final : public GuideSectionSource {
public:
    GuideReader(ChannelList& channels, std::int32_t watched, HWND window, SectionReader* tap)
        : updater_(channels, local_, [window] { return PostMessageW(window, WM_GUIDE_UPDATED, 0, 0) != FALSE; }),
          tap_(tap)
    {
        updater_.Watch(watched);
    }

    ~GuideReader() override
    {
        if (marshalled_) {
            // The thread never took the filter: its marshalled reference goes here.
            CoReleaseMarshalData(marshalled_);
            marshalled_->Release();
        }
        for (HANDLE event : {stopEvent_, readyEvent_, tapEvent_, eitEvents_[0], eitEvents_[1]})
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
        readyEvent_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        tapEvent_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        for (HANDLE& event : eitEvents_)
            event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        if (!stopEvent_ || !readyEvent_ || !tapEvent_ || !eitEvents_[0] || !eitEvents_[1])
            return false;
        if (tables) {
            shared_ = ComPtr<IMpeg2Data>::Share(tables);
            ComPtr<IUnknown> identity;
            if (SUCCEEDED(tables->QueryInterface(IID_IUnknown, identity.PutVoid())))
                tablesIdentity_ = identity.Get();
            if (FAILED(CoMarshalInterThreadInterfaceInStream(IID_IMpeg2Data, tables, &marshalled_)))
                marshalled_ = nullptr;
        }
        return shared_ || tap_;
    }

    // Returns once the thread reads (or gave up, or a bounded time passed), so
    // that what the stream carries from now on reaches the guide. The wait lets
    // COM deliver calls to this apartment: the thread may release a proxy.
    bool Start()
    {
        thread_ = CreateThread(nullptr, 0, GuideReaderThread, this, 0, nullptr);
        if (!thread_)
            return false;
        DWORD which = 0;
        CoWaitForMultipleHandles(0, kStopTimeoutMs, 1, &readyEvent_, &which);
        return true;
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
        if (fromTap_)
            return true;  // the next section is taken when the thread waits
        descriptors_[stream] = MPEG_STREAM_BUFFER{S_OK, kGuideBufferSize, 0, buffers_[stream]};
        return SUCCEEDED(streams_[stream]->SupplyDataBuffer(&descriptors_[stream]));
    }

    GuideWake Wait() override
    {
        // The first wait comes once both streams have their buffer.
        if (!ready_) {
            ready_ = true;
            SetEvent(readyEvent_);
        }
        return fromTap_ ? WaitForTap() : WaitForFilter();
    }

    const std::uint8_t* Bytes(int stream) const override
    {
        return fromTap_ ? tapSections_[stream].data() : buffers_[stream];
    }

    std::size_t Size(int stream) const override
    {
        if (fromTap_)
            return std::min<std::size_t>(tapSections_[stream].size(), kGuideBufferSize);
        // A failure comes through the buffer's status; the count comes from the
        // filter and is never trusted beyond the buffer.
        if (FAILED(descriptors_[stream].hr))
            return 0;
        return std::min<std::size_t>(descriptors_[stream].dwSizeOfDataRead, kGuideBufferSize);
    }

private:
    static DWORD WINAPI GuideReaderThread(void* self)
    {
        auto* reader = static_cast<GuideReader*>(self);
        const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
        const int result = reader->Run();
        SetEvent(reader->readyEvent_);
        if (com)
            CoUninitialize();
        return static_cast<DWORD>(result);
    }

    int Run()
    {
        int result = kGuideReaderFailed;
        bool stopped = false;
        if (ComPtr<IMpeg2Data> tables = TakeFilter(); tables && OpenStreams(tables.Get())) {
            result = RunGuideReader(*this, updater_);
            stopped = result == kGuideReaderStopped;
        }
        // Released on the thread that made them.
        for (auto& stream : streams_)
            stream.Reset();
        if (stopped || !tap_)
            return result;
        // No filter, or one that refused: the same tables from the tap.
        fromTap_ = true;
        for (int stream : {kActualStream, kOtherStream})
            tapStreams_[stream] = tap_->OpenStream(kEitPid, kEitTables[stream], kEitTables[stream], kTapBacklog,
                                                   false, [event = tapEvent_] { SetEvent(event); });
        result = RunGuideReader(*this, updater_);
        for (int stream : tapStreams_)
            tap_->CloseStream(stream);
        return result;
    }

    // The filter as this thread may call it, or null to read from the tap.
    ComPtr<IMpeg2Data> TakeFilter()
    {
        ComPtr<IMpeg2Data> tables;
        if (marshalled_) {
            CoGetInterfaceAndReleaseStream(marshalled_, IID_IMpeg2Data, tables.PutVoid());
            marshalled_ = nullptr;
        }
        // Only the filter itself will do: a proxy would copy our buffer
        // descriptors into the filter's apartment and never write the sections
        // back into our buffers.
        ComPtr<IUnknown> identity;
        if (tables)
            tables.As(IID_IUnknown, identity);
        if (tables && identity.Get() == tablesIdentity_)
            return tables;
        if (tap_)
            return nullptr;
        // Nothing else to read from: the filter is called directly, as
        // DirectShow's own streaming threads call filters.
        return shared_;
    }

    bool OpenStreams(IMpeg2Data* tables)
    {
        for (int stream : {kActualStream, kOtherStream})
            if (FAILED(tables->GetStreamOfSections(kEitPid, kEitTables[stream], nullptr, eitEvents_[stream],
                                                   streams_[stream].Put())) ||
                !streams_[stream])
                return false;
        return true;
    }

    GuideWake WaitForFilter()
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

    GuideWake WaitForTap()
    {
        for (;;) {
            if (WaitForSingleObject(stopEvent_, 0) == WAIT_OBJECT_0)
                return GuideWake::Stop;
            // The two tables take turns, so a flood of one cannot starve the other.
            for (int turn = 0; turn < 2; ++turn) {
                const int stream = (nextTap_ + turn) % 2;
                if (tap_->Next(tapStreams_[stream], tapSections_[stream])) {
                    nextTap_ = 1 - stream;
                    return stream == kActualStream ? GuideWake::ActualFilled : GuideWake::OtherFilled;
                }
            }
            // The wake runs when a queue goes from empty to not empty: both are
            // empty now, so the next section sets the event.
            const HANDLE events[] = {stopEvent_, tapEvent_};
            const DWORD woken = WaitForMultipleObjects(static_cast<DWORD>(std::size(events)), events, FALSE, INFINITE);
            if (woken == WAIT_OBJECT_0)
                return GuideWake::Stop;
            if (woken != WAIT_OBJECT_0 + 1)
                return GuideWake::Failed;
        }
    }

    WindowsLocalTimeFormatter local_;
    GuideUpdater updater_;
    HANDLE stopEvent_ = nullptr;
    HANDLE readyEvent_ = nullptr;  // set at the thread's first wait, or at its end
    bool ready_ = false;           // the thread's
    HANDLE eitEvents_[2] = {};  // set by the 0x4E and the 0x4F stream
    HANDLE tapEvent_ = nullptr;  // set by the tap's section reader
    // The filter: marshalled for the thread, and our own reference to it.
    IStream* marshalled_ = nullptr;
    ComPtr<IMpeg2Data> shared_;
    const IUnknown* tablesIdentity_ = nullptr;  // compared, never called
    ComPtr<IMpeg2Stream> streams_[2];
    MPEG_STREAM_BUFFER descriptors_[2] = {};
    std::uint8_t buffers_[2][kGuideBufferSize] = {};
    // The tap.
    SectionReader* tap_;
    bool fromTap_ = false;
    int tapStreams_[2] = {};
    std::vector<std::uint8_t> tapSections_[2];
    int nextTap_ = 0;
    HANDLE thread_ = nullptr;
};

std::unique_ptr<GuideReader> reader;

}  // namespace

void StartGuideReader(IMpeg2Data* tables, ChannelList& channels, std::int32_t watched, HWND window,
                      SectionReader* tap)
{
    StopGuideReader();
    if (!tables && !tap)
        return;
    auto created = std::make_unique<GuideReader>(channels, watched, window, tap);
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

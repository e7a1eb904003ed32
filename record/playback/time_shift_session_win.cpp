#include "record/playback/time_shift_session_win.h"

std::unique_ptr<TimeShiftSession> TimeShiftSession::Begin(PacketTap& tap, const std::wstring& folder, int minutes,
                                                          const PidSelection& selection, HWND notify,
                                                          UINT failureMessage, DWORD& error)
{
    std::unique_ptr<WinRingFile> file = WinRingFile::Create(folder, error);
    if (!file)
        return nullptr;
    std::unique_ptr<TimeShiftSession> session(new TimeShiftSession(tap, std::move(file)));
    // The streaming thread only posts: it never waits on the window.
    auto onFailure = [notify, failureMessage](unsigned long code) {
        if (notify)
            PostMessageW(notify, failureMessage, static_cast<WPARAM>(code), 0);
    };
    session->buffer_ = std::make_unique<TimeShiftBuffer>(
        *session->file_, TimeShiftBuffer::CapacityFor(minutes), static_cast<std::int64_t>(minutes) * 60'000, selection,
        [] { return static_cast<std::int64_t>(GetTickCount64()); }, onFailure);
    tap.Subscribe(session->buffer_.get());
    return session;
}

TimeShiftSession::~TimeShiftSession()
{
    // Once the tap lets go, no run is being written; then the file may close.
    tap_.Unsubscribe(buffer_.get());
    buffer_.reset();
    file_.reset();
}

#pragma once
// One time-shift, from the pause to the return to live: the buffer's file in
// the chosen folder, the buffer subscribed to the tap, and their end. Ending it
// (back to live, a channel change, a recording of another multiplex, closing)
// unsubscribes the buffer first, so no packet is being written when the file
// is closed, and closing the file deletes it. Main window's thread.
#include <windows.h>

#include <memory>
#include <string>

#include "channels/psi/packet_tap.h"
#include "record/playback/ring_file_win.h"
#include "record/playback/time_shift_buffer.h"

class TimeShiftSession {
public:
    // Starts buffering the packets of `selection` from `tap`. When the folder
    // cannot take the file, returns null with `error` set (the caller tells the
    // user, and the live picture goes on). A failed write later posts
    // `failureMessage` to `notify` with the error code as wParam.
    static std::unique_ptr<TimeShiftSession> Begin(PacketTap& tap, const std::wstring& folder, int minutes,
                                                   const PidSelection& selection, HWND notify, UINT failureMessage,
                                                   DWORD& error);
    ~TimeShiftSession();
    TimeShiftSession(const TimeShiftSession&) = delete;
    TimeShiftSession& operator=(const TimeShiftSession&) = delete;

    TimeShiftBuffer& buffer() { return *buffer_; }
    const std::wstring& path() const { return file_->path(); }

private:
    TimeShiftSession(PacketTap& tap, std::unique_ptr<WinRingFile> file) : tap_(tap), file_(std::move(file)) {}

    PacketTap& tap_;
    std::unique_ptr<WinRingFile> file_;
    std::unique_ptr<TimeShiftBuffer> buffer_;
};

#pragma once
// One recording as a subscriber of the transport-stream tap: it keeps the
// packets of its PID selection and appends them to its file on the streaming
// thread, each run of consecutive kept packets with one write straight from the
// tap's buffer. Several may run at once, each with its own file.
//
// The PIDs and the notification target are fixed at construction, so the
// streaming thread reads them without a lock. Close() waits for a run being
// written and makes later calls write nothing.
#include <windows.h>

#include <cstdint>

#include "channels/psi/packet_tap.h"
#include "record/packet_filter.h"

class RecordingWriter final : public PacketSubscriber {
public:
    // Takes ownership of `file`. When a write fails, writing stops, the file is cut
    // back to its last whole packet, `failureMessage` is posted to `notify` with
    // the error code as wParam and `serial` as lParam (the streaming thread never
    // shows anything itself), and the tap drops this subscriber.
    RecordingWriter(HANDLE file, const PidSelection& selection, HWND notify, UINT failureMessage, LPARAM serial);
    ~RecordingWriter() override;
    RecordingWriter(const RecordingWriter&) = delete;
    RecordingWriter& operator=(const RecordingWriter&) = delete;

    bool OnPackets(const std::uint8_t* packets, std::size_t count) override;

    // Closes the file once the run being written, if any, is done. Any thread.
    void Close();

private:
    void Fail(DWORD error);

    SRWLOCK fileLock_ = SRWLOCK_INIT;
    HANDLE file_;  // guarded by fileLock_
    const PidSelection selection_;
    HWND notify_;
    UINT failureMessage_;
    LPARAM serial_;
    // Streaming thread only.
    std::uint64_t written_ = 0;
    bool failed_ = false;
};

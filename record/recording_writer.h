#pragma once
// One recording's file, fed with runs of kept packets on the streaming thread
// (the recordings' fan-out does the picking): each run is appended with one
// write straight from the tap's buffer. Several may run at once, each with its
// own file.
//
// The notification target is fixed at construction, so the streaming thread
// reads it without a lock. Close() waits for a run being written and makes
// later calls write nothing.
#include <windows.h>

#include <cstdint>
#include <memory>

#include "record/packet_filter.h"

// Where a recording's bytes go: the platform's file, or in tests one that fails
// on cue.
class RecordingFile {
public:
    virtual ~RecordingFile() = default;
    // Appends `size` bytes; `done` receives how many reached the file. Returns
    // ERROR_SUCCESS, or the system's code of the failure.
    virtual DWORD Append(const std::uint8_t* bytes, std::size_t size, std::size_t& done) = 0;
    // Cuts the file to its first `size` bytes.
    virtual void Truncate(std::uint64_t size) = 0;
};

// The recording file of a handle opened for writing; closes it when destroyed.
std::unique_ptr<RecordingFile> HandleRecordingFile(HANDLE file);

class RecordingWriter final : public PacketRunSink {
public:
    // When a write fails, writing stops, the file is cut back to its last whole
    // packet, `failureMessage` is posted to `notify` with the error code as
    // wParam and `serial` as lParam (the streaming thread never shows anything
    // itself), and the run is refused so that the fan-out drops this writer.
    RecordingWriter(std::unique_ptr<RecordingFile> file, HWND notify, UINT failureMessage, LPARAM serial);
    // Takes ownership of `file`.
    RecordingWriter(HANDLE file, HWND notify, UINT failureMessage, LPARAM serial);
    ~RecordingWriter() override;
    RecordingWriter(const RecordingWriter&) = delete;
    RecordingWriter& operator=(const RecordingWriter&) = delete;

    // Streaming thread: one run of whole packets.
    bool WriteRun(const std::uint8_t* bytes, std::size_t size) override;

    // Closes the file once the run being written, if any, is done. Any thread.
    void Close();

private:
    void Fail(DWORD error);

    SRWLOCK fileLock_ = SRWLOCK_INIT;
    std::unique_ptr<RecordingFile> file_;  // guarded by fileLock_
    HWND notify_;
    UINT failureMessage_;
    LPARAM serial_;
    // Streaming thread only.
    std::uint64_t written_ = 0;
    bool failed_ = false;
};

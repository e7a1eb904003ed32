#pragma once
// The recording callback handed to the graph's sample grabber: it filters the
// packets of every sample on the streaming thread and appends the kept ones to the
// recording file, each run of consecutive kept packets with one write straight
// from the sample's buffer.
//
// The PIDs and the notification target are fixed before the object is handed over,
// so the streaming thread reads them without a lock. The file is closed by Close()
// or by the last Release. Close() waits for a sample being written and makes later
// calls do nothing: the grabber may still call a callback it has just been asked to
// drop, so the recorder closes the file itself and keeps the object alive a while.
#include <windows.h>
#include <qedit.h>

#include <atomic>
#include <cstdint>

#include "record/packet_filter.h"

class CSampleGrabber final : public ISampleGrabberCB {
public:
    // Takes ownership of `file`. When a write fails, writing stops, the file is cut
    // back to its last whole packet, and `failureMessage` is posted to `notify` with
    // the error code as wParam and `serial` as lParam: the streaming thread never
    // shows anything itself.
    CSampleGrabber(HANDLE file, const PidSelection& selection, HWND notify, UINT failureMessage, LPARAM serial);
    CSampleGrabber(const CSampleGrabber&) = delete;
    CSampleGrabber& operator=(const CSampleGrabber&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE SampleCB(double sampleTime, IMediaSample* sample) override;
    HRESULT STDMETHODCALLTYPE BufferCB(double sampleTime, BYTE* buffer, long length) override;

    // Closes the file once the sample being written, if any, is done. Any thread.
    void Close();

private:
    ~CSampleGrabber();
    void Fail(DWORD error);

    std::atomic<LONG> references_{0};
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

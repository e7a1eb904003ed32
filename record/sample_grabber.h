#pragma once
// The recording callback handed to the graph's sample grabber: it filters the
// packets of every sample on the streaming thread and appends the kept ones to the
// recording file, each run of consecutive kept packets with one write straight
// from the sample's buffer.
//
// The grabber holds the only reference; the last Release closes the file. The PIDs,
// the file and the notification target are fixed before the object is handed over,
// so the streaming thread reads them without a lock.
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

private:
    ~CSampleGrabber();
    void Fail(DWORD error);

    std::atomic<LONG> references_{0};
    HANDLE file_;
    const PidSelection selection_;
    HWND notify_;
    UINT failureMessage_;
    LPARAM serial_;
    // Streaming thread only.
    std::uint64_t written_ = 0;
    bool failed_ = false;
};

#include "record/sample_grabber.h"

#include "channels/psi/ts_packet.h"

namespace {

class FileSink final : public PacketRunSink {
public:
    explicit FileSink(HANDLE file) : file_(file) {}
    bool WriteRun(const std::uint8_t* bytes, std::size_t size) override
    {
        DWORD done = 0;
        if (!WriteFile(file_, bytes, static_cast<DWORD>(size), &done, nullptr)) {
            error = GetLastError();
            return false;
        }
        written += done;
        if (done != size) {
            error = ERROR_DISK_FULL;
            return false;
        }
        return true;
    }
    std::uint64_t written = 0;
    DWORD error = ERROR_SUCCESS;

private:
    HANDLE file_;
};

}  // namespace

CSampleGrabber::CSampleGrabber(HANDLE file, const PidSelection& selection, HWND notify, UINT failureMessage,
                               LPARAM serial)
    : file_(file), selection_(selection), notify_(notify), failureMessage_(failureMessage), serial_(serial)
{
}

CSampleGrabber::~CSampleGrabber()
{
    Close();
}

void CSampleGrabber::Close()
{
    AcquireSRWLockExclusive(&fileLock_);
    if (file_ != INVALID_HANDLE_VALUE)
        CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    ReleaseSRWLockExclusive(&fileLock_);
}

HRESULT STDMETHODCALLTYPE CSampleGrabber::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_ISampleGrabberCB) || IsEqualIID(iid, IID_IUnknown)) {
        *object = static_cast<ISampleGrabberCB*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CSampleGrabber::AddRef()
{
    return static_cast<ULONG>(++references_);
}

ULONG STDMETHODCALLTYPE CSampleGrabber::Release()
{
    const LONG left = --references_;
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE CSampleGrabber::SampleCB(double, IMediaSample* sample)
{
    if (!sample)
        return S_OK;
    BYTE* data = nullptr;
    const long length = sample->GetActualDataLength();
    if (length <= 0 || FAILED(sample->GetPointer(&data)) || !data)
        return S_OK;
    AcquireSRWLockShared(&fileLock_);
    if (file_ != INVALID_HANDLE_VALUE && !failed_) {
        FileSink sink(file_);
        const FilterResult result = FilterPackets(data, static_cast<std::size_t>(length), selection_, sink);
        written_ += sink.written;
        if (result.sinkFailed)
            Fail(sink.error);
    }
    ReleaseSRWLockShared(&fileLock_);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSampleGrabber::BufferCB(double, BYTE*, long)
{
    return S_OK;
}

void CSampleGrabber::Fail(DWORD error)
{
    failed_ = true;
    // A write cut short leaves part of a packet: cut the file back to whole packets.
    const std::uint64_t whole = written_ - written_ % kTsPacketSize;
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(whole);
    if (SetFilePointerEx(file_, position, nullptr, FILE_BEGIN))
        SetEndOfFile(file_);
    if (notify_)
        PostMessageW(notify_, failureMessage_, static_cast<WPARAM>(error), serial_);
}

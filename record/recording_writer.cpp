#include "record/recording_writer.h"

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

RecordingWriter::RecordingWriter(HANDLE file, const PidSelection& selection, HWND notify, UINT failureMessage,
                                 LPARAM serial)
    : file_(file), selection_(selection), notify_(notify), failureMessage_(failureMessage), serial_(serial)
{
}

RecordingWriter::~RecordingWriter()
{
    Close();
}

void RecordingWriter::Close()
{
    AcquireSRWLockExclusive(&fileLock_);
    if (file_ != INVALID_HANDLE_VALUE)
        CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    ReleaseSRWLockExclusive(&fileLock_);
}

bool RecordingWriter::OnPackets(const std::uint8_t* packets, std::size_t count)
{
    bool keep = false;
    AcquireSRWLockShared(&fileLock_);
    if (file_ != INVALID_HANDLE_VALUE && !failed_) {
        FileSink sink(file_);
        const FilterResult result = FilterPackets(packets, count * kTsPacketSize, selection_, sink);
        written_ += sink.written;
        if (result.sinkFailed)
            Fail(sink.error);
        keep = !failed_;
    }
    ReleaseSRWLockShared(&fileLock_);
    return keep;
}

void RecordingWriter::Fail(DWORD error)
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

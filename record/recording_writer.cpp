#include "record/recording_writer.h"

#include <algorithm>
#include <limits>

#include "channels/psi/ts_packet.h"

namespace {

class HandleFile final : public RecordingFile {
public:
    explicit HandleFile(HANDLE file) : file_(file) {}
    ~HandleFile() override
    {
        if (file_ != INVALID_HANDLE_VALUE)
            CloseHandle(file_);
    }
    HandleFile(const HandleFile&) = delete;
    HandleFile& operator=(const HandleFile&) = delete;

    DWORD Append(const std::uint8_t* bytes, std::size_t size, std::size_t& done) override
    {
        done = 0;
        while (done < size) {
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - done, std::numeric_limits<DWORD>::max()));
            DWORD wrote = 0;
            if (!WriteFile(file_, bytes + done, chunk, &wrote, nullptr))
                return GetLastError();
            done += wrote;
            if (wrote != chunk)
                return ERROR_DISK_FULL;  // a short write without an error: no room left
        }
        return ERROR_SUCCESS;
    }
    void Truncate(std::uint64_t size) override
    {
        LARGE_INTEGER position;
        position.QuadPart = static_cast<LONGLONG>(size);
        if (SetFilePointerEx(file_, position, nullptr, FILE_BEGIN))
            SetEndOfFile(file_);
    }

private:
    HANDLE file_;
};

}  // namespace

std::unique_ptr<RecordingFile> HandleRecordingFile(HANDLE file)
{
    return std::make_unique<HandleFile>(file);
}

RecordingWriter::RecordingWriter(std::unique_ptr<RecordingFile> file, HWND notify, UINT failureMessage,
                                 LPARAM serial)
    : file_(std::move(file)), notify_(notify), failureMessage_(failureMessage), serial_(serial)
{
}

RecordingWriter::RecordingWriter(HANDLE file, HWND notify, UINT failureMessage, LPARAM serial)
    : RecordingWriter(HandleRecordingFile(file), notify, failureMessage, serial)
{
}

RecordingWriter::~RecordingWriter()
{
    Close();
}

void RecordingWriter::Close()
{
    AcquireSRWLockExclusive(&fileLock_);
    std::unique_ptr<RecordingFile> closing = std::move(file_);
    closing.reset();
    ReleaseSRWLockExclusive(&fileLock_);
}

bool RecordingWriter::WriteRun(const std::uint8_t* bytes, std::size_t size)
{
    bool keep = false;
    AcquireSRWLockShared(&fileLock_);
    if (file_ && !failed_) {
        std::size_t done = 0;
        const DWORD error = file_->Append(bytes, size, done);
        written_ += done;
        if (error != ERROR_SUCCESS)
            Fail(error);
        keep = !failed_;
    }
    ReleaseSRWLockShared(&fileLock_);
    return keep;
}

void RecordingWriter::Fail(DWORD error)
{
    failed_ = true;
    // A write cut short leaves part of a packet: cut the file back to whole packets.
    file_->Truncate(written_ - written_ % kTsPacketSize);
    if (notify_)
        PostMessageW(notify_, failureMessage_, static_cast<WPARAM>(error), serial_);
}

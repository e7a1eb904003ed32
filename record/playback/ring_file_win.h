#pragma once
// The time-shift buffer's file: a temporary file in the chosen folder, read and
// written at explicit offsets through one handle (the streaming thread writes
// while the source filter's thread reads). It is opened for deletion on close,
// so the system removes it when time-shift ends, when the program closes, and
// even when the program dies.
#include <windows.h>

#include <memory>
#include <string>

#include "record/playback/time_shift_buffer.h"

class WinRingFile final : public RingFile {
public:
    // Creates the file in `folder`; null with `error` set when the folder cannot
    // be written (missing, read-only, no rights).
    static std::unique_ptr<WinRingFile> Create(const std::wstring& folder, DWORD& error);
    ~WinRingFile() override;
    WinRingFile(const WinRingFile&) = delete;
    WinRingFile& operator=(const WinRingFile&) = delete;

    bool WriteAt(std::uint64_t offset, const std::uint8_t* data, std::size_t size, unsigned long& error) override;
    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* out, std::size_t size) override;

    const std::wstring& path() const { return path_; }

private:
    WinRingFile(HANDLE file, std::wstring path) : file_(file), path_(std::move(path)) {}
    HANDLE file_;
    std::wstring path_;
};

// The folder of the system's temporary files, the buffer's default place.
std::wstring DefaultTimeShiftFolder();

// "La pause du direct est impossible : le dossier <folder> ne peut pas recevoir
// le fichier tampon.\n<raison>"
std::wstring TimeShiftFolderFailureText(const std::wstring& folder, DWORD error);
// "Le disque est plein ... la mise en mémoire s'arrête ..."
std::wstring TimeShiftWriteFailureText(DWORD error);

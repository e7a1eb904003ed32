#pragma once
// A recording opened for playback: positional reads of the file, shared for
// reading with the program that may still be writing it. The source filter's
// worker and the window's thread read at once; each read names its offset, so
// they do not disturb each other.
#include <windows.h>

#include <memory>
#include <string>

#include "record/playback/byte_source.h"

class WinFileSource final : public ByteSource {
public:
    // Null with `error` set when the file cannot be opened.
    static std::unique_ptr<WinFileSource> Open(const std::wstring& path, DWORD& error);
    ~WinFileSource() override;
    WinFileSource(const WinFileSource&) = delete;
    WinFileSource& operator=(const WinFileSource&) = delete;

    std::uint64_t Size() const override;
    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* out, std::size_t size) override;

private:
    explicit WinFileSource(HANDLE file) : file_(file) {}
    HANDLE file_;
};

#include "record/snapshot.h"

#include <objbase.h>

#include <string>

#include "channels/text/dvb_text.h"
#include "common/com_ptr.h"
#include "common/error_message.h"
#include "common/wide_text.h"
#include "graph/graph_handles.h"
#include "record/bitmap_file.h"
#include "record/new_file.h"

namespace {

constexpr wchar_t kNoPicture[] = L"Aucune image \u00e0 capturer : la vid\u00e9o n'est pas affich\u00e9e.";

// The renderer's image block, freed with the task allocator that made it.
struct ImageBlock {
    BYTE* bytes = nullptr;
    ~ImageBlock() { CoTaskMemFree(bytes); }
};

// How many bytes of a task-allocator block may be read; unknown blocks are taken
// at their header's word.
std::size_t BlockSize(void* block)
{
    ComPtr<IMalloc> allocator;
    if (FAILED(CoGetMalloc(1, allocator.Put())))
        return SIZE_MAX;
    const SIZE_T size = allocator->GetSize(block);
    return size == static_cast<SIZE_T>(-1) ? SIZE_MAX : size;
}

bool WriteAll(HANDLE file, const void* bytes, std::size_t size)
{
    DWORD done = 0;
    return WriteFile(file, bytes, static_cast<DWORD>(size), &done, nullptr) && done == size;
}

}  // namespace

bool TakeSnapshot(HWND window, const Chaine* channel, const wchar_t* folder)
{
    ImageBlock image;
    if (!windowlessControl || FAILED(windowlessControl->GetCurrentImage(&image.bytes)) || !image.bytes)
        return SaveSnapshot(window, channel, folder, nullptr, 0);
    return SaveSnapshot(window, channel, folder, image.bytes, BlockSize(image.bytes));
}

bool SaveSnapshot(HWND window, const Chaine* channel, const wchar_t* folder, const std::uint8_t* image,
                  std::size_t size)
{
    if (!image) {
        ShowError(window, kNoPicture);
        return false;
    }
    const auto layout = LayOutBitmapFile(image, size);
    if (!layout) {
        ShowError(window, L"Capture impossible : le rendu vid\u00e9o a fourni une image illisible.");
        return false;
    }
    const std::wstring name = channel ? ToWide(DecodeDvbText(channel->Nom)) : std::wstring();
    NewFile file = CreateNewFile(folder ? folder : L"", DatedStem(name, LocalFileTime()), L".bmp");
    if (!file.ok()) {
        ShowError(window,
                  FileFailureText(L"Impossible de cr\u00e9er le fichier de capture :", file.path, file.error).c_str());
        return false;
    }
    const bool written = WriteAll(file.handle, layout->fileHeader.data(), layout->fileHeader.size()) &&
                         WriteAll(file.handle, image, layout->blockSize);
    const DWORD error = written ? ERROR_SUCCESS : GetLastError();
    CloseHandle(file.handle);
    if (!written) {
        // Half a bitmap is no picture: take it away again.
        DeleteFileW(file.path.c_str());
        ShowError(window,
                  FileFailureText(L"Impossible d'\u00e9crire la capture :", file.path, error).c_str());
        return false;
    }
    return true;
}

#include "app/guide_export.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "config/settings.h"
#include "guide/guide_database.h"
#include "guide/schedule/xmltv_writer.h"

namespace {

constexpr wchar_t kCaption[] = L"Exporter le guide (XMLTV)";

std::wstring AskFileName(HWND owner)
{
    std::vector<wchar_t> file(MAX_PATH * 4, L'\0');
    wcscpy_s(file.data(), file.size(), L"guide.xml");
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = L"Guide XMLTV (*.xml)\0*.xml\0Tous les fichiers (*.*)\0*.*\0";
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrInitialDir = videoFolder[0] ? videoFolder : nullptr;
    ofn.lpstrTitle = kCaption;
    ofn.lpstrDefExt = L"xml";
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameW(&ofn))
        return {};
    return file.data();
}

}  // namespace

bool WriteWholeFile(const std::wstring& path, const std::string& document)
{
    const std::wstring partial = path + L".partiel";
    HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool written = true;
    for (size_t at = 0; written && at < document.size();) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(document.size() - at, 1 << 20));
        DWORD done = 0;
        written = WriteFile(file, document.data() + at, chunk, &done, nullptr) && done == chunk;
        at += done;
    }
    written = FlushFileBuffers(file) && written;
    CloseHandle(file);
    // The user confirmed the replacement in the dialog; a failed write leaves the
    // old file as it was.
    if (!written || !MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(partial.c_str());
        return false;
    }
    return true;
}

void ExportGuideAsXmltv(HWND owner)
{
    const std::wstring path = AskFileName(owner);
    if (path.empty())
        return;
    const GuideQuery& guide = TheGuide();
    const std::string document = WriteXmltv(guide.Services(), guide.AllEvents());
    if (WriteWholeFile(path, document))
        return;
    const std::wstring text = L"Le guide n'a pas pu \u00eatre \u00e9crit dans \u00ab " + path +
                              L" \u00bb.\nV\u00e9rifiez que le dossier existe, qu'il est accessible en "
                              L"\u00e9criture et que le disque n'est pas plein.";
    MessageBoxW(owner, text.c_str(), kCaption, MB_OK | MB_ICONERROR);
}

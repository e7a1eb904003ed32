// brisome-scan FOLDER CITY
//
// Runs the program's channel scan on recorded multiplexes instead of a tuner:
// the frequencies of CITY come from canaux.ini in the current directory, the
// multiplex of frequency f is the file FOLDER\<f>.ts (no file: no signal), and the
// channel list is written to chaines.xml in the current directory, unless no
// channel is left to write (exit code 1, any earlier file untouched). From each file
// the scan takes what a receiver tuned to it would be handed first: the first
// whole SDT, PAT, PMT and NIT section in the stream.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "channels/chaine.h"
#include "channels/channel_file_win.h"
#include "channels/frequency_plan_win.h"
#include "channels/psi/section_assembler.h"
#include "channels/scan_rules.h"
#include "common/text_convert.h"

namespace {

namespace fs = std::filesystem;

constexpr int kExitOk = 0;
constexpr int kExitNothingSaved = 1;
constexpr int kExitBadArguments = 2;

// Writes to the console as UTF-16, or as UTF-8 into a pipe or a file.
void Write(DWORD which, const std::wstring& text)
{
    HANDLE h = GetStdHandle(which);
    if (h == nullptr || h == INVALID_HANDLE_VALUE)
        return;
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(h, &mode)) {
        WriteConsoleW(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    const std::string utf8 = NarrowText(text, CodePage::Utf8);
    if (utf8.empty())
        return;
    WriteFile(h, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

void Out(const std::wstring& text) { Write(STD_OUTPUT_HANDLE, text + L"\n"); }
void Error(const std::wstring& text) { Write(STD_ERROR_HANDLE, L"brisome-scan : " + text + L"\n"); }

void Usage()
{
    Write(STD_ERROR_HANDLE,
          L"Usage : brisome-scan <dossier des multiplex> <ville>\n"
          L"  Lit, pour chaque fréquence de la ville (canaux.ini du dossier courant), le fichier\n"
          L"  <fréquence en kHz>.ts du dossier des multiplex, comme le ferait le scan des chaînes,\n"
          L"  puis écrit la liste des chaînes dans chaines.xml, dans le dossier courant.\n"
          L"  Une ville absente de canaux.ini fait parcourir tous les canaux UHF (21 à 69).\n");
}

// The folder must exist and be listable; a missing file inside it only means no signal.
bool CheckFolder(const fs::path& folder)
{
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        Error(L"le dossier des multiplex « " + folder.wstring() + L" » n'existe pas ou n'est pas un dossier.");
        return false;
    }
    fs::directory_iterator listing(folder, ec);
    if (ec) {
        Error(L"le dossier des multiplex « " + folder.wstring() + L" » ne peut pas être lu.");
        return false;
    }
    return true;
}

enum class Stream { Missing, Unreadable, Read };

// Broadcasters repeat every table the scan reads within 10 s, the longest wait of
// a request; 64 MiB hold over 15 s even at DVB-T's highest rate (about 32 Mbit/s),
// so a longer recording is not loaded whole.
constexpr std::size_t kMaxStreamBytes = std::size_t{64} << 20;

Stream ReadStream(const fs::path& file, std::vector<std::uint8_t>& bytes)
{
    std::error_code ec;
    if (!fs::exists(file, ec))
        return Stream::Missing;
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return Stream::Unreadable;
    const std::uintmax_t size = fs::file_size(file, ec);
    bytes.resize(ec ? kMaxStreamBytes : static_cast<std::size_t>(std::min<std::uintmax_t>(size, kMaxStreamBytes)));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (in.bad())
        return Stream::Unreadable;
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return Stream::Read;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3) {
        if (argc > 1)
            Error(L"deux arguments sont attendus, " + std::to_wstring(argc - 1) + L" ont été donnés.");
        Usage();
        return kExitBadArguments;
    }
    const fs::path folder = argv[1];
    const wchar_t* city = argv[2];
    if (!CheckFolder(folder))
        return kExitBadArguments;

    const std::wstring plan = FrequencyPlanPath();
    if (GetFileAttributesW(plan.c_str()) == INVALID_FILE_ATTRIBUTES)
        Out(L"canaux.ini est absent du dossier courant : tous les canaux UHF seront parcourus.");
    std::vector<std::int32_t> frequencies;
    BuildFrequencyList(city, plan, frequencies);

    ChannelList list;
    std::vector<std::uint8_t> capturedNit;
    for (const std::int32_t frequency : frequencies) {
        const fs::path file = folder / (std::to_wstring(frequency) + L".ts");
        std::vector<std::uint8_t> stream;
        const Stream state = ReadStream(file, stream);
        if (state == Stream::Unreadable)
            Error(L"le fichier « " + file.wstring() + L" » ne peut pas être lu ; fréquence traitée comme sans signal.");
        if (state != Stream::Read) {
            Out(std::to_wstring(frequency) + L" kHz : pas de signal");
            continue;
        }
        // A recorded stream holds everything a receiver could be handed, so the
        // time-outs play no part: a table is there or it never comes.
        const SectionRequest request = [&stream](std::uint16_t pid, std::uint8_t tableId, std::uint32_t,
                                                 std::vector<std::uint8_t>& section) {
            section = FindFirstSection(stream.data(), stream.size(), pid, tableId);
            return !section.empty();
        };
        const std::size_t before = list.size();
        ReadMultiplexTables(frequency, request, list, capturedNit);
        Out(std::to_wstring(frequency) + L" kHz : " + std::to_wstring(list.size() - before) + L" service(s)");
    }

    if (list.empty()) {
        Error(L"Aucune chaine n'a été trouvée ; chaines.xml n'est pas écrit.");
        return kExitNothingSaved;
    }
    if (capturedNit.empty())
        Out(L"Aucune table NIT reçue : les services sont gardés tels quels, sans numéro.");
    FinishScan(list, &capturedNit);
    // A file of no channel would only stop the program's start: it would then
    // never scan by itself. Any earlier chaines.xml stays as it was.
    if (list.empty()) {
        Error(L"Aucune chaine n'a été trouvée : aucun des services reçus ne peut être regardé "
              L"(pas de vidéo MPEG-2 ou pas de PCR) ; chaines.xml n'est pas écrit.");
        return kExitNothingSaved;
    }

    if (!SaveChannelFile(list, L"chaines.xml")) {
        Error(L"chaines.xml ne peut pas être écrit dans le dossier courant.");
        return kExitNothingSaved;
    }
    Out(std::to_wstring(list.size()) + L" chaîne(s) enregistrée(s) dans chaines.xml.");
    return kExitOk;
}

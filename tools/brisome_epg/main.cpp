// brisome-epg FILE.ts... [-o OUT.xml]
//
// Reads recorded DVB transport streams and writes their programme guide as an
// XMLTV document, to standard output or to OUT.xml: the service names of the SDT
// and the events of the EIT (present/following and schedule, this multiplex's
// and the others'), through the program's own parser and writer.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "guide/schedule/xmltv_writer.h"
#include "tools/brisome_epg/epg_collector.h"

namespace {

namespace fs = std::filesystem;

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitBadArguments = 2;
// Large reads: the tool runs at the disk's speed, not the system call rate.
constexpr std::size_t kBlockSize = 4 << 20;

std::FILE* OpenFile(const fs::path& path, bool write)
{
#ifdef _WIN32
    return _wfopen(path.c_str(), write ? L"wb" : L"rb");
#else
    return std::fopen(path.c_str(), write ? "wb" : "rb");
#endif
}

std::string Shown(const fs::path& path)
{
    const auto u8 = path.u8string();
    return std::string(reinterpret_cast<const char*>(u8.data()), u8.size());
}

void Error(const std::string& text) { std::fprintf(stderr, "brisome-epg : %s\n", text.c_str()); }

void Usage()
{
    std::fputs("Usage : brisome-epg FICHIER.ts... [-o SORTIE.xml]\n"
               "  Lit le guide des programmes (EIT) et les noms des chaînes (SDT) des flux de transport\n"
               "  donnés et l'écrit au format XMLTV sur la sortie standard, ou dans SORTIE.xml.\n",
               stderr);
}

bool ReadStream(const fs::path& path, EpgCollector& collector, std::vector<std::uint8_t>& block)
{
    std::FILE* f = OpenFile(path, false);
    if (!f) {
        Error("le fichier « " + Shown(path) + " » ne peut pas être ouvert.");
        return false;
    }
    bool ok = true;
    for (;;) {
        const std::size_t n = std::fread(block.data(), 1, block.size(), f);
        collector.Feed(block.data(), n);
        if (n < block.size()) {
            ok = !std::ferror(f);
            break;
        }
    }
    std::fclose(f);
    collector.EndOfFile();
    if (!ok)
        Error("erreur de lecture dans « " + Shown(path) + " ».");
    return ok;
}

int Run(const std::vector<fs::path>& args)
{
    std::vector<fs::path> inputs;
    fs::path output;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o") {
            if (i + 1 >= args.size() || !output.empty()) {
                Usage();
                return kExitBadArguments;
            }
            output = args[++i];
        } else if (args[i] == "-h" || args[i] == "--help") {
            Usage();
            return kExitOk;
        } else {
            inputs.push_back(args[i]);
        }
    }
    if (inputs.empty()) {
        Usage();
        return kExitBadArguments;
    }

    EpgCollector collector;
    std::vector<std::uint8_t> block(kBlockSize);
    bool allRead = true;
    for (const fs::path& input : inputs)
        allRead = ReadStream(input, collector, block) && allRead;

    const std::string xml = WriteXmltv(collector.Services(), collector.Events());
    std::FILE* out = stdout;
    if (!output.empty()) {
        out = OpenFile(output, true);
        if (!out) {
            Error("le fichier « " + Shown(output) + " » ne peut pas être créé.");
            return kExitFailed;
        }
    }
#ifdef _WIN32
    else {
        _setmode(_fileno(stdout), _O_BINARY);
    }
#endif
    const bool written = std::fwrite(xml.data(), 1, xml.size(), out) == xml.size();
    const bool closed = output.empty() ? std::fflush(out) == 0 : std::fclose(out) == 0;
    if (!written || !closed) {
        Error(output.empty() ? std::string("la sortie standard ne peut pas être écrite.")
                             : "le fichier « " + Shown(output) + " » n'a pas pu être écrit en entier (disque plein ?).");
        return kExitFailed;
    }
    return allRead ? kExitOk : kExitFailed;
}

}  // namespace

#ifdef _WIN32
// Arguments as UTF-16, so that file names with accents arrive whole.
int wmain(int argc, wchar_t** argv)
#else
int main(int argc, char** argv)
#endif
{
    std::vector<fs::path> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
    return Run(args);
}

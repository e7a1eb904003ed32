// tsgen: writes the transport streams of a broadcast description, one file
// <kHz>.ts per multiplex, and optionally every distinct table section.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>

#include "tools/tsgen/description_parser.h"
#include "tools/tsgen/muxer.h"
#include "tools/tsgen/section_dump.h"
#include "tools/tsgen/utc_time.h"

namespace {

constexpr const char* kUsage =
    "usage : tsgen DESCRIPTION DOSSIER [--seconds N] [--clock AAAA-MM-JJTHH:MM:SS] [--at-now SECONDES]\n"
    "             [--dump-sections DOSSIER]\n"
    "        tsgen --dump-sections DOSSIER DESCRIPTION\n";

struct Options {
    std::string description;
    std::optional<std::string> outDir;
    std::optional<std::string> dumpDir;
    std::optional<double> seconds;
    std::optional<std::int64_t> clock;
    std::optional<std::int64_t> aheadOfNow;  // --at-now: the clock's lead on the PC's, seconds
};

[[noreturn]] void Usage(const std::string& message)
{
    std::fprintf(stderr, "tsgen : %s\n%s", message.c_str(), kUsage);
    std::exit(2);
}

Options ParseArguments(int argc, char** argv)
{
    Options o;
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc)
                Usage(arg + " attend une valeur");
            return argv[++i];
        };
        if (arg == "--seconds") {
            const std::string v = value();
            char* end = nullptr;
            const double s = std::strtod(v.c_str(), &end);
            if (end == v.c_str() || *end || !(s >= 1 && s <= 3600))
                Usage("--seconds attend une durée de 1 à 3600 secondes");
            o.seconds = s;
        } else if (arg == "--clock") {
            o.clock = tsgen::ParseUtc(value());
            if (!o.clock)
                Usage("--clock attend une date UTC AAAA-MM-JJTHH:MM[:SS]");
        } else if (arg == "--at-now") {
            const std::string v = value();
            char* end = nullptr;
            const long long s = std::strtoll(v.c_str(), &end, 10);
            if (end == v.c_str() || *end || s < -3650LL * 86400 || s > 3650LL * 86400)
                Usage("--at-now attend un écart en secondes avec l'horloge du PC (au plus dix ans)");
            o.aheadOfNow = s;
        } else if (arg == "--dump-sections") {
            o.dumpDir = value();
        } else if (arg == "-h" || arg == "--help") {
            std::fputs(kUsage, stdout);
            std::exit(0);
        } else if (arg.size() > 1 && arg[0] == '-') {
            Usage("option inconnue " + arg);
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.empty() || positional.size() > 2)
        Usage("il faut une description et un dossier de sortie");
    o.description = positional[0];
    if (positional.size() == 2)
        o.outDir = positional[1];
    else if (!o.dumpDir)
        Usage("il manque le dossier de sortie");
    return o;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("impossible de lire " + path);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (text.rfind("\xEF\xBB\xBF", 0) == 0)
        text.erase(0, 3);  // byte order mark of some editors
    return text;
}

// Moves the broadcast's clock to `clock` and every event by as much: the
// schedule keeps its place relative to the stream's start, so a programme the
// description puts twenty seconds after the clock is on the air twenty seconds
// after a receiver starts playing the stream.
void MoveClock(tsgen::Description& description, std::int64_t clock)
{
    const std::int64_t shift = clock - description.clock;
    description.clock = clock;
    for (tsgen::Multiplex& mux : description.multiplexes)
        for (tsgen::Service& service : mux.services)
            for (tsgen::Event& event : service.events)
                event.start += shift;
}

}  // namespace

int main(int argc, char** argv)
{
    const Options options = ParseArguments(argc, argv);
    try {
        tsgen::Description description;
        try {
            description = tsgen::ParseDescription(ReadFile(options.description));
        } catch (const tsgen::DescriptionError& e) {
            std::fprintf(stderr, "%s: %s\n", options.description.c_str(), e.what());
            return 1;
        }
        if (options.seconds)
            description.seconds = *options.seconds;
        if (options.clock)
            description.clock = *options.clock;
        if (options.aheadOfNow)
            MoveClock(description, static_cast<std::int64_t>(std::time(nullptr)) + *options.aheadOfNow);

        tsgen::SectionDump dump;
        tsgen::SectionObserver observer;
        if (options.dumpDir)
            observer = [&dump](std::uint16_t, const tsgen::Section& s) { dump.Add(s); };
        if (options.outDir)
            std::filesystem::create_directories(*options.outDir);
        for (const tsgen::Multiplex& mux : description.multiplexes) {
            if (!options.outDir) {
                tsgen::GenerateMultiplex(description, mux, [](const std::uint8_t*, std::size_t) {}, observer);
                continue;
            }
            const auto path = std::filesystem::path(*options.outDir) / (std::to_string(mux.frequencyKHz) + ".ts");
            std::ofstream out(path, std::ios::binary);
            std::size_t written = 0;
            try {
                tsgen::GenerateMultiplex(
                    description, mux,
                    [&](const std::uint8_t* bytes, std::size_t size) {
                        out.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(size));
                        written += size;
                    },
                    observer);
            } catch (...) {
                // No half-made stream is left behind for a player to loop.
                out.close();
                std::filesystem::remove(path);
                throw;
            }
            out.close();
            if (!out)
                throw std::runtime_error("écriture impossible : " + path.string());
            std::printf("%s : %zu services, %u bit/s, %zu paquets\n", path.string().c_str(), mux.services.size(),
                        static_cast<unsigned>(mux.bitrate), written / 188);
        }
        if (options.dumpDir) {
            const std::size_t n = dump.WriteTo(*options.dumpDir);
            std::printf("%zu sections dans %s\n", n, options.dumpDir->c_str());
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tsgen : %s\n", e.what());
        return 1;
    }
    return 0;
}

#include "tools/tsgen/section_dump.h"

#include <fstream>
#include <stdexcept>

namespace tsgen {
namespace {

std::uint16_t Extension(const Section& s) { return static_cast<std::uint16_t>(s[3] << 8 | s[4]); }

}  // namespace

void SectionDump::Add(const Section& section)
{
    if (section.size() < 8 || !seen_.insert(section).second)
        return;
    std::string base;
    switch (section[0]) {
    case kTablePat: base = "pat_" + std::to_string(Extension(section)); break;
    case kTablePmt: base = "pmt_" + std::to_string(Extension(section)); break;
    case kTableSdtActual: base = "sdt_" + std::to_string(Extension(section)); break;
    case kTableNitActual: base = "nit_" + std::to_string(Extension(section)); break;
    case kTableEitActualPf: base = "eit4e_" + std::to_string(++eitCount_[section[0]]); break;
    case kTableEitOtherPf: base = "eit4f_" + std::to_string(++eitCount_[section[0]]); break;
    default: base = "table" + std::to_string(section[0]) + "_" + std::to_string(Extension(section)); break;
    }
    std::string name = base;
    for (int n = 2; sections_.count(name); ++n)
        name = base + "_" + std::to_string(n);
    sections_.emplace(name, section);
}

std::size_t SectionDump::WriteTo(const std::filesystem::path& folder) const
{
    std::filesystem::create_directories(folder);
    for (const auto& [name, bytes] : sections_) {
        const auto path = folder / (name + ".bin");
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out)
            throw std::runtime_error("écriture impossible : " + path.string());
    }
    return sections_.size();
}

}  // namespace tsgen

#pragma once
// Collects the distinct table sections a generation produces and writes each
// to its own file (seeds for the section parsers' fuzzers).
#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "tools/tsgen/psi_tables.h"

namespace tsgen {

class SectionDump {
public:
    // Keeps `section` unless an identical one was already kept.
    void Add(const Section& section);

    // Writes pat_<tsid>.bin, pmt_<sid>.bin, sdt_<tsid>.bin, nit_<nid>.bin,
    // eit4e_<n>.bin, eit4f_<n>.bin (numbers in decimal; a second distinct
    // section of the same name gets _2, _3...). Returns the number written.
    std::size_t WriteTo(const std::filesystem::path& folder) const;

    std::size_t size() const { return sections_.size(); }

private:
    std::set<Section> seen_;
    std::map<std::string, Section> sections_;  // file name -> bytes
    std::map<std::uint8_t, int> eitCount_;
};

}  // namespace tsgen

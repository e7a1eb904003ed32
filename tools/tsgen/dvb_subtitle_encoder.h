#pragma once
// An encoder of DVB subtitles: the data field of a subtitle PES packet holding
// one display set (page composition, region compositions, one CLUT definition,
// objects in 2- or 4-bit pixel code strings, end of display set).
#include <cstdint>
#include <vector>

namespace tsgen {

struct SubtitleRegion {
    std::uint8_t id = 0;
    unsigned x = 0, y = 0;  // on the display
    unsigned width = 0, height = 0;
    unsigned depth = 4;  // 2 or 4 bits
    std::uint8_t fillCode = 0;
};

// An object placed in one region, given as its pixel codes line by line.
struct SubtitleObject {
    std::uint16_t id = 0;
    std::uint8_t regionId = 0;
    unsigned x = 0, y = 0;  // in the region
    unsigned bits = 4;      // the pixel code strings: 2 or 4 bits
    std::vector<std::vector<std::uint8_t>> lines;
};

// A CLUT entry for the 2- and 4-bit tables, as a colour 0xAARRGGBB.
struct SubtitleColour {
    std::uint8_t entry = 0;
    std::uint32_t argb = 0;
};

struct SubtitleDisplaySet {
    std::uint16_t page = 1;
    std::uint8_t timeoutSeconds = 5;
    std::uint8_t version = 0;
    bool acquisitionPoint = true;  // else a normal case: an update of the page
    std::uint8_t clutId = 0;
    std::vector<SubtitleColour> clut;
    std::vector<SubtitleRegion> regions;
    std::vector<SubtitleObject> objects;
};

// The PES data field (data_identifier 0x20 to the end marker 0xFF).
std::vector<std::uint8_t> EncodeDisplaySet(const SubtitleDisplaySet& set);

// A display set that clears the page: a page composition without regions.
std::vector<std::uint8_t> EncodeClearingSet(std::uint16_t page, std::uint8_t version);

// One line as a pixel code string of `bits` bits (data type, codes, end of string).
std::vector<std::uint8_t> EncodePixelString(const std::vector<std::uint8_t>& codes, unsigned bits);

}  // namespace tsgen

#pragma once
// DVB subtitles (bitmap subtitling): the segments of one subtitle page, carried
// in the data field of PES packets, decoded into pictures of the display.
//
// A display set is the run of segments from a page composition to the end of
// display set segment; its picture is made when that end arrives. The decoder
// keeps the page's regions, CLUTs and objects from one display set to the next
// for as long as the epoch lasts (until a page composition starts a new one),
// as the broadcast only sends what changed. It starts decoding at the first
// acquisition point or mode change.
//
// Broadcast bytes are untrusted: nothing is read outside the data given, nothing
// is drawn outside a region or the display, and a display set with a damaged
// segment gives no picture (the last good one stays in force).
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "graph/subtitles/subtitle_clut.h"

// The display as composed by one display set.
struct SubtitlePicture {
    std::int64_t pts = 0;        // 90 kHz clock of the PES that ended the set
    unsigned timeoutSeconds = 0; // shown at most this long; 0: until the next picture
    unsigned width = 720;
    unsigned height = 576;
    bool empty = true;           // nothing visible: the screen is cleared
    std::vector<Argb> pixels;    // width x height, top-down, 0 where nothing is drawn
};

// Whether `picture` is on screen at `now` (90 kHz): from its PTS until its
// time-out, when it has one. Clock values are 33-bit and wrap.
bool IsShownAt(const SubtitlePicture& picture, std::int64_t now);

class DvbSubtitleDecoder {
public:
    // The pages of the chosen subtitle track: its composition page and the
    // ancillary page whose CLUTs and objects it may share.
    DvbSubtitleDecoder(std::uint16_t compositionPage, std::uint16_t ancillaryPage);

    // The data field of one PES packet (from data_identifier 0x20), with the
    // packet's PTS. Returns the pictures of the display sets it completed.
    std::vector<SubtitlePicture> Decode(const std::uint8_t* data, std::size_t size, std::int64_t pts);

    // Forgets everything (a channel or track change).
    void Reset();

    // Largest display accepted (a display definition beyond it spoils its set).
    static constexpr unsigned kMaxWidth = 1920;
    static constexpr unsigned kMaxHeight = 1080;

private:
    struct RegionObject {
        std::uint16_t id;
        unsigned x, y;
    };
    struct Region {
        unsigned width = 0, height = 0, depth = 2;
        std::uint8_t clutId = 0;
        int version = -1;
        std::vector<std::uint8_t> codes;
        std::vector<RegionObject> objects;
    };
    struct PlacedRegion {
        std::uint8_t id;
        unsigned x, y;
    };

    bool Segment(std::uint8_t type, std::uint16_t page, const std::uint8_t* data, std::size_t size, std::int64_t pts,
                 std::vector<SubtitlePicture>& out);
    bool DisplayDefinition(const std::uint8_t* data, std::size_t size);
    bool PageComposition(const std::uint8_t* data, std::size_t size, std::int64_t pts, std::vector<SubtitlePicture>& out);
    bool RegionComposition(const std::uint8_t* data, std::size_t size);
    bool ClutDefinition(const std::uint8_t* data, std::size_t size);
    bool ObjectData(const std::uint8_t* data, std::size_t size);
    void EndOfDisplaySet(std::vector<SubtitlePicture>& out);
    void NewEpoch();
    std::size_t RegionBytes() const;
    SubtitlePicture Compose() const;
    Argb Colour(const Region& region, std::uint8_t code) const;

    std::uint16_t compositionPage_;
    std::uint16_t ancillaryPage_;
    bool inEpoch_ = false;
    // The display set being received: whether it began and whether it is still whole.
    bool setOpen_ = false;
    bool setDamaged_ = false;
    std::int64_t setPts_ = 0;

    // The display and the window in it that region addresses count from.
    struct Display {
        unsigned width = 720, height = 576;
        unsigned windowX = 0, windowY = 0, windowWidth = 720, windowHeight = 576;
    };
    Display display_;      // of the set being received
    Display nextDisplay_;  // from a display definition, for the set that follows it
    bool nextDisplayBad_ = false;
    unsigned timeout_ = 0;
    int pageVersion_ = -1;
    std::vector<PlacedRegion> page_;
    std::map<std::uint8_t, Region> regions_;
    std::map<std::uint8_t, SubtitleClut> cluts_;
};

#include "tools/tsgen/video_es.h"

#include "tools/tsgen/bit_writer.h"

#include <string>

namespace tsgen {
namespace {

constexpr std::uint32_t kPictureStart = 0x00;
constexpr std::uint32_t kSequenceHeader = 0xB3;
constexpr std::uint32_t kExtensionStart = 0xB5;
constexpr std::uint32_t kGroupStart = 0xB8;
constexpr std::uint32_t kUserDataStart = 0xB2;

constexpr int kPictureI = 1;
constexpr int kPictureP = 2;
constexpr int kQuantiserScale = 8;

void StartCode(BitWriter& w, std::uint32_t code)
{
    w.Align();
    w.Put(0x000001, 24);
    w.Put(code, 8);
}

// Table B.12: dct_dc_size_luminance, and Table B.13: dct_dc_size_chrominance.
struct Vlc {
    std::uint32_t code;
    int bits;
};
constexpr Vlc kDcSizeLuma[] = {{0b100, 3},     {0b00, 2},       {0b01, 2},        {0b101, 3},
                               {0b110, 3},     {0b1110, 4},     {0b11110, 5},     {0b111110, 6},
                               {0b1111110, 7}, {0b11111110, 8}, {0b111111110, 9}, {0b111111111, 9}};
constexpr Vlc kDcSizeChroma[] = {{0b00, 2},        {0b01, 2},         {0b10, 2},          {0b110, 3},
                                 {0b1110, 4},      {0b11110, 5},      {0b111110, 6},      {0b1111110, 7},
                                 {0b11111110, 8},  {0b111111110, 9},  {0b1111111110, 10}, {0b1111111111, 10}};

// An intra block whose only coefficient is the DC one, coded as a difference
// from the previous block of the same component, then end of block.
void DcOnlyBlock(BitWriter& w, int difference, bool luma)
{
    int size = 0;
    for (int magnitude = difference < 0 ? -difference : difference; magnitude; magnitude >>= 1)
        ++size;
    const Vlc& vlc = (luma ? kDcSizeLuma : kDcSizeChroma)[size];
    w.Put(vlc.code, vlc.bits);
    if (size)
        w.Put(static_cast<std::uint32_t>(difference > 0 ? difference : difference + (1 << size) - 1), size);
    w.Put(0b10, 2);  // end of block, Table B.14
}

void SequenceHeader(BitWriter& w, const VideoStream& v)
{
    const bool mainLevel = v.width <= 720 && v.height <= 576 && v.frameRateCode <= 5;
    const std::uint32_t rate400 = (v.bitrate + 399) / 400;
    StartCode(w, kSequenceHeader);
    w.Put(static_cast<std::uint32_t>(v.width), 12);
    w.Put(static_cast<std::uint32_t>(v.height), 12);
    w.Put(static_cast<std::uint32_t>(v.aspectCode), 4);
    w.Put(static_cast<std::uint32_t>(v.frameRateCode), 4);
    w.Put(rate400 & 0x3FFFF, 18);
    w.Put(1, 1);                        // marker
    w.Put(mainLevel ? 112 : 597, 10);   // vbv_buffer_size, the level's maximum in 16 kbit units
    w.Put(0, 1);                        // constrained_parameters_flag
    w.Put(0, 2);                        // default quantiser matrices

    StartCode(w, kExtensionStart);
    w.Put(1, 4);                        // sequence extension
    w.Put(mainLevel ? 0x48 : 0x44, 8);  // Main profile, Main or High level
    w.Put(1, 1);                        // progressive_sequence
    w.Put(1, 2);                        // 4:2:0
    w.Put(0, 2);                        // horizontal_size_extension
    w.Put(0, 2);                        // vertical_size_extension
    w.Put(rate400 >> 18, 12);
    w.Put(1, 1);                        // marker
    w.Put(0, 8);                        // vbv_buffer_size_extension
    w.Put(1, 1);                        // low_delay: no B pictures, so nothing is reordered
    w.Put(0, 2);
    w.Put(0, 5);
}

// User data naming the stream's PID ("BTVPID=" and its decimal digits), which the
// test decoders of the stand-ins show in their picture, so that every service's
// picture is told apart. A decoder that knows nothing of it skips user data.
void PidUserData(BitWriter& w, std::uint16_t pid)
{
    StartCode(w, kUserDataStart);
    for (char c : "BTVPID=" + std::to_string(pid))
        w.Put(static_cast<std::uint8_t>(c), 8);
}

void GroupHeader(BitWriter& w, std::uint64_t index, const FrameRate& rate)
{
    const std::uint32_t fps = (rate.numerator + rate.denominator - 1) / rate.denominator;
    const std::uint64_t seconds = index / fps;
    StartCode(w, kGroupStart);
    w.Put(0, 1);  // drop_frame_flag
    w.Put(static_cast<std::uint32_t>(seconds / 3600 % 24), 5);
    w.Put(static_cast<std::uint32_t>(seconds / 60 % 60), 6);
    w.Put(1, 1);  // marker
    w.Put(static_cast<std::uint32_t>(seconds % 60), 6);
    w.Put(static_cast<std::uint32_t>(index % fps), 6);
    w.Put(1, 1);  // closed_gop: no picture refers to the previous GOP
    w.Put(0, 1);  // broken_link
}

void PictureHeader(BitWriter& w, int temporalReference, int type)
{
    StartCode(w, kPictureStart);
    w.Put(static_cast<std::uint32_t>(temporalReference) & 0x3FF, 10);
    w.Put(static_cast<std::uint32_t>(type), 3);
    w.Put(0xFFFF, 16);  // vbv_delay: not given
    if (type == kPictureP) {
        w.Put(0, 1);    // full_pel_forward_vector, always 0 in MPEG-2
        w.Put(7, 3);    // forward_f_code, always 7 in MPEG-2 (the extension holds the real ones)
    }
    w.Put(0, 1);        // extra_bit_picture

    StartCode(w, kExtensionStart);
    w.Put(8, 4);  // picture coding extension
    const std::uint32_t forward = type == kPictureP ? 1 : 15;
    w.Put(forward, 4);
    w.Put(forward, 4);
    w.Put(15, 4);  // no backward prediction
    w.Put(15, 4);
    w.Put(0, 2);   // intra_dc_precision: 8 bits
    w.Put(3, 2);   // frame picture
    w.Put(0, 1);   // top_field_first
    w.Put(1, 1);   // frame_pred_frame_dct: no motion or DCT type fields in macroblocks
    w.Put(0, 1);   // concealment_motion_vectors
    w.Put(0, 1);   // q_scale_type
    w.Put(0, 1);   // intra_vlc_format: Table B.14
    w.Put(0, 1);   // alternate_scan
    w.Put(0, 1);   // repeat_first_field
    w.Put(1, 1);   // chroma_420_type, as progressive_frame
    w.Put(1, 1);   // progressive_frame
    w.Put(0, 1);   // composite_display_flag
}

// One slice per macroblock row. The DC predictors restart at 128 in every
// slice, so the first block of each component sets the colour and every
// later block repeats it with a zero difference.
void IntraSlices(BitWriter& w, int mbWidth, int mbHeight, PictureColour colour)
{
    for (int row = 0; row < mbHeight; ++row) {
        StartCode(w, static_cast<std::uint32_t>(row + 1));
        w.Put(kQuantiserScale, 5);
        w.Put(0, 1);  // extra_bit_slice
        for (int mb = 0; mb < mbWidth; ++mb) {
            w.Put(1, 1);  // macroblock_address_increment 1
            w.Put(1, 1);  // macroblock_type: intra
            for (int block = 0; block < 4; ++block)
                DcOnlyBlock(w, mb == 0 && block == 0 ? colour.y - 128 : 0, true);
            DcOnlyBlock(w, mb == 0 ? colour.cb - 128 : 0, false);
            DcOnlyBlock(w, mb == 0 ? colour.cr - 128 : 0, false);
        }
    }
}

// Every macroblock predicted from the previous picture with a zero motion
// vector and no residual: the picture repeats its reference.
void CopySlices(BitWriter& w, int mbWidth, int mbHeight)
{
    for (int row = 0; row < mbHeight; ++row) {
        StartCode(w, static_cast<std::uint32_t>(row + 1));
        w.Put(kQuantiserScale, 5);
        w.Put(0, 1);
        for (int mb = 0; mb < mbWidth; ++mb) {
            w.Put(1, 1);      // macroblock_address_increment 1
            w.Put(0b001, 3);  // macroblock_type: motion compensated, not coded
            w.Put(1, 1);      // motion_code 0, horizontal
            w.Put(1, 1);      // motion_code 0, vertical
        }
    }
}

}  // namespace

FrameRate FrameRateOfCode(int code)
{
    static constexpr FrameRate kRates[] = {{25, 1},    {24000, 1001}, {24, 1}, {25, 1},   {30000, 1001},
                                           {30, 1},    {50, 1},       {60000, 1001}, {60, 1}};
    return kRates[code >= 1 && code <= 8 ? code : 0];
}

int GopLength(const VideoStream& video)
{
    const FrameRate r = FrameRateOfCode(video.frameRateCode);
    return static_cast<int>((r.numerator / r.denominator + 1) / 2);
}

PictureColour ColourOf(std::uint16_t sid)
{
    PictureColour c;
    c.y = static_cast<std::uint8_t>(60 + (sid * 37u) % 140);
    c.cb = static_cast<std::uint8_t>(128 - 48 + (sid * 53u) % 97);
    c.cr = static_cast<std::uint8_t>(128 - 48 + (sid * 71u) % 97);
    return c;
}

std::vector<std::uint8_t> BuildVideoPicture(const VideoStream& video, std::uint64_t index, PictureColour colour)
{
    const FrameRate rate = FrameRateOfCode(video.frameRateCode);
    const int gop = GopLength(video);
    const int position = static_cast<int>(index % static_cast<std::uint64_t>(gop));
    const int mbWidth = (video.width + 15) / 16;
    const int mbHeight = (video.height + 15) / 16;

    BitWriter w;
    if (position == 0) {
        SequenceHeader(w, video);
        PidUserData(w, video.pid);
        GroupHeader(w, index, rate);
        PictureHeader(w, 0, kPictureI);
        IntraSlices(w, mbWidth, mbHeight, colour);
    } else {
        PictureHeader(w, position, kPictureP);
        CopySlices(w, mbWidth, mbHeight);
    }
    w.Align();
    std::vector<std::uint8_t>& bytes = w.bytes();
    PadToPictureShare(bytes, video);
    return std::move(bytes);
}

void PadToPictureShare(std::vector<std::uint8_t>& picture, const VideoStream& video)
{
    const FrameRate rate = FrameRateOfCode(video.frameRateCode);
    const std::uint64_t target =
        static_cast<std::uint64_t>(video.bitrate) * rate.denominator / (8ull * rate.numerator);
    if (picture.size() < target)
        picture.resize(static_cast<std::size_t>(target), 0);
}

}  // namespace tsgen

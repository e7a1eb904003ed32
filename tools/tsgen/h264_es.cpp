#include "tools/tsgen/h264_es.h"

#include "tools/tsgen/rbsp_writer.h"

namespace tsgen {
namespace {

constexpr std::uint8_t kNalSliceNonIdr = 1;
constexpr std::uint8_t kNalSliceIdr = 5;
constexpr std::uint8_t kNalSei = 6;
constexpr std::uint8_t kNalSps = 7;
constexpr std::uint8_t kNalPps = 8;
constexpr std::uint8_t kNalAud = 9;

constexpr int kProfileBaseline = 66;
constexpr int kLog2MaxFrameNum = 4;
constexpr std::uint32_t kMbTypeI16x16DcNoResidual = 3;  // I_16x16_2_0_0
constexpr std::uint32_t kMbTypeIPcm = 25;
constexpr std::uint32_t kSliceTypeP = 5;  // every slice of the picture is P
constexpr std::uint32_t kSliceTypeI = 7;  // every slice of the picture is I

// A NAL unit in byte-stream form: start code, header, escaped payload.
void AppendNal(std::vector<std::uint8_t>& out, std::uint8_t refIdc, std::uint8_t type,
               const std::vector<std::uint8_t>& rbsp)
{
    out.insert(out.end(), {0x00, 0x00, 0x00, 0x01, static_cast<std::uint8_t>(refIdc << 5 | type)});
    AppendEscaped(out, rbsp);
}

struct Geometry {
    int mbWidth;
    int mbHeight;
    int cropRight;   // in chroma sample pairs (CropUnitX = 2)
    int cropBottom;  // likewise (CropUnitY = 2)
};

Geometry GeometryOf(const VideoStream& v)
{
    const int mbWidth = (v.width + 15) / 16;
    const int mbHeight = (v.height + 15) / 16;
    return {mbWidth, mbHeight, (mbWidth * 16 - v.width) / 2, (mbHeight * 16 - v.height) / 2};
}

std::vector<std::uint8_t> Sps(const VideoStream& v)
{
    const Geometry g = GeometryOf(v);
    const FrameRate rate = FrameRateOfCode(v.frameRateCode);
    RbspWriter w;
    w.U(kProfileBaseline, 8);
    w.U(0b110000, 6);  // constraint_set0 and set1: Constrained Baseline
    w.U(0, 2);
    w.U(g.mbWidth * g.mbHeight > 1620 ? 40 : 30, 8);  // level 4.0 for HD, else 3.0
    w.Ue(0);  // seq_parameter_set_id
    w.Ue(kLog2MaxFrameNum - 4);
    w.Ue(2);  // pic_order_cnt_type 2: output order is decoding order
    w.Ue(1);  // max_num_ref_frames
    w.U(0, 1);  // gaps_in_frame_num_value_allowed_flag
    w.Ue(static_cast<std::uint32_t>(g.mbWidth - 1));
    w.Ue(static_cast<std::uint32_t>(g.mbHeight - 1));
    w.U(1, 1);  // frame_mbs_only_flag
    w.U(1, 1);  // direct_8x8_inference_flag
    const bool crop = g.cropRight || g.cropBottom;
    w.U(crop, 1);
    if (crop) {
        w.Ue(0);
        w.Ue(static_cast<std::uint32_t>(g.cropRight));
        w.Ue(0);
        w.Ue(static_cast<std::uint32_t>(g.cropBottom));
    }
    w.U(1, 1);  // vui_parameters_present_flag
    WriteAspectRatioInfo(w, v);
    w.U(0, 1);  // overscan_info_present_flag
    w.U(0, 1);  // video_signal_type_present_flag
    w.U(0, 1);  // chroma_loc_info_present_flag
    w.U(1, 1);  // timing_info_present_flag: a tick is half a frame
    w.U(rate.denominator, 32);
    w.U(2 * rate.numerator, 32);
    w.U(1, 1);  // fixed_frame_rate_flag
    w.U(0, 1);  // nal_hrd_parameters_present_flag
    w.U(0, 1);  // vcl_hrd_parameters_present_flag
    w.U(0, 1);  // pic_struct_present_flag
    w.U(0, 1);  // bitstream_restriction_flag
    w.Trailing();
    return std::move(w.bytes());
}

std::vector<std::uint8_t> Pps()
{
    RbspWriter w;
    w.Ue(0);    // pic_parameter_set_id
    w.Ue(0);    // seq_parameter_set_id
    w.U(0, 1);  // entropy_coding_mode_flag: CAVLC
    w.U(0, 1);  // bottom_field_pic_order_in_frame_present_flag
    w.Ue(0);    // num_slice_groups_minus1
    w.Ue(0);    // num_ref_idx_l0_default_active_minus1
    w.Ue(0);    // num_ref_idx_l1_default_active_minus1
    w.U(0, 1);  // weighted_pred_flag
    w.U(0, 2);  // weighted_bipred_idc
    w.Se(0);    // pic_init_qp_minus26
    w.Se(0);    // pic_init_qs_minus26
    w.Se(0);    // chroma_qp_index_offset
    w.U(1, 1);  // deblocking_filter_control_present_flag
    w.U(0, 1);  // constrained_intra_pred_flag
    w.U(0, 1);  // redundant_pic_cnt_present_flag
    w.Trailing();
    return std::move(w.bytes());
}

std::vector<std::uint8_t> Aud(bool intra)
{
    RbspWriter w;
    w.U(intra ? 0 : 1, 3);  // primary_pic_type: I only, or I and P
    w.Trailing();
    return std::move(w.bytes());
}

void SliceHeader(RbspWriter& w, bool idr, std::uint32_t frameNum, std::uint32_t idrId)
{
    w.Ue(0);  // first_mb_in_slice
    w.Ue(idr ? kSliceTypeI : kSliceTypeP);
    w.Ue(0);  // pic_parameter_set_id
    w.U(frameNum, kLog2MaxFrameNum);
    if (idr) {
        w.Ue(idrId);
    } else {
        w.U(0, 1);  // num_ref_idx_active_override_flag
        w.U(0, 1);  // ref_pic_list_modification_flag_l0
    }
    if (idr) {
        w.U(0, 1);  // no_output_of_prior_pics_flag
        w.U(0, 1);  // long_term_reference_flag
    } else {
        w.U(0, 1);  // adaptive_ref_pic_marking_mode_flag: sliding window
    }
    w.Se(0);  // slice_qp_delta
    w.Ue(1);  // disable_deblocking_filter_idc: off, nothing to smooth
}

// The first macroblock carries the colour as raw samples; the others predict it
// (DC) from their neighbours and add nothing. The coeff_token of their DC block
// depends on the neighbours' coefficient counts, which an I_PCM macroblock sets
// to 16: the two macroblocks next to it use the fixed 6-bit table.
std::vector<std::uint8_t> IdrSlice(const Geometry& g, PictureColour colour, std::uint32_t idrId)
{
    RbspWriter w;
    SliceHeader(w, true, 0, idrId);
    for (int y = 0; y < g.mbHeight; ++y) {
        for (int x = 0; x < g.mbWidth; ++x) {
            if (x == 0 && y == 0) {
                w.Ue(kMbTypeIPcm);
                w.AlignZero();
                for (int i = 0; i < 256; ++i)
                    w.Byte(colour.y);
                for (int i = 0; i < 64; ++i)
                    w.Byte(colour.cb);
                for (int i = 0; i < 64; ++i)
                    w.Byte(colour.cr);
                continue;
            }
            w.Ue(kMbTypeI16x16DcNoResidual);
            w.Ue(0);  // intra_chroma_pred_mode: DC
            w.Se(0);  // mb_qp_delta
            const bool nextToPcm = (x == 1 && y == 0) || (x == 0 && y == 1);
            if (nextToPcm)
                w.U(0b000011, 6);  // coeff_token, nC >= 8: no coefficient
            else
                w.U(1, 1);  // coeff_token, 0 <= nC < 2: no coefficient
        }
    }
    w.Trailing();
    return std::move(w.bytes());
}

std::vector<std::uint8_t> SkippedSlice(const Geometry& g, std::uint32_t frameNum)
{
    RbspWriter w;
    SliceHeader(w, false, frameNum, 0);
    w.Ue(static_cast<std::uint32_t>(g.mbWidth * g.mbHeight));  // mb_skip_run: all of them
    w.Trailing();
    return std::move(w.bytes());
}

}  // namespace

std::vector<std::uint8_t> BuildH264Picture(const VideoStream& video, std::uint64_t index, PictureColour colour)
{
    const std::uint64_t gop = static_cast<std::uint64_t>(GopLength(video));
    const std::uint32_t position = static_cast<std::uint32_t>(index % gop);
    const Geometry g = GeometryOf(video);

    std::vector<std::uint8_t> out;
    AppendNal(out, 0, kNalAud, Aud(position == 0));
    if (position == 0) {
        AppendNal(out, 3, kNalSps, Sps(video));
        AppendNal(out, 3, kNalPps, Pps());
        AppendNal(out, 0, kNalSei, PidSeiRbsp(video.pid));
        // Consecutive IDR pictures must have different ids.
        AppendNal(out, 3, kNalSliceIdr, IdrSlice(g, colour, static_cast<std::uint32_t>(index / gop % 2)));
    } else {
        AppendNal(out, 2, kNalSliceNonIdr, SkippedSlice(g, position % (1u << kLog2MaxFrameNum)));
    }
    PadToPictureShare(out, video);
    return out;
}

}  // namespace tsgen

#include "tools/tsgen/hevc_es.h"

#include <iterator>

#include "tools/tsgen/cabac_writer.h"
#include "tools/tsgen/rbsp_writer.h"

namespace tsgen {
namespace {

constexpr std::uint8_t kNalTrailR = 1;
constexpr std::uint8_t kNalIdrNLp = 20;
constexpr std::uint8_t kNalVps = 32;
constexpr std::uint8_t kNalSps = 33;
constexpr std::uint8_t kNalPps = 34;
constexpr std::uint8_t kNalAud = 35;
constexpr std::uint8_t kNalPrefixSei = 39;

constexpr std::uint32_t kSliceTypeP = 1;
constexpr std::uint32_t kSliceTypeI = 2;
constexpr int kLog2MaxPocLsb = 8;
constexpr int kCtbSize = 16;  // one coding unit per coding tree block, never split
constexpr int kSliceQp = 26;  // init_qp_minus26 = 0, slice_qp_delta = 0

// initValue of the context-coded bins used: I slices, then P slices
// (cabac_init_flag absent, so initType 1).
constexpr int kInitPartMode = 184;
constexpr int kInitPrevIntraLumaPred = 184;
constexpr int kInitIntraChromaPredMode = 63;
constexpr int kInitCbfLumaDepth0 = 141;
constexpr int kInitCbfChromaDepth0 = 94;
constexpr int kInitCuSkip[3] = {197, 185, 201};

// A NAL unit in byte-stream form: start code, two-byte header (layer 0,
// temporal id 0), escaped payload.
void AppendNal(std::vector<std::uint8_t>& out, std::uint8_t type, const std::vector<std::uint8_t>& rbsp)
{
    out.insert(out.end(), {0x00, 0x00, 0x00, 0x01, static_cast<std::uint8_t>(type << 1), 0x01});
    AppendEscaped(out, rbsp);
}

struct Geometry {
    int ctbWidth;
    int ctbHeight;
    int cropRight;   // in chroma samples (SubWidthC = 2)
    int cropBottom;  // likewise (SubHeightC = 2)
};

Geometry GeometryOf(const VideoStream& v)
{
    const int ctbWidth = (v.width + kCtbSize - 1) / kCtbSize;
    const int ctbHeight = (v.height + kCtbSize - 1) / kCtbSize;
    return {ctbWidth, ctbHeight, (ctbWidth * kCtbSize - v.width) / 2, (ctbHeight * kCtbSize - v.height) / 2};
}

// The lowest level (general_level_idc is 30 times it) whose picture size and
// luma sample rate the stream keeps within: 3, 3.1, 4 or 4.1.
int LevelIdc(const VideoStream& v, const Geometry& g)
{
    struct Level {
        int idc;
        std::uint64_t maxPictureSamples;
        std::uint64_t maxSamplesPerSecond;
    };
    static constexpr Level kLevels[] = {
        {90, 552960, 16588800}, {93, 983040, 33177600}, {120, 2228224, 66846720}, {123, 2228224, 133693440}};
    const FrameRate rate = FrameRateOfCode(v.frameRateCode);
    const std::uint64_t samples = static_cast<std::uint64_t>(g.ctbWidth) * static_cast<std::uint64_t>(g.ctbHeight) *
                                  kCtbSize * kCtbSize;
    for (const Level& level : kLevels)
        if (samples <= level.maxPictureSamples &&
            samples * rate.numerator <= level.maxSamplesPerSecond * rate.denominator)
            return level.idc;
    return kLevels[std::size(kLevels) - 1].idc;
}

void ProfileTierLevel(RbspWriter& w, const VideoStream& v, const Geometry& g)
{
    w.U(0, 2);           // general_profile_space
    w.U(0, 1);           // general_tier_flag: Main tier
    w.U(1, 5);           // general_profile_idc: Main
    w.U(0x60000000, 32); // general_profile_compatibility_flag: Main, and so Main 10
    w.U(1, 1);           // general_progressive_source_flag
    w.U(0, 1);           // general_interlaced_source_flag
    w.U(0, 1);           // general_non_packed_constraint_flag
    w.U(1, 1);           // general_frame_only_constraint_flag
    w.U(0, 32);          // 43 reserved bits and general_inbld_flag
    w.U(0, 12);
    w.U(static_cast<std::uint32_t>(LevelIdc(v, g)), 8);
}

std::vector<std::uint8_t> Vps(const VideoStream& v, const Geometry& g)
{
    RbspWriter w;
    w.U(0, 4);       // vps_video_parameter_set_id
    w.U(3, 2);       // vps_base_layer_internal_flag, vps_base_layer_available_flag
    w.U(0, 6);       // vps_max_layers_minus1
    w.U(0, 3);       // vps_max_sub_layers_minus1
    w.U(1, 1);       // vps_temporal_id_nesting_flag
    w.U(0xFFFF, 16); // vps_reserved_0xffff_16bits
    ProfileTierLevel(w, v, g);
    w.U(1, 1);  // vps_sub_layer_ordering_info_present_flag
    w.Ue(1);    // vps_max_dec_pic_buffering_minus1: the reference and the picture decoded
    w.Ue(0);    // vps_max_num_reorder_pics
    w.Ue(0);    // vps_max_latency_increase_plus1
    w.U(0, 6);  // vps_max_layer_id
    w.Ue(0);    // vps_num_layer_sets_minus1
    w.U(0, 1);  // vps_timing_info_present_flag: the SPS carries it
    w.U(0, 1);  // vps_extension_flag
    w.Trailing();
    return std::move(w.bytes());
}

std::vector<std::uint8_t> Sps(const VideoStream& v, const Geometry& g)
{
    const FrameRate rate = FrameRateOfCode(v.frameRateCode);
    RbspWriter w;
    w.U(0, 4);  // sps_video_parameter_set_id
    w.U(0, 3);  // sps_max_sub_layers_minus1
    w.U(1, 1);  // sps_temporal_id_nesting_flag
    ProfileTierLevel(w, v, g);
    w.Ue(0);  // sps_seq_parameter_set_id
    w.Ue(1);  // chroma_format_idc: 4:2:0
    w.Ue(static_cast<std::uint32_t>(g.ctbWidth * kCtbSize));
    w.Ue(static_cast<std::uint32_t>(g.ctbHeight * kCtbSize));
    const bool crop = g.cropRight || g.cropBottom;
    w.U(crop, 1);  // conformance_window_flag
    if (crop) {
        w.Ue(0);
        w.Ue(static_cast<std::uint32_t>(g.cropRight));
        w.Ue(0);
        w.Ue(static_cast<std::uint32_t>(g.cropBottom));
    }
    w.Ue(0);  // bit_depth_luma_minus8
    w.Ue(0);  // bit_depth_chroma_minus8
    w.Ue(kLog2MaxPocLsb - 4);
    w.U(1, 1);  // sps_sub_layer_ordering_info_present_flag
    w.Ue(1);    // sps_max_dec_pic_buffering_minus1
    w.Ue(0);    // sps_max_num_reorder_pics
    w.Ue(0);    // sps_max_latency_increase_plus1
    w.Ue(1);    // log2_min_luma_coding_block_size_minus3: 16x16
    w.Ue(0);    // log2_diff_max_min_luma_coding_block_size: CTB 16x16, no split_cu_flag
    w.Ue(0);    // log2_min_luma_transform_block_size_minus2: 4x4
    w.Ue(2);    // log2_diff_max_min_luma_transform_block_size: 16x16
    w.Ue(0);    // max_transform_hierarchy_depth_inter
    w.Ue(0);    // max_transform_hierarchy_depth_intra: no split_transform_flag
    w.U(0, 1);  // scaling_list_enabled_flag
    w.U(0, 1);  // amp_enabled_flag
    w.U(0, 1);  // sample_adaptive_offset_enabled_flag
    w.U(1, 1);  // pcm_enabled_flag
    w.U(7, 4);  // pcm_sample_bit_depth_luma_minus1: 8-bit samples
    w.U(7, 4);  // pcm_sample_bit_depth_chroma_minus1
    w.Ue(1);    // log2_min_pcm_luma_coding_block_size_minus3: 16x16
    w.Ue(0);    // log2_diff_max_min_pcm_luma_coding_block_size
    w.U(1, 1);  // pcm_loop_filter_disabled_flag
    // One reference picture set: the picture just before.
    w.Ue(1);    // num_short_term_ref_pic_sets
    w.Ue(1);    // num_negative_pics
    w.Ue(0);    // num_positive_pics
    w.Ue(0);    // delta_poc_s0_minus1
    w.U(1, 1);  // used_by_curr_pic_s0_flag
    w.U(0, 1);  // long_term_ref_pics_present_flag
    w.U(0, 1);  // sps_temporal_mvp_enabled_flag
    w.U(0, 1);  // strong_intra_smoothing_enabled_flag
    w.U(1, 1);  // vui_parameters_present_flag
    WriteAspectRatioInfo(w, v);
    w.U(0, 1);  // overscan_info_present_flag
    w.U(0, 1);  // video_signal_type_present_flag
    w.U(0, 1);  // chroma_loc_info_present_flag
    w.U(0, 1);  // neutral_chroma_indication_flag
    w.U(0, 1);  // field_seq_flag
    w.U(0, 1);  // frame_field_info_present_flag
    w.U(0, 1);  // default_display_window_flag
    w.U(1, 1);  // vui_timing_info_present_flag: a tick is one picture
    w.U(rate.denominator, 32);
    w.U(rate.numerator, 32);
    w.U(0, 1);  // vui_poc_proportional_to_timing_flag
    w.U(0, 1);  // vui_hrd_parameters_present_flag
    w.U(0, 1);  // bitstream_restriction_flag
    w.U(0, 1);  // sps_extension_present_flag
    w.Trailing();
    return std::move(w.bytes());
}

std::vector<std::uint8_t> Pps()
{
    RbspWriter w;
    w.Ue(0);    // pps_pic_parameter_set_id
    w.Ue(0);    // pps_seq_parameter_set_id
    w.U(0, 1);  // dependent_slice_segments_enabled_flag
    w.U(0, 1);  // output_flag_present_flag
    w.U(0, 3);  // num_extra_slice_header_bits
    w.U(0, 1);  // sign_data_hiding_enabled_flag
    w.U(0, 1);  // cabac_init_present_flag
    w.Ue(0);    // num_ref_idx_l0_default_active_minus1
    w.Ue(0);    // num_ref_idx_l1_default_active_minus1
    w.Se(kSliceQp - 26);  // init_qp_minus26
    w.U(0, 1);  // constrained_intra_pred_flag
    w.U(0, 1);  // transform_skip_enabled_flag
    w.U(0, 1);  // cu_qp_delta_enabled_flag
    w.Se(0);    // pps_cb_qp_offset
    w.Se(0);    // pps_cr_qp_offset
    w.U(0, 1);  // pps_slice_chroma_qp_offsets_present_flag
    w.U(0, 1);  // weighted_pred_flag
    w.U(0, 1);  // weighted_bipred_flag
    w.U(0, 1);  // transquant_bypass_enabled_flag
    w.U(0, 1);  // tiles_enabled_flag
    w.U(0, 1);  // entropy_coding_sync_enabled_flag
    w.U(0, 1);  // pps_loop_filter_across_slices_enabled_flag
    w.U(1, 1);  // deblocking_filter_control_present_flag
    w.U(0, 1);  // deblocking_filter_override_enabled_flag
    w.U(1, 1);  // pps_deblocking_filter_disabled_flag: nothing to smooth
    w.U(0, 1);  // pps_scaling_list_data_present_flag
    w.U(0, 1);  // lists_modification_present_flag
    w.Ue(0);    // log2_parallel_merge_level_minus2
    w.U(0, 1);  // slice_segment_header_extension_present_flag
    w.U(0, 1);  // pps_extension_present_flag
    w.Trailing();
    return std::move(w.bytes());
}

std::vector<std::uint8_t> Aud(bool intra)
{
    RbspWriter w;
    w.U(intra ? 0 : 1, 3);  // pic_type: I only, or P and I
    w.Trailing();
    return std::move(w.bytes());
}

// The slice header, up to the byte alignment where the CABAC data starts.
void SliceHeader(RbspWriter& w, bool idr, std::uint32_t poc)
{
    w.U(1, 1);  // first_slice_segment_in_pic_flag
    if (idr)
        w.U(0, 1);  // no_output_of_prior_pics_flag
    w.Ue(0);        // slice_pic_parameter_set_id
    w.Ue(idr ? kSliceTypeI : kSliceTypeP);
    if (!idr) {
        w.U(poc % (1u << kLog2MaxPocLsb), kLog2MaxPocLsb);  // slice_pic_order_cnt_lsb
        w.U(1, 1);  // short_term_ref_pic_set_sps_flag: the only set, no index
        w.U(0, 1);  // num_ref_idx_active_override_flag
        w.Ue(4);    // five_minus_max_num_merge_cand: one candidate, no merge_idx
    }
    w.Se(kSliceQp - 26);  // slice_qp_delta
    w.Trailing();         // byte_alignment(): a one, then zeros
}

// The first coding unit carries the colour as PCM samples; the others predict
// it (planar) from their neighbours and add no residual. Planar is the first
// most probable mode whatever the neighbours are, so every unit codes the same
// bins: part_mode 2Nx2N, pcm_flag 0, prev_intra_luma_pred_flag 1, mpm_idx 0,
// intra_chroma_pred_mode 4 (as luma), cbf_cb 0, cbf_cr 0, cbf_luma 0.
std::vector<std::uint8_t> IdrSlice(const Geometry& g, PictureColour colour)
{
    RbspWriter w;
    SliceHeader(w, true, 0);
    CabacWriter cabac(w.bits());
    CabacContext partMode = InitialContext(kInitPartMode, kSliceQp);
    CabacContext prevIntraLumaPred = InitialContext(kInitPrevIntraLumaPred, kSliceQp);
    CabacContext intraChromaPredMode = InitialContext(kInitIntraChromaPredMode, kSliceQp);
    CabacContext cbfLuma = InitialContext(kInitCbfLumaDepth0, kSliceQp);
    CabacContext cbfChroma = InitialContext(kInitCbfChromaDepth0, kSliceQp);
    const int count = g.ctbWidth * g.ctbHeight;
    for (int i = 0; i < count; ++i) {
        cabac.Decision(partMode, 1);  // PART_2Nx2N
        if (i == 0) {
            cabac.Terminate(1);  // pcm_flag
            w.AlignZero();       // pcm_alignment_zero_bit
            for (int k = 0; k < kCtbSize * kCtbSize; ++k)
                w.Byte(colour.y);
            for (int k = 0; k < kCtbSize * kCtbSize / 4; ++k)
                w.Byte(colour.cb);
            for (int k = 0; k < kCtbSize * kCtbSize / 4; ++k)
                w.Byte(colour.cr);
            cabac.Restart();  // the contexts carry on, the coder starts afresh
        } else {
            cabac.Terminate(0);  // pcm_flag
            cabac.Decision(prevIntraLumaPred, 1);
            cabac.Bypass(0);  // mpm_idx 0: planar
            cabac.Decision(intraChromaPredMode, 0);
            cabac.Decision(cbfChroma, 0);  // cbf_cb
            cabac.Decision(cbfChroma, 0);  // cbf_cr
            cabac.Decision(cbfLuma, 0);
        }
        cabac.Terminate(i + 1 == count ? 1 : 0);  // end_of_slice_segment_flag
    }
    w.AlignZero();  // the flush ended on the stop bit
    return std::move(w.bytes());
}

// Every coding unit skipped: merged with its only candidate, a zero motion
// vector to the picture before. cu_skip_flag's context counts the neighbours
// (left, above) that exist and are skipped, which all of them are.
std::vector<std::uint8_t> SkippedSlice(const Geometry& g, std::uint32_t poc)
{
    RbspWriter w;
    SliceHeader(w, false, poc);
    CabacWriter cabac(w.bits());
    CabacContext skip[3];
    for (int k = 0; k < 3; ++k)
        skip[k] = InitialContext(kInitCuSkip[k], kSliceQp);
    for (int y = 0; y < g.ctbHeight; ++y) {
        for (int x = 0; x < g.ctbWidth; ++x) {
            cabac.Decision(skip[(x > 0) + (y > 0)], 1);
            const bool last = x + 1 == g.ctbWidth && y + 1 == g.ctbHeight;
            cabac.Terminate(last ? 1 : 0);  // end_of_slice_segment_flag
        }
    }
    w.AlignZero();
    return std::move(w.bytes());
}

}  // namespace

std::vector<std::uint8_t> BuildHevcPicture(const VideoStream& video, std::uint64_t index, PictureColour colour)
{
    const std::uint64_t gop = static_cast<std::uint64_t>(GopLength(video));
    const std::uint32_t position = static_cast<std::uint32_t>(index % gop);
    const Geometry g = GeometryOf(video);

    std::vector<std::uint8_t> out;
    AppendNal(out, kNalAud, Aud(position == 0));
    if (position == 0) {
        AppendNal(out, kNalVps, Vps(video, g));
        AppendNal(out, kNalSps, Sps(video, g));
        AppendNal(out, kNalPps, Pps());
        AppendNal(out, kNalPrefixSei, PidSeiRbsp(video.pid));
        AppendNal(out, kNalIdrNLp, IdrSlice(g, colour));
    } else {
        AppendNal(out, kNalTrailR, SkippedSlice(g, position));
    }
    PadToPictureShare(out, video);
    return out;
}

}  // namespace tsgen

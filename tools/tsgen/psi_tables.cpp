#include "tools/tsgen/psi_tables.h"

#include <stdexcept>
#include <string>

#include "channels/psi/crc32.h"
#include "tools/tsgen/byte_writer.h"

namespace tsgen {
namespace {

// PSI and SI tables other than the EIT are limited to 1024 bytes a section.
constexpr std::size_t kMaxPsiSection = 1024;

constexpr std::uint8_t kDescLanguage = 0x0A;
constexpr std::uint8_t kDescNetworkName = 0x40;
constexpr std::uint8_t kDescServiceList = 0x41;
constexpr std::uint8_t kDescService = 0x48;
constexpr std::uint8_t kDescTerrestrialDelivery = 0x5A;
constexpr std::uint8_t kDescAc3 = 0x6A;
constexpr std::uint8_t kDescEnhancedAc3 = 0x7A;
constexpr std::uint8_t kDescTeletext = 0x56;
constexpr std::uint8_t kDescSubtitling = 0x59;
constexpr std::uint8_t kStreamTypePrivatePes = 0x06;
constexpr std::uint8_t kDescLogicalChannel = 0x83;

constexpr std::uint8_t kStreamMpeg2Video = 0x02;
constexpr std::uint8_t kStreamMpeg1Audio = 0x03;
constexpr std::uint8_t kStreamPrivatePes = 0x06;
constexpr std::uint8_t kStreamAacAdts = 0x0F;
constexpr std::uint8_t kStreamH264Video = 0x1B;
constexpr std::uint8_t kStreamHevcVideo = 0x24;

std::uint8_t VideoStreamType(VideoCodec codec)
{
    switch (codec) {
    case VideoCodec::H264:
        return kStreamH264Video;
    case VideoCodec::Hevc:
        return kStreamHevcVideo;
    case VideoCodec::Mpeg2:
        break;
    }
    return kStreamMpeg2Video;
}

std::uint8_t AudioStreamType(AudioKind kind)
{
    switch (kind) {
    case AudioKind::Ac3:
    case AudioKind::Eac3:
        return kStreamPrivatePes;
    case AudioKind::Aac:
        return kStreamAacAdts;
    case AudioKind::Mpeg:
        break;
    }
    return kStreamMpeg1Audio;
}

void LanguageDescriptor(ByteWriter& w, const std::string& language, const std::string& second = {})
{
    w.U8(kDescLanguage);
    const auto len = w.OpenLength8();
    w.Bytes(language);
    w.U8(0);  // audio_type: undefined
    if (!second.empty()) {
        w.Bytes(second);
        w.U8(0);
    }
    w.CloseLength8(len);
}

void SubtitleDescriptor(ByteWriter& w, const SubtitleStream& t)
{
    if (t.format == SubtitleFormat::Dvb) {
        w.U8(kDescSubtitling);
        const auto len = w.OpenLength8();
        w.Bytes(t.language);
        w.U8(t.type);
        w.U16(t.compositionPage);
        w.U16(t.ancillaryPage);
        w.CloseLength8(len);
    } else {
        w.U8(kDescTeletext);
        const auto len = w.OpenLength8();
        w.Bytes(t.language);
        w.U8(static_cast<unsigned>(t.type << 3 | (t.teletextPage >> 8 & 0x07)));  // magazine 8 is sent as 0
        w.U8(t.teletextPage & 0xFF);
        w.CloseLength8(len);
    }
}

}  // namespace

Section FinishSection(std::uint8_t tableId, bool siTable, std::uint16_t tableIdExtension, std::uint8_t version,
                      std::uint8_t sectionNumber, std::uint8_t lastSectionNumber,
                      const std::vector<std::uint8_t>& body, std::size_t maxSectionBytes)
{
    const std::size_t sectionLength = 5 + body.size() + 4;
    if (3 + sectionLength > maxSectionBytes)
        throw std::length_error("table_id " + std::to_string(tableId) + " trop grande pour une section (" +
                                std::to_string(3 + sectionLength) + " octets, " +
                                std::to_string(maxSectionBytes) + " au plus)");
    Section s;
    s.reserve(3 + sectionLength);
    s.push_back(tableId);
    s.push_back(static_cast<std::uint8_t>(0x80 | (siTable ? 0x40 : 0) | 0x30 | (sectionLength >> 8)));
    s.push_back(static_cast<std::uint8_t>(sectionLength));
    s.push_back(static_cast<std::uint8_t>(tableIdExtension >> 8));
    s.push_back(static_cast<std::uint8_t>(tableIdExtension));
    s.push_back(static_cast<std::uint8_t>(0xC0 | (version & 0x1F) << 1 | 1));  // current_next_indicator
    s.push_back(sectionNumber);
    s.push_back(lastSectionNumber);
    s.insert(s.end(), body.begin(), body.end());
    const std::uint32_t crc = Crc32Mpeg(s.data(), s.size());
    for (int shift = 24; shift >= 0; shift -= 8)
        s.push_back(static_cast<std::uint8_t>(crc >> shift));
    return s;
}

Section BuildPat(const Multiplex& mux)
{
    ByteWriter w;
    w.U16(0);
    w.U16(0xE000 | kPidNit);
    for (const Service& s : mux.services) {
        w.U16(s.sid);
        w.U16(0xE000 | s.pmtPid);
    }
    return FinishSection(kTablePat, false, mux.tsid, 0, 0, 0, w.data(), kMaxPsiSection);
}

Section BuildPmt(const Service& service)
{
    ByteWriter w;
    w.U16(0xE000 | service.pcrPid);
    w.U16(0xF000);  // no programme descriptors
    if (service.video) {
        w.U8(VideoStreamType(service.video->codec));
        w.U16(0xE000 | service.video->pid);
        w.U16(0xF000);
    }
    for (const AudioStream& a : service.audio) {
        w.U8(AudioStreamType(a.kind));
        w.U16(0xE000 | a.pid);
        const auto info = w.OpenLength12(0xF);
        if (a.kind == AudioKind::Ac3 || a.kind == AudioKind::Eac3) {
            // Stream type 6 is only "private PES"; the (enhanced) AC-3 descriptor says what it holds.
            w.U8(a.kind == AudioKind::Ac3 ? kDescAc3 : kDescEnhancedAc3);
            const auto len = w.OpenLength8();
            w.U8(0x00);  // no optional fields
            w.CloseLength8(len);
        }
        LanguageDescriptor(w, a.language, a.secondLanguage);
        w.CloseLength12(info);
    }
    for (const SubtitleStream& t : service.subtitles) {
        w.U8(kStreamTypePrivatePes);
        w.U16(0xE000 | t.pid);
        const auto info = w.OpenLength12(0xF);
        SubtitleDescriptor(w, t);
        w.CloseLength12(info);
    }
    return FinishSection(kTablePmt, false, service.sid, 0, 0, 0, w.data(), kMaxPsiSection);
}

Section BuildSdt(const Multiplex& mux)
{
    ByteWriter w;
    w.U16(mux.onid);
    w.U8(0xFF);
    for (const Service& s : mux.services) {
        w.U16(s.sid);
        // reserved bits, EIT_schedule_flag 0, EIT_present_following_flag
        w.U8(0xFC | (s.events.empty() ? 0 : 1));
        const auto loop = w.OpenLength12(0x8);  // running_status 4 (running), free_CA_mode 0
        w.U8(kDescService);
        const auto len = w.OpenLength8();
        w.U8(s.type);
        w.U8(static_cast<unsigned>(s.provider.size()));
        w.Bytes(s.provider);
        w.U8(static_cast<unsigned>(s.name.size()));
        w.Bytes(s.name);
        w.CloseLength8(len);
        w.CloseLength12(loop);
    }
    return FinishSection(kTableSdtActual, true, mux.tsid, 0, 0, 0, w.data(), kMaxPsiSection);
}

Section BuildNit(const Description& description, std::uint16_t networkId)
{
    ByteWriter w;
    const auto networkLoop = w.OpenLength12(0xF);
    for (const Network& n : description.networks) {
        if (n.id == networkId && !n.name.empty()) {
            w.U8(kDescNetworkName);
            const auto len = w.OpenLength8();
            w.Bytes(n.name);
            w.CloseLength8(len);
        }
    }
    w.CloseLength12(networkLoop);
    const auto tsLoop = w.OpenLength12(0xF);
    for (const Multiplex& m : description.multiplexes) {
        if (m.networkId != networkId)
            continue;
        w.U16(m.tsid);
        w.U16(m.onid);
        const auto descriptors = w.OpenLength12(0xF);
        if (!m.services.empty()) {
            w.U8(kDescServiceList);
            const auto len = w.OpenLength8();
            for (const Service& s : m.services) {
                w.U16(s.sid);
                w.U8(s.type);
            }
            w.CloseLength8(len);
        }
        w.U8(kDescTerrestrialDelivery);
        {
            const auto len = w.OpenLength8();
            const std::uint32_t tensOfHz = m.frequencyKHz * 100u;
            w.U16(tensOfHz >> 16);
            w.U16(tensOfHz & 0xFFFF);
            w.U8(0x1F);  // 8 MHz, high priority, no time slicing, no MPE-FEC, reserved
            w.U8(0x81);  // 64-QAM, non-hierarchical, code rate 2/3
            w.U8(0x02);  // guard interval 1/32, 8k mode, no other frequency
            w.U16(0xFFFF);
            w.U16(0xFFFF);
            w.CloseLength8(len);
        }
        bool anyNumber = false;
        for (const Service& s : m.services)
            anyNumber = anyNumber || s.lcn.has_value();
        if (anyNumber) {
            w.U8(kDescLogicalChannel);
            const auto len = w.OpenLength8();
            for (const Service& s : m.services) {
                if (!s.lcn)
                    continue;
                w.U16(s.sid);
                // visible_service_flag, five reserved bits, 10-bit number
                w.U16((s.visible ? 0x8000 : 0) | 0x7C00 | (*s.lcn & 0x3FF));
            }
            w.CloseLength8(len);
        }
        w.CloseLength12(descriptors);
    }
    w.CloseLength12(tsLoop);
    return FinishSection(kTableNitActual, true, networkId, 0, 0, 0, w.data(), kMaxPsiSection);
}

}  // namespace tsgen

#include "tools/tsgen/description_parser.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <set>

#include "tools/tsgen/teletext_encoder.h"
#include "tools/tsgen/text_coding.h"
#include "tools/tsgen/utc_time.h"

namespace tsgen {
namespace {

// Layer II bit rates usable in stereo, and the AC-3 bit rates, in kbit/s.
constexpr int kMpegAudioRates[] = {64, 96, 112, 128, 160, 192, 224, 256, 320, 384};
constexpr int kAc3Rates[] = {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 448, 512, 576, 640};

// Reads the fields of one line, each at most once; reports unknown ones.
class FieldReader {
public:
    FieldReader(const DescriptionLine& line, TextCoding coding) : line_(line), coding_(coding) {}

    // A field's value as ISO 8859-1 bytes (numbers, names of things, dates).
    const std::string* Find(const std::string& key) { return Decoded(key, TextCoding::Latin1); }

    const std::string& Require(const std::string& key)
    {
        const std::string* v = Find(key);
        if (!v)
            Fail("champ « " + key + " » manquant");
        return *v;
    }

    // A text that goes on air (names, titles), in the table chosen by « charset ».
    std::string BroadcastText(const std::string& key, const std::string& fallback)
    {
        const std::string* v = Decoded(key, coding_);
        return v ? *v : fallback;
    }

    std::string RequireBroadcastText(const std::string& key)
    {
        const std::string* v = Decoded(key, coding_);
        if (!v)
            Fail("champ « " + key + " » manquant");
        return *v;
    }

    std::int64_t Number(const std::string& key, std::int64_t min, std::int64_t max)
    {
        return ToNumber(key, Require(key), min, max);
    }

    std::int64_t Number(const std::string& key, std::int64_t min, std::int64_t max, std::int64_t fallback)
    {
        const std::string* v = Find(key);
        return v ? ToNumber(key, *v, min, max) : fallback;
    }

    std::string Text(const std::string& key, const std::string& fallback)
    {
        const std::string* v = Find(key);
        return v ? *v : fallback;
    }

    std::string Language(const std::string& key)
    {
        const std::string lang = Text(key, "fra");
        if (lang.size() != 3)
            Fail("la langue « " + key + " » doit avoir trois lettres (par exemple fra)");
        return lang;
    }

    // Call once every field has been read: any field left over is a typing error.
    void CheckAllUsed()
    {
        for (const Field& f : line_.fields)
            if (!used_.count(f.key))
                Fail("champ « " + f.key + " » inconnu pour « " + line_.keyword + " »");
    }

    [[noreturn]] void Fail(const std::string& message) const { throw DescriptionError(line_.number, message); }

private:
    const std::string* Decoded(const std::string& key, TextCoding coding)
    {
        used_.insert(key);
        for (const Field& f : line_.fields)
            if (f.key == key)
                return &decoded_.insert_or_assign(key, EncodeText(f.written, coding, line_.number)).first->second;
        return nullptr;
    }

    std::int64_t ToNumber(const std::string& key, const std::string& text, std::int64_t min, std::int64_t max)
    {
        std::int64_t value = 0;
        const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
        const char* first = text.data() + (hex ? 2 : 0);
        const char* last = text.data() + text.size();
        const auto [end, ec] = std::from_chars(first, last, value, hex ? 16 : 10);
        if (text.empty() || ec != std::errc() || end != last)
            Fail("« " + key + " » attend un nombre (décimal ou 0x hexadécimal), pas « " + text + " »");
        if (value < min || value > max)
            Fail("« " + key + " » = " + text + " hors limites (" + std::to_string(min) + " à " +
                 std::to_string(max) + ")");
        return value;
    }

    const DescriptionLine& line_;
    TextCoding coding_;
    std::set<std::string> used_;
    std::map<std::string, std::string> decoded_;
};

std::uint16_t Pid(FieldReader& f, const std::string& key)
{
    return static_cast<std::uint16_t>(f.Number(key, 0x20, 0x1FFE));
}

void ParseVideoFormat(FieldReader& f, VideoStream& v)
{
    if (const std::string* size = f.Find("size")) {
        const auto x = size->find('x');
        int w = 0, h = 0;
        const bool ok = x != std::string::npos &&
                        std::from_chars(size->data(), size->data() + x, w).ptr == size->data() + x &&
                        std::from_chars(size->data() + x + 1, size->data() + size->size(), h).ptr ==
                            size->data() + size->size();
        if (!ok || w < 16 || w > 1920 || h < 16 || h > 1088)
            f.Fail("« size » attend LARGEURxHAUTEUR, de 16x16 à 1920x1088");
        v.width = w;
        v.height = h;
    }
    static const std::map<std::string, int> kAspects = {{"1:1", 1}, {"4:3", 2}, {"16:9", 3}, {"2.21:1", 4}};
    const std::string aspect = f.Text("aspect", "16:9");
    if (!kAspects.count(aspect))
        f.Fail("« aspect » attend 1:1, 4:3, 16:9 ou 2.21:1");
    v.aspectCode = kAspects.at(aspect);
    static const std::map<std::string, int> kRates = {{"23.976", 1}, {"24", 2},    {"25", 3}, {"29.97", 4},
                                                      {"30", 5},     {"50", 6},    {"59.94", 7}, {"60", 8}};
    const std::string rate = f.Text("rate", "25");
    if (!kRates.count(rate))
        f.Fail("« rate » attend 23.976, 24, 25, 29.97, 30, 50, 59.94 ou 60");
    v.frameRateCode = kRates.at(rate);
    v.bitrate = static_cast<std::uint32_t>(f.Number("bitrate", 100000, 15000000, 1200000));
}

std::uint32_t AudioBitrate(FieldReader& f, AudioKind kind)
{
    if (kind == AudioKind::Aac)
        return static_cast<std::uint32_t>(f.Number("bitrate", 16000, 576000, 128000));
    if (kind == AudioKind::Eac3) {
        const std::int64_t bps = f.Number("bitrate", 32000, 1024000, 256000);
        if (bps % 500 != 0)
            f.Fail("débit E-AC-3 invalide (32000 à 1024000, multiple de 500)");
        return static_cast<std::uint32_t>(bps);
    }
    const std::int64_t bps = f.Number("bitrate", 1, 1000000, kind == AudioKind::Ac3 ? 384000 : 192000);
    if (bps % 1000 == 0) {
        const int kbps = static_cast<int>(bps / 1000);
        if (kind == AudioKind::Mpeg && std::count(std::begin(kMpegAudioRates), std::end(kMpegAudioRates), kbps))
            return static_cast<std::uint32_t>(bps);
        if (kind == AudioKind::Ac3 && std::count(std::begin(kAc3Rates), std::end(kAc3Rates), kbps))
            return static_cast<std::uint32_t>(bps);
    }
    f.Fail(kind == AudioKind::Mpeg ? "débit MPEG audio couche II stéréo invalide (64000 à 384000, valeurs normalisées)"
                                   : "débit AC-3 invalide (32000 à 640000, valeurs normalisées)");
}

std::uint8_t ServiceType(FieldReader& f, const std::string& text)
{
    static const std::map<std::string, int> kTypes = {{"tv", 0x01}, {"radio", 0x02}, {"data", 0x0C}, {"hd", 0x11}};
    if (kTypes.count(text))
        return static_cast<std::uint8_t>(kTypes.at(text));
    std::int64_t value = 0;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* first = text.data() + (hex ? 2 : 0);
    const auto [end, ec] = std::from_chars(first, text.data() + text.size(), value, hex ? 16 : 10);
    if (ec != std::errc() || end != text.data() + text.size() || value < 1 || value > 0xFF)
        f.Fail("« type » attend tv, radio, data, hd ou un nombre de 1 à 255");
    return static_cast<std::uint8_t>(value);
}

// Builds the description line by line; remembers which multiplex and service
// the following lines belong to.
class Parser {
public:
    void Line(const DescriptionLine& line)
    {
        FieldReader f(line, coding_);
        const std::string& k = line.keyword;
        if (k == "broadcast")
            Broadcast(f);
        else if (k == "repeat")
            Repeat(f);
        else if (k == "network")
            NetworkLine(f);
        else if (k == "mux")
            Mux(f);
        else if (k == "service")
            ServiceLine(f, line.number);
        else if (k == "video")
            Video(f);
        else if (k == "audio")
            Audio(f, AudioKind::Mpeg);
        else if (k == "ac3")
            Audio(f, AudioKind::Ac3);
        else if (k == "aac")
            Audio(f, AudioKind::Aac);
        else if (k == "eac3")
            Audio(f, AudioKind::Eac3);
        else if (k == "dvbsub")
            Subtitles(f, SubtitleFormat::Dvb);
        else if (k == "teletext")
            Subtitles(f, SubtitleFormat::Teletext);
        else if (k == "event")
            EventLine(f);
        else if (k == "charset")
            Charset(f);
        else
            f.Fail("mot-clé inconnu « " + k +
                   " » (broadcast, repeat, charset, network, mux, service, video, audio, ac3, aac, eac3, dvbsub, "
                   "teletext, event)");
        f.CheckAllUsed();
    }

    Description Finish()
    {
        FinishService();
        for (std::size_t m = 0; m < d_.multiplexes.size(); ++m)
            CheckMultiplex(m);
        return d_;
    }

private:
    void Broadcast(FieldReader& f)
    {
        if (const std::string* clock = f.Find("clock")) {
            const auto t = ParseUtc(*clock);
            if (!t)
                f.Fail("« clock » attend une date UTC AAAA-MM-JJTHH:MM[:SS]");
            d_.clock = *t;
        }
        if (const std::string* seconds = f.Find("seconds")) {
            double s = 0;
            const auto [end, ec] = std::from_chars(seconds->data(), seconds->data() + seconds->size(), s);
            if (ec != std::errc() || end != seconds->data() + seconds->size() || !(s >= 1 && s <= 3600))
                f.Fail("« seconds » attend une durée de 1 à 3600 secondes");
            d_.seconds = s;
        }
    }

    void Repeat(FieldReader& f)
    {
        Repetition& r = d_.repeat;
        r.pat = static_cast<int>(f.Number("pat", 10, 10000, r.pat));
        r.pmt = static_cast<int>(f.Number("pmt", 10, 10000, r.pmt));
        r.sdt = static_cast<int>(f.Number("sdt", 10, 10000, r.sdt));
        r.nit = static_cast<int>(f.Number("nit", 10, 10000, r.nit));
        r.eit = static_cast<int>(f.Number("eit", 10, 10000, r.eit));
        r.eitOther = static_cast<int>(f.Number("eit-other", 10, 10000, r.eitOther));
        r.pcr = static_cast<int>(f.Number("pcr", 10, 40, r.pcr));
        r.eitSchedule = OptionalInterval(f, "eit-schedule", r.eitSchedule);
        r.tdt = OptionalInterval(f, "tdt", r.tdt);
        r.tot = OptionalInterval(f, "tot", r.tot);
    }

    // 0 (not sent) or 10 to 30000 ms.
    static int OptionalInterval(FieldReader& f, const std::string& key, int fallback)
    {
        const auto ms = static_cast<int>(f.Number(key, 0, 30000, fallback));
        if (ms != 0 && ms < 10)
            f.Fail("« " + key + " » attend 0 (non envoyée) ou de 10 à 30000 ms");
        return ms;
    }

    // The table of the texts of the lines that follow.
    void Charset(FieldReader& f)
    {
        const auto coding = ParseTextCoding(f.Require("table"));
        if (!coding)
            f.Fail("« table » attend latin1, 6937, latin9 ou utf8");
        coding_ = *coding;
    }

    void NetworkLine(FieldReader& f)
    {
        Network n;
        n.id = static_cast<std::uint16_t>(f.Number("id", 0, 0xFFFF));
        n.name = f.BroadcastText("name", "");
        if (n.name.size() > 255)
            f.Fail("nom de réseau trop long (255 octets au plus)");
        for (const Network& other : d_.networks)
            if (other.id == n.id)
                f.Fail("réseau " + std::to_string(n.id) + " déjà décrit");
        d_.networks.push_back(n);
    }

    void Mux(FieldReader& f)
    {
        Multiplex m;
        const bool byFreq = f.Find("freq") != nullptr;
        const bool byUhf = f.Find("uhf") != nullptr;
        if (byFreq == byUhf)
            f.Fail("un multiplex se donne par « freq » (kHz) ou par « uhf » (canal), l'un des deux");
        m.frequencyKHz = byFreq ? static_cast<std::uint32_t>(f.Number("freq", 1000, 10000000))
                                : UhfChannelToKHz(static_cast<int>(f.Number("uhf", 21, 69)));
        m.tsid = static_cast<std::uint16_t>(f.Number("tsid", 0, 0xFFFF));
        m.onid = static_cast<std::uint16_t>(f.Number("onid", 0, 0xFFFF));
        m.networkId = static_cast<std::uint16_t>(f.Number("nid", 0, 0xFFFF, m.onid));
        m.bitrate = static_cast<std::uint32_t>(f.Number("bitrate", 500000, 60000000, m.bitrate));
        for (const Multiplex& other : d_.multiplexes) {
            if (other.frequencyKHz == m.frequencyKHz)
                f.Fail("fréquence " + std::to_string(m.frequencyKHz) + " kHz déjà décrite");
            if (other.tsid == m.tsid && other.onid == m.onid)
                f.Fail("TSID " + std::to_string(m.tsid) + " déjà décrit sur ce réseau d'origine");
        }
        FinishService();
        d_.multiplexes.push_back(m);
        serviceLines_.emplace_back();
        pidOwners_.emplace_back();
    }

    void ServiceLine(FieldReader& f, int lineNumber)
    {
        if (d_.multiplexes.empty())
            f.Fail("« service » avant tout « mux »");
        FinishService();
        Service s;
        s.sid = static_cast<std::uint16_t>(f.Number("sid", 1, 0xFFFF));
        s.name = f.RequireBroadcastText("name");
        s.provider = f.BroadcastText("provider", "");
        if (s.name.size() + s.provider.size() > 252)
            f.Fail("nom et fournisseur trop longs ensemble (252 octets au plus)");
        if (const std::string* type = f.Find("type"))
            s.type = ServiceType(f, *type);
        else
            s.type = 0;  // chosen once the streams are known
        s.pmtPid = Pid(f, "pmt");
        if (const std::string* pcr = f.Find("pcr")) {
            pcrGiven_ = true;
            s.pcrPid = *pcr == "none" ? kNoPcrPid : Pid(f, "pcr");
        } else {
            pcrGiven_ = false;
        }
        if (f.Find("lcn"))
            s.lcn = static_cast<std::uint16_t>(f.Number("lcn", 0, 1023));
        s.visible = f.Number("visible", 0, 1, 1) == 1;
        Multiplex& m = d_.multiplexes.back();
        for (const Service& other : m.services)
            if (other.sid == s.sid)
                f.Fail("SID " + std::to_string(s.sid) + " déjà présent dans ce multiplex");
        ClaimPid(f, s.pmtPid, "la PMT du service " + std::to_string(s.sid));
        m.services.push_back(s);
        serviceLines_.back().push_back(lineNumber);
        service_ = &m.services.back();
    }

    // A service's defaults depend on its streams, which follow its line.
    void FinishService()
    {
        if (!service_)
            return;
        if (service_->type == 0)
            service_->type = service_->video ? 0x01 : 0x02;
        if (!pcrGiven_) {
            if (service_->video)
                service_->pcrPid = service_->video->pid;
            else if (!service_->audio.empty())
                service_->pcrPid = service_->audio.front().pid;
        }
        service_ = nullptr;
    }

    Service& CurrentService(FieldReader& f, const char* what)
    {
        if (!service_)
            f.Fail(std::string("« ") + what + " » doit suivre un « service »");
        return *service_;
    }

    void Video(FieldReader& f)
    {
        Service& s = CurrentService(f, "video");
        if (s.video)
            f.Fail("un service n'a qu'une vidéo");
        VideoStream v;
        const std::string codec = f.Text("codec", "mpeg2");
        if (codec != "mpeg2" && codec != "h264" && codec != "hevc")
            f.Fail("« codec » attend mpeg2, h264 ou hevc");
        v.codec = codec == "h264" ? VideoCodec::H264 : codec == "hevc" ? VideoCodec::Hevc : VideoCodec::Mpeg2;
        v.pid = Pid(f, "pid");
        ClaimPid(f, v.pid, "la vidéo du service " + std::to_string(s.sid));
        ParseVideoFormat(f, v);
        // 4:2:0 pictures are cropped to their size by pairs of samples.
        if (v.codec != VideoCodec::Mpeg2 && (v.width % 2 || v.height % 2))
            f.Fail("« size » attend une largeur et une hauteur paires en h264 et en hevc");
        s.video = v;
    }

    void Audio(FieldReader& f, AudioKind kind)
    {
        static const char* const kKeywords[] = {"audio", "ac3", "aac", "eac3"};
        Service& s = CurrentService(f, kKeywords[static_cast<int>(kind)]);
        AudioStream a;
        a.kind = kind;
        a.pid = Pid(f, "pid");
        ClaimPid(f, a.pid, "l'audio du service " + std::to_string(s.sid));
        a.language = f.Language("lang");
        if (f.Find("lang2"))
            a.secondLanguage = f.Language("lang2");
        a.bitrate = AudioBitrate(f, kind);
        s.audio.push_back(a);
    }

    void Subtitles(FieldReader& f, SubtitleFormat format)
    {
        const bool dvb = format == SubtitleFormat::Dvb;
        Service& s = CurrentService(f, dvb ? "dvbsub" : "teletext");
        SubtitleStream t;
        t.format = format;
        t.pid = Pid(f, "pid");
        ClaimPid(f, t.pid, "les sous-titres du service " + std::to_string(s.sid));
        t.language = f.Language("lang");
        t.intervalMs = static_cast<int>(f.Number("every", 500, 30000, 2000));
        if (dvb) {
            t.type = static_cast<std::uint8_t>(f.Number("type", 0x10, 0x24, 0x10));
            t.compositionPage = static_cast<std::uint16_t>(f.Number("page", 0, 0xFFFF, 1));
            t.ancillaryPage = static_cast<std::uint16_t>(f.Number("ancillary", 0, 0xFFFF, t.compositionPage));
            t.colour = 0xFF000000u | static_cast<std::uint32_t>(f.Number("colour", 0, 0xFFFFFF, 0xFFFF00));
            t.timeoutSeconds = static_cast<int>(f.Number("timeout", 0, 255, 1));
        } else {
            t.type = static_cast<std::uint8_t>(f.Number("type", 2, 5, 2));
            if (t.type != 2 && t.type != 5)
                f.Fail("« type » d'une page de sous-titres télétexte : 2, ou 5 pour les sourds et malentendants");
            t.teletextPage = static_cast<std::uint16_t>(f.Number("page", 0x100, 0x8FF, 0x888));
            t.colour = static_cast<std::uint32_t>(f.Number("colour", 0, 7, 7));
            t.text = f.Text("text", "");
            if (t.text.size() > 34)
                f.Fail("« text » : 34 caractères au plus sur une ligne de télétexte");
            if (!TeletextCodes(t.text))
                f.Fail("« text » : caractère absent du jeu de caractères français du télétexte");
        }
        s.subtitles.push_back(t);
    }

    void EventLine(FieldReader& f)
    {
        Service& s = CurrentService(f, "event");
        Event e;
        if (const std::string* start = f.Find("start")) {
            const auto t = ParseUtc(*start);
            if (!t)
                f.Fail("« start » attend une date UTC AAAA-MM-JJTHH:MM[:SS]");
            e.start = *t;
        } else if (!s.events.empty()) {
            e.start = s.events.back().start + s.events.back().duration;
        } else {
            f.Fail("le premier événement d'un service doit avoir « start »");
        }
        const auto duration = ParseDuration(f.Require("duration"));
        if (!duration || *duration <= 0 || *duration >= 100 * 3600)
            f.Fail("« duration » attend HH:MM[:SS], non nulle, moins de 100 heures");
        e.duration = *duration;
        e.eventId = static_cast<std::uint16_t>(
            f.Number("id", 0, 0xFFFF, s.events.empty() ? 1 : s.events.back().eventId + 1));
        e.language = f.Language("lang");
        e.title = f.RequireBroadcastText("title");
        e.text = f.BroadcastText("text", "");
        if (e.title.size() + e.text.size() > 250)
            f.Fail("titre et texte trop longs ensemble (250 octets au plus)");
        e.longText = f.BroadcastText("long", "");
        if (e.longText.size() > 3000)
            f.Fail("« long » : 3000 octets au plus");
        e.genre = static_cast<std::uint8_t>(f.Number("genre", 0, 0xFF, 0));
        e.minimumAge = static_cast<std::uint8_t>(f.Number("rating", 0, 18, 0));
        if (e.minimumAge != 0 && e.minimumAge < 4)
            f.Fail("« rating » attend un âge de 4 à 18 ans");
        e.hd = f.Number("hd", 0, 1, 0) != 0;
        e.wide = f.Number("wide", 0, 1, 0) != 0;
        e.audioDescription = f.Number("ad", 0, 1, 0) != 0;
        e.deafSubtitles = f.Number("st", 0, 1, 0) != 0;
        if (!s.events.empty() && e.start < s.events.back().start + s.events.back().duration)
            f.Fail("cet événement commence avant la fin du précédent");
        s.events.push_back(e);
    }

    // Every PID of a multiplex belongs to one table or stream.
    void ClaimPid(FieldReader& f, std::uint16_t pid, const std::string& what)
    {
        const auto [it, added] = pidOwners_.back().emplace(pid, what);
        if (!added)
            f.Fail("PID " + std::to_string(pid) + " de " + what + " déjà pris par " + it->second);
    }

    // A PCR PID may be shared with a stream or with another service's PCR,
    // but never with a table.
    void CheckMultiplex(std::size_t index)
    {
        const Multiplex& m = d_.multiplexes[index];
        for (std::size_t i = 0; i < m.services.size(); ++i) {
            const Service& s = m.services[i];
            if (s.pcrPid == kNoPcrPid)
                continue;
            const auto it = pidOwners_[index].find(s.pcrPid);
            if (it != pidOwners_[index].end() && it->second.rfind("la PMT", 0) == 0)
                throw DescriptionError(serviceLines_[index][i],
                                       "le PCR ne peut pas passer sur le PID de " + it->second);
        }
    }

    Description d_;
    TextCoding coding_ = TextCoding::Latin1;
    std::vector<std::vector<int>> serviceLines_;
    std::vector<std::map<std::uint16_t, std::string>> pidOwners_;
    Service* service_ = nullptr;
    bool pcrGiven_ = false;
};

}  // namespace

Description ParseDescription(std::string_view text)
{
    Parser parser;
    int number = 0;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        ++number;
        const DescriptionLine line = SplitLine(text.substr(pos, end - pos), number);
        if (!line.keyword.empty())
            parser.Line(line);
        pos = end + 1;
    }
    return parser.Finish();
}

}  // namespace tsgen

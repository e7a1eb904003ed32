#include "app/playback_commands.h"

#include <commdlg.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/playback_bar.h"
#include "app/playback_cover.h"
#include "app/shell_state.h"
#include "app/video_placement.h"
#include "channels/chaine.h"
#include "common/error_message.h"
#include "config/time_shift_settings.h"
#include "graph/graph_handles.h"
#include "graph/playback_branch.h"
#include "graph/playback_live_hold.h"
#include "graph/transport_tap.h"
#include "record/playback/file_source_win.h"
#include "record/playback/pcr_index.h"
#include "record/playback/playback_state.h"
#include "record/playback/played_service.h"
#include "record/playback/random_access.h"
#include "record/playback/ring_file_win.h"
#include "record/playback/time_shift_seek.h"
#include "record/playback/time_shift_session_win.h"
#include "record/service_pids.h"

namespace {

constexpr UINT kRefreshMs = 200;
// While the cover waits for the played picture, it is looked for this often.
constexpr UINT kCoverWatchMs = 40;
// How far past a seek's place the next picture to start from is looked for.
constexpr std::uint64_t kRandomAccessSearch = 4u << 20;

const wchar_t kCaption[] = L"Lire un enregistrement";

// One session; the members go in the reverse order of their declaration: the
// branch stops reading before its feed and the feed's file go, and the live
// picture comes back last.
struct Session {
    std::unique_ptr<LiveHold> hold;
    std::unique_ptr<WinFileSource> file;
    PcrIndex index;
    std::unique_ptr<TimeShiftSession> timeShift;
    std::unique_ptr<PlaybackFeed> feed;
    std::unique_ptr<PlaybackBranch> branch;
    Chaine service{};
    PlaybackState state;
};

std::unique_ptr<Session> session;

void Refresh()
{
    if (!session)
        return;
    const std::string text = session->state.Text();  // digits, signs and colons only
    UpdatePlaybackBar(session->state.paused(), session->state.Share(), std::wstring(text.begin(), text.end()));
}

void Relayout()
{
    PlaceVideo();
    InvalidateRect(mainWindow, nullptr, FALSE);
}

// The timer runs faster while the cover waits for a played picture to replace it.
void ArmTimer()
{
    const bool watching = PlaybackCoverShown() && session && session->branch;
    SetTimer(mainWindow, TIMER_PLAYBACK, watching ? kCoverWatchMs : kRefreshMs, nullptr);
}

// The cover goes once the played picture shows; a branch without a picture (a
// file of sound only) leaves it black.
void WatchCover()
{
    if (PlaybackCoverShown() && session->branch && session->branch->ShowsPicture()) {
        HidePlaybackCover();
        ArmTimer();
    }
}

void Begin(std::unique_ptr<Session> next)
{
    session = std::move(next);
    ShowPlaybackBar(mainWindow);
    Relayout();
    Refresh();
    ArmTimer();
}

std::wstring FileMessage(const wchar_t* path, const wchar_t* reason)
{
    return std::wstring(L"Le fichier \u00ab ") + path + L" \u00bb ne peut pas \u00eatre lu : " + reason;
}

const wchar_t* IndexFailure(const PcrIndex& index)
{
    switch (index.status()) {
    case PcrIndexStatus::Empty: return L"il est vide ou tronqu\u00e9 avant son premier paquet.";
    case PcrIndexStatus::NotTransportStream: return L"ce n'est pas un flux de transport MPEG-TS.";
    case PcrIndexStatus::NoPcr: return L"il ne porte pas l'horloge (PCR) qui permet de le lire au bon rythme.";
    case PcrIndexStatus::Ok: break;
    }
    return nullptr;
}

VideoCoding CodingOf(StreamCodec codec)
{
    switch (codec) {
    case StreamCodec::H264: return VideoCoding::H264;
    case StreamCodec::Hevc: return VideoCoding::Hevc;
    default: return VideoCoding::Mpeg2;
    }
}

std::uint64_t FileOffsetFor(std::int64_t ms)
{
    const std::uint64_t offset = session->index.OffsetAt(ms);
    if (session->service.Video <= 0)
        return offset;
    const auto start = FindRandomAccessPoint(*session->file, session->index.probe(), offset,
                                             static_cast<std::uint16_t>(session->service.Video),
                                             CodingOf(session->service.VideoCodec), kRandomAccessSearch);
    return start.value_or(offset);
}

std::uint64_t BufferOffsetFor(std::int64_t ms)
{
    const std::int32_t video = session->service.Video;
    return TimeShiftSeekOffset(session->timeShift->buffer(), ms,
                               static_cast<std::uint16_t>(video > 0 && video < 0x1FFF ? video : 0),
                               CodingOf(session->service.VideoCodec), kRandomAccessSearch);
}

void SeekTo(std::int64_t ms)
{
    if (!session->branch)
        return;
    const std::uint64_t offset = session->file ? FileOffsetFor(ms) : BufferOffsetFor(ms);
    session->branch->SeekTo(offset, !session->state.paused());
}

// The live service with the sound track being heard as its only one.
Chaine HeardService(const Chaine& channel)
{
    Chaine service = channel;
    const int audio = RecordedAudioPid(channel, secondAudioActive, ac3Active);
    if (audio == channel.Ac3 && ac3Active) {
        service.Son1 = 0;
    } else if (audio == channel.Son2 && secondAudioActive) {
        service.Son1 = channel.Son2;
        service.Son1Codec = channel.Son2Codec;
    }
    return service;
}

void StartTimeShift()
{
    if (!IsValidChannelIndex(Chaines, currentChannel) || !TransportTapInstalled())
        return;
    // The picture freezes first, then the live PIDs are held and the buffer made.
    ShowPlaybackCover(mainWindow, windowlessControl.Get());
    auto next = std::make_unique<Session>();
    next->service = HeardService(Chaines[static_cast<std::size_t>(currentChannel)]);
    const std::wstring folder = timeShiftFolder[0] ? std::wstring(timeShiftFolder) : DefaultTimeShiftFolder();
    DWORD error = 0;
    next->timeShift = TimeShiftSession::Begin(
        transportTap, folder, timeShiftMinutes, ServiceSelection(Chaines[static_cast<std::size_t>(currentChannel)],
                                                                 secondAudioActive, ac3Active),
        mainWindow, WM_TIMESHIFT_FAILED, error);
    if (!next->timeShift) {
        HidePlaybackCover();
        ShowError(mainWindow, TimeShiftFolderFailureText(folder, error).c_str());
        return;
    }
    next->hold = std::make_unique<LiveHold>();
    next->state = PlaybackState::ForTimeShift(static_cast<std::int64_t>(GetTickCount64()));
    Begin(std::move(next));
}

// Resuming time-shift the first time: the buffer plays from where it began.
bool OpenTimeShiftBranch()
{
    TimeShiftBuffer& buffer = session->timeShift->buffer();
    const std::uint16_t pcrPid = static_cast<std::uint16_t>(
        session->service.PCR > 0 && session->service.PCR < kNoPcrPid ? session->service.PCR : session->service.Video);
    auto feed = std::make_unique<TimeShiftFeed>(buffer, pcrPid);
    feed->SeekTo(buffer.OffsetAt(session->state.positionMs()));
    std::wstring error;
    auto branch = PlaybackBranch::Open(mainWindow, *feed, session->service, error);
    session->feed = std::move(feed);
    if (!branch) {
        session->feed.reset();
        ShowError(mainWindow, error.c_str());
        return false;
    }
    session->branch = std::move(branch);
    Relayout();
    ArmTimer();
    return true;
}

void Carry(const PlaybackStep& step)
{
    switch (step.kind) {
    case PlaybackStep::Kind::Nothing: break;
    case PlaybackStep::Kind::Pause:
        if (session->branch)
            session->branch->Pause();
        break;
    case PlaybackStep::Kind::Resume:
        if (!session->branch && (!session->timeShift || !OpenTimeShiftBranch())) {
            EndPlayback();
            return;
        }
        // A file played to its end starts again from its beginning.
        if (session->file && session->state.positionMs() >= session->state.endMs())
            SeekTo(session->state.Apply(PlaybackCommand::Home).targetMs);
        session->branch->Run();
        break;
    case PlaybackStep::Kind::Seek: SeekTo(step.targetMs); break;
    case PlaybackStep::Kind::BackToLive: EndPlayback(); return;
    }
    Refresh();
}

}  // namespace

void PlayRecordingCommand()
{
    std::vector<wchar_t> file(MAX_PATH * 4, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = mainWindow;
    ofn.lpstrFilter = L"Flux MPEG-TS (*.mpg;*.ts)\0*.mpg;*.ts\0";
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrInitialDir = videoFolder[0] ? videoFolder : nullptr;
    ofn.lpstrTitle = kCaption;
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    ShowCursor(TRUE);
    const bool chosen = GetOpenFileNameW(&ofn) != FALSE;
    ShowCursor(FALSE);
    if (chosen)
        PlayRecording(file.data());
}

void PlayRecording(const wchar_t* path)
{
    auto next = std::make_unique<Session>();
    DWORD error = 0;
    next->file = WinFileSource::Open(path, error);
    if (!next->file) {
        ShowError(mainWindow, FileMessage(path, L"il ne peut pas \u00eatre ouvert.").c_str());
        return;
    }
    next->index = PcrIndex::Build(*next->file);
    if (const wchar_t* failure = IndexFailure(next->index)) {
        ShowError(mainWindow, FileMessage(path, failure).c_str());
        return;
    }
    const std::optional<Chaine> service = FindPlayedService(*next->file, next->index.probe());
    if (!service || (service->Video <= 0 && service->Son1 <= 0 && service->Ac3 <= 0)) {
        ShowError(mainWindow,
                  FileMessage(path, L"il ne d\u00e9crit aucun programme (tables PAT et PMT absentes ou vides).").c_str());
        return;
    }
    next->service = *service;
    // Whatever played before ends first: a file, or the pause of live television.
    EndPlayback();
    // Black until the file's picture shows: the live one must not pass for it.
    ShowPlaybackCover(mainWindow, nullptr);
    next->hold = std::make_unique<LiveHold>();
    next->feed = std::make_unique<FileFeed>(*next->file, next->index.probe(), next->index.pcrPid());
    std::wstring failure;
    next->branch = PlaybackBranch::Open(mainWindow, *next->feed, next->service, failure);
    if (!next->branch) {
        // The live picture comes back as the session goes.
        next.reset();
        HidePlaybackCover();
        Relayout();
        ShowError(mainWindow, FileMessage(path, failure.c_str()).c_str());
        return;
    }
    next->state = PlaybackState::ForFile(next->index.durationMs());
    next->branch->Run();
    Begin(std::move(next));
}

void PlaybackPauseCommand()
{
    if (!session) {
        StartTimeShift();
        return;
    }
    Carry(session->state.Apply(PlaybackCommand::PlayPause));
}

void BackToLiveCommand()
{
    EndPlayback();
}

bool OnPlaybackKey(WPARAM virtualKey)
{
    const bool control = GetKeyState(VK_CONTROL) < 0;
    const auto command = PlaybackCommandForKey(static_cast<unsigned>(virtualKey), control);
    // P and Pause come as the accelerators' IDM_PLAYBACK_PAUSE, Ctrl+O as IDM_PLAY_FILE.
    if (!command || *command == PlaybackCommand::PlayPause || !session)
        return false;
    Carry(session->state.Apply(*command));
    return true;
}

void OnPlaybackSeek(WPARAM share)
{
    if (session)
        Carry(session->state.SeekToShare(static_cast<double>(share) / kPlaybackSeekScale));
}

void OnPlaybackTimer()
{
    if (!session) {
        KillTimer(mainWindow, TIMER_PLAYBACK);
        return;
    }
    WatchCover();
    PlaybackState& state = session->state;
    const std::uint64_t delivered = session->branch ? session->branch->Delivered() : 0;
    bool settled = true;
    if (session->timeShift) {
        const TimeShiftRange range = session->timeShift->buffer().Range();
        const PlaybackStep step = state.SetAvailable(range.oldestMs, range.liveMs);
        if (step.kind == PlaybackStep::Kind::Seek) {
            SeekTo(step.targetMs);
            settled = false;
        }
        if (session->branch && settled)
            state.SetPosition(session->timeShift->buffer().TimeAt(delivered));
    } else if (session->branch && settled && !state.paused()) {
        if (delivered >= session->index.probe().End()) {
            state.OnEndOfStream();
            session->branch->Pause();
        } else {
            state.SetPosition(session->index.TimeAt(delivered));
        }
    }
    Refresh();
}

void OnTimeShiftFailed(WPARAM error)
{
    if (session && session->timeShift)
        ShowError(mainWindow, TimeShiftWriteFailureText(static_cast<DWORD>(error)).c_str());
}

bool PlaybackActive()
{
    return session != nullptr;
}

void EndPlayback()
{
    if (!session)
        return;
    KillTimer(mainWindow, TIMER_PLAYBACK);
    session.reset();
    HidePlaybackCover();
    HidePlaybackBar();
    Relayout();
}

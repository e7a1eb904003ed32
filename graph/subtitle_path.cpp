#include "graph/subtitle_path.h"

#include <bdaiface.h>
#include <uuids.h>

#include <memory>

#include "common/com_ptr.h"
#include "graph/graph_handles.h"
#include "graph/subtitle_mixer.h"
#include "graph/subtitle_renderer.h"

namespace {

ComPtr<IMPEG2PIDMap> pidMap;
ComPtr<IBaseFilter> rendererFilter;
CSubtitleRenderer* renderer = nullptr;  // borrowed from rendererFilter
bool hasMixer = false;
ULONG mappedPid = 0;
bool mapped = false;

const wchar_t kNoPath[] =
    L"Les sous-titres ne peuvent pas \u00eatre affich\u00e9s : le d\u00e9multiplexeur n'a pas pu leur "
    L"ouvrir de sortie.";
const wchar_t kNoMixer[] =
    L"Les sous-titres ne peuvent pas \u00eatre affich\u00e9s : le moteur de rendu vid\u00e9o ne sait pas "
    L"superposer d'image \u00e0 la vid\u00e9o.";
const wchar_t kNoMapping[] = L"Les sous-titres ne peuvent pas \u00eatre affich\u00e9s : leur flux n'a pas pu \u00eatre "
                             L"s\u00e9lectionn\u00e9.";

void Unmap()
{
    if (pidMap && mapped) pidMap->UnmapPID(1, &mappedPid);
    mapped = false;
}

}  // namespace

void BuildSubtitlePath(IBaseFilter* demux, IBaseFilter* videoRenderer)
{
    ReleaseSubtitlePath();
    ComPtr<IMpeg2Demultiplexer> demultiplexer;
    if (!demux || !graph || FAILED(demux->QueryInterface(IID_IMpeg2Demultiplexer, demultiplexer.PutVoid()))) return;

    AM_MEDIA_TYPE type{};
    type.majortype = MEDIATYPE_MPEG2_PES;
    type.subtype = GUID_NULL;
    type.formattype = FORMAT_None;
    ComPtr<IPin> pin;
    if (FAILED(demultiplexer->CreateOutputPin(&type, const_cast<LPWSTR>(L"sous-titres"), pin.Put())) || !pin) return;

    std::shared_ptr<SubtitleMixer> mixer;
    ComPtr<IVMRMixerBitmap> bitmap;
    if (videoRenderer && SUCCEEDED(videoRenderer->QueryInterface(IID_IVMRMixerBitmap, bitmap.PutVoid())))
        mixer = std::make_shared<SubtitleMixer>(std::move(bitmap));
    hasMixer = mixer != nullptr;

    auto* created = new CSubtitleRenderer([mixer](const SubtitleShow& show) {
        if (mixer) mixer->Show(show);
    }, [](const TeletextSubtitle& page) { return MakeOverlay(DrawTeletext(page)); });
    ComPtr<IBaseFilter> filter = ComPtr<IBaseFilter>::Share(created);
    if (FAILED(graph->AddFilter(filter.Get(), L"Sous-titres"))) return;
    if (FAILED(graph->ConnectDirect(pin.Get(), created->GetPin(0), nullptr))) {
        graph->RemoveFilter(filter.Get());
        return;
    }
    pin->QueryInterface(IID_IMPEG2PIDMap, pidMap.PutVoid());
    rendererFilter = std::move(filter);
    renderer = created;
}

void ReleaseSubtitlePath()
{
    Unmap();
    pidMap.Reset();
    renderer = nullptr;
    rendererFilter.Reset();
    hasMixer = false;
}

bool ShowSubtitleTrack(const SubtitleTrack& track, std::wstring& why)
{
    if (!renderer || !pidMap) {
        why = kNoPath;
        return false;
    }
    if (!hasMixer) {
        why = kNoMixer;
        return false;
    }
    Unmap();
    renderer->Select(track);
    ULONG pid = static_cast<ULONG>(track.pid);
    if (track.pid <= 0 || FAILED(pidMap->MapPID(1, &pid, MEDIA_ELEMENTARY_STREAM))) {
        renderer->Select(std::nullopt);
        why = kNoMapping;
        return false;
    }
    mappedPid = pid;
    mapped = true;
    return true;
}

void HideSubtitleTrack()
{
    Unmap();
    if (renderer) renderer->Select(std::nullopt);
}

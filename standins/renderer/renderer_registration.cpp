#include "standins/renderer/renderer_registration.h"

#include <uuids.h>

#include "standins/renderer/video_renderer.h"

namespace standin {

namespace {

// A rendered input pin of video: the graph builder then treats the filter as a
// renderer. Like the platform's own VMR-7 registration, the merit keeps intelligent
// connection from adding it by itself; applications add it explicitly.
const REGPINTYPES kVideoIn[] = {{&MEDIATYPE_Video, &MEDIASUBTYPE_RGB32}};

REGFILTERPINS2 MakeInputPin()
{
    REGFILTERPINS2 pin{};
    pin.dwFlags = REG_PINFLAG_B_RENDERER;
    pin.cInstances = 1;
    pin.nMediaTypes = 1;
    pin.lpMediaType = kVideoIn;
    return pin;
}

const REGFILTERPINS2 kPins[] = {MakeInputPin()};

REGFILTER2 MakeFilter()
{
    REGFILTER2 reg{};
    reg.dwVersion = 2;
    reg.dwMerit = MERIT_DO_NOT_USE;
    reg.cPins2 = 1;
    reg.rgPins2 = kPins;
    return reg;
}

const REGFILTER2 kFilter = MakeFilter();

}  // namespace

const StandinFilterEntry& VideoRendererEntry()
{
    static const StandinFilterEntry entry{{&CLSID_VideoMixingRenderer, L"Video Mixing Renderer", &kFilter},
                                          &CreateVideoRenderer};
    return entry;
}

HRESULT CreateVideoRenderer(IUnknown* outer, REFIID iid, void** out)
{
    return CreateFilterObject<CVideoRenderer>(outer, iid, out);
}

}  // namespace standin

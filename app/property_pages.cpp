#include "app/property_pages.h"

#include <olectl.h>

#include "app/shell_state.h"
#include "common/com_ptr.h"
#include "common/error_message.h"
#include "config/settings.h"
#include "graph/graph_handles.h"
#include "resources/resource_ids.h"

void ShowPropertyPages(IBaseFilter* filter, const wchar_t* caption)
{
    // A decoder that was not found by its name leaves the stream to the platform's
    // automatic rendering, so there is no filter of ours to show.
    if (!filter) {
        ShowError(mainWindow, L"Il faut d'abord configurer un filtre et red\u00e9marrer l'application");
        return;
    }
    ComPtr<ISpecifyPropertyPages> specify;
    if (FAILED(filter->QueryInterface(IID_ISpecifyPropertyPages, specify.PutVoid()))) {
        ShowError(mainWindow, L"Ce filtre n'a pas de property page");
        return;
    }
    ComPtr<IUnknown> object;
    specify.As(IID_IUnknown, object);
    CAUUID pages{};
    HRESULT result = specify->GetPages(&pages);
    if (SUCCEEDED(result)) {
        IUnknown* objects[] = {object.Get()};
        result = OleCreatePropertyFrame(mainWindow, 10, 10, caption, 1, objects, pages.cElems, pages.pElems,
                                        GetUserDefaultLCID(), 0, nullptr);
    }
    CoTaskMemFree(pages.pElems);
    if (FAILED(result))
        ShowError(mainWindow, L"Erreur lors de la cr\u00e9ation de la property page");
}

void ShowFilterPropertyPages(int command)
{
    switch (command) {
    case IDM_PROPS_VIDEO: ShowPropertyPages(videoDecoder.Get(), videoDecoderName); break;
    case IDM_PROPS_AUDIO: ShowPropertyPages(audioDecoder.Get(), audioDecoderName); break;
    case IDM_PROPS_AC3: ShowPropertyPages(ac3Decoder.Get(), ac3DecoderName); break;
    case IDM_PROPS_VMR: ShowPropertyPages(vmrFilter.Get(), L"VMR"); break;
    case IDM_PROPS_DSOUND: ShowPropertyPages(audioRenderer.Get(), L"Direct sound"); break;
    case IDM_PROPS_DSOUND_AC3: ShowPropertyPages(ac3Renderer.Get(), L"Direct sound AC3"); break;
    case IDM_PROPS_DEMUX: ShowPropertyPages(demuxFilter.Get(), L"Demux"); break;
    default: break;
    }
}

#pragma once
// What the stand-ins DLL needs to create and register the video renderer stand-in,
// which takes the class identifier of the video mixing renderer (VMR-7) in the
// project's own Wine prefix.
#include "standins/decoders/decoder_registration.h"

namespace standin {

const StandinFilterEntry& VideoRendererEntry();
HRESULT CreateVideoRenderer(IUnknown* outer, REFIID iid, void** out);

}  // namespace standin

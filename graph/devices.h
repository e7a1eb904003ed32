#pragma once
// Finding the tuner, the receiver and the decoders again by their friendly names, the
// lists that fill the configuration dialog, and the free-pin search of every connection.
// Nothing here shows a message: failures end in null, false, 1 or an entry left out.
#include <windows.h>
#include <dshow.h>

#include <optional>

#include "common/com_ptr.h"
#include "graph/bda_topology_plan.h"
#include "graph/media_framework.h"

// BDA device categories (missing from mingw's import libraries; defined in devices.cpp).

// What a filter's output pins offer in the way of a transport stream.
enum class TransportOutputKind {
    None = 0,            // no output offers a transport stream
    Mpeg2Transport = 1,  // MEDIATYPE_Stream / MEDIASUBTYPE_MPEG2_TRANSPORT: needs a receiver
    BdaTransport = 2,    // MEDIATYPE_Stream / KSDATAFORMAT_SUBTYPE_BDA_MPEG2_TRANSPORT
};

// Verdict on one media type (major type, subtype); None when it carries no transport stream.
TransportOutputKind ClassifyMediaType(const GUID& majorType, const GUID& subtype);

// Exact comparison of a friendly name read from a property bag with a configured name:
// code unit by code unit, case-sensitive, no trimming (a BSTR may hold embedded nulls).
bool FriendlyNameEquals(BSTR friendlyName, const wchar_t* name);

// Finds the configured tuner (tunerName) and, for a two-filter device, the configured
// receiver (receiverName), into tunerFilter and receiverFilter. False leaves both null.
// A device whose driver makes its transport output only when asked has it made
// first (its BDA topology), so that it can be classified; the tuner's pin ids go to
// tunerTopology.
bool DetectTuner();

// The pin ids that the tuner's topology gave when DetectTuner found it; empty until
// then, and after a failed detection.
extern std::optional<TopologyPins> tunerTopology;

// First matching media type of the filter's output pins, in pin then type order.
// A null filter is None.
TransportOutputKind ClassifyTransportOutput(IBaseFilter* filter);

// First device of the category whose friendly name equals the name and that can be
// instantiated; null when none.
ComPtr<IBaseFilter> FindDeviceByName(const GUID& category, const wchar_t* name);

// Adds to the combo box the name of every device of the category that has a transport
// output, made first through its topology when its driver waits to be asked. 0 when the category was enumerated; 1 when the enumerator cannot be created,
// the enumeration fails or the category is empty.
int FillDeviceList(const GUID& category, HWND dialog, int comboId);

// First registered filter taking the input type (strictSearch is the exact-match flag)
// whose friendly name equals the name; null when none.
ComPtr<IBaseFilter> FindDecoderByName(const GUID& majorType, const GUID& subtype, const wchar_t* name);

// Adds to the combo box the friendly name of every registered filter taking the input type.
void FillDecoderList(const GUID& majorType, const GUID& subtype, HWND dialog, int comboId);

// First pin of the filter in that direction that is not connected; null when none.
ComPtr<IPin> FindFreePin(IBaseFilter* filter, PIN_DIRECTION direction);

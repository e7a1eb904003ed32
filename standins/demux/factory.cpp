#include "standins/demux/factory.h"

#include <uuids.h>
#include <ks.h>
#include <ksmedia.h>
#include <bdamedia.h>

#include <new>

#include "graph/mpeg2_data.h"
#include "standins/demux/demux_filter.h"
#include "standins/demux/mpeg2_data_filter.h"
#include "standins/switches_env.h"

namespace {

template <class Filter, class... Args>
HRESULT Create(IUnknown* outer, REFIID iid, void** out, Args... args)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* filter = new (std::nothrow) Filter(args...);
    if (!filter) return E_OUTOFMEMORY;
    // The temporary reference makes a failed query destroy the new filter.
    filter->NonDelegatingAddRef();
    HRESULT hr = filter->NonDelegatingQueryInterface(iid, out);
    filter->NonDelegatingRelease();
    return hr;
}

const REGPINTYPES kTransportTypes[] = {
    {&MEDIATYPE_Stream, &MEDIASUBTYPE_MPEG2_TRANSPORT},
    {&MEDIATYPE_Stream, &KSDATAFORMAT_SUBTYPE_BDA_MPEG2_TRANSPORT},
};

const REGFILTERPINS2 kDemuxPins[] = {
    {0, 1, 2, kTransportTypes, 0, nullptr, nullptr},
    // Output pins exist only once the application creates them.
    {REG_PINFLAG_B_OUTPUT | REG_PINFLAG_B_ZERO | REG_PINFLAG_B_MANY, 1, 0, nullptr, 0, nullptr, nullptr},
};

const REGPINTYPES kSectionTypes[] = {
    {&MEDIATYPE_MPEG2_SECTIONS, &MEDIASUBTYPE_MPEG2DATA},
};

const REGFILTERPINS2 kMpeg2DataPins[] = {
    {0, 1, 1, kSectionTypes, 0, nullptr, nullptr},
};

REGFILTER2 MakeRegistration(const REGFILTERPINS2* pins, ULONG count)
{
    REGFILTER2 r{};
    r.dwVersion = 2;
    r.dwMerit = MERIT_NORMAL;
    r.cPins2 = count;
    r.rgPins2 = pins;
    return r;
}

const REGFILTER2 kDemuxRegistration = MakeRegistration(kDemuxPins, 2);
const REGFILTER2 kMpeg2DataRegistration = MakeRegistration(kMpeg2DataPins, 1);

const FilterSetup kDemuxSetup = {&CLSID_MPEG2Demultiplexer, L"MPEG-2 Demultiplexer", &kDemuxRegistration};
const FilterSetup kMpeg2DataSetup = {&CLSID_Mpeg2Data, L"MPEG-2 Sections and Tables", &kMpeg2DataRegistration};

}  // namespace

HRESULT CreateStandinDemux(IUnknown* outer, REFIID iid, void** out)
{
    return Create<CStandinDemux>(outer, iid, out);
}

HRESULT CreateStandinMpeg2Data(IUnknown* outer, REFIID iid, void** out)
{
    return Create<CStandinMpeg2Data>(outer, iid, out, CurrentStandinSwitches().strictSections);
}

const FilterSetup& StandinDemuxSetup() { return kDemuxSetup; }

const FilterSetup& StandinMpeg2DataSetup() { return kMpeg2DataSetup; }

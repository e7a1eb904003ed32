#pragma once
// What the stand-ins DLL needs to create and register the decoders: class identifiers,
// friendly names, filter-mapper data and factories.
#include <dshow.h>

#include <new>

#include "graph/filterbase/base_filter.h"

namespace standin {

// {975D376A-4471-4661-82DC-7D01E58F5F3B}
inline constexpr CLSID CLSID_StandinMpeg2VideoDecoder = {
    0x975d376a, 0x4471, 0x4661, {0x82, 0xdc, 0x7d, 0x01, 0xe5, 0x8f, 0x5f, 0x3b}};
// {FA32DA9B-371E-4463-AD71-F44C1A1B7674}
inline constexpr CLSID CLSID_StandinMpegAudioDecoder = {
    0xfa32da9b, 0x371e, 0x4463, {0xad, 0x71, 0xf4, 0x4c, 0x1a, 0x1b, 0x76, 0x74}};
// {2251A707-16C9-49E6-9A05-5CDCD82388C2}
inline constexpr CLSID CLSID_StandinAc3Decoder = {
    0x2251a707, 0x16c9, 0x49e6, {0x9a, 0x05, 0x5c, 0xdc, 0xd8, 0x23, 0x88, 0xc2}};

// {6500C62A-8CA3-4D68-BD30-FAD3DD1D66E6}
inline constexpr CLSID CLSID_StandinH264VideoDecoder = {
    0x6500c62a, 0x8ca3, 0x4d68, {0xbd, 0x30, 0xfa, 0xd3, 0xdd, 0x1d, 0x66, 0xe6}};
// {E8E7E311-F65F-47CA-B64A-FFF5161C03AC}
inline constexpr CLSID CLSID_StandinAacDecoder = {
    0xe8e7e311, 0xf65f, 0x47ca, {0xb6, 0x4a, 0xff, 0xf5, 0x16, 0x1c, 0x03, 0xac}};
// {DB71C917-7EA9-476E-ABC6-4BC1AAC31D7F}
inline constexpr CLSID CLSID_StandinEac3Decoder = {
    0xdb71c917, 0x7ea9, 0x476e, {0xab, 0xc6, 0x4b, 0xc1, 0xaa, 0xc3, 0x1d, 0x7f}};

// Creates the object, as IClassFactory::CreateInstance does (an outer unknown asks for IUnknown).
using FilterFactory = HRESULT (*)(IUnknown* outer, REFIID iid, void** out);

struct StandinFilterEntry {
    FilterSetup setup;       // class id, friendly name, REGFILTER2 (version 2) for IFilterMapper2::RegisterFilter
    FilterFactory create;
};

const StandinFilterEntry& Mpeg2VideoDecoderEntry();
const StandinFilterEntry& MpegAudioDecoderEntry();
const StandinFilterEntry& Ac3DecoderEntry();
const StandinFilterEntry& H264VideoDecoderEntry();  // H.264 and HEVC
const StandinFilterEntry& AacDecoderEntry();        // ADTS and LATM
const StandinFilterEntry& Eac3DecoderEntry();

HRESULT CreateMpeg2VideoDecoder(IUnknown* outer, REFIID iid, void** out);
HRESULT CreateMpegAudioDecoder(IUnknown* outer, REFIID iid, void** out);
HRESULT CreateAc3Decoder(IUnknown* outer, REFIID iid, void** out);
HRESULT CreateH264VideoDecoder(IUnknown* outer, REFIID iid, void** out);
HRESULT CreateAacDecoder(IUnknown* outer, REFIID iid, void** out);
HRESULT CreateEac3Decoder(IUnknown* outer, REFIID iid, void** out);

// Shared by the factories: a new filter handed out through its non-delegating unknown.
template <class Filter, class... Args>
HRESULT CreateFilterObject(IUnknown* outer, REFIID iid, void** out, Args... args)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer && iid != IID_IUnknown) return CLASS_E_NOAGGREGATION;
    Filter* filter = new (std::nothrow) Filter(outer, args...);
    if (!filter) return E_OUTOFMEMORY;
    filter->NonDelegatingAddRef();
    HRESULT hr = filter->NonDelegatingQueryInterface(iid, out);
    filter->NonDelegatingRelease();
    return hr;
}

}  // namespace standin

// The decoders' filter-mapper data, registered for a moment in the test prefix: the
// lookups that the graph code makes (by input type, with an output, minimum merit just
// above "do not use") must list each decoder under its friendly name.
#include <dshow.h>
#include <uuids.h>

#include <string>

#include <gtest/gtest.h>

#include "common/com_ptr.h"
#include "standins/decoders/decoder_registration.h"

namespace {

std::wstring FriendlyName(IMoniker* moniker)
{
    ComPtr<IPropertyBag> bag;
    if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.PutVoid()))) return {};
    VARIANT v;
    VariantInit(&v);
    std::wstring name;
    if (SUCCEEDED(bag->Read(L"FriendlyName", &v, nullptr)) && v.vt == VT_BSTR) name = v.bstrVal;
    VariantClear(&v);
    return name;
}

bool Listed(IFilterMapper2* mapper, const GUID& major, const GUID& subtype, const std::wstring& name)
{
    GUID types[2] = {major, subtype};
    ComPtr<IEnumMoniker> found;
    if (FAILED(mapper->EnumMatchingFilters(found.Put(), 0, FALSE, MERIT_DO_NOT_USE + 1, TRUE, 1, types, nullptr,
                                           nullptr, FALSE, TRUE, 0, nullptr, nullptr, nullptr)) ||
        !found)
        return false;
    IMoniker* moniker = nullptr;
    bool listed = false;
    while (!listed && found->Next(1, &moniker, nullptr) == S_OK) {
        listed = FriendlyName(moniker) == name;
        moniker->Release();
    }
    return listed;
}

class Registration : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER,
                                                  IID_IFilterMapper2, mapper_.PutVoid()));
    }
    void TearDown() override
    {
        mapper_.Reset();
        CoUninitialize();
    }
    ComPtr<IFilterMapper2> mapper_;
};

}  // namespace

TEST_F(Registration, EachDecoderIsFoundByItsInputType)
{
    struct Case {
        const standin::StandinFilterEntry& entry;
        GUID major, subtype;
    };
    const Case cases[] = {
        {standin::Mpeg2VideoDecoderEntry(), MEDIATYPE_Video, MEDIASUBTYPE_MPEG2_VIDEO},
        {standin::MpegAudioDecoderEntry(), MEDIATYPE_Audio, MEDIASUBTYPE_MPEG2_AUDIO},
        {standin::MpegAudioDecoderEntry(), MEDIATYPE_Audio, MEDIASUBTYPE_MPEG1AudioPayload},
        {standin::Ac3DecoderEntry(), MEDIATYPE_Audio, MEDIASUBTYPE_DOLBY_AC3},
    };
    for (const Case& c : cases) {
        // Registered the way the DLL will: through the filter's own IAMovieSetup.
        ComPtr<IAMovieSetup> setup;
        ASSERT_HRESULT_SUCCEEDED(c.entry.create(nullptr, IID_IAMovieSetup, setup.PutVoid()));
        ASSERT_HRESULT_SUCCEEDED(setup->Register());
        const std::wstring name = c.entry.setup.name;
        EXPECT_TRUE(Listed(mapper_.Get(), c.major, c.subtype, name));
        // Not under another decoder's input type.
        EXPECT_FALSE(Listed(mapper_.Get(), MEDIATYPE_Audio,
                            c.subtype == MEDIASUBTYPE_DOLBY_AC3 ? MEDIASUBTYPE_MPEG2_AUDIO : MEDIASUBTYPE_DOLBY_AC3,
                            name));
        ASSERT_HRESULT_SUCCEEDED(setup->Unregister());
        EXPECT_FALSE(Listed(mapper_.Get(), c.major, c.subtype, name));
    }
}

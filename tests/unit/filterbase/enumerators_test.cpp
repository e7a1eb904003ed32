// Pin and media-type enumeration, and the fixed answers of the filter and pin
// interfaces, on filters written on the base layer.

#include <string>

#include "com_test.h"
#include "test_sink.h"
#include "test_source.h"

namespace {

class Enumerators : public ComTest {
protected:
    void SetUp() override
    {
        ComTest::SetUp();
        filter = new TestSource;
        holder = ComPtr<IBaseFilter>::Share(filter);
        SourcePinBehaviour behaviour;
        behaviour.own = {TypeWithMajor(MEDIATYPE_Video), TypeWithMajor(MEDIATYPE_Audio),
                         TypeWithMajor(MEDIATYPE_Stream)};
        first = filter->AddTestPin(L"Première", behaviour);
        second = filter->AddTestPin(L"Seconde", behaviour);
    }
    void TearDown() override
    {
        holder.Reset();
        ComTest::TearDown();
    }

    TestSource* filter = nullptr;
    ComPtr<IBaseFilter> holder;
    TestSourcePin* first = nullptr;
    TestSourcePin* second = nullptr;
};

std::wstring IdOf(IPin* pin)
{
    LPWSTR id = nullptr;
    if (FAILED(pin->QueryId(&id))) return L"?";
    std::wstring text(id);
    CoTaskMemFree(id);
    return text;
}

}  // namespace

TEST_F(Enumerators, PinsComeInOrderWithSkipResetAndClone)
{
    ComPtr<IEnumPins> pins;
    ASSERT_EQ(holder->EnumPins(pins.Put()), S_OK);

    IPin* got[3] = {};
    ULONG fetched = 9;
    EXPECT_EQ(pins->Next(3, got, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 2u);
    EXPECT_EQ(got[0], static_cast<IPin*>(first));
    EXPECT_EQ(got[1], static_cast<IPin*>(second));
    got[0]->Release();
    got[1]->Release();
    EXPECT_EQ(pins->Next(1, got, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);

    ASSERT_EQ(pins->Reset(), S_OK);
    EXPECT_EQ(pins->Skip(1), S_OK);
    ComPtr<IEnumPins> copy;
    ASSERT_EQ(pins->Clone(copy.Put()), S_OK);
    ComPtr<IPin> fromCopy;
    ASSERT_EQ(copy->Next(1, fromCopy.Put(), nullptr), S_OK);  // the clone stands where the original stood
    EXPECT_EQ(fromCopy.Get(), static_cast<IPin*>(second));
    EXPECT_EQ(pins->Skip(2), S_FALSE);
    EXPECT_EQ(pins->Next(2, got, nullptr), E_INVALIDARG);  // no count to report a short answer
}

TEST_F(Enumerators, PinEnumeratorGoesOutOfSyncWhenThePinsChange)
{
    ComPtr<IEnumPins> pins;
    ASSERT_EQ(holder->EnumPins(pins.Put()), S_OK);
    SourcePinBehaviour behaviour;
    TestSourcePin* third = filter->AddTestPin(L"Troisième", behaviour);

    ComPtr<IPin> pin;
    ULONG fetched = 0;
    EXPECT_EQ(pins->Next(1, pin.Put(), &fetched), VFW_E_ENUM_OUT_OF_SYNC);
    EXPECT_EQ(pins->Skip(1), VFW_E_ENUM_OUT_OF_SYNC);
    ComPtr<IEnumPins> copy;
    EXPECT_EQ(pins->Clone(copy.Put()), VFW_E_ENUM_OUT_OF_SYNC);

    ASSERT_EQ(pins->Reset(), S_OK);
    EXPECT_EQ(pins->Skip(2), S_OK);
    ASSERT_EQ(pins->Next(1, pin.Put(), &fetched), S_OK);
    EXPECT_EQ(pin.Get(), static_cast<IPin*>(third));
    pin.Reset();

    delete third;  // removing a pin changes the version too
    EXPECT_EQ(pins->Next(1, pin.Put(), &fetched), VFW_E_ENUM_OUT_OF_SYNC);
}

TEST_F(Enumerators, MediaTypesComeFromGetMediaTypeAndNoticeAChangedList)
{
    ComPtr<IEnumMediaTypes> types;
    ASSERT_EQ(first->EnumMediaTypes(types.Put()), S_OK);

    AM_MEDIA_TYPE* got[4] = {};
    ULONG fetched = 0;
    EXPECT_EQ(types->Next(4, got, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 3u);
    EXPECT_EQ(got[0]->majortype, MEDIATYPE_Video);
    EXPECT_EQ(got[2]->majortype, MEDIATYPE_Stream);
    EXPECT_EQ(got[1]->lSampleSize, 1u);
    for (ULONG i = 0; i < fetched; ++i) DeleteMediaType(got[i]);

    ASSERT_EQ(types->Reset(), S_OK);
    EXPECT_EQ(types->Skip(2), S_OK);
    ComPtr<IEnumMediaTypes> copy;
    ASSERT_EQ(types->Clone(copy.Put()), S_OK);
    ASSERT_EQ(copy->Next(1, got, nullptr), S_OK);
    EXPECT_EQ(got[0]->majortype, MEDIATYPE_Stream);
    DeleteMediaType(got[0]);
    EXPECT_EQ(types->Skip(2), S_FALSE);

    first->ChangeOwnTypes({TypeWithMajor(MEDIATYPE_Text)});
    EXPECT_EQ(types->Next(1, got, &fetched), VFW_E_ENUM_OUT_OF_SYNC);
    EXPECT_EQ(types->Clone(copy.Put()), VFW_E_ENUM_OUT_OF_SYNC);
    ASSERT_EQ(types->Reset(), S_OK);
    ASSERT_EQ(types->Next(1, got, &fetched), S_OK);
    EXPECT_EQ(got[0]->majortype, MEDIATYPE_Text);
    DeleteMediaType(got[0]);
}

TEST_F(Enumerators, PinIdsAreIndexPlusOneAndFindPinTakesThem)
{
    EXPECT_EQ(IdOf(first), L"1");
    EXPECT_EQ(IdOf(second), L"2");

    ComPtr<IPin> found;
    ASSERT_EQ(holder->FindPin(L"2", found.Put()), S_OK);
    EXPECT_EQ(found.Get(), static_cast<IPin*>(second));
    EXPECT_EQ(holder->FindPin(L"3", found.Put()), VFW_E_NOT_FOUND);
    EXPECT_EQ(holder->FindPin(L"Seconde", found.Put()), VFW_E_NOT_FOUND);
    EXPECT_EQ(holder->FindPin(L"0", found.Put()), VFW_E_NOT_FOUND);
    EXPECT_FALSE(found);
}

TEST_F(Enumerators, FilterAndPinInformationIsBoundedAndReferenced)
{
    std::wstring longName(300, L'x');
    ASSERT_EQ(holder->JoinFilterGraph(nullptr, longName.c_str()), S_OK);
    FILTER_INFO info{};
    ASSERT_EQ(holder->QueryFilterInfo(&info), S_OK);
    EXPECT_EQ(std::wstring(info.achName), std::wstring(127, L'x'));
    EXPECT_EQ(info.pGraph, nullptr);

    PIN_INFO pinInfo{};
    ASSERT_EQ(second->QueryPinInfo(&pinInfo), S_OK);
    EXPECT_EQ(std::wstring(pinInfo.achName), L"Seconde");
    EXPECT_EQ(pinInfo.dir, PINDIR_OUTPUT);
    EXPECT_EQ(pinInfo.pFilter, holder.Get());
    pinInfo.pFilter->Release();

    LPWSTR vendor = nullptr;
    EXPECT_EQ(holder->QueryVendorInfo(&vendor), E_NOTIMPL);
    ComPtr<IAMovieSetup> setup;
    ASSERT_EQ(holder.As(IID_IAMovieSetup, setup), S_OK);
    EXPECT_EQ(setup->Register(), S_FALSE);
    EXPECT_EQ(setup->Unregister(), S_FALSE);

    // An output pin takes no stream control from downstream.
    EXPECT_EQ(first->EndOfStream(), E_UNEXPECTED);
    EXPECT_EQ(first->BeginFlush(), E_UNEXPECTED);
    EXPECT_EQ(first->EndFlush(), E_UNEXPECTED);
    EXPECT_EQ(first->QueryInternalConnections(nullptr, nullptr), E_NOTIMPL);

    REFERENCE_TIME now = 0;
    EXPECT_EQ(filter->StreamTime(now), VFW_E_NO_CLOCK);
}

TEST_F(Enumerators, PinReferencesAreTheFiltersReferences)
{
    ULONG before = holder->AddRef();
    ULONG viaPin = first->AddRef();
    EXPECT_EQ(viaPin, before + 1);
    first->Release();
    holder->Release();

    ComPtr<IQualityControl> quality;
    EXPECT_EQ(ComPtr<IPin>::Share(first).As(IID_IQualityControl, quality), S_OK);
    ComPtr<IUnknown> unknownOfFilter, unknownOfPin;
    ASSERT_EQ(holder.As(IID_IUnknown, unknownOfFilter), S_OK);
    ASSERT_EQ(ComPtr<IPin>::Share(first).As(IID_IUnknown, unknownOfPin), S_OK);
    EXPECT_NE(unknownOfFilter.Get(), unknownOfPin.Get());  // distinct objects, shared lifetime
}

TEST_F(Enumerators, AnEnumeratorNotReleasedIsALiveObject)
{
    const long live = CBaseObject::LiveObjects();
    ComPtr<IEnumPins> pins;
    ASSERT_EQ(holder->EnumPins(pins.Put()), S_OK);
    ComPtr<IEnumMediaTypes> types;
    ASSERT_EQ(first->EnumMediaTypes(types.Put()), S_OK);
    ComPtr<IEnumMediaTypes> copy;
    ASSERT_EQ(types->Clone(copy.Put()), S_OK);
    EXPECT_EQ(CBaseObject::LiveObjects(), live + 3);

    // The filter's last outside reference goes, but a leaked enumerator keeps it, and
    // the count shows it.
    holder.Reset();
    pins.Reset();
    copy.Reset();
    EXPECT_EQ(CBaseObject::LiveObjects(), live + 1);
    types.Reset();
    EXPECT_EQ(CBaseObject::LiveObjects(), live - 3);  // the filter and its two pins went too
}

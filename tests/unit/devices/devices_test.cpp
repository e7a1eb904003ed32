// Device enumeration against the stand-in devices registered in the Wine prefix.
#include <windows.h>
#include <dshow.h>
#include <ks.h>
#include <ksmedia.h>
#include <bdamedia.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/settings.h"
#include "graph/devices.h"
#include "graph/graph_handles.h"
#include "standins/catalogue.h"
#include "tests/unit/standins/standins_environment.h"

using ::testing::IsSupersetOf;
using ::testing::Not;
using ::testing::Contains;
namespace names = standin_names;

namespace {

const auto* const environment = ::testing::AddGlobalTestEnvironment(new standins_test::StandinsEnvironment);

// {B7150A00-51DE-4E5B-9C0D-5E7A1D0000xx}, the stand-ins' classes.
CLSID StandinClass(BYTE last) { return {0xB7150A00, 0x51DE, 0x4E5B, {0x9C, 0x0D, 0x5E, 0x7A, 0x1D, 0x00, 0x00, last}}; }

CLSID ClassOf(IBaseFilter* filter)
{
    CLSID classId = GUID_NULL;
    if (filter) filter->GetClassID(&classId);
    return classId;
}

void SetName(wchar_t (&setting)[kNameCapacity], const wchar_t* value) { wcsncpy_s(setting, value, _TRUNCATE); }

class DevicesTest : public ::testing::Test {
protected:
    void SetUp() override { strictSearch = 1; }
    void TearDown() override
    {
        tunerFilter.Reset();
        receiverFilter.Reset();
    }
};

// A real combo box in a window, as the configuration dialog holds them.
class ComboBox {
public:
    static constexpr int kId = 1009;
    ComboBox()
    {
        parent_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 300, nullptr, nullptr, nullptr, nullptr);
        CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 280, 200, parent_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kId)), nullptr, nullptr);
    }
    ~ComboBox() { DestroyWindow(parent_); }
    bool Exists() const { return GetDlgItem(parent_, kId) != nullptr; }
    HWND Dialog() const { return parent_; }
    std::vector<std::wstring> Items() const
    {
        std::vector<std::wstring> items;
        const LRESULT count = SendDlgItemMessageW(parent_, kId, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t text[512] = {};
            SendDlgItemMessageW(parent_, kId, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            items.emplace_back(text);
        }
        return items;
    }

private:
    HWND parent_;
};

TEST(ClassifyMediaTypeTest, OnlyStreamTypesWithATransportSubtypeCount)
{
    EXPECT_EQ(ClassifyMediaType(MEDIATYPE_Stream, MEDIASUBTYPE_MPEG2_TRANSPORT), TransportOutputKind::Mpeg2Transport);
    EXPECT_EQ(ClassifyMediaType(MEDIATYPE_Stream, KSDATAFORMAT_SUBTYPE_BDA_MPEG2_TRANSPORT),
              TransportOutputKind::BdaTransport);
    EXPECT_EQ(ClassifyMediaType(MEDIATYPE_Video, MEDIASUBTYPE_MPEG2_TRANSPORT), TransportOutputKind::None);
    EXPECT_EQ(ClassifyMediaType(MEDIATYPE_Stream, MEDIASUBTYPE_MPEG2_PROGRAM), TransportOutputKind::None);
}

TEST(FriendlyNameEqualsTest, ComparesEveryCodeUnitExactly)
{
    BSTR name = SysAllocString(L"Tuner TNT");
    EXPECT_TRUE(FriendlyNameEquals(name, L"Tuner TNT"));
    EXPECT_FALSE(FriendlyNameEquals(name, L"tuner tnt"));
    EXPECT_FALSE(FriendlyNameEquals(name, L"Tuner TNT "));
    EXPECT_FALSE(FriendlyNameEquals(name, L"Tuner"));
    EXPECT_FALSE(FriendlyNameEquals(name, L""));
    SysFreeString(name);

    // A name with an embedded null is not equal to its first part.
    BSTR embedded = SysAllocStringLen(L"Tuner\0X", 7);
    EXPECT_FALSE(FriendlyNameEquals(embedded, L"Tuner"));
    SysFreeString(embedded);

    BSTR empty = SysAllocString(L"");
    EXPECT_TRUE(FriendlyNameEquals(empty, L""));
    SysFreeString(empty);
}

TEST_F(DevicesTest, ClassifiesEachKindOfDeviceOutput)
{
    EXPECT_EQ(ClassifyTransportOutput(nullptr), TransportOutputKind::None);
    struct Case {
        const GUID* category;
        const wchar_t* name;
        TransportOutputKind kind;
    } cases[] = {
        {&KSCATEGORY_BDA_NETWORK_TUNER, names::kTuner, TransportOutputKind::BdaTransport},
        {&KSCATEGORY_BDA_NETWORK_TUNER, names::kPairTuner, TransportOutputKind::Mpeg2Transport},
        {&KSCATEGORY_BDA_NETWORK_TUNER, names::kTunerNoTransport, TransportOutputKind::None},
        {&KSCATEGORY_BDA_RECEIVER_COMPONENT, names::kReceiver, TransportOutputKind::BdaTransport},
        {&KSCATEGORY_BDA_RECEIVER_COMPONENT, names::kWrongReceiver, TransportOutputKind::Mpeg2Transport},
    };
    for (const Case& c : cases) {
        ComPtr<IBaseFilter> filter = FindDeviceByName(*c.category, c.name);
        ASSERT_TRUE(filter) << "device not found";
        EXPECT_EQ(ClassifyTransportOutput(filter.Get()), c.kind);
    }
}

TEST_F(DevicesTest, FindsDevicesOnlyByTheirExactNameInTheirOwnCategory)
{
    EXPECT_TRUE(FindDeviceByName(KSCATEGORY_BDA_NETWORK_TUNER, names::kTuner));
    EXPECT_FALSE(FindDeviceByName(KSCATEGORY_BDA_NETWORK_TUNER, L"tuner tnt virtuel brisome"));
    EXPECT_FALSE(FindDeviceByName(KSCATEGORY_BDA_NETWORK_TUNER, L""));
    EXPECT_FALSE(FindDeviceByName(KSCATEGORY_BDA_RECEIVER_COMPONENT, names::kTuner));
    const GUID emptyCategory = {0x5EB1C0DE, 0x1234, 0x4321, {1, 2, 3, 4, 5, 6, 7, 8}};
    EXPECT_FALSE(FindDeviceByName(emptyCategory, names::kTuner));
}

TEST_F(DevicesTest, OneFilterTunerNeedsNoReceiver)
{
    SetName(tunerName, names::kTuner);
    SetName(receiverName, L"n'importe quoi");
    ASSERT_TRUE(DetectTuner());
    EXPECT_EQ(ClassOf(tunerFilter.Get()), StandinClass(0x01));
    EXPECT_FALSE(receiverFilter);
}

TEST_F(DevicesTest, TunerThatNeedsAReceiverTakesTheConfiguredOne)
{
    SetName(tunerName, names::kPairTuner);
    SetName(receiverName, names::kReceiver);
    ASSERT_TRUE(DetectTuner());
    EXPECT_EQ(ClassOf(tunerFilter.Get()), StandinClass(0x02));
    EXPECT_EQ(ClassOf(receiverFilter.Get()), StandinClass(0x21));
}

TEST_F(DevicesTest, PairWithoutAUsableReceiverIsRefusedAndLeavesBothHandlesNull)
{
    SetName(tunerName, names::kPairTuner);
    for (const wchar_t* receiver : {names::kWrongReceiver, L"Récepteur absent", L""}) {
        SetName(receiverName, receiver);
        EXPECT_FALSE(DetectTuner());
        EXPECT_FALSE(tunerFilter);
        EXPECT_FALSE(receiverFilter);
    }
}

TEST_F(DevicesTest, UnknownOrUnusableTunerIsRefused)
{
    SetName(receiverName, names::kReceiver);
    for (const wchar_t* tuner : {L"Tuner absent", L"", names::kTunerNoTransport}) {
        SetName(tunerName, tuner);
        EXPECT_FALSE(DetectTuner());
        EXPECT_FALSE(tunerFilter);
        EXPECT_FALSE(receiverFilter);
    }
}

TEST_F(DevicesTest, SecondDetectionDropsTheReceiverOfTheFirst)
{
    SetName(tunerName, names::kPairTuner);
    SetName(receiverName, names::kReceiver);
    ASSERT_TRUE(DetectTuner());
    SetName(tunerName, names::kTuner);
    ASSERT_TRUE(DetectTuner());
    EXPECT_FALSE(receiverFilter);
}

TEST_F(DevicesTest, FirstOfTwoDevicesWithTheSameNameWins)
{
    // The one-filter twin comes first in the category; the second would need a receiver.
    SetName(tunerName, names::kTwinTuner);
    SetName(receiverName, L"");
    ASSERT_TRUE(DetectTuner());
    EXPECT_EQ(ClassOf(tunerFilter.Get()), StandinClass(0x07));
    EXPECT_FALSE(receiverFilter);
}

TEST_F(DevicesTest, DeviceListsHoldEveryDeviceWithATransportOutput)
{
    ComboBox tuners;
    ASSERT_TRUE(tuners.Exists()) << GetLastError();
    EXPECT_EQ(FillDeviceList(KSCATEGORY_BDA_NETWORK_TUNER, tuners.Dialog(), ComboBox::kId), 0);
    const std::vector<std::wstring> tunerItems = tuners.Items();
    EXPECT_THAT(tunerItems, IsSupersetOf({std::wstring(names::kTuner), std::wstring(names::kPairTuner),
                                          std::wstring(names::kTunerNoControl)}));
    EXPECT_EQ(std::count(tunerItems.begin(), tunerItems.end(), std::wstring(names::kTwinTuner)), 2);
    EXPECT_THAT(tunerItems, Not(Contains(std::wstring(names::kTunerNoTransport))));
    EXPECT_THAT(tunerItems, Not(Contains(std::wstring(names::kReceiver))));

    ComboBox receivers;
    EXPECT_EQ(FillDeviceList(KSCATEGORY_BDA_RECEIVER_COMPONENT, receivers.Dialog(), ComboBox::kId), 0);
    EXPECT_THAT(receivers.Items(),
                IsSupersetOf({std::wstring(names::kReceiver), std::wstring(names::kWrongReceiver)}));

    ComboBox none;
    const GUID emptyCategory = {0x5EB1C0DE, 0x1234, 0x4321, {1, 2, 3, 4, 5, 6, 7, 8}};
    EXPECT_EQ(FillDeviceList(emptyCategory, none.Dialog(), ComboBox::kId), 1);
    EXPECT_TRUE(none.Items().empty());
}

TEST_F(DevicesTest, FreePinSkipsConnectedPinsAndTheOtherDirection)
{
    ComPtr<IBaseFilter> tuner = FindDeviceByName(KSCATEGORY_BDA_NETWORK_TUNER, names::kPairTuner);
    ComPtr<IBaseFilter> receiver = FindDeviceByName(KSCATEGORY_BDA_RECEIVER_COMPONENT, names::kReceiver);
    ASSERT_TRUE(tuner && receiver);
    EXPECT_FALSE(FindFreePin(nullptr, PINDIR_INPUT));

    ComPtr<IPin> output = FindFreePin(tuner.Get(), PINDIR_OUTPUT);
    ComPtr<IPin> input = FindFreePin(receiver.Get(), PINDIR_INPUT);
    ASSERT_TRUE(output && input);
    PIN_DIRECTION direction;
    output->QueryDirection(&direction);
    EXPECT_EQ(direction, PINDIR_OUTPUT);

    ComPtr<IGraphBuilder> graph;
    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, graph.PutVoid()),
              S_OK);
    ASSERT_EQ(graph->AddFilter(tuner.Get(), L"Network Tuner"), S_OK);
    ASSERT_EQ(graph->AddFilter(receiver.Get(), L"Receiver Component"), S_OK);
    ASSERT_EQ(graph->ConnectDirect(output.Get(), input.Get(), nullptr), S_OK);

    EXPECT_FALSE(FindFreePin(tuner.Get(), PINDIR_OUTPUT));
    EXPECT_FALSE(FindFreePin(receiver.Get(), PINDIR_INPUT));
    // The antenna input is still free.
    EXPECT_TRUE(FindFreePin(tuner.Get(), PINDIR_INPUT));
    graph->RemoveFilter(tuner.Get());
    graph->RemoveFilter(receiver.Get());
}

// Wine registers no MPEG-2 decoder, but its own filters show the exact-match rule: the
// AVI splitter registers its input with an exact subtype, the ACM wrapper with a
// wildcard one.
TEST_F(DevicesTest, DecoderListsAndLookupsFollowTheStrictSearchSetting)
{
    ComboBox splitters;
    FillDecoderList(MEDIATYPE_Stream, MEDIASUBTYPE_Avi, splitters.Dialog(), ComboBox::kId);
    EXPECT_THAT(splitters.Items(), Contains(std::wstring(L"AVI Splitter")));
    EXPECT_TRUE(FindDecoderByName(MEDIATYPE_Stream, MEDIASUBTYPE_Avi, L"AVI Splitter"));
    EXPECT_FALSE(FindDecoderByName(MEDIATYPE_Stream, MEDIASUBTYPE_Avi, L"avi splitter"));
    EXPECT_FALSE(FindDecoderByName(MEDIATYPE_Stream, MEDIASUBTYPE_Avi, L""));

    strictSearch = 1;
    ComboBox strictList;
    FillDecoderList(MEDIATYPE_Audio, MEDIASUBTYPE_MPEG2_AUDIO, strictList.Dialog(), ComboBox::kId);
    EXPECT_THAT(strictList.Items(), Not(Contains(std::wstring(L"ACM Wrapper"))));
    EXPECT_FALSE(FindDecoderByName(MEDIATYPE_Audio, MEDIASUBTYPE_MPEG2_AUDIO, L"ACM Wrapper"));

    strictSearch = 0;
    ComboBox looseList;
    FillDecoderList(MEDIATYPE_Audio, MEDIASUBTYPE_MPEG2_AUDIO, looseList.Dialog(), ComboBox::kId);
    EXPECT_THAT(looseList.Items(), Contains(std::wstring(L"ACM Wrapper")));
    EXPECT_TRUE(FindDecoderByName(MEDIATYPE_Audio, MEDIASUBTYPE_MPEG2_AUDIO, L"ACM Wrapper"));
}

}  // namespace

// Connection of a base-layer output pin to a test input pin, without a graph: the order
// in which types are tried, the refusal codes, and the allocator decision.

#include "com_test.h"
#include "test_sink.h"
#include "test_source.h"

namespace {

std::vector<GUID> Majors(const std::vector<MediaType>& types)
{
    std::vector<GUID> majors;
    for (const MediaType& type : types) majors.push_back(type.Get().majortype);
    return majors;
}

class Negotiation : public ComTest {
protected:
    void Build(SinkBehaviour sinkBehaviour, SourcePinBehaviour pinBehaviour)
    {
        sink = MakeComObject<TestSinkFilter>(std::move(sinkBehaviour));
        auto* filter = new TestSource;
        source = ComPtr<IBaseFilter>::Share(filter);
        pin = filter->AddTestPin(L"Sortie", std::move(pinBehaviour));
    }
    void TearDown() override
    {
        if (pin) pin->Disconnect();
        if (sink) sink->Pin().Disconnect();
        source.Reset();
        sink.Reset();
        ComTest::TearDown();
    }

    ComPtr<TestSinkFilter> sink;
    ComPtr<IBaseFilter> source;
    TestSourcePin* pin = nullptr;
};

}  // namespace

TEST_F(Negotiation, OtherPinsTypesAreTriedFirstInItsOrderThenOwnTypes)
{
    SinkBehaviour sinkBehaviour;
    sinkBehaviour.offered = {TypeWithMajor(MEDIATYPE_Video), TypeWithMajor(MEDIATYPE_Audio)};
    sinkBehaviour.accept = [](const AM_MEDIA_TYPE& type) {
        return type.majortype == MEDIATYPE_Stream ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    };
    SourcePinBehaviour pinBehaviour;
    pinBehaviour.own = {TypeWithMajor(MEDIATYPE_Text), TypeWithMajor(MEDIATYPE_Stream)};
    pinBehaviour.check = [](const AM_MEDIA_TYPE&) { return S_OK; };
    Build(std::move(sinkBehaviour), std::move(pinBehaviour));

    ASSERT_EQ(pin->Connect(&sink->Pin(), nullptr), S_OK);

    EXPECT_EQ(Majors(pin->checked),
              (std::vector<GUID>{MEDIATYPE_Video, MEDIATYPE_Audio, MEDIATYPE_Text, MEDIATYPE_Stream}));
    EXPECT_EQ(Majors(sink->Pin().proposed), Majors(pin->checked));
    AM_MEDIA_TYPE connected;
    ASSERT_EQ(pin->ConnectionMediaType(&connected), S_OK);
    EXPECT_EQ(connected.majortype, MEDIATYPE_Stream);
    FreeMediaType(connected);
    ComPtr<IPin> peer;
    ASSERT_EQ(pin->ConnectedTo(peer.Put()), S_OK);
    EXPECT_EQ(peer.Get(), static_cast<IPin*>(&sink->Pin()));
}

TEST_F(Negotiation, TypeRefusedByTheCheckIsNeverProposedAndAnySuccessButSOkRefuses)
{
    SinkBehaviour sinkBehaviour;
    sinkBehaviour.offered = {TypeWithMajor(MEDIATYPE_Video), TypeWithMajor(MEDIATYPE_Audio),
                             TypeWithMajor(MEDIATYPE_Text), TypeWithMajor(MEDIATYPE_Stream)};
    SourcePinBehaviour pinBehaviour;
    pinBehaviour.check = [](const AM_MEDIA_TYPE& type) -> HRESULT {
        if (type.majortype == MEDIATYPE_Video) return S_FALSE;
        if (type.majortype == MEDIATYPE_Audio) return E_FAIL;
        if (type.majortype == MEDIATYPE_Text) return E_INVALIDARG;
        return S_OK;
    };
    Build(std::move(sinkBehaviour), std::move(pinBehaviour));

    ASSERT_EQ(pin->Connect(&sink->Pin(), nullptr), S_OK);
    EXPECT_EQ(Majors(sink->Pin().proposed), std::vector<GUID>{MEDIATYPE_Stream});
}

TEST_F(Negotiation, PartialTypeLimitsTheCandidatesAndCompleteTypeIsTriedAlone)
{
    SinkBehaviour sinkBehaviour;
    sinkBehaviour.offered = {TypeWithMajor(MEDIATYPE_Video), TypeWithMajor(MEDIATYPE_Audio, MEDIASUBTYPE_PCM)};
    SourcePinBehaviour pinBehaviour;
    pinBehaviour.check = [](const AM_MEDIA_TYPE&) { return S_OK; };
    Build(std::move(sinkBehaviour), std::move(pinBehaviour));

    MediaType partial = TypeWithMajor(MEDIATYPE_Audio);
    ASSERT_EQ(pin->Connect(&sink->Pin(), &partial.Get()), S_OK);
    EXPECT_EQ(Majors(pin->checked), std::vector<GUID>{MEDIATYPE_Audio});
    ASSERT_EQ(pin->Disconnect(), S_OK);
    sink->Pin().Disconnect();

    // Major and format types given: nothing else is looked at, even if refused.
    pin->checked.clear();
    MediaType complete = TypeWithMajor(MEDIATYPE_Stream);
    AM_MEDIA_TYPE raw = complete.Get();
    raw.formattype = FORMAT_None;
    sink->Behaviour().accept = [](const AM_MEDIA_TYPE&) { return E_OUTOFMEMORY; };
    EXPECT_EQ(pin->Connect(&sink->Pin(), &raw), E_OUTOFMEMORY);
    EXPECT_EQ(Majors(pin->checked), std::vector<GUID>{MEDIATYPE_Stream});
    EXPECT_FALSE(pin->IsConnected());
}

TEST_F(Negotiation, FailureReportsTheLastSignificantErrorElseNoAcceptableTypes)
{
    SinkBehaviour sinkBehaviour;
    sinkBehaviour.offered = {TypeWithMajor(MEDIATYPE_Video), TypeWithMajor(MEDIATYPE_Audio)};
    sinkBehaviour.accept = [](const AM_MEDIA_TYPE&) { return VFW_E_TYPE_NOT_ACCEPTED; };
    SourcePinBehaviour pinBehaviour;
    pinBehaviour.own = {TypeWithMajor(MEDIATYPE_Text)};
    pinBehaviour.check = [](const AM_MEDIA_TYPE&) { return S_OK; };
    Build(std::move(sinkBehaviour), std::move(pinBehaviour));

    EXPECT_EQ(pin->Connect(&sink->Pin(), nullptr), VFW_E_NO_ACCEPTABLE_TYPES);
    EXPECT_EQ(sink->Pin().proposed.size(), 3u);
    EXPECT_FALSE(pin->IsConnected());

    sink->Behaviour().accept = [](const AM_MEDIA_TYPE& type) {
        return type.majortype == MEDIATYPE_Audio ? E_OUTOFMEMORY : E_FAIL;
    };
    EXPECT_EQ(pin->Connect(&sink->Pin(), nullptr), E_OUTOFMEMORY);
    AM_MEDIA_TYPE none;
    EXPECT_EQ(pin->ConnectionMediaType(&none), VFW_E_NOT_CONNECTED);
}

TEST_F(Negotiation, ConnectionIsRefusedWhenConnectedWrongWayOrWithoutMemoryInput)
{
    SinkBehaviour sinkBehaviour;
    sinkBehaviour.offered = {TypeWithMajor(MEDIATYPE_Stream)};
    SourcePinBehaviour pinBehaviour;
    pinBehaviour.check = [](const AM_MEDIA_TYPE&) { return S_OK; };
    Build(sinkBehaviour, pinBehaviour);

    // Output to output.
    auto* other = new TestSource;
    ComPtr<IBaseFilter> otherHolder = ComPtr<IBaseFilter>::Share(other);
    TestSourcePin* otherPin = other->AddTestPin(L"Autre", pinBehaviour);
    otherPin->ChangeOwnTypes({TypeWithMajor(MEDIATYPE_Stream)});
    EXPECT_EQ(pin->Connect(otherPin, nullptr), VFW_E_INVALID_DIRECTION);
    EXPECT_TRUE(pin->checked.empty());

    // An input pin without IMemInputPin cannot take samples.
    sink->Behaviour().exposesMemInput = false;
    EXPECT_EQ(pin->Connect(&sink->Pin(), nullptr), E_NOINTERFACE);
    sink->Behaviour().exposesMemInput = true;

    ASSERT_EQ(pin->Connect(&sink->Pin(), nullptr), S_OK);
    EXPECT_EQ(pin->Connect(&sink->Pin(), nullptr), VFW_E_ALREADY_CONNECTED);
    EXPECT_EQ(pin->Connect(nullptr, nullptr), E_POINTER);
}

TEST_F(Negotiation, NoConnectionOrDisconnectionWhileTheFilterIsActive)
{
    SinkBehaviour sinkBehaviour;
    sinkBehaviour.offered = {TypeWithMajor(MEDIATYPE_Stream)};
    SourcePinBehaviour pinBehaviour;
    pinBehaviour.check = [](const AM_MEDIA_TYPE&) { return S_OK; };
    Build(std::move(sinkBehaviour), std::move(pinBehaviour));

    // An unconnected pin is not activated: pausing starts no thread.
    ASSERT_EQ(source->Pause(), S_OK);
    EXPECT_FALSE(pin->ThreadExists());
    EXPECT_EQ(pin->Connect(&sink->Pin(), nullptr), VFW_E_NOT_STOPPED);
    ASSERT_EQ(source->Stop(), S_OK);

    ASSERT_EQ(pin->Connect(&sink->Pin(), nullptr), S_OK);
    sink->Behaviour().receiveResult = S_FALSE;
    ASSERT_EQ(source->Pause(), S_OK);
    EXPECT_EQ(pin->Disconnect(), VFW_E_NOT_STOPPED);
    ASSERT_EQ(source->Stop(), S_OK);
    EXPECT_EQ(pin->Disconnect(), S_OK);
    EXPECT_EQ(pin->Disconnect(), S_FALSE);
}

TEST_F(Negotiation, DownstreamAllocatorIsUsedWhenItOffersOne)
{
    SinkBehaviour sinkBehaviour;
    sinkBehaviour.offered = {TypeWithMajor(MEDIATYPE_Stream)};
    sinkBehaviour.ownAllocator = true;
    sinkBehaviour.statesRequirements = true;
    sinkBehaviour.requirements = {4, 1000, 0, 0};  // alignment 0: none required
    SourcePinBehaviour pinBehaviour;
    pinBehaviour.check = [](const AM_MEDIA_TYPE&) { return S_OK; };
    Build(std::move(sinkBehaviour), std::move(pinBehaviour));

    ASSERT_EQ(pin->Connect(&sink->Pin(), nullptr), S_OK);
    EXPECT_EQ(pin->requestSeen.cBuffers, 4);
    EXPECT_EQ(pin->requestSeen.cbBuffer, 1000);
    EXPECT_EQ(pin->requestSeen.cbAlign, 1);
    ASSERT_TRUE(sink->Pin().ownAllocator);
    EXPECT_EQ(sink->Pin().notifiedAllocator.Get(), sink->Pin().ownAllocator.Get());
    EXPECT_EQ(pin->Allocator(), sink->Pin().ownAllocator.Get());
    EXPECT_EQ(sink->Pin().notifiedReadOnly, FALSE);
}

TEST_F(Negotiation, LayerCreatesAMemoryAllocatorWhenDownstreamHasNone)
{
    SinkBehaviour sinkBehaviour;
    sinkBehaviour.offered = {TypeWithMajor(MEDIATYPE_Stream)};
    SourcePinBehaviour pinBehaviour;
    pinBehaviour.check = [](const AM_MEDIA_TYPE&) { return S_OK; };
    Build(std::move(sinkBehaviour), std::move(pinBehaviour));

    ASSERT_EQ(pin->Connect(&sink->Pin(), nullptr), S_OK);
    EXPECT_EQ(pin->requestSeen.cbAlign, 1);  // the sink states nothing: zeroed, alignment 1
    EXPECT_EQ(pin->requestSeen.cBuffers, 0);
    ASSERT_TRUE(pin->Allocator());
    EXPECT_EQ(sink->Pin().notifiedAllocator.Get(), pin->Allocator());
    EXPECT_EQ(sink->Pin().notifiedReadOnly, FALSE);
}

TEST_F(Negotiation, AllocatorThatNobodySizedGetsOneBufferOfTheSampleSize)
{
    SinkBehaviour sinkBehaviour;
    MediaType offered = TypeWithMajor(MEDIATYPE_Stream);
    AM_MEDIA_TYPE raw = offered.Get();
    raw.lSampleSize = 188;
    offered.Set(raw);
    sinkBehaviour.offered = {offered};
    SourcePinBehaviour pinBehaviour;
    pinBehaviour.check = [](const AM_MEDIA_TYPE&) { return S_OK; };
    pinBehaviour.sizesAllocator = false;
    Build(std::move(sinkBehaviour), std::move(pinBehaviour));

    ASSERT_EQ(pin->Connect(&sink->Pin(), nullptr), S_OK);
    ALLOCATOR_PROPERTIES properties{};
    ASSERT_EQ(pin->Allocator()->GetProperties(&properties), S_OK);
    EXPECT_EQ(properties.cBuffers, 1);
    EXPECT_EQ(properties.cbBuffer, 188);
    EXPECT_EQ(properties.cbAlign, 1);
    // So that pausing the filter, which commits it, works.
    sink->Behaviour().receiveResult = S_FALSE;
    EXPECT_EQ(source->Pause(), S_OK);
    EXPECT_EQ(source->Stop(), S_OK);
}

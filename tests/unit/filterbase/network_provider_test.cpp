// The private network provider: its fixed answers, and its life in a real filter graph
// connected to a pin that behaves like a tuner's antenna input.
#include <string>

#include "com_test.h"
#include "graph/filterbase/network_provider.h"
#include "graph/filterbase/pin_bidon.h"
#include "test_sink.h"

// After the platform headers, which it needs.
#include <bdamedia.h>

namespace {

const CLSID kProviderClass = {0x00000001, 0x0002, 0x0003, {0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B}};

class NetworkProvider : public ComTest {};

std::wstring IdOf(IPin* pin)
{
    LPWSTR id = nullptr;
    if (FAILED(pin->QueryId(&id))) return L"?";
    std::wstring text(id);
    CoTaskMemFree(id);
    return text;
}

}  // namespace

TEST_F(NetworkProvider, IdentityAndSinglePin)
{
    long live = CBaseObject::LiveObjects();
    auto* provider = new CNetworkProvider;
    EXPECT_EQ(provider->AddRef(), 1u);  // the first reference is whoever takes it

    CLSID id{};
    ASSERT_EQ(provider->GetClassID(&id), S_OK);
    EXPECT_EQ(id, kProviderClass);
    EXPECT_EQ(std::wstring(provider->ObjectName()), L"Mon network provider");

    EXPECT_EQ(provider->GetPinCount(), 1);
    CBasePin* pin = provider->GetPin(0);
    ASSERT_NE(pin, nullptr);
    EXPECT_EQ(provider->GetPin(1), nullptr);
    EXPECT_EQ(provider->GetPin(-1), nullptr);
    EXPECT_EQ(std::wstring(pin->ObjectName()), L"pin bidon");
    EXPECT_EQ(pin->PinName(), L"Pipin");
    EXPECT_EQ(IdOf(pin), L"1");
    PIN_DIRECTION direction;
    ASSERT_EQ(pin->QueryDirection(&direction), S_OK);
    EXPECT_EQ(direction, PINDIR_OUTPUT);

    ComPtr<IAMovieSetup> setup;
    ASSERT_EQ(provider->QueryInterface(IID_IAMovieSetup, setup.PutVoid()), S_OK);
    EXPECT_EQ(setup->Register(), S_FALSE);
    setup.Reset();

    EXPECT_EQ(provider->Release(), 0u);
    EXPECT_EQ(CBaseObject::LiveObjects(), live);  // filter and pin both gone
}

TEST_F(NetworkProvider, AcceptsAnyAntennaTypeAndOffersExactlyOne)
{
    auto* provider = new CNetworkProvider;
    ComPtr<IBaseFilter> holder = ComPtr<IBaseFilter>::Share(provider);
    CBasePin* pin = provider->GetPin(0);

    MediaType antenna = TypeWithMajor(KSDATAFORMAT_TYPE_BDA_ANTENNA, MEDIASUBTYPE_MPEG2_TRANSPORT);
    AM_MEDIA_TYPE withFormat = antenna.Get();
    BYTE block[4] = {1, 2, 3, 4};
    withFormat.formattype = FORMAT_VideoInfo;
    withFormat.cbFormat = sizeof block;
    withFormat.pbFormat = block;
    EXPECT_EQ(pin->CheckMediaType(&antenna.Get()), S_OK);
    EXPECT_EQ(pin->CheckMediaType(&withFormat), S_OK);
    EXPECT_EQ(pin->QueryAccept(&withFormat), S_OK);
    MediaType stream = TypeWithMajor(MEDIATYPE_Stream, MEDIASUBTYPE_MPEG2_TRANSPORT);
    EXPECT_EQ(pin->CheckMediaType(&stream.Get()), S_FALSE);
    EXPECT_EQ(pin->QueryAccept(&stream.Get()), S_FALSE);

    AM_MEDIA_TYPE type;
    ASSERT_EQ(pin->GetMediaType(0, &type), S_OK);
    EXPECT_EQ(type.majortype, KSDATAFORMAT_TYPE_BDA_ANTENNA);
    EXPECT_EQ(type.subtype, GUID_NULL);
    EXPECT_EQ(type.formattype, GUID_NULL);
    EXPECT_TRUE(type.bFixedSizeSamples);
    EXPECT_FALSE(type.bTemporalCompression);
    EXPECT_EQ(type.lSampleSize, 1u);
    EXPECT_EQ(type.cbFormat, 0u);
    EXPECT_EQ(type.pbFormat, nullptr);
    EXPECT_EQ(type.pUnk, nullptr);
    EXPECT_EQ(pin->GetMediaType(-1, &type), E_INVALIDARG);
    EXPECT_EQ(pin->GetMediaType(1, &type), VFW_S_NO_MORE_ITEMS);

    ComPtr<IEnumMediaTypes> types;
    ASSERT_EQ(pin->EnumMediaTypes(types.Put()), S_OK);
    AM_MEDIA_TYPE* got[2] = {};
    ULONG fetched = 0;
    EXPECT_EQ(types->Next(2, got, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 1u);
    EXPECT_EQ(got[0]->majortype, KSDATAFORMAT_TYPE_BDA_ANTENNA);
    DeleteMediaType(got[0]);
}

// The graph as the program builds it: the provider added as "Fake", its pin connected
// directly with no media type to the tuner's antenna input, the graph run and stopped,
// then released. Both ways the tuner may answer the allocator question are covered.
class ProviderInGraph : public ComTest, public ::testing::WithParamInterface<bool> {};

TEST_P(ProviderInGraph, ConnectsRunsStopsAndIsReleasedWithTheGraph)
{
    ComPtr<IGraphBuilder> graph;
    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                               graph.PutVoid()),
              S_OK);

    SinkBehaviour tunerInput;
    tunerInput.offered = {TypeWithMajor(KSDATAFORMAT_TYPE_BDA_ANTENNA)};
    tunerInput.accept = [](const AM_MEDIA_TYPE& type) {
        return type.majortype == KSDATAFORMAT_TYPE_BDA_ANTENNA ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    };
    tunerInput.ownAllocator = GetParam();
    tunerInput.receiveResult = S_FALSE;
    auto tuner = MakeComObject<TestSinkFilter>(std::move(tunerInput));
    const long live = CBaseObject::LiveObjects();  // the test's tuner outlives the graph

    auto* provider = new CNetworkProvider;
    ASSERT_EQ(graph->AddFilter(provider, L"Fake"), S_OK);  // the graph's reference is the only one
    ASSERT_EQ(graph->AddFilter(tuner.Get(), L"Tuner"), S_OK);
    FILTER_INFO info{};
    ASSERT_EQ(provider->QueryFilterInfo(&info), S_OK);
    EXPECT_EQ(std::wstring(info.achName), L"Fake");
    EXPECT_NE(info.pGraph, nullptr);
    if (info.pGraph) info.pGraph->Release();

    CBasePin* output = provider->GetPin(0);
    ASSERT_EQ(graph->ConnectDirect(output, &tuner->Pin(), nullptr), S_OK);
    ASSERT_EQ(tuner->Pin().proposed.size(), 1u);
    EXPECT_EQ(tuner->Pin().proposed[0].Get().majortype, KSDATAFORMAT_TYPE_BDA_ANTENNA);
    EXPECT_EQ(tuner->Pin().notifiedAllocator.Get(), static_cast<CBaseOutputPin*>(output)->Allocator());

    auto references = [&] {
        ULONG count = provider->AddRef();
        provider->Release();
        return count - 1;
    };
    const ULONG connectedReferences = references();  // the graph's, and the tuner pin's on our pin
    const std::set<DWORD> before = ProcessThreads();
    ComPtr<IMediaControl> control;
    ASSERT_EQ(graph.As(IID_IMediaControl, control), S_OK);
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    ASSERT_TRUE(Eventually([&] { return tuner->Pin().received > 0; }));
    Sleep(50);
    EXPECT_EQ(tuner->Pin().received, 1);  // the refusal ends the delivery loop at once
    const DWORD worker = tuner->Pin().receivingThread;
    EXPECT_EQ(before.count(worker), 0u);
    EXPECT_EQ(tuner->State(), State_Running);

    ASSERT_EQ(control->Stop(), S_OK);
    EXPECT_TRUE(ThreadEnded(worker));
    EXPECT_EQ(tuner->State(), State_Stopped);
    EXPECT_EQ(references(), connectedReferences);

    // The graph can be run again, with a new worker.
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    ASSERT_TRUE(Eventually([&] { return tuner->Pin().received == 2; }));
    const DWORD secondWorker = tuner->Pin().receivingThread;
    ASSERT_EQ(control->Stop(), S_OK);
    EXPECT_TRUE(ThreadEnded(secondWorker));
    EXPECT_EQ(references(), connectedReferences);

    // Released with the graph: the provider's last reference goes with it.
    control.Reset();
    graph.Reset();
    EXPECT_EQ(CBaseObject::LiveObjects(), live);
    EXPECT_FALSE(tuner->Pin().connected);
    EXPECT_EQ(tuner->AddRef(), 2u);  // the graph let go of the tuner too
    tuner->Release();
}

INSTANTIATE_TEST_SUITE_P(TunerAllocator, ProviderInGraph, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "TunerOffersAllocator" : "TunerOffersNone");
                         });

namespace {

// A graph of the provider and a test antenna pin of the given behaviour, running.
struct RunningProvider {
    explicit RunningProvider(SinkBehaviour behaviour)
    {
        CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, graph.PutVoid());
        behaviour.offered = {TypeWithMajor(KSDATAFORMAT_TYPE_BDA_ANTENNA)};
        tuner = MakeComObject<TestSinkFilter>(std::move(behaviour));
        provider = new CNetworkProvider;
        graph->AddFilter(provider, L"Fake");
        graph->AddFilter(tuner.Get(), L"Tuner");
        graph->ConnectDirect(provider->GetPin(0), &tuner->Pin(), nullptr);
        graph.As(IID_IMediaControl, control);
    }
    ~RunningProvider()
    {
        if (control) control->Stop();
    }

    ComPtr<IGraphBuilder> graph;
    ComPtr<TestSinkFilter> tuner;
    CNetworkProvider* provider = nullptr;  // the graph's
    ComPtr<IMediaControl> control;
};

// CPU time a thread has used, in milliseconds.
double ThreadCpuMs(DWORD id)
{
    HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, id);
    if (!thread) return 0;
    FILETIME created, ended, kernel, user;
    double ms = 0;
    if (GetThreadTimes(thread, &created, &ended, &kernel, &user)) {
        auto toMs = [](const FILETIME& t) {
            return double((ULONGLONG(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
        };
        ms = toMs(kernel) + toMs(user);
    }
    CloseHandle(thread);
    return ms;
}

}  // namespace

// A kernel-streaming antenna pin may take every buffer at once: the worker must not
// turn that into a busy loop for as long as the graph runs.
TEST_F(NetworkProvider, AnAcceptingAntennaPinGetsOneBufferAndTheWorkerSleeps)
{
    SinkBehaviour accepting;
    accepting.receiveResult = S_OK;
    RunningProvider running(std::move(accepting));
    ASSERT_TRUE(running.control);
    ASSERT_TRUE(SUCCEEDED(running.control->Run()));
    ASSERT_TRUE(Eventually([&] { return running.tuner->Pin().received > 0; }));
    const DWORD worker = running.tuner->Pin().receivingThread;
    const double before = ThreadCpuMs(worker);
    Sleep(300);
    EXPECT_EQ(running.tuner->Pin().received, 1);
    EXPECT_LT(ThreadCpuMs(worker) - before, 20.0);
    EXPECT_EQ(running.control->Stop(), S_OK);
    EXPECT_TRUE(ThreadEnded(worker));
}

// A pin that holds the buffer until it is flushed or stopped: the provider's own stop
// (which may come before the tuner's) flushes it rather than waiting for ever.
TEST_F(NetworkProvider, StoppingReleasesAnAntennaPinThatBlocks)
{
    SinkBehaviour blocking;
    blocking.blocks = true;
    blocking.receiveResult = S_OK;
    RunningProvider running(std::move(blocking));
    ASSERT_TRUE(running.control);
    ASSERT_TRUE(SUCCEEDED(running.control->Run()));
    ASSERT_TRUE(Eventually([&] { return running.tuner->Pin().received > 0; }));
    const DWORD worker = running.tuner->Pin().receivingThread;

    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(running.provider->Stop(), S_OK);
    EXPECT_LT(GetTickCount64() - start, 100u);
    EXPECT_TRUE(ThreadEnded(worker));
}

// A BDA driver registers its filter with the provider upstream, perhaps more than once.
TEST_F(NetworkProvider, KeepsAccountOfDeviceFilters)
{
    auto* provider = new CNetworkProvider;
    ComPtr<IBaseFilter> holder = ComPtr<IBaseFilter>::Share(provider);
    ComPtr<IBDA_NetworkProvider> bda;
    ASSERT_EQ(holder.As(IID_IBDA_NetworkProvider, bda), S_OK);
    auto tuner = MakeComObject<TestSinkFilter>(SinkBehaviour{});
    auto receiver = MakeComObject<TestSinkFilter>(SinkBehaviour{});
    ULONG first = 0, second = 0, again = 0;
    ASSERT_EQ(bda->RegisterDeviceFilter(tuner.Get(), &first), S_OK);
    ASSERT_EQ(bda->RegisterDeviceFilter(receiver.Get(), &second), S_OK);
    ASSERT_EQ(bda->RegisterDeviceFilter(tuner.Get(), &again), S_OK);
    EXPECT_TRUE(first != 0 && first != second && again == first);
    EXPECT_EQ(bda->UnRegisterDeviceFilter(first), S_OK);
    EXPECT_EQ(bda->UnRegisterDeviceFilter(first), E_INVALIDARG);
    EXPECT_EQ(provider->RegisteredDeviceCount(), 1u);
}

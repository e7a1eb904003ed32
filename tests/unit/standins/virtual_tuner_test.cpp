// The virtual tuner in a real filter graph: BDA controls, signal, trace and streaming.
#include <windows.h>
#include <dshow.h>
#include <qedit.h>
#include <bdatypes.h>
#include <bdaiface.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "graph/devices.h"
#include "graph/filterbase/com_object.h"
#include "graph/filterbase/network_provider.h"
#include "standins/catalogue.h"
#include "standins/decoders/decoder_registration.h"
#include "tests/unit/standins/standins_environment.h"
#include "tests/support/packets.h"

#include "graph/media_framework.h"
EXTERN_C const CLSID CLSID_NullRenderer;

using ::testing::ElementsAre;
namespace names = standin_names;

namespace {

const auto* const environment = ::testing::AddGlobalTestEnvironment(new standins_test::StandinsEnvironment);

constexpr ULONG kWithFile = 474166;
constexpr ULONG kOtherFile = 482000;
constexpr ULONG kNoFile = 490000;

std::wstring TempFolder()
{
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    std::wstring folder = std::wstring(base) + L"brisome-standins-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

void WriteBytes(const std::wstring& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> ReadLines(const std::wstring& path)
{
    std::ifstream in{std::filesystem::path(path)};
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

ComPtr<IBaseFilter> Device(const GUID& category, const wchar_t* name)
{
    ComPtr<IBaseFilter> filter = FindDeviceByName(category, name);
    EXPECT_TRUE(filter) << "stand-in device not registered";
    return filter;
}

ComPtr<IBaseFilter> Tuner(const wchar_t* name) { return Device(KSCATEGORY_BDA_NETWORK_TUNER, name); }

// The first control node between pins 0 and 1 whose type offers `iid`, as the graph
// build looks for it.
template <class T>
ComPtr<T> FindNode(IBaseFilter* tuner, const IID& iid)
{
    ComPtr<IBDA_Topology> topology;
    if (FAILED(tuner->QueryInterface(IID_IBDA_Topology, topology.PutVoid()))) return {};
    ULONG types[32];
    ULONG typeCount = 0;
    if (topology->GetNodeTypes(&typeCount, 32, types) != S_OK) return {};
    for (ULONG i = 0; i < typeCount; ++i) {
        GUID interfaces[32];
        ULONG interfaceCount = 0;
        if (topology->GetNodeInterfaces(types[i], &interfaceCount, 32, interfaces) != S_OK) continue;
        for (ULONG k = 0; k < interfaceCount; ++k) {
            if (interfaces[k] != iid) continue;
            ComPtr<IUnknown> node;
            if (FAILED(topology->GetControlNode(0, 1, types[i], node.Put()))) continue;
            ComPtr<T> result;
            if (SUCCEEDED(node->QueryInterface(iid, result.PutVoid()))) return result;
        }
    }
    return {};
}

HRESULT Tune(IBaseFilter* tuner, ULONG kHz)
{
    ComPtr<IBDA_DeviceControl> control;
    tuner->QueryInterface(IID_IBDA_DeviceControl, control.PutVoid());
    ComPtr<IBDA_FrequencyFilter> frequency = FindNode<IBDA_FrequencyFilter>(tuner, IID_IBDA_FrequencyFilter);
    if (!control || !frequency) return E_NOINTERFACE;
    control->StartChanges();
    frequency->put_Bandwidth(8);
    frequency->put_Frequency(kHz);
    control->CheckChanges();
    return control->CommitChanges();
}

struct Signal {
    BOOLEAN locked = 2;
    BOOLEAN present = 2;
    LONG quality = -1;
    LONG strength = 1;
};

Signal ReadSignal(IBaseFilter* tuner)
{
    Signal signal;
    auto statistics = FindNode<IBDA_SignalStatistics>(tuner, IID_IBDA_SignalStatistics);
    if (!statistics) return signal;
    statistics->get_SignalLocked(&signal.locked);
    statistics->get_SignalPresent(&signal.present);
    statistics->get_SignalQuality(&signal.quality);
    statistics->get_SignalStrength(&signal.strength);
    return signal;
}

// Collects what reaches the sample grabber, on the streaming thread.
class Collector : public ComObject<Implements<ISampleGrabberCB, IID_ISampleGrabberCB>> {
public:
    Collector() : ComObject(L"Collector") {}

    HRESULT STDMETHODCALLTYPE SampleCB(double, IMediaSample* sample) override
    {
        BYTE* data = nullptr;
        sample->GetPointer(&data);
        const long length = sample->GetActualDataLength();
        std::lock_guard<std::mutex> lock(mutex_);
        if (length % 188 != 0 || (length > 0 && data[0] != 0x47)) ++brokenSamples_;
        bytes_.insert(bytes_.end(), data, data + length);
        arrivals_.push_back({GetTickCount64(), bytes_.size()});
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE BufferCB(double, BYTE*, long) override { return E_NOTIMPL; }

    std::vector<std::uint8_t> Bytes()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return bytes_;
    }
    std::size_t Size()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return bytes_.size();
    }
    int BrokenSamples()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return brokenSamples_;
    }
    // Milliseconds from the first sample until `size` bytes had arrived; -1 if they never did.
    long long MillisecondsUntil(std::size_t size)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const auto& arrival : arrivals_) {
            if (arrival.total >= size) return static_cast<long long>(arrival.tick - arrivals_.front().tick);
        }
        return -1;
    }

private:
    struct Arrival {
        ULONGLONG tick;
        std::size_t total;
    };
    std::mutex mutex_;
    std::vector<std::uint8_t> bytes_;
    std::vector<Arrival> arrivals_;
    int brokenSamples_ = 0;
};

// device chain -> sample grabber -> null renderer.
class Graph {
public:
    explicit Graph(std::vector<ComPtr<IBaseFilter>> chain) : chain_(std::move(chain))
    {
        CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, graph_.PutVoid());
        CoCreateInstance(CLSID_SampleGrabber, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, grabber_.PutVoid());
        CoCreateInstance(CLSID_NullRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, renderer_.PutVoid());
    }
    ~Graph()
    {
        if (control_) control_->Stop();
        if (grabberControl_) grabberControl_->SetCallback(nullptr, 0);
    }

    HRESULT Build(Collector* collector)
    {
        if (!graph_ || !grabber_ || !renderer_) return E_FAIL;
        int index = 0;
        for (auto& filter : chain_) graph_->AddFilter(filter.Get(), (L"device " + std::to_wstring(index++)).c_str());
        graph_->AddFilter(grabber_.Get(), L"Grabber");
        graph_->AddFilter(renderer_.Get(), L"Null");
        std::vector<IBaseFilter*> order;
        for (auto& filter : chain_) order.push_back(filter.Get());
        order.push_back(grabber_.Get());
        order.push_back(renderer_.Get());
        for (std::size_t i = 0; i + 1 < order.size(); ++i) {
            ComPtr<IPin> out = FindFreePin(order[i], PINDIR_OUTPUT);
            ComPtr<IPin> in = FindFreePin(order[i + 1], PINDIR_INPUT);
            if (!out || !in) return E_FAIL;
            HRESULT hr = graph_->ConnectDirect(out.Get(), in.Get(), nullptr);
            if (FAILED(hr)) return hr;
        }
        HRESULT hr = grabber_->QueryInterface(IID_ISampleGrabber, grabberControl_.PutVoid());
        if (SUCCEEDED(hr)) hr = grabberControl_->SetCallback(collector, 0);
        if (SUCCEEDED(hr)) hr = graph_->QueryInterface(IID_IMediaControl, control_.PutVoid());
        return hr;
    }
    IGraphBuilder* Get() const { return graph_.Get(); }
    HRESULT Run() { return control_->Run(); }
    HRESULT Stop() { return control_->Stop(); }

private:
    std::vector<ComPtr<IBaseFilter>> chain_;
    ComPtr<IGraphBuilder> graph_;
    ComPtr<IBaseFilter> grabber_;
    ComPtr<IBaseFilter> renderer_;
    ComPtr<ISampleGrabber> grabberControl_;
    ComPtr<IMediaControl> control_;
};

bool WaitFor(const std::function<bool()>& done, int milliseconds)
{
    for (int waited = 0; waited < milliseconds; waited += 10) {
        if (done()) return true;
        Sleep(10);
    }
    return done();
}

class VirtualTunerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = TempFolder();
        tracePath_ = folder_ + L"\\trace.txt";
        DeleteFileW(tracePath_.c_str());
        SetEnvironmentVariableW(L"BRISOME_BROADCAST_DIR", folder_.c_str());
        SetEnvironmentVariableW(L"BRISOME_STANDIN_TRACE", tracePath_.c_str());
        // About 1 Mbit/s: 20 packets every 30 ms, for 27 intervals (0.81 s).
        broadcast_ = tstest::PcrStream(0x100, 28, 20, 810'000);
        WriteBytes(BroadcastFile(kWithFile), broadcast_);
        other_ = tstest::PcrStream(0x200, 10, 5, 810'000);
        WriteBytes(BroadcastFile(kOtherFile), other_);
        DeleteFileW(BroadcastFile(kNoFile).c_str());
    }
    void TearDown() override
    {
        SetEnvironmentVariableW(L"BRISOME_STANDIN_TRACE", nullptr);
        DeleteFileW(tracePath_.c_str());
        DeleteFileW(BroadcastFile(kWithFile).c_str());
        DeleteFileW(BroadcastFile(kOtherFile).c_str());
        RemoveDirectoryW(folder_.c_str());
    }
    std::wstring BroadcastFile(ULONG kHz) const { return folder_ + L"\\" + std::to_wstring(kHz) + L".ts"; }

    std::wstring folder_;
    std::wstring tracePath_;
    std::vector<std::uint8_t> broadcast_;
    std::vector<std::uint8_t> other_;
};

TEST_F(VirtualTunerTest, EachVariantOffersOnlyItsOwnControls)
{
    struct Case {
        const wchar_t* name;
        bool control, frequency, statistics;
    } cases[] = {
        {names::kTuner, true, true, true},
        {names::kPairTuner, true, true, true},
        {names::kTunerNoControl, false, true, true},
        {names::kTunerNoFrequency, true, false, true},
        {names::kTunerNoStatistics, true, true, false},
    };
    for (const Case& c : cases) {
        ComPtr<IBaseFilter> tuner = Tuner(c.name);
        ASSERT_TRUE(tuner);
        ComPtr<IBDA_DeviceControl> control;
        tuner->QueryInterface(IID_IBDA_DeviceControl, control.PutVoid());
        EXPECT_EQ(static_cast<bool>(control), c.control);
        EXPECT_EQ(static_cast<bool>(FindNode<IBDA_FrequencyFilter>(tuner.Get(), IID_IBDA_FrequencyFilter)),
                  c.frequency);
        EXPECT_EQ(static_cast<bool>(FindNode<IBDA_SignalStatistics>(tuner.Get(), IID_IBDA_SignalStatistics)),
                  c.statistics);
    }
}

TEST_F(VirtualTunerTest, ControlNodesLiveOnlyBetweenPins0And1)
{
    ComPtr<IBaseFilter> tuner = Tuner(names::kTuner);
    ComPtr<IBDA_Topology> topology;
    ASSERT_EQ(tuner->QueryInterface(IID_IBDA_Topology, topology.PutVoid()), S_OK);
    ComPtr<IUnknown> node;
    EXPECT_TRUE(FAILED(topology->GetControlNode(1, 0, 0, node.Put())));
    EXPECT_FALSE(node);
    EXPECT_TRUE(FAILED(topology->GetControlNode(0, 1, 7, node.Put())));
    ULONG count = 0;
    ULONG types[1];
    EXPECT_NE(topology->GetNodeTypes(&count, 1, types), S_OK);  // no room for both types
    EXPECT_EQ(count, 2u);
}

TEST_F(VirtualTunerTest, SignalFollowsTheCommittedFrequency)
{
    ComPtr<IBaseFilter> tuner = Tuner(names::kTuner);
    ASSERT_TRUE(tuner);
    EXPECT_FALSE(ReadSignal(tuner.Get()).locked);

    ASSERT_EQ(Tune(tuner.Get(), kWithFile), S_OK);
    Signal signal = ReadSignal(tuner.Get());
    EXPECT_TRUE(signal.locked);
    EXPECT_TRUE(signal.present);
    EXPECT_EQ(signal.quality, 92);
    EXPECT_EQ(signal.strength, -38);

    // A frequency written but not committed changes nothing yet.
    auto frequency = FindNode<IBDA_FrequencyFilter>(tuner.Get(), IID_IBDA_FrequencyFilter);
    frequency->put_Frequency(kNoFile);
    EXPECT_TRUE(ReadSignal(tuner.Get()).locked);

    ASSERT_EQ(Tune(tuner.Get(), kNoFile), S_OK);
    signal = ReadSignal(tuner.Get());
    EXPECT_FALSE(signal.locked);
    EXPECT_FALSE(signal.present);
    EXPECT_EQ(signal.quality, 0);
    EXPECT_EQ(signal.strength, -95);
}

TEST_F(VirtualTunerTest, TraceHoldsEveryTuningCallAndStateChange)
{
    ComPtr<IBaseFilter> tuner = Tuner(names::kTuner);
    auto collector = MakeComObject<Collector>();
    Graph graph({tuner});
    ASSERT_EQ(graph.Build(collector.Get()), S_OK);
    ASSERT_EQ(Tune(tuner.Get(), kWithFile), S_OK);
    ASSERT_TRUE(SUCCEEDED(graph.Run()));
    // The graph runs its filters once the renderer has its first sample.
    ASSERT_TRUE(WaitFor([&] { return collector->Size() > 0; }, 2000));
    Sleep(100);
    ASSERT_EQ(graph.Stop(), S_OK);
    ReadSignal(tuner.Get());  // reading the statistics is not traced

    // The graph pauses its filters before running them, and again before stopping them.
    EXPECT_THAT(ReadLines(tracePath_),
                ElementsAre("StartChanges", "put_Bandwidth 8", "put_Frequency 474166", "CheckChanges",
                            "CommitChanges", "Pause", "Run", "Pause", "Stop"));
}

TEST_F(VirtualTunerTest, DeliversTheBroadcastInWholePacketsAtItsBitRateAndLoops)
{
    ComPtr<IBaseFilter> tuner = Tuner(names::kTuner);
    auto collector = MakeComObject<Collector>();
    Graph graph({tuner});
    ASSERT_EQ(graph.Build(collector.Get()), S_OK);
    ASSERT_EQ(Tune(tuner.Get(), kWithFile), S_OK);
    ASSERT_TRUE(SUCCEEDED(graph.Run()));
    const std::size_t size = broadcast_.size();
    ASSERT_TRUE(WaitFor([&] { return collector->Size() >= 2 * size; }, 5000)) << collector->Size();
    graph.Stop();

    const std::vector<std::uint8_t> bytes = collector->Bytes();
    EXPECT_TRUE(std::equal(broadcast_.begin(), broadcast_.end(), bytes.begin()));
    EXPECT_TRUE(std::equal(broadcast_.begin(), broadcast_.end(), bytes.begin() + static_cast<std::ptrdiff_t>(size)));
    EXPECT_EQ(collector->BrokenSamples(), 0);
    // The last PCR of the file is 810 ms after its first.
    const long long elapsed = collector->MillisecondsUntil(size);
    RecordProperty("milliseconds_for_one_pass", static_cast<int>(elapsed));
    EXPECT_GE(elapsed, 700);
    EXPECT_LE(elapsed, 1000);
}

TEST_F(VirtualTunerTest, RetuningSwitchesToTheNewBroadcast)
{
    ComPtr<IBaseFilter> tuner = Tuner(names::kTuner);
    auto collector = MakeComObject<Collector>();
    Graph graph({tuner});
    ASSERT_EQ(graph.Build(collector.Get()), S_OK);
    ASSERT_EQ(Tune(tuner.Get(), kWithFile), S_OK);
    ASSERT_TRUE(SUCCEEDED(graph.Run()));
    ASSERT_TRUE(WaitFor([&] { return collector->Size() > 0; }, 2000));
    ASSERT_EQ(Tune(tuner.Get(), kOtherFile), S_OK);
    const std::size_t before = collector->Size();
    ASSERT_TRUE(WaitFor([&] { return collector->Size() >= before + 2 * other_.size(); }, 3000));
    graph.Stop();

    // Once the tuner has moved, only packets of the other multiplex (PID 0x200) arrive.
    const std::vector<std::uint8_t> bytes = collector->Bytes();
    const std::size_t last = bytes.size() - 188;
    EXPECT_EQ(bytes[last + 1] & 0x1F, 0x02);
    EXPECT_EQ(bytes[last + 2], 0x00);
}

TEST_F(VirtualTunerTest, NothingArrivesWithoutABroadcast)
{
    ComPtr<IBaseFilter> tuner = Tuner(names::kTuner);
    auto collector = MakeComObject<Collector>();
    Graph graph({tuner});
    ASSERT_EQ(graph.Build(collector.Get()), S_OK);
    ASSERT_TRUE(SUCCEEDED(graph.Run()));
    Sleep(200);  // not tuned at all
    ASSERT_EQ(Tune(tuner.Get(), kNoFile), S_OK);
    Sleep(300);
    graph.Stop();
    EXPECT_EQ(collector->Size(), 0u);
    EXPECT_FALSE(ReadSignal(tuner.Get()).locked);
}

TEST_F(VirtualTunerTest, PairDeliversThroughItsReceiver)
{
    ComPtr<IBaseFilter> tuner = Tuner(names::kPairTuner);
    ComPtr<IBaseFilter> receiver = Device(KSCATEGORY_BDA_RECEIVER_COMPONENT, names::kReceiver);
    auto collector = MakeComObject<Collector>();
    Graph graph({tuner, receiver});
    ASSERT_EQ(graph.Build(collector.Get()), S_OK);
    ASSERT_EQ(Tune(tuner.Get(), kWithFile), S_OK);
    ASSERT_TRUE(SUCCEEDED(graph.Run()));
    ASSERT_TRUE(WaitFor([&] { return collector->Size() >= broadcast_.size(); }, 3000));
    graph.Stop();
    const std::vector<std::uint8_t> bytes = collector->Bytes();
    EXPECT_TRUE(std::equal(broadcast_.begin(), broadcast_.end(), bytes.begin()));
    EXPECT_EQ(collector->BrokenSamples(), 0);
}

TEST_F(VirtualTunerTest, AntennaTakesTheNetworkProviderAndRefusesItsSamples)
{
    ComPtr<IBaseFilter> tuner = Tuner(names::kTuner);
    ComPtr<IPin> antenna = FindFreePin(tuner.Get(), PINDIR_INPUT);
    ASSERT_TRUE(antenna);
    ComPtr<IMemInputPin> input;
    ASSERT_EQ(antenna->QueryInterface(IID_IMemInputPin, input.PutVoid()), S_OK);
    EXPECT_EQ(input->Receive(nullptr), S_FALSE);

    auto collector = MakeComObject<Collector>();
    Graph graph({tuner});
    ASSERT_EQ(graph.Build(collector.Get()), S_OK);
    auto* provider = new CNetworkProvider();
    ASSERT_EQ(graph.Get()->AddFilter(provider, L"Fake"), S_OK);
    ComPtr<IPin> providerPin = FindFreePin(provider, PINDIR_OUTPUT);
    ASSERT_EQ(graph.Get()->ConnectDirect(providerPin.Get(), antenna.Get(), nullptr), S_OK);
    ASSERT_EQ(Tune(tuner.Get(), kWithFile), S_OK);
    ASSERT_TRUE(SUCCEEDED(graph.Run()));
    ASSERT_TRUE(WaitFor([&] { return collector->Size() > 0; }, 2000));
    EXPECT_EQ(graph.Stop(), S_OK);
}

// ---- the strict switches (BRISOME_STANDINS), read as each stand-in is created

class StrictTunerTest : public VirtualTunerTest {
protected:
    void Switch(const char* switches) { SetEnvironmentVariableA("BRISOME_STANDINS", switches); }
    void TearDown() override
    {
        SetEnvironmentVariableA("BRISOME_STANDINS", nullptr);
        VirtualTunerTest::TearDown();
    }
    static int PinCount(IBaseFilter* filter)
    {
        ComPtr<IEnumPins> pins;
        if (FAILED(filter->EnumPins(pins.Put()))) return -1;
        int count = 0;
        ComPtr<IPin> pin;
        while (pins->Next(1, pin.Put(), nullptr) == S_OK) ++count;
        return count;
    }
    bool TraceHas(const std::string& line) const
    {
        const std::vector<std::string> lines = ReadLines(tracePath_);
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
};

TEST_F(StrictTunerTest, LazyPinsShowTheOutputOnlyOnceTheTopologyCreatesAndJoinsIt)
{
    Switch("lazy-pins");
    ComPtr<IBaseFilter> tuner = Tuner(names::kTuner);
    ComPtr<IBDA_Topology> topology;
    ASSERT_EQ(tuner->QueryInterface(IID_IBDA_Topology, topology.PutVoid()), S_OK);
    EXPECT_EQ(PinCount(tuner.Get()), 1) << "only the antenna";
    ComPtr<IUnknown> node;
    EXPECT_EQ(topology->GetControlNode(0, 1, 0, node.Put()), E_INVALIDARG) << "no topology yet";

    // What a program needs to find the pin to create: the output pin type ends the
    // template's last connection.
    ULONG types[4];
    ULONG typeCount = 0;
    ASSERT_EQ(topology->GetPinTypes(&typeCount, 4, types), S_OK);
    EXPECT_EQ(typeCount, 2u);
    BDA_TEMPLATE_CONNECTION connections[8];
    ULONG connectionCount = 0;
    ASSERT_EQ(topology->GetTemplateConnections(&connectionCount, 8, connections), S_OK);
    ASSERT_GE(connectionCount, 1u);
    EXPECT_EQ(connections[0].FromNodeType, static_cast<ULONG>(-1));
    EXPECT_EQ(connections[connectionCount - 1].ToNodeType, static_cast<ULONG>(-1));
    const ULONG outputType = connections[connectionCount - 1].ToNodePinType;

    ULONG outputId = 99;
    ASSERT_EQ(topology->CreatePin(outputType, &outputId), S_OK);
    EXPECT_EQ(PinCount(tuner.Get()), 1) << "created but not joined";
    EXPECT_EQ(topology->CreateTopology(0, outputId + 1), E_INVALIDARG);
    ASSERT_EQ(topology->CreateTopology(0, outputId), S_OK);
    EXPECT_EQ(PinCount(tuner.Get()), 2);
    EXPECT_EQ(topology->GetControlNode(0, outputId + 1, 0, node.Put()), E_INVALIDARG);
    EXPECT_EQ(Tune(tuner.Get(), kWithFile), S_OK) << "the nodes answer on the ids the topology gave";
    EXPECT_TRUE(TraceHas("CreatePin " + std::to_string(outputType)));
    EXPECT_TRUE(TraceHas("CreateTopology 0 " + std::to_string(outputId)));

    // Upstream, the tuner looks for a network provider to register with.
    auto collector = MakeComObject<Collector>();
    Graph graph({tuner});
    ASSERT_EQ(graph.Build(collector.Get()), S_OK);
    auto* provider = new CNetworkProvider();
    ASSERT_EQ(graph.Get()->AddFilter(provider, L"Fournisseur"), S_OK);
    ComPtr<IBDA_NetworkProvider> offers;
    provider->QueryInterface(IID_IBDA_NetworkProvider, offers.PutVoid());
    ComPtr<IPin> providerPin = FindFreePin(provider, PINDIR_OUTPUT);
    ComPtr<IPin> antenna = FindFreePin(tuner.Get(), PINDIR_INPUT);
    ASSERT_EQ(graph.Get()->ConnectDirect(providerPin.Get(), antenna.Get(), nullptr), S_OK);
    EXPECT_TRUE(TraceHas(offers ? "RegisterDeviceFilter yes" : "RegisterDeviceFilter no"));
}

TEST_F(StrictTunerTest, ASlowTunerLocksLateAndAForgetfulOneMustBeRetunedAfterAStop)
{
    Switch("slow-lock=400,forgetful");
    ComPtr<IBaseFilter> tuner = Tuner(names::kTuner);
    auto collector = MakeComObject<Collector>();
    Graph graph({tuner});
    ASSERT_EQ(graph.Build(collector.Get()), S_OK);
    ASSERT_TRUE(SUCCEEDED(graph.Run()));
    ASSERT_EQ(Tune(tuner.Get(), kWithFile), S_OK);
    const Signal early = ReadSignal(tuner.Get());
    EXPECT_TRUE(early.present);
    EXPECT_FALSE(early.locked);
    Sleep(250);
    EXPECT_EQ(collector->Size(), 0u) << "nothing before the lock";
    ASSERT_TRUE(WaitFor([&] { return collector->Size() > 0; }, 2000));
    EXPECT_TRUE(ReadSignal(tuner.Get()).locked);

    // Stopped, the tuner powers down: run again, it plays nothing until tuned again.
    graph.Stop();
    EXPECT_FALSE(ReadSignal(tuner.Get()).present);
    const std::size_t before = collector->Size();
    ASSERT_TRUE(SUCCEEDED(graph.Run()));
    Sleep(700);
    EXPECT_EQ(collector->Size(), before);
    ASSERT_EQ(Tune(tuner.Get(), kWithFile), S_OK);
    EXPECT_TRUE(WaitFor([&] { return collector->Size() > before; }, 2000));
}

TEST_F(StrictTunerTest, OddSamplesSplitPacketsButCarryTheSameBytes)
{
    for (const wchar_t* name : {names::kTuner, names::kPairTuner}) {
        SCOPED_TRACE(testing::Message() << (name == names::kTuner ? "tuner" : "tuner and receiver"));
        Switch("odd-samples");
        std::vector<ComPtr<IBaseFilter>> chain = {Tuner(name)};
        if (name == names::kPairTuner) chain.push_back(Device(KSCATEGORY_BDA_RECEIVER_COMPONENT, names::kReceiver));
        auto collector = MakeComObject<Collector>();
        Graph graph(chain);
        ASSERT_EQ(graph.Build(collector.Get()), S_OK);
        ASSERT_EQ(Tune(chain[0].Get(), kWithFile), S_OK);
        ASSERT_TRUE(SUCCEEDED(graph.Run()));
        ASSERT_TRUE(WaitFor([&] { return collector->Size() >= 2 * broadcast_.size(); }, 8000)) << collector->Size();
        graph.Stop();
        const std::vector<std::uint8_t> bytes = collector->Bytes();
        EXPECT_TRUE(std::equal(broadcast_.begin(), broadcast_.end(), bytes.begin()));
        EXPECT_GT(collector->BrokenSamples(), 0);
    }
}

TEST_F(StrictTunerTest, AnAntennaThatAcceptsOrBlocksFreesItsCallerWhenTheGraphStops)
{
    struct Case {
        const char* switches;
        bool blocks;
    };
    for (const Case& c : {Case{"accepting-antenna", false}, Case{"blocking-antenna", true}}) {
        SCOPED_TRACE(c.switches);
        Switch(c.switches);
        ComPtr<IBaseFilter> tuner = Tuner(names::kTuner);
        ComPtr<IPin> antenna = FindFreePin(tuner.Get(), PINDIR_INPUT);
        ComPtr<IMemInputPin> input;
        ASSERT_EQ(antenna->QueryInterface(IID_IMemInputPin, input.PutVoid()), S_OK);
        auto collector = MakeComObject<Collector>();
        Graph graph({tuner});
        ASSERT_EQ(graph.Build(collector.Get()), S_OK);
        ASSERT_TRUE(SUCCEEDED(graph.Run()));

        std::atomic<bool> returned{false};
        HRESULT answer = E_FAIL;
        std::thread caller([&] {
            answer = input->Receive(nullptr);
            returned = true;
        });
        Sleep(200);
        EXPECT_EQ(returned.load(), !c.blocks);
        const ULONGLONG stopping = GetTickCount64();
        graph.Stop();
        caller.join();
        EXPECT_LT(GetTickCount64() - stopping, 1000u);
        EXPECT_EQ(answer, c.blocks ? VFW_E_WRONG_STATE : S_OK);
    }
}

TEST_F(StrictTunerTest, WithdrawnFiltersCannotBeCreated)
{
    struct Case {
        const char* switches;
        const CLSID* classId;
    };
    const Case cases[] = {
        {"no-sections", &CLSID_Mpeg2Data},
        {"no-mpeg2-video", &standin::CLSID_StandinMpeg2VideoDecoder},
        {"no-ac3", &standin::CLSID_StandinAc3Decoder},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.switches);
        ComPtr<IBaseFilter> filter;
        Switch(c.switches);
        EXPECT_TRUE(FAILED(CoCreateInstance(*c.classId, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                            filter.PutVoid())));
        // The others stay: the MPEG audio decoder is never withdrawn.
        EXPECT_EQ(CoCreateInstance(standin::CLSID_StandinMpegAudioDecoder, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IBaseFilter, filter.PutVoid()),
                  S_OK);
        Switch("");
        EXPECT_EQ(CoCreateInstance(*c.classId, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, filter.PutVoid()), S_OK);
    }
}

}  // namespace

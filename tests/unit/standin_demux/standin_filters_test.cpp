// The two stand-ins in a Wine filter graph, fed through Wine's sample grabber.
#include <gtest/gtest.h>

#include <objbase.h>

#include <chrono>
#include <thread>

#include "graph/filterbase/base_object.h"
#include "graph_harness.h"

namespace {

using namespace tstest;

using namespace std::chrono_literals;

constexpr std::uint16_t kVideoPid = 0x100;
constexpr std::uint16_t kAudioPid = 0x101;
constexpr std::uint16_t kAc3Pid = 0x102;

class StandinFiltersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        live = CBaseObject::LiveObjects();
        graph = std::make_unique<DemuxGraph>();
        ASSERT_EQ(graph->Build(), S_OK);
    }
    void TearDown() override
    {
        graph.reset();
        // Filters, pins, enumerators, section lists and streams: none outlives the graph.
        EXPECT_EQ(CBaseObject::LiveObjects(), live);
        CoUninitialize();
    }
    static HRESULT Map(IMPEG2PIDMap* map, ULONG pid, MEDIA_SAMPLE_CONTENT content)
    {
        return map->MapPID(1, &pid, content);
    }
    // The PSI/SI a multiplex starts with.
    static Bytes Tables()
    {
        TsWriter ts;
        ts.Section(0x00, LongSection(0x00, 1, {0x01, 0x01, 0xE2, 0x00}));
        ts.Section(0x200, LongSection(0x02, 0x101, {0xE1, 0x00, 0xF0, 0x00, 0x02, 0xE1, 0x00, 0xF0, 0x00}));
        ts.Section(0x11, OneServiceSdt(1, 0x101, "Chaîne 1"));
        return ts.bytes();
    }
    // Waits until `done` holds, for up to five seconds.
    template <class Predicate>
    static bool Eventually(Predicate done)
    {
        const auto end = std::chrono::steady_clock::now() + 5s;
        while (!done()) {
            if (std::chrono::steady_clock::now() > end) return false;
            std::this_thread::sleep_for(10ms);
        }
        return true;
    }
    long live = 0;
    std::unique_ptr<DemuxGraph> graph;
};

TEST_F(StandinFiltersTest, MappedPidsGiveTheirPesPayloadsAndUnmappedOnesNothing)
{
    ASSERT_EQ(Map(graph->videoMap.Get(), kVideoPid, MEDIA_ELEMENTARY_STREAM), S_OK);
    ASSERT_EQ(Map(graph->audioMap.Get(), kAudioPid, MEDIA_ELEMENTARY_STREAM), S_OK);
    const Bytes picture1 = Pattern(20000, 1);
    const Bytes picture2 = Pattern(3000, 2);
    const Bytes sound = Pattern(1152, 3);
    TsWriter ts;
    ts.Pes(kVideoPid, 0xE0, picture1, 90000);
    ts.Pes(kAudioPid, 0xC0, sound, 90000);
    ts.Pes(kAc3Pid, 0xBD, Pattern(500, 4), 90000);
    ts.Pes(kVideoPid, 0xE0, picture2, 93600);
    Bytes stream = Tables();
    stream.insert(stream.end(), ts.bytes().begin(), ts.bytes().end());
    graph->Push(stream);
    ASSERT_TRUE(graph->Drain());

    ASSERT_TRUE(Eventually([&] { return graph->video->Joined().size() >= picture1.size() + picture2.size(); }));
    Bytes expected = picture1;
    expected.insert(expected.end(), picture2.begin(), picture2.end());
    EXPECT_EQ(graph->video->Joined(), expected);
    ASSERT_TRUE(Eventually([&] { return graph->audio->Joined().size() >= sound.size(); }));
    EXPECT_EQ(graph->audio->Joined(), sound);
    EXPECT_TRUE(graph->ac3->Samples().empty());

    // Unmapped, the video PID delivers nothing more.
    ULONG pid = kVideoPid;
    ASSERT_EQ(graph->videoMap->UnmapPID(1, &pid), S_OK);
    const std::size_t before = graph->video->Joined().size();
    TsWriter more;
    for (int i = 0; i < 200; ++i) more.SkipCounter(kVideoPid);
    more.Pes(kVideoPid, 0xE0, Pattern(100, 5));
    graph->Push(more.bytes());
    ASSERT_TRUE(graph->Drain());
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(graph->video->Joined().size(), before);
}

TEST_F(StandinFiltersTest, PidMapListsEveryMappingEightAtATime)
{
    std::vector<ULONG> pids;
    for (ULONG pid = 0x200; pid < 0x20B; ++pid) pids.push_back(pid);
    ASSERT_EQ(graph->videoMap->MapPID(static_cast<ULONG>(pids.size()), pids.data(), MEDIA_ELEMENTARY_STREAM), S_OK);
    ULONG bad[] = {0x300, 0x2000};
    EXPECT_EQ(graph->videoMap->MapPID(2, bad, MEDIA_ELEMENTARY_STREAM), E_INVALIDARG);

    ComPtr<IEnumPIDMap> list;
    ASSERT_EQ(graph->videoMap->EnumPIDMap(list.Put()), S_OK);
    PID_MAP entries[8];
    ULONG got = 0;
    ASSERT_EQ(list->Next(8, entries, &got), S_OK);
    ASSERT_EQ(got, 8u);
    EXPECT_EQ(entries[0].ulPID, 0x200u);
    EXPECT_EQ(entries[0].MediaSampleContent, MEDIA_ELEMENTARY_STREAM);
    EXPECT_EQ(entries[7].ulPID, 0x207u);
    ComPtr<IEnumPIDMap> copy;
    ASSERT_EQ(list->Clone(copy.Put()), S_OK);
    EXPECT_EQ(list->Next(8, entries, &got), S_FALSE);
    EXPECT_EQ(got, 3u);
    EXPECT_EQ(entries[2].ulPID, 0x20Au);
    EXPECT_EQ(copy->Skip(2), S_OK);
    EXPECT_EQ(copy->Next(1, entries, nullptr), S_OK);
    EXPECT_EQ(entries[0].ulPID, 0x20Au);
    list->Reset();
    EXPECT_EQ(list->Next(1, entries, &got), S_OK);
    EXPECT_EQ(entries[0].ulPID, 0x200u);

    // Unmapping what the first read gave leaves the rest, as channel changes expect.
    ULONG firstEight[8];
    for (int i = 0; i < 8; ++i) firstEight[i] = pids[static_cast<std::size_t>(i)];
    EXPECT_EQ(graph->videoMap->UnmapPID(8, firstEight), S_OK);
    ComPtr<IEnumPIDMap> rest;
    graph->videoMap->EnumPIDMap(rest.Put());
    EXPECT_EQ(rest->Next(8, entries, &got), S_FALSE);
    EXPECT_EQ(got, 3u);
    EXPECT_EQ(entries[0].ulPID, 0x208u);
    ComPtr<IEnumPIDMap> others;
    graph->audioMap->EnumPIDMap(others.Put());
    EXPECT_EQ(others->Next(8, entries, &got), S_FALSE);
    EXPECT_EQ(got, 0u);
}

TEST_F(StandinFiltersTest, GetSectionReturnsTheNextValidSectionAndTimesOutOnAnAbsentTable)
{
    const Bytes sdt = OneServiceSdt(1, 0x101, "Chaîne 1");
    Bytes damaged = OneServiceSdt(1, 0x102, "Chaîne 2");
    damaged[15] ^= 0x20;
    graph->Push(Tables());  // the SDT before the request must not answer it
    ASSERT_TRUE(graph->Drain());

    std::thread broadcaster([&] {
        std::this_thread::sleep_for(300ms);
        TsWriter ts;
        for (int i = 0; i < 5; ++i) ts.SkipCounter(0x11);
        ts.Section(0x11, damaged);
        ts.Section(0x11, sdt);
        graph->Push(ts.bytes());
    });
    ComPtr<ISectionList> list;
    const HRESULT hr = graph->mpeg2Data->GetSection(0x11, 0x42, nullptr, 5000, list.Put());
    broadcaster.join();
    ASSERT_EQ(hr, S_OK);
    WORD count = 0;
    EXPECT_EQ(list->GetNumberOfSections(&count), S_OK);
    EXPECT_EQ(count, 1);
    DWORD size = 0;
    PSECTION section = nullptr;
    ASSERT_EQ(list->GetSectionData(0, &size, &section), S_OK);
    ASSERT_EQ(size, sdt.size());
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(section);
    EXPECT_EQ(Bytes(bytes, bytes + size), sdt);
    PID pid = 0;
    TID tid = 0;
    list->GetProgramIdentifier(&pid);
    list->GetTableIdentifier(&tid);
    EXPECT_EQ(pid, 0x11);
    EXPECT_EQ(tid, 0x42);
    EXPECT_EQ(list->GetSectionData(1, &size, &section), E_INVALIDARG);

    // Once answered, the request no longer holds the PID on the demultiplexer.
    ComPtr<IEnumPIDMap> mapped;
    graph->dataMap->EnumPIDMap(mapped.Put());
    PID_MAP entry;
    ULONG got = 0;
    EXPECT_EQ(mapped->Next(1, &entry, &got), S_FALSE);

    const auto start = std::chrono::steady_clock::now();
    ComPtr<ISectionList> none;
    EXPECT_EQ(graph->mpeg2Data->GetSection(0x10, 0x40, nullptr, 400, none.Put()), MPEG2_E_SECTION_NOT_FOUND);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_FALSE(none);
    EXPECT_GE(waited, 390ms);
    EXPECT_LT(waited, 2000ms);
}

TEST_F(StandinFiltersTest, StreamOfSectionsFillsSuppliedBuffersAndSignalsOncePerSection)
{
    HANDLE ready = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    ComPtr<IMpeg2Stream> stream;
    ASSERT_EQ(graph->mpeg2Data->GetStreamOfSections(0x12, 0x4E, nullptr, ready, stream.Put()), S_OK);
    BYTE memory[2][4096];
    MPEG_STREAM_BUFFER buffers[2];
    for (int i = 0; i < 2; ++i) {
        buffers[i] = MPEG_STREAM_BUFFER{E_FAIL, 4096, 0, memory[i]};
        ASSERT_EQ(stream->SupplyDataBuffer(&buffers[i]), S_OK);
    }

    const Bytes first = LongSection(0x4E, 0x101, Pattern(120, 1));
    Bytes damaged = LongSection(0x4E, 0x102, Pattern(120, 2));
    damaged[30] ^= 0x01;
    const Bytes other = LongSection(0x4F, 0x103, Pattern(120, 3));
    const Bytes second = LongSection(0x4E, 0x104, Pattern(900, 4));
    TsWriter ts;
    ts.Section(0x12, first);
    graph->Push(ts.bytes());
    ASSERT_EQ(WaitForSingleObject(ready, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(buffers[0].hr, S_OK);
    ASSERT_EQ(buffers[0].dwSizeOfDataRead, first.size());
    EXPECT_EQ(Bytes(memory[0], memory[0] + first.size()), first);

    TsWriter next;
    for (int i = 0; i < 1; ++i) next.SkipCounter(0x12);
    next.Section(0x12, damaged);
    next.Section(0x12, other);
    graph->Push(next.bytes());
    ASSERT_TRUE(graph->Drain());
    EXPECT_EQ(WaitForSingleObject(ready, 300), static_cast<DWORD>(WAIT_TIMEOUT))
        << "neither a damaged section nor another table may be delivered";
    EXPECT_EQ(buffers[1].dwSizeOfDataRead, 0u);

    TsWriter last;
    for (int i = 0; i < 3; ++i) last.SkipCounter(0x12);
    last.Section(0x12, second);
    last.Section(0x12, first);  // no buffer left: kept for the next one supplied
    graph->Push(last.bytes());
    ASSERT_EQ(WaitForSingleObject(ready, 5000), WAIT_OBJECT_0);
    ASSERT_EQ(buffers[1].dwSizeOfDataRead, second.size());
    EXPECT_EQ(Bytes(memory[1], memory[1] + second.size()), second);
    ASSERT_TRUE(graph->Drain());
    std::this_thread::sleep_for(100ms);

    buffers[0] = MPEG_STREAM_BUFFER{E_FAIL, 4096, 0, memory[0]};
    ASSERT_EQ(stream->SupplyDataBuffer(&buffers[0]), S_OK);
    ASSERT_EQ(WaitForSingleObject(ready, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(buffers[0].dwSizeOfDataRead, first.size());
    EXPECT_EQ(WaitForSingleObject(ready, 200), static_cast<DWORD>(WAIT_TIMEOUT));

    // Releasing the stream gives the PID back.
    stream.Reset();
    ComPtr<IEnumPIDMap> mapped;
    graph->dataMap->EnumPIDMap(mapped.Put());
    PID_MAP entry;
    ULONG got = 0;
    EXPECT_EQ(mapped->Next(1, &entry, &got), S_FALSE);
    CloseHandle(ready);
}

TEST_F(StandinFiltersTest, OutputPinsAreManagedByName)
{
    ASSERT_EQ(graph->control->Stop(), S_OK);
    ProgramPinType type(L"son");
    ComPtr<IPin> pin;
    EXPECT_EQ(graph->demuxControl->CreateOutputPin(type.Get(), const_cast<LPWSTR>(L"son"), pin.Put()), E_INVALIDARG);
    ASSERT_EQ(graph->demuxControl->CreateOutputPin(type.Get(), const_cast<LPWSTR>(L"extra"), pin.Put()), S_OK);
    ComPtr<IMPEG2PIDMap> map;
    ASSERT_EQ(pin.As(IID_IMPEG2PIDMap, map), S_OK);
    ASSERT_EQ(Map(map.Get(), 0x300, MEDIA_TRANSPORT_PACKET), S_OK);
    EXPECT_EQ(graph->demuxControl->DeleteOutputPin(const_cast<LPWSTR>(L"extra")), S_OK);
    EXPECT_EQ(graph->demuxControl->DeleteOutputPin(const_cast<LPWSTR>(L"extra")), VFW_E_NOT_FOUND);
    // A reference kept on a deleted pin stays safe to use.
    PIN_INFO info;
    ASSERT_EQ(pin->QueryPinInfo(&info), S_OK);
    info.pFilter->Release();
    EXPECT_STREQ(info.achName, L"extra");
    ASSERT_EQ(graph->control->Run(), S_OK);
}

// The sections-and-tables filter as strict as the platform's is documented to be.
class StrictSectionsTest : public StandinFiltersTest {
protected:
    void SetUp() override
    {
        SetEnvironmentVariableA("BRISOME_STANDINS", "strict-sections");
        StandinFiltersTest::SetUp();
    }
    void TearDown() override
    {
        StandinFiltersTest::TearDown();
        SetEnvironmentVariableA("BRISOME_STANDINS", nullptr);
    }
};

TEST_F(StrictSectionsTest, OneBufferWaitsAtATimeSectionsWithoutOneAreLostAndCallersMustEnterCom)
{
    HANDLE ready = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    ComPtr<IMpeg2Stream> stream;
    ASSERT_EQ(graph->mpeg2Data->GetStreamOfSections(0x12, 0x4E, nullptr, ready, stream.Put()), S_OK);
    BYTE memory[2][4096];
    MPEG_STREAM_BUFFER buffers[2];
    for (int i = 0; i < 2; ++i) buffers[i] = MPEG_STREAM_BUFFER{E_FAIL, 4096, 0, memory[i]};
    ASSERT_EQ(stream->SupplyDataBuffer(&buffers[0]), S_OK);
    EXPECT_EQ(stream->SupplyDataBuffer(&buffers[1]), E_FAIL) << "a buffer is already waiting";

    const Bytes first = LongSection(0x4E, 0x101, Pattern(120, 1));
    const Bytes second = LongSection(0x4E, 0x102, Pattern(120, 2));
    TsWriter ts;
    ts.Section(0x12, first);
    ts.Section(0x12, second);  // no buffer waits for it: lost
    graph->Push(ts.bytes());
    ASSERT_EQ(WaitForSingleObject(ready, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(Bytes(memory[0], memory[0] + buffers[0].dwSizeOfDataRead), first);
    ASSERT_TRUE(graph->Drain());
    std::this_thread::sleep_for(100ms);
    ASSERT_EQ(stream->SupplyDataBuffer(&buffers[1]), S_OK);
    EXPECT_EQ(WaitForSingleObject(ready, 300), static_cast<DWORD>(WAIT_TIMEOUT)) << "nothing kept back";

    // A buffer too small says so through its status.
    buffers[0] = MPEG_STREAM_BUFFER{S_OK, 16, 0, memory[0]};
    TsWriter more;
    more.Section(0x12, second);
    graph->Push(more.bytes());
    ASSERT_EQ(WaitForSingleObject(ready, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(Bytes(memory[1], memory[1] + buffers[1].dwSizeOfDataRead), second);
    ASSERT_EQ(stream->SupplyDataBuffer(&buffers[0]), S_OK);
    TsWriter last;
    last.SkipCounter(0x12);  // a repeated continuity counter would mark a duplicate packet
    last.Section(0x12, first);
    graph->Push(last.bytes());
    ASSERT_EQ(WaitForSingleObject(ready, 5000), WAIT_OBJECT_0);
    EXPECT_TRUE(FAILED(buffers[0].hr));

    // A thread that has not entered COM is refused.
    HRESULT supplied = S_OK, asked = S_OK;
    buffers[1] = MPEG_STREAM_BUFFER{E_FAIL, 4096, 0, memory[1]};
    std::thread([&] {
        supplied = stream->SupplyDataBuffer(&buffers[1]);
        ISectionList* list = nullptr;
        asked = graph->mpeg2Data->GetSection(0x00, 0x00, nullptr, 100, &list);
        if (list) list->Release();
    }).join();
    EXPECT_EQ(supplied, CO_E_NOTINITIALIZED);
    EXPECT_EQ(asked, CO_E_NOTINITIALIZED);
    stream.Reset();
    CloseHandle(ready);
}

}  // namespace

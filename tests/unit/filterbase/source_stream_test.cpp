// The worker thread of a base-layer source pin: activation, the request protocol, the
// delivery loop and its three endings, and deactivation joining the thread.
#include <evcode.h>

#include "com_test.h"
#include "test_sink.h"
#include "test_source.h"

namespace {

class SourceStream : public ComTest {
protected:
    void Build(HRESULT receiveResult, SourcePinBehaviour pinBehaviour = {})
    {
        SinkBehaviour sinkBehaviour;
        sinkBehaviour.offered = {TypeWithMajor(MEDIATYPE_Stream)};
        sinkBehaviour.receiveResult = receiveResult;
        sink = MakeComObject<TestSinkFilter>(std::move(sinkBehaviour));
        filter = new TestSource;
        source = ComPtr<IBaseFilter>::Share(filter);
        if (!pinBehaviour.check) pinBehaviour.check = [](const AM_MEDIA_TYPE&) { return S_OK; };
        pin = filter->AddTestPin(L"Sortie", std::move(pinBehaviour));
        ASSERT_EQ(pin->Connect(&sink->Pin(), nullptr), S_OK);
    }
    void TearDown() override
    {
        if (source) {
            source->Stop();
            pin->Disconnect();
            sink->Pin().Disconnect();
        }
        source.Reset();
        sink.Reset();
        ComTest::TearDown();
    }

    ComPtr<TestSinkFilter> sink;
    TestSource* filter = nullptr;
    ComPtr<IBaseFilter> source;
    TestSourcePin* pin = nullptr;
};

}  // namespace

TEST_F(SourceStream, WorkerJoinsTheMultithreadedApartmentDeliversAndEndsOnStop)
{
    Build(S_OK);
    ASSERT_EQ(source->Pause(), S_OK);
    ASSERT_TRUE(pin->ThreadExists());
    ASSERT_TRUE(Eventually([&] { return sink->Pin().received > 10; }));
    EXPECT_TRUE(pin->workerInMultithreadedApartment);
    EXPECT_EQ(sink->Pin().receivingThread.load(), pin->workerThread.load());
    EXPECT_NE(pin->workerThread.load(), GetCurrentThreadId());

    ASSERT_EQ(source->Run(0), S_OK);
    FILTER_STATE state;
    ASSERT_EQ(source->GetState(0, &state), S_OK);
    EXPECT_EQ(state, State_Running);

    ASSERT_EQ(source->Stop(), S_OK);
    EXPECT_FALSE(pin->ThreadExists());
    EXPECT_TRUE(ThreadEnded(pin->workerThread));
    EXPECT_EQ(pin->threadDestroyed, 1);
    int afterStop = sink->Pin().received;
    Sleep(50);
    EXPECT_EQ(sink->Pin().received, afterStop);

    // A second start makes a new worker.
    ASSERT_EQ(source->Pause(), S_OK);
    ASSERT_TRUE(Eventually([&] { return sink->Pin().received > afterStop; }));
    ASSERT_EQ(source->Stop(), S_OK);
    EXPECT_EQ(pin->threadDestroyed, 2);
}

TEST_F(SourceStream, RefusedDeliveryLeavesTheLoopAndTheWorkerWaitsForRequests)
{
    Build(S_FALSE);
    ASSERT_EQ(source->Pause(), S_OK);
    ASSERT_TRUE(Eventually([&] { return sink->Pin().received == 1; }));
    Sleep(50);
    EXPECT_EQ(sink->Pin().received, 1);  // left at once, no spinning on empty samples
    EXPECT_EQ(sink->Pin().endsOfStream, 0);

    // The idle worker answers the protocol.
    EXPECT_EQ(pin->Send(filterbase::CMD_INIT), E_NOTIMPL);
    EXPECT_EQ(pin->Send(static_cast<filterbase::WorkerCommand>(9)), E_NOTIMPL);
    EXPECT_EQ(pin->Send(filterbase::CMD_RUN), S_OK);  // delivers again
    ASSERT_TRUE(Eventually([&] { return sink->Pin().received == 2; }));

    ASSERT_EQ(source->Stop(), S_OK);
    EXPECT_TRUE(ThreadEnded(pin->workerThread));
}

TEST_F(SourceStream, RequestsWhileDeliveringAreAnsweredWithoutLeavingTheLoop)
{
    Build(S_OK);
    ASSERT_EQ(source->Pause(), S_OK);
    ASSERT_TRUE(Eventually([&] { return sink->Pin().received > 0; }));
    EXPECT_EQ(pin->Send(filterbase::CMD_PAUSE), S_OK);
    EXPECT_EQ(pin->Send(filterbase::CMD_EXIT), E_UNEXPECTED);
    int now = sink->Pin().received;
    ASSERT_TRUE(Eventually([&] { return sink->Pin().received > now + 5; }));
    ASSERT_EQ(source->Stop(), S_OK);
    EXPECT_TRUE(ThreadEnded(pin->workerThread));
}

TEST_F(SourceStream, EndOfStreamFromFillBufferIsPassedDownstreamOnce)
{
    SourcePinBehaviour behaviour;
    behaviour.fillsBeforeResult = 3;
    behaviour.fillResult = S_FALSE;
    Build(S_OK, behaviour);
    ASSERT_EQ(source->Pause(), S_OK);
    ASSERT_TRUE(Eventually([&] { return sink->Pin().endsOfStream == 1; }));
    Sleep(50);
    EXPECT_EQ(sink->Pin().received, 3);
    EXPECT_EQ(sink->Pin().endsOfStream, 1);
    ASSERT_EQ(source->Stop(), S_OK);
}

TEST_F(SourceStream, FailedThreadStartFailsThePauseAndLeavesNoThread)
{
    SourcePinBehaviour behaviour;
    behaviour.threadCreateResult = E_OUTOFMEMORY;
    Build(S_OK, behaviour);
    EXPECT_EQ(source->Pause(), E_OUTOFMEMORY);
    EXPECT_FALSE(pin->ThreadExists());
    EXPECT_TRUE(ThreadEnded(pin->workerThread));
    EXPECT_EQ(pin->threadDestroyed, 1);
    EXPECT_EQ(sink->Pin().received, 0);
    EXPECT_EQ(source->Stop(), S_OK);  // nothing to wait for, no hang
}

TEST_F(SourceStream, FillBufferErrorEndsTheStreamAndAbortsTheGraph)
{
    ComPtr<IGraphBuilder> graph;
    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                               graph.PutVoid()),
              S_OK);
    SourcePinBehaviour behaviour;
    behaviour.fillsBeforeResult = 2;
    behaviour.fillResult = E_ACCESSDENIED;
    Build(S_OK, behaviour);
    ASSERT_EQ(graph->AddFilter(source.Get(), L"Source"), S_OK);

    ASSERT_EQ(source->Pause(), S_OK);
    ASSERT_TRUE(Eventually([&] { return sink->Pin().endsOfStream == 1; }));
    EXPECT_EQ(sink->Pin().received, 2);

    ComPtr<IMediaEvent> events;
    ASSERT_EQ(graph.As(IID_IMediaEvent, events), S_OK);
    long code = 0;
    LONG_PTR first = 0, second = 0;
    bool aborted = false;
    while (!aborted && events->GetEvent(&code, &first, &second, 1000) == S_OK) {
        aborted = code == EC_ERRORABORT && first == E_ACCESSDENIED;
        events->FreeEventParams(code, first, second);
    }
    EXPECT_TRUE(aborted);

    ASSERT_EQ(source->Stop(), S_OK);
    ASSERT_EQ(graph->RemoveFilter(source.Get()), S_OK);
}

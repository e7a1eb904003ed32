// The push input pin of the base layer, driven directly as an upstream pin would:
// stream control across a stop, and the allocator it is handed.
#include <dshow.h>
#include <uuids.h>

#include "com_test.h"
#include "common/com_ptr.h"
#include "graph/filterbase/base_filter.h"
#include "graph/filterbase/base_input_pin.h"

namespace {

const CLSID kSinkClsid = {0x3c1e0a52, 0x61d4, 0x4b0f, {0x9a, 0x2e, 0x57, 0x08, 0x11, 0xc4, 0x6d, 0x93}};

class CountingPin : public CBaseInputPin {
public:
    CountingPin(CBaseFilter* filter, CriticalSection* lock) : CBaseInputPin(L"counting pin", filter, lock, L"In") {}

    HRESULT CheckMediaType(const AM_MEDIA_TYPE*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetAllocatorRequirements(ALLOCATOR_PROPERTIES* properties) override
    {
        if (!statesNeeds) return CBaseInputPin::GetAllocatorRequirements(properties);
        *properties = ALLOCATOR_PROPERTIES{};
        properties->cBuffers = 2;
        properties->cbBuffer = 376;
        properties->cbAlign = 1;
        return S_OK;
    }

    bool statesNeeds = false;
    int received = 0;
    int ends = 0;

protected:
    HRESULT OnReceive(IMediaSample*) override
    {
        ++received;
        return S_OK;
    }
    HRESULT OnEndOfStream() override
    {
        ++ends;
        return S_OK;
    }
};

class CountingSink : public CBaseFilter {
public:
    CountingSink() : CBaseFilter(L"counting sink", nullptr, &lock_, kSinkClsid), pin(this, &lock_) {}
    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int index) override { return index == 0 ? &pin : nullptr; }

private:
    CriticalSection lock_;

public:
    CountingPin pin;
};

class BaseInputPinTest : public ComTest {
protected:
    void SetUp() override
    {
        ComTest::SetUp();
        sink = new CountingSink;
        holder = ComPtr<IBaseFilter>::Share(sink);
    }
    void TearDown() override
    {
        holder.Reset();
        ComTest::TearDown();
    }

    ComPtr<IMemAllocator> NewAllocator()
    {
        ComPtr<IMemAllocator> allocator;
        EXPECT_EQ(CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                                   allocator.PutVoid()),
                  S_OK);
        return allocator;
    }

    CountingSink* sink = nullptr;
    ComPtr<IBaseFilter> holder;
};

TEST_F(BaseInputPinTest, StreamControlFollowsStopFlushAndRun)
{
    ComPtr<IMemAllocator> allocator = NewAllocator();
    ALLOCATOR_PROPERTIES wanted{1, 188, 1, 0}, actual{};
    ASSERT_EQ(allocator->SetProperties(&wanted, &actual), S_OK);
    ASSERT_EQ(allocator->Commit(), S_OK);
    ComPtr<IMediaSample> sample;
    ASSERT_EQ(allocator->GetBuffer(sample.Put(), nullptr, nullptr, 0), S_OK);
    CountingPin& pin = sink->pin;

    EXPECT_EQ(pin.Receive(sample.Get()), VFW_E_WRONG_STATE);
    ASSERT_EQ(pin.Active(), S_OK);
    EXPECT_EQ(pin.Receive(sample.Get()), S_OK);

    // Between BeginFlush and EndFlush samples and an end of stream are dropped.
    ASSERT_EQ(pin.BeginFlush(), S_OK);
    EXPECT_EQ(pin.Receive(sample.Get()), S_FALSE);
    EXPECT_EQ(pin.EndOfStream(), S_FALSE);
    // A stop in the middle of a flush ends it: the next run takes samples again.
    ASSERT_EQ(pin.Inactive(), S_OK);
    ASSERT_EQ(pin.Active(), S_OK);
    EXPECT_FALSE(pin.IsFlushing());
    IMediaSample* both[] = {sample.Get(), sample.Get()};
    long processed = 0;
    EXPECT_EQ(pin.ReceiveMultiple(both, 2, &processed), S_OK);
    EXPECT_EQ(processed, 2);
    EXPECT_EQ(pin.EndOfStream(), S_OK);

    EXPECT_EQ(pin.received, 3);
    EXPECT_EQ(pin.ends, 1);
    sample.Reset();
    pin.Inactive();
}

TEST_F(BaseInputPinTest, UnsizedAllocatorGetsTheStatedNeedsAndIsDecommittedOnStop)
{
    CountingPin& pin = sink->pin;
    ALLOCATOR_PROPERTIES properties{};

    // Without stated needs the pin leaves the allocator as upstream gave it.
    ComPtr<IMemAllocator> plain = NewAllocator();
    ASSERT_EQ(pin.NotifyAllocator(plain.Get(), FALSE), S_OK);
    ASSERT_EQ(plain->GetProperties(&properties), S_OK);
    EXPECT_EQ(properties.cbBuffer, 0);

    pin.statesNeeds = true;
    ComPtr<IMemAllocator> unsized = NewAllocator();
    ASSERT_EQ(pin.NotifyAllocator(unsized.Get(), FALSE), S_OK);
    ASSERT_EQ(unsized->GetProperties(&properties), S_OK);
    EXPECT_EQ(properties.cBuffers, 2);
    EXPECT_EQ(properties.cbBuffer, 376);

    // Stopping decommits it, so that an upstream thread waiting for a buffer is freed.
    ASSERT_EQ(unsized->Commit(), S_OK);
    ASSERT_EQ(pin.Active(), S_OK);
    ASSERT_EQ(pin.Inactive(), S_OK);
    ComPtr<IMediaSample> sample;
    EXPECT_EQ(unsized->GetBuffer(sample.Put(), nullptr, nullptr, 0), VFW_E_NOT_COMMITTED);

    // The pin's own allocator is sized the same way.
    ASSERT_EQ(pin.BreakConnect(), S_OK);
    ComPtr<IMemAllocator> own;
    ASSERT_EQ(pin.GetAllocator(own.Put()), S_OK);
    ASSERT_EQ(own->GetProperties(&properties), S_OK);
    EXPECT_EQ(properties.cbBuffer, 376);
}

}  // namespace

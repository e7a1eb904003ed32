// The COM object template: interface table, shared identity and count, and a final
// release that deletes exactly once.

#include <gtest/gtest.h>

#include "graph/filterbase/com_object.h"

namespace {

const CLSID kProbeClass = {0x3c1d8e20, 0x6b7a, 0x4f0e, {0x9a, 0x51, 0x0d, 0x2e, 0x7c, 0x44, 0x18, 0x90}};

// Two interfaces on one object; its destructor hands itself out and lets go again,
// as a destructor that notifies someone may.
class Probe : public ComObject<Implements<IClassFactory, IID_IClassFactory>, Implements<IPersist, IID_IPersist>> {
public:
    explicit Probe(int* deaths) : ComObject(L"Probe"), deaths_(deaths) {}
    ~Probe() override
    {
        ++*deaths_;
        AddRef();
        Release();
    }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* id) override
    {
        *id = kProbeClass;
        return S_OK;
    }

private:
    int* deaths_;
};

IUnknown* Identity(IUnknown* face)
{
    IUnknown* identity = nullptr;
    if (face->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)) != S_OK) return nullptr;
    identity->Release();
    return identity;
}

}  // namespace

TEST(ComObject, AnswersItsTableWithOneIdentityAndOneCount)
{
    int deaths = 0;
    const long live = CBaseObject::LiveObjects();
    ComPtr<Probe> probe = MakeComObject<Probe>(&deaths);
    ASSERT_TRUE(probe);
    EXPECT_EQ(CBaseObject::LiveObjects(), live + 1);

    ComPtr<IPersist> persist;
    ASSERT_EQ(probe.As(IID_IPersist, persist), S_OK);
    EXPECT_EQ(persist.Get(), static_cast<IPersist*>(probe.Get()));
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(persist.As(IID_IClassFactory, factory), S_OK);
    EXPECT_EQ(factory.Get(), static_cast<IClassFactory*>(probe.Get()));
    EXPECT_NE(Identity(persist.Get()), nullptr);
    EXPECT_EQ(Identity(persist.Get()), Identity(factory.Get()));

    void* other = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->QueryInterface(IID_IStream, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(factory->QueryInterface(IID_IPersist, nullptr), E_POINTER);

    // Every face counts on the same object: a reference taken through one face is
    // given back through the other.
    EXPECT_EQ(factory->AddRef(), 4u);
    EXPECT_EQ(persist->Release(), 3u);
    persist.Reset();
    factory.Reset();
    EXPECT_EQ(deaths, 0);
    probe.Reset();
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(CBaseObject::LiveObjects(), live);
}

TEST(ComObject, FinalReleaseDeletesOnce)
{
    int deaths = 0;
    const long live = CBaseObject::LiveObjects();

    // A Release with no reference to give back is refused: the count stays at 0 and
    // a later first reference still owns the object.
    auto* probe = new Probe(&deaths);
    EXPECT_EQ(probe->Release(), 0u);
    EXPECT_EQ(deaths, 0);
    EXPECT_EQ(CBaseObject::LiveObjects(), live + 1);
    EXPECT_EQ(probe->AddRef(), 1u);

    // The destructor's own AddRef and Release bring the count to 0 again, which must
    // not delete a second time.
    EXPECT_EQ(probe->Release(), 0u);
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(CBaseObject::LiveObjects(), live);
}

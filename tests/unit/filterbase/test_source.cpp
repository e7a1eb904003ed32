#include "test_source.h"

#include <objbase.h>

const CLSID CLSID_TestSource = {0x6a6f1c44, 0x5e1b, 0x4c8b, {0x9d, 0x0a, 0x2b, 0x7a, 0x33, 0xc1, 0xd0, 0x02}};

TestSourcePin::TestSourcePin(CSource* filter, const wchar_t* name, SourcePinBehaviour behaviourGiven)
    : CSourceStream(L"test pin", filter, name), behaviour(std::move(behaviourGiven))
{
}

HRESULT TestSourcePin::CheckMediaType(const AM_MEDIA_TYPE* type)
{
    MediaType copy;
    copy.Set(*type);
    checked.push_back(copy);
    if (behaviour.check) return behaviour.check(*type);
    for (const MediaType& own : behaviour.own)
        if (SameMediaType(own.Get(), *type)) return S_OK;
    return E_FAIL;
}

HRESULT TestSourcePin::GetMediaType(int position, AM_MEDIA_TYPE* type)
{
    if (position < 0) return E_INVALIDARG;
    if (position >= static_cast<int>(behaviour.own.size())) return VFW_S_NO_MORE_ITEMS;
    return CopyMediaType(*type, behaviour.own[static_cast<size_t>(position)].Get());
}

HRESULT TestSourcePin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request)
{
    requestSeen = *request;
    allocatorSeen = ComPtr<IMemAllocator>::Share(allocator);
    if (!behaviour.sizesAllocator) return S_OK;
    ALLOCATOR_PROPERTIES wanted{2, 188, request->cbAlign, 0}, actual{};
    return allocator->SetProperties(&wanted, &actual);
}

HRESULT TestSourcePin::FillBuffer(IMediaSample*)
{
    int done = fills++;
    return done < behaviour.fillsBeforeResult ? S_OK : behaviour.fillResult;
}

HRESULT TestSourcePin::OnThreadCreate()
{
    workerThread = GetCurrentThreadId();
    APTTYPE type;
    APTTYPEQUALIFIER qualifier;
    workerInMultithreadedApartment =
        SUCCEEDED(CoGetApartmentType(&type, &qualifier)) && type == APTTYPE_MTA;
    return behaviour.threadCreateResult;
}

HRESULT TestSourcePin::OnThreadDestroy()
{
    ++threadDestroyed;
    return S_OK;
}

void TestSourcePin::ChangeOwnTypes(std::vector<MediaType> types)
{
    behaviour.own = std::move(types);
    IncrementTypeVersion();
}

TestSource::TestSource() : CSource(L"test source", nullptr, CLSID_TestSource) {}

TestSourcePin* TestSource::AddTestPin(const wchar_t* name, SourcePinBehaviour behaviour)
{
    return new TestSourcePin(this, name, std::move(behaviour));
}

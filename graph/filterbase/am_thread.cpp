#include "graph/filterbase/am_thread.h"

#include <objbase.h>

namespace {

// The worker joins the multithreaded apartment. The entry point is looked up by name
// so that the layer still runs where ole32 lacks it; then the thread stays outside COM.
class ApartmentMembership {
public:
    ApartmentMembership()
    {
        module_ = LoadLibraryW(L"ole32.dll");
        if (!module_) return;
        using CoInitializeExProc = HRESULT(WINAPI*)(void*, DWORD);
        auto initialise =
            reinterpret_cast<CoInitializeExProc>(reinterpret_cast<void*>(GetProcAddress(module_, "CoInitializeEx")));
        if (!initialise) return;
        joined_ = SUCCEEDED(initialise(nullptr, COINIT_MULTITHREADED | COINIT_DISABLE_OLE1DDE));
    }
    ~ApartmentMembership()
    {
        if (joined_) {
            using CoUninitializeProc = void(WINAPI*)();
            auto leave = reinterpret_cast<CoUninitializeProc>(
                reinterpret_cast<void*>(GetProcAddress(module_, "CoUninitialize")));
            if (leave) leave();
        }
        if (module_) FreeLibrary(module_);
    }
    ApartmentMembership(const ApartmentMembership&) = delete;
    ApartmentMembership& operator=(const ApartmentMembership&) = delete;

private:
    HMODULE module_ = nullptr;
    bool joined_ = false;
};

}  // namespace

CAMThread::CAMThread()
    : requestEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      completionEvent_(CreateEventW(nullptr, FALSE, FALSE, nullptr))
{
}

CAMThread::~CAMThread()
{
    Close();
    if (requestEvent_) CloseHandle(requestEvent_);
    if (completionEvent_) CloseHandle(completionEvent_);
}

bool CAMThread::Create()
{
    AutoLock lock(workerLock_);
    if (thread_ || !requestEvent_ || !completionEvent_) return false;
    DWORD id = 0;
    thread_ = CreateThread(nullptr, 0, &CAMThread::ThreadStart, this, 0, &id);
    return thread_ != nullptr;
}

DWORD WINAPI CAMThread::ThreadStart(void* self)
{
    ApartmentMembership apartment;
    return static_cast<CAMThread*>(self)->ThreadProc();
}

DWORD CAMThread::CallWorker(DWORD request)
{
    AutoLock lock(requesterLock_);
    if (!thread_) return static_cast<DWORD>(E_UNEXPECTED);
    request_ = request;
    SetEvent(requestEvent_);
    // The completion event comes first: a worker that replies and then ends has replied.
    HANDLE waitFor[2] = {completionEvent_, thread_};
    DWORD woken = WaitForMultipleObjects(2, waitFor, FALSE, INFINITE);
    if (woken != WAIT_OBJECT_0) {
        ResetEvent(requestEvent_);
        return static_cast<DWORD>(E_UNEXPECTED);
    }
    return reply_;
}

void CAMThread::Close()
{
    HANDLE thread = thread_;
    if (!thread) return;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    thread_ = nullptr;
}

DWORD CAMThread::GetRequest()
{
    WaitForSingleObject(requestEvent_, INFINITE);
    return request_;
}

bool CAMThread::CheckRequest(DWORD* request)
{
    if (WaitForSingleObject(requestEvent_, 0) != WAIT_OBJECT_0) return false;
    if (request) *request = request_;
    return true;
}

void CAMThread::Reply(DWORD reply)
{
    reply_ = reply;
    ResetEvent(requestEvent_);
    SetEvent(completionEvent_);
}

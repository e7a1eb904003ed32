#pragma once
// A worker thread driven by requests: a requester posts one request at a time and
// waits for the worker's reply.
#include <windows.h>

#include "graph/filterbase/auto_lock.h"

class CAMThread {
public:
    CAMThread();
    CAMThread(const CAMThread&) = delete;
    CAMThread& operator=(const CAMThread&) = delete;

    // The worker's body; its result is the thread's exit code.
    virtual DWORD ThreadProc() = 0;
    // The thread must have been joined (Close) before the object goes.
    virtual ~CAMThread();

    // Starts the worker; false if it already exists or cannot be started.
    bool Create();
    bool ThreadExists() const { return thread_ != nullptr; }
    // Requester side: posts `request` and returns the worker's reply. A worker that
    // ends without replying yields E_UNEXPECTED instead of a requester waiting forever.
    DWORD CallWorker(DWORD request);
    // Waits for the worker to end and forgets it.
    void Close();

    // Worker side.
    DWORD GetRequest();
    bool CheckRequest(DWORD* request);
    void Reply(DWORD reply);

    // Held by the worker around work that must not overlap with the requester's view.
    CriticalSection& WorkerLock() { return workerLock_; }

private:
    static DWORD WINAPI ThreadStart(void* self);

    HANDLE requestEvent_;     // manual reset: stays set until the worker replies
    HANDLE completionEvent_;  // auto reset: one reply, one waiting requester
    CriticalSection requesterLock_;
    CriticalSection workerLock_;
    DWORD request_ = 0;
    DWORD reply_ = 0;
    HANDLE thread_ = nullptr;
};

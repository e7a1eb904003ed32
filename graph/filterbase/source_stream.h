#pragma once
// An output pin of a CSource with a worker thread of its own: while the filter is
// paused or running, the worker takes buffers from the allocator, has the derived pin
// fill them and delivers them downstream.
#include "graph/filterbase/am_thread.h"
#include "graph/filterbase/output_pin.h"
#include "graph/filterbase/source.h"
#include "graph/filterbase/worker_protocol.h"

class CSourceStream : public CAMThread, public CBaseOutputPin {
public:
    // Adds itself to `filter`'s pins and shares the filter's state lock.
    CSourceStream(const wchar_t* objectName, CSource* filter, const wchar_t* pinName);
    // Takes itself out of the filter's pins.
    ~CSourceStream() override;

    // Hooks for derived pins, in this order.
    // S_OK delivers the buffer, S_FALSE ends the stream, an error aborts it.
    virtual HRESULT FillBuffer(IMediaSample* sample) = 0;
    // Run on the worker when it starts and when it ends.
    virtual HRESULT OnThreadCreate();
    virtual HRESULT OnThreadDestroy();
    // Run on the worker each time the delivery loop starts.
    virtual HRESULT OnThreadStartPlay();
    virtual HRESULT DoBufferProcessingLoop();
    // The pin's one type, for pins that offer a single type.
    virtual HRESULT GetMediaType(AM_MEDIA_TYPE* type);

    // CBasePin and CBaseOutputPin.
    HRESULT GetMediaType(int position, AM_MEDIA_TYPE* type) override;
    HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) override;
    HRESULT Active() override;
    HRESULT Inactive() override;
    // The pin's index plus one, as decimal text.
    HRESULT STDMETHODCALLTYPE QueryId(LPWSTR* id) override;

protected:
    DWORD ThreadProc() override;
    HRESULT SendCommand(filterbase::WorkerCommand command);

    CSource* source_;

private:
    HRESULT StopWorker();
};

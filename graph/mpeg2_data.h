#pragma once
// Interfaces of the sections-and-tables filter, declared here in the platform SDK's
// vtable order (mingw's mpeg2data.h lists the methods alphabetically, which breaks
// every call through the vtable).
#include <windows.h>
#include <unknwn.h>

typedef WORD PID;
typedef BYTE TID;

typedef struct _MPEG_STREAM_BUFFER {
    HRESULT hr;
    DWORD dwDataBufferSize;
    DWORD dwSizeOfDataRead;
    BYTE* pDataBuffer;
} MPEG_STREAM_BUFFER, *PMPEG_STREAM_BUFFER;

struct SECTION;  // the section's bytes, from its table_id on
struct SECTION_FILTER;
struct MPEG_CONTEXT;
struct MPEG_PACKET_LIST;

extern const CLSID CLSID_Mpeg2Data;
extern const IID IID_IMpeg2Data;
extern const IID IID_ISectionList;
extern const IID IID_IMpeg2Stream;

struct IMpeg2Data;

struct ISectionList : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Initialize(int requestType, IMpeg2Data* mpeg2Data, MPEG_CONTEXT* context,
                                                 PID pid, TID tid, SECTION_FILTER* filter, DWORD timeout,
                                                 HANDLE doneEvent) = 0;
    virtual HRESULT STDMETHODCALLTYPE InitializeWithRawSections(MPEG_PACKET_LIST* sections) = 0;
    virtual HRESULT STDMETHODCALLTYPE CancelPendingRequest() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetNumberOfSections(WORD* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSectionData(WORD index, DWORD* size, SECTION** data) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetProgramIdentifier(PID* pid) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetTableIdentifier(TID* tid) = 0;
};

struct IMpeg2Stream : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Initialize(int requestType, IMpeg2Data* mpeg2Data, MPEG_CONTEXT* context,
                                                 PID pid, TID tid, SECTION_FILTER* filter, HANDLE dataReady) = 0;
    virtual HRESULT STDMETHODCALLTYPE SupplyDataBuffer(MPEG_STREAM_BUFFER* buffer) = 0;
};

struct IMpeg2Data : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetSection(PID pid, TID tid, SECTION_FILTER* filter, DWORD timeoutMs,
                                                 ISectionList** sections) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetTable(PID pid, TID tid, SECTION_FILTER* filter, DWORD timeoutMs,
                                               ISectionList** sections) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetStreamOfSections(PID pid, TID tid, SECTION_FILTER* filter,
                                                          HANDLE dataReady, IMpeg2Stream** stream) = 0;
};

#pragma once
// The sections-and-tables filter's interfaces (IMpeg2Data, ISectionList,
// IMpeg2Stream) with the types they use, declared in the Windows SDK's vtable
// order. mingw-w64's <mpeg2data.h> lists the methods alphabetically, which
// gives the wrong slots; it must not be included with this header.
#if defined(__INC_MPEG2DATA__) || defined(__INC_MPEG2STRUCTS__)
#error "<mpeg2data.h>/<mpeg2structs.h> have the wrong vtable order: include only graph/mpeg2_data.h"
#endif
// Keep mingw-w64's versions out from now on.
#define __INC_MPEG2DATA__
#define __INC_MPEG2STRUCTS__

#include <windows.h>
#include <unknwn.h>

typedef WORD PID;
typedef BYTE TID;

// Error of GetSection and GetTable when no matching section arrived in time.
constexpr HRESULT MPEG2_E_SECTION_NOT_FOUND = static_cast<HRESULT>(0x80040206L);

typedef enum {
    MPEG_RQST_UNKNOWN = 0,
    MPEG_RQST_GET_SECTION,
    MPEG_RQST_GET_SECTION_ASYNC,
    MPEG_RQST_GET_TABLE,
    MPEG_RQST_GET_TABLE_ASYNC,
    MPEG_RQST_GET_SECTIONS_STREAM,
    MPEG_RQST_GET_PES_STREAM,
    MPEG_RQST_GET_TS_STREAM,
    MPEG_RQST_START_MPE_STREAM
} MPEG_REQUEST_TYPE;

// A section as it is sent, from its table_id on. Only the first bytes have
// fields; callers read the section as bytes through the length they are given.
#pragma pack(push, 1)
typedef struct {
    TID TableId;
    WORD Header;  // section_syntax_indicator, private_indicator, section_length (big-endian on the wire)
    BYTE SectionData[1];
} SECTION, *PSECTION;
#pragma pack(pop)

// A caller's buffer for IMpeg2Stream::SupplyDataBuffer.
typedef struct _MPEG_STREAM_BUFFER {
    HRESULT hr;                // status of the read into this buffer
    DWORD dwDataBufferSize;    // bytes available at pDataBuffer
    DWORD dwSizeOfDataRead;    // bytes written there
    BYTE* pDataBuffer;
} MPEG_STREAM_BUFFER, *PMPEG_STREAM_BUFFER;

// Types this program never fills in: always passed as null.
struct MPEG2_FILTER;
typedef MPEG2_FILTER* PMPEG2_FILTER;
struct MPEG_CONTEXT;
typedef MPEG_CONTEXT* PMPEG_CONTEXT;
struct MPEG_PACKET_LIST;
typedef MPEG_PACKET_LIST* PMPEG_PACKET_LIST;

extern "C" const CLSID CLSID_Mpeg2Data;
extern "C" const IID IID_IMpeg2Data;
extern "C" const IID IID_ISectionList;
extern "C" const IID IID_IMpeg2Stream;

struct IMpeg2Data;

struct ISectionList : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Initialize(MPEG_REQUEST_TYPE requestType, IMpeg2Data* mpeg2Data,
                                                 PMPEG_CONTEXT context, PID pid, TID tid,
                                                 PMPEG2_FILTER filter, DWORD timeout,
                                                 HANDLE doneEvent) = 0;
    virtual HRESULT STDMETHODCALLTYPE InitializeWithRawSections(PMPEG_PACKET_LIST sections) = 0;
    virtual HRESULT STDMETHODCALLTYPE CancelPendingRequest() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetNumberOfSections(WORD* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSectionData(WORD sectionNumber, DWORD* rawPacketLength,
                                                     PSECTION* section) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetProgramIdentifier(PID* pid) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetTableIdentifier(TID* tableId) = 0;
};

struct IMpeg2Stream : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Initialize(MPEG_REQUEST_TYPE requestType, IMpeg2Data* mpeg2Data,
                                                 PMPEG_CONTEXT context, PID pid, TID tid,
                                                 PMPEG2_FILTER filter, HANDLE dataReadyEvent) = 0;
    virtual HRESULT STDMETHODCALLTYPE SupplyDataBuffer(PMPEG_STREAM_BUFFER streamBuffer) = 0;
};

struct IMpeg2Data : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetSection(PID pid, TID tid, PMPEG2_FILTER filter, DWORD timeoutMs,
                                                 ISectionList** sectionList) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetTable(PID pid, TID tid, PMPEG2_FILTER filter, DWORD timeoutMs,
                                               ISectionList** sectionList) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetStreamOfSections(PID pid, TID tid, PMPEG2_FILTER filter,
                                                          HANDLE dataReadyEvent,
                                                          IMpeg2Stream** stream) = 0;
};

#ifdef __CRT_UUID_DECL
__CRT_UUID_DECL(IMpeg2Data, 0x9B396D40, 0xF380, 0x4E3C, 0xA5, 0x14, 0x1A, 0x82, 0xBF, 0x6E, 0xBF, 0xE6)
__CRT_UUID_DECL(ISectionList, 0xAFEC1EB5, 0x2A64, 0x46C6, 0xBF, 0x4B, 0xAE, 0x3C, 0xCB, 0x6A, 0xFD, 0xB0)
__CRT_UUID_DECL(IMpeg2Stream, 0x400CC286, 0x32A0, 0x4CE4, 0x90, 0x41, 0x39, 0x57, 0x11, 0x25, 0xA6, 0x35)
#endif

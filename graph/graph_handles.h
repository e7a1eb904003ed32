#pragma once
// The shared handles of the capture graph. Each holds one reference, is null until
// set, and is released by DestroyGraph. Written only on the main window's thread.
#include <windows.h>
#include <dshow.h>
#include <bdaiface.h>
#include <qedit.h>

#include "channels/psi/packet_tap.h"
#include "channels/psi/section_reader.h"
#include "common/com_ptr.h"
#include "graph/media_framework.h"

extern ComPtr<IFilterGraph2> graph;
extern ComPtr<IMediaControl> mediaControl;
extern ComPtr<IBaseFilter> tunerFilter;
extern ComPtr<IBaseFilter> receiverFilter;
extern ComPtr<IBDA_DeviceControl> deviceControl;
extern ComPtr<IBDA_FrequencyFilter> frequencyFilter;
extern ComPtr<IBDA_SignalStatistics> signalStatistics;
extern ComPtr<ISampleGrabber> sampleGrabber;
extern ComPtr<IBaseFilter> demuxFilter;
extern ComPtr<IBaseFilter> vmrFilter;
extern ComPtr<IVMRWindowlessControl> windowlessControl;
extern ComPtr<IBaseFilter> videoDecoder;
extern ComPtr<IBaseFilter> audioDecoder;
extern ComPtr<IBaseFilter> ac3Decoder;
extern ComPtr<IBaseFilter> audioRenderer;
extern ComPtr<IBaseFilter> ac3Renderer;
extern ComPtr<IMPEG2PIDMap> videoPidMap;
extern ComPtr<IMPEG2PIDMap> audioPidMap;
extern ComPtr<IMPEG2PIDMap> ac3PidMap;
extern ComPtr<IMpeg2Data> mpeg2Data;

// The whole transport stream as the grabber sees it (graph/transport_tap.h feeds
// it), and the sections read from it, for the graph's whole life. Used from any
// thread, each through its own locking.
extern PacketTap transportTap;
extern SectionReader tapSections;

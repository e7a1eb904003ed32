#include "guide/guide_reader_loop.h"

int RunGuideReader(GuideSectionSource& source, GuideSectionSink& sink)
{
    if (!source.Supply(kActualStream) || !source.Supply(kOtherStream))
        return kGuideReaderFailed;
    for (;;) {
        int stream;
        switch (source.Wait()) {
        case GuideWake::Stop: return kGuideReaderStopped;
        case GuideWake::ActualFilled: stream = kActualStream; break;
        case GuideWake::OtherFilled: stream = kOtherStream; break;
        default: return kGuideReaderFailed;
        }
        sink.OnSection(source.Bytes(stream), source.Size(stream));
        if (!source.Supply(stream))
            return kGuideReaderFailed;
    }
}

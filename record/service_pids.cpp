#include "record/service_pids.h"

int RecordedAudioPid(const Chaine& channel, bool secondAudioActive, bool ac3Active)
{
    if (ac3Active)
        return channel.Ac3;
    if (secondAudioActive)
        return channel.Son2;
    return channel.Son1;
}

PidSelection ServiceSelection(const Chaine& channel, bool secondAudioActive, bool ac3Active)
{
    return PidSelection::Service(channel.PMT, channel.Video, RecordedAudioPid(channel, secondAudioActive, ac3Active),
                                 channel.PCR);
}

#include "timer_broadcast.h"

std::string TimerBroadcast(const TimerBroadcastOptions& options)
{
    std::string text = "broadcast clock=2026-03-14T19:30:00 seconds=" + std::to_string(options.seconds) + "\n";
    text += "repeat pat=100 pmt=100 sdt=500 nit=1000 eit=500 eit-other=500 pcr=30\n";
    if (!options.events.empty())
        text += "repeat eit-schedule=2000 tdt=1000 tot=2000\n";
    text += R"(charset table=6937
network id=0x20FA name="Réseau Démo"
mux uhf=21 tsid=0x0001 onid=0x20FA
service sid=0x0101 name="Télé Démo" provider="Brisome Diffusion" type=tv pmt=0x0100 lcn=2
video pid=0x0110 size=720x576 aspect=16:9 rate=25
audio pid=0x0111 lang=fra
audio pid=0x0112 lang=qad
)";
    for (const std::string& event : options.events)
        text += event + "\n";
    text += R"(service sid=0x0102 name="Canal Étoile" provider="Étoile Médias" pmt=0x0200 lcn=5
video pid=0x0210 size=720x576 aspect=4:3 rate=25
audio pid=0x0211 lang=fra
ac3 pid=0x0212 lang=fra bitrate=384000
)";
    return text;
}

#pragma once
// The broadcast the timers' end-to-end tests record from: the demo's first
// multiplex with its two television services, "Télé Démo" and "Canal Étoile",
// for tsgen.
#include <string>
#include <vector>

struct TimerBroadcastOptions {
    int seconds = 20;  // one loop of the stream
    // Télé Démo's programmes, one tsgen "event" line each. With any, the stream
    // also carries the schedule and the broadcast's clock (TDT and TOT);
    // without, the program goes by the PC's clock.
    std::vector<std::string> events;
};

std::string TimerBroadcast(const TimerBroadcastOptions& options);

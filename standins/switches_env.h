#pragma once
// The switches in force in this process: BRISOME_STANDINS as it is now. Each stand-in
// reads them when it is created, in the process that uses it (never at registration,
// which runs in regsvr32's process): one registration serves every set of switches.
#include "standins/switches.h"

standins::StandinSwitches CurrentStandinSwitches();

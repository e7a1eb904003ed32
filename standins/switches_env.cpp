#include "standins/switches_env.h"

#include <windows.h>

#include <string>

#include "standins/trace.h"

standins::StandinSwitches CurrentStandinSwitches()
{
    // Read through the process environment, not the C runtime's copy, so that a change
    // made with SetEnvironmentVariable (a test) is seen.
    char buffer[512];
    const DWORD length = GetEnvironmentVariableA("BRISOME_STANDINS", buffer, sizeof buffer);
    if (length == 0) return {};
    if (length >= sizeof buffer) {
        TraceLine("BRISOME_STANDINS too long: ignored");
        return {};
    }
    standins::StandinSwitches switches = standins::ParseStandinSwitches(std::string_view(buffer, length));
    for (const std::string& word : switches.unknown) {
        const std::string line = "unknown switch " + word.substr(0, 64);
        TraceLine(line.c_str());
    }
    return switches;
}

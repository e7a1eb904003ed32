#pragma once
// Every device that the stand-ins DLL registers: its class, its friendly name, its BDA
// category, and what it lacks. Tests pick a device by its name.
#include <windows.h>

#include <span>

enum class DeviceKind { Tuner, Receiver };

// Subtype offered by a device's output pin (always of major type MEDIATYPE_Stream).
enum class OutputSubtype {
    BdaTransport,    // KSDATAFORMAT_SUBTYPE_BDA_MPEG2_TRANSPORT: the end of a device chain
    Mpeg2Transport,  // MEDIASUBTYPE_MPEG2_TRANSPORT: a tuner that needs a receiver
    NotTransport,    // anything but a transport stream
};

struct DeviceEntry {
    CLSID classId;
    const wchar_t* friendlyName;
    DeviceKind kind;
    OutputSubtype output;
    // Tuners only: the BDA interfaces that the device offers.
    bool hasDeviceControl;
    bool hasFrequencyNode;
    bool hasStatisticsNode;
};

std::span<const DeviceEntry> Devices();
// The entry of a class, or null.
const DeviceEntry* FindDevice(REFCLSID classId);

// Friendly names, for the tests and the run scripts.
namespace standin_names {
constexpr wchar_t kTuner[] = L"Tuner TNT virtuel Brisome";
constexpr wchar_t kPairTuner[] = L"Tuner TNT virtuel Brisome (avec récepteur)";
constexpr wchar_t kReceiver[] = L"Récepteur TNT virtuel Brisome";
constexpr wchar_t kWrongReceiver[] = L"Récepteur virtuel Brisome à sortie MPEG-2";
constexpr wchar_t kTunerNoControl[] = L"Tuner virtuel Brisome sans contrôle";
constexpr wchar_t kTunerNoFrequency[] = L"Tuner virtuel Brisome sans fréquence";
constexpr wchar_t kTunerNoStatistics[] = L"Tuner virtuel Brisome sans statistiques";
constexpr wchar_t kTunerNoTransport[] = L"Tuner virtuel Brisome sans flux de transport";
// Two tuners share this name: the one-filter tuner sorts first in its category, the
// one that needs a receiver second.
constexpr wchar_t kTwinTuner[] = L"Tuner virtuel Brisome en double";
}  // namespace standin_names

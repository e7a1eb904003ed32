#include "standins/catalogue.h"

namespace {

// {B7150A00-51DE-4E5B-9C0D-5E7A1D0000xx}: the category enumerator lists the devices in
// the order of these identifiers, so the last byte fixes the order within a category.
constexpr CLSID StandinClass(BYTE last)
{
    return {0xB7150A00, 0x51DE, 0x4E5B, {0x9C, 0x0D, 0x5E, 0x7A, 0x1D, 0x00, 0x00, last}};
}

using namespace standin_names;

const DeviceEntry kDevices[] = {
    {StandinClass(0x01), kTuner, DeviceKind::Tuner, OutputSubtype::BdaTransport, true, true, true},
    {StandinClass(0x02), kPairTuner, DeviceKind::Tuner, OutputSubtype::Mpeg2Transport, true, true, true},
    {StandinClass(0x03), kTunerNoControl, DeviceKind::Tuner, OutputSubtype::BdaTransport, false, true, true},
    {StandinClass(0x04), kTunerNoFrequency, DeviceKind::Tuner, OutputSubtype::BdaTransport, true, false, true},
    {StandinClass(0x05), kTunerNoStatistics, DeviceKind::Tuner, OutputSubtype::BdaTransport, true, true, false},
    {StandinClass(0x06), kTunerNoTransport, DeviceKind::Tuner, OutputSubtype::NotTransport, true, true, true},
    {StandinClass(0x07), kTwinTuner, DeviceKind::Tuner, OutputSubtype::BdaTransport, true, true, true},
    {StandinClass(0x08), kTwinTuner, DeviceKind::Tuner, OutputSubtype::Mpeg2Transport, true, true, true},
    {StandinClass(0x21), kReceiver, DeviceKind::Receiver, OutputSubtype::BdaTransport, false, false, false},
    {StandinClass(0x22), kWrongReceiver, DeviceKind::Receiver, OutputSubtype::Mpeg2Transport, false, false, false},
};

}  // namespace

std::span<const DeviceEntry> Devices() { return kDevices; }

const DeviceEntry* FindDevice(REFCLSID classId)
{
    for (const DeviceEntry& entry : kDevices) {
        if (IsEqualCLSID(entry.classId, classId)) return &entry;
    }
    return nullptr;
}

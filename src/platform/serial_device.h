#pragma once

#include <map>
#include <string>

namespace valico {

// The device of serial port `port`: the one `devices` names for it (--com, VALICO_COMn), else
// /dev/ttyS{port-1} on Linux and COMn on Windows. Per-OS.
std::string SerialDeviceOf(int port, const std::map<int, std::string>& devices);

// Whether the serial device could be opened now, for the installer's check: opened and closed
// at once, its line settings left as they are. False, with the reason, when it is missing,
// refused, or held by another program (on Linux the programs this user may look into are
// named, with their process ids; Windows tells only that some program holds it). Per-OS.
bool ProbeSerialDevice(const std::string& device, std::string* why);

}  // namespace valico

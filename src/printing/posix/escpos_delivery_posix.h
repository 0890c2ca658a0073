#pragma once

#include <chrono>
#include <map>
#include <stop_token>
#include <string>
#include <string_view>

#include "printing/print_system.h"

namespace valico {

class SerialPorts;

// Delivers one document's ESC/POS bytes to `target` within `bound`, and at once when `stop`
// is requested (the delivery then fails; a serial port's write ends only at its own bound).
// `target` is "tcp://HOST:PORT" (a network printer's raw port), "COMn" or "COMn,9600,N,8,1"
// (a serial port through `ports`), or a device file that must exist (absolute, or relative to
// `home`).
// With `ask_status`, a printer that can answer (network, serial, a character device that
// opens for reading too) is asked its status after the document, and the document is printed
// only when the answer shows the printer online with paper. What cannot answer (a regular
// file, a pipe, a serial printer or a device not asked) is handed over; a network printer not
// asked is printed once it took every byte and closed.
DeliveryResult DeliverEscPos(std::string_view target, std::string_view bytes, bool ask_status,
                             const std::string& home, SerialPorts* ports,
                             std::chrono::milliseconds bound, std::stop_token stop);

// Whether `target` (as above) can be reached now, without sending a byte: a device file is
// present and writable, a serial port (COMn mapped by `com_devices`, as --com says) opens and
// no other program holds it, a network printer's port accepts a connection within `bound`.
// *found says what was found, or why not.
bool EscPosTargetReachable(std::string_view target, const std::string& home,
                           const std::map<int, std::string>& com_devices,
                           std::chrono::milliseconds bound, std::string* found);

}  // namespace valico

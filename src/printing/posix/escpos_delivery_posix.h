#pragma once

#include <chrono>
#include <stop_token>
#include <string>
#include <string_view>

#include "printing/print_system.h"

namespace valico {

class SerialPorts;

// Writes one document's ESC/POS bytes, in one piece, to `target`: "COMn" or "COMn,9600,N,8,1"
// (a serial port through `ports`, whose writes have their own bound), "tcp://HOST:PORT" (a
// raw network printer, connection and write within `bound`), or a device file that must
// exist (absolute, or relative to `home`), written within `bound`.
DeliveryResult DeliverEscPos(std::string_view target, std::string_view bytes,
                             const std::string& home, SerialPorts* ports,
                             std::chrono::milliseconds bound, std::stop_token stop);

}  // namespace valico

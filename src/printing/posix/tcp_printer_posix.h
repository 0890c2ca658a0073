#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "printing/posix/printer_channel_posix.h"
#include "printing/print_system.h"

namespace valico {

// Delivers ESC/POS bytes to a network printer's raw port, `address` being "HOST:PORT" (an
// IPv6 address in brackets), connecting, writing and confirming within `limits`.
// Confirmation: with `ask_status`, the printer's answers to kStatusQuestions sent after the
// document (printed or failed as StatusAnswers judges them); without, the printer's orderly
// close once the document's end is sent (printed), or, when it keeps the connection open past
// the deadline having acknowledged every byte, handed over. A reset, a close before the
// answers or any byte not taken in time is a failure.
DeliveryResult DeliverTcp(std::string_view address, std::string_view bytes, bool ask_status,
                          const DeliveryLimits& limits);

// Whether the network printer's raw port at `address` ("HOST:PORT") accepts a connection
// within `bound`; the connection is closed at once, nothing is sent. *found says what
// answered, or why nothing did.
bool TcpPrinterAccepts(std::string_view address, std::chrono::milliseconds bound,
                       std::string* found);

}  // namespace valico

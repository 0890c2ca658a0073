#include "printing/posix/printer_status_posix.h"

#include <cstdio>

namespace valico {
namespace {

constexpr unsigned kFixedMask = 0x93, kFixedBits = 0x12;
constexpr unsigned kOffline = 0x08;   // printer status, bit 3
constexpr unsigned kNearEnd = 0x0C;   // paper sensor, bits 2-3
constexpr unsigned kPaperEnd = 0x60;  // paper sensor, bits 5-6

std::string Hex(unsigned byte) {
  char text[8];
  std::snprintf(text, sizeof text, "%02X", byte);
  return text;
}

}  // namespace

void StatusAnswers::Take(std::string_view bytes) {
  for (char c : bytes) {
    auto b = static_cast<unsigned char>(c);
    if (count_ < 2 && (b & kFixedMask) == kFixedBits) answers_[count_++] = b;
  }
}

DeliveryResult StatusAnswers::Judge(const std::string& where, const std::string& sent) const {
  unsigned printer = answers_[0], paper = answers_[1];
  if (paper & kPaperEnd)
    return {Delivery::kFailed, where + " is out of paper (paper sensor " + Hex(paper) + ")"};
  if (printer & kOffline)
    return {Delivery::kFailed, where + " is offline (status " + Hex(printer) + ")"};
  if (paper & kNearEnd)
    return {Delivery::kPrinted,
            sent + ", the printer answered online; warning: its paper is near the end"};
  return {Delivery::kPrinted, sent + ", the printer answered online with paper"};
}

}  // namespace valico

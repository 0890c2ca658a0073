#include <windows.h>
#include <winspool.h>

#include <vector>

#include "platform/system_error_win32.h"
#include "printing/printer_check.h"

namespace valico {
namespace {

// The spooler's words for the states that stop a printer from printing.
std::string Trouble(DWORD status, DWORD attributes) {
  const std::pair<DWORD, const char*> states[] = {
      {PRINTER_STATUS_OFFLINE, "offline"},
      {PRINTER_STATUS_ERROR, "in error"},
      {PRINTER_STATUS_PAPER_OUT, "out of paper"},
      {PRINTER_STATUS_PAPER_JAM, "paper jam"},
      {PRINTER_STATUS_PAUSED, "paused"},
      {PRINTER_STATUS_NOT_AVAILABLE, "not available"},
      {PRINTER_STATUS_DOOR_OPEN, "door open"},
      {PRINTER_STATUS_USER_INTERVENTION, "needs the user"},
  };
  std::string trouble;
  for (const auto& [bit, text] : states)
    if (status & bit) trouble += (trouble.empty() ? "" : ", ") + std::string(text);
  if (attributes & PRINTER_ATTRIBUTE_WORK_OFFLINE)
    trouble += (trouble.empty() ? "" : ", ") + std::string("set to work offline");
  return trouble;
}

}  // namespace

bool CheckPrinterOutput(const PrinterCheckOptions&, const std::string& device, std::string* found) {
  HANDLE printer = nullptr;
  if (!::OpenPrinterA(const_cast<char*>(device.c_str()), &printer, nullptr)) {
    *found = "the spooler does not open it: " + SystemErrorText(::GetLastError());
    return false;
  }
  DWORD need = 0;
  ::GetPrinterA(printer, 2, nullptr, 0, &need);
  std::vector<BYTE> info(need ? need : 1);
  BOOL got = ::GetPrinterA(printer, 2, info.data(), need, &need);
  DWORD code = ::GetLastError();
  ::ClosePrinter(printer);
  if (!got) {
    *found = "the spooler does not tell its state: " + SystemErrorText(code);
    return false;
  }
  const auto* p = reinterpret_cast<const PRINTER_INFO_2A*>(info.data());
  std::string trouble = Trouble(p->Status, p->Attributes);
  std::string port = p->pPortName ? p->pPortName : "";
  *found = trouble.empty() ? "ready on " + port : trouble + " (" + port + ")";
  return trouble.empty();
}

}  // namespace valico

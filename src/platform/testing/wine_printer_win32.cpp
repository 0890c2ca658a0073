#include "platform/testing/wine_printer_win32.h"

#include <windows.h>
#include <winspool.h>

#include <filesystem>
#include <fstream>
#include <map>

namespace valico::testing {
namespace {

constexpr char kDriver[] = "Wine PostScript Driver";

std::string Failed(const std::string& what) {
  return what + " failed, error " + std::to_string(::GetLastError());
}

// Writes the generic PPD that winspool.drv carries as a resource into the temporary folder,
// where the driver installation copies it from. Returns its path, or "" with *err.
std::string WritePpd(std::string* err) {
  HMODULE spool = ::GetModuleHandleA("winspool.drv");
  if (!spool) spool = ::LoadLibraryA("winspool.drv");
  HRSRC res = spool ? ::FindResourceA(spool, MAKEINTRESOURCEA(1), "PPDFILE") : nullptr;
  HGLOBAL data = res ? ::LoadResource(spool, res) : nullptr;
  const char* bytes = data ? static_cast<const char*>(::LockResource(data)) : nullptr;
  if (!bytes) {
    *err = Failed("finding the PPD in winspool.drv");
    return "";
  }
  auto path = std::filesystem::temp_directory_path() / "valico-wine-generic.ppd";
  std::ofstream(path, std::ios::binary).write(bytes, ::SizeofResource(spool, res));
  return path.string();
}

// Installs the driver once per prefix; installing it again changes nothing.
bool InstallDriver(std::string* err) {
  std::string ppd = WritePpd(err);
  if (ppd.empty()) return false;
  DRIVER_INFO_3A info{};
  info.cVersion = 3;
  info.pName = const_cast<char*>(kDriver);
  info.pDriverPath = const_cast<char*>("wineps.drv");
  info.pConfigFile = const_cast<char*>("wineps.drv");
  info.pDataFile = ppd.data();
  info.pDefaultDataType = const_cast<char*>("RAW");
  if (::AddPrinterDriverExA(nullptr, 3, reinterpret_cast<BYTE*>(&info),
                            APD_COPY_NEW_FILES | APD_COPY_FROM_DIRECTORY))
    return true;
  *err = Failed("AddPrinterDriverExA");
  return false;
}

void Delete(const std::string& device) {
  HANDLE printer = nullptr;
  PRINTER_DEFAULTSA access{nullptr, nullptr, PRINTER_ALL_ACCESS};
  if (!::OpenPrinterA(const_cast<char*>(device.c_str()), &printer, &access)) return;
  ::DeletePrinter(printer);
  ::ClosePrinter(printer);
}

}  // namespace

WinePrinter::WinePrinter(std::string device, std::string port) : device_(std::move(device)) {
  if (!InstallDriver(&error_)) return;
  Delete(device_);  // one left over from an earlier test of this run
  PRINTER_INFO_2A info{};
  info.pPrinterName = device_.data();
  info.pPortName = port.data();
  info.pDriverName = const_cast<char*>(kDriver);
  info.pPrintProcessor = const_cast<char*>("WinPrint");
  info.pDatatype = const_cast<char*>("RAW");
  info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
  HANDLE printer = ::AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info));
  if (!printer) {
    error_ = Failed("AddPrinterA " + device_);
    return;
  }
  ::ClosePrinter(printer);
  installed_ = true;
}

WinePrinter::~WinePrinter() {
  if (installed_) Delete(device_);
}

bool WinePrinter::MakeDefault() { return installed_ && ::SetDefaultPrinterA(device_.c_str()); }

std::string WinePostScriptText(const std::string& ps) {
  static const std::map<std::string, char> names = {
      {"space", ' '},     {"uni00A0", ' '}, {"comma", ','}, {"period", '.'},
      {"egrave", '\xe8'}, {"Euro", '\x80'}, {"zero", '0'},  {"one", '1'},
      {"two", '2'},       {"three", '3'},   {"four", '4'},  {"five", '5'},
      {"six", '6'},       {"seven", '7'},   {"eight", '8'}, {"nine", '9'}};
  std::string text;
  for (std::size_t at = ps.find(" glyphshow"); at != std::string::npos;
       at = ps.find(" glyphshow", at + 1)) {
    std::size_t slash = ps.rfind('/', at);
    std::string name = ps.substr(slash + 1, at - slash - 1);
    auto it = names.find(name);
    text += name.size() == 1 ? name[0] : it != names.end() ? it->second : '?';
  }
  return text;
}

}  // namespace valico::testing

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "printing/page_layout.h"
#include "printing/posix/page_drawing_posix.h"
#include "printing/preview.h"
#include "printing/trace.h"

namespace valico {
namespace {

namespace fs = std::filesystem;

// The device name as a file name: letters, digits, "-" and "." stay, the rest become "_".
std::string FileNamePart(const std::string& device) {
  std::string s = device.empty() ? "no-printer" : device.substr(0, 80);
  for (char& c : s) {
    bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                c == '-' || c == '.';
    if (!keep) c = '_';
  }
  return s;
}

// The next running number: one more than the highest in the folder.
int NextNumber(const fs::path& folder) {
  int highest = 0;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(folder, ec)) {
    std::string name = e.path().filename().string();
    int n = 0;
    if (std::sscanf(name.c_str(), "%d-", &n) == 1 && n > highest) highest = n;
  }
  return highest + 1;
}

bool WriteFile(const fs::path& path, const std::string& data, std::string* err) {
  std::ofstream out(path, std::ios::binary);
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
  out.close();
  if (!out) {
    *err = "cannot write " + path.string() + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

}  // namespace

bool WritePreviewFiles(const Document& doc, const PrinterProfile& profile,
                       const std::string& native_folder, std::vector<std::string>* files,
                       std::string* err) {
  fs::path folder(native_folder);
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) {
    *err = "cannot create the folder " + native_folder + ": " + ec.message();
    return false;
  }
  // The trace is created exclusively, so two programs writing into one folder at the same
  // moment never share a number.
  fs::path base;
  for (int n = NextNumber(folder);; ++n) {
    char number[16];
    std::snprintf(number, sizeof number, "%04d-", n);
    base = folder / (number + FileNamePart(doc.printer));
    std::FILE* f = std::fopen((base.string() + ".txt").c_str(), "wx");
    if (f) {
      std::fclose(f);
      break;
    }
    if (errno != EEXIST) {
      *err = "cannot write into " + native_folder + ": " + std::strerror(errno);
      return false;
    }
  }
  return WritePreviewFilesAt(doc, profile, base.string(), files, err);
}

bool WritePreviewFilesAt(const Document& doc, const PrinterProfile& profile,
                         const std::string& base, std::vector<std::string>* files,
                         std::string* err) {
  std::string txt = base + ".txt", png = base + ".png", pdf_path = base + ".pdf";
  PageLayout page = LayoutPage(doc, profile);
  std::string trace = TraceText(doc);
  if (page.lines_left_out > 0)
    trace += "(the drawing ends after " + std::to_string(kMaxPageDots) +
             " dots: " + std::to_string(page.lines_left_out) + " more lines are not drawn)\n";
  if (!WriteFile(txt, trace, err)) return false;
  files->push_back(txt);
  if (!DrawPagePng(page, profile.dpi, png, err)) return false;
  files->push_back(png);
  std::string pdf;
  if (!DrawPagePdf(page, profile.dpi, &pdf, err) || !WriteFile(pdf_path, pdf, err)) return false;
  files->push_back(pdf_path);
  return true;
}

}  // namespace valico

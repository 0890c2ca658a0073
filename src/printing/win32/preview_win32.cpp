// Previews on Windows: an enhanced metafile drawn by the same GDI renderer that prints, as
// wide as the printer's paper, and a plain-text trace of every operation.
#include <windows.h>

#include <algorithm>
#include <fstream>

#include "printing/preview.h"
#include "printing/trace.h"
#include "printing/win32/gdi_renderer_win32.h"
#include "printing/win32/numbered_files_win32.h"

namespace valico {
namespace {

bool Fail(std::string* err, const std::string& why) {
  if (err) *err = why;
  return false;
}

bool WriteTrace(const Document& doc, const std::vector<std::string>& notes, const std::string& path,
                std::string* err) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << TraceText(doc);
  for (const std::string& note : notes) out << "left out: " << note << "\n";
  out.flush();
  return out ? true : Fail(err, "cannot write " + path);
}

// Draws the document into a metafile DC; `page_width` and `*bottom` in its device units.
bool Draw(HDC dc, const Document& doc, int page_width, int page_height, GdiRenderResult* result,
          std::string* err) {
  if (page_height > 0) ::PatBlt(dc, 0, 0, page_width, page_height, WHITENESS);
  return RenderWithGdi(doc.ops, GdiCanvas{dc, 0, {}}, result, err);
}

// The metafile is drawn twice: into memory to learn how long the page is, then into the file
// with a white page as wide as the paper and as long as the drawing, so that it opens as the
// strip of paper the printer would give.
bool WriteMetafile(const Document& doc, const PrinterProfile& profile, const std::string& path,
                   std::vector<std::string>* notes, std::string* err) {
  HDC measure = ::CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
  if (!measure)
    return Fail(err, "cannot create a metafile (error " + std::to_string(::GetLastError()) + ")");
  PrinterProfile paper = profile.dpi > 0 && profile.width_dots > 0 ? profile : PrinterProfile{};
  int width = static_cast<int>(std::max<long long>(
      1, 1LL * paper.width_dots * ::GetDeviceCaps(measure, LOGPIXELSX) / paper.dpi));
  // The frame is in hundredths of a millimetre of the reference device (the screen).
  double mm_x =
      100.0 * ::GetDeviceCaps(measure, HORZSIZE) / std::max(1, ::GetDeviceCaps(measure, HORZRES));
  double mm_y =
      100.0 * ::GetDeviceCaps(measure, VERTSIZE) / std::max(1, ::GetDeviceCaps(measure, VERTRES));
  GdiRenderResult measured;
  bool drawn = Draw(measure, doc, width, 0, &measured, err);
  ::DeleteEnhMetaFile(::CloseEnhMetaFile(measure));
  if (!drawn) return false;

  int height = std::max(1, measured.bottom);
  RECT frame{0, 0, static_cast<LONG>(width * mm_x), static_cast<LONG>(height * mm_y)};
  std::string description = "Valico";
  description.append(1, '\0').append(doc.printer).append(2, '\0');
  HDC dc = ::CreateEnhMetaFileA(nullptr, path.c_str(), &frame, description.c_str());
  if (!dc)
    return Fail(err, "cannot create " + path + " (error " + std::to_string(::GetLastError()) + ")");
  GdiRenderResult result;
  drawn = Draw(dc, doc, width, height, &result, err);
  HENHMETAFILE emf = ::CloseEnhMetaFile(dc);
  if (emf) ::DeleteEnhMetaFile(emf);  // the handle only: the file stays
  if (!drawn || !emf) {
    ::DeleteFileA(path.c_str());
    return drawn ? Fail(err, "cannot write " + path) : false;
  }
  *notes = std::move(result.notes);
  return true;
}

}  // namespace

bool WritePreviewFiles(const Document& doc, const PrinterProfile& profile,
                       const std::string& native_folder, std::vector<std::string>* files,
                       std::string* err) {
  // The trace's name takes the running number; the metafile shares it.
  std::string trace = CreateNumberedFile(native_folder, doc.printer, ".txt", err);
  if (trace.empty()) return false;
  return WritePreviewFilesAt(doc, profile, trace.substr(0, trace.size() - 4), files, err);
}

bool WritePreviewFilesAt(const Document& doc, const PrinterProfile& profile,
                         const std::string& base, std::vector<std::string>* files,
                         std::string* err) {
  std::string trace = base + ".txt", picture = base + ".emf";
  std::vector<std::string> notes;
  std::string why;
  bool drawn = WriteMetafile(doc, profile, picture, &notes, &why);
  if (!drawn) notes.push_back("no picture: " + why);
  if (!WriteTrace(doc, notes, trace, err)) return false;
  files->push_back(trace);
  if (!drawn) return Fail(err, why);
  files->push_back(picture);
  return true;
}

}  // namespace valico

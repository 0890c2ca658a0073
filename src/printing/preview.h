#pragma once

#include <string>
#include <vector>

#include "printing/document.h"
#include "printing/printer_profile.h"

namespace valico {

// Writes what the paper would show for one document into `native_folder` (created when
// missing): a plain-text trace of every operation, and a drawing of the page (PNG and PDF on
// Linux, an enhanced metafile on Windows). Files are named by a running number and the device
// name, so documents never overwrite each other. *files receives the paths written. Per-OS.
bool WritePreviewFiles(const Document& doc, const PrinterProfile& profile,
                       const std::string& native_folder, std::vector<std::string>* files,
                       std::string* err);

// The same files named "<base>.txt", "<base>.png"... (a native path without extension). Per-OS.
bool WritePreviewFilesAt(const Document& doc, const PrinterProfile& profile,
                         const std::string& base, std::vector<std::string>* files,
                         std::string* err);

}  // namespace valico

#pragma once

#include <string>
#include <vector>

#include "platform/diag_log.h"
#include "platform/regional.h"

namespace valico {

// What `valico render` lays out: a job file as a printer model would print it, on a preview
// printer, without the service and without touching the file.
struct RenderRequest {
  std::string file;     // native path of the job file
  std::string model;    // a model as the settings name it (RenderModelNames)
  std::string printer;  // device name of the preview printer; empty: the model's name
  std::string folder;   // native folder that receives the previews
  Regional regional;    // how the job's numbers are written (--locale, or the user's)
};

// The models that render knows.
std::vector<std::string> RenderModelNames();

// Lays the job out on a preview printer writing into request.folder; *files receives the
// paths written, in order. False, with the reason, when the model is unknown, the file cannot
// be read or is no job to print, or a preview could not be written.
bool RenderJob(const RenderRequest& request, DiagLog& log, std::vector<std::string>* files,
               std::string* err);

}  // namespace valico

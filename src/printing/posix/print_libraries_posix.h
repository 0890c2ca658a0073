#pragma once

#include <string>

namespace valico {

// cairo (previews, PDFs) and libcups (CUPS queues) are loaded when the first drawing or CUPS
// job needs them, not at start: a till that never prints through them never maps them, nor
// the font and image libraries they bring. The functions of theirs that the printing code
// calls are defined in print_libraries_posix.cpp and go to the library once it is loaded, so
// that code calls them as it always did; it only asks for the library first, here, and gets
// the reason when it is not installed.
bool LoadCairo(std::string* err);
bool LoadCups(std::string* err);

}  // namespace valico

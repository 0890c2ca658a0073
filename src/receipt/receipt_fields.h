#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace valico {

// The fields of a receipt job file, in file order; each field is one record. Fields are
// separated by commas and by line ends (CR, LF or CR LF). Blanks (spaces, tabs) before a field
// are skipped. A field that begins with a double quote runs to the next double quote and keeps
// the commas inside it; whatever follows the closing quote up to the next comma or line end is
// skipped. A quote left open ends with its line, so a missing quote costs one line, not the
// rest of the job. Any other field runs up to the next comma or line end, its trailing blanks
// kept. A blank line gives one empty field, and so does a comma right before a line end or the
// end of the file; the line end that closes the file gives none.
std::vector<std::string> ReadReceiptFields(std::string_view text);

}  // namespace valico

#pragma once

#include <string>
#include <string_view>

namespace valico {

class Context;

// Bytes of the serial pre-bill printer.
inline constexpr std::string_view kPrebillLineEnd = "\r\n";
inline constexpr std::string_view kPrebillBlankLine = " \r\n";
inline constexpr std::string_view kPrebillCut = "\x1bm";
inline constexpr std::string_view kPrebillTestText = "ambaraBA CICI COCO TRE CIVETTE";

// Sets up the pre-bill port from the model: port number from Cort_Com (a value that is not a
// number leaves the port as it was), settings Cort_Sett, buffers 2048 in and 1024 out.
void SetUpComPreconto(Context& ctx);

// "DPT-282": sends the text of the job's "N2" lines, each with CR LF, then five blank lines
// and the cut, on the pre-bill port, closes the port and deletes the job. Reports nothing: a
// port that does not open sends nothing, an unreadable job sends only the blank lines and
// the cut; the diagnostic log says why.
void StampaCortDPT(Context& ctx, const std::string& job);

// The installer's test print: the test text, five blank lines and the cut on the pre-bill
// port. The first step that fails ends the test with the message "Errore: " and the reason;
// the port is closed in every case. True when every byte went out.
bool Command1_Click(Context& ctx);

}  // namespace valico

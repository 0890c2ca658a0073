#pragma once

#include <string>

namespace valico {

class Context;

// The driver protocols, as MF_Prot names them. Any other value hands nothing on.
inline constexpr char kProtCasio[] = "CASIO/DITRON - 24";
inline constexpr char kProtGlobe[] = "GLOBE DRIVER - 106";
inline constexpr char kProtFPMate[] = "FPMate - 29";

// Hands one fiscal job (the full path of a file in the intake folder) to the register's
// driver by the protocol MF_Prot names, waiting on the driver where the protocol needs it:
//   CASIO/DITRON: waits up to six delays of MF_Ritardo for the driver to take MF_File, then
//     one more delay (none for a "...DLY_ZIP.TXT" job) and copies the job over MF_File; a job
//     whose MF_File stays busy is dropped.
//   GLOBE DRIVER: copies the job over MF_File, starts MF_Driver and gives it up to 102 delays
//     to write MF_File_Output; deletes the output when it came, withdraws MF_File when not.
//     A driver that cannot be started, or a job that cannot be copied, is not waited for.
//   FPMate: moves the lowest buffered receipt (MF_Buffer) or MF_File to Epson\Scontr.xml.
// Writes the hand-off log while MF_ChkLog is set. Leaves the job file where it is: the intake
// deletes it.
void InviaFileMF(Context& ctx, const std::string& file_lavoro);

// Moves buffered receipts, slot 1 to 20 of DirBorea\_Buffer (files #0001 ... #0020), to
// cartella\nome_file while that file is free: one receipt per call unless the driver takes it
// at once. The other slots wait for later calls.
void ScaricaBufferMF(Context& ctx, const std::string& nome_file, const std::string& cartella);

}  // namespace valico

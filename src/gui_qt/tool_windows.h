#pragma once

#include <QDialog>

#include "core/context.h"
#include "shell/service.h"

namespace valico {

// The small windows of the menus. Each is modeless, without an owner, and deletes itself when
// closed; none keeps anything from one opening to the next.

// "About": the maker's logo and lines, the Borea release, the version, "Chiudi".
QDialog* MakeAboutBox();

// "TEST Epson TM-U295": rows and columns, and "Stampa TEST", which prints the slip printer's
// calibration test and shows its result through the context's message boxes.
QDialog* MakeSlipTestWindow(Context& ctx);

// "Elenco Porte Stampanti": the installed printers with their ports, listed at the opening.
QDialog* MakePrinterListWindow(Context& ctx);

// "Stato stampe": the status report of this program (`ticks`: its service, null before the
// load ended), shown at the opening and again by "Aggiorna"; "Ristampa" queues every document
// of NonStampati again and shows what became of each above the report.
QDialog* MakePrintStatusWindow(Context& ctx, ServiceTicks* ticks);

// "Verifica installazione": the installer's check, as this program (which serves the folder)
// sees it, with its marks; "Aggiorna" checks again.
QDialog* MakeDoctorWindow(Context& ctx);

}  // namespace valico

#pragma once

#include <stop_token>

#include "jobs/transfer_services.h"

namespace valico {

// Opens (azione 1) or closes (azione 2) the dial-up connection: rewrites "Dial.bat" in the
// program folder with its one "rasdial" line and runs it, waiting for its end. True when the
// batch file was run (not that the connection was made); false, doing nothing, when one of
// Int_Indirizzo, Ind_User, Ind_Pw is empty. Any other azione deletes the batch file and
// returns false.
bool Connessione(const TransferServices& svc, int azione, std::stop_token stop = {});

}  // namespace valico

#pragma once

namespace valico {

class Context;

// Start-up preparation of the spools: every spool flag is written open ("-1"), and each of
// the folders CortBorea, CortIN, Borea and IN under the program folder is created when
// missing or emptied of its files (jobs dropped while Valico was not running are discarded).
void PreparaCartelle(Context& ctx);

}  // namespace valico

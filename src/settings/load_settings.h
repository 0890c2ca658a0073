#pragma once

#include <optional>

#include "settings/typed_value.h"

namespace valico {

class Context;

// Settles Borea's folder: Borea_Directory without one trailing "\" ("C:\Caldera" when
// empty), written back; IniLocal; and the runtime path from RT_Access, stored as RunTimeBorea.
void ImpostaCartellaBorea(Context& ctx);

// Loads _Valico.ini into the configuration model and the window's controls; missing or blank
// keys take their defaults. Gives the display port, and the pre-bill port of a "DPT-282",
// their port number and settings without opening them.
void CaricaSettaggi(Context& ctx);

// Borea_Setting as a flag (default true), as the start-up and the imports read it.
bool ReadSettaggiBorea(const Context& ctx);

// A typed value as a flag: a flag or a number; empty for a text, which cannot be one.
std::optional<bool> AsFlag(const TypedValue& v);

}  // namespace valico

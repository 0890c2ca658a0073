#pragma once

namespace valico {

// The About box (fAbout): shown from the menu "About", without an owner and without blocking
// the main window; "Chiudi" closes it.
struct AboutBoxText {
  static constexpr const char* kTitle = "About";
  static constexpr const char* kMaker = "Valico - programmi per il punto cassa";
  static constexpr const char* kStreet = "Via dell'Artigianato 4";
  static constexpr const char* kTown = "40057 Granarolo dell'Emilia (BO)";
  static constexpr const char* kSupport = "assistenza@valico.example";
  static constexpr const char* kBorea = "Utilizzabile con Borea release 2.10.17 o successive";
  static constexpr const char* kVersion = "Versione 2.2.0 del 26 aprile 2010";
  static constexpr const char* kClose = "Chiudi";
};

}  // namespace valico

#pragma once

// The names of the main window's controls: the form model, the load and the window code all
// name a control through these, so a mistyped name does not compile.
namespace valico::controls {

inline constexpr const char* BoreaDir = "BoreaDir";
inline constexpr const char* chkBorea = "chkBorea";

inline constexpr const char* DLY_Active = "DLY_Active";
inline constexpr const char* DLY_File = "DLY_File";
inline constexpr const char* DLY_Type = "DLY_Type";
inline constexpr const char* DLY_com = "DLY_com";
inline constexpr const char* DLY_Param = "DLY_Param";

inline constexpr const char* MF_Active = "MF_Active";
inline constexpr const char* MF_File = "MF_File";
inline constexpr const char* MF_Driver = "MF_Driver";
inline constexpr const char* MF_Type = "MF_Type";
inline constexpr const char* MF_chkLog = "MF_chkLog";
inline constexpr const char* MF_Protocol = "MF_Protocol";
inline constexpr const char* MF_Delay = "MF_Delay";
inline constexpr const char* MF_Param = "MF_Param";
inline constexpr const char* MF_Com = "MF_Com";
inline constexpr const char* MF_Buffer = "MF_Buffer";
inline constexpr const char* MF_FileOutput = "MF_FileOutput";

inline constexpr const char* RF_Active = "RF_Active";
inline constexpr const char* RF_File = "RF_File";
inline constexpr const char* RF_FILE_2 = "RF_FILE_2";
inline constexpr const char* RF_Righe = "RF_Righe";
inline constexpr const char* RF_RIGHE_2 = "RF_RIGHE_2";
inline constexpr const char* RF_Printer = "RF_Printer";
inline constexpr const char* RF_PRINTER_2 = "RF_PRINTER_2";
inline constexpr const char* RF_COM = "RF_COM";
inline constexpr const char* RF_COM_2 = "RF_COM_2";

inline constexpr const char* Cort_Active = "Cort_Active";
inline constexpr const char* Cort_File = "Cort_File";
inline constexpr const char* Cort_Logo = "Cort_Logo";
inline constexpr const char* Cort_Printer = "Cort_Printer";
inline constexpr const char* Cort_COM = "Cort_COM";

inline constexpr const char* chkOpPian = "chkOpPian";
inline constexpr const char* Postazione = "Postazione";

inline constexpr const char* FTP_server = "FTP_server";
inline constexpr const char* FTP_Utente = "FTP_Utente";
inline constexpr const char* FTP_Parola = "FTP_Parola";
inline constexpr const char* WEB_Connessione = "WEB_Connessione";
inline constexpr const char* WEB_Utente = "WEB_Utente";
inline constexpr const char* WEB_Parola = "WEB_Parola";
inline constexpr const char* chkConnessione = "chkConnessione";

}  // namespace valico::controls

#include "settings/config.h"

#include "settings/ini_store.h"

namespace valico {

MfProtocol ParseMfProtocol(std::string_view text) {
  if (text == kProtCasio) return MfProtocol::kCasio;
  if (text == kProtGlobe) return MfProtocol::kGlobe;
  if (text == kProtFPMate) return MfProtocol::kFPMate;
  return MfProtocol::kOther;
}

CortModel ParseCortModel(std::string_view text) {
  if (text == kCortOlivetti) return CortModel::kOlivetti;
  if (text == kCortSamsung) return CortModel::kSamsung;
  if (text == kCortDpt282) return CortModel::kDpt282;
  if (text == kCortSolipos) return CortModel::kSolipos;
  if (text == kCortTypeSuSeriale) return CortModel::kTypeSuSeriale;
  return CortModel::kOther;
}

RfModel ParseRfModel(std::string_view text) {
  if (text == kRfTmL90) return RfModel::kTmL90;
  if (text == kRfKube) return RfModel::kKube;
  if (text == kRfTmU295) return RfModel::kTmU295;
  return RfModel::kOther;
}

void ParseChoices(Config& cfg) {
  cfg.mf_protocol = ParseMfProtocol(cfg.MF_Prot);
  cfg.cort_model = ParseCortModel(cfg.Cort_Printer);
  cfg.rf_model = ParseRfModel(cfg.RF_Stampante);
}

bool ReadSettaggiBorea(const IniStore& ini, const Config& cfg) {
  std::string s = ini.LeggiINI("Varie", "Borea_Setting", "-1", cfg.IniValico);
  return AsFlag(ConvertStoredText(s, ini.regional())).value_or(cfg.SettaggiBorea);
}

}  // namespace valico

#include "printing/control_font.h"

#include <string_view>

namespace valico {
namespace {

using namespace std::string_view_literals;
using Effect = ControlCommand::Effect;

std::string Bytes(std::initializer_list<int> b) {
  std::string s;
  for (int v : b) s += static_cast<char>(v);
  return s;
}

// The fixed rows of the control font; drawers, logos and "P" are computed below. Rows for
// "r", "p" and "y" are inferred, not documented: correct them here after a real capture.
struct Row {
  char c;
  std::string_view bytes;
  const char* note;
  Effect effect;
};
const Row kRows[] = {
    {'g', "\x1d\x56\x01"sv, "partial cut, no feed", Effect::kOther},
    {'F', "\x1d\x56\x41\x00"sv, "feed, full cut", Effect::kOther},
    {'w', "\x1b\x61\x00"sv, "align left", Effect::kAlignLeft},
    {'x', "\x1b\x61\x01"sv, "align centre", Effect::kAlignCentre},
    {'y', "\x1b\x61\x02"sv, "align right", Effect::kAlignRight},
    {'r', "\x1d\x48\x02"sv, "barcode digits below", Effect::kDigitsBelow},
    {'p', "\x1d\x48\x00"sv, "barcode without digits", Effect::kNoDigits},
    {' ', "\x0a"sv, "feed", Effect::kFeed},
};

}  // namespace

ControlCommand ControlCommandFor(char c, const PrinterProfile& profile) {
  ControlCommand cmd;
  if ((c >= 'A' && c <= 'E') || (c >= 'a' && c <= 'e')) {
    // Drawer kick: pulse of 50, 100, ... 250 ms, given in units of 2 ms.
    int drawer = c >= 'a' ? 1 : 0;
    int ms = 50 * ((c >= 'a' ? c - 'a' : c - 'A') + 1);
    cmd.bytes = Bytes({0x1b, 0x70, drawer, ms / 2, ms / 2});
    cmd.note = "drawer " + std::to_string(drawer + 1) + ", " + std::to_string(ms) + " ms";
    return cmd;
  }
  if (c >= 'G' && c <= 'K') {
    int n = c - 'G' + 1;
    cmd.bytes = Bytes({0x1c, 0x70, n, 0x00});
    cmd.note = "stored logo " + std::to_string(n);
    return cmd;
  }
  if (c == 'P') {
    cmd.bytes = profile.cut;
    cmd.note = profile.cut.empty() ? "cut (this printer has no cutter)" : "cut";
    return cmd;
  }
  for (const Row& r : kRows) {
    if (r.c != c) continue;
    cmd.bytes = r.bytes;
    cmd.note = r.note;
    cmd.effect = r.effect;
    return cmd;
  }
  cmd.effect = Effect::kNone;
  unsigned char u = static_cast<unsigned char>(c);
  cmd.note = u >= 0x20 && u < 0x7f ? std::string("control \"") + c + "\": no command"
                                   : "control byte " + std::to_string(u) + ": no command";
  return cmd;
}

}  // namespace valico

#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace valico::testing {

// What GDI recorded in an enhanced metafile, read back record by record: the fonts asked for,
// each text with the font and colour in force and its reference point, each picture with its
// place and its pixels. Tests check a GDI drawing through it.
struct MetafileText {
  std::wstring text;
  POINTL at{};
  LOGFONTW font{};
  COLORREF colour = 0;
};
struct MetafileBitmap {
  LONG x = 0, y = 0, cx = 0, cy = 0;  // where it was drawn, in device units
  int width = 0, height = 0;          // its pixels
  std::vector<std::uint8_t> rgb;      // rows from the top, 3 bytes a pixel (24-bit DIBs only)
};
struct MetafileRecords {
  RECTL bounds{};  // device units, inclusive
  RECTL frame{};   // hundredths of a millimetre
  std::vector<LOGFONTW> fonts;
  std::vector<MetafileText> texts;
  std::vector<MetafileBitmap> bitmaps;
};

inline MetafileRecords ReadMetafile(HENHMETAFILE emf) {
  struct State {
    MetafileRecords out;
    std::map<DWORD, LOGFONTW> objects;
    LOGFONTW font{};
    COLORREF colour = 0;
  } state;
  auto each = [](HDC, HANDLETABLE*, const ENHMETARECORD* rec, int, LPARAM param) -> int {
    auto* s = reinterpret_cast<State*>(param);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(rec);
    switch (rec->iType) {
      case EMR_HEADER:
        s->out.bounds = reinterpret_cast<const ENHMETAHEADER*>(rec)->rclBounds;
        s->out.frame = reinterpret_cast<const ENHMETAHEADER*>(rec)->rclFrame;
        break;
      case EMR_EXTCREATEFONTINDIRECTW: {
        const auto* r = reinterpret_cast<const EMREXTCREATEFONTINDIRECTW*>(rec);
        s->objects[r->ihFont] = r->elfw.elfLogFont;
        s->out.fonts.push_back(r->elfw.elfLogFont);
        break;
      }
      case EMR_SELECTOBJECT: {
        auto it = s->objects.find(reinterpret_cast<const EMRSELECTOBJECT*>(rec)->ihObject);
        if (it != s->objects.end()) s->font = it->second;
        break;
      }
      case EMR_SETTEXTCOLOR:
        s->colour = reinterpret_cast<const EMRSETTEXTCOLOR*>(rec)->crColor;
        break;
      case EMR_EXTTEXTOUTW: {
        const auto* r = reinterpret_cast<const EMREXTTEXTOUTW*>(rec);
        const auto* chars = reinterpret_cast<const wchar_t*>(bytes + r->emrtext.offString);
        s->out.texts.push_back(
            {std::wstring(chars, r->emrtext.nChars), r->emrtext.ptlReference, s->font, s->colour});
        break;
      }
      case EMR_STRETCHDIBITS: {
        const auto* r = reinterpret_cast<const EMRSTRETCHDIBITS*>(rec);
        const auto* info = reinterpret_cast<const BITMAPINFOHEADER*>(bytes + r->offBmiSrc);
        MetafileBitmap b{
            r->xDest, r->yDest, r->cxDest, r->cyDest, info->biWidth, std::abs(info->biHeight), {}};
        if (info->biBitCount == 24) {
          const std::uint8_t* bits = bytes + r->offBitsSrc;
          std::size_t stride = (b.width * 3 + 3) & ~3;
          for (int row = 0; row < b.height; ++row) {
            int stored = info->biHeight > 0 ? b.height - 1 - row : row;
            for (int i = 0; i < b.width; ++i) {
              const std::uint8_t* p = bits + stored * stride + i * 3;
              b.rgb.insert(b.rgb.end(), {p[2], p[1], p[0]});
            }
          }
        }
        s->out.bitmaps.push_back(std::move(b));
        break;
      }
    }
    return 1;
  };
  ::EnumEnhMetaFile(nullptr, emf, each, &state, nullptr);
  return state.out;
}

// The height of a line in a font, as the screen (a metafile's reference device) measures it.
inline int LineHeightOf(const LOGFONTW& font) {
  HDC dc = ::CreateCompatibleDC(nullptr);
  HFONT f = ::CreateFontIndirectW(&font);
  HGDIOBJ old = ::SelectObject(dc, f);
  TEXTMETRICW tm{};
  ::GetTextMetricsW(dc, &tm);
  ::SelectObject(dc, old);
  ::DeleteObject(f);
  ::DeleteDC(dc);
  return tm.tmHeight + tm.tmExternalLeading;
}

}  // namespace valico::testing

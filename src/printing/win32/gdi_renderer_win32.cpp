// The GDI renderer: one document's operations drawn on a printer DC (or a metafile DC for a
// preview). Text goes out as the Windows-1252 bytes it is, through TextOutA, in fonts chosen by
// face name, so that a receipt printer's driver can turn its device fonts, its control font and
// its barcode fonts into printer commands.
#include "printing/win32/gdi_renderer_win32.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <new>
#include <string_view>

namespace valico {
namespace {

// Larger pictures are left out: a receipt logo is a few hundred pixels across, and the copy
// GDI needs must not take the memory of the resident program.
constexpr std::uint64_t kMaxBitmapPixels = 32'000'000;
// Positions and sizes beyond this many device units are clamped; no page is that long, and
// GDI's coordinates are 32-bit.
constexpr double kMaxDeviceUnits = 1'000'000;

int ToDevice(double points, int dpi) {
  return static_cast<int>(
      std::llround(std::clamp(points * dpi / 72.0, -kMaxDeviceUnits, kMaxDeviceUnits)));
}

class GdiRenderer {
 public:
  GdiRenderer(const GdiCanvas& canvas, GdiRenderResult* result)
      : c_(canvas), r_(result), saved_(::SaveDC(canvas.dc)) {
    dpi_x_ = std::max(1, ::GetDeviceCaps(c_.dc, LOGPIXELSX));
    dpi_y_ = std::max(1, ::GetDeviceCaps(c_.dc, LOGPIXELSY));
    SetUpDc();
    line_height_ = LineHeight();
  }
  ~GdiRenderer() {
    ::RestoreDC(c_.dc, saved_);  // selects the DC's own font back before ours is deleted
    if (font_) ::DeleteObject(font_);
  }
  GdiRenderer(const GdiRenderer&) = delete;
  GdiRenderer& operator=(const GdiRenderer&) = delete;

  bool Render(const std::vector<PrinterOp>& ops, std::string* err) {
    for (const PrinterOp& op : ops) {
      switch (op.kind) {
        case PrinterOp::Kind::kFontName:
          face_ = op.text;
          font_changed_ = true;
          break;
        case PrinterOp::Kind::kFontSize:
          points_ = op.size;
          font_changed_ = true;
          break;
        case PrinterOp::Kind::kBold:
          bold_ = op.bold;
          font_changed_ = true;
          break;
        case PrinterOp::Kind::kColour:
          colour_ = RGB(op.colour.r, op.colour.g, op.colour.b);
          ::SetTextColor(c_.dc, colour_);
          break;
        case PrinterOp::Kind::kPosition:
          if (op.x && std::isfinite(*op.x)) x_ = ToDevice(*op.x, dpi_x_);
          if (op.y && std::isfinite(*op.y)) y_ = ToDevice(*op.y, dpi_y_);
          break;
        case PrinterOp::Kind::kPrintLine:
          if (!PrintText(op.text, err)) return false;
          break;
        case PrinterOp::Kind::kDrawBitmap:
          DrawBitmap(op.bitmap.get());
          break;
        case PrinterOp::Kind::kEndDocument:
          break;  // a document never holds its own end: sending it is the caller's
      }
    }
    return true;
  }

 private:
  void SetUpDc() {
    ::SetMapMode(c_.dc, MM_TEXT);
    ::SetBkMode(c_.dc, TRANSPARENT);  // text over a logo must not blank it out
    ::SetTextAlign(c_.dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    ::SetTextColor(c_.dc, colour_);
    if (font_) ::SelectObject(c_.dc, font_);
  }

  // A line's height as the selected font gives it, the way Windows programs advance a line.
  int LineHeight() {
    TEXTMETRICA tm{};
    if (!::GetTextMetricsA(c_.dc, &tm)) return std::max(1, dpi_y_ / 6);  // 12 pt
    return std::max(1, static_cast<int>(tm.tmHeight + tm.tmExternalLeading));
  }

  void ApplyFont() {
    if (!font_changed_) return;
    font_changed_ = false;
    // LOGFONT holds 31 characters of a face name; a NUL ends it anyway.
    std::string face = face_.substr(0, std::min(face_.find('\0'), std::size_t{LF_FACESIZE - 1}));
    // DEFAULT_CHARSET lets the face name decide: a driver's control or barcode font has its
    // own character set, and asking for another would give a substitute font.
    HFONT font =
        ::CreateFontA(GdiFontHeight(points_, dpi_y_), 0, 0, 0, bold_ ? FW_BOLD : FW_NORMAL, FALSE,
                      FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                      DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
    if (!font) return;  // the previous font stays: better than no text
    ::SelectObject(c_.dc, font);
    if (font_) ::DeleteObject(font_);
    font_ = font;
    line_height_ = LineHeight();
  }

  // Prints each CR LF-separated piece as a line of its own; every piece ends its line, so an
  // empty text, or an empty piece, only moves down a line.
  bool PrintText(std::string_view text, std::string* err) {
    ApplyFont();
    for (;;) {
      std::size_t end = text.find("\r\n");
      if (!PrintLine(text.substr(0, end), err)) return false;
      if (end == std::string_view::npos) return true;
      text.remove_prefix(end + 2);
    }
  }

  bool PrintLine(std::string_view line, std::string* err) {
    // A new page when this line would pass the printable height; a line taller than a whole
    // page stays at the top of its page.
    if (c_.page_height > 0 && y_ > 0 && y_ + line_height_ > c_.page_height) {
      if (!c_.new_page || !c_.new_page(err)) return false;
      SetUpDc();  // a new page may start from the device's defaults
      y_ = 0;
    }
    if (!line.empty()) {
      int n = static_cast<int>(std::min<std::size_t>(line.size(), INT_MAX));
      if (!::TextOutA(c_.dc, x_, y_, line.data(), n)) {
        if (err)
          *err =
              "the printer refused a line of text (error " + std::to_string(::GetLastError()) + ")";
        return false;
      }
    }
    r_->bottom = std::max(r_->bottom, y_ + line_height_);
    y_ += line_height_;
    x_ = 0;
    return true;
  }

  // Draws the picture with its top left corner at the current position, which stays where it
  // is (as when a picture is painted): the caller moves on with a position of its own.
  void DrawBitmap(const Bitmap* bmp) {
    if (!bmp) return Note("a bitmap operation without a picture was left out");
    std::uint64_t pixels = std::uint64_t(std::max(bmp->width, 0)) * std::max(bmp->height, 0);
    std::string size = std::to_string(bmp->width) + " x " + std::to_string(bmp->height);
    if (pixels > kMaxBitmapPixels)
      return Note("a bitmap of " + size + " pixels is too large to print and was left out");
    if (pixels == 0 || bmp->rgb.size() != pixels * 3)
      return Note("a bitmap of " + size + " pixels with " + std::to_string(bmp->rgb.size()) +
                  " bytes of colour is damaged and was left out");

    // GDI takes bottom-up rows of blue, green, red, each row padded to 4 bytes.
    const std::size_t w = bmp->width, h = bmp->height, stride = (w * 3 + 3) & ~std::size_t{3};
    std::vector<std::uint8_t> bits;
    try {
      bits.resize(stride * h);
    } catch (const std::bad_alloc&) {
      return Note("no memory for a bitmap of " + size + " pixels; it was left out");
    }
    for (std::size_t row = 0; row < h; ++row) {
      const std::uint8_t* from = &bmp->rgb[row * w * 3];
      std::uint8_t* to = &bits[(h - 1 - row) * stride];
      for (std::size_t i = 0; i < w; ++i, from += 3, to += 3) {
        to[0] = from[2];
        to[1] = from[1];
        to[2] = from[0];
      }
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = bmp->width;
    info.bmiHeader.biHeight = bmp->height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    int dest_w = PictureDots(bmp->width, dpi_x_), dest_h = PictureDots(bmp->height, dpi_y_);
    if (::StretchDIBits(c_.dc, x_, y_, dest_w, dest_h, 0, 0, bmp->width, bmp->height, bits.data(),
                        &info, DIB_RGB_COLORS, SRCCOPY) <= 0)
      return Note("the printer refused a bitmap of " + size + " pixels (error " +
                  std::to_string(::GetLastError()) + ")");
    r_->bottom = std::max(
        r_->bottom, static_cast<int>(std::min<std::int64_t>(std::int64_t{y_} + dest_h, INT_MAX)));
  }

  void Note(std::string why) { r_->notes.push_back(std::move(why)); }

  const GdiCanvas& c_;
  GdiRenderResult* r_;
  int saved_;
  int dpi_x_ = 96, dpi_y_ = 96;
  std::string face_;
  double points_ = 0;
  bool bold_ = false;
  COLORREF colour_ = RGB(0, 0, 0);
  bool font_changed_ = false;
  HFONT font_ = nullptr;
  int line_height_ = 1;
  int x_ = 0, y_ = 0;
};

}  // namespace

int GdiFontHeight(double points, int dpi_y) {
  if (!(points > 0)) return 0;  // also NaN
  // Heights beyond 32,767 units are not fonts any device draws.
  return -static_cast<int>(std::llround(std::min(points * dpi_y / 72.0, 32767.0)));
}

bool RenderWithGdi(const std::vector<PrinterOp>& ops, const GdiCanvas& canvas,
                   GdiRenderResult* result, std::string* err) {
  GdiRenderer renderer(canvas, result);
  return renderer.Render(ops, err);
}

}  // namespace valico

#include "printing/posix/print_libraries_posix.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <cups/cups.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "platform/shared_library_posix.h"

namespace valico {
namespace {

// One library, opened at most once, at the first call that needs it.
class LazyLibrary {
 public:
  explicit LazyLibrary(const char* soname) : soname_(soname) {}

  bool Load(std::string* err) {
    std::call_once(once_, [&] { loaded_ = lib_.Open({soname_}, &failure_); });
    if (!loaded_ && err) *err = failure_;
    return loaded_;
  }

  // The library's own `symbol`, typed as the header declares it. Reached only through a
  // function the printing code calls after Load said yes: anything else is a broken build.
  template <typename F>
  F Resolve(const char* symbol) {
    std::string err;
    F fn = nullptr;
    if (Load(&err) && lib_.Find(symbol, &fn, &err)) return fn;
    std::fprintf(stderr, "valico: %s\n", err.c_str());
    std::abort();
  }

 private:
  const char* soname_;
  std::once_flag once_;
  bool loaded_ = false;
  std::string failure_;
  SharedLibrary lib_;
};

LazyLibrary& Cairo() {
  static LazyLibrary lib("libcairo.so.2");
  return lib;
}

LazyLibrary& Cups() {
  static LazyLibrary lib("libcups.so.2");
  return lib;
}

}  // namespace

bool LoadCairo(std::string* err) { return Cairo().Load(err); }
bool LoadCups(std::string* err) { return Cups().Load(err); }

}  // namespace valico

// Each function as its header declares it (the compiler holds the two to each other), going to
// the loaded library's own.
#define VALICO_FORWARD(lib, ret, name, params, args)                                   \
  ret name params {                                                                    \
    static const auto fn = ::valico::lib().Resolve<decltype(&name)>(#name); /* once */ \
    return fn args;                                                                    \
  }

extern "C" {

VALICO_FORWARD(Cairo, void, cairo_clip, (cairo_t * cr), (cr))
VALICO_FORWARD(Cairo, cairo_t*, cairo_create, (cairo_surface_t * target), (target))
VALICO_FORWARD(Cairo, void, cairo_destroy, (cairo_t * cr), (cr))
VALICO_FORWARD(Cairo, void, cairo_fill, (cairo_t * cr), (cr))
VALICO_FORWARD(Cairo, void, cairo_font_extents, (cairo_t * cr, cairo_font_extents_t* e), (cr, e))
VALICO_FORWARD(Cairo, cairo_font_options_t*, cairo_font_options_create, (void), ())
VALICO_FORWARD(Cairo, void, cairo_font_options_destroy, (cairo_font_options_t * o), (o))
VALICO_FORWARD(Cairo, void, cairo_font_options_set_hint_metrics,
               (cairo_font_options_t * o, cairo_hint_metrics_t m), (o, m))
VALICO_FORWARD(Cairo, cairo_pattern_t*, cairo_get_source, (cairo_t * cr), (cr))
VALICO_FORWARD(Cairo, cairo_surface_t*, cairo_image_surface_create,
               (cairo_format_t format, int width, int height), (format, width, height))
VALICO_FORWARD(Cairo, unsigned char*, cairo_image_surface_get_data, (cairo_surface_t * s), (s))
VALICO_FORWARD(Cairo, int, cairo_image_surface_get_stride, (cairo_surface_t * s), (s))
VALICO_FORWARD(Cairo, void, cairo_matrix_init_scale, (cairo_matrix_t * m, double sx, double sy),
               (m, sx, sy))
VALICO_FORWARD(Cairo, void, cairo_move_to, (cairo_t * cr, double x, double y), (cr, x, y))
VALICO_FORWARD(Cairo, void, cairo_paint, (cairo_t * cr), (cr))
VALICO_FORWARD(Cairo, void, cairo_pattern_set_filter, (cairo_pattern_t * p, cairo_filter_t f),
               (p, f))
VALICO_FORWARD(Cairo, cairo_surface_t*, cairo_pdf_surface_create_for_stream,
               (cairo_write_func_t write, void* closure, double width, double height),
               (write, closure, width, height))
VALICO_FORWARD(Cairo, void, cairo_rectangle, (cairo_t * cr, double x, double y, double w, double h),
               (cr, x, y, w, h))
VALICO_FORWARD(Cairo, void, cairo_restore, (cairo_t * cr), (cr))
VALICO_FORWARD(Cairo, void, cairo_save, (cairo_t * cr), (cr))
VALICO_FORWARD(Cairo, void, cairo_scale, (cairo_t * cr, double sx, double sy), (cr, sx, sy))
VALICO_FORWARD(Cairo, void, cairo_select_font_face,
               (cairo_t * cr, const char* family, cairo_font_slant_t slant,
                cairo_font_weight_t weight),
               (cr, family, slant, weight))
VALICO_FORWARD(Cairo, void, cairo_set_font_matrix, (cairo_t * cr, const cairo_matrix_t* m), (cr, m))
VALICO_FORWARD(Cairo, void, cairo_set_font_options, (cairo_t * cr, const cairo_font_options_t* o),
               (cr, o))
VALICO_FORWARD(Cairo, void, cairo_set_font_size, (cairo_t * cr, double size), (cr, size))
VALICO_FORWARD(Cairo, void, cairo_set_source_rgb, (cairo_t * cr, double r, double g, double b),
               (cr, r, g, b))
VALICO_FORWARD(Cairo, void, cairo_set_source_surface,
               (cairo_t * cr, cairo_surface_t* s, double x, double y), (cr, s, x, y))
VALICO_FORWARD(Cairo, void, cairo_show_text, (cairo_t * cr, const char* utf8), (cr, utf8))
VALICO_FORWARD(Cairo, cairo_status_t, cairo_status, (cairo_t * cr), (cr))
VALICO_FORWARD(Cairo, const char*, cairo_status_to_string, (cairo_status_t status), (status))
VALICO_FORWARD(Cairo, void, cairo_surface_destroy, (cairo_surface_t * s), (s))
VALICO_FORWARD(Cairo, void, cairo_surface_finish, (cairo_surface_t * s), (s))
VALICO_FORWARD(Cairo, void, cairo_surface_flush, (cairo_surface_t * s), (s))
VALICO_FORWARD(Cairo, void, cairo_surface_mark_dirty, (cairo_surface_t * s), (s))
VALICO_FORWARD(Cairo, cairo_status_t, cairo_surface_status, (cairo_surface_t * s), (s))
VALICO_FORWARD(Cairo, cairo_status_t, cairo_surface_write_to_png,
               (cairo_surface_t * s, const char* filename), (s, filename))
VALICO_FORWARD(Cairo, void, cairo_text_extents,
               (cairo_t * cr, const char* utf8, cairo_text_extents_t* e), (cr, utf8, e))
VALICO_FORWARD(Cairo, void, cairo_translate, (cairo_t * cr, double tx, double ty), (cr, tx, ty))

VALICO_FORWARD(Cups, ipp_t*, cupsDoRequest, (http_t * http, ipp_t* request, const char* resource),
               (http, request, resource))
VALICO_FORWARD(Cups, ipp_t*, cupsGetResponse, (http_t * http, const char* resource),
               (http, resource))
VALICO_FORWARD(Cups, const char*, cupsLastErrorString, (void), ())
VALICO_FORWARD(Cups, http_status_t, cupsSendRequest,
               (http_t * http, ipp_t* request, const char* resource, size_t length),
               (http, request, resource, length))
VALICO_FORWARD(Cups, const char*, cupsServer, (void), ())
VALICO_FORWARD(Cups, const char*, cupsUser, (void), ())
VALICO_FORWARD(Cups, http_status_t, cupsWriteRequestData,
               (http_t * http, const char* buffer, size_t length), (http, buffer, length))
VALICO_FORWARD(Cups, http_uri_status_t, httpAssembleURI,
               (http_uri_coding_t encoding, char* uri, int urilen, const char* scheme,
                const char* username, const char* host, int port, const char* resource),
               (encoding, uri, urilen, scheme, username, host, port, resource))
VALICO_FORWARD(Cups, void, httpClose, (http_t * http), (http))
VALICO_FORWARD(Cups, http_t*, httpConnect2,
               (const char* host, int port, http_addrlist_t* addrlist, int family,
                http_encryption_t encryption, int blocking, int msec, int* cancel),
               (host, port, addrlist, family, encryption, blocking, msec, cancel))
VALICO_FORWARD(Cups, void, httpSetTimeout,
               (http_t * http, double timeout, http_timeout_cb_t cb, void* user_data),
               (http, timeout, cb, user_data))
VALICO_FORWARD(Cups, ipp_attribute_t*, ippAddString,
               (ipp_t * ipp, ipp_tag_t group, ipp_tag_t value_tag, const char* name,
                const char* language, const char* value),
               (ipp, group, value_tag, name, language, value))
VALICO_FORWARD(Cups, void, ippDelete, (ipp_t * ipp), (ipp))
VALICO_FORWARD(Cups, ipp_attribute_t*, ippFindAttribute,
               (ipp_t * ipp, const char* name, ipp_tag_t value_tag), (ipp, name, value_tag))
VALICO_FORWARD(Cups, int, ippGetBoolean, (ipp_attribute_t * attr, int element), (attr, element))
VALICO_FORWARD(Cups, int, ippGetInteger, (ipp_attribute_t * attr, int element), (attr, element))
VALICO_FORWARD(Cups, ipp_status_t, ippGetStatusCode, (ipp_t * ipp), (ipp))
VALICO_FORWARD(Cups, ipp_t*, ippNewRequest, (ipp_op_t op), (op))
VALICO_FORWARD(Cups, int, ippPort, (void), ())

// A variadic function cannot hand its arguments on: the resource is formatted here and given
// to its plain sibling, as the library itself does.
http_uri_status_t httpAssembleURIf(http_uri_coding_t encoding, char* uri, int urilen,
                                   const char* scheme, const char* username, const char* host,
                                   int port, const char* resourcef, ...) {
  char resource[1024];
  va_list ap;
  va_start(ap, resourcef);
  int n = std::vsnprintf(resource, sizeof resource, resourcef, ap);
  va_end(ap);
  if (n < 0 || static_cast<size_t>(n) >= sizeof resource) {
    if (uri && urilen > 0) *uri = '\0';
    return HTTP_URI_STATUS_OVERFLOW;
  }
  return httpAssembleURI(encoding, uri, urilen, scheme, username, host, port, resource);
}

}  // extern "C"

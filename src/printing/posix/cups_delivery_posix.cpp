#include "printing/posix/cups_delivery_posix.h"

#include <cups/cups.h>

#include <charconv>
#include <memory>

#include "printing/posix/print_libraries_posix.h"

namespace valico {
namespace {

using Clock = std::chrono::steady_clock;

struct Limits {
  Clock::time_point deadline;
  std::stop_token stop;
};

// libcups asks whether to keep waiting every time a wait for the scheduler passes its
// timeout (httpSetTimeout below): past the deadline, or once a stop is requested, it gives up.
int KeepWaiting(http_t*, void* limits) {
  const auto& l = *static_cast<const Limits*>(limits);
  return Clock::now() < l.deadline && !l.stop.stop_requested() ? 1 : 0;
}

// Why a submission failed when it was the stop or the bound that ended it; else "".
std::string Ended(const Limits& limits, std::chrono::milliseconds bound, const std::string& where) {
  if (limits.stop.stop_requested()) return "delivery to " + where + " stopped";
  if (Clock::now() >= limits.deadline)
    return where + " did not answer in " + std::to_string(bound.count()) + " ms";
  return "";
}

}  // namespace

bool SubmitPdfToCups(std::string_view target, std::string_view pdf, const std::string& title,
                     std::chrono::milliseconds bound, std::stop_token stop, int* job_id,
                     std::string* err) {
  if (!LoadCups(err)) return false;
  Limits limits{Clock::now() + bound, std::move(stop)};
  std::string queue(target), host = cupsServer();
  int port = ippPort();
  if (size_t at = target.find('@'); at != std::string_view::npos) {
    queue = target.substr(0, at);
    host = target.substr(at + 1);
    if (size_t colon = host.rfind(':'); colon != std::string::npos && host.find(']') == host.npos) {
      auto r = std::from_chars(host.data() + colon + 1, host.data() + host.size(), port);
      if (r.ec != std::errc() || r.ptr != host.data() + host.size()) {
        *err = "cups:" + std::string(target) + " has no port number after \":\"";
        return false;
      }
      host.resize(colon);
    }
  }
  if (queue.empty() || host.empty()) {
    *err = "cups:" + std::string(target) + " names no queue";
    return false;
  }
  std::string where = "CUPS queue " + queue + " on " + host;
  if (host[0] != '/') where += ":" + std::to_string(port);

  // The connection's own cancel flag, which libcups looks at while it connects.
  int cancel = 0;
  std::stop_callback cancel_on_stop(limits.stop, [&cancel] { cancel = 1; });
  int msec = static_cast<int>(bound.count());
  std::unique_ptr<http_t, decltype(&httpClose)> http(
      httpConnect2(host.c_str(), port, nullptr, AF_UNSPEC, HTTP_ENCRYPTION_IF_REQUESTED, 1, msec,
                   &cancel),
      httpClose);
  if (!http) {
    *err = Ended(limits, bound, where);
    if (err->empty()) *err = "cannot connect to " + where + ": " + cupsLastErrorString();
    return false;
  }
  httpSetTimeout(http.get(), 0.1, KeepWaiting, &limits);

  char uri[1024];
  // A scheduler on a local socket still names its printers by a host.
  httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr,
                   host[0] == '/' ? "localhost" : host.c_str(), port, "/printers/%s",
                   queue.c_str());
  std::string resource = "/printers/" + queue;
  ipp_t* request = ippNewRequest(IPP_OP_PRINT_JOB);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
               cupsUser());
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, title.c_str());
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr,
               "application/pdf");
  // Sent chunked: with a length given, this libcups sends a request the scheduler cannot read.
  http_status_t status =
      cupsSendRequest(http.get(), request, resource.c_str(), CUPS_LENGTH_VARIABLE);
  if (status == HTTP_STATUS_CONTINUE)
    status = cupsWriteRequestData(http.get(), pdf.data(), pdf.size());
  ipp_t* response =
      status == HTTP_STATUS_CONTINUE ? cupsGetResponse(http.get(), resource.c_str()) : nullptr;
  ippDelete(request);
  std::unique_ptr<ipp_t, decltype(&ippDelete)> hold(response, ippDelete);
  if (!response || ippGetStatusCode(response) > IPP_STATUS_OK_CONFLICTING) {
    *err = Ended(limits, bound, where);
    if (err->empty()) *err = where + " refused the job: " + cupsLastErrorString();
    return false;
  }
  ipp_attribute_t* id = ippFindAttribute(response, "job-id", IPP_TAG_INTEGER);
  *job_id = id ? ippGetInteger(id, 0) : 0;
  return true;
}

}  // namespace valico

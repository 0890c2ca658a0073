#include "printing/posix/cups_delivery_posix.h"

#include <cups/cups.h>

#include <charconv>
#include <memory>

#include "printing/posix/print_libraries_posix.h"

namespace valico {
namespace {

using Clock = std::chrono::steady_clock;

// libcups asks again every second whether to keep waiting; past the deadline it stops.
int KeepWaiting(http_t*, void* deadline) {
  return Clock::now() < *static_cast<Clock::time_point*>(deadline) ? 1 : 0;
}

}  // namespace

bool SubmitPdfToCups(std::string_view target, std::string_view pdf, const std::string& title,
                     std::chrono::milliseconds bound, int* job_id, std::string* err) {
  if (!LoadCups(err)) return false;
  auto deadline = Clock::now() + bound;
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

  int msec = static_cast<int>(bound.count());
  std::unique_ptr<http_t, decltype(&httpClose)> http(
      httpConnect2(host.c_str(), port, nullptr, AF_UNSPEC, HTTP_ENCRYPTION_IF_REQUESTED, 1, msec,
                   nullptr),
      httpClose);
  if (!http) {
    *err = "cannot connect to " + where + ": " + cupsLastErrorString();
    return false;
  }
  httpSetTimeout(http.get(), 1.0, KeepWaiting, &deadline);

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
    *err = where + " refused the job: " + cupsLastErrorString();
    return false;
  }
  ipp_attribute_t* id = ippFindAttribute(response, "job-id", IPP_TAG_INTEGER);
  *job_id = id ? ippGetInteger(id, 0) : 0;
  return true;
}

}  // namespace valico

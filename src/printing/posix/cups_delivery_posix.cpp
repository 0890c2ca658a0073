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

// A queue as "QUEUE" or "QUEUE@HOST[:PORT]" names it.
struct CupsTarget {
  std::string queue, host, where;
  int port = 0;
};

bool ParseTarget(std::string_view target, CupsTarget* t, std::string* err) {
  t->queue = target;
  t->host = cupsServer();
  t->port = ippPort();
  if (size_t at = target.find('@'); at != std::string_view::npos) {
    t->queue = target.substr(0, at);
    t->host = target.substr(at + 1);
    std::string& host = t->host;
    if (size_t colon = host.rfind(':'); colon != std::string::npos && host.find(']') == host.npos) {
      auto r = std::from_chars(host.data() + colon + 1, host.data() + host.size(), t->port);
      if (r.ec != std::errc() || r.ptr != host.data() + host.size()) {
        *err = "cups:" + std::string(target) + " has no port number after \":\"";
        return false;
      }
      host.resize(colon);
    }
  }
  if (t->queue.empty() || t->host.empty()) {
    *err = "cups:" + std::string(target) + " names no queue";
    return false;
  }
  t->where = "CUPS queue " + t->queue + " on " + t->host;
  if (t->host[0] != '/') t->where += ":" + std::to_string(t->port);
  return true;
}

using Connection = std::unique_ptr<http_t, decltype(&httpClose)>;

// The connection to the queue's scheduler, given up at the limits; null with the reason.
Connection ConnectTo(const CupsTarget& t, Limits& limits, std::chrono::milliseconds bound,
                     std::string* err) {
  // The connection's own cancel flag, which libcups looks at while it connects.
  int cancel = 0;
  std::stop_callback cancel_on_stop(limits.stop, [&cancel] { cancel = 1; });
  int msec = static_cast<int>(bound.count());
  Connection http(httpConnect2(t.host.c_str(), t.port, nullptr, AF_UNSPEC,
                               HTTP_ENCRYPTION_IF_REQUESTED, 1, msec, &cancel),
                  httpClose);
  if (!http) {
    *err = Ended(limits, bound, t.where);
    if (err->empty()) *err = "cannot connect to " + t.where + ": " + cupsLastErrorString();
    return http;
  }
  httpSetTimeout(http.get(), 0.1, KeepWaiting, &limits);
  return http;
}

// A request on the queue, with its printer-uri (a scheduler on a local socket still names
// its printers by a host) and the user's name.
ipp_t* NewRequest(ipp_op_t op, const CupsTarget& t) {
  char uri[1024];
  httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr,
                   t.host[0] == '/' ? "localhost" : t.host.c_str(), t.port, "/printers/%s",
                   t.queue.c_str());
  ipp_t* request = ippNewRequest(op);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
               cupsUser());
  return request;
}

}  // namespace

bool SubmitPdfToCups(std::string_view target, std::string_view pdf, const std::string& title,
                     std::chrono::milliseconds bound, std::stop_token stop, int* job_id,
                     std::string* err) {
  if (!LoadCups(err)) return false;
  Limits limits{Clock::now() + bound, std::move(stop)};
  CupsTarget t;
  if (!ParseTarget(target, &t, err)) return false;
  Connection http = ConnectTo(t, limits, bound, err);
  if (!http) return false;
  std::string resource = "/printers/" + t.queue;
  ipp_t* request = NewRequest(IPP_OP_PRINT_JOB, t);
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
    *err = Ended(limits, bound, t.where);
    if (err->empty()) *err = t.where + " refused the job: " + cupsLastErrorString();
    return false;
  }
  ipp_attribute_t* id = ippFindAttribute(response, "job-id", IPP_TAG_INTEGER);
  *job_id = id ? ippGetInteger(id, 0) : 0;
  return true;
}

bool CupsQueueAccepts(std::string_view target, std::chrono::milliseconds bound,
                      std::string* found) {
  if (!LoadCups(found)) return false;
  Limits limits{Clock::now() + bound, {}};
  CupsTarget t;
  if (!ParseTarget(target, &t, found)) return false;
  Connection http = ConnectTo(t, limits, bound, found);
  if (!http) return false;
  std::string resource = "/printers/" + t.queue;
  std::unique_ptr<ipp_t, decltype(&ippDelete)> response(
      cupsDoRequest(http.get(), NewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES, t), resource.c_str()),
      ippDelete);
  if (!response || ippGetStatusCode(response.get()) > IPP_STATUS_OK_CONFLICTING) {
    *found = Ended(limits, bound, t.where);
    if (found->empty()) *found = t.where + ": " + cupsLastErrorString();
    return false;
  }
  ipp_attribute_t* accepting =
      ippFindAttribute(response.get(), "printer-is-accepting-jobs", IPP_TAG_BOOLEAN);
  ipp_attribute_t* state = ippFindAttribute(response.get(), "printer-state", IPP_TAG_ENUM);
  const bool stopped = state && ippGetInteger(state, 0) == IPP_PSTATE_STOPPED;
  if (accepting && !ippGetBoolean(accepting, 0)) {
    *found = t.where + " does not accept jobs (cupsaccept " + t.queue + ")";
    return false;
  }
  if (stopped) {
    *found = t.where + " is stopped (cupsenable " + t.queue + ")";
    return false;
  }
  *found = t.where + " exists and accepts jobs";
  return true;
}

}  // namespace valico

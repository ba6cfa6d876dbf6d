#include "platform/cups_print.h"

#include <cups/cups.h>

namespace {

std::string LastError(const char* fallback) {
  const char* text = cupsLastErrorString();
  return text && *text ? text : fallback;
}

}  // namespace

int cups_destination_names(std::vector<std::string>* names, int maximum, std::string* error) {
  names->clear();
  cups_dest_t* dests = nullptr;
  const int n = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
  // No destinations and no error is a server without printers; an error is a server not reached.
  if (n == 0 && cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE) {
    if (error) *error = LastError("CUPS");
    return -1;
  }
  for (int i = 0; i < n && static_cast<int>(names->size()) < maximum; ++i)
    if (!dests[i].instance) names->push_back(dests[i].name);
  cupsFreeDests(n, dests);
  return 0;
}

int cups_print_pdf(const std::string& printer, const char* path, const char* title,
                   std::string* error) {
  std::string name = printer;
  if (name.empty()) {
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr);
    if (!dest) {
      if (error) *error = LastError("no default destination");
      return 0;
    }
    name = dest->name;
    cupsFreeDests(1, dest);
  }
  cups_option_t* options = nullptr;
  int count = cupsAddOption("document-format", "application/pdf", 0, &options);
  const int job = cupsPrintFile2(CUPS_HTTP_DEFAULT, name.c_str(), path, title, count, options);
  cupsFreeOptions(count, options);
  if (job <= 0 && error) *error = LastError("job refused");
  return job > 0 ? job : 0;
}

int cups_find_destination(const std::string& printer, std::string* resolved, std::string* error) {
  cups_dest_t* dest =
      cupsGetNamedDest(CUPS_HTTP_DEFAULT, printer.empty() ? nullptr : printer.c_str(), nullptr);
  if (!dest) {
    if (error)
      *error = LastError(printer.empty() ? "no default destination" : "no such destination");
    return -1;
  }
  *resolved = dest->name;
  cupsFreeDests(1, dest);
  return 0;
}

int cups_print_raw(const std::string& printer, const void* data, size_t size, const char* title,
                   std::string* error) {
  std::string name;
  if (cups_find_destination(printer, &name, error) != 0) return 0;
  const int job = cupsCreateJob(CUPS_HTTP_DEFAULT, name.c_str(), title, 0, nullptr);
  if (job <= 0) {
    if (error) *error = LastError("job refused");
    return 0;
  }
  const bool sent = cupsStartDocument(CUPS_HTTP_DEFAULT, name.c_str(), job, title, CUPS_FORMAT_RAW,
                                      1) == HTTP_STATUS_CONTINUE &&
                    cupsWriteRequestData(CUPS_HTTP_DEFAULT, static_cast<const char*>(data), size) ==
                        HTTP_STATUS_CONTINUE;
  // The document is finished in every case: a job left open would hold the queue.
  const bool finished = cupsFinishDocument(CUPS_HTTP_DEFAULT, name.c_str()) == IPP_STATUS_OK;
  if (!sent || !finished) {
    cupsCancelJob2(CUPS_HTTP_DEFAULT, name.c_str(), job, 0);
    if (error) *error = LastError("job data refused");
    return 0;
  }
  return job;
}

void cups_set_server(const char* server) { cupsSetServer(server); }

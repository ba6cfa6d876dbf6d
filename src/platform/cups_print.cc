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

void cups_set_server(const char* server) { cupsSetServer(server); }

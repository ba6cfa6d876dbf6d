// The printers of graphic printing: the CUPS destinations, and a finished PDF file sent to one
// of them as a job. The CUPS server is the one libcups finds (CUPS_SERVER, client.conf, the
// local scheduler) unless cups_set_server names another, as the tests do with their own.
#pragma once

#include <string>
#include <vector>

// The destination names, at most `maximum` of them, in the order CUPS lists them. 0, or -1 with
// *error when the server cannot be asked (no names are then given).
int cups_destination_names(std::vector<std::string>* names, int maximum, std::string* error);

// Sends a PDF file as one job titled `title` to the named destination, or to the CUPS default
// destination when the name is empty. The job number (> 0), or 0 with *error.
int cups_print_pdf(const std::string& printer, const char* path, const char* title,
                   std::string* error);

// The destination a name stands for: the name itself when CUPS knows it, the CUPS default for an
// empty name. 0 with *resolved set, or -1 with *error (no such destination, no default, no
// server).
int cups_find_destination(const std::string& printer, std::string* resolved, std::string* error);

// Sends bytes unchanged (format application/vnd.cups-raw) as one job titled `title` to a
// destination (empty: the default). The job number (> 0), or 0 with *error when the job was
// refused or not all bytes were taken.
int cups_print_raw(const std::string& printer, const void* data, size_t size, const char* title,
                   std::string* error);

// "host", "host:port" or a socket path; nullptr goes back to libcups's own choice.
void cups_set_server(const char* server);

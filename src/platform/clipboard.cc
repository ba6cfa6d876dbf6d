#include "platform/clipboard.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/text.h"

namespace {

std::string g_internal;
bool g_has_internal = false;
bool g_internal_only = false;

bool OnPath(const char* program) {
  const char* path = std::getenv("PATH");
  if (!path) return false;
  std::string dirs(path);
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::string candidate = dirs.substr(start, end - start);
    if (!candidate.empty() && access((candidate + "/" + program).c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

// The command that prints the desktop clipboard, or null when there is none to ask.
const char* HelperCommand() {
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if (wayland && *wayland && OnPath("wl-paste"))
    return "wl-paste --no-newline --type text/plain 2>/dev/null";
  const char* x11 = std::getenv("DISPLAY");
  if (x11 && *x11) {
    if (OnPath("xclip")) return "xclip -selection clipboard -out 2>/dev/null";
    if (OnPath("xsel")) return "xsel --clipboard --output 2>/dev/null";
  }
  return nullptr;
}

int FromHelper(const char* command, std::string* text) {
  FILE* pipe = popen(command, "r");
  if (!pipe) return -1;
  std::string utf8;
  char buf[4096];
  size_t n;
  // A clipboard larger than any field is of no use; stop reading early.
  while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0 && utf8.size() < (1u << 16))
    utf8.append(buf, n);
  int status = pclose(pipe);
  if (status != 0 && utf8.empty()) return -1;
  *text = Utf8ToCp1250(utf8);
  return 0;
}

}  // namespace

int clipboard_get_text(std::string* text) {
  if (!g_internal_only) {
    if (const char* command = HelperCommand()) {
      if (FromHelper(command, text) == 0) return 0;
    }
  }
  if (!g_has_internal) return -1;
  *text = g_internal;
  return 0;
}

void clipboard_set_text(const std::string& text) {
  g_internal = text;
  g_has_internal = true;
}

void clipboard_use_internal(bool internal_only) { g_internal_only = internal_only; }

void ClipboardReset() {
  g_internal.clear();
  g_has_internal = false;
  g_internal_only = false;
}

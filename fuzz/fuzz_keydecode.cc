// Arbitrary bytes as terminal input: every decode must take at least one byte and never more
// than there are, whether the line goes quiet or not, under every screen code page.
#include <cstdint>
#include <string_view>

#include "platform/keydecode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  const int code_page = data[0] % 11;
  for (bool at_end : {false, true}) {
    std::string_view rest = all.substr(1);
    while (!rest.empty()) {
      KeyEvent ev{};
      size_t used = 0;
      const DecodeResult r = decode_key(rest, at_end, code_page, &ev, &used);
      if (r == kDecodeIncomplete && !at_end) break;
      if (r == kDecodeIncomplete || used == 0 || used > rest.size()) __builtin_trap();
      rest.remove_prefix(used);
    }
  }
  decode_all(all, code_page);
  return 0;
}

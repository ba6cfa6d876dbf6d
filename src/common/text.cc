#include "common/text.h"

void AppendUtf8(std::string* out, uint32_t cp) {
  if (cp < 0x80) {
    out->push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

std::string Cp1250ToUtf8(std::string_view data) {
  std::string out;
  out.reserve(data.size() * 2);
  for (char c : data) {
    auto b = static_cast<uint8_t>(c);
    if (b < 0x80) {
      out.push_back(c);
    } else {
      uint16_t cp = text_detail::kCp1250High[b - 0x80];
      AppendUtf8(&out, cp ? cp : 0xFFFD);
    }
  }
  return out;
}

std::string Utf8ToCp1250(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    uint32_t cp;
    size_t len;
    if (!text_detail::Utf8Lead(static_cast<uint8_t>(s[i]), &cp, &len)) {
      out.push_back('?');
      ++i;
      continue;
    }
    if (i + len > s.size()) {
      out.push_back('?');
      break;
    }
    bool ok = true;
    for (size_t k = 1; k < len; ++k) {
      auto c = static_cast<uint8_t>(s[i + k]);
      if ((c & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (c & 0x3F);
    }
    if (!ok) {
      out.push_back('?');
      ++i;
      continue;
    }
    int byte = text_detail::ByteOf(cp);
    out.push_back(byte < 0 ? '?' : static_cast<char>(byte));
    i += len;
  }
  return out;
}

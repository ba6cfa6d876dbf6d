#include "db/archive/zip_records.h"

#include <cstring>

uint16_t ReadLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

uint32_t ReadLe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void PutLe16(std::string* s, uint16_t v) {
  s->push_back(static_cast<char>(v & 0xFF));
  s->push_back(static_cast<char>(v >> 8));
}

void PutLe32(std::string* s, uint32_t v) {
  PutLe16(s, static_cast<uint16_t>(v & 0xFFFF));
  PutLe16(s, static_cast<uint16_t>(v >> 16));
}

std::string EncodeLocalHeader(const ZIPENTRY& e) {
  std::string s;
  PutLe32(&s, kZipLocalSignature);
  PutLe16(&s, e.version_needed);
  PutLe16(&s, e.flags);
  PutLe16(&s, e.method);
  PutLe16(&s, e.time);
  PutLe16(&s, e.date);
  PutLe32(&s, e.crc);
  PutLe32(&s, e.compressed);
  PutLe32(&s, e.size);
  PutLe16(&s, static_cast<uint16_t>(e.name.size()));
  PutLe16(&s, 0);
  return s + e.name;
}

std::string EncodeCentralHeader(const ZIPENTRY& e) {
  std::string s;
  PutLe32(&s, kZipCentralSignature);
  PutLe16(&s, e.version_made);
  PutLe16(&s, e.version_needed);
  PutLe16(&s, e.flags);
  PutLe16(&s, e.method);
  PutLe16(&s, e.time);
  PutLe16(&s, e.date);
  PutLe32(&s, e.crc);
  PutLe32(&s, e.compressed);
  PutLe32(&s, e.size);
  PutLe16(&s, static_cast<uint16_t>(e.name.size()));
  PutLe16(&s, 0);  // extra field
  PutLe16(&s, 0);  // comment
  PutLe16(&s, e.disk);
  PutLe16(&s, 0);  // internal attributes
  PutLe32(&s, e.attributes);
  PutLe32(&s, e.offset);
  return s + e.name;
}

std::string EncodeEndRecord(const ZIPEND& end) {
  std::string s;
  PutLe32(&s, kZipEndSignature);
  PutLe16(&s, end.disk);
  PutLe16(&s, end.directory_disk);
  PutLe16(&s, end.disk_entries);
  PutLe16(&s, end.entries);
  PutLe32(&s, end.directory_size);
  PutLe32(&s, end.directory_offset);
  PutLe16(&s, 0);
  return s;
}

bool FindEndRecord(const uint8_t* tail, size_t n, size_t* at, ZIPEND* end) {
  if (n < kZipEndSize) return false;
  // From the end backwards: the record whose comment reaches exactly to the end of the file.
  for (size_t i = n - kZipEndSize + 1; i-- > 0;) {
    const uint8_t* p = tail + i;
    if (ReadLe32(p) != kZipEndSignature) continue;
    const uint16_t comment = ReadLe16(p + 20);
    if (i + kZipEndSize + comment != n) continue;
    end->disk = ReadLe16(p + 4);
    end->directory_disk = ReadLe16(p + 6);
    end->disk_entries = ReadLe16(p + 8);
    end->entries = ReadLe16(p + 10);
    end->directory_size = ReadLe32(p + 12);
    end->directory_offset = ReadLe32(p + 16);
    end->comment_length = comment;
    *at = i;
    return true;
  }
  return false;
}

bool DecodeCentralDirectory(const uint8_t* p, size_t n, const ZIPEND& end,
                            std::vector<ZIPENTRY>* entries) {
  entries->clear();
  size_t at = 0;
  for (unsigned k = 0; k < end.entries; ++k) {
    if (n - at < kZipCentralSize) return false;
    const uint8_t* h = p + at;
    if (ReadLe32(h) != kZipCentralSignature) return false;
    ZIPENTRY e;
    e.version_made = ReadLe16(h + 4);
    e.version_needed = ReadLe16(h + 6);
    e.flags = ReadLe16(h + 8);
    e.method = ReadLe16(h + 10);
    e.time = ReadLe16(h + 12);
    e.date = ReadLe16(h + 14);
    e.crc = ReadLe32(h + 16);
    e.compressed = ReadLe32(h + 20);
    e.size = ReadLe32(h + 24);
    const uint16_t name_length = ReadLe16(h + 28);
    e.extra_length = ReadLe16(h + 30);
    e.comment_length = ReadLe16(h + 32);
    e.disk = ReadLe16(h + 34);
    e.attributes = ReadLe32(h + 38);
    e.offset = ReadLe32(h + 42);
    const size_t whole = kZipCentralSize + name_length + e.extra_length + e.comment_length;
    if (n - at < whole) return false;
    e.name.assign(reinterpret_cast<const char*>(h + kZipCentralSize), name_length);
    entries->push_back(std::move(e));
    at += whole;
  }
  return at == n;
}

bool DecodeLocalHeader(const uint8_t* p, size_t n, uint16_t* name_length, uint16_t* extra_length) {
  if (n < kZipLocalSize || ReadLe32(p) != kZipLocalSignature) return false;
  *name_length = ReadLe16(p + 26);
  *extra_length = ReadLe16(p + 28);
  return true;
}

void DosTimeOf(time_t when, uint16_t* time, uint16_t* date) {
  struct tm t {};
  if (!localtime_r(&when, &t) || t.tm_year < 80 || t.tm_year > 207) {
    *time = 0;
    *date = (0 << 9) | (1 << 5) | 1;  // 1 January 1980
    return;
  }
  *time = static_cast<uint16_t>(t.tm_hour * 2048 + t.tm_min * 32 + t.tm_sec / 2);
  *date = static_cast<uint16_t>((t.tm_year - 80) * 512 + (t.tm_mon + 1) * 32 + t.tm_mday);
}

time_t TimeOfDos(uint16_t time, uint16_t date) {
  struct tm t {};
  t.tm_year = 80 + (date >> 9);
  t.tm_mon = ((date >> 5) & 15) - 1;
  t.tm_mday = date & 31;
  t.tm_hour = time >> 11;
  t.tm_min = (time >> 5) & 63;
  t.tm_sec = (time & 31) * 2;
  t.tm_isdst = -1;
  if (t.tm_mon < 0 || t.tm_mon > 11 || t.tm_mday < 1 || t.tm_hour > 23 || t.tm_min > 59 ||
      t.tm_sec > 59)
    return -1;
  return mktime(&t);
}

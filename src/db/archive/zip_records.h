// The ZIP records of the backup and export archives, as bytes: the local file header, the
// central directory header, the end of central directory record, and MS-DOS times.
// Format: docs/formats/backup-archive.md.
//
// Decoding takes bytes from outside (an archive from anywhere); every decoder checks lengths
// before it reads and answers false on anything it cannot take.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

inline constexpr uint32_t kZipLocalSignature = 0x04034b50;
inline constexpr uint32_t kZipCentralSignature = 0x02014b50;
inline constexpr uint32_t kZipEndSignature = 0x06054b50;
// The first disk of an archive spread over several disks starts with this signature; an archive
// meant for spreading that fitted on one disk starts with "PK00".
inline constexpr uint32_t kZipSpanSignature = 0x08074b50;
inline constexpr uint32_t kZipSpanOnceSignature = 0x30304b50;

inline constexpr size_t kZipLocalSize = 30;
inline constexpr size_t kZipCentralSize = 46;
inline constexpr size_t kZipEndSize = 22;
inline constexpr size_t kZipNameMax = 255;

inline constexpr uint16_t kZipMethodStored = 0;
inline constexpr uint16_t kZipMethodDeflate = 8;

// One member as the central directory describes it.
struct ZIPENTRY {
  std::string name;
  uint16_t version_made = 20;
  uint16_t version_needed = 20;
  uint16_t flags = 0;
  uint16_t method = kZipMethodDeflate;
  uint16_t time = 0;
  uint16_t date = 0;
  uint32_t crc = 0;
  uint32_t compressed = 0;
  uint32_t size = 0;
  uint16_t extra_length = 0;    // in the record read; written records have none
  uint16_t comment_length = 0;  // likewise
  uint16_t disk = 0;            // disk of the local header
  uint32_t attributes = 32;     // external: "archive"
  uint32_t offset = 0;          // of the local header, on its disk
};

struct ZIPEND {
  uint16_t disk = 0;  // number of this disk
  uint16_t directory_disk = 0;
  uint16_t disk_entries = 0;
  uint16_t entries = 0;
  uint32_t directory_size = 0;
  uint32_t directory_offset = 0;  // on its disk
  uint16_t comment_length = 0;
};

std::string EncodeLocalHeader(const ZIPENTRY& e);
std::string EncodeCentralHeader(const ZIPENTRY& e);
std::string EncodeEndRecord(const ZIPEND& end);

// The end record in the last bytes of an archive (it may be followed by its comment): *at gets
// its offset within tail. False when there is none.
bool FindEndRecord(const uint8_t* tail, size_t n, size_t* at, ZIPEND* end);
// The central directory: exactly end.entries headers filling the n bytes. False on anything else.
bool DecodeCentralDirectory(const uint8_t* p, size_t n, const ZIPEND& end,
                            std::vector<ZIPENTRY>* entries);
// A local header (30 bytes and the name): its name and the length of the name and extra field.
bool DecodeLocalHeader(const uint8_t* p, size_t n, uint16_t* name_length, uint16_t* extra_length);

// MS-DOS time and date in local time (seconds halved; years 1980 to 2107).
void DosTimeOf(time_t when, uint16_t* time, uint16_t* date);
// Back to a time; -1 for a date that cannot be one.
time_t TimeOfDos(uint16_t time, uint16_t date);

uint16_t ReadLe16(const uint8_t* p);
uint32_t ReadLe32(const uint8_t* p);
void PutLe16(std::string* s, uint16_t v);
void PutLe32(std::string* s, uint32_t v);

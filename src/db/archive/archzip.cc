// The archive engine: packing and unpacking. Format: docs/formats/backup-archive.md.
#include "db/archive/archzip.h"

#include <zlib.h>

#include <cstring>
#include <memory>

#include "common/text.h"
#include "db/archive/archzip_internal.h"
#include "platform/cfile.h"
#include "platform/system.h"

namespace {

constexpr size_t kChunk = 64 * 1024;
// Central directories larger than this are not ours to read (65535 members of 255-byte names fit).
constexpr uint32_t kDirectoryMax = 32u << 20;
constexpr int kCancelled = -2;

const char* const kErrorTexts[] = {
    "",
    "Błąd przy próbie otwarcia pliku %s."_pl,
    "Błąd przy próbie zamknięcia pliku %s."_pl,
    "Błąd przy próbie utworzenia pliku %s."_pl,
    "Błąd przy próbie usunięcia pliku %s."_pl,
    "Błąd przy próbie odczytu w pliku %s."_pl,
    "Błąd przy próbie zapisu w pliku %s."_pl,
    "Nieprawidłowy format pliku %s."_pl,
    "Brak pliku %s. Kontynuować?\t &Tak \t &Nie "_pl,
    "Brak pamięci."_pl,
    "Błąd CRC w pliku %s. Kontynuować?\t &Tak \t &Nie "_pl,
    "Błąd przy próbie kompresji pliku %s."_pl,
    "Błąd przy próbie dekompresji pliku %s.\nKontynuować?\t &Tak \t &Nie "_pl,
    "Brak dyskietki w stacji dysków.\t &Powtórzenie \t &Wyjście "_pl,
    "Brak miejsca na dyskietce.\t &Powtórzenie \t &Wyjście "_pl,
    "Dyskietka zabezpieczona przed zapisem.\t &Powtórzenie \t &Wyjście "_pl,
};

std::string Join(const char* dir, const std::string& name) {
  if (!dir || !*dir) return name;
  std::string d = dir;
  if (d.back() != '/') d += '/';
  return d + name;
}

// A zlib stream starts with a header whose method is deflate, whose window is at most 32 KB,
// whose check bits make the first two bytes a multiple of 31 and that names no dictionary. Raw
// deflate data never starts so: its first block would be a stored block with padding bits set,
// which no deflate writer produces.
bool SameNameIgnoringCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    const char x = *a >= 'a' && *a <= 'z' ? static_cast<char>(*a - 32) : *a;
    const char y = *b >= 'a' && *b <= 'z' ? static_cast<char>(*b - 32) : *b;
    if (x != y) return false;
  }
  return *a == *b;
}

int RenameFile(const std::string& from, const std::string& to) {
  CFILE f;
  if (f.Open(from.c_str(), kOpenExisting, kAccessRead, kShareReadWrite) != 0 || f.Close() != 0)
    return -1;
  return f.Rename(to.c_str(), true);
}

bool LooksLikeZlib(const uint8_t* p) {
  return (p[0] & 0x0F) == 8 && (p[0] >> 4) <= 7 && ((p[0] << 8) | p[1]) % 31 == 0 &&
         (p[1] & 0x20) == 0;
}

}  // namespace

const char* ArchiveErrorText(int code) { return code >= 1 && code <= 15 ? kErrorTexts[code] : ""; }

bool ArchiveErrorAsks(int code) {
  return code == kArchErrMissing || code == kArchErrCrc || code == kArchErrDecompress ||
         (code >= kArchErrNoDisk && code <= kArchErrProtected);
}

int ARCHZIP::Fail(int code, const char* name) {
  Error(code, name);
  return -1;
}

bool ARCHZIP::Stops(int code, const char* name) {
  const int answer = Error(code, name);
  return !ArchiveErrorAsks(code) || answer != 0;
}

bool SafeMemberName(const std::string& name) {
  if (name.empty() || name.size() > kZipNameMax || name == "." || name == "..") return false;
  for (char c : name)
    if (c == '/' || c == '\\' || c == ':' || c == '\0') return false;
  return true;
}

int ReadZipDirectory(CFILE& file, ZIPDIRECTORY* dir) {
  const int64_t size = file.Size();
  if (size < 0) return kArchErrRead;
  if (size < static_cast<int64_t>(kZipEndSize) ||
      size > 0xFFFFFFFFLL + static_cast<int64_t>(kZipEndSize) + 0xFFFF)
    return kArchErrFormat;
  const size_t tail_size = static_cast<size_t>(std::min<int64_t>(size, kZipEndSize + 0xFFFF));
  std::string tail(tail_size, '\0');
  const int64_t tail_at = size - static_cast<int64_t>(tail_size);
  if (file.ReadAt(tail_at, tail.data(), tail_size) != static_cast<long>(tail_size))
    return kArchErrRead;
  size_t at = 0;
  if (!FindEndRecord(reinterpret_cast<const uint8_t*>(tail.data()), tail_size, &at, &dir->end))
    return kArchErrFormat;
  const ZIPEND& end = dir->end;
  const int64_t end_at = tail_at + static_cast<int64_t>(at);
  // One disk, and the directory right before the end record, as every writer leaves it.
  if (end.disk != 0 || end.directory_disk != 0 || end.disk_entries != end.entries ||
      end.directory_size > kDirectoryMax ||
      static_cast<int64_t>(end.directory_offset) + end.directory_size != end_at)
    return kArchErrFormat;
  std::string directory(end.directory_size, '\0');
  if (end.directory_size > 0 &&
      file.ReadAt(end.directory_offset, directory.data(), directory.size()) !=
          static_cast<long>(directory.size()))
    return kArchErrRead;
  if (!DecodeCentralDirectory(reinterpret_cast<const uint8_t*>(directory.data()), directory.size(),
                              end, &dir->entries))
    return kArchErrFormat;
  dir->directory_at = end.directory_offset;
  for (const ZIPENTRY& e : dir->entries) {
    if (e.disk != 0 || static_cast<int64_t>(e.offset) + static_cast<int64_t>(kZipLocalSize) +
                               static_cast<int64_t>(e.compressed) >
                           dir->directory_at)
      return kArchErrFormat;
  }
  return 0;
}

int ARCHZIP::WriteMember(CFILE& out, const std::string& path, const char* name, ZIPENTRY* entry,
                         int64_t at) {
  CFILE in;
  if (in.Open(path.c_str(), kOpenExisting, kAccessRead, kShareReadWrite) != 0)
    return Fail(kArchErrOpen, name);
  const int64_t size = in.Size();
  time_t when = 0;
  if (size < 0 || in.GetDate(&when) != 0) return Fail(kArchErrRead, name);
  if (size > kZipSizeLimit || at > 0xFFFFFFFFLL || std::strlen(name) > kZipNameMax)
    return Fail(kArchErrCompress, name);
  ZIPENTRY& e = *entry;
  e = ZIPENTRY{};
  e.name = name;
  e.offset = static_cast<uint32_t>(at);
  DosTimeOf(when, &e.time, &e.date);
  const std::string header = EncodeLocalHeader(e);
  if (out.Write(header.data(), header.size()) != static_cast<long>(header.size()))
    return Fail(kArchErrWrite, archive_);
  if (Start(kStageCompress, name) != 0) return kCancelled;
  z_stream zs{};
  // The program's own members are zlib streams (window 15); standard ones raw deflate (-15).
  if (deflateInit2(&zs, level_, Z_DEFLATED, standard_ ? -MAX_WBITS : MAX_WBITS, 8,
                   Z_DEFAULT_STRATEGY) != Z_OK) {
    End(kStageCompress);
    return Fail(kArchErrMemory, name);
  }
  std::unique_ptr<Bytef[]> ib(new Bytef[kChunk]), ob(new Bytef[kChunk]);
  uLong crc = crc32(0, Z_NULL, 0);
  uint64_t read = 0, written = 0;
  int rc = 0;
  bool finished = false;
  while (rc == 0 && !finished) {
    const long n = in.Read(ib.get(), kChunk);
    if (n < 0) {
      rc = Fail(kArchErrRead, name);
      break;
    }
    read += static_cast<uint64_t>(n);
    if (read > kZipSizeLimit) {
      rc = Fail(kArchErrCompress, name);
      break;
    }
    crc = crc32(crc, ib.get(), static_cast<uInt>(n));
    zs.next_in = ib.get();
    zs.avail_in = static_cast<uInt>(n);
    const int flush = n == 0 ? Z_FINISH : Z_NO_FLUSH;
    do {
      zs.next_out = ob.get();
      zs.avail_out = kChunk;
      const int z = deflate(&zs, flush);
      if (z == Z_STREAM_ERROR) {
        rc = Fail(kArchErrCompress, name);
        break;
      }
      const size_t have = kChunk - zs.avail_out;
      if (have && out.Write(ob.get(), have) != static_cast<long>(have)) {
        rc = Fail(kArchErrWrite, archive_);
        break;
      }
      written += have;
      if (z == Z_STREAM_END) finished = true;
    } while (zs.avail_out == 0 && !finished);
    if (rc == 0 && written > kZipSizeLimit) rc = Fail(kArchErrCompress, name);
    if (rc == 0 && !finished &&
        Progress(kStageCompress, size > 0 ? static_cast<int>(read * 100 / size) : 100) != 0)
      rc = kCancelled;
  }
  deflateEnd(&zs);
  End(kStageCompress);
  if (rc != 0) return rc;
  e.crc = static_cast<uint32_t>(crc);
  e.compressed = static_cast<uint32_t>(written);
  e.size = static_cast<uint32_t>(read);
  // Back to the local header for its CRC and sizes.
  std::string sums;
  PutLe32(&sums, e.crc);
  PutLe32(&sums, e.compressed);
  PutLe32(&sums, e.size);
  if (out.Seek(at + 14, SEEK_SET) < 0 ||
      out.Write(sums.data(), sums.size()) != static_cast<long>(sums.size()) ||
      out.Seek(0, SEEK_END) < 0)
    return Fail(kArchErrWrite, archive_);
  return 0;
}

int ARCHZIP::CreateArchive(const char* archive, const char* const* files, int count,
                           const char* dir) {
  MUTED_FILE_ERRORS muted;
  archive_ = archive;
  const std::string tmp = TakeTemporaryName(archive);
  if (tmp.empty()) return Fail(kArchErrCreate, archive);
  CFILE out;
  int rc = out.Open(tmp.c_str(), kTruncateExisting, kAccessWrite, kShareNone) == 0
               ? 0
               : Fail(kArchErrCreate, archive);
  std::vector<ZIPENTRY> entries;
  int64_t at = 0;
  for (int i = 0; rc == 0 && i < count; ++i) {
    const std::string path = Join(dir, files[i]);
    if (!CFILE::Exists(path.c_str())) {
      if (Stops(kArchErrMissing, files[i])) rc = -1;
      continue;
    }
    ZIPENTRY e;
    rc = WriteMember(out, path, files[i], &e, at);
    if (rc != 0) break;
    const int64_t end = out.Tell();
    if (end < 0) {
      rc = Fail(kArchErrWrite, archive);
      break;
    }
    at = end;
    entries.push_back(e);
  }
  if (rc == 0) {
    std::string tail;
    for (const ZIPENTRY& e : entries) tail += EncodeCentralHeader(e);
    ZIPEND end;
    end.disk_entries = end.entries = static_cast<uint16_t>(entries.size());
    end.directory_size = static_cast<uint32_t>(tail.size());
    end.directory_offset = static_cast<uint32_t>(at);
    if (at > 0xFFFFFFFFLL || entries.size() > 0xFFFF) rc = Fail(kArchErrCompress, archive);
    tail += EncodeEndRecord(end);
    if (rc == 0 &&
        (out.Write(tail.data(), tail.size()) != static_cast<long>(tail.size()) || out.Flush() != 0))
      rc = Fail(kArchErrWrite, archive);
  }
  if (rc == 0 && out.Close() != 0) rc = Fail(kArchErrClose, archive);
  if (rc == 0) {
    // The old archive is replaced only by a whole new one.
    if (out.Rename(archive, true) != 0) rc = Fail(kArchErrCreate, archive);
    else SyncDirectoryOf(archive);
  }
  if (rc != 0) {
    out.Close();
    CFILE::DeleteFile(tmp.c_str());
    return -1;
  }
  return 0;
}

int ARCHZIP::InflateMember(CFILE& in, const ZIPENTRY& e, int64_t data_at, CFILE& out,
                           uint32_t* crc_out) {
  std::unique_ptr<Bytef[]> ib(new Bytef[kChunk]), ob(new Bytef[kChunk]);
  uLong crc = crc32(0, Z_NULL, 0);
  uint64_t done_in = 0, done_out = 0;
  const bool stored = e.method == kZipMethodStored;
  bool zlib_form = false;
  if (!stored && e.compressed >= 2) {
    uint8_t head[2];
    if (in.ReadAt(data_at, head, 2) != 2) return kArchErrRead;
    zlib_form = LooksLikeZlib(head);
  }
  z_stream zs{};
  if (!stored && inflateInit2(&zs, zlib_form ? MAX_WBITS : -MAX_WBITS) != Z_OK)
    return kArchErrMemory;
  int rc = 0;
  bool ended = stored && e.compressed == 0;
  while (rc == 0 && !ended) {
    const uint64_t left = e.compressed - done_in;
    if (left == 0) {
      rc = kArchErrDecompress;  // the data ran out before the stream ended
      break;
    }
    const size_t n = static_cast<size_t>(std::min<uint64_t>(left, kChunk));
    if (in.ReadAt(data_at + static_cast<int64_t>(done_in), ib.get(), n) != static_cast<long>(n)) {
      rc = kArchErrRead;
      break;
    }
    done_in += n;
    if (stored) {
      if (done_out + n > e.size) {
        rc = kArchErrDecompress;
        break;
      }
      if (out.Write(ib.get(), n) != static_cast<long>(n)) {
        rc = kArchErrWrite;
        break;
      }
      crc = crc32(crc, ib.get(), static_cast<uInt>(n));
      done_out += n;
      ended = done_in == e.compressed;
    } else {
      zs.next_in = ib.get();
      zs.avail_in = static_cast<uInt>(n);
      do {
        zs.next_out = ob.get();
        zs.avail_out = kChunk;
        const int z = inflate(&zs, Z_NO_FLUSH);
        if (z != Z_OK && z != Z_STREAM_END && z != Z_BUF_ERROR) {
          rc = z == Z_MEM_ERROR ? kArchErrMemory : kArchErrDecompress;
          break;
        }
        const size_t have = kChunk - zs.avail_out;
        // Never more than the member says it holds: a stream that inflates past its declared
        // size is refused there, however far it would go.
        if (done_out + have > e.size) {
          rc = kArchErrDecompress;
          break;
        }
        if (have && out.Write(ob.get(), have) != static_cast<long>(have)) {
          rc = kArchErrWrite;
          break;
        }
        crc = crc32(crc, ob.get(), static_cast<uInt>(have));
        done_out += have;
        if (z == Z_STREAM_END) ended = true;
        if (z == Z_BUF_ERROR && zs.avail_in == 0) break;
      } while (!ended && (zs.avail_in > 0 || zs.avail_out == 0));
    }
    if (rc == 0 && !ended &&
        Progress(kStageDecompress, static_cast<int>(done_in * 100 / e.compressed)) != 0)
      rc = kCancelled;
  }
  if (!stored) inflateEnd(&zs);
  if (rc == 0 && done_out != e.size) rc = kArchErrDecompress;
  *crc_out = static_cast<uint32_t>(crc);
  return rc;
}

int ARCHZIP::ExtractArchive(const char* archive, const char* const* files, int count,
                            const char* dir) {
  MUTED_FILE_ERRORS muted;
  extracted_.clear();
  CFILE in;
  if (in.Open(archive, kOpenExisting, kAccessRead, kShareRead) != 0)
    return Fail(kArchErrOpen, archive);
  ZIPDIRECTORY zd;
  if (int code = ReadZipDirectory(in, &zd); code != 0) return Fail(code, archive);
  // An archive naming anything but plain file names, or one name twice, is not one of ours.
  for (size_t i = 0; i < zd.entries.size(); ++i) {
    if (!SafeMemberName(zd.entries[i].name) || (zd.entries[i].flags & 0x41) != 0 ||
        (zd.entries[i].method != kZipMethodStored && zd.entries[i].method != kZipMethodDeflate))
      return Fail(kArchErrFormat, archive);
    for (size_t j = 0; j < i; ++j)
      if (SameNameIgnoringCase(zd.entries[i].name.c_str(), zd.entries[j].name.c_str()))
        return Fail(kArchErrFormat, archive);
  }
  struct PENDING {
    std::string temp, target, name, backup;
    bool existed = false;
  };
  std::vector<PENDING> pending;
  auto drop = [&] {
    for (const PENDING& p : pending) CFILE::DeleteFile(p.temp.c_str());
    return -1;
  };
  const std::string where = dir && *dir ? dir : ".";
  for (int i = 0; i < count; ++i) {
    const ZIPENTRY* e = nullptr;
    for (const ZIPENTRY& z : zd.entries)
      if (SameNameIgnoringCase(z.name.c_str(), files[i])) e = &z;
    if (!e) {
      if (Stops(kArchErrMissing, files[i])) return drop();
      continue;
    }
    // The local header must agree with the directory and leave the data inside the archive.
    uint8_t local[kZipLocalSize];
    uint16_t name_length = 0, extra_length = 0;
    if (in.ReadAt(e->offset, local, sizeof local) != static_cast<long>(sizeof local))
      return Fail(kArchErrRead, archive), drop();
    const int64_t data_at = static_cast<int64_t>(e->offset) + static_cast<int64_t>(kZipLocalSize);
    if (!DecodeLocalHeader(local, sizeof local, &name_length, &extra_length) ||
        name_length != e->name.size() ||
        data_at + name_length + extra_length + e->compressed > zd.directory_at)
      return Fail(kArchErrFormat, archive), drop();
    const std::string target = Join(dir, files[i]);
    const SystemFacts facts = GetSystemFacts(where.c_str());
    if (facts.free_disk_kb * 1024ULL < e->size) return Fail(kArchErrWrite, files[i]), drop();
    if (Start(kStageDecompress, files[i]) != 0) return drop();
    const std::string temp = TakeTemporaryName(target);
    if (temp.empty()) {
      End(kStageDecompress);
      return Fail(kArchErrCreate, files[i]), drop();
    }
    pending.push_back({temp, target, files[i], "", false});
    CFILE out;
    if (out.Open(temp.c_str(), kTruncateExisting, kAccessWrite, kShareNone) != 0) {
      End(kStageDecompress);
      return Fail(kArchErrCreate, files[i]), drop();
    }
    uint32_t crc = 0;
    int rc = InflateMember(in, *e, data_at + name_length + extra_length, out, &crc);
    if (rc == 0 && crc != e->crc) rc = kArchErrCrc;
    const time_t when = TimeOfDos(e->time, e->date);
    if (rc == 0 && ((when != -1 && out.SetDate(when) != 0) || out.Flush() != 0 || out.Close() != 0))
      rc = kArchErrWrite;
    out.Close();
    End(kStageDecompress);
    if (rc == kCancelled) return drop();
    if (rc != 0) {
      // A damaged member is never written over a file: it is left out, or the work stops.
      CFILE::DeleteFile(temp.c_str());
      pending.pop_back();
      const char* about = rc == kArchErrRead || rc == kArchErrFormat ? archive : files[i];
      if (Stops(rc, about)) return drop();
    }
  }
  // Every member is whole: now they replace the files. The old files keep a second name until
  // all new ones are in place, so that a failed rename puts every old file back.
  for (PENDING& p : pending) {
    if (!CFILE::Exists(p.target.c_str())) continue;
    p.existed = true;
    p.backup = TakeTemporaryName(p.target);
    if (p.backup.empty()) {
      // No second name can be made (the disk fails): nothing is replaced.
      for (const PENDING& q : pending) {
        if (!q.backup.empty()) CFILE::DeleteFile(q.backup.c_str());
      }
      return Fail(kArchErrCreate, p.name.c_str()), drop();
    }
    if (CFILE::DeleteFile(p.backup.c_str()) != 0 || LinkFile(p.target, p.backup) != 0)
      p.backup.clear();  // a file system without links: no way back for this one
  }
  for (size_t k = 0; k < pending.size(); ++k) {
    if (RenameFile(pending[k].temp, pending[k].target) == 0) continue;
    Stops(kArchErrCreate, pending[k].name.c_str());
    for (size_t i = 0; i < k; ++i) {
      if (!pending[i].backup.empty()) RenameFile(pending[i].backup, pending[i].target);
      else if (!pending[i].existed) CFILE::DeleteFile(pending[i].target.c_str());
    }
    for (size_t i = k; i < pending.size(); ++i) {
      CFILE::DeleteFile(pending[i].temp.c_str());
      if (!pending[i].backup.empty()) CFILE::DeleteFile(pending[i].backup.c_str());
    }
    return -1;
  }
  for (const PENDING& p : pending) {
    if (!p.backup.empty()) CFILE::DeleteFile(p.backup.c_str());
    extracted_.push_back(p.name);
  }
  if (!pending.empty() && SyncDirectoryOf(pending.front().target) != 0)
    return Fail(kArchErrWrite, archive);
  return 0;
}

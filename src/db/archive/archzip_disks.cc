// The archive engine: spreading an archive over removable disks and joining it again.
// Format: docs/formats/backup-archive.md ("Spread over several disks").
//
// The disks hold, one after the other, the spanning signature and the archive with the disk
// numbers filled in: each member's local header stays whole on one disk and the central
// directory names the disk and the offset on it; the end record is whole on the last disk.
// Joining takes the last disk first (its end record tells how many disks there are), then the
// disks from the first, and writes an ordinary one-disk archive again.
#include <algorithm>
#include <cstdio>
#include <memory>

#include "db/archive/archzip.h"
#include "db/archive/archzip_internal.h"
#include "platform/cfile.h"
#include "platform/removable.h"
#include "platform/system.h"

namespace {

constexpr size_t kChunk = 64 * 1024;
// Kept free on every disk for the file system's own bookkeeping.
constexpr int64_t kDiskReserve = 4096;

// Labels have three digits: an archive takes at most 999 disks.
constexpr int kMaxDisks = 999;

std::string DiskLabel(int n) {
  char label[24];
  std::snprintf(label, sizeof label, "PKBACK# %03d", n);
  return label;
}

std::string NameOnDisk(const std::string& rest, const char* archive) {
  if (!rest.empty()) return rest;
  std::string a = archive;
  const size_t slash = a.rfind('/');
  return slash == std::string::npos ? a : a.substr(slash + 1);
}

// One piece of the spread archive: bytes of the archive file, or bytes made here.
struct PIECE {
  int64_t from = 0;  // in the archive file
  int64_t length = 0;
  std::string made;  // when not from the file
  bool splittable = false;
  int entry = -1;  // the member whose local header this piece is
};

}  // namespace

int ARCHZIP::WriteToDisks(const char* archive, const char* target) {
  MUTED_FILE_ERRORS muted;
  std::string rest;
  const int drive = DiskDriveOfPath(target, &rest);
  if (drive < 0) return Fail(kArchErrCreate, target);
  const std::string name = NameOnDisk(rest, archive);
  CFILE in;
  if (in.Open(archive, kOpenExisting, kAccessRead, kShareRead) != 0)
    return Fail(kArchErrOpen, archive);
  ZIPDIRECTORY zd;
  if (int code = ReadZipDirectory(in, &zd); code != 0) return Fail(code, archive);
  time_t stamp = 0;
  if (in.GetDate(&stamp) != 0) return Fail(kArchErrRead, archive);

  // The pieces in file order: the signature, each member's header (whole) and its data.
  std::vector<int> order(zd.entries.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  std::sort(order.begin(), order.end(),
            [&](int a, int b) { return zd.entries[a].offset < zd.entries[b].offset; });
  std::vector<PIECE> pieces;
  std::string sig;
  PutLe32(&sig, kZipSpanSignature);
  pieces.push_back({0, 4, sig, false, -1});
  for (size_t k = 0; k < order.size(); ++k) {
    const ZIPENTRY& e = zd.entries[order[k]];
    uint8_t local[kZipLocalSize];
    uint16_t nl = 0, xl = 0;
    if (in.ReadAt(e.offset, local, sizeof local) != static_cast<long>(sizeof local))
      return Fail(kArchErrRead, archive);
    if (!DecodeLocalHeader(local, sizeof local, &nl, &xl)) return Fail(kArchErrFormat, archive);
    const int64_t header = static_cast<int64_t>(kZipLocalSize) + nl + xl;
    const int64_t next = k + 1 < order.size() ? zd.entries[order[k + 1]].offset : zd.directory_at;
    if (e.offset + header > next) return Fail(kArchErrFormat, archive);
    pieces.push_back({e.offset, header, {}, false, order[k]});
    pieces.push_back({e.offset + header, next - e.offset - header, {}, true, -1});
  }
  const int64_t total =
      4 + zd.directory_at + zd.end.directory_size + static_cast<int64_t>(kZipEndSize);

  if (Start(kStageDiskWrite, name.c_str()) != 0) return -1;
  std::vector<ZIPENTRY> entries = zd.entries;
  std::unique_ptr<char[]> buffer(new char[kChunk]);
  size_t piece = 0;
  int64_t in_piece = 0, done = 0;
  bool directory_made = false;
  int rc = 0;
  for (int disk = 1; rc == 0; ++disk) {
    if (disk > kMaxDisks) {
      rc = Fail(kArchErrWrite, target);
      break;
    }
    // A disk: asked for, present, writable, not one written in this run already.
    std::string dir;
    for (;;) {
      if (DiskPrompt(kPromptDisk, disk) != 0) {
        rc = -1;
        break;
      }
      int problem = 0;
      for (;;) {
        if (RemovableDrives().Find(drive, &dir) != 0) problem = kArchErrNoDisk;
        else if (!RemovableDrives().Writable(dir)) problem = kArchErrProtected;
        else problem = 0;
        if (problem == 0 || Stops(problem, name.c_str())) break;
      }
      if (problem != 0) {
        rc = -1;
        break;
      }
      CFILE old;
      time_t when = 0;
      const std::string path = dir + "/" + name;
      if (CFILE::Exists(path.c_str()) &&
          old.Open(path.c_str(), kOpenExisting, kAccessRead, kShareReadWrite) == 0 &&
          old.GetDate(&when) == 0 && when == stamp)
        continue;  // this disk already holds a part of this very archive: the next one, please
      break;
    }
    if (rc != 0) break;
    const std::string path = dir + "/" + name;
    if (CFILE::Exists(path.c_str()) && CFILE::DeleteFile(path.c_str()) != 0) {
      rc = Fail(kArchErrDelete, path.c_str());
      break;
    }
    if (RemovableDrives().SetLabel(dir, DiskLabel(disk)) != 0) {
      rc = Fail(kArchErrWrite, path.c_str());
      break;
    }
    while (RemovableDrives().FreeSpace(dir) <= kDiskReserve + 64)
      if (Stops(kArchErrDiskFull, name.c_str())) {
        rc = -1;
        break;
      }
    if (rc != 0) break;
    int64_t room = RemovableDrives().FreeSpace(dir) - kDiskReserve;
    CFILE out;
    if (out.Open(path.c_str(), kCreateAlways, kAccessWrite, kShareNone) != 0) {
      rc = Fail(kArchErrCreate, path.c_str());
      break;
    }
    int64_t on_disk = 0;
    bool last = false;
    while (rc == 0) {
      if (piece == pieces.size() && !directory_made) {
        // Every header has its disk now: the directory and the end record join the pieces.
        const int64_t directory_at = on_disk;
        std::string directory;
        for (const ZIPENTRY& e : entries) directory += EncodeCentralHeader(e);
        ZIPEND end = zd.end;
        end.comment_length = 0;
        end.directory_disk = static_cast<uint16_t>(disk - 1);
        end.directory_offset = static_cast<uint32_t>(directory_at);
        end.directory_size = static_cast<uint32_t>(directory.size());
        end.disk = static_cast<uint16_t>(disk - 1);
        // The whole tail goes on this disk when it fits; otherwise the directory starts on the
        // next one (the end record is never split from its directory).
        if (directory.size() + kZipEndSize > static_cast<size_t>(room - on_disk) && on_disk > 0)
          break;
        if (directory.size() + kZipEndSize > static_cast<size_t>(room - on_disk)) {
          rc = Stops(kArchErrDiskFull, name.c_str()) ? -1 : 0;
          if (rc == 0) room = RemovableDrives().FreeSpace(dir) - kDiskReserve;
          continue;
        }
        pieces.push_back({0, static_cast<int64_t>(directory.size()), directory, false, -1});
        pieces.push_back({0, static_cast<int64_t>(kZipEndSize), EncodeEndRecord(end), false, -1});
        directory_made = true;
      }
      if (piece == pieces.size()) {
        last = true;
        break;
      }
      PIECE& p = pieces[piece];
      if (p.length == in_piece) {
        ++piece;
        in_piece = 0;
        continue;
      }
      const int64_t free_here = room - on_disk;
      int64_t take = std::min(p.length - in_piece, free_here);
      if (!p.splittable && take < p.length) {
        if (on_disk > 0) break;                  // starts whole on the next disk
        rc = Fail(kArchErrWrite, path.c_str());  // a disk too small for one header
        break;
      }
      if (take <= 0) break;
      if (in_piece == 0 && p.entry >= 0) {
        entries[p.entry].disk = static_cast<uint16_t>(disk - 1);
        entries[p.entry].offset = static_cast<uint32_t>(on_disk);
      }
      while (take > 0 && rc == 0) {
        const size_t n = static_cast<size_t>(std::min<int64_t>(take, kChunk));
        const char* src = nullptr;
        if (!p.made.empty()) {
          src = p.made.data() + in_piece;
        } else {
          if (in.ReadAt(p.from + in_piece, buffer.get(), n) != static_cast<long>(n)) {
            rc = Fail(kArchErrRead, archive);
            break;
          }
          src = buffer.get();
        }
        if (out.Write(src, n) != static_cast<long>(n)) {
          rc = Fail(kArchErrWrite, path.c_str());
          break;
        }
        in_piece += static_cast<int64_t>(n);
        on_disk += static_cast<int64_t>(n);
        done += static_cast<int64_t>(n);
        take -= static_cast<int64_t>(n);
        if (Progress(kStageDiskWrite, static_cast<int>(done * 100 / total)) != 0) rc = -1;
      }
      if (in_piece == p.length) {
        ++piece;
        in_piece = 0;
      }
    }
    if (rc == 0 && (out.Flush() != 0 || out.SetDate(stamp) != 0 || out.Close() != 0))
      rc = Fail(kArchErrWrite, path.c_str());
    if (rc == 0) SyncDirectoryOf(path);
    if (rc != 0 || last) break;
  }
  End(kStageDiskWrite);
  return rc;
}

namespace {

int LabelNumber(const std::string& label) {
  int n = 0;
  char tail = 0;
  if (std::sscanf(label.c_str(), "PKBACK# %3d%c", &n, &tail) != 1 || label.size() != 11) return -1;
  return n;
}

}  // namespace

int ARCHZIP::ReadFromDisks(const char* source, const char* archive) {
  MUTED_FILE_ERRORS muted;
  std::string rest;
  const int drive = DiskDriveOfPath(source, &rest);
  if (drive < 0) return Fail(kArchErrOpen, source);
  const std::string name = NameOnDisk(rest, archive);
  const std::string joined = TakeTemporaryName(archive);
  if (joined.empty()) return Fail(kArchErrCreate, archive);
  CFILE out;
  if (out.Open(joined.c_str(), kTruncateExisting, kAccessReadWrite, kShareNone) != 0) {
    CFILE::DeleteFile(joined.c_str());
    return Fail(kArchErrCreate, archive);
  }
  if (Start(kStageDiskRead, name.c_str()) != 0) {
    out.Delete();
    return -1;
  }
  std::vector<int64_t> starts;  // of each disk's part in the joined file
  std::unique_ptr<char[]> buffer(new char[kChunk]);
  int rc = 0;
  int disks = 0;  // known once the last disk was seen
  // The last disk is read first and kept aside until the others have joined.
  const std::string last_part = TakeTemporaryName(archive);
  // Asks for disk n (0: the last one) until a disk with its label and the archive is in.
  auto take_disk = [&](int n, std::string* path) -> int {
    for (;;) {
      if (DiskPrompt(n == 0 ? kPromptLastDisk : kPromptDisk, n) != 0) return -1;
      std::string dir, label;
      for (;;) {
        if (RemovableDrives().Find(drive, &dir) == 0) break;
        if (Stops(kArchErrNoDisk, name.c_str())) return -1;
      }
      *path = dir + "/" + name;
      if (RemovableDrives().ReadLabel(dir, &label) != 0) continue;
      const int number = LabelNumber(label);
      if (number < 1 || (n > 0 && number != n)) continue;
      if (!CFILE::Exists(path->c_str())) {
        if (Stops(kArchErrMissing, name.c_str())) return -1;
        continue;
      }
      return number;
    }
  };
  auto append = [&](const std::string& path, bool first, CFILE* to) -> int {
    CFILE part;
    if (part.Open(path.c_str(), kOpenExisting, kAccessRead, kShareRead) != 0)
      return Fail(kArchErrOpen, path.c_str());
    const int64_t size = part.Size();
    if (size < 0) return Fail(kArchErrRead, path.c_str());
    if (to == &out) starts.push_back(out.Tell());
    for (int64_t at = 0; at < size;) {
      const size_t n = static_cast<size_t>(std::min<int64_t>(size - at, kChunk));
      if (part.ReadAt(at, buffer.get(), n) != static_cast<long>(n))
        return Fail(kArchErrRead, path.c_str());
      if (at == 0 && first) {
        const uint32_t sig = n >= 4 ? ReadLe32(reinterpret_cast<uint8_t*>(buffer.get())) : 0;
        if (sig != kZipSpanSignature && sig != kZipSpanOnceSignature)
          return Fail(kArchErrFormat, path.c_str());
      }
      if (to->Write(buffer.get(), n) != static_cast<long>(n)) return Fail(kArchErrWrite, archive);
      at += static_cast<int64_t>(n);
      if (Progress(kStageDiskRead, static_cast<int>(at * 100 / size)) != 0) return -1;
    }
    return 0;
  };

  // The last disk first: its end record says how many disks there are.
  std::string path;
  const int number = take_disk(0, &path);
  if (number < 0) rc = -1;
  CFILE lastf, kept;
  if (rc == 0 && last_part.empty()) rc = Fail(kArchErrCreate, archive);
  if (rc == 0) {
    if (lastf.Open(path.c_str(), kOpenExisting, kAccessRead, kShareRead) != 0)
      rc = Fail(kArchErrOpen, path.c_str());
    else if (kept.Open(last_part.c_str(), kTruncateExisting, kAccessWrite, kShareNone) != 0)
      rc = Fail(kArchErrCreate, archive);
  }
  if (rc == 0) {
    const int64_t size = lastf.Size();
    const size_t n =
        static_cast<size_t>(std::min<int64_t>(std::max<int64_t>(size, 0), kZipEndSize + 0xFFFF));
    std::string tail(n, '\0');
    size_t at = 0;
    ZIPEND end;
    if (size < 0 ||
        lastf.ReadAt(size - static_cast<int64_t>(n), tail.data(), n) != static_cast<long>(n))
      rc = Fail(kArchErrRead, path.c_str());
    else if (!FindEndRecord(reinterpret_cast<const uint8_t*>(tail.data()), n, &at, &end) ||
             end.disk + 1 != number)
      rc = Fail(kArchErrFormat, path.c_str());
    else disks = number;
    lastf.Close();
  }
  if (rc == 0) rc = append(path, disks == 1, &kept);
  if (rc == 0 && kept.Close() != 0) rc = Fail(kArchErrWrite, archive);
  for (int n = 1; rc == 0 && n < disks; ++n) {
    if (take_disk(n, &path) < 0) rc = -1;
    else rc = append(path, n == 1, &out);
  }
  if (rc == 0) rc = append(last_part, false, &out);
  kept.Close();
  if (!last_part.empty()) CFILE::DeleteFile(last_part.c_str());
  End(kStageDiskRead);

  // One disk again: offsets counted from the start of the archive, all on disk 0.
  std::string result;
  if (rc == 0) {
    const int64_t size = out.Tell();
    const size_t n = static_cast<size_t>(std::min<int64_t>(size, kZipEndSize + 0xFFFF));
    std::string tail(n, '\0');
    size_t at = 0;
    ZIPEND end;
    std::vector<ZIPENTRY> entries;
    if (out.ReadAt(size - static_cast<int64_t>(n), tail.data(), n) != static_cast<long>(n)) {
      rc = Fail(kArchErrRead, archive);
    } else if (!FindEndRecord(reinterpret_cast<const uint8_t*>(tail.data()), n, &at, &end) ||
               end.directory_disk >= starts.size() || end.directory_size > (32u << 20)) {
      rc = Fail(kArchErrFormat, archive);
    } else {
      const int64_t directory_at = starts[end.directory_disk] + end.directory_offset;
      std::string directory(end.directory_size, '\0');
      if (directory_at + end.directory_size >
              size - static_cast<int64_t>(n) + static_cast<int64_t>(at) ||
          out.ReadAt(directory_at, directory.data(), directory.size()) !=
              static_cast<long>(directory.size()) ||
          !DecodeCentralDirectory(reinterpret_cast<const uint8_t*>(directory.data()),
                                  directory.size(), end, &entries)) {
        rc = Fail(kArchErrFormat, archive);
      } else {
        for (ZIPENTRY& e : entries) {
          if (e.disk >= starts.size() || starts[e.disk] + e.offset < 4) {
            rc = Fail(kArchErrFormat, archive);
            break;
          }
          e.offset = static_cast<uint32_t>(starts[e.disk] + e.offset - 4);
          e.disk = 0;
          e.extra_length = e.comment_length = 0;
          result += EncodeCentralHeader(e);
        }
        ZIPEND one;
        one.entries = one.disk_entries = static_cast<uint16_t>(entries.size());
        one.directory_size = static_cast<uint32_t>(result.size());
        one.directory_offset = static_cast<uint32_t>(directory_at - 4);
        result += EncodeEndRecord(one);
        // The members, without the signature, then the new directory.
        if (rc == 0) {
          CFILE fin;
          const std::string tmp = TakeTemporaryName(archive);
          if (tmp.empty() ||
              fin.Open(tmp.c_str(), kTruncateExisting, kAccessWrite, kShareNone) != 0) {
            if (!tmp.empty()) CFILE::DeleteFile(tmp.c_str());
            rc = Fail(kArchErrCreate, archive);
          }
          for (int64_t p = 4; rc == 0 && p < directory_at;) {
            const size_t k = static_cast<size_t>(std::min<int64_t>(directory_at - p, kChunk));
            if (out.ReadAt(p, buffer.get(), k) != static_cast<long>(k))
              rc = Fail(kArchErrRead, archive);
            else if (fin.Write(buffer.get(), k) != static_cast<long>(k))
              rc = Fail(kArchErrWrite, archive);
            p += static_cast<int64_t>(k);
          }
          if (rc == 0 &&
              (fin.Write(result.data(), result.size()) != static_cast<long>(result.size()) ||
               fin.Flush() != 0 || fin.Close() != 0))
            rc = Fail(kArchErrWrite, archive);
          if (rc == 0 && fin.Rename(archive, true) != 0) rc = Fail(kArchErrCreate, archive);
          if (rc != 0 && !tmp.empty()) fin.Delete();
          if (rc == 0) SyncDirectoryOf(archive);
        }
      }
    }
  }
  out.Delete();
  return rc;
}

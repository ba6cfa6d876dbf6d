// Removable disks for backups spread over several disks: what stands on this system for the
// floppy drives "A:" and "B:". Drive 0 ("A:") is the first mounted removable medium in the order
// of its mount directory, drive 1 ("B:") the second. The volume label is read from the system's
// list of labelled devices and set through the file system's own label tool (fatlabel,
// exfatlabel, e2label, ntfslabel).
//
//   std::string dir;
//   if (RemovableDrives().Find(0, &dir) == 0) ... write dir + "/Tamsu.zip" ...
//
// Tests install a drive set of their own (directories standing for disks) with
// SetRemovableDrives.
#pragma once

#include <cstdint>
#include <string>

class REMOVABLE_DRIVES {
 public:
  virtual ~REMOVABLE_DRIVES() = default;
  // The directory of the medium in drive n (0 or 1): 0, or -1 when no medium is there.
  virtual int Find(int drive, std::string* dir) = 0;
  // Whether files can be written on the medium (not mounted read-only, not write-protected).
  virtual bool Writable(const std::string& dir) = 0;
  // Free bytes for the user on the medium, or -1.
  virtual int64_t FreeSpace(const std::string& dir) = 0;
  // The volume label: 0 with *label ("" when it has none), or -1 when it cannot be read.
  virtual int ReadLabel(const std::string& dir, std::string* label) = 0;
  // 0, or -1 when the label tool is missing or refused (often: no right to write the device).
  virtual int SetLabel(const std::string& dir, const std::string& label) = 0;
};

// The drives in use: the system's unless a test installed others.
REMOVABLE_DRIVES& RemovableDrives();
// nullptr puts the system's back.
void SetRemovableDrives(REMOVABLE_DRIVES* drives);

// The drive a path names: 0 for "A:..." and 1 for "B:..." (either case), else -1. *rest gets
// what follows the drive, without leading separators.
int DiskDriveOfPath(const std::string& path, std::string* rest = nullptr);

// Removing an installation of Tamsu: its shortcuts, its program files, on request its data
// files, its uninstall record, and at last (by a copy of the uninstaller started from the
// temporary folder) the uninstaller and the program directory.
//
// The uninstaller only ever deletes names in its own directory, plus the shortcut "Tamsu.desktop"
// on the desktop and in the applications menu when it starts this installation's "tamsu", and
// the uninstall record when it names this uninstaller. Deleting a name never follows a symbolic
// link: a link planted in the directory goes as a link. The shortcut and the record are
// described in docs/formats/uninstall-record.md.
//
//   UNINSTALL_PLACES places = UninstallPlacesOfThisProgram();
//   if (Uninstall(places, data_ticked) == 0) StartSecondStage(places);
#pragma once

#include <string>

// Program files, deleted from the uninstaller's own directory.
inline constexpr const char* kProgramFiles[] = {"tamsu", "Tamsu.txt", "perlo", "tamsu-admin",
                                                "Program.ini"};
// Data files, deleted only when the user asks for it (with the markers of changes in progress
// that a program ended uncleanly leaves beside its tables).
inline constexpr const char* kDataFiles[] = {
    "Tamsu.ini", "Gto.dbf", "Kon.dbf", "Poz.dbf", "Tow.dbf", "Tra.dbf", "Gto.inx", "Kon.inx",
    "Poz.inx",   "Tow.inx", "Tra.inx", "Gto.opn", "Kon.opn", "Poz.opn", "Tow.opn", "Tra.opn"};
inline constexpr const char kShortcutName[] = "Tamsu.desktop";
inline constexpr const char kRecordName[] = "Tamsu.uninstall";
inline constexpr const char kRecordKey[] = "UninstallString=";
// Installed by the Debian package only: the package manager owns such an installation.
inline constexpr const char kPackageMarker[] = "Package.txt";

struct UNINSTALL_PLACES {
  std::string uninstaller;          // full canonical path of the uninstaller
  std::string program_dir;          // its directory
  std::string shortcut_folders[2];  // the desktop, the applications menu ("" skips one)
  std::string record;               // full path of the uninstall record
  bool folders_unknown = false;     // the user's folder list could not be read: a failure
};

// The places for the running program and the user's folders.
UNINSTALL_PLACES UninstallPlacesOfThisProgram();
// The places for an uninstaller at the given full path (tests).
UNINSTALL_PLACES UninstallPlacesFor(const std::string& uninstaller);

// True when the Debian package installed this directory: nothing may be removed by hand.
bool IsPackageInstallation(const UNINSTALL_PLACES& places);

// Runs every step; 0 when all of them succeeded, -1 when any failed (what was deleted stays
// deleted; the other steps still run).
int Uninstall(const UNINSTALL_PLACES& places, bool data_files);

// Copies the uninstaller into the temporary folder and starts the copy with a handle on this
// process and the uninstaller's path; 0 or -1 (the copy is removed again on failure).
int StartSecondStage(const UNINSTALL_PLACES& places);
// The second stage (self: the running copy's own path): waits until the process behind the
// handle has ended, deletes the uninstaller at path when it is the same program as self and
// removes its directory when that is now empty, then deletes self when it is a copy in the
// temporary folder. -1 when the arguments are not a handle and a full path.
int SecondStage(const char* handle, const char* path, const std::string& self);

// The program a shortcut starts, from the Exec key of its [Desktop Entry] group. 0, or -1 when
// the file cannot be read or holds no program.
int ShortcutTarget(const std::string& file, std::string* program);
// The uninstaller an uninstall record names: 1 with the path, 0 when there is no record or no
// value in it, -1 when the record cannot be read.
int RecordedUninstaller(const std::string& file, std::string* path);
// Whether two full paths name the same file: equal once their directories are resolved.
bool SamePlace(const std::string& a, const std::string& b);

// Where things are for the user on this system: the running program's own file, the home folder
// and the XDG folders (configuration, data, desktop, applications menu), the temporary folder,
// and the few questions about names that the configuration and the uninstaller ask.
//
// Paths are the file system's bytes (UTF-8 on a usual system), never converted.
//
//   std::string ini = DirectoryOf(ExecutablePath()) + "/Tamsu.ini";
#pragma once

#include <string>

// The canonical full path of the running program (symbolic links resolved), or "".
std::string ExecutablePath();
// Everything before the last slash ("/" for a name in the root, "." without a slash).
std::string DirectoryOf(const std::string& path);
// Everything after the last slash.
std::string BaseNameOf(const std::string& path);

// $HOME, else the home folder of the password database, else "".
std::string HomeFolder();
// $XDG_CONFIG_HOME when it is absolute, else ~/.config.
std::string UserConfigFolder();
// $XDG_DATA_HOME when it is absolute, else ~/.local/share.
std::string UserDataFolder();
// XDG_DESKTOP_DIR from the user's user-dirs.dirs, else ~/Desktop; "" when the desktop is the
// home folder itself (the user has switched the desktop off). *unreadable (when given) tells
// whether user-dirs.dirs exists but could not be read, so that the answer is only a guess.
std::string DesktopFolder(bool* unreadable = nullptr);
// The applications menu of the user: UserDataFolder()/applications.
std::string ApplicationsFolder();
// $TMPDIR when it is absolute, else /tmp.
std::string TemporaryFolder();

// A directory the user may create and delete files in.
bool IsWritableDirectory(const std::string& dir);
// A directory, symbolic links followed.
bool IsDirectory(const std::string& path);
// The name itself exists, whatever it is; a symbolic link is not followed.
bool LinkExists(const std::string& path);
// A regular file under this very name (a symbolic link is not one).
bool IsRegularFile(const std::string& path);
// realpath(), or "" when a component is missing.
std::string CanonicalPath(const std::string& path);
// Creates the folder and the missing ones above it (mode 0700 for new ones); 0 or -1.
int MakeFolders(const std::string& path);
// rmdir(): succeeds only on an empty directory; 0 or -1.
int RemoveEmptyDirectory(const std::string& path);
// Both files readable and byte for byte the same.
bool SameFileContents(const std::string& a, const std::string& b);

// A CUPS scheduler of the test's own: its configuration, spool and socket in a temporary
// directory, so that printing tests reach a real server without touching the machine's.
#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "support/temp_dir.h"

extern char** environ;

// Start adds one queue, "tamsuq", the default, whose backend writes each job into Output().
class PRIVATE_CUPSD {
 public:
  explicit PRIVATE_CUPSD(const std::string& root) : root_(root) {}
  ~PRIVATE_CUPSD() { Stop(); }

  // Empty when it runs, else why not.
  std::string Start() {
    if (access("/usr/sbin/cupsd", X_OK) != 0) return "/usr/sbin/cupsd is not installed";
    if (access("/usr/lib/cups/daemon/cups-exec", X_OK) != 0) return "cups-exec is missing";
    namespace fs = std::filesystem;
    for (const char* d : {"conf", "spool", "cache", "state", "log", "bin/backend", "out"})
      fs::create_directories(root_ + "/" + d);
    // The backend runs as the unprivileged user of the scheduler: it must reach these.
    chmod(root_.substr(0, root_.rfind('/')).c_str(), 0755);
    chmod(root_.c_str(), 0755);
    chmod((root_ + "/out").c_str(), 0777);
    for (const char* d : {"daemon", "filter", "monitor", "notifier", "cgi-bin", "driver"})
      fs::create_symlink(std::string("/usr/lib/cups/") + d, root_ + "/bin/" + d);
    WriteWholeFile(
        root_ + "/bin/backend/capture",
        "#!/bin/sh\n[ $# -eq 0 ] && { echo 'direct capture \"Unknown\" \"Capture\"'; exit 0; }\n"
        "out=${DEVICE_URI#capture:}\nif [ -n \"$6\" ]; then cat \"$6\" > \"$out\"; else cat > "
        "\"$out\"; fi\n");
    chmod((root_ + "/bin/backend/capture").c_str(), 0755);
    socket_ = root_ + "/cups.sock";
    WriteWholeFile(
        root_ + "/conf/cupsd.conf",
        "Listen " + socket_ +
            "\nLogLevel warn\nWebInterface No\nBrowsing No\n"
            "DefaultAuthType None\n<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
            "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n");
    std::string files = "FileDevice Yes\nServerRoot " + root_ + "/conf\nServerBin " + root_ +
                        "/bin\n" + "RequestRoot " + root_ + "/spool\nTempDir " + root_ +
                        "/spool\nCacheDir " + root_ + "/cache\nStateDir " + root_ +
                        "/state\nErrorLog " + root_ + "/log/error_log\n" + "AccessLog " + root_ +
                        "/log/access_log\nPageLog " + root_ + "/log/page_log\n";
    if (getuid() != 0)
      files += "User " + std::to_string(getuid()) + "\nGroup " + std::to_string(getgid()) + "\n";
    WriteWholeFile(root_ + "/conf/cups-files.conf", files);
    const std::string conf = root_ + "/conf/cupsd.conf", fconf = root_ + "/conf/cups-files.conf";
    const char* argv[] = {"cupsd", "-f", "-c", conf.c_str(), "-s", fconf.c_str(), nullptr};
    if (posix_spawn(&pid_, "/usr/sbin/cupsd", nullptr, nullptr, const_cast<char**>(argv),
                    environ) != 0)
      return "cupsd could not be started";
    for (int i = 0; i < 100 && !std::filesystem::exists(socket_); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (!std::filesystem::exists(socket_))
      return "cupsd did not open its socket: " + ReadWholeFile(root_ + "/log/error_log");
    const std::string add = "lpadmin -h " + socket_ + " -p tamsuq -v capture:" + Output() +
                            " -E 2>&1 && lpadmin -h " + socket_ + " -d tamsuq 2>&1";
    if (std::system(add.c_str()) != 0) return "lpadmin could not add the queue";
    return "";
  }
  void Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = 0;
  }
  // One more raw queue whose device writes each job into a file, made the default; empty when
  // added, else why not.
  std::string AddFileQueue(const std::string& name, const std::string& path) {
    const std::string add = "lpadmin -h " + socket_ + " -p " + name + " -v capture:" + path +
                            " -E 2>&1 && lpadmin -h " + socket_ + " -d " + name + " 2>&1";
    return std::system(add.c_str()) == 0 ? "" : "lpadmin could not add the queue " + name;
  }
  const std::string& Socket() const { return socket_; }
  std::string Output() const { return root_ + "/out/job.pdf"; }

 private:
  std::string root_, socket_;
  pid_t pid_ = 0;
};

// ARCHIVE: the archive engine as the user sees it. Progress windows for packing, unpacking and
// the disks ("Kompresja pliku %s", "Dekompresja pliku %s", "Zapis pliku na dyskietce %s",
// "Odtwarzanie pliku z dyskietki %s"; Esc asks whether to stop), the disk prompts and the error
// messages of the engine with their buttons.
#pragma once

#include "db/archive/archzip.h"

class ARCHIVE : public ARCHZIP {
 public:
  int Start(int stage, const char* name) override;
  int Progress(int stage, int percent) override;
  int End(int stage) override;
  int DiskPrompt(int kind, int disk) override;
  int Error(int code, const char* name) override;
};

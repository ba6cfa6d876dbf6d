#include "ui/archive_ui.h"

#include <string>

#include "common/text.h"
#include "ui/feedback.h"
#include "ui/message_box.h"

namespace {

const char* const kStageTexts[] = {"Kompresja pliku %s", "Dekompresja pliku %s",
                                   "Zapis pliku na dyskietce %s",
                                   "Odtwarzanie pliku z dyskietki %s"};

// The engine's texts carry "%s" for the file name; they are filled here rather than used as
// formats, since a file name may hold a "%" of its own.
std::string Fill(const char* text, const std::string& value) {
  std::string s = text;
  const size_t at = s.find("%s");
  if (at != std::string::npos) s.replace(at, 2, value);
  return s;
}

}  // namespace

int ARCHIVE::Start(int stage, const char* name) {
  if (stage < kStageCompress || stage > kStageDiskRead) return 0;
  progress(0, "%s", Fill(kStageTexts[stage], name).c_str());
  return 0;
}

int ARCHIVE::Progress(int, int percent) {
  return progress(1, AMOUNT::FromInt(percent)) != 0 ? 1 : 0;
}

int ARCHIVE::End(int) {
  progress(2);
  return 0;
}

int ARCHIVE::DiskPrompt(int kind, int disk) {
  const std::string text =
      kind == kPromptLastDisk
          ? std::string("Włóż ostatnią dyskietkę.\t &Ok \t &Przerwij "_pl)
          : Fill("Włóż dyskietkę nr %s.\t &Ok \t &Przerwij "_pl, std::to_string(disk));
  return message_box(1, "%s", text.c_str()) == 1 ? 0 : 1;
}

int ARCHIVE::Error(int code, const char* name) {
  const std::string text = Fill(ArchiveErrorText(code), name ? name : "");
  if (!ArchiveErrorAsks(code)) {
    message("%s", text.c_str());
    return 1;
  }
  // The first button goes on ("Tak") or tries again ("Powtórzenie").
  return message_box(1, "%s", text.c_str()) == 1 ? 0 : 1;
}

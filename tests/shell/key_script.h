// Key scripts for headless runs: plain characters are typed, braces name one key, so filling a
// form and saving it reads as one line: "Alfa{Alt+m}Warszawa{Tab}00-001{Alt+o}". {Snap} takes a
// screen snapshot, {Hook} runs the console's hook; {Ctrl+Y} is the control character;
// {Shift+Ins} or {Alt+F4} add the shift state to a named key.
#pragma once

#include <cctype>
#include <string_view>

#include "../ui/ui_testing.h"

inline void PlayKeys(HEADLESS_CONSOLE* c, std::string_view script) {
  struct NAMED_KEY {
    std::string_view name;
    uint8_t ch, scan;
  };
  static constexpr NAMED_KEY kKeys[] = {
      {"Enter", 13, kScanEnter}, {"Esc", 27, kScanEsc},     {"Tab", 9, kScanTab},
      {"Space", ' ', kScanSpace}, {"Snap", 0, kScanSnapshot}, {"Up", 0, kScanUp},
      {"Down", 0, kScanDown},     {"PgUp", 0, kScanPgUp},     {"PgDn", 0, kScanPgDn},
      {"Home", 0, kScanHome},     {"End", 0, kScanEnd},       {"Ins", 0, kScanIns},
      {"Left", 0, kScanLeft},     {"Right", 0, kScanRight},   {"Del", 0, kScanDel},
      {"F1", 0, kScanF1},         {"F2", 0, kScanF2},         {"F4", 0, kScanF4},
      {"F7", 0, kScanF7},         {"F8", 0, kScanF8},         {"F9", 0, kScanF9},
      {"Hook", 0, kScanHook},     {"Backspace", 8, kScanBackspace}};
  for (size_t i = 0; i < script.size(); ++i) {
    if (script[i] != '{') {
      c->push_key(static_cast<uint8_t>(script[i]), 0x10);
      continue;
    }
    const size_t end = script.find('}', i);
    ASSERT_NE(end, std::string_view::npos) << script;
    std::string_view name = script.substr(i + 1, end - i - 1);
    i = end;
    uint32_t shift = 0;
    for (;;) {
      if (name.starts_with("Shift+")) shift |= kShiftShift;
      else if (name.starts_with("Ctrl+")) shift |= kShiftCtrl;
      else if (name.starts_with("Alt+")) shift |= kShiftAlt;
      else break;
      name.remove_prefix(name.find('+') + 1);
    }
    if (name.size() == 1 && shift == kShiftAlt) {
      c->push_key(static_cast<uint8_t>(name[0]), 0x10, kShiftAlt);
      continue;
    }
    if (name.size() == 1 && shift == kShiftCtrl) {
      c->push_key(static_cast<uint8_t>(std::toupper(name[0]) - '@'), 0x20, kShiftCtrl);
      continue;
    }
    bool known = false;
    for (const NAMED_KEY& k : kKeys)
      if (k.name == name) {
        c->push_key(k.ch, k.scan, shift);
        known = true;
      }
    ASSERT_TRUE(known) << "unknown key {" << name << "}";
  }
}

#include "shell/settings_dialogs.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "business/rights.h"
#include "common/text.h"
#include "db/db_events.h"
#include "db/dbtable.h"
#include "db/table_lock.h"
#include "platform/cfile.h"
#include "platform/inifile.h"
#include "ui/dialog.h"
#include "ui/message_box.h"
#include "ui/screen.h"

namespace {

constexpr int kPasswordLength = 10;
// Stands for a stored password in the fields of "HASŁA"; no key types it.
constexpr char kKeptPassword = '\x01';

// What was typed into a field that showed a stored password, its marks left out.
std::string WithoutKeptMarks(const char* text) {
  std::string s;
  for (; *text; ++text)
    if (*text != kKeptPassword) s += *text;
  return s;
}

void WrongPassword() {
  beep();
  message("%s", "Hasło nieprawidłowe."_pl);
}

}  // namespace

int ask_password(std::string* entry) {
  char text[kPasswordLength + 1] = "";
  FieldDescriptor field;
  make_descriptor(&field, 'C', kPasswordLength, 0, text);
  ControlRecord d[4];
  dlg_frame(d, 0, -1, -1, 32, 3, "HASŁO"_pl);
  dlg_label(d, 1, 3, 1, "Podaj hasło:"_pl);
  dlg_field(d, 2, 17, 1, kPasswordLength + 1, 1, &field);
  d[2].options |= kOptPassword | kOptClosing;
  dlg_end(d, 3);
  dlg_center(d);
  if (dlg_run(d, 2, nullptr) != 2) return -1;
  *entry = text;
  return 0;
}

int startup_password() {
  if (!AdministratorPasswordSet()) {
    SetAdministratorFlag(1);
    return 0;
  }
  std::string entry;
  if (ask_password(&entry) != 0) return -1;
  const PasswordResult r = CheckStartupPassword(entry);
  if (r == kPasswordWrong) {
    WrongPassword();
    return -1;
  }
  SetAdministratorFlag(r == kPasswordAdministrator ? 1 : 0);
  return 0;
}

bool administrator_confirmed() {
  if (!AdministratorPasswordSet()) return true;
  std::string entry;
  if (ask_password(&entry) != 0) return false;
  if (CheckStartupPassword(entry) == kPasswordAdministrator) return true;
  WrongPassword();
  return false;
}

int passwords_dialog() {
  if (!administrator_confirmed()) return -1;
  // Only the one-way form of a password is stored: a set password shows as stars of bytes that
  // cannot be typed, so that a field left alone keeps it and a field emptied clears it.
  const std::string kept(8, kKeptPassword);
  char admin[kPasswordLength + 1] = "", user[kPasswordLength + 1] = "";
  if (AdministratorPasswordSet()) std::snprintf(admin, sizeof admin, "%s", kept.c_str());
  if (UserPasswordSet()) std::snprintf(user, sizeof user, "%s", kept.c_str());
  FieldDescriptor fa, fu;
  make_descriptor(&fa, 'C', kPasswordLength, 0, admin);
  make_descriptor(&fu, 'C', kPasswordLength, 0, user);
  ControlRecord d[7];
  dlg_frame(d, 0, -1, -1, 40, 7, "HASŁA"_pl);
  dlg_label(d, 1, 3, 1, "Hasło &nadzorcy:"_pl);
  dlg_field(d, 2, 24, 1, kPasswordLength + 1, 1, &fa);
  dlg_label(d, 3, 3, 2, "Hasło &użytkownika:"_pl);
  dlg_field(d, 4, 24, 2, kPasswordLength + 1, 1, &fu);
  d[2].options |= kOptPassword | kOptSelectOnEntry;
  d[4].options |= kOptPassword | kOptSelectOnEntry;
  dlg_button(d, 5, 17, 4, " &Ok ");
  dlg_end(d, 6);
  dlg_center(d);
  if (dlg_run(d, 2, nullptr) != 5) return -1;
  if (kept != admin && SetAdministratorPassword(WithoutKeptMarks(admin)) != 0) return -1;
  if (kept != user && SetUserPassword(WithoutKeptMarks(user)) != 0) return -1;
  return 0;
}

int user_rights_dialog() {
  if (!administrator_confirmed()) return -1;
  const uint32_t mask = ReadUserRights();
  ControlRecord d[11];
  dlg_frame(d, 0, -1, -1, 45, 12, "UPRAWNIENIA UŻYTKOWNIKA"_pl);
  for (int k = 0; k < 8; ++k)
    dlg_check(d, 1 + k, 3, 1 + k, USER_RIGHTS[k].dialog_label, (mask & USER_RIGHTS[k].bit) != 0);
  dlg_button(d, 9, 19, 10, " &Ok ");
  dlg_end(d, 10);
  dlg_center(d);
  if (dlg_run(d, 1, nullptr) != 9) return -1;
  uint32_t chosen = 0;
  for (int k = 0; k < 8; ++k)
    if (dlg_checked(d, 1 + k)) chosen |= USER_RIGHTS[k].bit;
  return WriteUserRights(chosen);
}

void apply_network_option() {
  int32_t net = 0;
  INIFILE(ConfigPath()).GetInt("Tamsu", "Net", &net);
  SetNetworkFlag(net != 0);
  if (net != 0 && CheckFileSharing("") != 0) ReportDbEvent(kDbEvNoSharing, "", 0);
}

int network_dialog(bool* reopened) {
  *reopened = false;
  int32_t net = 0;
  const INIFILE ini(ConfigPath());
  ini.GetInt("Tamsu", "Net", &net);
  ControlRecord d[4];
  dlg_frame(d, 0, -1, -1, 44, 5, "SIEĆ"_pl);
  dlg_check(d, 1, 3, 1, "&Dzielony dostęp do danych w sieci "_pl, net != 0);
  dlg_button(d, 2, 19, 3, " &Ok ");
  dlg_end(d, 3);
  dlg_center(d);
  if (dlg_run(d, 1, nullptr) != 2) return 0;
  const int chosen = dlg_checked(d, 1) ? 1 : 0;
  if (chosen == (net != 0 ? 1 : 0)) return 0;
  if (ini.WriteInt("Tamsu", "Net", chosen) != 0) return 0;
  if (message_box(
          1, "%s",
          "Otworzyć ponownie bazę danych\nzgodnie z nowymi ustawieniami?\t &Tak \t &Nie "_pl) != 1)
    return 0;
  CloseDatabase();
  apply_network_option();
  *reopened = true;
  if (OpenDatabase() == 0) return 0;
  message(
      "%s",
      "W wyniku tej operacji nie wszystkie\n    pliki mogą zostać otwarte.\n Program musi zakończyć działanie."_pl);
  return 1;
}

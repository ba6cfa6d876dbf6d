// The per-view state shared by the main window and the record list: sort orders, the record
// commands the forms register, the related records and the status-line summary.
#include <cstdio>
#include <cstring>
#include <string>

#include "business/options.h"
#include "common/text.h"
#include "db/records.h"
#include "db/schema.h"
#include "db/table.h"
#include "ui/codepage.h"
#include "ui/message_box.h"
#include "ui/number_format.h"
#include "ui/record_list.h"
#include "ui/record_search.h"

namespace {

int g_order[kViewCount] = {1, 1, 1, 1};
RecordCommandFn g_commands[kViewCount][kRecordCommandCount] = {};

bool ValidView(int view) { return view >= 0 && view < kViewCount; }

}  // namespace

int view_order(int view) { return ValidView(view) ? g_order[view] : -1; }

void set_view_order(int view, int order) {
  if (ValidView(view)) g_order[view] = order;
}

void set_record_command(int view, RecordCommand which, RecordCommandFn fn) {
  if (ValidView(view) && which >= 0 && which < kRecordCommandCount) g_commands[view][which] = fn;
}

RecordCommandFn record_command(int view, RecordCommand which) {
  if (!ValidView(view) || which < 0 || which >= kRecordCommandCount) return nullptr;
  return g_commands[view][which];
}

int run_record_command(int view, RecordCommand which, int arg) {
  RecordCommandFn fn = record_command(view, which);
  if (!fn) {
    message("%s", "Funkcja w tym miejscu nieobsługiwana."_pl);
    return -1;
  }
  return fn(view, arg);
}

void load_related(int view) {
  // A related record that cannot be found must not show the one read for an earlier row.
  if (view == kViewGoods) {
    if (Tow.GTOID.IsZero() || FindById(kTableGroups, Tow.GTOID) != 0) TableClear(kTableGroups);
  } else if (view == kViewTransactions) {
    if (Tra.KONID.IsZero() || FindById(kTableContractors, Tra.KONID) != 0)
      TableClear(kTableContractors);
  }
}

void record_summary(int view, char* out, int size) {
  if (!out || size <= 0) return;
  out[0] = '\0';
  const char bar = static_cast<char>(box_char(1));
  switch (view) {
    case kViewGroups:
      if (Gto.UWAGI2[0]) std::snprintf(out, size, "%s%c%s", Gto.UWAGI, bar, Gto.UWAGI2);
      else std::snprintf(out, size, "%s", Gto.UWAGI);
      break;
    case kViewGoods: {
      char pack[kAmountTextSize] = "";
      if (!Tow.OPAKOWANIE.IsZero()) format_amount(Tow.OPAKOWANIE, RoundAmount(), pack);
      std::snprintf(out, size, "Opakowanie: %6s %-5s%c%s", pack, Tow.JMIARY, bar, Gto.NAZWA);
      break;
    }
    case kViewContractors: {
      std::string place = std::string(Kon.KOD) + (Kon.KOD[0] ? " " : "") + Kon.MIASTO;
      std::snprintf(out, size, "%-39s%c%s", Kon.ADRES, bar, place.c_str());
      break;
    }
    case kViewTransactions: {
      std::string place = std::string(Kon.KOD) + (Kon.KOD[0] ? " " : "") + Kon.MIASTO;
      std::snprintf(out, size, "%-39.39s%c%s", Kon.NAZWA, bar, place.c_str());
      break;
    }
    default:
      break;
  }
}

void ResetRecordLists() {
  for (int v = 0; v < kViewCount; ++v) {
    g_order[v] = 1;
    for (int c = 0; c < kRecordCommandCount; ++c) g_commands[v][c] = nullptr;
  }
  ResetRecordSearch();
}

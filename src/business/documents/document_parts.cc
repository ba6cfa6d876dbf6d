#include "business/documents/document_parts.h"

#include <algorithm>
#include <cstdio>

#include "business/options.h"
#include "business/record_lookup.h"
#include "common/text.h"
#include "db/table.h"
#include "reports/report_output.h"
#include "ui/controls.h"
#include "ui/dialog.h"
#include "ui/message_box.h"

void PutPlaceAndDate(DATE date, int width) {
  const std::string place = DocumentPlace();
  char line[200];
  if (place.empty()) std::snprintf(line, sizeof line, "Data: %s", DateToDisplay(date).c_str());
  else std::snprintf(line, sizeof line, "%s, %s", place.c_str(), DateToDisplay(date).c_str());
  Put("%s\n", FitTextRight(line, width - 1).c_str());
}

void PutTitleBlock(const char* title, const std::string& number, int width) {
  const std::string nr = number.empty() ? std::string() : "nr " + number;
  const int inner = static_cast<int>(std::max(std::string_view(title).size(), nr.size())) + 6;
  const int x = std::max(0, (width - inner - 2) / 2);
  static const char* const kMarks[] = {" Oryginał [ ]"_pl, "    Kopia [ ]", " Duplikat [ ]"};
  const bool marks = DocumentCopyType() != 0;
  std::vector<std::string> lines;
  lines.push_back(FitTextCentered(title, inner));
  if (!nr.empty()) lines.push_back(FitTextCentered(nr, inner));
  const int total = static_cast<int>(lines.size()) + 2;
  for (int i = 0; i < total; ++i) {
    // The marks stand beside the last three lines of the frame.
    const int mark = i - (total - 3);
    if (marks && mark >= 0) {
      if (x >= 15) {
        PutRepeat(' ', x - 15);
        PutText(kMarks[mark], 13);
        PutRepeat(' ', 2);
      } else if (x > 0) {
        PutText(kMarks[mark], x);
      }
    } else {
      PutRepeat(' ', x);
    }
    if (i == 0 || i == total - 1) {
      PutFrame(i == 0 ? 2 : 8);
      PutFrameLine(inner);
      PutFrame(i == 0 ? 4 : 10);
    } else {
      PutFrame(1);
      PutText(lines[static_cast<size_t>(i - 1)], inner);
      PutFrame(1);
    }
    Put("\n");
  }
}

void PutSideBySide(const std::string& left, const std::string& right, int width) {
  const int half = width / 2;
  std::string line = FitTextCentered(left, half) + " " + FitTextCentered(right, width - half - 1);
  while (!line.empty() && line.back() == ' ') line.pop_back();
  Put("%s\n", line.c_str());
}

void PutSignatures(const char* left, const char* right, int width) {
  const std::string dots(static_cast<size_t>(std::min(50, width / 2 - 4)), '.');
  Put("\n\n\n");
  PutSideBySide(dots, dots, width);
  PutSideBySide(left, right, width);
}

int AskIssueDate(DATE* date) {
  *date = DateToday();
  if (!DocumentDatePrompt()) return 0;
  FieldDescriptor field;
  make_descriptor(&field, 'D', 10, 0, date);
  ControlRecord dlg[4];
  dlg_frame(dlg, 0, 0, 0, 44, 3, nullptr);
  dlg_center(dlg);
  dlg_label(dlg, 1, 3, 1, "&Data wystawienia dokumentu:");
  dlg_field(dlg, 2, 31, 1, 10, 1, &field);
  dlg[2].options |= kOptClosing;
  dlg_end(dlg, 3);
  return dlg_run(dlg, 2, nullptr) == 2 ? 0 : -1;
}

int DocumentParentCompany(KON_RECORD* parent) {
  *parent = KON_RECORD{};
  const AMOUNT id = Company();
  const int rc = id.IsZero() ? kTableEnd : ReadRecordById(kTableContractors, id, parent);
  if (rc == kTableEnd)
    message("%s", "Brak firmy macierzystej.\nWskaż ją w menu Opcje - Firma macierzysta."_pl);
  return rc == 0 ? 0 : -1;
}

int DocumentContractor(const TRA_RECORD& t, KON_RECORD* contractor) {
  *contractor = KON_RECORD{};
  if (t.KONID.IsZero()) return 0;
  const int rc = ReadRecordById(kTableContractors, t.KONID, contractor);
  if (rc == kTableEnd) message("%s", "Kontrahent tej transakcji został\n  wcześniej usunięty."_pl);
  return rc == 0 ? 0 : -1;
}

int CurrentTransaction(TRA_RECORD* t) {
  const int table = kTableTransactions;
  if (TableRecNo(table) < 0) return -1;
  bool deleted = false;
  if (TableReread(table) != 0 || TableIsDeleted(table, &deleted) != 0) return -1;
  if (deleted) {
    deleted_meanwhile(table);
    return -1;
  }
  *t = Tra;
  return 0;
}

int menu_with_disabled(const char* title, const std::vector<const char*>& items,
                       const std::vector<bool>& enabled, int preselect, int width) {
  const int n = static_cast<int>(items.size());
  if (n == 0 || std::none_of(enabled.begin(), enabled.end(), [](bool e) { return e; })) return -1;
  std::vector<ControlRecord> dlg(static_cast<size_t>(n) + 2);
  dlg_frame(dlg.data(), 0, 0, 0, width, n + 2, title);
  dlg_center(dlg.data());
  int widest = 0;
  for (const char* item : items) {
    int w = 0, h = 0;
    text_size(item, &w, &h);
    widest = std::max(widest, w);
  }
  const int x = std::max(1, (width - widest) / 2);
  for (int i = 0; i < n; ++i) {
    const bool on = i < static_cast<int>(enabled.size()) && enabled[static_cast<size_t>(i)];
    dlg_control(dlg.data(), i + 1, kKindText, kOptFocusable | kOptClosing, on ? 0 : kStateDisabled,
                ControlData{items[static_cast<size_t>(i)]}, x, i + 1, widest, 1, 9);
  }
  dlg_end(dlg.data(), n + 1);
  int start =
      preselect >= 0 && preselect < n && enabled[static_cast<size_t>(preselect)] ? preselect : -1;
  for (int i = 0; start < 0 && i < n; ++i)
    if (enabled[static_cast<size_t>(i)]) start = i;
  const int r = dlg_run(dlg.data(), start + 1, nullptr);
  return r > 0 ? r - 1 : -1;
}

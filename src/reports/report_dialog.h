// The options dialogs of the reports, built control by control: the period "Okr&es:" with its
// two dates, groups of radio buttons, check boxes, fields, the button " &Filtr dokumentów... "
// (the stored document filter, business/options_dialogs.h) and " &Ok ".
//
//   REPORT_DIALOG d(43, 14, "TRANSAKCJE WG DOKUMENTÓW MAGAZYNOWYCH"_pl);
//   d.Period(3, 1, &g_period);
//   const int kind = d.Radio(3, 3, "&Przychody", g_kind == 0);   // one group: consecutive radios
//   d.Radio(3, 4, "&Rozchody", g_kind == 1);
//   d.Filter(3, 10);  d.Ok(18, 12);
//   if (d.Run() != 0) return -1;                 // Esc
//   g_kind = d.Chosen(kind);
//
// " &Ok " closes only on a sound period (both dates, the end not before the start); the report's
// own check may send the focus back too (a contractor list left with Esc, say).
#pragma once

#include <functional>

#include "common/amount.h"
#include "reports/report_common.h"
#include "ui/controls.h"

class REPORT_DIALOG {
 public:
  REPORT_DIALOG(int w, int h, const char* title);
  REPORT_DIALOG(const REPORT_DIALOG&) = delete;
  REPORT_DIALOG& operator=(const REPORT_DIALOG&) = delete;

  int Period(int x, int y, REPORT_PERIOD* period);
  int Label(int x, int y, const char* text);
  // Consecutive radio buttons form one group; any other control ends it.
  int Radio(int x, int y, const char* text, bool selected);
  // Ends a group of radio buttons that another group follows at once.
  void EndGroup();
  int Check(int x, int y, const char* text, bool on);
  // A date ('D') or a number ('N') field of the given width bound to *value.
  int Date(int x, int y, DATE* value);
  int Number(int x, int y, int width, AMOUNT* value);
  int Filter(int x, int y);
  int Ok(int x, int y);

  // check is asked on " &Ok " after the period: -1 lets the dialog close, another answer is the
  // control that gets the focus. 0 when closed with " &Ok ", -1 on Esc.
  int Run(std::function<int()> check = nullptr);

  // The 0-based place of the selected button in the group that starts at control first.
  int Chosen(int first) const;
  bool Checked(int i) const;

 private:
  static int Callback(ControlRecord* dlg, int code);
  int Add();

  static constexpr int kMax = 48;
  ControlRecord d_[kMax + 1];
  FieldDescriptor fields_[8];
  int fields_used_ = 0;
  int n_ = 1;
  REPORT_PERIOD* period_ = nullptr;
  int first_date_ = -1;
  int filter_ = -1;
  int ok_ = -1;
  std::function<int()> check_;
};

// The choices the report dialogs open: the contractor, group or goods list on the chosen record
// (identifier not 0). 0 with *id set, -1 when the list was left with Esc. The table keeps its
// current record.
int ChooseContractor(AMOUNT* id);
int ChooseGroup(AMOUNT* id);
// A dialog's check for a radio button that asks for a record from a list: when it is not chosen
// the record is cleared and the dialog may close (-1); when it is, the list (choose) opens, and
// its Esc returns the focus to control `radio`.
int ListCheck(bool wanted, AMOUNT* id, int radio, int (*choose)(AMOUNT*));
int ChooseGoods(AMOUNT* id);

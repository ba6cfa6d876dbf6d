#include "reports/report_dialog.h"

#include "business/options_dialogs.h"
#include "common/text.h"
#include "db/records.h"
#include "ui/dialog.h"
#include "ui/message_box.h"
#include "ui/record_list.h"

namespace {

REPORT_DIALOG* g_running = nullptr;

int Choose(int view, AMOUNT* id) {
  REPORT_TABLE_KEEP keep(view);
  if (!id->IsZero() && FindById(view, *id) < 0) return -1;
  if (record_list(view) != 0) return -1;
  *id = CurrentRecordId(view);
  return 0;
}

}  // namespace

REPORT_DIALOG::REPORT_DIALOG(int w, int h, const char* title) {
  dlg_frame(d_, 0, 0, 0, w, h, title);
  dlg_center(d_);
  dlg_end(d_, 1);
}

int REPORT_DIALOG::Add() {
  if (n_ >= kMax) return kMax - 1;
  return n_++;
}

int REPORT_DIALOG::Label(int x, int y, const char* text) {
  const int i = Add();
  dlg_label(d_, i, x, y, text);
  dlg_end(d_, n_);
  return i;
}

int REPORT_DIALOG::Period(int x, int y, REPORT_PERIOD* period) {
  period_ = period;
  Label(x, y, "Okr&es:            -");
  first_date_ = Date(x + 8, y, &period->first);
  Date(x + 21, y, &period->last);
  return first_date_;
}

int REPORT_DIALOG::Radio(int x, int y, const char* text, bool selected) {
  const int i = Add();
  dlg_radio(d_, i, x, y, text);
  dlg_end(d_, n_);
  // The first button of a group stands selected until a later one is.
  if (selected || d_[i - 1].kind != kKindRadio) radio_select(d_, i, false);
  return i;
}

void REPORT_DIALOG::EndGroup() {
  dlg_hidden_text(d_, Add(), "");
  dlg_end(d_, n_);
}

int REPORT_DIALOG::Check(int x, int y, const char* text, bool on) {
  const int i = Add();
  dlg_check(d_, i, x, y, text, on);
  dlg_end(d_, n_);
  return i;
}

int REPORT_DIALOG::Date(int x, int y, DATE* value) {
  FieldDescriptor* f = &fields_[fields_used_ < 7 ? fields_used_++ : 7];
  make_descriptor(f, 'D', 10, 0, value);
  const int i = Add();
  dlg_field(d_, i, x, y, 11, 1, f);
  dlg_end(d_, n_);
  return i;
}

int REPORT_DIALOG::Number(int x, int y, int width, AMOUNT* value) {
  FieldDescriptor* f = &fields_[fields_used_ < 7 ? fields_used_++ : 7];
  make_descriptor(f, 'N', width, 0, value);
  const int i = Add();
  dlg_field(d_, i, x, y, width, 1, f);
  dlg_end(d_, n_);
  return i;
}

int REPORT_DIALOG::Filter(int x, int y) {
  filter_ = Add();
  dlg_button(d_, filter_, x, y, " &Filtr dokumentów... "_pl);
  dlg_end(d_, n_);
  return filter_;
}

int REPORT_DIALOG::Ok(int x, int y) {
  ok_ = Add();
  dlg_button(d_, ok_, x, y, " &Ok ");
  dlg_end(d_, n_);
  return ok_;
}

int REPORT_DIALOG::Callback(ControlRecord*, int code) {
  REPORT_DIALOG* self = g_running;
  if (!self) return -1;
  if (code >= 0 && code == self->filter_) {
    report_filter_dialog();
    return code;
  }
  if (code != -2) return -1;
  if (self->period_) {
    const REPORT_PERIOD& p = *self->period_;
    if (p.first == 0 || p.last == 0) {
      message("%s", "Podaj pierwszy i ostatni dzień okresu."_pl);
      return p.first == 0 ? self->first_date_ : self->first_date_ + 1;
    }
    if (p.last < p.first) {
      message("%s", "Koniec okresu jest wcześniejszy\n     niż jego początek."_pl);
      return self->first_date_ + 1;
    }
  }
  return self->check_ ? self->check_() : -1;
}

int REPORT_DIALOG::Run(std::function<int()> check) {
  check_ = std::move(check);
  REPORT_DIALOG* outer = g_running;
  g_running = this;
  int start = 1;
  while (start < n_ && !dlg_can_focus(d_, start)) ++start;
  const int r = dlg_run(d_, start, Callback);
  g_running = outer;
  return r == ok_ && ok_ >= 0 ? 0 : -1;
}

int REPORT_DIALOG::Chosen(int first) const {
  return radio_selected(d_, first) - radio_group_first(d_, first);
}

bool REPORT_DIALOG::Checked(int i) const { return dlg_checked(d_, i); }

int ChooseContractor(AMOUNT* id) { return Choose(kViewContractors, id); }
int ChooseGroup(AMOUNT* id) { return Choose(kViewGroups, id); }

int ListCheck(bool wanted, AMOUNT* id, int radio, int (*choose)(AMOUNT*)) {
  if (!wanted) {
    *id = AMOUNT();
    return -1;
  }
  return choose(id) == 0 ? -1 : radio;
}
int ChooseGoods(AMOUNT* id) { return Choose(kViewGoods, id); }

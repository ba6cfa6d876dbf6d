#include "ui/dialog.h"

#include <string>

#include "common/colours.h"
#include "common/text.h"
#include "support/ui_fixture.h"
#include "ui/field.h"
#include "ui/saveunder.h"

namespace {

class DialogTest : public UiTest {
 protected:
  // A frame, label "&Nazwa:" and its field, a check box, a radio group of three, " &Ok " and
  // " &Anuluj ".
  void SetUp() override {
    UiTest::SetUp();
    make_descriptor(&fd, 'C', 20, 0, name);
    dlg_frame(dlg, 0, 10, 5, 50, 12, "Próba"_pl);
    dlg_label(dlg, 1, 3, 1, "&Nazwa:");
    dlg_field(dlg, 2, 12, 1, 20, 1, &fd);
    dlg_check(dlg, 3, 3, 3, "&Rabat", false);
    dlg_radio(dlg, 4, 3, 5, "&Jeden");
    dlg_radio(dlg, 5, 3, 6, "&Dwa");
    dlg_radio(dlg, 6, 3, 7, "&Trzy");
    dlg_button(dlg, 7, 10, 10, " &Ok ");
    dlg_button(dlg, 8, 20, 10, " &Anuluj ");
    dlg_end(dlg, 9);
    radio_select(dlg, 5, false);
  }
  // Runs the dialog from control `start` over the keys.
  int Run(std::string_view keys, int start = 7, DialogCallback callback = nullptr) {
    Play(keys);
    return dlg_run(dlg, start, callback);
  }
  ControlRecord dlg[10];
  FieldDescriptor fd;
  char name[21] = "";
};

TEST_F(DialogTest, ClosingKeysAndTheDrawnDialog) {
  EXPECT_EQ(Run("{Snap}{Esc}"), -1);
  EXPECT_EQ(Run("{Enter}"), 7);
  EXPECT_EQ(Run("{F4}{Alt+F4}{Ctrl+F4}"), -1);  // only Ctrl+F4 cancels
  EXPECT_EQ(Run("a", 3), 8);                    // a button's hot letter presses it
  EXPECT_EQ(save_under_used(), 0u);             // the background went back each time
  EXPECT_EQ(Row(5), std::string(80, ' '));
  EXPECT_EQ(ShotCols(0, 5, 10, 50), " ╔═══════════════════ PRÓBA ════════════════════╗ ");
  EXPECT_EQ(ShotCols(0, 8, 13, 10), " [ ] Rabat");
  EXPECT_EQ(ShotCols(0, 10, 13, 10), " ( ) Jeden");
  EXPECT_EQ(ShotCols(0, 11, 13, 10), " (*) Dwa  ");
}

TEST_F(DialogTest, HotLettersFocusFieldsAndToggleBoxes) {
  // From a button a plain letter works; the field then takes the typed text.
  Run("nabc{Tab}{Esc}");
  EXPECT_STREQ(name, "abc");
  EXPECT_EQ(dlg_focused(dlg), 3);
  // Alt+N from the check box; Enter leaves the field for the check box.
  Run("{Alt+N}{End}x{Enter}{Esc}", 3);
  EXPECT_STREQ(name, "abcx");
  EXPECT_EQ(dlg_hot_control(dlg, '!'), -1);
  Run("{Space}{Esc}", 3);
  EXPECT_TRUE(dlg_checked(dlg, 3));
  Run("r{Esc}");
  EXPECT_FALSE(dlg_checked(dlg, 3));
}

TEST_F(DialogTest, RadioGroupsAndFocusMovement) {
  // Enter on "Jeden" leaves the group (no radio drawn focused any more, " &Ok " is).
  Run("{Enter}{Snap}{Esc}", 4);
  for (int y = 10; y <= 12; ++y) EXPECT_EQ(ShotAttr(0, 14, y), 0x30) << y;
  EXPECT_EQ(ShotAttr(0, 20, 15), 0x0F);
  Run("{Space}{Esc}", 6);
  EXPECT_EQ(radio_selected(dlg, 4), 6);
  EXPECT_FALSE(dlg_checked(dlg, 5));
  Run("{Enter}{Esc}", 3);  // entering the group lands on the selected radio
  EXPECT_EQ(dlg_focused(dlg), 6);
  // With the last radio greyed Enter still skips only past the group.
  radio_select(dlg, 5, false);
  dlg_set_state(dlg, 6, kStateDisabled, true, false);
  Run("{Enter}{Esc}", 4);
  EXPECT_EQ(dlg_focused(dlg), 7);
  // Focus skips disabled and hidden controls and wraps.
  dlg_set_state(dlg, 3, kStateDisabled, true, false);
  dlg_set_state(dlg, 4, kStateHidden, true, false);
  dlg_set_focus(dlg, 2, false);
  EXPECT_EQ(dlg_next(dlg, false), 5);
  EXPECT_EQ(dlg_set_focus(dlg, 8, false), 8);
  EXPECT_EQ(dlg_next(dlg, false), 2);
  EXPECT_EQ(dlg_previous(dlg, false), 8);
  EXPECT_EQ(dlg_set_focus(dlg, 3, false), 5);
}

TEST_F(DialogTest, ALoopOnADrawnDialogRedrawsTheFocusItMoves) {
  Run("{Esc}");
  ASSERT_EQ(save_under(10, 5, 51, 13, 0), 0);
  dlg_draw(dlg, 0);  // drawn with the focus on " &Ok "
  Play("{Snap}{Esc}");
  dlg_loop(dlg, 8, nullptr);
  restore_under();
  EXPECT_EQ(ShotAttr(0, 20, 15), 0x30);  // " &Ok " lost the focus on the screen too
  EXPECT_EQ(ShotAttr(0, 30, 15), 0x0F);
}

int g_calls[16];
int g_call_count = 0;
int g_veto_cancel = 0;
int Recorder(ControlRecord*, int code) {
  if (g_call_count < 16) g_calls[g_call_count++] = code;
  if (code == -3 && g_veto_cancel-- > 0) return 7;
  return -1;
}
int RefuseStart(ControlRecord*, int code) { return code == -1 ? 3 : -1; }
int VetoOk(ControlRecord*, int code) { return code == -2 ? 8 : -1; }

TEST_F(DialogTest, CallbackProtocol) {
  g_call_count = 0;
  g_veto_cancel = 1;
  EXPECT_EQ(Run("{Esc}{Enter}", 3, Recorder), 7);  // Esc vetoed: focus to 7
  ASSERT_EQ(g_call_count, 4);
  EXPECT_EQ(g_calls[0], -1);
  EXPECT_EQ(g_calls[1], -3);
  EXPECT_EQ(g_calls[2], 7);
  EXPECT_EQ(g_calls[3], -2);
  EXPECT_EQ(Run("", 7, RefuseStart), -1);
  EXPECT_EQ(save_under_used(), 0u);
  EXPECT_EQ(Run("{Enter}{Enter}{Esc}", 7, VetoOk), -1);  // both Enters vetoed
  EXPECT_EQ(dlg_focused(dlg), 8);
}

TEST_F(DialogTest, NothingFocusableOrNoRoomLeft) {
  ControlRecord d[3];
  dlg_frame(d, 0, 5, 5, 20, 4, nullptr);
  dlg_label(d, 1, 3, 1, "Tylko tekst");
  dlg_end(d, 2);
  Play("{Snap}{Enter}{Enter}");
  EXPECT_EQ(dlg_run(d, 0, nullptr), -1);  // one key closes it
  EXPECT_TRUE(ShotHas(0, "Tylko tekst"));
  EXPECT_EQ(save_under_used(), 0u);
  // A full save-under stack refuses to open the dialog.
  while (save_under(0, 0, 10, 10, 0) == 0) {}
  const size_t used = save_under_used();
  EXPECT_EQ(Run("{Enter}"), -1);
  EXPECT_EQ(save_under_used(), used);
  EXPECT_EQ(Row(5), std::string(80, ' '));
}

TEST_F(DialogTest, ColourSchemesAndFocusAttributes) {
  dlg_open(dlg);
  dlg_set_focus(dlg, 7, true);
  // Frame body 0x30, focused button 0x0F with its hot letter 0x0C.
  EXPECT_EQ(con->cell(12, 6).attr, 0x30);
  EXPECT_EQ(con->cell(20, 15).attr, 0x0F);
  EXPECT_EQ(con->cell(21, 15).attr, 0x0C);
  EXPECT_EQ(con->cell(31, 15).attr, 0x34);  // hot letter of the other button
  window_close();
  set_colour_mode(kColourMono);
  dlg_open(dlg);
  EXPECT_EQ(con->cell(12, 6).attr, 0x07);
  EXPECT_EQ(con->cell(20, 15).attr, 0x70);
  EXPECT_EQ(con->cell(22, 6).attr, 0x0F);  // the field
  dlg_set_state(dlg, 8, kStateDisabled, true, true);
  EXPECT_EQ(con->cell(31, 15).attr, 0x07);
  window_close();
}

TEST_F(DialogTest, PasswordFieldShowsStarsAndEscKeepsTheText) {
  std::snprintf(name, sizeof name, "tajne");
  dlg_set_options(dlg, 2, kOptPassword, true, false);
  Run("{Snap}{Alt+N}x{Snap}{Esc}{Esc}");
  EXPECT_EQ(ShotCols(0, 6, 22, 8), "*****   ");
  EXPECT_EQ(ShotCols(1, 6, 22, 8), "******  ");
  EXPECT_STREQ(name, "tajne");
}

TEST_F(DialogTest, F1ShowsTheKeyHelp) {
  Run("{F1}{Snap}{Enter}{Esc}");
  EXPECT_TRUE(ShotShows(
      0, {"POMOC - KLAWISZE SKRÓTU", "[Esc]        : Zignorowanie zmian i wyjście z edycji"}));
  EXPECT_EQ(save_under_used(), 0u);
}

TEST_F(DialogTest, ControlsAreFittedToTheScreen) {
  ControlRecord d[2];
  dlg_frame(d, 0, 70, 22, 30, 6, nullptr);
  // 30 + 2 shadow columns from 70 pass the edge: moved to 48; 6 + 1 rows from 22: to 18.
  EXPECT_EQ(d[0].x, 48);
  EXPECT_EQ(d[0].y, 18);
  dlg_frame(d, 0, -4, 0, 100, 30, nullptr);
  EXPECT_EQ(d[0].width, 78);
  EXPECT_EQ(d[0].height, 24);
  EXPECT_EQ(d[0].x, 0);
}

}  // namespace

// The dialog as a window: MAIN_DIALOG holds MAIN_VIEW, which holds the controls.
#include "uninstaller/odvor_dialog.h"

#include "common/text.h"

namespace {

enum { kCommandCancel = 0, kCommandRemove = 1, kCommandEnd = 2, kCommandCheck = 3 };

// The dialog is 350 by 160 pixels with its caption and frame; the window manager draws those,
// so the window itself is the client area inside them.
constexpr int kClientWidth = 344, kClientHeight = 132;

class MAIN_VIEW : public VIEW {
 public:
  MAIN_VIEW(WINDOW* parent_window, const ODVOR_SETUP& setup)
      : VIEW(parent_window, 0, 0, kClientWidth, kClientHeight), setup_(setup) {
    end.show(false);
    if (setup.packaged) {
      text.h = 65;  // the longer text takes the room of the hidden check box
      finish(OdvorPackagedText());
    }
  }

  void command(WINDOW* from, int id, int value) override {
    switch (id) {
      case kCommandRemove:
        finish(OdvorResultText(setup_.uninstall && setup_.uninstall(data.checked) == 0));
        break;
      case kCommandCancel:
      case kCommandEnd: dialog()->end(id); break;
      default: VIEW::command(from, id, value);
    }
  }

  STATICICON icon{this, 20, 20, OdvorIcon()};
  STATICTEXT text{this, 95, 20, 230, 30, OdvorPromptText()};
  CHECKBOX data{this, 95, 55, 260, 20, "Usuń również pliki z &danymi"_pl, kCommandCheck};
  PUSHBUTTON remove{this, 160, 90, 80, 25, "&Usuń"_pl, kCommandRemove};
  PUSHBUTTON cancel{this, 250, 90, 80, 25, "&Anuluj"_pl, kCommandCancel};
  PUSHBUTTON end{this, 250, 90, 80, 25, "&Koniec"_pl, kCommandEnd};

 private:
  void finish(const char* result) {
    end.show(true);
    end.focus();
    remove.show(false);
    cancel.show(false);
    data.show(false);
    text.set_text(result);
  }

  const ODVOR_SETUP& setup_;
};

class MAIN_DIALOG : public MSDIALOG {
 public:
  MAIN_DIALOG(WL_DISPLAY* display, const ODVOR_SETUP& setup)
      : MSDIALOG(display, -1, -1, kClientWidth, kClientHeight, kOdvorTitle, OdvorIcon()),
        view(this, setup) {
    // "&Usuń" is where the user starts.
    if (!setup.packaged) view.remove.focus();
  }
  MAIN_VIEW view;
};

// A waste bin, drawn at half size and doubled.
const char* const kIconArt[24] = {
    "........................", "..........kkkk..........", ".........k....k.........",
    "...kkkkkkkkkkkkkkkkkk...", "...kwwwwwwwwwwwwwwwwk...", "...kggggggggggggggggk...",
    "...kkkkkkkkkkkkkkkkkk...", ".....kgwdggwdggwdgk.....", ".....kgwdggwdggwdgk.....",
    ".....kgwdggwdggwdgk.....", ".....kgwdggwdggwdgk.....", ".....kgwdggwdggwdgk.....",
    ".....kgwdggwdggwdgk.....", ".....kgwdggwdggwdgk.....", ".....kgwdggwdggwdgk.....",
    ".....kgwdggwdggwdgk.....", ".....kgwdggwdggwdgk.....", ".....kgwdggwdggwdgk.....",
    ".....kgwdggwdggwdgk.....", ".....kgwdggwdggwdgk.....", ".....kgwdggwdggwdgk.....",
    ".....kggggggggggggk.....", "......kkkkkkkkkkkk......", "........................",
};

uint32_t IconColour(char c) {
  switch (c) {
    case 'k': return 0xFF202428;
    case 'w': return 0xFFF4F6F8;
    case 'g': return 0xFF9AA4B0;
    case 'd': return 0xFF5A6470;
    default: return 0;
  }
}

}  // namespace

const uint32_t* OdvorIcon() {
  static uint32_t pixels[48 * 48];
  static bool made = false;
  if (!made) {
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 48; ++x) pixels[y * 48 + x] = IconColour(kIconArt[y / 2][x / 2]);
    made = true;
  }
  return pixels;
}

const char* OdvorPromptText() { return "Wybierz \"Usuń\", aby usunąć Tamsu z tego komputera."_pl; }

const char* OdvorResultText(bool ok) {
  return ok ? "Tamsu został pomyślnie usunięty z tego komputera."_pl
            : "Usunięcie Tamsu z tego komputera nie powiodło się."_pl;
}

const char* OdvorPackagedText() {
  return "Tamsu zainstalowano z pakietu Debiana.\nUsuń go menedżerem pakietów:\n"
         "apt remove tamsu"_pl;
}

int OdvorWindowRun(WL_DISPLAY* display, const ODVOR_SETUP& setup) {
  MAIN_DIALOG dialog(display, setup);
  return dialog.run();
}

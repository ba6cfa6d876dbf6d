#include "devices/device_messages.h"

#include <cinttypes>
#include <cstdarg>
#include <cstdio>

#include "common/text.h"
#include "devices/device.h"
#include "ui/feedback.h"
#include "ui/message_box.h"

namespace {

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
  char buf[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buf, sizeof buf, format, args);
  va_end(args);
  return buf;
}

// Arguments travel as 32-bit values; a code shows as its 32-bit pattern.
std::string PositionSuffix(intptr_t argument) {
  return argument != 0
             ? Format(" %s %ld", "w pozycji nr", static_cast<long>(static_cast<int32_t>(argument)))
             : "";
}

std::string CodeSuffix(intptr_t argument) {
  const int32_t a = static_cast<int32_t>(argument);
  return argument != 0 ? Format("\n%s: %ld (%04" PRIX32 "h).", "Kod", static_cast<long>(a),
                                static_cast<uint32_t>(a))
                       : "";
}

const char* FixedText(int32_t code) {
  switch (code) {
    case 4: return "Brak opcji dla tego urządzenia."_pl;
    case 5: return "Brak pamięci."_pl;
    case 6: return "Brak pliku.";
    case 8: return "Błąd przy próbie otwarcia pliku."_pl;
    case 9: return "Błąd przy próbie odczytu pliku."_pl;
    case 10: return "Błąd przy próbie zapisu pliku."_pl;
    case 16: return "Nieprawidłowa wartość paragonu."_pl;
    case 17: return "Zbyt dużo pozycji."_pl;
    case 18: return "Błąd inicjalizacji urządzenia."_pl;
    case 19: return "Urządzenie niezainicjowane."_pl;
    case 20:
    case 28:
    case 29:
    case 30: return "Błąd komunikacji z urządzeniem."_pl;
    case 21: return "Błąd konfiguracji urządzenia."_pl;
    case 22: return "Brak papieru.";
    case 23: return "Błąd wyświetlacza."_pl;
    case 24: return "Nie wykonano raportu fiskalnego.";
    case 25: return "Błąd przy próbie odczytu konfiguracji urządzenia."_pl;
    case 31: return "Przepełnienie bufora portu szeregowego."_pl;
    case 32: return "Port jest zajęty."_pl;
    default: return nullptr;
  }
}

}  // namespace

std::string DeviceMessage(int32_t code, intptr_t argument) {
  if (code >= 0 && code <= 3) return "";
  switch (code) {
    case 11:
      return Format("Nieprawidłowa nazwa lub numer towaru%s."_pl, PositionSuffix(argument).c_str());
    case 12: return Format("Nieprawidłowa stawka podatku%s."_pl, PositionSuffix(argument).c_str());
    case 13: return Format("Nieprawidłowa cena towaru%s."_pl, PositionSuffix(argument).c_str());
    case 14: return Format("Nieprawidłowa wartość towaru%s."_pl, PositionSuffix(argument).c_str());
    case 15: return Format("Nieprawidłowa ilość towaru%s."_pl, PositionSuffix(argument).c_str());
    case 26: {
      const char* goods = reinterpret_cast<const char*>(argument);
      return Format("Zduplikowany nr lub nazwa towaru\n%s."_pl, goods ? goods : "");
    }
    case 27: return Format("Błąd sprzętowy urządzenia.%s"_pl, CodeSuffix(argument).c_str());
    case 33: return Format("Błąd programu obsługi urządzenia.%s"_pl, CodeSuffix(argument).c_str());
    default: break;
  }
  if (const char* text = FixedText(code)) return text;
  return Format("Błąd nr %d programu obsługi urządzenia."_pl, static_cast<int>(code));
}

int DeviceNotifyHandler(int32_t code, intptr_t argument) {
  switch (code) {
    case kDevOk:
    case kDevCancelled: return 0;
    case kDevPoll: return ask_abort() ? 2 : 0;
    case kDevProgress:
      status_line(1, "Transmisja danych... Rekord %6ld", static_cast<long>(argument));
      return 0;
    default: message("%s", DeviceMessage(code, argument).c_str()); return 0;
  }
}

void InstallDeviceNotifyHook() { DEVICE::setNotifyHook(DeviceNotifyHandler); }
void UninstallDeviceNotifyHook() { DEVICE::setNotifyHook(nullptr); }

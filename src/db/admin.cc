#include "db/admin.h"

#include <cstring>
#include <string>

#include "common/date.h"
#include "shell/rights.h"

namespace {

const char kUsage[] =
    "Użycie:\n"
    "  tamsu-admin service-password KLUCZ [DD.MM.RRRR]\n"
    "      hasło serwisowe dnia (dziś, gdy data nie jest podana) dla klucza ServiceKey\n"
    "      z pliku Tamsu.ini klienta\n";

int ServicePasswordVerb(int argc, char** argv, FILE* out, FILE* err) {
  if (argc < 3 || argc > 4) {
    std::fputs(kUsage, err);
    return 2;
  }
  std::string key = argv[2];
  if (key.size() < 16) {
    std::fprintf(err, "Klucz \"%s\" jest za krótki: ServiceKey ma 16 znaków.\n", key.c_str());
    return 1;
  }
  DATE day = DateToday();
  if (argc == 4) {
    day = DateFromDisplay(argv[3]);
    if (day == 0) {
      std::fprintf(err, "Nieprawidłowa data \"%s\": oczekiwano DD.MM.RRRR.\n", argv[3]);
      return 1;
    }
  }
  std::fprintf(out, "%s\n", ServicePassword(key, day).c_str());
  return 0;
}

}  // namespace

int AdminMain(int argc, char** argv, FILE* out, FILE* err) {
  if (argc < 2) {
    std::fputs(kUsage, err);
    return 2;
  }
  if (std::strcmp(argv[1], "service-password") == 0) return ServicePasswordVerb(argc, argv, out, err);
  std::fprintf(err, "Nieznane polecenie \"%s\".\n%s", argv[1], kUsage);
  return 2;
}

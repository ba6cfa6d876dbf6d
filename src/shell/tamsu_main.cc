// Program entry of Tamsu.
#include <cstdio>

int main(int argc, char** argv) {
  std::printf("Tamsu: zbudowano bibliotekę, testy i narzędzia; interfejs użytkownika jeszcze nie "
              "istnieje.\nKatalog danych: %s\n", argc > 1 ? argv[1] : ".");
  return 0;
}

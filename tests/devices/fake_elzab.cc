// A stand-in for Elzab's communication programs: installed under each program's name (as a
// symbolic link), it does that program's work on a register kept as text files in its folder:
//   goods.txt   the register's goods, one goods line each (as Zbptowar.exe receives them)
//   sales.txt   its sales, "number TAB quantity TAB value in grosz"
//   units.txt   its units; status.txt the status lines (all clear when missing)
//   exit.txt    "Program.exe code" lines: that program exits with the code without working;
//               the code "hang" makes it wait until it is killed
//   log.txt     one line per run: the program and its arguments
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Lines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string l; std::getline(in, l);)
    if (!l.empty() && l[0] != '#') lines.push_back(l[0] == '$' ? l.substr(1) : l);
  return lines;
}

void Write(const std::string& path, const std::vector<std::string>& lines) {
  std::ofstream out(path);
  for (const std::string& l : lines) out << '$' << l << '\n';
}

long Number(const std::string& line) { return std::atol(line.c_str()); }

}  // namespace

int main(int argc, char** argv) {
  std::string me = argv[0];
  me = me.substr(me.rfind('/') + 1);
  const std::string in = argc > 1 ? argv[1] : "", out = argc > 2 ? argv[2] : "";
  {
    std::ofstream log("log.txt", std::ios::app);
    log << me;
    for (int i = 1; i < argc; ++i)
      log << ' '
          << (i == 1 ? std::string(argv[i]).substr(std::string(argv[i]).rfind('/') + 1) : "out");
    log << '\n';
  }
  for (const std::string& l : Lines("exit.txt")) {
    std::istringstream s(l);
    std::string program, code;
    s >> program >> code;
    if (program != me) continue;
    if (code == "hang")
      for (;;) pause();
    return std::atoi(code.c_str());
  }
  std::vector<std::string> goods = Lines("goods.txt");
  if (me == "Opodatek.exe") Write(out, {"23\t8\t0\t5\t-1\t-1"});
  if (me == "Ostatus.exe") Write(out, Lines("status.txt"));
  if (me == "Ojednost.exe") Write(out, Lines("units.txt"));
  if (me == "Zjednost.exe") Write("units.txt", Lines(in));
  if (me == "Towarmax.exe") Write(out, goods);
  if (me == "Osprzed.exe") Write(out, Lines("sales.txt"));
  if (me == "Ksprop.exe") Write("sales.txt", {});
  if (me == "Sortpak.exe") {
    std::vector<std::string> s = Lines(in);
    std::sort(s.begin(), s.end(),
              [](const std::string& a, const std::string& b) { return Number(a) < Number(b); });
    Write(out, s);
  }
  if (me == "Otowar.exe") {
    std::vector<std::string> found;
    for (const std::string& n : Lines(in))
      for (const std::string& g : goods)
        if (Number(g) == Number(n)) found.push_back(g);
    Write(out, found);
  }
  if (me == "Zbptowar.exe" || me == "Ktowar.exe") {
    std::map<long, std::string> byNumber;
    for (const std::string& g : goods) byNumber[Number(g)] = g;
    for (const std::string& g : Lines(in)) {
      if (me == "Ktowar.exe") byNumber.erase(Number(g));
      else byNumber[Number(g)] = g;
    }
    goods.clear();
    for (const auto& [n, g] : byNumber) goods.push_back(g);
    Write("goods.txt", goods);
    if (!out.empty()) Write(out, {"0"});
  }
  return 0;
}

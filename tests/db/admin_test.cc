#include "db/admin.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/date.h"
#include "shell/rights.h"

namespace {

struct AdminRun {
  int status;
  std::string out, err;
};

AdminRun Admin(std::vector<std::string> args) {
  args.insert(args.begin(), "tamsu-admin");
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  FILE* out = tmpfile();
  FILE* err = tmpfile();
  AdminRun r;
  r.status = AdminMain(static_cast<int>(argv.size()), argv.data(), out, err);
  for (auto [f, s] : {std::pair{out, &r.out}, std::pair{err, &r.err}}) {
    rewind(f);
    char buf[512];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) s->append(buf, n);
    fclose(f);
  }
  return r;
}

TEST(AdminTest, ServicePasswordOfAGivenDay) {
  AdminRun r = Admin({"service-password", "ABCDEFGHIJKLMNOP", "06.12.2026"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, ServicePassword("ABCDEFGHIJKLMNOP", DateFromYmd(2026, 12, 6)) + "\n");
  r = Admin({"service-password", "ABCDEFGHIJKLMNOP"});
  EXPECT_EQ(r.out, ServicePassword("ABCDEFGHIJKLMNOP", DateToday()) + "\n");
}

TEST(AdminTest, BadInputGivesAPolishMessageAndAFailure) {
  AdminRun r = Admin({"service-password", "ABCDEFGHIJKLMNOP", "31.02.2013"});
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("Nieprawidłowa data"), std::string::npos);
  EXPECT_TRUE(r.out.empty());
  r = Admin({"service-password", "short"});
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("za krótki"), std::string::npos);
  r = Admin({"frobnicate"});
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("Nieznane polecenie"), std::string::npos);
  r = Admin({});
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("Użycie"), std::string::npos);
}

}  // namespace

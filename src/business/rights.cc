#include "business/rights.h"

#include <cstdio>

#include "common/sha256.h"
#include "common/text.h"
#include "platform/inifile.h"
#include "platform/system.h"

const RightInfo USER_RIGHTS[8] = {
    {1, "Modyfikacja całej bazy danych     "_pl, "\n- Modyfikacja całej bazy danych."_pl},
    {2, "Modyfikacja towarów               "_pl, "\n- Modyfikacja towarów."_pl},
    {4, "Modyfikacja wstecznych transakcji "_pl, "\n- Modyfikacja wstecznych transakcji."_pl},
    {8, "Modyfikacja cen sprzedaży         "_pl, "\n- Modyfikacja cen sprzedaży."_pl},
    {16, "Dostęp do transakcji przychodów   "_pl, "\n- Dostęp do transakcji przychodów."_pl},
    {32, "Dostęp do raportów                "_pl, "\n- Dostęp do raportów."_pl},
    {128, "Dostęp do raportów o zyskach      "_pl, "\n- Dostęp do raportów o zyskach."_pl},
    {64, "Dostęp do kasy fiskalnej          "_pl, "\n- Dostęp do kasy fiskalnej."_pl},
};

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789./";
constexpr int kStretch = 4096;

int g_admin_flag = 1;
RightsReporter g_reporter = nullptr;

std::string RandomText(size_t n) {
  std::string out;
  uint8_t bytes[64];
  while (out.size() < n) {
    if (RandomBytes(bytes, sizeof bytes) != 0) break;
    for (size_t i = 0; i < sizeof bytes && out.size() < n; ++i)
      out.push_back(kAlphabet[bytes[i] & 63]);
  }
  return out;
}

std::string Encode64(const Sha256Digest& d, size_t chars) {
  std::string out;
  uint32_t acc = 0;
  int bits = 0;
  for (size_t i = 0; i < d.size() && out.size() < chars; ++i) {
    acc = (acc << 8) | d[i];
    bits += 8;
    while (bits >= 6 && out.size() < chars) {
      out.push_back(kAlphabet[(acc >> (bits - 6)) & 63]);
      bits -= 6;
    }
  }
  return out;
}

INIFILE Config() { return INIFILE(ConfigPath()); }

}  // namespace

std::string EncodePasswordWithSalt(const std::string& password, const std::string& salt6) {
  Sha256Digest d = Sha256(salt6 + '\0' + password);
  for (int i = 0; i < kStretch; ++i) d = Sha256(std::string(d.begin(), d.end()) + salt6 + password);
  return "$" + salt6 + Encode64(d, 13);
}

std::string EncodePassword(const std::string& password) {
  std::string salt = RandomText(6);
  if (salt.size() != 6) return std::string();
  return EncodePasswordWithSalt(password, salt);
}

bool PasswordMatches(const std::string& stored, const std::string& entry) {
  if (stored.size() != 20 || stored[0] != '$') return false;
  std::string expected = EncodePasswordWithSalt(entry, stored.substr(1, 6));
  // Compare in full, so the time taken tells nothing about the stored form.
  unsigned diff = 0;
  for (size_t i = 0; i < 20; ++i) diff |= static_cast<unsigned>(expected[i] ^ stored[i]);
  return diff == 0;
}

std::string InstallationSecret() {
  std::string secret;
  if (Config().GetString("Tamsu", "ServiceKey", &secret, 32) == 0 && secret.size() >= 16)
    return secret;
  secret = RandomText(16);
  if (secret.size() != 16 || Config().WriteString("Tamsu", "ServiceKey", secret.c_str()) != 0)
    return std::string();
  return secret;
}

std::string ServicePassword(const std::string& secret, DATE day) {
  Sha256Digest d = HmacSha256(secret, "Tamsu service " + DateToStored(day));
  uint64_t n = 0;
  for (int i = 0; i < 8; ++i) n = (n << 8) | d[i];
  char buf[16];
  std::snprintf(buf, sizeof buf, "%08llu", static_cast<unsigned long long>(n % 100000000ULL));
  return buf;
}

namespace {
int StorePassword(const char* key, const std::string& password) {
  std::string stored = password.empty() ? std::string() : EncodePassword(password);
  if (!password.empty() && stored.empty()) return -1;
  return Config().WriteString("Tamsu", key, stored.c_str());
}
}  // namespace

int SetAdministratorPassword(const std::string& p) { return StorePassword("Password1", p); }
int SetUserPassword(const std::string& p) { return StorePassword("Password2", p); }

namespace {
bool PasswordSet(const char* key) {
  std::string stored;
  return Config().GetString("Tamsu", key, &stored, 20) == 0 && !stored.empty();
}
}  // namespace

bool AdministratorPasswordSet() { return PasswordSet("Password1"); }
bool UserPasswordSet() { return PasswordSet("Password2"); }

PasswordResult CheckStartupPassword(const std::string& entry) {
  std::string admin, user;
  Config().GetString("Tamsu", "Password1", &admin, 20);
  Config().GetString("Tamsu", "Password2", &user, 20);
  if (admin.empty()) return kPasswordAdministrator;
  if (PasswordMatches(admin, entry)) return kPasswordAdministrator;
  std::string secret = InstallationSecret();
  if (!secret.empty() && !entry.empty() && entry == ServicePassword(secret, DateToday()))
    return kPasswordAdministrator;
  if (!user.empty() && PasswordMatches(user, entry)) return kPasswordUser;
  return kPasswordWrong;
}

uint32_t EncodeUserRights(uint32_t mask, const std::string& secret) {
  mask &= 0xFFFF;
  char buf[16];
  std::snprintf(buf, sizeof buf, "%u", mask);
  Sha256Digest d = HmacSha256("UserRights" + secret, buf);
  uint32_t check = (uint32_t(d[0]) << 8 | d[1]);
  return check << 16 | mask;
}

uint32_t DecodeUserRights(uint32_t stored, const std::string& secret) {
  uint32_t mask = stored & 0xFFFF;
  return EncodeUserRights(mask, secret) == stored ? mask : 0;
}

int WriteUserRights(uint32_t mask) {
  std::string secret = InstallationSecret();
  if (secret.empty()) return -1;
  return Config().WriteUInt("Tamsu", "UserRights", EncodeUserRights(mask, secret));
}

uint32_t ReadUserRights() {
  uint32_t stored = 0;
  if (Config().GetUInt("Tamsu", "UserRights", &stored) != 0) return 0;
  std::string secret = InstallationSecret();
  return secret.empty() ? 0 : DecodeUserRights(stored, secret);
}

void SetAdministratorFlag(int flag) { g_admin_flag = flag ? 1 : 0; }
int AdministratorFlag() { return g_admin_flag; }
void SetRightsReporter(RightsReporter reporter) { g_reporter = reporter; }

std::string MissingRightsMessage(uint32_t missing) {
  std::string m = "Brak uprawnień użytkownika:"_pl;
  for (const RightInfo& r : USER_RIGHTS)
    if (missing & r.bit) m += r.message_line;
  return m;
}

int CheckRights(uint32_t mask, bool report) {
  if (mask == 0 || g_admin_flag) return 0;
  uint32_t missing = mask & ~ReadUserRights();
  if (missing == 0) return 0;
  if (report && g_reporter) g_reporter(MissingRightsMessage(missing).c_str());
  return 1;
}

void ResetRights() {
  g_admin_flag = 1;
  g_reporter = nullptr;
}

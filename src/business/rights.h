// Start-up passwords and user rights.
//
// "Password1" (administrator) and "Password2" (user) are kept in Tamsu.ini in a salted one-way
// form of 20 characters: "$", 6 characters of salt, 13 of the iterated, salted SHA-256 of the
// password. Nobody can read a password back from the file; an empty key means no password.
//
// The service password lets support in when the customer has lost the administrator password.
// It is 8 decimal digits derived from the date and a random secret that each installation
// creates on first use and keeps under "ServiceKey"; knowing the program alone is not enough.
// Support gets the customer's ServiceKey once (read out from Tamsu.ini) and then computes the
// code of the day with `tamsu-admin service-password KEY`.
//
// "UserRights" holds the 16-bit rights mask in its low half and a check word in its high half:
// a keyed hash of the mask under the installation secret, so a hand-edited mask gives no rights.
#pragma once

#include <cstdint>
#include <string>

#include "common/date.h"

enum UserRight : uint32_t {
  kRightModifyDatabase = 1,
  kRightModifyGoods = 2,
  kRightModifyPastTransactions = 4,
  kRightModifySalePrices = 8,
  kRightPurchaseTransactions = 16,
  kRightReports = 32,
  kRightFiscalRegister = 64,
  kRightProfitReports = 128,
};

struct RightInfo {
  uint32_t bit;
  const char* dialog_label;  // as the rights dialog shows it
  const char* message_line;  // as the refusal message lists it
};
// The eight rights in the order of the dialog and of the refusal message.
extern const RightInfo USER_RIGHTS[8];

// The one-way form of a password (salt chosen at random) and its check.
std::string EncodePassword(const std::string& password);
std::string EncodePasswordWithSalt(const std::string& password, const std::string& salt6);
bool PasswordMatches(const std::string& stored, const std::string& entry);

// The installation secret: read from Tamsu.ini, created and stored on first use. Empty only when
// it can neither be read nor written.
std::string InstallationSecret();
// The service password of a day for a given secret.
std::string ServicePassword(const std::string& secret, DATE day);

// Reads and writes the passwords through the configuration file ("" clears one).
int SetAdministratorPassword(const std::string& password);
int SetUserPassword(const std::string& password);
bool AdministratorPasswordSet();
bool UserPasswordSet();

enum PasswordResult { kPasswordWrong = -1, kPasswordUser = 0, kPasswordAdministrator = 1 };
// Checks a typed password: the administrator password or today's service password give full
// rights, the user password limited ones.
PasswordResult CheckStartupPassword(const std::string& entry);

// The stored form of a rights mask, and the mask of a stored value (0 when the check word fails).
uint32_t EncodeUserRights(uint32_t mask, const std::string& secret);
uint32_t DecodeUserRights(uint32_t stored, const std::string& secret);
int WriteUserRights(uint32_t mask);
uint32_t ReadUserRights();

// The administrator flag of this run (1 by default: no password, full rights).
void SetAdministratorFlag(int flag);
int AdministratorFlag();

// Who shows the refusal message; nothing is shown until the interface installs one.
typedef void (*RightsReporter)(const char* message);
void SetRightsReporter(RightsReporter reporter);

// 0 when every bit of mask is granted; otherwise, with report set, "Brak uprawnień
// użytkownika:" and one line per missing right are shown, and the result is non-zero.
int CheckRights(uint32_t mask, bool report);
// The message CheckRights shows for the missing bits.
std::string MissingRightsMessage(uint32_t missing);

void ResetRights();

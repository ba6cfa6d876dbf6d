// An open database in a fresh directory with its own Tamsu.ini on the headless screen, for the
// contractor tests: the forms and questions are driven by queued keys and the results read back
// from the table files.
#pragma once

#include <cstdio>
#include <cstring>
#include <string>

#include "../shell/key_script.h"
#include "../ui/ui_testing.h"
#include "business/contractor_checks.h"
#include "business/contractor_form.h"
#include "business/contractor_parent.h"
#include "business/options.h"
#include "business/record_lookup.h"
#include "db/db_events.h"
#include "db/dbtable.h"
#include "db/records.h"
#include "db/schema.h"
#include "db/table.h"
#include "db/table_check.h"
#include "db/table_lock.h"
#include "platform/inifile.h"
#include "business/rights.h"
#include "support/temp_dir.h"
#include "ui/record_list.h"
#include "ui/record_search.h"

class ContractorTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    ResetAll();
    SetConfigPath(dir.File("Tamsu.ini"));
    ASSERT_EQ(OpenDatabase(), 0);
    RegisterContractorCommands();
  }
  void TearDown() override {
    CloseDatabase();
    ResetAll();
    SetConfigPath("");
    UiTest::TearDown();
  }
  static void ResetAll() {
    ResetTables();
    ResetTableLocks();
    ResetDbEvents();
    ResetBusinessOptions();
    ResetRecordLists();
    ResetRecordSearch();
    ResetRights();
    ResetContractorChecks();
    ResetParentCompany();
    ClearRecords();
  }

  // Appends a contractor straight through the table layer; it becomes current.
  static void Add(int id, const char* name, const char* nip = "", const char* document = "") {
    Kon = KON_RECORD{};
    Kon.ID = AMOUNT::FromInt(id);
    std::snprintf(Kon.NAZWA, sizeof Kon.NAZWA, "%s", name);
    std::snprintf(Kon.NIP, sizeof Kon.NIP, "%s", nip);
    std::snprintf(Kon.DOKTRATYP, sizeof Kon.DOKTRATYP, "%s", document);
    ASSERT_EQ(TableAppend(kTableContractors), 0);
  }
  // A transaction of a contractor with its transfer and deferred amounts and their payment days.
  static void AddTransaction(int id, int contractor, char kind, const char* warehouse, int transfer,
                             DATE transferPaid, int deferred, DATE deferredPaid) {
    Tra = TRA_RECORD{};
    Tra.ID = AMOUNT::FromInt(id);
    Tra.KONID = AMOUNT::FromInt(contractor);
    Tra.RODZAJ[0] = kind;
    std::snprintf(Tra.DOKMAGTYP, sizeof Tra.DOKMAGTYP, "%s", warehouse);
    Tra.PRZ = AMOUNT::FromInt(transfer);
    Tra.PRZZAPLAC = transferPaid;
    Tra.ODR = AMOUNT::FromInt(deferred);
    Tra.ODRZAPLAC = deferredPaid;
    ASSERT_EQ(TableAppend(kTableTransactions), 0);
  }
  // The stored contractor with this identifier, read without moving the table.
  static KON_RECORD Stored(int id) {
    KON_RECORD k{};
    ReadRecordById(kTableContractors, AMOUNT::FromInt(id), &k);
    return k;
  }
  static long Count() {
    TableLock(kTableContractors, false);
    const long n = TableCount(kTableContractors);
    TableUnlock(kTableContractors);
    return n;
  }
  static void ExpectSoundTables() {
    for (int t = 0; t < kTableCount; ++t) {
      std::string problem;
      EXPECT_EQ(CheckTable(t, &problem), 0) << t << ": " << problem;
    }
  }
  bool ShotHas(size_t i, const std::string& text) { return Shot(i).find(text) != std::string::npos; }
  bool AnyShotHas(const std::string& text) {
    for (size_t i = 0; i < con->snapshots.size(); ++i)
      if (ShotHas(i, text)) return true;
    return false;
  }
  void Ok() { Alt('o'); }
  void ClearField() { Ctrl(25); }  // Ctrl+Y
  void Play(std::string_view script) { PlayKeys(con, script); }
  // Plays the keys over the form of a new contractor; the form's result.
  int AddWith(std::string_view script) {
    Play(script);
    return contractor_form_edit(kContractorAddEmpty);
  }

  TempDir dir{true};
};

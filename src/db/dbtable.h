// DBTABLE: one table of the database as an object, over the table layer (db/table.h). RECORDSET
// is the base it shares with the record sources of the reports, which walk purchases rather than
// records of one table. Its operations answer as the table layer does (db/table.h): First, Last,
// Prev and Next give 0, kTableEnd when there is no record that way, or -1 on a failure that has
// been reported.
#pragma once

#include <string>
#include <vector>

#include "db/table_def.h"

class RECORDSET {
 public:
  virtual ~RECORDSET() = default;
  virtual int Append() = 0;
  virtual int Update() = 0;
  virtual int Delete() = 0;
  virtual int Zap() = 0;
  virtual int First() = 0;
  virtual int Last() = 0;
  virtual int Prev() = 0;
  virtual int Next() = 0;
  virtual int Go(long record) = 0;
  virtual int Reread() = 0;
  virtual long RecNo() = 0;
  virtual long RecCount() = 0;
  virtual long Count() = 0;
  // Two answers that only the report record sources give a meaning to.
  virtual long SourceValue1() { return 0; }
  virtual long SourceValue2() { return 0; }
  virtual int Unlock() = 0;
};

class DBTABLE : public RECORDSET {
 public:
  explicit DBTABLE(int table) : table_(table) {}
  ~DBTABLE() override;

  int Append() override;
  int Update() override;
  int Delete() override;
  int Zap() override;
  int First() override;
  int Last() override;
  int Prev() override;
  int Next() override;
  int Go(long record) override;
  int Reread() override;
  long RecNo() override;
  long RecCount() override;
  long Count() override;
  int Unlock() override;
  virtual int Open(const TABLEDEF* def);
  virtual int Close();
  virtual int SetIndex(int index);
  virtual int GetIndex();
  // 1 for writing, 0 for reading.
  virtual int Lock(int exclusive);

  int Table() const { return table_; }

 private:
  int table_;
};

// The five tables of the database, by table number.
DBTABLE& Db(int table);

// Opens the five tables in the order 0 to 4, creating missing files; the first failure stops
// and closes what was opened. Then the leftovers of an interrupted pack or index build are
// removed (RemoveLeftovers). 0 or -1.
int OpenDatabase();

// The "%06lu.tmp" files in the data directory that an interrupted pack or index build left: they
// hold a table or an index file (or nothing, with empty_counts). 0, or -1 when the directory
// cannot be read.
int FindLeftovers(std::vector<std::string>* names, bool empty_counts);
// Removes them when no other workstation can be at such work: without the network flag the tables
// are open exclusively; with it, only while all five can be locked for writing at once (a pack
// holds them all, a build its own table), and empty files are left (a name just taken).
void RemoveLeftovers();
// Closes the five tables in the order 0 to 4.
void CloseDatabase();
// True when every table has no record at all.
bool DatabaseEmpty();

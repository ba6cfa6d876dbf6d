// The record commands of the groups and goods views (add, prefilled add, edit, delete, the goods
// searches, the stock recomputation), registered for the main screen and the record lists.
#pragma once

// Registers the commands of views 0 and 1 (again after ResetRecordLists).
void RegisterGoodsCommands();

// F8: the current goods' stock recomputed from the positions and stored. 0 when stored.
int RecomputeCurrentStock();

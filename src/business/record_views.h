// The record lists of the four views as the business layer describes them (columns, related
// records, status line, text search), registered with the record list at start-up.
#pragma once

void RegisterRecordViews();

// The parts every document of a transaction is built from: the place and date line, the framed
// title with its number, two texts side by side (the parties, the signatures), the issue date
// question, the parent company, and a menu whose items can be disabled.
//
//                                                                Kraków, 05.12.2026
//                                  ┌───────────────────────────┐
//                    Oryginał [ ]  │   F A K T U R A   V A T   │
//                       Kopia [ ]  │    nr FV 000002/2026      │
//                    Duplikat [ ]  └───────────────────────────┘
#pragma once

#include <string>
#include <vector>

#include "common/date.h"
#include "db/schema.h"

// The width of the sales and warehouse documents.
inline constexpr int kDocumentWidth = 149;

// "DocumentPlace, date" (or "Data: date" without a place), right-aligned in width - 1.
void PutPlaceAndDate(DATE date, int width);
// The title in a frame with "nr <number>" below it (no number line for an empty number),
// centred in width; with "DocumentCopyType" on, the marks " Oryginał [ ]", "    Kopia [ ]" and
// " Duplikat [ ]" to its left.
void PutTitleBlock(const char* title, const std::string& number, int width);
// The two texts centred in the two halves of width.
void PutSideBySide(const std::string& left, const std::string& right, int width);
// Two signature places: a dotted line over each label.
void PutSignatures(const char* left, const char* right, int width);

// With "DocumentDatePrompt" on, "&Data wystawienia dokumentu:" asks for the issue date; else
// today. 0 with the date, -1 on Esc.
int AskIssueDate(DATE* date);

// The parent company for a document: 0, or -1 after telling the user why there is none (the
// failure of a read has been reported by the table layer).
int DocumentParentCompany(KON_RECORD* parent);
// The transaction's contractor: 0 (an empty record for a transaction without one), or -1 after
// telling the user that it was deleted, or when it could not be read.
int DocumentContractor(const TRA_RECORD& t, KON_RECORD* contractor);

// The current transaction read again from the file (another workstation may have changed or
// deleted it): 0 with Tra and *t holding it, -1 after the message. The caller holds the access.
int CurrentTransaction(TRA_RECORD* t);

// A one-column menu of closing items at the centre of the screen, some disabled. The chosen
// 0-based item, or -1 on Esc (or when every item is disabled).
int menu_with_disabled(const char* title, const std::vector<const char*>& items,
                       const std::vector<bool>& enabled, int preselect, int width);

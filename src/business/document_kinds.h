// The kinds of documents a transaction carries: the warehouse document (DOKMAGTYP) and the sales
// document (DOKTRATYP) are stored as two-letter codes; number 0 is "no document".
//
//   DocumentKindByCode("PZ") -> 1      DOCUMENT_KINDS[1].name -> "Dowód przyjęcia zewnętrznego"
#pragma once

#include <string_view>

struct DOCUMENT_KIND {
  const char* code;  // two letters; empty for none
  const char* name;
  bool warehouse;
  bool internal;  // moves goods inside the firm: nothing is due
  bool correction;
};

inline constexpr int kDocumentKindCount = 14;
extern const DOCUMENT_KIND DOCUMENT_KINDS[kDocumentKindCount];

// The number of a code (trailing blanks ignored); 0 for an empty or unknown code.
int DocumentKindByCode(std::string_view code);

// Transaction kinds as the form names them: 'D' income, 'S' expense; empty otherwise.
const char* TransactionKindName(char code);

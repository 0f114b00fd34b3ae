#pragma once
// Checks of what a customer types before it goes to the order system: characters the order
// system cannot store, mail addresses and nicknames.
#include <windows.h>

#include "CSimpleArray.h"
#include "CStringT.h"

struct COpsSerialInfo;
struct CPageContext;

// A double-byte character (lead, trail) the order system cannot store.
BOOL IsProblemDbcsChar(BYTE lead, BYTE trail);
// text without its problem characters; a lead byte at the very end is dropped.
void RemoveProblemDbcsChars(CString& out, const char* text);
// 0 valid; 1 empty; 2 a double-byte character; 3 a byte outside 33..126.
int CheckMailAddressText(const char* text);
// 0 valid; 1 empty; 2 over 30 bytes; 3 half-width katakana; 4 a character the order system
// does not take; 5 a problem character; 6 the nickname of another serial; 7 only blanks.
// offending receives the character (or, for 7, the nickname) that decided.
int ValidateNickName(const char* nickname, const char* serialId, const CSimpleArray<COpsSerialInfo>& serials,
                     CString& offending);
int ValidateContextNickName(CPageContext* context, CString& offending);

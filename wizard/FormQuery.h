#pragma once
// The fields of a form that the status page's HTML sends as a GET query.
#include "CAtlMap.h"
#include "CStringT.h"

// Field name to decoded value; names are compared case-sensitively.
typedef CAtlMap<CString, CString> FormCommandParams;

// Reads the query of url (everything after its first "?", or the whole text without one)
// into params, which is emptied first. Pieces without "=" are skipped; a later field of a
// name replaces an earlier one. Each value is decoded by DecodeFormValue.
void ParseFormQuery(const char* url, FormCommandParams& params);

// "+" becomes a blank, "%" and two hexadecimal digits that byte; a "%" without two
// hexadecimal digits, or "%00", ends the value; then every "&nbsp;" becomes a blank.
CString DecodeFormValue(const char* value, int length);

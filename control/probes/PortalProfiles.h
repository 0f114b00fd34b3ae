#pragma once
// The profiles in the connection tool's profile file: a line "[Profile_<name>]" each.
#include "CStringT.h"
#include "PevlinState.h"

// The name of a "[Profile_<name>]" line: the text after "[Profile_" up to its "]" (a
// double-byte character whose trail byte is "]" does not end it) or, without a "]", up to
// the line's end. False for a line without "[Profile_".
bool ProfileNameFromLine(const char* line, CString& name);

// Fills the profile list with the file's names that the region offers (CompanyCode "JARO" or
// "KELM"; any other code offers none). False, with the list empty, when the file cannot be read.
bool CollectPortalProfiles(PevlinState& state);

// True when the profile file names the state's profile name.
bool HasPortalProfile(const PevlinState& state);

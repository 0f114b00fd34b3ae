#pragma once
// Finds the installed connection tool and prepares the command lines that drive it.
#include "PevlinState.h"

// Fills the tool facts of the state (kind, region word, commands, paths, profile name). A
// command that would not fit its field is left empty rather than cut.
void DetectConnectionTool(PevlinState& state);

// With CompanyCode "JARO" or "KELM", appends the profile name and "]" to the connect command
// (left as it is when the result would not fit); any other CompanyCode leaves it.
void BuildSessionArgument(PevlinState& state);

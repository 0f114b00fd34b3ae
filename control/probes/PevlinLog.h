#pragma once
// The log of a diagnostic run, appended to "axpevlin.log" when logging is on (the state's log
// file path is not empty). Each group of lines opens and closes the file; a file that cannot
// be opened skips the group.
#include "PevlinState.h"

// On OS class 0 prepares the console first (before any console tool runs), logging or not.
void WriteLogHeader(const PevlinState& state);
// One line carrying the state's trace text.
void WriteTraceLine(const PevlinState& state);
// The state's RtnCode; on OS class 0 releases the console afterwards, logging or not.
void WriteLogFooter(const PevlinState& state);

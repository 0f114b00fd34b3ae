#pragma once
// Makes the companion program start once at the user's next logon, or stops it.

// set != 0 writes the companion's command line (args appended after one blank when given)
// under the autorun value of the user's RunOnce key; set == 0 deletes that value only.
// A command line longer than MAX_PATH - 1 bytes is refused: nothing is written.
bool SetRunOnceAutorun(int set, const char* args);

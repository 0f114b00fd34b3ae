#pragma once
// The worker's side of the progress panel (dialog 104, the panel window of the state). Each
// call sends to items owned by the browser's thread, which pumps messages while a worker runs.
#include "PevlinState.h"

// Status line = the status text; progress bar = the progress.
void SetStatus(PevlinState* state);
void ShowAbortButton(PevlinState* state, bool show);
// The group box, its explanation, the profile list and the connect button together.
void ShowProfileChooser(PevlinState* state, bool show);
// The list box holds the profile list in order, entry 0 selected.
void FillProfileList(PevlinState* state);

#pragma once
// Loading the external definition files into CExtDef and copying their values into the
// definition-text store, once per process.
#include <windows.h>

// 1 when the definitions are (or already were) loaded; 0 when a file failed to load, or when
// the domain judgement named no domain and no local stand-in (TWEAK_FILENAME_EXTDEF) loaded,
// with the text store left as it was (the next call starts again from the domain judgement).
int LoadExternalDefinitions();
// Sets the domain URL from the content server's domain-judgement answer and stores it in the
// registry value "Domain"; an answer that cannot be read or names no domain empties it.
void JudgeDomain();
// Copies the loaded entries into the definition-text store.
void ApplyExternalDefinitions();
// Stores a downloaded value under key, unless key is one only the local definition may set
// (the expected publishers of downloaded programs): then false and nothing changes.
bool ApplyDownloadedText(const char* key, const char* value);

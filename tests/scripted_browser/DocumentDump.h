#pragma once
// For end-to-end runs: when KAVO_SCRIPTED_BROWSER_DIR names a folder, each document is
// written there as <pid>-<nnnn>.html, its style sheets as <pid>-<nnnn>.css, and each fired
// event appended to events.txt as "<pid> <nnnn> <event line>", nnnn being the number of the
// browser's latest document.
#include <string>

namespace scripted {

// The number given to this document (process-wide, from 1); 0 when dumping is off.
int DumpDocument(const std::string& html);
void DumpEvent(int documentNumber, const std::string& line);
// (Re)writes the style sheets of document number documentNumber (CP932 bytes); nothing for 0.
void DumpStyleSheets(int documentNumber, const std::string& css);

}  // namespace scripted

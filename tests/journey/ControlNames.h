#pragma once
// The names of the programs' control ids, as the resource header defines them, so that
// journeys and the screen table can say IDC_NEXT instead of 1005.
#include <map>
#include <string>

using ControlNames = std::map<std::string, int>;

// Every "#define NAME number" line of the header text.
ControlNames ParseControlNames(const std::string& header);

// The id that text names: a defined name or a decimal number; -1 when it is neither.
int ControlId(const ControlNames& names, const std::string& text);

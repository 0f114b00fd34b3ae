#pragma once
// The fakes are steered through their environment, which they inherit from the test.
#include <windows.h>

#include <string>

// The variable's value; fallback when it is unset.
std::string EnvText(const char* name, const char* fallback = "");
int EnvNumber(const char* name, int fallback);
// Appends bytes to the file, creating it when missing.
bool AppendToFile(const std::string& path, const std::string& bytes);
// The folder of this module (exe or dll), without a final backslash.
std::string ModuleFolderOf(HMODULE module);

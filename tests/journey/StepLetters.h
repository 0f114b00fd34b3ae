#pragma once
// The step bar letters of a page class, for the gallery's index.
#include <string>

// The letters the class marks on the step bar; "" for a class the page table does not know.
std::string StepLettersOf(const std::string& pageClass);

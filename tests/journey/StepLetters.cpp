#include "StepLetters.h"

// Answers from the page table once it holds the step letters of each class.
std::string StepLettersOf(const std::string&)
{
    return std::string();
}

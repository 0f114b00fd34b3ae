#include "StepLetters.h"

#include "PageTable.h"

std::string StepLettersOf(const std::string& pageClass)
{
    const char* letters = nullptr;
    return GetPageStepLetters(pageClass.c_str(), &letters) && letters ? std::string(letters) : std::string();
}

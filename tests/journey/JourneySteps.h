#pragma once
// A journey: what a person does with the wizard, as a table of steps, one a line.
//
//   # comment                       blank lines and lines starting with "#" are skipped
//   <verb> <argument> ... <text>    fields are separated by blanks; a verb's last field takes
//                                   the rest of the line when it is text
//
// The file is UTF-8; texts are turned into CP932, the program's code page. The verbs, their
// fields and what they do are in kJourneyVerbs (JourneySteps.cpp) and README.md beside it.
#include <string>
#include <vector>

struct JourneyStep {
    int line = 0;
    std::string verb;
    std::vector<std::string> fields;
};

// Parses text into steps. False on the first faulty line; error then says which line and
// why, and steps holds the steps before it.
bool ParseJourney(const std::string& text, std::vector<JourneyStep>* steps, std::string* error);

// UTF-8 text in CP932 bytes; "" when it has no CP932 form.
std::string Utf8ToCp932(const std::string& text);

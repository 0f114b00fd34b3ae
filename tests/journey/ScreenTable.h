#pragma once
// How a journey tells a screen from outside the program: by the texts that the page's
// controls show, taken from the run's text definition. A screen's look is a list of controls
// and the definition keys whose texts they must show, all of them at once (screens.txt).
// Screens built from the same page class with the same texts look alike; the table lists
// enough controls to tell apart those that differ.
#include <string>
#include <vector>

#include "ControlNames.h"

struct ScreenLook {
    struct ControlText {
        int control;
        std::string name;  // as the table writes it
        std::string key;   // of the text definition
    };
    std::string screen;
    std::vector<ControlText> texts;
};

// Each line: a screen id, then one or more <control>=<definition key>; "#" starts a comment.
// False on the first faulty line, with error naming it.
bool ParseScreenTable(const std::string& text, const ControlNames& names, std::vector<ScreenLook>* screens,
                      std::string* error);

// The look of screen in screens; null when the table has none.
const ScreenLook* FindScreen(const std::vector<ScreenLook>& screens, const std::string& screen);

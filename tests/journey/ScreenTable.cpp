#include "ScreenTable.h"

#include <sstream>

bool ParseScreenTable(const std::string& text, const ControlNames& names, std::vector<ScreenLook>* screens,
                      std::string* error)
{
    screens->clear();
    error->clear();
    std::istringstream lines(text);
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        const size_t comment = line.find('#');
        if (comment != std::string::npos)
            line.erase(comment);
        std::istringstream fields(line);
        ScreenLook look;
        if (!(fields >> look.screen))
            continue;
        const std::string where = "line " + std::to_string(number) + ": ";
        for (std::string pair; fields >> pair;) {
            const size_t equals = pair.find('=');
            ScreenLook::ControlText entry;
            entry.name = pair.substr(0, equals);
            entry.control = ControlId(names, entry.name);
            if (equals == std::string::npos || equals + 1 == pair.size() || entry.control < 0) {
                *error = where + "\"" + pair + "\" is not <control>=<definition key>";
                return false;
            }
            entry.key = pair.substr(equals + 1);
            look.texts.push_back(entry);
        }
        if (look.texts.empty()) {
            *error = where + look.screen + " names no control";
            return false;
        }
        if (FindScreen(*screens, look.screen)) {
            *error = where + look.screen + " is listed twice";
            return false;
        }
        screens->push_back(look);
    }
    return true;
}

const ScreenLook* FindScreen(const std::vector<ScreenLook>& screens, const std::string& screen)
{
    for (const ScreenLook& look : screens)
        if (look.screen == screen)
            return &look;
    return nullptr;
}

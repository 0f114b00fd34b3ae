#include "ControlNames.h"

#include <cstdlib>
#include <sstream>

ControlNames ParseControlNames(const std::string& header)
{
    ControlNames names;
    std::istringstream lines(header);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string directive, name, value;
        fields >> directive >> name >> value;
        if (directive != "#define" || name.empty() || value.empty())
            continue;
        char* end = nullptr;
        const long number = std::strtol(value.c_str(), &end, 0);
        if (end && *end == '\0')
            names[name] = int(number);
    }
    return names;
}

int ControlId(const ControlNames& names, const std::string& text)
{
    const auto found = names.find(text);
    if (found != names.end())
        return found->second;
    if (text.empty() || text.size() > 6)
        return -1;
    int id = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return -1;
        id = id * 10 + (c - '0');
    }
    return id;
}

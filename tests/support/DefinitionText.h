#pragma once
// A text of a definition file as the file holds it (CP932 bytes): "KEY=text" up to its line end.
#include <string>

// Empty when the key has no line of its own.
inline std::string DefinitionText(const std::string& definition, const std::string& key)
{
    const std::string start = "\r\n" + key + "=";
    const size_t at = ("\r\n" + definition).find(start);
    if (at == std::string::npos)
        return std::string();
    const size_t value = at + start.size() - 2;
    return definition.substr(value, definition.find("\r\n", value) - value);
}

#include "CRegistryScript.h"

#include <string>

namespace {

struct ScriptLine {
    bool removedWhole = false;
    std::string key;
    bool hasValue = false;
    std::string valueName;  // empty: the default value
    std::string value;
};

std::string Trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return std::string();
    const size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// False for a line that holds no entry.
bool ParseLine(std::string line, ScriptLine& parsed)
{
    line = Trimmed(line);
    if (line.empty() || line[0] == ';')
        return false;
    if (line[0] == '-') {
        parsed.removedWhole = true;
        line = Trimmed(line.substr(1));
    }
    const size_t equals = line.find('=');
    std::string left = Trimmed(line.substr(0, equals));
    if (equals != std::string::npos) {
        parsed.hasValue = true;
        parsed.value = Trimmed(line.substr(equals + 1));
    }
    const size_t at = left.find(" @");
    if (at != std::string::npos) {
        parsed.valueName = Trimmed(left.substr(at + 2));
        left = Trimmed(left.substr(0, at));
    }
    parsed.key = left;
    return !parsed.key.empty();
}

std::string Substituted(std::string text, const std::string& modulePath)
{
    static const std::string marker = "%MODULE%";
    for (size_t at = text.find(marker); at != std::string::npos; at = text.find(marker, at + modulePath.size()))
        text.replace(at, marker.size(), modulePath);
    return text;
}

template <typename Each>
void ForEachLine(const char* text, Each each)
{
    std::string all = text;
    size_t start = 0;
    while (start <= all.size()) {
        const size_t end = all.find('\n', start);
        ScriptLine parsed;
        if (ParseLine(all.substr(start, end == std::string::npos ? std::string::npos : end - start), parsed))
            each(parsed);
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
}

}  // namespace

bool CRegistryScript::Load(HINSTANCE module, UINT id)
{
    m_text.Empty();
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(id), "REGISTRY");
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data)
        return false;
    m_text = CStringA(static_cast<const char*>(data), int(::SizeofResource(module, found)));
    return true;
}

HRESULT CRegistryScript::Apply(HKEY root, const char* modulePath) const
{
    HRESULT result = S_OK;
    const std::string module = modulePath ? modulePath : "";
    ForEachLine(m_text, [&](const ScriptLine& line) {
        HKEY key = nullptr;
        LONG status = ::RegCreateKeyExA(root, Substituted(line.key, module).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                        nullptr, &key, nullptr);
        if (status == ERROR_SUCCESS && line.hasValue) {
            const std::string value = Substituted(line.value, module);
            status = ::RegSetValueExA(key, line.valueName.empty() ? nullptr : line.valueName.c_str(), 0, REG_SZ,
                                      reinterpret_cast<const BYTE*>(value.c_str()), DWORD(value.size() + 1));
        }
        if (key)
            ::RegCloseKey(key);
        if (status != ERROR_SUCCESS && result == S_OK)
            result = HRESULT_FROM_WIN32(status);
    });
    return result;
}

HRESULT CRegistryScript::Remove(HKEY root) const
{
    HRESULT result = S_OK;
    ForEachLine(m_text, [&](const ScriptLine& line) {
        if (!line.removedWhole)
            return;
        const LONG status = ::RegDeleteTreeA(root, line.key.c_str());
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND && result == S_OK)
            result = HRESULT_FROM_WIN32(status);
    });
    return result;
}

#pragma once
// Self-registration from a script kept as a "REGISTRY" resource of the module. One entry a
// line; blank lines and lines starting with ';' are skipped:
//     key\path                  the key, empty
//     key\path = text           the key with its default value
//     key\path @name = text     a named value of the key
// A leading '-' marks a key that unregistration removes whole; %MODULE% stands for the
// module's path. Every value is REG_SZ.
#include <windows.h>

#include "CStringT.h"

class CRegistryScript {
public:
    // Takes resource id of type "REGISTRY" from module; false (and an empty script) when missing.
    bool Load(HINSTANCE module, UINT id);
    void SetText(const char* text) { m_text = text; }

    // Writes every entry under root; the first failure, or S_OK. Goes on after a failure so
    // that as much as can be written is.
    HRESULT Apply(HKEY root, const char* modulePath) const;
    // Removes the marked keys; a key that is already gone is no failure.
    HRESULT Remove(HKEY root) const;

private:
    CStringA m_text;
};

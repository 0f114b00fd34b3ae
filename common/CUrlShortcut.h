#pragma once

class CUrlShortcut {
public:
    CUrlShortcut() = delete;

    // Points the existing Internet shortcut at Programs folder + relativePath (which begins
    // with "\") to url. A missing shortcut is not created. Leaves the calling thread's COM
    // apartment as it found it.
    static bool Create(const char* relativePath, const char* url);
};

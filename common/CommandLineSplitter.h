#pragma once
// Splits a command line into arguments inside a buffer of its own.
#include <cstddef>

class CommandLineSplitter {
public:
    CommandLineSplitter() = default;
    ~CommandLineSplitter();
    CommandLineSplitter(const CommandLineSplitter&) = delete;
    CommandLineSplitter& operator=(const CommandLineSplitter&) = delete;

    // Replaces the previous result. Only a space separates; a double quote toggles quoting
    // and, doubled inside quotes, stands for one literal quote. A leading space yields an
    // empty first argument; trailing spaces yield nothing. Returns the argument count
    // (0 for a null text or when memory runs out).
    int Split(const char* text);

    int GetCount() const { return count; }
    // count pointers into the splitter's buffer, valid until the next Split or destruction.
    char** GetArgv() const { return argv; }
    const char* GetArg(int index) const
    {
        return index >= 0 && index < count ? argv[index] : nullptr;
    }

private:
    void Free();

    int count = 0;
    char** argv = nullptr;
    char* buffer = nullptr;
};

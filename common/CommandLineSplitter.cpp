#include "CommandLineSplitter.h"

#include <cstring>
#include <new>

namespace {

// One pass over text, rewritten in place when args is given (the writer never overtakes
// the reader: quotes only shrink an argument). Returns the number of arguments.
int Scan(char* text, char** args)
{
    int found = 0;
    char* read = text;
    while (*read) {
        char* write = read;
        if (args)
            args[found] = write;
        ++found;
        bool quoted = false;
        while (*read && (quoted || *read != ' ')) {
            if (*read == '"') {
                if (quoted && read[1] == '"') {
                    if (args)
                        *write = '"';
                    ++write;
                    read += 2;
                } else {
                    quoted = !quoted;
                    ++read;
                }
            } else {
                if (args)
                    *write = *read;
                ++write;
                ++read;
            }
        }
        const bool atEnd = *read == '\0';
        while (*read == ' ')
            ++read;
        if (args)
            *write = '\0';
        if (atEnd)
            break;
    }
    return found;
}

}  // namespace

CommandLineSplitter::~CommandLineSplitter()
{
    Free();
}

void CommandLineSplitter::Free()
{
    delete[] argv;
    delete[] buffer;
    argv = nullptr;
    buffer = nullptr;
    count = 0;
}

int CommandLineSplitter::Split(const char* text)
{
    Free();
    if (!text)
        return 0;
    const size_t length = std::strlen(text);
    buffer = new (std::nothrow) char[length + 1];
    if (!buffer)
        return 0;
    std::memcpy(buffer, text, length + 1);

    const int found = Scan(buffer, nullptr);
    if (found == 0)
        return 0;
    argv = new (std::nothrow) char*[found];
    if (!argv) {
        Free();
        return 0;
    }
    count = Scan(buffer, argv);
    return count;
}

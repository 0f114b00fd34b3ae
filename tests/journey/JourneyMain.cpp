// kavo-journey.exe JOURNEY [--run-folder FOLDER] [--pictures FOLDER]
// Runs a journey file (a path of the source tree, or a Windows path) against the built
// programs beside this program. Exit 0 when every step held.
#include <cstdio>
#include <cstring>
#include <string>

#include "JourneyRunner.h"
#include "KavoTestPaths.h"

int main(int argc, char** argv)
{
    std::string journey;
    JourneyOptions options;
    options.binFolder = TestBinFolder();
    options.runFolder = TempFolder() + "\\kavo-journey-" + std::to_string(GetCurrentProcessId());
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--run-folder") && i + 1 < argc)
            options.runFolder = argv[++i];
        else if (!std::strcmp(argv[i], "--pictures") && i + 1 < argc)
            options.picturesFolder = argv[++i];
        else if (journey.empty() && argv[i][0] != '-')
            journey = argv[i];
        else {
            std::fprintf(stderr, "usage: kavo-journey.exe JOURNEY [--run-folder FOLDER] [--pictures FOLDER]\n");
            return 2;
        }
    }
    if (journey.empty()) {
        std::fprintf(stderr, "usage: kavo-journey.exe JOURNEY [--run-folder FOLDER] [--pictures FOLDER]\n");
        return 2;
    }
    const bool absolute = journey.find(':') != std::string::npos || journey[0] == '\\';
    const std::string path = absolute ? journey : SourcePath(journey.c_str());
    const std::string text = ReadWholeFile(path);
    std::vector<JourneyStep> steps;
    std::string error;
    if (text.empty() || !ParseJourney(text, &steps, &error)) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), text.empty() ? "cannot read it" : error.c_str());
        return 2;
    }
    JourneyRunner runner(options);
    if (!runner.Prepare(&error) || !runner.Run(steps, &error)) {
        std::printf("journey failed: %s\n", error.c_str());
        return 1;
    }
    std::printf("journey passed: %zu steps\n", steps.size());
    return 0;
}

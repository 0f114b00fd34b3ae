#pragma once
// Runs a journey's steps against the real programs: a run folder with copies of the
// programs and a test text definition whose addresses point at a fake server of its own, the
// scripted browser's record (KAVO_SCRIPTED_BROWSER_DIR) in that folder, and windows driven
// from outside as a person would. Prints each step and what it found.
#include "FakeServer.h"

#include <string>
#include <vector>

#include "ControlNames.h"
#include "JourneySteps.h"
#include "ScreenTable.h"

struct JourneyOptions {
    std::string binFolder;      // where the built programs are
    std::string runFolder;      // made afresh for the run
    std::string picturesFolder; // empty: no gallery pictures
};

class JourneyRunner {
public:
    explicit JourneyRunner(JourneyOptions options);
    ~JourneyRunner();
    JourneyRunner(const JourneyRunner&) = delete;
    JourneyRunner& operator=(const JourneyRunner&) = delete;

    // Sets up the run folder and the server. False (with error) when that fails.
    bool Prepare(std::string* error);
    // Runs every step in order; false at the first that fails, error naming it.
    bool Run(const std::vector<JourneyStep>& steps, std::string* error);

private:
    bool RunStep(const JourneyStep& step, std::string* why);
    std::string Text(const std::string& field) const;  // def:KEY, "" (empty) or the text itself, @BASE@ and @RUN@ replaced
    HWND Control(const std::string& name, std::string* why) const;
    bool WaitForScreen(const ScreenLook& look, DWORD timeout, std::string* why);
    bool WaitForDocument(const std::string& url, DWORD timeout);
    bool TakePicture(std::string* why);
    std::string ItemPath(const std::string& item, const std::string& path) const;
    bool ItemExists(const std::string& item, const std::string& path) const;
    std::string DocumentPath(int number) const;  // the record's file of the program's document number
    // The SerialID of each request id sent since the latest start, joined with ","; "-" for one
    // without a SerialID.
    std::string SentSerialIds(const std::string& id);
    int LatestDocument() const;                  // the number of the program's latest document; 0 for none
    void MarkAction();                           // before an action: what it leads to is written after it
    void EndProgram();
    bool SetEnvironmentValue(const std::string& name, const std::string& value, std::string* why);
    bool Define(const std::string& key, const std::string& text, std::string* why);
    bool ServeInstaller(const std::string& variant, const std::string& setupName, std::string* why);
    bool Spawn(const std::string& program, const std::string& arguments, std::string* why);
    bool SetWindowsVersion(const std::string& program, const std::string& version, std::string* why);
    bool EndSession(std::string* why);
    std::string CompanionCommand(const std::string& arguments) const;  // the RunOnce value the programs write

    JourneyOptions m_options;
    FakeServer m_server;
    ControlNames m_names;
    std::vector<ScreenLook> m_screens;
    std::string m_recordFolder;
    HANDLE m_process = nullptr;
    DWORD m_pid = 0;
    HWND m_frame = nullptr;
    HWND m_page = nullptr;
    std::string m_screen;
    size_t m_eventsSeen = 0;  // bytes of the event record read before the latest action
    int m_documentsSeen = 0;  // the program's documents written before the latest action
    size_t m_ordersSeen = 0;  // requests the fake order system had before the latest start
    int m_pictures = 0;
    std::vector<std::string> m_plantedUninstall;  // uninstall entries this run made, taken away at its end
    bool m_productClassTouched = false;           // planted or installed: taken away at the run's end
    bool m_installerServed = false;
    std::string m_setupStatusValue;  // where the fake setup writes its status: removed at the run's end
    std::vector<std::string> m_setupRunOnce;   // RunOnce values the fake setup was told to write: removed at the end
    std::vector<HANDLE> m_spawned;             // programs started beside the journey's one: ended at the end
    std::vector<std::string> m_windowsVersions; // programs Wine was told another Windows: taken away at the end
};

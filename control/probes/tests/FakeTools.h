#pragma once
// The probe tests' stand-ins for everything outside: the console tools and the connection
// tool (tests/fakes/FakeTool.cpp) record their command lines in a folder of the test's own and
// answer from files there; the remote-access library (FakeRasApi.cpp) records its calls.
// SetUp fails the test before anything runs when the fakes are not the ones that answer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

class FakeToolsTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // tool: "ipconfig", "netsh", "arp", "ping" (or a copied tool's program name, lower case).
    void SetOutput(const std::string& tool, const std::string& bytes);
    void SetErrorOutput(const std::string& tool, const std::string& bytes);
    void SetExitCode(const std::string& tool, int code);
    // While held, the tool keeps running (at most 20 s).
    void Hold(const std::string& tool);
    void Release(const std::string& tool);

    // Command lines in the order the fakes were started, since SetUp or the last ClearCalls.
    std::vector<std::string> Calls() const;
    // Only those of one program.
    std::vector<std::string> CallsOf(const std::string& tool) const;
    std::vector<std::string> RasCalls() const;
    void ClearCalls();

    // The folder the fakes answer from, removed with what it holds at TearDown.
    const std::string& Folder() const { return m_folder; }

private:
    std::string m_folder;
};

// The lines of a text file without their line ends; empty when it cannot be read.
std::vector<std::string> ReadLines(const std::string& path);

// A fresh folder below the temporary folder, unique to this process and name.
std::string MakeTestFolder(const char* name);
// Deletes the folder with everything below it.
void RemoveTestFolder(const std::string& folder);

// Shared test helpers: a temporary program folder with a data/ folder, the
// scripted message-box responder, and whole-file read and write.
#pragma once

#include "support/fakedialogs.h"
#include "platform/forms.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>

std::string ReadAll(const std::string& path);
void WriteAll(const std::string& path, const std::string& bytes);
// Copies the named files we ship in data/ into the data/ folder of a program folder.
void CopyShippedData(const std::string& folder,
                     std::initializer_list<const char*> names = {"IMF.XML", "Pacific.XML"});

// A built program put into a program folder, with a private runtime folder
// beside it for the session its single-instance lock belongs to.
struct InstalledProgram {
    std::string program;
    std::string runtime;
};
InstalledProgram InstallProgram(const std::string& built, const std::string& folder);

// Starts a program with the given platform and runtime folder (the session
// its single-instance lock belongs to), the rest of the environment as ours;
// 0 when it cannot start.
int StartProgram(const std::string& program, const std::string& platform, const std::string& runtime,
                 const std::string& extraVariable = "");
// Whether a program of the session of that runtime folder holds the named lock.
bool LockHeldIn(const std::string& runtime, const char* name);

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Runs a test in a fresh program folder with "." and "," as the system's
// separators and every message box recorded.
class ProgramFolderTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::string DataFile(const std::string& name) const { return folder.File("data/" + name); }

    TempFolder folder;
    ScriptedResponder dialogs;
};

// Runs a test with the toolkit and a fresh application object, which frees
// the forms it owns at the end.
class GuiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::unique_ptr<TApplication> app;
};

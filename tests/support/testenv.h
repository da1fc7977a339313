// Shared test helpers: a temporary program folder with a data/ folder, the
// scripted message-box responder, and whole-file read and write.
#pragma once

#include "platform/dialogs.h"
#include "platform/forms.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

std::string ReadAll(const std::string& path);
void WriteAll(const std::string& path, const std::string& bytes);

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

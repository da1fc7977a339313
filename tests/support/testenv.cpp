#include "support/testenv.h"

#include "platform/sysutils.h"

#include <QApplication>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdlib.h>

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream buf;
    buf << in.rdbuf();
    return buf.str();
}

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tallyvane-test-XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    if (!made) throw std::runtime_error("cannot make a temporary folder");
    path_ = made;
}

TempFolder::~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void ProgramFolderTest::SetUp() {
    std::filesystem::create_directory(folder.File("data"));
    SetProgramFolder(folder.Path());
    SetSystemDecimalSeparator('.');
    SetSystemThousandSeparator(',');
}

void ProgramFolderTest::TearDown() {
    SetSystemDecimalSeparator('.');
    SetSystemThousandSeparator(',');
}

void GuiTest::SetUp() {
    EnsureToolkit();
    app = std::make_unique<TApplication>();
}

void GuiTest::TearDown() {
    app.reset();
    QApplication::processEvents();
}

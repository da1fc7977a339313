#include "update/fetchfile.h"

#include "currency/settings.h"
#include "platform/classes.h"
#include "platform/dialogs.h"
#include "platform/filedialogs.h"
#include "platform/forms.h"
#include "platform/sysutils.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {
// The folder of a chosen file, without its last slash unless it is the root.
std::string FolderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return std::string();
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// The whole file, or false when it cannot be read or is larger than limit.
bool ReadBytes(const std::string& path, size_t limit, std::string& bytes) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return false;
    const auto size = std::filesystem::file_size(path, error);
    if (error || size > limit) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad() && bytes.size() <= limit;
}
}  // namespace

FetchFile::~FetchFile() { WaitFor(); }

void FetchFile::Fetch(CurrSourceUpdate* updater) {
    Updater = updater;
    Resume();
}

std::string FetchFile::ReadFile(const std::string& fileName) {
    std::string bytes;
    if (!ReadBytes(fileName, MaxPage, bytes)) {
        SyncCall([&] { MessageDlg("Can't read file: " + fileName, mtError, {mbOK}, 0); });
        return std::string();
    }
    // Reading stops at a zero byte; a text that is not UTF-8 is Windows-1252.
    bytes.resize(std::char_traits<char>::length(bytes.c_str()));
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
    if (!IsValidUtf8(bytes)) bytes = Cp1252ToUtf8(bytes);
    TStringList lines;
    lines.SetText(bytes);
    return lines.Text();
}

void FetchFile::Execute() {
    try {
        Document.clear();
        std::string chosen;
        SyncCall([&] {
            TOpenDialog dialog(Application);
            dialog.Filter = "HTML-files|*.htm;*.html";
            Settings* settings = Settings::Instance();
            dialog.InitialDir = settings->HTMLPath;
            if (dialog.Execute()) {
                chosen = dialog.FileName;
                settings->HTMLPath = FolderOf(chosen);
            }
        });
        if (!chosen.empty()) Document = ReadFile(chosen);
        HandOver([this] { SyncDone(); });
    } catch (const std::exception& e) {
        failure_ = e.what();
    } catch (...) {
        failure_ = "Can't read file: ";
    }
    if (!HandedOver()) HandOver([this] { DeliverFailure(Updater, failure_); });
}

void FetchFile::SyncDone() { Deliver(Updater, Document); }

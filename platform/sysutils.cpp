#include "platform/sysutils.h"

#include <QLocale>
#include <QString>

#include <algorithm>
#include <chrono>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <limits.h>
#include <map>
#include <memory>
#include <string_view>
#include <functional>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// ---------------------------------------------------------------- texts

int Pos(const std::string& sub, const std::string& s) { return PosEx(sub, s, 1); }

int PosEx(const std::string& sub, const std::string& s, int from) {
    if (sub.empty() || from < 1 || static_cast<size_t>(from) > s.size()) return 0;
    size_t at = s.find(sub, static_cast<size_t>(from - 1));
    return at == std::string::npos ? 0 : static_cast<int>(at) + 1;
}

std::string Copy(const std::string& s, int index, int count) {
    if (index < 1) index = 1;
    if (count <= 0 || static_cast<size_t>(index) > s.size()) return std::string();
    return s.substr(static_cast<size_t>(index - 1), static_cast<size_t>(count));
}

static bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string TrimLeft(const std::string& s) {
    size_t b = 0;
    while (b < s.size() && IsBlank(s[b])) ++b;
    return s.substr(b);
}

std::string TrimRight(const std::string& s) {
    size_t e = s.size();
    while (e > 0 && IsBlank(s[e - 1])) --e;
    return s.substr(0, e);
}

std::string Trim(const std::string& s) { return TrimRight(TrimLeft(s)); }

std::string UpperCase(const std::string& s) {
    std::string r = s;
    for (char& c : r)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return r;
}

std::string LowerCase(const std::string& s) {
    std::string r = s;
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return r;
}

std::string AnsiLowerCase(const std::string& s) {
    // Plain ASCII, the usual case, needs no trip through the toolkit's text.
    std::string lower = s;
    for (char& c : lower) {
        if (static_cast<unsigned char>(c) >= 0x80) return QString::fromUtf8(s).toLower().toStdString();
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
    }
    return lower;
}

int CompareText(const std::string& a, const std::string& b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 32);
        if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 32);
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool SameText(const std::string& a, const std::string& b) { return CompareText(a, b) == 0; }

// ---------------------------------------------------------------- integers

std::string IntToStr(long long value) {
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, r.ptr);
}

bool TryStrToInt(const std::string& text, int& value) {
    std::string s = Trim(text);
    if (s.empty()) return false;
    size_t i = 0;
    bool negative = false;
    if (s[0] == '+' || s[0] == '-') {
        negative = s[0] == '-';
        i = 1;
    }
    if (i >= s.size()) return false;
    long long v = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return false;
        v = v * 10 + (s[i] - '0');
        if (v > static_cast<long long>(INT_MAX) + 1) return false;
    }
    if (negative) v = -v;
    if (v > INT_MAX || v < INT_MIN) return false;
    value = static_cast<int>(v);
    return true;
}

int StrToInt(const std::string& s) {
    int v;
    if (!TryStrToInt(s, v)) throw EConvertError("'" + s + "' is not a valid integer value");
    return v;
}

int StrToIntDef(const std::string& s, int def) {
    int v;
    return TryStrToInt(s, v) ? v : def;
}

// ---------------------------------------------------------------- separators

namespace {
char LocaleChar(const QString& text, char fallback, char nonAscii) {
    if (text.size() != 1) return fallback;
    QChar c = text.at(0);
    if (c.unicode() < 0x80) return static_cast<char>(c.unicode());
    return nonAscii;  // such as a no-break space used for grouping
}

struct SystemSeparators {
    bool known = false;
    char decimal = '.';
    char thousand = ',';
    void Load() {
        if (known) return;
        QLocale locale = QLocale::system();
        decimal = LocaleChar(locale.decimalPoint(), '.', '.');
        thousand = LocaleChar(locale.groupSeparator(), ',', ' ');
        if (thousand == decimal) thousand = decimal == ',' ? '.' : ',';
        known = true;
    }
};
SystemSeparators& Separators() {
    static SystemSeparators s;
    s.Load();
    return s;
}
}  // namespace

char SystemDecimalSeparator() { return Separators().decimal; }
char SystemThousandSeparator() { return Separators().thousand; }
void SetSystemDecimalSeparator(char c) { Separators().decimal = c; }
void SetSystemThousandSeparator(char c) { Separators().thousand = c; }

// ---------------------------------------------------------------- floats

bool TryStrToFloat(const std::string& text, long double& value) {
    return TryStrToFloat(text, value, SystemDecimalSeparator());
}

bool TryStrToFloat(const std::string& text, long double& value, char dec) {
    std::string s = Trim(text);
    std::string norm;
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        if (s[i] == '-') norm += '-';
        ++i;
    }
    int digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') norm += s[i++], ++digits;
    if (i < s.size() && s[i] == dec) {
        norm += '.';
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') norm += s[i++], ++digits;
    }
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        norm += 'e';
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
            if (s[i] == '-') norm += '-';
            ++i;
        }
        int expDigits = 0;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') norm += s[i++], ++expDigits;
        if (expDigits == 0) return false;
    }
    if (i != s.size()) return false;
    long double v = 0;
    auto r = std::from_chars(norm.data(), norm.data() + norm.size(), v);
    if (r.ec == std::errc::result_out_of_range) {
        // Too small to hold reads as zero; too large is not a number we can use.
        size_t e = norm.find('e');
        if (e != std::string::npos && norm[e + 1] == '-') {
            value = 0;
            return true;
        }
        return false;
    }
    if (r.ec != std::errc() || r.ptr != norm.data() + norm.size()) return false;
    value = v;
    return true;
}

long double StrToFloat(const std::string& s) {
    long double v;
    if (!TryStrToFloat(s, v)) throw EConvertError("'" + s + "' is not a valid floating point value");
    return v;
}

namespace {
// Decimal digits of |value| rounded to `precision` significant digits, and the
// decimal exponent of the first digit (value = 0.d1d2... * 10^(exp+1)).
void DecimalDigits(long double value, int precision, std::string& digits, int& exp) {
    char buf[128];
    auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific,
                           precision - 1);
    std::string t(buf, r.ptr);
    size_t e = t.find('e');
    digits.clear();
    for (size_t i = 0; i < e; ++i)
        if (t[i] != '.') digits += t[i];
    exp = 0;
    std::from_chars(t.data() + e + 1 + (t[e + 1] == '+' ? 1 : 0), t.data() + t.size(), exp);
}

std::string SpecialText(long double value) {
    if (std::isnan(value)) return "NAN";
    return value < 0 ? "-INF" : "INF";
}

// The general form: fixed where it fits in `precision` digits and the value
// is not tiny, else mantissa and "E" exponent; no trailing zeros.
std::string GeneralText(long double value, int precision) {
    if (!std::isfinite(value)) return SpecialText(value);
    if (value == 0) return "0";
    std::string digits;
    int exp;
    DecimalDigits(value, precision, digits, exp);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    const char dec = SystemDecimalSeparator();
    std::string out = value < 0 ? "-" : "";
    if (exp + 1 > precision || std::fabs(value) < 1e-5L) {
        out += digits[0];
        if (digits.size() > 1) out += dec + digits.substr(1);
        out += 'E';
        out += IntToStr(exp);
        return out;
    }
    if (exp < 0) {
        out += '0';
        out += dec;
        out += std::string(static_cast<size_t>(-exp - 1), '0') + digits;
        return out;
    }
    int intDigits = exp + 1;
    if (static_cast<int>(digits.size()) <= intDigits) {
        out += digits + std::string(static_cast<size_t>(intDigits) - digits.size(), '0');
    } else {
        out += digits.substr(0, static_cast<size_t>(intDigits));
        out += dec;
        out += digits.substr(static_cast<size_t>(intDigits));
    }
    return out;
}
}  // namespace

std::string FloatToStr(long double value) { return GeneralText(value, 15); }

std::string FloatToStrFixed(long double value, int precision, int digitsAfter) {
    if (!std::isfinite(value)) return SpecialText(value);
    std::string digits = "0";
    int exp = 0;
    if (value != 0) DecimalDigits(value, precision, digits, exp);
    int intDigits = exp + 1;
    if (intDigits > precision) return GeneralText(value, precision);
    // Round to digitsAfter decimals, halves away from zero.
    int keepCount = intDigits + digitsAfter;
    std::string keep;
    if (keepCount > 0) {
        keep = digits.substr(0, std::min(static_cast<size_t>(keepCount), digits.size()));
        keep.resize(static_cast<size_t>(keepCount), '0');
    }
    if (keepCount >= 0 && static_cast<size_t>(keepCount) < digits.size() &&
        digits[static_cast<size_t>(keepCount)] >= '5') {
        int i = static_cast<int>(keep.size()) - 1;
        while (i >= 0 && keep[static_cast<size_t>(i)] == '9') keep[static_cast<size_t>(i--)] = '0';
        if (i >= 0) {
            ++keep[static_cast<size_t>(i)];
        } else {
            keep.insert(keep.begin(), '1');
            ++intDigits;
        }
    }
    auto digitAt = [&](int index) -> char {
        if (index < 0 || static_cast<size_t>(index) >= keep.size()) return '0';
        return keep[static_cast<size_t>(index)];
    };
    std::string out;
    if (intDigits <= 0) {
        out = "0";
    } else {
        for (int i = 0; i < intDigits; ++i) out += digitAt(i);
    }
    if (digitsAfter > 0) {
        out += SystemDecimalSeparator();
        for (int k = 1; k <= digitsAfter; ++k) out += digitAt(intDigits - 1 + k);
    }
    bool nonZero = keep.find_first_not_of('0') != std::string::npos;
    if (value < 0 && nonZero) out.insert(out.begin(), '-');
    return out;
}

std::string DoubleToStreamText(double value) {
    if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 6);
    return std::string(buf, r.ptr);
}

// ---------------------------------------------------------------- program folder

namespace {
std::string& FolderOverride() {
    static std::string folder;
    return folder;
}
}  // namespace

std::string ProgramFolder() {
    std::string& folder = FolderOverride();
    if (folder.empty()) {
        char buf[PATH_MAX];
        ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
        std::string exe = n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string(".");
        size_t slash = exe.rfind('/');
        if (slash == std::string::npos) folder.assign(1, '.');
        else if (slash == 0) folder.assign(1, '/');
        else folder = exe.substr(0, slash);
    }
    return folder;
}

void SetProgramFolder(const std::string& folder) {
    std::string f = folder;
    while (f.size() > 1 && f.back() == '/') f.pop_back();
    FolderOverride() = f;
}

std::string ProgramPath(const std::string& relative) {
    std::string rel = relative;
    std::replace(rel.begin(), rel.end(), '\\', '/');
    if (!rel.empty() && rel[0] != '/') rel.insert(rel.begin(), '/');
    return ProgramFolder() + rel;
}

// ---------------------------------------------------------------- files

bool FileExists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string ExtractFilePath(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string ExtractFileName(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ExtractFileExt(const std::string& path) {
    std::string name = ExtractFileName(path);
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

bool DeleteFile(const std::string& path) { return unlink(path.c_str()) == 0; }

namespace {
// The bytes of a file as they are, and what the file is (st).
bool ReadBytes(const std::string& path, std::string& text, struct stat& st, int flags = 0) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | flags);
    if (fd < 0) return false;
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        close(fd);
        return false;
    }
    text.clear();
    text.reserve(static_cast<size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            close(fd);
            return false;
        }
        if (n == 0) break;
        text.append(buf, static_cast<size_t>(n));
    }
    close(fd);
    return true;
}
}  // namespace

bool ReadTextFile(const std::string& path, std::string& text) {
    struct stat st;
    if (!ReadBytes(path, text, st)) return false;
    if (text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
    if (!IsValidUtf8(text)) text = Cp1252ToUtf8(text);
    return true;
}

namespace {
bool unnamedTempFiles = true;

// Saves of the program's own files in one folder take turns through this
// file, which also records the temporary files they are writing.
constexpr const char* SaveLockName = ".tallyvane.lock";
// How long a save waits for another save of ours before it writes anyway.
constexpr auto SaveLockWait = std::chrono::seconds(3);

bool WriteBytes(int fd, const std::string& content) {
    const char* p = content.data();
    size_t left = content.size();
    while (left > 0) {
        ssize_t n = write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

// The whole content in a file of its own, flushed to the disk. The mode is
// set where the file system keeps modes (some keep one of their own).
bool Fill(int fd, const std::string& content, mode_t mode) {
    if (!WriteBytes(fd, content)) return false;
    fchmod(fd, mode);
    return fdatasync(fd) == 0;
}

const char UniqueLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

// "<path>.XXXXXX.tmp" with six random letters and digits.
std::string UniqueName(const std::string& path) {
    const std::string_view letters(UniqueLetters);
    unsigned char bytes[6];
    if (getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) {
        static unsigned counter = 0;
        const unsigned seed = static_cast<unsigned>(getpid()) * 2654435761u + ++counter;
        for (size_t k = 0; k < sizeof bytes; ++k) bytes[k] = static_cast<unsigned char>(seed >> (k * 5));
    }
    std::string name = path + ".";
    for (unsigned char b : bytes) name += letters[b % letters.size()];
    return name + ".tmp";
}

// Whether a name is one a save of the file name gives its temporary file:
// "<name>.tmp" or "<name>.XXXXXX.tmp".
bool TemporaryNameOf(const std::string& temporary, const std::string& name) {
    if (temporary.size() < name.size() || temporary.compare(0, name.size(), name) != 0) return false;
    const std::string_view rest = std::string_view(temporary).substr(name.size());
    return rest == ".tmp" || (rest.size() == 11 && rest[0] == '.' && rest.substr(7) == ".tmp" &&
                              rest.substr(1, 6).find_first_not_of(UniqueLetters) == std::string_view::npos);
}

bool Missing(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) != 0 && errno == ENOENT;
}

// Whether a save may follow a link: one made by this user (or root), or one
// in a folder nobody else may write to. Another user's link in a shared
// folder could lead the save onto any file of ours.
bool MayFollow(const struct stat& link, const std::string& folder) {
    const auto trusted = [](uid_t uid) { return uid == geteuid() || uid == 0; };
    struct stat st;
    return trusted(link.st_uid) ||
           (stat(folder.c_str(), &st) == 0 && trusted(st.st_uid) && (st.st_mode & 022) == 0);
}

// The file a save of path writes: path itself, or the file its symbolic
// links lead to, so that a link stays a link. Empty for links that lead
// round in a circle, cannot be read or may not be followed.
std::string LinkTarget(const std::string& path) {
    std::string target = path;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st;
        if (lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return target;
        const std::string folder = ExtractFilePath(target);
        if (!MayFollow(st, folder.empty() ? "." : folder)) return std::string();
        char to[PATH_MAX];
        const ssize_t n = readlink(target.c_str(), to, sizeof to);
        if (n <= 0 || static_cast<size_t>(n) >= sizeof to) return std::string();
        const std::string next(to, static_cast<size_t>(n));
        target = next[0] == '/' ? next : folder + next;
    }
    return std::string();
}

// The lock of the program's own saves in one folder: a file of this user's
// that nobody else may open, so no other user can hold our saves up, and one
// that is waited for a few seconds at most, so a save never hangs on it. It
// records, per saved file, the temporary file a save of it is writing: the
// next save removes what a killed one left, and nothing that is not ours.
class SaveLock {
public:
    explicit SaveLock(const std::string& folder) {
        fd_ = open((folder + SaveLockName).c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
        struct stat st;
        // Someone else's, or another name of some file (whose text the
        // records would replace): neither waited for nor written.
        if (fd_ >= 0 &&
            (fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid() || st.st_nlink != 1)) {
            close(fd_);
            fd_ = -1;
        }
        // Ours alone to open, where the file system keeps modes.
        if (fd_ >= 0 && (st.st_mode & 077) != 0) fchmod(fd_, 0600);
        const auto until = std::chrono::steady_clock::now() + SaveLockWait;
        while (fd_ >= 0 && !(held_ = flock(fd_, LOCK_EX | LOCK_NB) == 0)) {
            if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() >= until) break;
            usleep(10000);
        }
    }
    ~SaveLock() {
        if (fd_ >= 0) close(fd_);  // which lets go of it
    }
    SaveLock(const SaveLock&) = delete;
    SaveLock& operator=(const SaveLock&) = delete;
    bool Held() const { return held_; }

    // The temporary file of a save of name, as recorded (both names in the folder).
    std::string Temporary(const std::string& name) const {
        auto entries = Entries();
        auto it = entries.find(name);
        return it == entries.end() ? std::string() : it->second;
    }
    // Records that a save of name writes under temporary (empty: it writes nothing).
    void Record(const std::string& name, const std::string& temporary) const {
        auto entries = Entries();
        if (temporary.empty()) entries.erase(name);
        else entries[name] = temporary;
        std::string text;
        for (const auto& [file, temp] : entries) text += file + '\0' + temp + '\0';
        // A record that cannot be written costs at most a temporary file left over.
        [[maybe_unused]] const bool written = pwrite(fd_, text.data(), text.size(), 0) ==
                                                  static_cast<ssize_t>(text.size()) &&
                                              ftruncate(fd_, static_cast<off_t>(text.size())) == 0;
    }

private:
    // Pairs of names, each ended by a NUL: a saved file, its temporary file.
    std::map<std::string, std::string> Entries() const {
        std::map<std::string, std::string> entries;
        std::string text;
        char buf[4096];
        for (off_t at = 0;;) {
            const ssize_t n = pread(fd_, buf, sizeof buf, at);
            if (n <= 0) break;
            text.append(buf, static_cast<size_t>(n));
            at += n;
        }
        for (size_t from = 0;;) {
            const size_t end = text.find('\0', from);
            const size_t next = end == std::string::npos ? end : text.find('\0', end + 1);
            if (next == std::string::npos) break;
            entries[text.substr(from, end - from)] = text.substr(end + 1, next - end - 1);
            from = next + 1;
        }
        return entries;
    }

    int fd_ = -1;
    bool held_ = false;
};

// Writes a file whole or not at all; see WriteFileAtomic. A new file gets
// the mode given, a replaced one keeps its own. Without replace, the save
// fails (EEXIST) when anything is at the path already.
bool SaveFile(const std::string& path, const std::string& content, FileOwner owner, bool replace,
              mode_t mode = 0644) {
    const std::string target = replace ? LinkTarget(path) : path;
    if (target.empty()) return false;
    std::string folder = ExtractFilePath(target);
    if (folder.empty()) folder = "./";
    if (!DirectoryExists(folder)) return false;
    const std::string name = ExtractFileName(target);
    struct stat st;
    if (!replace && !Missing(target)) {
        errno = EEXIST;
        return false;
    }
    if (replace && stat(target.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return false;
        int probe = open(target.c_str(), O_WRONLY | O_CLOEXEC);
        if (probe < 0) return false;
        close(probe);
        mode = st.st_mode & 07777;
    }
    const bool own = owner == FileOwner::Program;
    // A folder where the lock cannot be had is saved into without it.
    std::unique_ptr<SaveLock> lock;
    if (own) lock = std::make_unique<SaveLock>(folder);
    const bool recorded = lock && lock->Held();
    if (recorded) {
        // What a killed save of this file left is ours to take over.
        const std::string left = lock->Temporary(name);
        struct stat lst;
        if (TemporaryNameOf(left, name) && lstat((folder + left).c_str(), &lst) == 0 && S_ISREG(lst.st_mode) &&
            lst.st_uid == geteuid())
            unlink((folder + left).c_str());
        lock->Record(name, std::string());
    }

    // The name the whole text gets for the rename over the target:
    // "<name>.tmp" for the program's own files when it is free, else one that
    // did not exist. It is recorded before it is made.
    std::string tmp;
    auto newName = [&](const std::function<bool(const std::string&)>& make) {
        for (int attempt = 0; attempt < 100; ++attempt) {
            tmp = own && attempt == 0 && Missing(target + ".tmp") ? target + ".tmp" : UniqueName(target);
            if (recorded) lock->Record(name, ExtractFileName(tmp));
            if (make(tmp)) return true;
            if (errno != EEXIST) break;
        }
        if (recorded) lock->Record(name, std::string());
        tmp.clear();
        return false;
    };

    // The text is written into a file without a name, which is named only
    // once it is whole: a save killed on the way leaves nothing behind.
    // Where the file system has no unnamed files, it is written under the
    // temporary name directly.
    int fd = unnamedTempFiles ? open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode)
                              : (errno = EOPNOTSUPP, -1);
    bool ok;
    if (fd >= 0) {
        const std::string self = "/proc/self/fd/" + std::to_string(fd);
        ok = Fill(fd, content, mode) && newName([&](const std::string& temporary) {
                 return linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temporary.c_str(), AT_SYMLINK_FOLLOW) == 0;
             });
    } else {
        ok = newName([&](const std::string& temporary) {
            fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, own ? 0600 : mode);
            return fd >= 0;
        });
        ok = ok && Fill(fd, content, mode);
    }
    if (fd >= 0 && close(fd) != 0) ok = false;
    if (ok && replace) {
        ok = rename(tmp.c_str(), target.c_str()) == 0;
    } else if (ok) {
        ok = renameat2(AT_FDCWD, tmp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0;
        // A file system that cannot refuse to replace: the name was free just now.
        if (!ok && errno == EINVAL) ok = Missing(target) && rename(tmp.c_str(), target.c_str()) == 0;
    }
    const int error = errno;
    if (!ok && !tmp.empty()) unlink(tmp.c_str());
    if (recorded) lock->Record(name, std::string());
    if (!ok) {
        errno = error;
        return false;
    }
    // The rename itself reaches the disk.
    const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return true;
}
}  // namespace

void SetUnnamedTempFiles(bool available) { unnamedTempFiles = available; }

bool WriteFileAtomic(const std::string& path, const std::string& content, FileOwner owner) {
    return SaveFile(path, content, owner, true);
}

std::string KeepBackup(const std::string& path) {
    std::string text, kept;
    struct stat st, keptSt;
    if (!ReadBytes(path, text, st)) return std::string();
    for (int n = 0; n < 1000; ++n) {
        const std::string backup = n == 0 ? path + ".bak" : path + "." + std::to_string(n) + ".bak";
        if (lstat(backup.c_str(), &keptSt) == 0) {
            // The same text kept already by us is not copied again, so a file
            // damaged at every start does not fill the folder.
            if (S_ISREG(keptSt.st_mode) && keptSt.st_uid == geteuid() && keptSt.st_size == st.st_size &&
                ReadBytes(backup, kept, keptSt, O_NOFOLLOW) && kept == text)
                return backup;
            continue;
        }
        // Readable by whom the file was, and nobody else.
        if (SaveFile(backup, text, FileOwner::Program, false, st.st_mode & 0777)) return backup;
        if (errno != EEXIST) break;
    }
    return std::string();
}

// ---------------------------------------------------------------- UTF-8

namespace {
// The length of the well-formed UTF-8 sequence of a character beginning at
// byte i (no overlong forms, no surrogates, nothing past U+10FFFF), or 0.
size_t Utf8SequenceAt(const std::string& s, size_t i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) return 1;
    size_t extra;
    unsigned int cp;
    if ((c & 0xE0) == 0xC0) extra = 1, cp = c & 0x1F;
    else if ((c & 0xF0) == 0xE0) extra = 2, cp = c & 0x0F;
    else if ((c & 0xF8) == 0xF0) extra = 3, cp = c & 0x07;
    else return 0;
    if (i + extra >= s.size()) return 0;
    for (size_t k = 1; k <= extra; ++k) {
        const unsigned char d = static_cast<unsigned char>(s[i + k]);
        if ((d & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (d & 0x3F);
    }
    if ((extra == 1 && cp < 0x80) || (extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000) || cp > 0x10FFFF ||
        (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return extra + 1;
}
}  // namespace

bool IsValidUtf8(const std::string& s) {
    size_t i = 0, n = s.size();
    while (i < n) {
        // Plain ASCII, eight bytes at a time.
        if (i + 8 <= n) {
            uint64_t block;
            std::memcpy(&block, s.data() + i, 8);
            if ((block & 0x8080808080808080ULL) == 0) {
                i += 8;
                continue;
            }
        }
        const size_t length = Utf8SequenceAt(s, i);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

static void AppendUtf8(std::string& out, unsigned int cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string Cp1252ToUtf8(const std::string& s) {
    // 0x80..0x9F of Windows-1252; the five unassigned bytes keep their C1 code.
    static const unsigned short high[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    // Sequence by sequence: one bad byte must not turn the good characters
    // around it into mojibake.
    auto each = [&](auto&& sequence, auto&& character) {
        for (size_t i = 0; i < s.size();) {
            const size_t length = Utf8SequenceAt(s, i);
            if (length > 0) {
                sequence(i, length);
                i += length;
                continue;
            }
            const unsigned char c = static_cast<unsigned char>(s[i++]);
            character(c < 0xA0 ? high[c - 0x80] : c);
        }
    };
    // Sized exactly first, so a large text is never held three times over
    // while it grows; two bytes more let a reader add a line end in place.
    size_t size = 0;
    each([&](size_t, size_t length) { size += length; },
         [&](unsigned int cp) { size += cp < 0x80 ? 1 : cp < 0x800 ? 2 : 3; });
    std::string out;
    out.reserve(size + 2);
    each([&](size_t i, size_t length) { out.append(s, i, length); }, [&](unsigned int cp) { AppendUtf8(out, cp); });
    return out;
}

std::string CutCharacters(const std::string& s, size_t maxCharacters) {
    const size_t maxBytes = maxCharacters * 4;
    size_t end = 0;
    for (size_t seen = 0; end < s.size(); ++end) {
        // A byte that starts a character, or one that cannot continue one.
        const bool starts = (static_cast<unsigned char>(s[end]) & 0xC0) != 0x80;
        if (starts && seen++ == maxCharacters) break;
    }
    return s.substr(0, std::min(end, maxBytes));  // only a malformed text has longer characters
}

void CopyToField(char* field, size_t size, const char* text) {
    if (size == 0) return;
    std::string t = CutCharacters(text ? std::string(text) : std::string(), (size - 1) / 4);
    std::memcpy(field, t.data(), t.size());
    field[t.size()] = '\0';
}

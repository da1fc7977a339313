// Text, number and file helpers with the names our code uses.
// Number text never follows the C locale: parsing and formatting go through
// std::from_chars / std::to_chars, and the "system" decimal character is the
// desktop's, held here so tests can set it.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

// A text that is not a number where one is required.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// --- texts (positions count from 1; 0 means "not found") ---
int Pos(const std::string& sub, const std::string& s);
// Position of sub in s at or after position from (1-based); 0 when absent.
int PosEx(const std::string& sub, const std::string& s, int from);
std::string Copy(const std::string& s, int index, int count);
// Removes blanks and control characters (every byte up to ' ').
std::string Trim(const std::string& s);
std::string TrimLeft(const std::string& s);
std::string TrimRight(const std::string& s);
std::string UpperCase(const std::string& s);  // ASCII letters only
std::string LowerCase(const std::string& s);
// Every letter, not only ASCII ones, in lower case (UTF-8 text).
std::string AnsiLowerCase(const std::string& s);
bool SameText(const std::string& a, const std::string& b);
// Compares ignoring ASCII letter case: <0, 0, >0.
int CompareText(const std::string& a, const std::string& b);

std::string IntToStr(long long value);
// Optional blanks, optional sign, decimal digits, optional blanks; nothing else.
bool TryStrToInt(const std::string& s, int& value);
int StrToInt(const std::string& s);  // throws EConvertError
int StrToIntDef(const std::string& s, int def);

// Decimal text with the system decimal character: optional blanks, sign,
// digits with at most one decimal character, optional exponent, blanks.
bool TryStrToFloat(const std::string& s, long double& value);
// The same with the given decimal character, such as the "." of data files.
bool TryStrToFloat(const std::string& s, long double& value, char decimal);
long double StrToFloat(const std::string& s);  // throws EConvertError
// Shortest general form of up to 15 significant digits, system decimal character.
std::string FloatToStr(long double value);
// Fixed-point text with `digits` decimals after rounding to `precision`
// significant digits, halves away from zero; falls back to the general form
// when the integer part needs more than `precision` digits.
std::string FloatToStrFixed(long double value, int precision, int digits);
// Text of a double as an output stream writes it by default (%g, 6 digits).
std::string DoubleToStreamText(double value);

// --- system number separators (the desktop locale; settable in tests) ---
char SystemDecimalSeparator();
char SystemThousandSeparator();
void SetSystemDecimalSeparator(char c);
void SetSystemThousandSeparator(char c);

// --- the program folder: where the running program lives, no trailing slash ---
std::string ProgramFolder();
void SetProgramFolder(const std::string& folder);  // tests point it at a temporary folder

// --- files ---
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
std::string ExtractFilePath(const std::string& path);  // folder part, with trailing '/'
std::string ExtractFileName(const std::string& path);
std::string ExtractFileExt(const std::string& path);   // ".ext" or ""
bool DeleteFile(const std::string& path);
// Copies a file, as one of the program's own with the file's mode, to the
// first of "<path>.bak", "<path>.1.bak" ... "<path>.999.bak" that is free: a
// backup never replaces anything. A copy of ours with the same text already
// there is taken as the backup. Returns the backup's path, or "" when there
// is none.
std::string KeepBackup(const std::string& path);
// Joins the program folder and a Windows-style relative path ("\data\IMF.XML").
std::string ProgramPath(const std::string& relative);

// Reads a whole file. A text that is not valid UTF-8 is converted with
// Cp1252ToUtf8. Returns false when the file cannot be opened.
bool ReadTextFile(const std::string& path, std::string& text);
// Whose file a save writes.
enum class FileOwner {
    // A file the user chose, such as an export: its temporary file gets a
    // name of its own, so nothing already in the folder is ever touched.
    User,
    // A file the program keeps for itself (rate files, the layout file, the
    // INI files, backups). Saves of one folder by our programs take turns,
    // through a lock only this user can open, waited for a few seconds at
    // most. The temporary file a save writes is recorded with the lock, so
    // whatever the file system, killed saves leave at most one per file,
    // which the next save removes; a file the program did not make is never
    // removed.
    Program,
};
// Writes the whole content to a temporary file beside the target and renames
// it over the target, so a crash or a full disk never leaves half a file.
// The temporary file has no name until it is whole where the file system
// allows. A path that is a symbolic link is saved into the file it leads to,
// and the link stays. Fails (false) when an existing target cannot be opened
// for writing or the folder is missing.
bool WriteFileAtomic(const std::string& path, const std::string& content, FileOwner owner = FileOwner::User);
// Tests take the way of file systems without unnamed temporary files: they
// refuse them with EOPNOTSUPP.
void SetUnnamedTempFiles(bool available);

// --- UTF-8 ---
bool IsValidUtf8(const std::string& s);
// A text that is not wholly UTF-8 (Windows-1252, or the two mixed) as UTF-8:
// every well-formed UTF-8 character stays, every other byte is read alone as
// Windows-1252.
std::string Cp1252ToUtf8(const std::string& s);
// The bytes a fixed field of `characters` UTF-8 characters takes, with its
// terminating 0: limits count characters, whatever their length in bytes.
constexpr size_t FieldSize(size_t characters) { return characters * 4 + 1; }
// The first maxCharacters characters (code points) of a text, and never more
// than four bytes for each of them, so it fits a field of FieldSize(maxCharacters).
std::string CutCharacters(const std::string& s, size_t maxCharacters);
// Copies a text into a fixed field of `size` = FieldSize(n) bytes: its first
// n characters, 0-terminated.
void CopyToField(char* field, size_t size, const char* text);

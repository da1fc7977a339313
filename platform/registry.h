// Read-only registry: keys under a few roots, each with named values. Linux
// has no registry, so the store is empty unless a test installs one of its own.
#pragma once

#include "platform/sysutils.h"

#include <string>

using HKEY = unsigned int;
constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;

class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

class TRegistry {
public:
    TRegistry() = default;
    void SetRootKey(HKEY root);
    // Key paths are separated by "\" and compared without letter case; a path
    // beginning with "\" starts at the root, any other at the open key. The
    // store is read-only: a missing key is never created, whatever canCreate says.
    bool OpenKey(const std::string& key, bool canCreate);
    void CloseKey();
    // The named value of the open key ("" is the key's default value); "" when
    // absent. Throws ERegistryException when the value is not a string.
    std::string ReadString(const std::string& name) const;

private:
    HKEY root_ = HKEY_CURRENT_USER;
    std::string path_;
    bool open_ = false;
};

// Where the registry's keys and values come from. Paths come without a
// leading or trailing "\", and paths and names in lower case.
class RegistryStore {
public:
    virtual ~RegistryStore() = default;
    // Whether a key holds values or lies above one that does.
    virtual bool KeyExists(HKEY root, const std::string& path) const = 0;
    // False when the key has no such value; isString false for a value that
    // is not a string (text then stays empty).
    virtual bool ReadValue(HKEY root, const std::string& path, const std::string& name, std::string& text,
                           bool& isString) const = 0;
};
// A key path as stores hold it: lower case, no backslash at either end.
std::string RegistryKeyPath(const std::string& path);
// Installs a store and returns the previous one (null restores the empty
// store the programs read).
RegistryStore* SetRegistryStore(RegistryStore* store);

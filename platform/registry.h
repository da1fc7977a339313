// Read-only registry: keys under a few roots, each with named values. Linux
// has no registry, so the store is empty unless a test puts entries in it.
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
    HKEY RootKey() const { return root_; }
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

// Test seam: entries of the store the registry reads.
void RegistryPutString(HKEY root, const std::string& key, const std::string& name, const std::string& value);
void RegistryPutInteger(HKEY root, const std::string& key, const std::string& name, int value);
void RegistryClear();

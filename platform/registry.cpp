#include "platform/registry.h"

namespace {
// Linux has no registry: no key but the roots, no value.
class EmptyStore : public RegistryStore {
public:
    bool KeyExists(HKEY, const std::string&) const override { return false; }
    bool ReadValue(HKEY, const std::string&, const std::string&, std::string&, bool&) const override { return false; }
};

EmptyStore empty;
RegistryStore* store = &empty;
}  // namespace

std::string RegistryKeyPath(const std::string& path) {
    std::string p = LowerCase(path);
    while (!p.empty() && p.front() == '\\') p.erase(p.begin());
    while (!p.empty() && p.back() == '\\') p.pop_back();
    return p;
}

RegistryStore* SetRegistryStore(RegistryStore* replacement) {
    RegistryStore* previous = store;
    store = replacement ? replacement : &empty;
    return previous;
}

void TRegistry::SetRootKey(HKEY root) {
    CloseKey();
    root_ = root;
}

bool TRegistry::OpenKey(const std::string& key, bool) {
    std::string path = !key.empty() && key[0] == '\\' ? RegistryKeyPath(key) : RegistryKeyPath(path_ + "\\" + key);
    if (!path.empty() && !store->KeyExists(root_, path)) return false;
    path_ = path;
    open_ = true;
    return true;
}

void TRegistry::CloseKey() {
    path_.clear();
    open_ = false;
}

std::string TRegistry::ReadString(const std::string& name) const {
    if (!open_) return std::string();
    std::string text;
    bool isString = true;
    if (!store->ReadValue(root_, path_, LowerCase(name), text, isString)) return std::string();
    if (!isString) throw ERegistryException("Invalid data type for '" + name + "'");
    return text;
}

#include "platform/registry.h"

#include <map>

namespace {
struct Value {
    bool isString;
    std::string text;
    int number;
};

// Keys as "<root>:<path in lower case>", values by lower-case name.
using Store = std::map<std::string, std::map<std::string, Value>>;
Store& TheStore() {
    static Store store;
    return store;
}

std::string Normal(const std::string& path) {
    std::string p = LowerCase(path);
    while (!p.empty() && p.front() == '\\') p.erase(p.begin());
    while (!p.empty() && p.back() == '\\') p.pop_back();
    return p;
}

std::string StoreKey(HKEY root, const std::string& path) { return IntToStr(root) + ":" + Normal(path); }

void Put(HKEY root, const std::string& key, const std::string& name, const Value& value) {
    TheStore()[StoreKey(root, key)][LowerCase(name)] = value;
}
}  // namespace

void RegistryPutString(HKEY root, const std::string& key, const std::string& name, const std::string& value) {
    Put(root, key, name, {true, value, 0});
}

void RegistryPutInteger(HKEY root, const std::string& key, const std::string& name, int value) {
    Put(root, key, name, {false, std::string(), value});
}

void RegistryClear() { TheStore().clear(); }

void TRegistry::SetRootKey(HKEY root) {
    CloseKey();
    root_ = root;
}

bool TRegistry::OpenKey(const std::string& key, bool) {
    std::string path = !key.empty() && key[0] == '\\' ? Normal(key) : Normal(path_ + "\\" + key);
    // A key exists when it holds values or lies above one that does.
    const std::string exact = StoreKey(root_, path);
    const std::string above = exact + (path.empty() ? "" : "\\");
    bool exists = path.empty();
    for (const auto& entry : TheStore()) {
        const std::string& k = entry.first;
        if (k == exact || (k.size() > above.size() && k.compare(0, above.size(), above) == 0)) exists = true;
    }
    if (!exists) return false;
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
    auto key = TheStore().find(StoreKey(root_, path_));
    if (key == TheStore().end()) return std::string();
    auto value = key->second.find(LowerCase(name));
    if (value == key->second.end()) return std::string();
    if (!value->second.isString) throw ERegistryException("Invalid data type for '" + name + "'");
    return value->second.text;
}

// One user template of data/exportFilters.xml: the name shown in the export
// list, the proposed file name and extension, the fragment filled once per
// currency and the whole document.
#pragma once

#include <string>

class OutputFilterInfo {
public:
    OutputFilterInfo(std::string name, std::string filename, std::string defaultExt, std::string repeater,
                     std::string body);

    std::string GetName() const { return Name; }
    std::string GetFilename() const { return Filename; }
    std::string GetDefaultExt() const { return DefaultExt; }
    std::string GetRepeater() const { return Repeater; }
    std::string GetBody() const { return Body; }

private:
    const std::string Name;
    const std::string Filename;
    const std::string DefaultExt;
    const std::string Repeater;
    const std::string Body;
};

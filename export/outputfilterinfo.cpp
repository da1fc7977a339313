#include "export/outputfilterinfo.h"

#include <utility>

OutputFilterInfo::OutputFilterInfo(std::string name, std::string filename, std::string defaultExt,
                                   std::string repeater, std::string body)
    : Name(std::move(name)),
      Filename(std::move(filename)),
      DefaultExt(std::move(defaultExt)),
      Repeater(std::move(repeater)),
      Body(std::move(body)) {}

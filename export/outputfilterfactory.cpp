#include "export/outputfilterfactory.h"

#include "export/outputfilterinfo.h"
#include "platform/formkit.h"
#include "xml/xmlparser.h"

namespace {
OutputFilterFactory* instance = nullptr;
}

OutputFilterFactory* OutputFilterFactory::GetInstance() {
    if (!instance) instance = new OutputFilterFactory;
    return instance;
}

void OutputFilterFactory::Unload() {
    delete instance;
    instance = nullptr;
}

OutputFilterFactory::OutputFilterFactory() {
    const std::string path = ProgramPath("\\data\\exportFilters.xml");
    if (!FileExists(path)) {
        ShowMessage("Can't find file: " + path);
        return;
    }
    std::string text;
    if (!ReadTextFile(path, text)) throw Exception("Cannot open file \"" + path + "\"");
    XMLParser parser;
    parser.FileName = path;
    XMLNode* root = parser.ParseText(XMLParser::JoinLines(std::move(text)));
    if (XMLNode* filters = root->FindFirst("ExportFilters")) {
        for (XMLNode* f = filters->FindFirst("ExportFilter"); f; f = filters->FindNext())
            Filters.push_back(new OutputFilterInfo(f->GetChildValue("name"), f->GetChildValue("filename"),
                                                   f->GetChildValue("defaultext"), f->GetChildValue("repeater"),
                                                   f->GetChildValue("body")));
    }
    First();
}

OutputFilterFactory::~OutputFilterFactory() {
    for (OutputFilterInfo* f : Filters) delete f;
}

void OutputFilterFactory::First() { Cursor = 0; }

bool OutputFilterFactory::IsValid() const { return Cursor < Filters.size(); }

bool OutputFilterFactory::Next() {
    if (Cursor < Filters.size()) ++Cursor;
    return IsValid();
}

OutputFilterInfo* OutputFilterFactory::Current() const { return IsValid() ? Filters[Cursor] : nullptr; }

// The XML reader on arbitrary bytes: it must end, never crash, and answer
// queries on whatever tree it built.
#include "fuzzenv.h"
#include "xml/xmlparser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzenv::Responder();
    std::string text(reinterpret_cast<const char*>(data), size);
    if (!IsValidUtf8(text)) text = Cp1252ToUtf8(text);
    XMLParser parser;
    XMLNode* root = parser.ParseText(XMLParser::JoinLines(text));
    // Walk the tree as the program's readers do.
    std::vector<XMLNode*> pending{root};
    size_t visited = 0;
    while (!pending.empty() && visited < 10000) {
        XMLNode* node = pending.back();
        pending.pop_back();
        ++visited;
        for (XMLNode* child : node->GetChildren()) {
            child->GetChildValue("NAME");
            child->GetItem()->GetAttribute("TYPE");
            pending.push_back(child);
        }
        if (!node->GetChildren().empty()) {
            const std::string name(node->GetChildren()[0]->GetItem()->Name);
            for (XMLNode* n = node->FindFirst(name); n; n = node->FindNext()) {
            }
        }
    }
    return 0;
}

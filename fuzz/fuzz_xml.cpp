// The XML reader on arbitrary bytes: it must end, never crash, and answer
// queries on whatever tree it built.
#include "fuzzenv.h"
#include "xml/xmlparser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzenv::Responder();
    std::string text(reinterpret_cast<const char*>(data), size);
    if (!IsValidUtf8(text)) text = Cp1252ToUtf8(text);
    XMLParser parser;
    std::string lines = XMLParser::JoinLines(text);
    // The reader keeps eight bytes per element (each takes three bytes at
    // least) and an index of the closing tags, beside the text it is given:
    // more than three times the text is a reader that copies text per level
    // or keeps heavy nodes.
    XMLNode* root = nullptr;
    const size_t n = lines.size();
    fuzzenv::WithinHeap("the reader", n, 3 * static_cast<long long>(n) + (1 << 20),
                        [&] { root = parser.ParseText(std::move(lines)); });
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

// Window layout files for the tests: elements as the program writes them,
// and numbers read back from a written file.
#pragma once

#include <regex>
#include <string>

inline std::string LayoutElement(const std::string& name, int value) {
    return "    <" + name + ">" + std::to_string(value) + "</" + name + ">\r\n";
}
inline std::string LayoutMain(int left, int top, int width, int height, int state) {
    return "  <MAIN>\r\n" + LayoutElement("LEFT", left) + LayoutElement("TOP", top) + LayoutElement("WIDTH", width) +
           LayoutElement("HEIGHT", height) + LayoutElement("STATE", state) + "  </MAIN>\r\n\r\n";
}
// A World window converting `value` from currency `left` to `right`, at x, y.
inline std::string LayoutWorld(const std::string& value, int left, int right, int x, int y, int state = 0) {
    return "  <WINDOW>\r\n    <TYPE>World</TYPE>\r\n    <VALUE>" + value + "</VALUE>\r\n" +
           LayoutElement("LEFTSET", left) + LayoutElement("RIGHTSET", right) + LayoutElement("LEFT", x) +
           LayoutElement("TOP", y) + LayoutElement("WIDTH", -1) + LayoutElement("HEIGHT", -1) +
           LayoutElement("STATE", state) + "  </WINDOW>\r\n\r\n";
}
inline std::string LayoutFileText(const std::string& body) {
    return "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n<!--  This is a generated file. Do not edit. -->\r\n"
           "<WINDOWS>\r\n" +
           body + "</WINDOWS>\r\n";
}
// A number of the first `block` element (MAIN, WINDOW) of a written layout file.
inline int LayoutNumber(const std::string& file, const std::string& block, const std::string& name) {
    std::smatch m;
    std::regex re("<" + block + ">[\\s\\S]*?<" + name + ">(-?[0-9]+)</" + name + ">");
    return std::regex_search(file, m, re) ? std::stoi(m[1]) : -99999;
}

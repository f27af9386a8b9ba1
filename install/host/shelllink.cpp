#include "install/host/shelllink.h"

#include "SYS/files.h"
#include "SYS/textcodec.h"
#include "install/host/diskops.h"

#include <cstdio>

namespace host {

// A value of a desktop entry: line breaks and backslashes escaped.
static std::string EntryValue(const std::string& text) {
    std::string out;
    for (char c : sys::Cp1252ToUtf8(text)) {
        if (c == '\\') out += "\\\\";
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else out += c;
    }
    return out;
}

// One argument of the Exec key: always quoted, with the characters the format reserves escaped.
static std::string ExecArgument(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
        if (c == '%') out += '%';
        out += c;
    }
    return out + "\"";
}

static std::string StemOf(const std::string& name) {
    const size_t slash = name.find_last_of("\\/");
    std::string stem = slash == std::string::npos ? name : name.substr(slash + 1);
    const size_t dot = stem.rfind('.');
    if (dot != std::string::npos && dot > 0) stem.resize(dot);
    return stem;
}

std::string DesktopEntryText(const std::string& linkName, const ShellLink& link) {
    std::string exec = ExecArgument(sys::ResolvePath(link.target));
    std::string arguments;
    for (char c : link.arguments) arguments += c == '%' ? std::string("%%") : std::string(1, c);
    if (!arguments.empty()) exec += " " + arguments;
    std::string text = "[Desktop Entry]\nType=Application\nVersion=1.0\n";
    text += "Name=" + EntryValue(StemOf(linkName)) + "\n";
    if (!link.description.empty()) text += "Comment=" + EntryValue(link.description) + "\n";
    text += "Exec=" + EntryValue(exec) + "\n";
    if (!link.workingFolder.empty())
        text += "Path=" + EntryValue(sys::ResolvePath(link.workingFolder)) + "\n";
    if (!link.iconFile.empty()) text += "Icon=" + EntryValue(sys::ResolvePath(link.iconFile)) + "\n";
    text += "Terminal=false\n";
    return text;
}

bool WriteShellLink(FILE* file, const std::string& linkName, const ShellLink& link) {
    const std::string text = DesktopEntryText(linkName, link);
    if (std::fwrite(text.data(), 1, text.size(), file) != text.size()) return false;
    MarkExecutable(file);
    return true;
}

} // namespace host

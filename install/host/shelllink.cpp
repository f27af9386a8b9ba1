#include "install/host/shelllink.h"

#include "SYS/files.h"
#include "SYS/textcodec.h"
#include "install/host/diskops.h"

#include <cstdio>

namespace host {

// Desktop entries are UTF-8: host paths (from HOME and the XDG folders) already are, a
// script's own texts are Windows-1252.
static std::string Utf8(const std::string& text) {
    return sys::IsUtf8(text) ? text : sys::Cp1252ToUtf8(text);
}

// A value of a desktop entry: line breaks and backslashes escaped.
static std::string EntryValue(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
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
    std::string exec = ExecArgument(Utf8(sys::ResolvePath(link.target)));
    for (const std::string& argument : link.arguments) exec += " " + ExecArgument(Utf8(argument));
    std::string text = "[Desktop Entry]\nType=Application\nVersion=1.0\n";
    text += "Name=" + EntryValue(Utf8(StemOf(linkName))) + "\n";
    if (!link.description.empty()) text += "Comment=" + EntryValue(Utf8(link.description)) + "\n";
    text += "Exec=" + EntryValue(exec) + "\n";
    if (!link.workingFolder.empty())
        text += "Path=" + EntryValue(Utf8(sys::ResolvePath(link.workingFolder))) + "\n";
    if (!link.iconFile.empty())
        text += "Icon=" + EntryValue(Utf8(sys::ResolvePath(link.iconFile))) + "\n";
    text += "Terminal=false\nCategories=Game;\n";
    return text;
}

bool WriteShellLink(FILE* file, const std::string& linkName, const ShellLink& link) {
    const std::string text = DesktopEntryText(linkName, link);
    if (std::fwrite(text.data(), 1, text.size(), file) != text.size()) return false;
    MarkExecutable(file);
    return true;
}

} // namespace host

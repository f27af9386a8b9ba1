#include "install/expand.h"

#include "SYS/msgbox.h"
#include "install/messages.h"

#include <vector>

namespace inst {
namespace {

bool IsDelimiter(char c) {
    return c == '%' || c == '#';
}

// Text with a mark on the per-cent signs that came from empty references: they are literal and
// never open a reference in a later pass.
struct MarkedText {
    std::string text;
    std::vector<bool> literal;
    void Append(const std::string& s) {
        text += s;
        literal.resize(text.size(), false);
    }
    void AppendLiteral(const std::string& s) {
        text += s;
        literal.resize(text.size(), true);
    }
};

void ReportUnknown(InstallerApp& app, const std::string& name) {
    ShowMessageF(app, "MsgIntErrPrmNotFound", "MsgIntErrTitleScriptErr",
                 sys::MB_OK | sys::MB_ICONERROR, {name});
}

bool Resolve(InstallerApp& app, const std::string& name, std::string* value) {
    auto param = app.scriptParams.find(name);
    if (param != app.scriptParams.end()) {
        *value = param->second;
        return true;
    }
    auto variable = app.variables.find(name);
    if (variable == app.variables.end()) return false;
    *value = variable->second;
    app.scriptParams[name] = *value;
    return true;
}

bool IsMachineValue(const InstallerApp& app, const std::string& name, const std::string& value) {
    const auto machine = app.machineValues.find(name);
    return machine != app.machineValues.end() && machine->second == value;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// "~HH" names the byte HH.
bool EscapedByte(const std::string& name, char* byte) {
    if (name.size() != 3 || name[0] != '~') return false;
    const int high = HexDigit(name[1]), low = HexDigit(name[2]);
    if (high < 0 || low < 0) return false;
    *byte = static_cast<char>(high * 16 + low);
    return true;
}

// One scan; returns the number of references replaced by a value.
int ExpandPass(InstallerApp& app, const MarkedText& in, MarkedText* out, std::string* lastName,
               bool* failed, size_t limit) {
    int replaced = 0;
    size_t i = 0;
    const size_t n = in.text.size();
    while (i < n && out->text.size() <= limit) {
        if (!IsDelimiter(in.text[i]) || in.literal[i]) {
            out->text += in.text[i];
            out->literal.push_back(in.literal[i]);
            ++i;
            continue;
        }
        size_t close = i + 1;
        while (close < n && !(IsDelimiter(in.text[close]) && !in.literal[close])) ++close;
        if (close >= n) break; // an open reference drops the rest of the text
        const std::string name = in.text.substr(i + 1, close - i - 1);
        char byte;
        std::string value;
        if (name.empty()) {
            out->AppendLiteral("%");
        } else if (EscapedByte(name, &byte)) {
            out->AppendLiteral(std::string(1, byte));
        } else if (Resolve(app, name, &value)) {
            if (IsMachineValue(app, name, value)) {
                out->AppendLiteral(value);
            } else {
                out->Append(value);
                *lastName = name;
                ++replaced;
            }
        } else {
            ReportUnknown(app, name);
            *failed = true;
        }
        i = close + 1;
    }
    return replaced;
}

} // namespace

std::string ExpandText(InstallerApp& app, const std::string& text, bool* failed) {
    bool unused = false;
    if (!failed) failed = &unused;
    MarkedText current;
    current.Append(text);
    const size_t limit = text.size() + kMaxExpandedLength;
    for (int pass = 0; pass < kMaxExpandPasses; ++pass) {
        MarkedText next;
        std::string lastName;
        const int replaced = ExpandPass(app, current, &next, &lastName, failed, limit);
        current = std::move(next);
        if (replaced == 0) return current.text;
        if (current.text.size() > limit) {
            ReportUnknown(app, lastName);
            *failed = true;
            return std::string();
        }
    }
    // Still replacing after every pass allowed: a value refers to itself.
    ReportUnknown(app, text);
    *failed = true;
    return current.text;
}

} // namespace inst

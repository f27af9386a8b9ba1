#include "install/expand.h"

#include "SYS/msgbox.h"
#include "install/messages.h"

#include <vector>

namespace inst {
namespace {

bool IsDelimiter(char c) { return c == '%' || c == '#'; }

// Text with a mark on the per-cent signs that came from empty references: they are literal and
// never open a reference in a later pass.
struct MarkedText {
    std::string text;
    std::vector<bool> literal;
    void Append(const std::string& s) {
        text += s;
        literal.resize(text.size(), false);
    }
    void AppendLiteralPercent() {
        text += '%';
        literal.push_back(true);
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

// One scan; returns the number of references replaced by a value.
int ExpandPass(InstallerApp& app, const MarkedText& in, MarkedText* out, std::string* lastName) {
    int replaced = 0;
    size_t i = 0;
    const size_t n = in.text.size();
    while (i < n && out->text.size() <= kMaxExpandedLength) {
        if (!IsDelimiter(in.text[i]) || in.literal[i]) {
            out->text += in.text[i];
            out->literal.push_back(in.literal[i]);
            ++i;
            continue;
        }
        size_t close = i + 1;
        while (close < n && !(IsDelimiter(in.text[close]) && !in.literal[close])) ++close;
        if (close >= n) break;  // an open reference drops the rest of the text
        const std::string name = in.text.substr(i + 1, close - i - 1);
        if (name.empty()) {
            out->AppendLiteralPercent();
        } else {
            std::string value;
            if (Resolve(app, name, &value)) {
                out->Append(value);
                *lastName = name;
                ++replaced;
            } else {
                ReportUnknown(app, name);
            }
        }
        i = close + 1;
    }
    return replaced;
}

} // namespace

std::string ExpandText(InstallerApp& app, const std::string& text) {
    MarkedText current;
    current.Append(text);
    for (int pass = 0; pass < kMaxExpandPasses; ++pass) {
        MarkedText next;
        std::string lastName;
        const int replaced = ExpandPass(app, current, &next, &lastName);
        current = std::move(next);
        if (replaced == 0) return current.text;
        if (current.text.size() > kMaxExpandedLength) {
            ReportUnknown(app, lastName);
            return std::string();
        }
    }
    // Still replacing after every pass allowed: a value refers to itself.
    ReportUnknown(app, text);
    return current.text;
}

} // namespace inst

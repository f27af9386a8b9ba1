#include "install/messages.h"

#include "SYS/msgbox.h"
#include "install/expand.h"

namespace inst {

static const size_t kMessageBufferSize = 8192;

std::string MessageText(InstallerApp& app, const std::string& key) {
    std::string text;
    if (!app.strings.Lookup(key, &text)) return std::string();
    return ExpandText(app, text);
}

int ShowMessage(InstallerApp& app, const std::string& textKey, const std::string& titleKey,
                unsigned style) {
    return sys::MessageBox(MessageText(app, textKey), MessageText(app, titleKey), style);
}

std::string LocaliseText(InstallerApp& app, const std::string& templateText) {
    const size_t first = templateText.find_first_not_of(' ');
    const size_t last = templateText.find_last_not_of(' ');
    if (first != std::string::npos && last > first) {
        const char open = templateText[first], close = templateText[last];
        const bool delimited = (open == '%' || open == '#') && (close == '%' || close == '#');
        std::string text;
        if (delimited &&
            app.strings.Lookup(templateText.data() + first + 1, last - first - 1, &text))
            return ExpandText(app, text);
    }
    return ExpandText(app, templateText);
}

std::string FormatMessage(const std::string& format, const std::vector<std::string>& arguments) {
    std::string out;
    size_t next = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 's') {
            if (next < arguments.size()) out += arguments[next++];
            ++i;
        } else if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == '%') {
            out += '%';
            ++i;
        } else {
            out += format[i];
        }
        if (out.size() >= kMessageBufferSize - 1) {
            out.resize(kMessageBufferSize - 1);
            break;
        }
    }
    return out;
}

int ShowMessageF(InstallerApp& app, const std::string& textKey, const std::string& titleKey,
                 unsigned style, const std::vector<std::string>& arguments) {
    return sys::MessageBox(FormatMessage(MessageText(app, textKey), arguments),
                           MessageText(app, titleKey), style);
}

} // namespace inst

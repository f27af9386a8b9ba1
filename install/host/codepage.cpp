#include "install/host/codepage.h"

#include <cerrno>
#include <iconv.h>

namespace host {

static iconv_t OpenConverter(unsigned codePage) {
    const std::string name = "CP" + std::to_string(codePage);
    return iconv_open(name.c_str(), "UTF-16LE");
}

std::string Utf16ToCodePage(const unsigned char* data, size_t size, unsigned codePage,
                            bool* known) {
    iconv_t converter = OpenConverter(codePage);
    *known = converter != reinterpret_cast<iconv_t>(-1);
    if (!*known) converter = OpenConverter(1252);
    if (converter == reinterpret_cast<iconv_t>(-1)) return std::string();
    std::string out;
    size_t left = size & ~static_cast<size_t>(1);
    char* in = const_cast<char*>(reinterpret_cast<const char*>(data));
    char buffer[1024];
    while (left > 0) {
        char* target = buffer;
        size_t room = sizeof buffer;
        const size_t result = iconv(converter, &in, &left, &target, &room);
        out.append(buffer, static_cast<size_t>(target - buffer));
        if (result == static_cast<size_t>(-1) && errno != E2BIG) {
            // A character without a form in the code page, or a broken surrogate: one unit.
            out += '?';
            in += 2;
            left -= 2;
            iconv(converter, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(converter);
    return out;
}

} // namespace host

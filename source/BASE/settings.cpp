#include "BASE/settings.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "BASE/user_files.h"
#include "SYS/files.h"
#include "SYS/profile.h"
#include "SYS/textcodec.h"

namespace {

char g_iniBuffer[kIniBufferSize];
std::vector<std::string> g_bubbleSets;

// INI names are relative to the current folder (the game folder). Unlike Windows there is no
// 260-character limit: a cut path would read or, worse, write some other file.
std::string FullIniPath(const char* file) {
    std::string resolved = sys::ResolvePath(UserFilePath(file));
    if (!resolved.empty() && resolved[0] == '/') return resolved;
    return sys::GetCurrentFolder() + "/" + resolved;
}

constexpr const char* kCBlanks = " \t\n\v\f\r";

// Decimal exponent of the number's leading digit in `digits` (mantissa and optional exponent),
// used only to tell an overflow from an underflow.
long MagnitudeOf(std::string_view digits) {
    size_t exponentAt = digits.find_first_of("eE");
    long exponent =
        exponentAt == std::string_view::npos
            ? 0
            : std::strtol(std::string(digits.substr(exponentAt + 1)).c_str(), nullptr, 10);
    // The mantissa has at most the buffer's 1023 digits, so this bound keeps the sign exact.
    exponent = std::clamp(exponent, -100000L, 100000L);
    std::string_view mantissa = digits.substr(0, exponentAt);
    size_t point = mantissa.find('.');
    std::string_view whole = mantissa.substr(0, point);
    size_t firstDigit = whole.find_first_not_of('0');
    if (firstDigit != std::string_view::npos) return exponent + long(whole.size() - firstDigit);
    std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : mantissa.substr(point + 1);
    return exponent - long(fraction.find_first_not_of('0'));
}

// The original run-time's atof in the C locale whatever the user's locale: leading blanks, a
// sign, then as much of a decimal number as there is; no number reads as 0.0, a huge one as
// infinity. Like that run-time it knows no "inf", "nan" or hexadecimal forms, so no setting can
// become a NaN.
double LeadingFloat(const char* text) {
    text += std::strspn(text, kCBlanks);
    bool negative = *text == '-';
    if (*text == '-' || *text == '+') ++text;
    if (!std::isdigit(static_cast<unsigned char>(*text)) && *text != '.') return 0.0;
    double value = 0.0;
    std::from_chars_result result = std::from_chars(text, text + std::strlen(text), value);
    if (result.ec == std::errc::result_out_of_range) {
        std::string_view number(text, size_t(result.ptr - text));
        value = MagnitudeOf(number) > 0 ? HUGE_VAL : 0.0;
    }
    return negative ? -value : value;
}

// atoi: leading blanks, a sign and the leading digits; out-of-range values are held at the
// limits as the Windows run-time does (glibc's atoi leaves them undefined).
int LeadingInt(const char* text) {
    long value = std::strtol(text, nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return int(value);
}

} // namespace

const char* GetIniString(const char* file, const char* section, const char* key) {
    g_iniBuffer[0] = '\0';
    sys::GetPrivateProfileString(section, key, "", g_iniBuffer, sizeof g_iniBuffer,
                                 FullIniPath(file).c_str());
    return g_iniBuffer;
}

int GetIniInt(const char* file, const char* section, const char* key) {
    return LeadingInt(GetIniString(file, section, key));
}

float GetIniFloat(const char* file, const char* section, const char* key) {
    return float(LeadingFloat(GetIniString(file, section, key)));
}

void ReadIniString(std::string& target, const char* file, const char* section, const char* key) {
    target = GetIniString(file, section, key);
}

void WriteIniString(const char* file, const char* section, const char* key, const char* text) {
    sys::WritePrivateProfileString(section, key, text, FullIniPath(file).c_str());
}

void WriteIniInt(const char* file, const char* section, const char* key, int value) {
    WriteIniString(file, section, key, std::to_string(value).c_str());
}

// "%f" in the C locale: six decimals and a point, never a comma.
void WriteIniFloat(const char* file, const char* section, const char* key, float value) {
    char text[64];
    std::to_chars_result result =
        std::to_chars(text, text + sizeof text - 1, double(value), std::chars_format::fixed, 6);
    *result.ptr = '\0';
    WriteIniString(file, section, key, text);
}

const std::vector<std::string>& BubbleSets() {
    return g_bubbleSets;
}

void ScanBubbleSets() {
    g_bubbleSets.clear();
    for (const std::string& name : sys::FindFiles("DATA\\*.BUBBLE")) {
        if (sys::EqualIgnoringCase(name, "..")) continue;
        g_bubbleSets.push_back("DATA\\" + name);
    }
}

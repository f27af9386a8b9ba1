#include "install/requirements.h"

#include <algorithm>

#include "install/scriptline.h"
#include "SYS/textcodec.h"

namespace inst {
namespace {

struct ProcessorClass {
    const char* shortName;
    const char* longName;
    std::vector<const char*> acceptedNames;
};
const ProcessorClass kProcessors[kProcessorClasses] = {
    {"P", "Pentium", {"p"}},
    {"P2", "Pentium 2", {"p2", "pii"}},
    {"P3", "Pentium 3", {"p3", "piii"}},
    {"P4", "Pentium 4", {"p4", "piv"}},
    {"I64", "IA-64", {"i64"}},
};

struct System {
    const char* shortName; // null: the system has none
    const char* longName;
    const char* key;
};
const System kSystemTable[kSystems] = {
    {nullptr, "Windows NT 4.0", "ReqOsNT"}, {"Win95", "Windows 95", "ReqOs95"},
    {"Win98", "Windows 98", "ReqOs98"},     {"WinME", "Windows ME", "ReqOsME"},
    {"WinXP", "Windows XP", "ReqOsXP"},     {"Win2000", "Windows 2000", "ReqOs2k"},
};

const std::string* Find(const NameMap& map, const char* name) {
    auto it = map.find(name);
    return it == map.end() ? nullptr : &it->second;
}

void ReadInt(const NameMap& variables, const char* key, int* field) {
    if (const std::string* value = Find(variables, key)) *field = DecimalInt(*value);
}

std::string SystemNames(unsigned allowed, bool shortNames) {
    std::string names;
    for (int bit = 0; bit < kSystems; ++bit) {
        const char* name = shortNames ? kSystemTable[bit].shortName : kSystemTable[bit].longName;
        if (!(allowed & (1u << bit)) || !name) continue;
        if (!names.empty()) names += ", ";
        names += name;
    }
    return names;
}

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

// The replacement of the placeholder at text[i] (just after "%"), and how many characters it
// takes; an unknown placeholder is replaced by nothing.
std::string Placeholder(const std::string& text, size_t i, const Requirements& req, size_t* used) {
    const char first = i < text.size() ? Upper(text[i]) : '\0';
    const char rawSecond = i + 1 < text.size() ? text[i + 1] : '\0';
    const char second = Upper(rawSecond);
    *used = first ? 1 : 0;
    auto two = [&](std::string value) {
        if (rawSecond) *used = 2;
        return value;
    };
    switch (first) {
    case '%': return "%";
    case 'H': return std::to_string(req.diskMB);
    case 'M': return std::to_string(req.memoryMB);
    case 'D':
        if (second == '1') return two(std::to_string(req.dxMajor));
        if (second == '2') return two(std::to_string(req.dxMinor));
        return two("");
    case 'I':
        if (second == '1') return two(std::to_string(req.ieMajor));
        if (second == '2') return two(std::to_string(req.ieMinor));
        return two("");
    case 'O':
        if (second == 'L') return two(SystemNames(req.allowedSystems, false));
        if (second == 'S') return two(SystemNames(req.allowedSystems, true));
        return two("");
    case 'P':
        if (rawSecond == 'F') return two(std::to_string(req.processorMHz));
        if (second == 'S' || second == 'L')
            return two(
                kProcessors[std::clamp(req.processorClass, 0, kProcessorClasses - 1)].shortName);
        return two("");
    case 'V':
        if (second == 'M') return two(std::to_string(req.videoMB));
        if (second == '3') return two(req.video3D ? "1" : "0");
        return two("");
    default: return "";
    }
}

} // namespace

void ReadRequirementKeys(const NameMap& variables, Requirements* req) {
    req->allowedSystems = 0;
    for (int bit = 0; bit < kSystems; ++bit) {
        const std::string* value = Find(variables, kSystemTable[bit].key);
        if (!value || IsTrueText(*value)) req->allowedSystems |= 1u << bit;
    }
    if (const std::string* type = Find(variables, "ReqPType")) {
        for (int c = 0; c < kProcessorClasses; ++c)
            for (const char* name : kProcessors[c].acceptedNames)
                if (sys::EqualIgnoringCase(*type, name)) req->processorClass = c;
    }
    ReadInt(variables, "ReqPFreq", &req->processorMHz);
    ReadInt(variables, "ReqDx1", &req->dxMajor);
    ReadInt(variables, "ReqDx2", &req->dxMinor);
    ReadInt(variables, "ReqVideoMB", &req->videoMB);
    if (const std::string* value = Find(variables, "ReqVideo3D")) req->video3D = IsTrueText(*value);
    ReadInt(variables, "ReqMem", &req->memoryMB);
    ReadInt(variables, "ReqDiskMB", &req->diskMB);
    ReadInt(variables, "ReqIE1", &req->ieMajor);
    ReadInt(variables, "ReqIE2", &req->ieMinor);
}

bool CheckRequirement(int check, const Requirements& req, const SystemInfo& info) {
    switch (check) {
    case kCheckProc: return info.processorClass >= req.processorClass;
    case kCheckDx:
        return info.dxMajor > req.dxMajor ||
               (info.dxMajor == req.dxMajor && info.dxMinorWord >= req.dxMinor);
    case kCheckMem: return info.memoryMB > req.memoryMB;
    case kCheckOs:
        return (req.allowedSystems >> std::clamp(info.systemIndex, 0, kSystems - 1)) & 1u;
    case kCheckIE:
        return info.ieMajor > req.ieMajor ||
               (info.ieMajor == req.ieMajor && info.ieMinor >= req.ieMinor);
    case kCheckVideo: return info.videoMB >= req.videoMB && (!req.video3D || info.video3D);
    case kCheckDisk: return info.freeDiskMB >= req.diskMB;
    default: return true;
    }
}

bool AllRequirementsMet(const Requirements& req, const SystemInfo& info) {
    for (int check = 0; check < kRequirementChecks; ++check)
        if (!CheckRequirement(check, req, info)) return false;
    return true;
}

std::string FormatRequirement(const std::string& text, const Requirements& req) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        size_t used = 0;
        out += Placeholder(text, i + 1, req, &used);
        i += used;
    }
    return out;
}

std::vector<RequirementRow> RequirementRows(const Requirements& req) {
    // Our games draw through SDL, which stands in for DirectX; the desktop's web browser stands
    // in for Internet Explorer.
    constexpr const char* kGraphicsDownload = "https://www.libsdl.org/";
    constexpr const char* kBrowserDownload = "https://www.freedesktop.org/wiki/Software/xdg-utils/";
    return {
        {"SysReqTxtWantMem", kCheckMem, "sysReqHelpTitWantMem", "sysReqHelpTxtWantMem", false,
         nullptr},
        {"SysReqTxtWantProc", kCheckProc, "SysReqHelpTitProc", "SysReqHelpTxtProc", false, nullptr},
        {"SysReqTxtWantDx", kCheckDx, "SysReqHelpTitWantDx", "SysReqHelpTxtWantDx", true,
         kGraphicsDownload},
        {"SysReqTxtWantOs", kCheckOs, "SysReqHelpTitWantOs", "SysReqHelpTxtWantOs", false, nullptr},
        {"SysReqTxtWantIE", kCheckIE, "SysReqHelpTitWantIE", "SysReqHelpTxtWantIE", true,
         kBrowserDownload},
        {req.video3D ? "SysReqVideo3D" : "SysReqVideo", kCheckVideo, "SysReqHelpTitVideo",
         "SysReqHelpTxtVideo", false, nullptr},
        {"SysReqHDD", kCheckDisk, "SysReqHelpTitHDD", "SysReqHelpTxtHDD", false, nullptr},
    };
}

bool RequirementCheckSkipped(const InstallerApp& app) {
    const std::string* value = Find(app.scriptParams, "INST_PRM_CHECK_SYS_REQ");
    if (!value) value = Find(app.variables, "INST_PRM_CHECK_SYS_REQ");
    return value && !IsTrueText(*value);
}

} // namespace inst

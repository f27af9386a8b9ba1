// The game's minimum requirements from the package information ("Req..." keys), the seven
// comparisons with the measured machine, the rows of the requirement list and the placeholder
// language of their texts.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "install/app.h"

namespace inst {

enum RequirementCheck {
    kCheckProc,
    kCheckDx,
    kCheckMem,
    kCheckOs,
    kCheckIE,
    kCheckVideo,
    kCheckDisk
};
constexpr int kRequirementChecks = 7;

constexpr int kProcessorClasses = 5;
constexpr int kSystems = 6;
constexpr unsigned kAllSystems = (1u << kSystems) - 1;

struct Requirements {
    unsigned allowedSystems = kAllSystems; // bit n: system n of the system table
    int processorClass = 0;
    int processorMHz = 16;
    int dxMajor = 5, dxMinor = 0;
    int videoMB = 1;
    bool video3D = false;
    int memoryMB = 16;
    int diskMB = 1;
    int ieMajor = 5, ieMinor = 0;
};

// What the machine offers, as the host measured it.
struct SystemInfo {
    int processorClass = 0;
    int processorMHz = 0;
    int dxMajor = 0;
    int dxMinorWord = 0; // minor x 256 + the letter's place in the alphabet (a = 1)
    int videoMB = 0;
    bool video3D = false;
    int memoryMB = 0;
    int systemIndex = 5;
    int ieMajor = 0, ieMinor = 0;
    int64_t freeDiskMB = 0;
};

// Reads the "Req..." keys from the variables into req, each keeping its present value when absent.
void ReadRequirementKeys(const NameMap& variables, Requirements* req);

bool CheckRequirement(int check, const Requirements& req, const SystemInfo& info);
// The seven checks in order; false at the first that fails.
bool AllRequirementsMet(const Requirements& req, const SystemInfo& info);

// Replaces the placeholders (%M, %PS, %OL, ...) of a requirement text.
std::string FormatRequirement(const std::string& text, const Requirements& req);

struct RequirementRow {
    const char* textKey;
    int check;
    const char* helpTitleKey;
    const char* helpTextKey;
    bool askToDownload;          // the help box has OK and Cancel; OK opens downloadAddress
    const char* downloadAddress; // null for rows without a download page
};
// The rows of the list in display order (one video row: with or without 3D).
std::vector<RequirementRow> RequirementRows(const Requirements& req);

// True when INST_PRM_CHECK_SYS_REQ (script parameters first, then variables) exists and does
// not begin with "1": the wizard then skips the requirement list.
bool RequirementCheckSkipped(const InstallerApp& app);

} // namespace inst

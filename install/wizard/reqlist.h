// The rows of the requirement page's list and the help a double-click on one shows.
#pragma once
#include <string>
#include <vector>

#include "install/app.h"
#include "install/requirements.h"

namespace wiz {

struct RequirementLine {
    std::string text; // the row's table text with its placeholders filled in
    bool met;         // image 0 of bitmap 128 when met, image 1 when not
    inst::RequirementRow row;
};

std::vector<RequirementLine> RequirementLines(const inst::InstallerApp& app,
                                              const inst::Requirements& req,
                                              const inst::SystemInfo& info);

// A met row says so under its help title; a row that is not met explains itself, and a row
// with a download page opens it when the user answers OK.
void ShowRequirementHelp(const inst::InstallerApp& app, const RequirementLine& line);

} // namespace wiz

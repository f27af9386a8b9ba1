// File, folder and delayed-operation routines shared by the install commands; each change
// they make writes its undo line through the runner.
#pragma once
#include <cstdio>
#include <string>

#include "install/host/diskops.h"

namespace inst {

class ScriptRunner;

// Runs of '/' and '\' become one '\'; texts starting with "http:" are left alone.
std::string NormalizePath(const std::string& path);
// Creates every missing folder of the path; each writes "UnDirDel <folder> DelSub = 0". The
// first `known` characters name a folder that exists already and are not looked at again.
bool EnsureFolderPath(ScriptRunner& runner, const std::string& folder, size_t known = 0);

// A file being created or replaced. Its data goes to a temporary file beside the target that
// CommitTargetFile moves over it, so the target's name never shows a partly written file (an
// interrupted install leaves the old file, or none, and a re-run writes it again).
struct TargetFile {
    host::TempFile temp;
    std::string path; // as the script names it
    std::string hostPath;
    bool existed = false;
    bool allowStaging = false;
    FILE* handle() const { return temp.file; }
};
// Creates the file's folders (unless folderReady) and its temporary file; writes
// "UnFileDel <path>" whenever it returns a file, also for a file that was there already.
bool CreateTargetFile(ScriptRunner& runner, const std::string& path, bool allowStaging,
                      TargetFile* file, bool folderReady = false);
// Moves the written file into place: a target the host may not replace is refused; with
// staging allowed, a target that cannot be replaced now is replaced at the next start.
bool CommitTargetFile(ScriptRunner& runner, TargetFile* file);
void AbandonTargetFile(TargetFile* file);
bool DeleteFileOrDelay(ScriptRunner& runner, const std::string& path);
bool RemoveDirOrDelay(ScriptRunner& runner, const std::string& folder);
bool DelayedReplace(ScriptRunner& runner, const std::string& source, const std::string& target);
// Adds "left=right\r\n" right below "[Rename]" in a wininit.ini, adding the section when absent.
bool AddWininitEntry(const std::string& wininitPath, const std::string& left,
                     const std::string& right);

} // namespace inst

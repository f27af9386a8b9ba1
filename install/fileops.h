// File, folder and delayed-operation routines shared by the install commands; each change
// they make writes its undo line through the runner.
#pragma once
#include <cstdio>
#include <string>

namespace inst {

class ScriptRunner;

// Runs of '/' and '\' become one '\'; texts starting with "http:" are left alone.
std::string NormalizePath(const std::string& path);
// Creates every missing folder of the path; each writes "UnDirDel <folder> DelSub = 0".
bool EnsureFolderPath(ScriptRunner& runner, const std::string& folder);
// Opens the file for writing, creating it and its folders; writes "UnFileDel <path>" whenever
// it returns a handle. With staging allowed, a file that cannot be replaced now is written to a
// temporary file that replaces it at the next start. existed tells whether the file was there.
bool CreateTargetFile(ScriptRunner& runner, const std::string& path, bool allowStaging,
                      FILE** handle, bool* existed);
bool DeleteFileOrDelay(ScriptRunner& runner, const std::string& path);
bool RemoveDirOrDelay(ScriptRunner& runner, const std::string& folder);
bool DelayedReplace(ScriptRunner& runner, const std::string& source, const std::string& target);
// Adds "left=right\r\n" right below "[Rename]" in a wininit.ini, adding the section when absent.
bool AddWininitEntry(const std::string& wininitPath, const std::string& left,
                     const std::string& right);

} // namespace inst

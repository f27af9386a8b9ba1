// File and folder operations of the installer that never follow a symbolic link at the name
// they are given: a link is removed, replaced or listed as a link, and a tree is removed
// without ever leaving it. Names are host paths.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace host {

enum class EntryKind { kMissing, kFile, kFolder, kLink, kOther };

EntryKind KindOf(const std::string& hostPath);
// The last-write time of a regular file as a FILETIME; false for anything else.
bool LastWriteFileTime(const std::string& hostPath, uint64_t* fileTime);

// Removes a file, link or other non-folder; true when it is gone (or was never there).
bool RemoveEntry(const std::string& hostPath);
// Removes an empty folder, or a link standing where the folder was; true when it is gone.
bool RemoveEmptyFolder(const std::string& hostPath);
bool MakeFolder(const std::string& hostPath);

struct FolderEntry {
    std::string name;
    EntryKind kind;
};
// The entries of a folder (without "." and ".."); false when the name is not a folder itself.
bool ListFolder(const std::string& hostPath, std::vector<FolderEntry>* entries);
// Removes the folder and everything below it; links inside are removed as links. What could
// not be removed is listed in `left`, deepest first, with its kind.
void RemoveTree(const std::string& hostPath, std::vector<FolderEntry>* left);

// A file being written under a temporary name in its target's folder; Commit renames it over
// the target, so the target name never shows a partly written file.
struct TempFile {
    FILE* file = nullptr;
    std::string path;
};
// Creates "<folder>/<prefix>XXXXXX" exclusively.
bool CreateTempFile(const std::string& hostFolder, const char* prefix, TempFile* temp);
// Flushes and closes the temporary file; false when the data did not reach the disk.
bool CloseTempFile(TempFile* temp);
// Moves the closed temporary file to its target; a link at the target is replaced, never
// followed.
bool RenameOver(const std::string& fromHostPath, const std::string& toHostPath);
void DiscardTempFile(TempFile* temp);

bool SetFileTimes(FILE* file, uint64_t fileTime);
// Adds execute permission where the file can be read.
void MarkExecutable(FILE* file);
uint64_t FileSize(const std::string& hostPath);
bool TruncateFile(const std::string& hostPath, uint64_t size);

// The running program's own file.
std::string OwnExecutablePath(const char* fallback);

// FILETIME (100 ns ticks since 1601) and Unix seconds and nanoseconds.
uint64_t FileTimeFromUnix(int64_t seconds, long nanoseconds);
void UnixFromFileTime(uint64_t fileTime, int64_t* seconds, long* nanoseconds);

} // namespace host

#include "install/commands.h"

#include "SYS/files.h"
#include "SYS/msgbox.h"
#include "SYS/profile.h"
#include "install/cmdline.h"
#include "install/dxsetup.h"
#include "install/fileops.h"
#include "install/host/activex.h"
#include "install/host/exec.h"
#include "install/host/hostfile.h"
#include "install/host/registry.h"
#include "install/host/shelllink.h"
#include "install/messages.h"
#include "install/retry.h"
#include "install/script.h"
#include "install/variables.h"

#include "SYS/textcodec.h"
#include "install/host/guard.h"

#include <cstdlib>
#include <functional>
#include <vector>

namespace inst {
namespace {

using host::RegRoot;

bool ParseRoot(const std::string& name, RegRoot* root) {
    static const struct {
        const char* longName;
        const char* shortName;
        RegRoot root;
    } kRoots[] = {{"HKEY_CLASSES_ROOT", "HKCR", RegRoot::ClassesRoot},
                  {"HKEY_CURRENT_USER", "HKCU", RegRoot::CurrentUser},
                  {"HKEY_LOCAL_MACHINE", "HKLM", RegRoot::LocalMachine}};
    for (const auto& row : kRoots) {
        if (sys::EqualIgnoringCase(name, row.longName) ||
            sys::EqualIgnoringCase(name, row.shortName)) {
            *root = row.root;
            return true;
        }
    }
    return false;
}

std::vector<std::string> KeyNames(const std::string& path) {
    std::vector<std::string> names;
    std::string current;
    for (char c : path + "\\") {
        if (c != '/' && c != '\\') {
            current += c;
        } else if (!current.empty()) {
            names.push_back(current);
            current.clear();
        }
    }
    return names;
}

std::string JoinKey(const std::vector<std::string>& names, size_t count) {
    std::string path;
    for (size_t i = 0; i < count; ++i) path += (i ? "\\" : "") + names[i];
    return path;
}

// Creates the key level by level, logging each new level; then sets the value when it is
// missing or overwriting is allowed. nameFor picks the value name once the key exists.
bool SetRegistryValue(ScriptRunner& runner, const ScriptLine& line, const host::RegValue& value,
                      const std::function<std::string(RegRoot, const std::string&)>& nameFor) {
    const std::string& rootName = line.positional[0];
    RegRoot root;
    if (!ParseRoot(rootName, &root)) return false;
    const std::vector<std::string> names = KeyNames(line.positional[1]);
    for (size_t level = 1; level <= names.size(); ++level) {
        bool created = false;
        if (!host::RegCreateKey(root, JoinKey(names, level), &created)) return false;
        if (created)
            runner.WriteLogLine(
                {"UnRegPathDel", rootName, JoinKey(names, level), "DelSub", "=", "0"});
    }
    const std::string key = JoinKey(names, names.size());
    const std::string name = nameFor(root, key);
    host::RegValue existing;
    if (host::RegGetValue(root, key, name, &existing) && !ArgBool(line, "Owr", true)) return true;
    if (!host::RegSetValue(root, key, name, value)) return false;
    runner.WriteLogLine({"UnRegValDel", rootName, key, name});
    return true;
}

bool RegistryCommand(ScriptRunner& runner, const ScriptLine& line, const host::RegValue& value,
                     const std::function<std::string(RegRoot, const std::string&)>& nameFor) {
    return WithRetry(runner.app, "MsgUserErrRegOper", "MsgUserErrTitlePackage", "",
                     [&] { return SetRegistryValue(runner, line, value, nameFor); });
}

std::string FixedName(const ScriptLine& line) {
    return line.positional[2];
}

bool CmdRegSetStr(ScriptRunner& runner, const ScriptLine& line) {
    host::RegValue value;
    value.text = line.positional[3];
    return RegistryCommand(runner, line, value,
                           [&](RegRoot, const std::string&) { return FixedName(line); });
}

bool CmdRegSetDword(ScriptRunner& runner, const ScriptLine& line) {
    host::RegValue value;
    value.type = host::RegValue::Type::Dword;
    value.number = static_cast<uint32_t>(std::strtoul(line.positional[3].c_str(), nullptr, 10));
    return RegistryCommand(runner, line, value,
                           [&](RegRoot, const std::string&) { return FixedName(line); });
}

bool CmdRegMaskStrSet(ScriptRunner& runner, const ScriptLine& line) {
    host::RegValue value;
    value.text = line.positional[3];
    const std::string& mask = line.positional[2];
    return RegistryCommand(runner, line, value, [&](RegRoot root, const std::string& key) {
        host::RegValue existing;
        for (int counter = 0; counter <= 9999; ++counter) {
            const std::string name = mask + std::to_string(counter);
            if (!host::RegGetValue(root, key, name, &existing)) return name;
        }
        return mask;
    });
}

bool CmdUnRegValDel(ScriptRunner&, const ScriptLine& line) {
    RegRoot root;
    if (ParseRoot(line.positional[0], &root)) {
        const std::vector<std::string> names = KeyNames(line.positional[1]);
        host::RegDeleteValue(root, JoinKey(names, names.size()), line.positional[2]);
    }
    return true;
}

bool CmdUnRegPathDel(ScriptRunner&, const ScriptLine& line) {
    RegRoot root;
    if (!ParseRoot(line.positional[0], &root)) return true;
    const std::vector<std::string> names = KeyNames(line.positional[1]);
    const std::string key = JoinKey(names, names.size());
    if (ArgBool(line, "DelSub", false)) {
        host::RegDeleteTree(root, key);
        return true;
    }
    host::RegKeyInfo info;
    if (host::RegQueryKeyInfo(root, key, &info) && info.subkeys == 0 && info.namedValues == 0)
        host::RegDeleteKey(root, key);
    return true;
}

bool CmdInfValSet(ScriptRunner& runner, const ScriptLine& line) {
    const std::string file = NormalizePath(line.positional[0]);
    const std::string section = NormalizePath(line.positional[1]);
    const std::string& key = line.positional[2];
    const std::string& value = line.positional[3];
    return WithRetry(runner.app, "MsgUserErrIniOper", "MsgUserErrTitlePackage", file, [&] {
        // A file that was there before stays at uninstall; only the keys added are removed.
        if (!host::PathExists(file)) {
            TargetFile created;
            if (!CreateTargetFile(runner, file, false, &created) ||
                !CommitTargetFile(runner, &created))
                return false;
        } else if (!host::MayChange(host::HostPath(file))) {
            return false;
        }
        char current[1024];
        sys::GetPrivateProfileString(section.c_str(), key.c_str(), "", current, sizeof current,
                                     file.c_str());
        const bool wasEmpty = current[0] == '\0';
        if (!wasEmpty && !ArgBool(line, "Owr", true)) return true;
        if (!sys::WritePrivateProfileString(section.c_str(), key.c_str(), value.c_str(),
                                            file.c_str()))
            return false;
        if (wasEmpty) runner.WriteLogLine({"UnInfValDel", file, section, key});
        return true;
    });
}

bool CmdUnInfValDel(ScriptRunner&, const ScriptLine& line) {
    const std::string file = NormalizePath(line.positional[0]);
    if (host::PathExists(file) && host::MayChange(host::HostPath(file)))
        sys::WritePrivateProfileString(line.positional[1].c_str(), line.positional[2].c_str(),
                                       nullptr, file.c_str());
    return true;
}

bool CmdUnFileDel(ScriptRunner& runner, const ScriptLine& line) {
    DeleteFileOrDelay(runner, NormalizePath(line.positional[0]));
    return true;
}

// What the tree removal could not remove now goes to the delayed operations.
void DelayLeftovers(ScriptRunner& runner, const std::vector<host::FolderEntry>& left) {
    for (const host::FolderEntry& entry : left) {
        if (entry.kind == host::EntryKind::kFolder)
            RemoveDirOrDelay(runner, entry.name);
        else
            DeleteFileOrDelay(runner, entry.name);
    }
}

// Removal never leaves the folder it was asked to remove: a link, in it or in its place, is
// removed as a link and never followed.
bool CmdUnDirDel(ScriptRunner& runner, const ScriptLine& line) {
    std::string folder = NormalizePath(line.positional[0]);
    while (folder.size() > 1 && folder.back() == '\\') folder.pop_back();
    const std::string hostPath = host::HostPath(folder);
    const host::EntryKind kind = host::KindOf(hostPath);
    if (kind != host::EntryKind::kFolder && kind != host::EntryKind::kLink) return true;
    if (!host::MayChange(hostPath)) return true;
    if (kind == host::EntryKind::kLink) {
        RemoveDirOrDelay(runner, hostPath);
        return true;
    }
    if (ArgBool(line, "DelSub", false)) {
        std::vector<host::FolderEntry> left;
        host::RemoveTree(hostPath, &left);
        DelayLeftovers(runner, left);
        return true;
    }
    std::vector<host::FolderEntry> entries;
    if (!host::ListFolder(hostPath, &entries)) return true;
    for (const host::FolderEntry& entry : entries)
        if (entry.kind == host::EntryKind::kFolder) return true;
    for (const host::FolderEntry& entry : entries)
        DeleteFileOrDelay(runner, hostPath + "/" + entry.name);
    RemoveDirOrDelay(runner, hostPath);
    return true;
}

bool CmdActiveXReg(ScriptRunner& runner, const ScriptLine& line) {
    const std::string& library = line.positional[0];
    const bool ok =
        WithRetry(runner.app, "MsgUserErrActiveXReg", "MsgUserErrTitlePackage", library,
                  [&] { return host::CallRegistrationEntry(library, "DllRegisterServer"); });
    if (ok) runner.WriteLogLine({"ActiveXUnReg", library});
    return ok;
}

bool CmdActiveXUnReg(ScriptRunner&, const ScriptLine& line) {
    return host::CallRegistrationEntry(line.positional[0], "DllUnregisterServer");
}

host::ShellLink LinkFromLine(const ScriptLine& line, const std::string& target) {
    host::ShellLink link;
    link.target = target;
    link.description = ArgText(line, "Desk", "");
    link.iconFile = ArgText(line, "IconExe", "");
    link.iconIndex = ArgInt(line, "IconInd", 0);
    link.workingFolder = ArgText(line, "Dir", FolderOf(target));
    link.arguments = SplitCommandLine(ArgText(line, "Arg", ""));
    return link;
}

bool MakeOneLink(ScriptRunner& runner, const std::string& linkFile, const host::ShellLink& link) {
    TargetFile file;
    if (!CreateTargetFile(runner, linkFile, false, &file)) return false;
    if (!host::WriteShellLink(file.handle(), linkFile, link)) {
        AbandonTargetFile(&file);
        return false;
    }
    return CommitTargetFile(runner, &file);
}

bool CmdMakeLink(ScriptRunner& runner, const ScriptLine& line) {
    const std::string linkFile = NormalizePath(line.positional[0]);
    const host::ShellLink link = LinkFromLine(line, NormalizePath(line.positional[1]));
    return WithRetry(runner.app, "MsgUserErrLinkOper", "MsgUserErrTitlePackage", linkFile,
                     [&] { return MakeOneLink(runner, linkFile, link); });
}

bool CmdMakeLink2(ScriptRunner& runner, const ScriptLine& line) {
    const std::string name = NormalizePath(line.positional[2]);
    const host::ShellLink link = LinkFromLine(line, NormalizePath(line.positional[3]));
    return WithRetry(
        runner.app, "MsgUserErrLinkOper", "MsgUserErrTitlePackage", line.positional[2], [&] {
            for (size_t folder = 0; folder < 2; ++folder) {
                if (MakeOneLink(runner, NormalizePath(line.positional[folder] + "\\" + name), link))
                    return true;
            }
            return false;
        });
}

bool CmdShellExec(ScriptRunner& runner, const ScriptLine& line) {
    const std::string file = NormalizePath(line.positional[0]);
    const std::vector<std::string> arguments =
        SplitCommandLine(NormalizePath(ArgText(line, "Cmd", "")));
    const std::string folder = NormalizePath(ArgText(line, "Dir", FolderOf(file)));
    const bool wait = ArgBool(line, "WaitExit", false);
    const bool mustStart = ArgBool(line, "ErrorIfGailed", false);
    return WithRetry(runner.app, "MsgUserErrExecOper", "MsgUserErrTitlePackage", file, [&] {
        return host::StartProgram(file, arguments, folder, wait) || !mustStart;
    });
}

bool CmdDxSetup(ScriptRunner& runner, const ScriptLine& line) {
    const std::string folder =
        NormalizePath(ArgText(line, "Dir", runner.app.variables["INST_EXE_PATH"]));
    return RunDirectXSetup(runner, folder, ArgBool(line, "Silent", false),
                           ArgBool(line, "Lic", true));
}

bool CmdPrmSet(ScriptRunner& runner, const ScriptLine& line) {
    runner.app.scriptParams[line.positional[0]] = line.positional[1];
    return true;
}

bool CmdUnLogStart(ScriptRunner& runner, const ScriptLine&) {
    if (runner.HasLog()) runner.logging = true;
    return true;
}

bool CmdUnLogStop(ScriptRunner& runner, const ScriptLine&) {
    runner.logging = false;
    return true;
}

// Without a package there are no files to extract; the run is marked as having processed them.
bool CmdFilesProcess(ScriptRunner& runner, const ScriptLine& line) {
    runner.filesProcessed = true;
    if (!runner.extractFiles) return true;
    const std::string source = line.positional.size() > 0 ? line.positional[0] : std::string();
    const std::string destination = line.positional.size() > 1 ? line.positional[1] : std::string();
    return runner.extractFiles(source, destination, ArgBool(line, "Owr", true));
}

bool CmdLbExit(ScriptRunner&, const ScriptLine&) {
    return true;
}

const CommandEntry kCommands[] = {
    {"ActiveXReg", nullptr, CmdActiveXReg, 1, 1},
    {"InfValSet", nullptr, CmdInfValSet, 4, 1},
    {"UnInfValDel", nullptr, CmdUnInfValDel, 3, 1},
    {"DXSetup", "DirectXSetup", CmdDxSetup, 0, 1},
    {"MakeLink", nullptr, CmdMakeLink, 2, 1},
    {"MakeLink2", nullptr, CmdMakeLink2, 4, 1},
    {"RegSetStr", nullptr, CmdRegSetStr, 4, 1},
    {"RegSetDWORD", "RegSetDW", CmdRegSetDword, 4, 1},
    {"RegMaskStrSet", nullptr, CmdRegMaskStrSet, 4, 1},
    {"UnRegValDel", nullptr, CmdUnRegValDel, 3, 1},
    {"UnRegPathDel", nullptr, CmdUnRegPathDel, 2, 1},
    {"UnFileDel", nullptr, CmdUnFileDel, 1, 1},
    {"UnDirDel", nullptr, CmdUnDirDel, 1, 1},
    {"ActiveXUnReg", nullptr, CmdActiveXUnReg, 1, 1},
    {"PrmSet", nullptr, CmdPrmSet, 2, 0},
    {"UnLogStart", "UInstStart", CmdUnLogStart, 0, 2},
    {"UnLogStop", "UInstStop", CmdUnLogStop, 0, 2},
    {"FilesProcess", "StgProcess", CmdFilesProcess, 0, 1},
    {"LBExit", "LBStop", CmdLbExit, 0, 1},
    {"ShellExec", nullptr, CmdShellExec, 1, 1},
};

} // namespace

const CommandEntry* FindCommand(const std::string& word) {
    for (const CommandEntry& entry : kCommands) {
        if (sys::EqualIgnoringCase(word, entry.name) ||
            (entry.alias && sys::EqualIgnoringCase(word, entry.alias)))
            return &entry;
    }
    return nullptr;
}

} // namespace inst

#include "install/requirements.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "capable_machine.h"
#include "install/host/sysinfo.h"

namespace {

using namespace inst;

Requirements Read(const NameMap& variables) {
    Requirements req;
    ReadRequirementKeys(variables, &req);
    return req;
}

TEST(Requirements, AbsentKeysKeepTheDefaultsAndEverySystem) {
    const Requirements req = Read({});
    EXPECT_EQ(req.allowedSystems, kAllSystems);
    EXPECT_EQ(req.processorMHz, 16);
    EXPECT_EQ(req.dxMajor, 5);
    EXPECT_EQ(req.memoryMB, 16);
    EXPECT_TRUE(AllRequirementsMet(req, CapableMachine()));
}

TEST(Requirements, EachCheckAtItsBoundary) {
    const struct {
        const char* what;
        NameMap keys;
        void (*machine)(SystemInfo&);
        int check;
        bool met;
    } cases[] = {
        {"128 MB is not more than 128",
         {{"ReqMem", "128"}},
         [](SystemInfo& m) { m.memoryMB = 128; },
         kCheckMem,
         false},
        {"129 MB is",
         {{"ReqMem", "128"}},
         [](SystemInfo& m) { m.memoryMB = 129; },
         kCheckMem,
         true},
        {"9.0 on 9.0c",
         {{"ReqDx1", "9"}, {"ReqDx2", "0"}},
         [](SystemInfo& m) { m.dxMinorWord = 3; },
         kCheckDx,
         true},
        {"8.1 on 8.1",
         {{"ReqDx1", "8"}, {"ReqDx2", "1"}},
         [](SystemInfo& m) { m.dxMajor = 8, m.dxMinorWord = 256; },
         kCheckDx,
         true},
        {"a later major", {{"ReqDx1", "8"}, {"ReqDx2", "900"}}, [](SystemInfo&) {}, kCheckDx, true},
        {"no SDL: 0.0",
         {},
         [](SystemInfo& m) { m.dxMajor = 0, m.dxMinorWord = 0; },
         kCheckDx,
         false},
        {"NT refused on NT",
         {{"ReqOsNT", "0"}},
         [](SystemInfo& m) { m.systemIndex = 0; },
         kCheckOs,
         false},
        {"NT refused elsewhere", {{"ReqOsNT", "0"}}, [](SystemInfo&) {}, kCheckOs, true},
        {"later systems count as 2000",
         {{"ReqOs2k", "0"}},
         [](SystemInfo& m) { m.systemIndex = 9; },
         kCheckOs,
         false},
        {"PIII on a P3", {{"ReqPType", "PIII"}}, [](SystemInfo&) {}, kCheckProc, true},
        {"P4 on a P3", {{"ReqPType", "p4"}}, [](SystemInfo&) {}, kCheckProc, false},
        {"speed is not compared", {{"ReqPFreq", "5000"}}, [](SystemInfo&) {}, kCheckProc, true},
        {"3D needed, none there",
         {{"ReqVideo3D", "1"}},
         [](SystemInfo& m) { m.video3D = false; },
         kCheckVideo,
         false},
        {"video memory", {{"ReqVideoMB", "64"}}, [](SystemInfo&) {}, kCheckVideo, true},
        {"IE 6.0 on 6.0", {{"ReqIE1", "6"}}, [](SystemInfo&) {}, kCheckIE, true},
        {"no browser", {}, [](SystemInfo& m) { m.ieMajor = 0; }, kCheckIE, false},
        {"disk exactly enough", {{"ReqDiskMB", "1000"}}, [](SystemInfo&) {}, kCheckDisk, true},
        {"disk short", {{"ReqDiskMB", "1001"}}, [](SystemInfo&) {}, kCheckDisk, false},
    };
    for (const auto& c : cases) {
        SystemInfo machine = CapableMachine();
        c.machine(machine);
        const Requirements req = Read(c.keys);
        EXPECT_EQ(CheckRequirement(c.check, req, machine), c.met) << c.what;
        EXPECT_EQ(AllRequirementsMet(req, machine), c.met) << c.what;
    }
}

TEST(Requirements, ProcessorNamesIgnoreCaseAndUnknownOnesChangeNothing) {
    const struct {
        const char* name;
        int processorClass;
    } cases[] = {{"PIII", 2},   {"pii", 1}, {"P2", 1}, {"i64", 4},
                 {"Athlon", 0}, {"", 0},    {"P 3", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(Read({{"ReqPType", c.name}}).processorClass, c.processorClass) << c.name;
}

TEST(Requirements, GarbageValuesStayHarmless) {
    const Requirements req = Read(
        {{"ReqMem", "-1"}, {"ReqDx1", "99999999999"}, {"ReqDx2", "x"}, {"ReqDiskMB", "12abc"}});
    EXPECT_EQ(req.memoryMB, -1);
    EXPECT_EQ(req.dxMajor, 2147483647) << "held at the limit";
    EXPECT_EQ(req.dxMinor, 0) << "no digits give 0";
    EXPECT_EQ(req.diskMB, 12) << "non-digits end the number";
    EXPECT_TRUE(CheckRequirement(kCheckMem, req, CapableMachine()));
    EXPECT_FALSE(CheckRequirement(kCheckDx, req, CapableMachine()));
}

TEST(FormatRequirement, Placeholders) {
    Requirements req = Read({{"ReqOsNT", "0"},
                             {"ReqPType", "p3"},
                             {"ReqPFreq", "800"},
                             {"ReqMem", "64"},
                             {"ReqDx1", "8"},
                             {"ReqDx2", "1"},
                             {"ReqIE1", "5"},
                             {"ReqIE2", "5"},
                             {"ReqVideoMB", "16"},
                             {"ReqVideo3D", "1"},
                             {"ReqDiskMB", "150"}});
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {"CPU %PS-%PF MHz", "CPU P3-800 MHz"},
        {"%PL", "P3"},
        {"%Pf", ""}, // the F must be a capital
        {"%OS", "Win95, Win98, WinME, WinXP, Win2000"},
        {"%ol", "Windows 95, Windows 98, Windows ME, Windows XP, Windows 2000"},
        {"RAM %M Mb", "RAM 64 Mb"},
        {"DirectX %D1.%d2", "DirectX 8.1"},
        {"Internet Explorer %I1.%I2", "Internet Explorer 5.5"},
        {"%VM Mb, 3D %V3", "16 Mb, 3D 1"},
        {"%H", "150"},
        {"100%%", "100%"},
        {"a%Zb", "ab"},  // unknown: dropped
        {"a%Dxb", "ab"}, // unknown second character: dropped with it
        {"end %", "end "},
        {"end %D", "end "},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatRequirement(c.text, req), c.expected) << c.text;
    req.processorClass = 4;
    EXPECT_EQ(FormatRequirement("%PS", req), "I64");
}

TEST(RequirementRows, TheVideoRowFollowsThe3DRequirement) {
    for (bool need3D : {false, true}) {
        Requirements req;
        req.video3D = need3D;
        const auto rows = RequirementRows(req);
        ASSERT_EQ(rows.size(), 7u);
        EXPECT_STREQ(rows[5].textKey, need3D ? "SysReqVideo3D" : "SysReqVideo");
        EXPECT_EQ(rows[0].check, kCheckMem);
        EXPECT_TRUE(rows[2].askToDownload && rows[2].downloadAddress);
        EXPECT_TRUE(rows[4].askToDownload && rows[4].downloadAddress);
        EXPECT_FALSE(rows[6].askToDownload);
    }
}

TEST(RequirementRows, CheckIsSkippedOnlyForAValueNotStartingWithOne) {
    InstallerApp app;
    EXPECT_FALSE(RequirementCheckSkipped(app));
    app.variables["INST_PRM_CHECK_SYS_REQ"] = "1";
    EXPECT_FALSE(RequirementCheckSkipped(app));
    app.scriptParams["INST_PRM_CHECK_SYS_REQ"] = "0";
    EXPECT_TRUE(RequirementCheckSkipped(app)) << "script parameters come first";
}

TEST(MeasureSystem, ThisMachineGivesPlausibleValues) {
    const SystemInfo info = host::MeasureSystem("/tmp/reefpop-not-made-yet/Games");
    EXPECT_GE(info.processorClass, 0);
    EXPECT_LE(info.processorClass, 4);
#if defined(__x86_64__) || defined(__i386__)
    EXPECT_GT(info.processorMHz, 100);
#endif
    EXPECT_GT(info.memoryMB, 64);
    EXPECT_EQ(info.systemIndex, 5);
    EXPECT_GT(info.freeDiskMB, 0) << "measured on the nearest existing parent";
    EXPECT_EQ(info.freeDiskMB, host::FreeDiskMB("/tmp"));
}

} // namespace

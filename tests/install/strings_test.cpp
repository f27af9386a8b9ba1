#include "install/expand.h"
#include "install/messages.h"
#include "install/resources.h"
#include "install/stringtable.h"
#include "install_fixture.h"

#include <cstring>
#include <iterator>
#include <vector>

using inst::StringTable;

namespace {

const inst::ResourceData& Shipped() {
    static inst::ResourceData data;
    if (!data.data) {
        EXPECT_TRUE(inst::FindResource(121, "bin", &data));
    }
    return data;
}

uint32_t WordAt(const unsigned char* p, size_t at) {
    return p[at] | p[at + 1] << 8 | p[at + 2] << 16 | static_cast<uint32_t>(p[at + 3]) << 24;
}

TEST(StringTableFormat, ShippedLayout) {
    const inst::ResourceData& data = Shipped();
    ASSERT_GE(data.size, 24u);
    EXPECT_EQ(std::memcmp(data.data, "str2", 4), 0);
    EXPECT_EQ(WordAt(data.data, 4), 1u);
    EXPECT_EQ(WordAt(data.data, 8), 95u);
    EXPECT_EQ(WordAt(data.data, 12), 816u);
    EXPECT_EQ(WordAt(data.data, 16), 1u);
    EXPECT_EQ(WordAt(data.data, 20), 784u);
    EXPECT_STREQ(reinterpret_cast<const char*>(data.data + 784), "Eng");
    // Key order: length first, then ignoring case; the two small-"s" keys sit among the rest.
    std::vector<std::string> keys;
    for (size_t i = 0; i < 95; ++i)
        keys.emplace_back(reinterpret_cast<const char*>(data.data + WordAt(data.data, 24 + 8 * i)),
                          WordAt(data.data, 28 + 8 * i));
    static const char* const kOrder[] = {
        "BtnBack",
        "BtnNext",
        "BtnAgree",
        "BtnPrint",
        "BtnBrowse",
        "BtnCancel",
        "BtnFinish",
        "CopyTitle",
        "SysReqHDD",
        "AllOkTitle",
        "WelcomeDir",
        "BtnDisagree",
        "BtnSettings",
        "CrcCheckAll",
        "FailedTitle",
        "SettingsDir",
        "SysReqTitle",
        "SysReqVideo",
        "CopyProgCurr",
        "CopyWndTitle",
        "CrcCheckCurr",
        "LicenceTitle",
        "SysReqHelpOk",
        "WelcomeGroup",
        "WelcomeTitle",
        "AllOkWndTitle",
        "CopyProgTotal",
        "CrcCheckTitle",
        "DxSetQuestTit",
        "DxSetQuestTxt",
        "FailedSupport",
        "SettingsGroup",
        "SettingsTitle",
        "SysReqVideo3D",
        "DxSetErrFailed",
        "FailedWndTitle",
        "StrExitInstall",
        "SysReqWndTitle",
        "UnDlgInstTitle",
        "DxSetErrNoFiles",
        "LicenceWndTitle",
        "SysReqTxtWantDx",
        "SysReqTxtWantIE",
        "SysReqTxtWantOs",
        "WelcomeWndTitle",
        "SettingsWndTitle",
        "SysReqHelpTitHDD",
        "SysReqHelpTxtHDD",
        "SysReqTxtWantMem",
        "AllOkReStartTitle",
        "MsgIntErrPackRoot",
        "MsgUserErrIniOper",
        "MsgUserErrRegOper",
        "SysReqHelpTitProc",
        "SysReqHelpTxtProc",
        "SysReqTxtWantProc",
        "UnDlgInstAllTitle",
        "MsgUserErrExecOper",
        "MsgUserErrLinkOper",
        "MsgUserUnInstAllOk",
        "SysReqHelpTitVideo",
        "SysReqHelpTxtVideo",
        "AllOkStartGameCheck",
        "MsgUserErrDirCreate",
        "MsgUserUnInstGameOk",
        "StrExitInstallTitle",
        "SysReqHelpTitWantDx",
        "SysReqHelpTitWantIE",
        "SysReqHelpTitWantOs",
        "SysReqHelpTxtWantDx",
        "SysReqHelpTxtWantIE",
        "SysReqHelpTxtWantOs",
        "AllOkReStartWndTitle",
        "MsgIntErrCmdNotFound",
        "MsgIntErrPrmNotFound",
        "MsgUserErrActiveXReg",
        "MsgUserErrFileCreate",
        "MsgUserErrInstallCmd",
        "MsgUserUnInstAllText",
        "StrBrowseFolderTitle",
        "sysReqHelpTitWantMem",
        "sysReqHelpTxtWantMem",
        "UnDlgInstAllProgCurr",
        "MsgIntErrScriptSyntax",
        "MsgUserErrFileCorrupt",
        "MsgUserUnInstAllTitle",
        "MsgUserUnInstFailText",
        "MsgUserUnInstGameText",
        "UnDlgInstAllProgTotal",
        "MsgUserErrTitlePackage",
        "MsgUserUnInstFailTitle",
        "MsgUserUnInstGameTitle",
        "MsgIntErrTitleScriptErr",
        "MsgIntErrCmdCallNotValid",
        "AllOkReStartStartGameCheck",
    };
    ASSERT_EQ(keys.size(), std::size(kOrder));
    for (size_t i = 0; i < keys.size(); ++i) EXPECT_EQ(keys[i], kOrder[i]) << i;
}

TEST(StringTableFormat, Lookup) {
    StringTable table;
    ASSERT_TRUE(table.Load(Shipped().data, Shipped().size));
    const struct {
        const char* key;
        bool found;
        const char* text;
    } cases[] = {
        {"BtnNext", true, "Continue>"},
        {"btnnext", true, "Continue>"},
        {"BtnNex", false, ""},
        {"BtnNextt", false, ""},
        {"", false, ""},
        {"SYSREQHELPTITWANTMEM", true, "RAM"},
        {"MsgIntErrCmdNotFound", true, "script command \"%%s\" not found"},
        {"AllOkStartGameCheck", true, "Start \"%GNAME%\" "},
        {"AllOkReStartStartGameCheck", true, "restart your computer now"},
        {"MsgUserUnInstFailText", true, "Uninstall failed"},
    };
    for (const auto& c : cases) {
        std::string text;
        EXPECT_EQ(table.Lookup(c.key, &text), c.found) << c.key;
        if (c.found) {
            EXPECT_EQ(text, c.text) << c.key;
        }
    }
}

// Tables whose words point outside them are refused as a whole.
TEST(StringTableFormat, DamagedTablesAreRefused) {
    const std::vector<unsigned char> good(Shipped().data, Shipped().data + Shipped().size);
    auto poke = [](std::vector<unsigned char> bytes, size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<unsigned char>(value >> (8 * i));
        return bytes;
    };
    const struct {
        const char* what;
        std::vector<unsigned char> bytes;
    } cases[] = {
        {"empty", {}},
        {"short", std::vector<unsigned char>(good.begin(), good.begin() + 20)},
        {"magic", poke(good, 0, 0x33727473)},
        {"version", poke(good, 4, 2)},
        {"key count", poke(good, 8, 0x20000000)},
        {"text table", poke(good, 12, static_cast<uint32_t>(good.size() - 8))},
        {"key offset", poke(good, 24, static_cast<uint32_t>(good.size()))},
        {"key length", poke(good, 28, 0xFFFFFFF0u)},
        {"text offset", poke(good, 816 + 8 * 3, 0xFFFFFFFFu)},
        {"truncated", std::vector<unsigned char>(good.begin(), good.end() - 40)},
    };
    for (const auto& c : cases) {
        StringTable table;
        EXPECT_FALSE(table.Load(c.bytes.data(), c.bytes.size())) << c.what;
        std::string text;
        EXPECT_FALSE(table.Lookup("BtnNext", &text)) << c.what;
    }
}

TEST(Messages, FormatTakesOnlyStringPlaceholders) {
    const struct {
        const char* format;
        std::vector<std::string> arguments;
        const char* out;
    } cases[] = {
        {"script command \"%s\" not found", {"Foo"}, "script command \"Foo\" not found"},
        {"%s_%s", {"game", "7"}, "game_7"},
        {"%s and %s", {"one"}, "one and "},
        {"100%% %d %n %x", {"x"}, "100% %d %n %x"},
        {"end %", {}, "end %"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(inst::FormatMessage(c.format, c.arguments), c.out) << c.format;
    EXPECT_EQ(inst::FormatMessage("%s", {std::string(20000, 'a')}).size(), 8191u);
}

class MessageTest : public InstallerTest {};

TEST_F(MessageTest, TextsAreExpandedThenFormatted) {
    app.variables["GNAME"] = "Reefpop";
    EXPECT_EQ(inst::MessageText(app, "MsgUserUnInstGameText"),
              "Do you want to remove \"Reefpop\" from your computer?");
    EXPECT_EQ(inst::MessageText(app, "NoSuchKey"), "");
    inst::ShowMessageF(app, "MsgIntErrCmdNotFound", "MsgIntErrTitleScriptErr",
                       sys::MB_OK | sys::MB_ICONERROR, {"Foo"});
    inst::ShowMessageF(app, "MsgUserErrIniOper", "MsgUserErrTitlePackage", sys::MB_OK, {"a.ini"});
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "script command \"Foo\" not found");
    EXPECT_EQ(boxes[0].caption, "script error");
    EXPECT_EQ(boxes[1].text,
              "Ini-file \"a.ini\" cannot be created. Please login as Administrator.");
}

// Variable values reach the format; a per-cent sign in them must not make it read arguments.
TEST_F(MessageTest, PercentInVariableIsHarmless) {
    app.variables["GNAME"] = "50%%d %%s";
    EXPECT_EQ(inst::MessageText(app, "MsgUserUnInstGameOk"),
              "50%d %s successfully uninstalled from your computer.");
    inst::ShowMessageF(app, "MsgUserUnInstGameOk", "MsgUserUnInstGameTitle", sys::MB_OK, {});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "50%d  successfully uninstalled from your computer.");
}

} // namespace

namespace {

TEST_F(MessageTest, LocalisedControlTexts) {
    app.variables["GNAME"] = "Reefpop";
    const struct {
        const char* templateText;
        std::string shown;
    } cases[] = {
        {" %BtnNext% ", "Continue>"},
        {"#btnback#", "<Back"},
        {"%BtnNext#", "Continue>"},
        {"%GRP_GAMES%", "Zorvane"},
        {"%CopyTitle%", "Please wait while Reefpop is being installed on your PC"},
        {"Folder: %DIR_GAMES%", "Folder: " + app.variables["DIR_GAMES"]},
        {"%", ""},
        {"   ", "   "},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(inst::LocaliseText(app, c.templateText), c.shown) << c.templateText;
}

} // namespace

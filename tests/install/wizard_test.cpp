// The wizard driven through its real page windows (SDL's dummy video driver) with input posted
// to the window's queue, as a user's clicks and keys arrive.
#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include <sys/stat.h>

#include "install/host/hostfile.h"
#include "install/host/registry.h"
#include "install/host/restart.h"
#include "install/package/checkpackages.h"
#include "install/package/packagemode.h"
#include "install/package/packageinfo.h"
#include "install/progresswnd.h"
#include "install/ui/folderchooser.h"
#include "install/variables.h"
#include "install/wizard/dialogs.h"
#include "install/wizard/layout.h"
#include "install/wizard/procedures.h"
#include "install/wizard/wizardwindows.h"
#include "capable_machine.h"
#include "install_fixture.h"
#include "package_test_util.h"

namespace fs = std::filesystem;
using wiz::EndCode;

namespace {

void Post(unsigned message, sys::WPARAM wParam, sys::LPARAM lParam) {
    sys::PostMessage(message, wParam, lParam);
}
sys::LPARAM Point(int x, int y) {
    return sys::LPARAM((y << 16) | (x & 0xFFFF));
}
sys::LPARAM Centre(const ui::Control& control) {
    const sys::Rect& r = control.Rect();
    return Point((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}
void Click(ui::Page& page, int id) {
    ui::Control* control = page.Item(id);
    ASSERT_NE(control, nullptr) << id;
    ASSERT_TRUE(control->Visible()) << id;
    const sys::LPARAM at = Centre(*control);
    Post(sys::WM_MOUSEMOVE, 0, at);
    Post(sys::WM_LBUTTONDOWN, sys::MK_LBUTTON, at);
    Post(sys::WM_LBUTTONUP, 0, at);
}
void Key(unsigned virtualKey) {
    Post(sys::WM_KEYDOWN, virtualKey, 1);
    Post(sys::WM_KEYUP, virtualKey, sys::LPARAM(0xC0000001));
}
void Type(const std::string& text) {
    for (unsigned char c : text) Post(sys::WM_CHAR, c, 1);
}
// Replaces an edit field's text as a user does: click into it, Ctrl+A selects it all, typing
// replaces it.
void Retype(ui::Page& page, int id, const std::string& text) {
    const sys::LPARAM at = Centre(*page.Item(id));
    Post(sys::WM_LBUTTONDOWN, sys::MK_LBUTTON, at);
    Post(sys::WM_LBUTTONUP, 0, at);
    Post(sys::WM_KEYDOWN, sys::VK_CONTROL, 1);
    Key('A');
    Post(sys::WM_KEYUP, sys::VK_CONTROL, sys::LPARAM(0xC0000001));
    Type(text);
}
void DoubleClickRow(ui::Page& page, int row) {
    auto* list = page.ItemAs<ui::ListView>(wiz::kRequirementList);
    ASSERT_NE(list, nullptr);
    const sys::Rect& r = list->Rect();
    const sys::LPARAM at = Point(r.left + 30, r.top + (row - list->TopRow()) * list->RowHeight() +
                                                  list->RowHeight() / 2);
    Post(sys::WM_LBUTTONDOWN, sys::MK_LBUTTON, at);
    Post(sys::WM_LBUTTONUP, 0, at);
    Post(sys::WM_LBUTTONDBLCLK, sys::MK_LBUTTON, at);
    Post(sys::WM_LBUTTONUP, 0, at);
}

// What a test sees of one page while it runs and as it is left.
struct PageVisit {
    int page;
    int endCode = 0;
    std::vector<std::string> texts; // the visible controls' texts in tab order
    bool startBoxShown = false;
    int totalBar = -1, fileBar = -1;
    int licenceTopLine = -1;
};

// The real page windows, with a step of input posted as each page appears. When the steps run
// out, the window is closed, so a test that goes astray ends instead of waiting.
class ScriptedWizard : public wiz::WizardWindows {
public:
    using Step = std::function<void(ui::Page&)>;
    ScriptedWizard(wiz::WizardSession& session, std::vector<Step> steps)
        : WizardWindows(session), steps_(std::move(steps)) {}

    bool ShowPage(int page) override {
        if (!WizardWindows::ShowPage(page)) return false;
        PageVisit visit;
        visit.page = page;
        for (ui::Control* c : Window().Controls())
            if (c->Visible() && !c->Text().empty()) visit.texts.push_back(c->Text());
        auto* box = Window().ItemAs<ui::SkinCheck>(wiz::kStartGameCheck);
        visit.startBoxShown = box && box->Visible() && box->Checked();
        visits.push_back(visit);
        if (next_ < steps_.size())
            steps_[next_++](Window());
        else
            Post(sys::WM_CLOSE, 0, 0);
        return true;
    }
    void ClosePage(int page, int endCode) override {
        visits.back().endCode = endCode;
        if (auto* bar = Window().ItemAs<ui::ProgressBar>(1018)) visits.back().totalBar = bar->Pos();
        if (auto* bar = Window().ItemAs<ui::ProgressBar>(1019)) visits.back().fileBar = bar->Pos();
        if (auto* text = Window().ItemAs<ui::TextView>(wiz::kLicenceText))
            visits.back().licenceTopLine = text->TopLine();
        WizardWindows::ClosePage(page, endCode);
    }
    std::vector<int> Pages() const {
        std::vector<int> pages;
        for (const PageVisit& v : visits) pages.push_back(v.page);
        return pages;
    }
    std::vector<PageVisit> visits;

private:
    std::vector<Step> steps_;
    size_t next_ = 0;
};

bool Contains(const std::vector<std::string>& texts, const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

class WizardTest : public InstallerTest {
protected:
    void SetUp() override {
        InstallerTest::SetUp();
        host::SetRestartFunction([this] {
            ++restarts;
            return true;
        });
    }
    void TearDown() override {
        host::SetRestartFunction({});
        InstallerTest::TearDown();
    }
    // The installer with one game package appended: gameinfo lines, an install script, and a
    // games folder holding "Reef Pop/reefpop".
    void MakeSetup(const std::string& gameInfo, const std::string& script,
                   const std::string& licence = "Terms for %GNAME%.\n") {
        const std::string picture =
            ReadFile(std::string(REEFPOP_BINARY_DIR) + "/install/res/skin_package.png");
        const auto game = PkgContainer(
            {PkgFolder("~Info",
                       {PkgFile("gameinfo.inf", "GNAME=Reef Pop\r\n" + gameInfo),
                        PkgFile("Install.inf", script), PkgFile("InstallImg.png", picture, false),
                        PkgFile("Licence.txt", licence)}),
             PkgFolder(
                 "%DIR_GAMES%",
                 {PkgFolder("Reef Pop", {PkgFile("reefpop", std::string(300000, 'e'), false)})})});
        fs::create_directories(Home() + "/bin");
        WriteBytes(Home() + "/bin/install", {{'\x7f', 'E', 'L', 'F'}, game});
        app.exePath = Home() + "/bin/install";
        ASSERT_TRUE(pkg::CheckPackages(app, storage, pkg::PackageMode::kAppended, ""));
        ASSERT_TRUE(pkg::LoadPackageInfo(app, storage, &session.licence));
        inst::ReadRequirementKeys(app.variables, &session.requirements);
    }
    // A program that notes, in its working folder, that it was started.
    std::string Starter(const std::string& name) {
        const std::string path = Home() + "/progs/" + name;
        WriteFile(path, "#!/bin/sh\necho started > \"$(pwd)/" + name + ".ran\"\n");
        ::chmod(path.c_str(), 0755);
        return path;
    }
    static bool AppearsSoon(const std::string& path) {
        for (int i = 0; i < 500 && !fs::exists(path); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return fs::exists(path);
    }
    std::string GameFile() const {
        return host::HostPath(app.variables.at("DIR_GAMES") + "\\Reef Pop\\reefpop");
    }

    pkg::PackageStorage storage;
    wiz::WizardSession session{app, storage, {}, {}, CapableMachine()};
    int restarts = 0;
};

const auto kNext = [](ui::Page& p) { Click(p, EndCode::kEndNext); };
const auto kNothing = [](ui::Page&) {};

TEST_F(WizardTest, AMachineThatMeetsEverythingGoesStraightToTheLicenceAndInstalls) {
    MakeSetup("", "PrmSet GEXE \"" + Starter("game") + "\"\r\n");
    ScriptedWizard wizard(
        session,
        {
            kNext,                                              // welcome
            [](ui::Page&) { Key(sys::VK_RETURN); },             // licence: Enter is Agree
            kNothing,                                           // install runs by itself
            [](ui::Page& p) { Click(p, EndCode::kEndCancel); }, // done: Finish with the box ticked
        });
    EXPECT_EQ(wiz::RunWizard(wizard), wiz::kWizardOk);
    ASSERT_EQ(wizard.Pages(), (std::vector<int>{wiz::kPageWelcome, wiz::kPageLicence,
                                                wiz::kPageInstall, wiz::kPageDone}));
    EXPECT_TRUE(boxes.empty()) << boxes[0].text;
    const PageVisit& welcome = wizard.visits[0];
    EXPECT_TRUE(Contains(welcome.texts, "Continue>"));
    EXPECT_TRUE(Contains(welcome.texts, app.variables.at("DIR_GAMES")));
    EXPECT_TRUE(Contains(wizard.visits[1].texts, "Read License Agreement"));
    // Both bars followed the extraction of the one file, reported before each of its five
    // pieces: they end at the last piece's start, 262144 of 300000 bytes.
    const PageVisit& install = wizard.visits[2];
    EXPECT_EQ(install.endCode, EndCode::kEndNext);
    EXPECT_EQ(install.fileBar, 87);
    EXPECT_GE(install.totalBar, 80);
    EXPECT_LE(install.totalBar, 87);
    EXPECT_TRUE(fs::exists(GameFile()));
    EXPECT_TRUE(wizard.visits[3].startBoxShown);
    EXPECT_TRUE(AppearsSoon(Home() + "/progs/game.ran"));
    EXPECT_EQ(restarts, 0);
}

TEST_F(WizardTest, TheRequirementListGoesBackToWelcomeAndOnToTheLicence) {
    MakeSetup("ReqMem=128\r\nReqVideo3D=1\r\n", "");
    session.system.memoryMB = 128; // exactly the requirement: not enough
    ScriptedWizard wizard(
        session, {
                     kNext, [](ui::Page& p) { Click(p, EndCode::kEndBack); }, kNext,
                     [](ui::Page& p) {
                         DoubleClickRow(p, 0); // memory: not met
                         DoubleClickRow(p, 1); // processor: met
                         Click(p, EndCode::kEndNext);
                     },
                     [](ui::Page& p) { Click(p, EndCode::kEndCancel); }, // licence: Disagree
                     [](ui::Page& p) { Click(p, EndCode::kEndCancel); }, // failed: Finish
                 });
    EXPECT_EQ(wiz::RunWizard(wizard), wiz::kWizardFailed);
    EXPECT_EQ(wizard.Pages(),
              (std::vector<int>{wiz::kPageWelcome, wiz::kPageRequirements, wiz::kPageWelcome,
                                wiz::kPageRequirements, wiz::kPageLicence, wiz::kPageFailed}));
    // Two help boxes and no question: Disagree does not ask.
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].caption, "RAM");
    EXPECT_NE(boxes[0].text.find("less memory"), std::string::npos);
    EXPECT_EQ(boxes[1].caption, "CPU");
    EXPECT_EQ(boxes[1].text, "This item is working properly.");
    EXPECT_FALSE(fs::exists(GameFile()));
}

TEST_F(WizardTest, RequirementRowsShowWhatIsMetAndWhatIsNot) {
    MakeSetup("ReqMem=128\r\nReqVideo3D=1\r\nReqPType=PIII\r\nReqPFreq=800\r\n", "");
    session.system.memoryMB = 129;
    session.system.processorClass = 0;
    std::vector<std::string> rows;
    std::vector<int> images;
    ScriptedWizard wizard(
        session, {
                     kNext,
                     [&](ui::Page& p) {
                         auto* list = p.ItemAs<ui::ListView>(wiz::kRequirementList);
                         for (int r = 0; r < list->RowCount(); ++r) {
                             rows.push_back(list->RowText(r));
                             images.push_back(list->RowImage(r));
                         }
                         EXPECT_LT(list->ColumnWidth(), list->Rect().right - list->Rect().left);
                         Click(p, EndCode::kEndCancel); // not asked here
                     },
                     [](ui::Page& p) { Click(p, EndCode::kEndCancel); },
                 });
    EXPECT_EQ(wiz::RunWizard(wizard), wiz::kWizardFailed);
    EXPECT_EQ(rows,
              (std::vector<std::string>{
                  "RAM 128 Mb", "CPU P3-800 MHz", "DirectX 5.0",
                  "Operating System Win95, Win98, WinME, WinXP, Win2000", "Internet Explorer 5.0",
                  "Graphic Card 1 Mb with 3D accelerator", "Free Hard Disk Space 1"}));
    EXPECT_EQ(images, (std::vector<int>{0, 1, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(WizardTest, SettingsBackStoresTheFieldsAndCancelAsksFirst) {
    MakeSetup("", "");
    const std::string folder = Home() + "/My Games";
    ScriptedWizard wizard(session,
                          {
                              [](ui::Page& p) { Click(p, EndCode::kEndSettings); },
                              [&](ui::Page& p) {
                                  EXPECT_EQ(p.Item(wiz::kGroupEdit)->Text(), "Zorvane");
                                  Retype(p, wiz::kFolderEdit, folder);
                                  Retype(p, wiz::kGroupEdit, "Reef");
                                  Click(p, EndCode::kEndBack);
                              },
                              [&](ui::Page& p) {
                                  Click(p, EndCode::kEndCancel); // answered No: the page stays
                                  Key(sys::VK_ESCAPE);           // answered Yes
                              },
                              [](ui::Page& p) { Click(p, EndCode::kEndCancel); },
                          });
    answers = {sys::IDNO, sys::IDYES};
    EXPECT_EQ(wiz::RunWizard(wizard), wiz::kWizardFailed);
    EXPECT_EQ(wizard.Pages(), (std::vector<int>{wiz::kPageWelcome, wiz::kPageSettings,
                                                wiz::kPageWelcome, wiz::kPageFailed}));
    EXPECT_TRUE(Contains(wizard.visits[2].texts, folder));
    EXPECT_TRUE(Contains(wizard.visits[2].texts, "Reef"));
    for (const inst::NameMap* map : {&app.variables, &app.scriptParams}) {
        EXPECT_EQ(map->at("DIR_GAMES"), folder);
        EXPECT_EQ(map->at("GRP_GAMES"), "Reef");
    }
    std::string stored;
    ASSERT_TRUE(
        host::RegGetText(host::RegRoot::LocalMachine, inst::kMakerKey, "GGamesDir", &stored));
    EXPECT_EQ(stored, folder);
    ASSERT_TRUE(
        host::RegGetText(host::RegRoot::LocalMachine, inst::kMakerKey, "GGamesGroup", &stored));
    EXPECT_EQ(stored, "Reef");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].caption, "Cancel installation?");
    EXPECT_EQ(boxes[0].type, sys::MB_YESNO | sys::MB_ICONQUESTION | sys::MB_DEFBUTTON2);
}

// An empty or relative folder would put the game below the root or the current folder.
TEST_F(WizardTest, SettingsRefuseAFolderThatIsNotAFullPath) {
    MakeSetup("", "");
    const std::string before = app.variables.at("DIR_GAMES");
    ScriptedWizard wizard(session, {
                                       [](ui::Page& p) { Click(p, EndCode::kEndSettings); },
                                       [&](ui::Page& p) {
                                           Retype(p, wiz::kFolderEdit, " ");
                                           Click(p, EndCode::kEndNext);
                                           Retype(p, wiz::kFolderEdit, "Games");
                                           Click(p, EndCode::kEndBack);
                                           Retype(p, wiz::kFolderEdit, Home() + "/Games");
                                           Click(p, EndCode::kEndBack);
                                       },
                                       [](ui::Page& p) { Click(p, EndCode::kEndCancel); },
                                       [](ui::Page& p) { Click(p, EndCode::kEndCancel); },
                                   });
    EXPECT_EQ(wiz::RunWizard(wizard), wiz::kWizardFailed);
    EXPECT_EQ(wizard.Pages(), (std::vector<int>{wiz::kPageWelcome, wiz::kPageSettings,
                                                wiz::kPageWelcome, wiz::kPageFailed}));
    ASSERT_GE(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "The folder \" \" cannot be created. Please use the right path.");
    EXPECT_EQ(boxes[1].text, "The folder \"Games\" cannot be created. Please use the right path.");
    EXPECT_EQ(app.variables.at("DIR_GAMES"), Home() + "/Games");
    EXPECT_NE(before, Home() + "/Games");
}

TEST_F(WizardTest, BrowsePutsTheChosenFolderIntoTheField) {
    MakeSetup("", "");
    fs::create_directories(Home() + "/Games/Reef");
    ui::SetFolderChooserKind(ui::FolderChooserKind::Own);
    ScriptedWizard wizard(
        session, {
                     [](ui::Page& p) { Click(p, EndCode::kEndSettings); },
                     [&](ui::Page& p) {
                         Retype(p, wiz::kFolderEdit, Home() + "/Games/Reef");
                         Click(p, EndCode::kEndBrowse);
                         Key(sys::VK_RETURN); // the chooser's OK takes the folder it opened at
                         Click(p, EndCode::kEndNext);
                     },
                     [](ui::Page& p) { Click(p, EndCode::kEndCancel); },
                     [](ui::Page& p) { Click(p, EndCode::kEndCancel); },
                 });
    EXPECT_EQ(wiz::RunWizard(wizard), wiz::kWizardFailed);
    EXPECT_EQ(wizard.Pages(), (std::vector<int>{wiz::kPageWelcome, wiz::kPageSettings,
                                                wiz::kPageLicence, wiz::kPageFailed}));
    EXPECT_EQ(app.variables.at("DIR_GAMES"), Home() + "/Games/Reef");
    ui::SetFolderChooserKind(ui::FolderChooserKind::Desktop);
}

TEST_F(WizardTest, ARestartRequestEndsOnTheRestartPage) {
    const std::string dx = Home() + "/dx";
    fs::create_directories(dx);
    fs::copy_file(std::string(REEFPOP_BINARY_DIR) + "/install/DSETUP.dll", dx + "/DSETUP.dll");
    WriteFile(dx + "/restart", "");
    MakeSetup("", "DXSetup Silent=1 Dir=" + WinPath("dx") + "\r\n");
    for (bool leaveTicked : {true, false}) {
        app.flags &= ~inst::kRebootPending;
        restarts = 0;
        ScriptedWizard wizard(session, {
                                           kNext,
                                           [](ui::Page& p) { Click(p, EndCode::kEndAgree); },
                                           kNothing,
                                           [&](ui::Page& p) {
                                               if (!leaveTicked) Click(p, wiz::kRestartCheck);
                                               Click(p, EndCode::kEndCancel);
                                           },
                                       });
        EXPECT_EQ(wiz::RunWizard(wizard), wiz::kWizardOk);
        EXPECT_EQ(wizard.Pages().back(), wiz::kPageRestart) << leaveTicked;
        EXPECT_EQ(restarts, leaveTicked ? 1 : 0);
    }
}

TEST_F(WizardTest, WithoutGexeTheDonePageStartsTheGamePlayer) {
    app.variables["LB_EXE"] = Starter("lobby");
    MakeSetup("", "PrmSet Seen \"%LB_EXE%\"\r\n");
    ScriptedWizard wizard(
        session, {
                     kNext,
                     [](ui::Page& p) { Click(p, EndCode::kEndAgree); },
                     kNothing,
                     [](ui::Page& p) {
                         EXPECT_EQ(p.ItemAs<ui::SkinCheck>(wiz::kStartGameCheck)->Visible(), false);
                         Click(p, EndCode::kEndCancel);
                     },
                 });
    EXPECT_EQ(wiz::RunWizard(wizard), wiz::kWizardOk);
    EXPECT_EQ(wizard.Pages().back(), wiz::kPageDone);
    EXPECT_FALSE(wizard.visits.back().startBoxShown);
    EXPECT_TRUE(AppearsSoon(Home() + "/progs/lobby.ran"));
}

TEST_F(WizardTest, CancelDuringTheInstallUndoesItAndFails) {
    MakeSetup("", "");
    ScriptedWizard wizard(session,
                          {
                              kNext,
                              [](ui::Page& p) { Click(p, EndCode::kEndAgree); },
                              [](ui::Page& p) { Click(p, EndCode::kEndCancel); }, // answered Yes
                              [](ui::Page& p) { Click(p, EndCode::kEndCancel); },
                          });
    EXPECT_EQ(wiz::RunWizard(wizard), wiz::kWizardFailed);
    EXPECT_EQ(wizard.Pages(), (std::vector<int>{wiz::kPageWelcome, wiz::kPageLicence,
                                                wiz::kPageInstall, wiz::kPageFailed}));
    EXPECT_FALSE(fs::exists(GameFile()));
}

// Ten megabytes of every byte value but NUL, then a NUL: the page shows what comes before it.
TEST_F(WizardTest, AHugeLicenceWithOddBytesIsShownUpToItsFirstNul) {
    std::string licence;
    for (int i = 0; licence.size() < 10u * 1024 * 1024; ++i) {
        licence += "Clause " + std::to_string(i) + ": ";
        for (int b = 1; b < 256; b += 7) licence += char(b);
        licence += "\r\n";
    }
    licence += std::string("\0after the end\n", 15);
    MakeSetup("", "", licence);
    int lines = 0;
    ScriptedWizard wizard(session, {
                                       kNext,
                                       [&](ui::Page& p) {
                                           auto* text = p.ItemAs<ui::TextView>(wiz::kLicenceText);
                                           lines = text->LineCount();
                                           const sys::LPARAM at = Centre(*text);
                                           Post(sys::WM_MOUSEMOVE, 0, at);
                                           Post(sys::WM_MOUSEWHEEL,
                                                sys::WPARAM(uint32_t(-120) << 16),
                                                at);                      // one notch down
                                           Click(p, EndCode::kEndCancel); // Disagree
                                       },
                                       [](ui::Page& p) { Click(p, EndCode::kEndCancel); },
                                   });
    EXPECT_EQ(wiz::RunWizard(wizard), wiz::kWizardFailed);
    EXPECT_EQ(wizard.visits[1].licenceTopLine, 3);
    EXPECT_GT(lines, 100000);
    EXPECT_EQ(session.licence.find("after the end"), std::string::npos);
}

TEST_F(WizardTest, APageWindowThatCannotBeMadeEndsWithFour) {
    MakeSetup("", "");
    inst::ProgressWindow other;
    if (!other.Open(session.app, inst::kUninstallDialog))
        GTEST_SKIP() << "no window can be opened here";
    ScriptedWizard wizard(session, {});
    EXPECT_EQ(wiz::RunWizard(wizard), wiz::kWizardNoWindow);
    EXPECT_TRUE(wizard.visits.empty());
}

// Without a desktop (and no driver asked for) the package modes end with 4 instead of waiting
// on a screen nobody sees.
TEST_F(WizardTest, WithoutADesktopThePackageModeEndsWithFour) {
    MakeSetup("", "");
    std::vector<std::pair<const char*, std::string>> saved;
    for (const char* name : {"SDL_VIDEODRIVER", "DISPLAY", "WAYLAND_DISPLAY"}) {
        if (const char* value = std::getenv(name)) saved.emplace_back(name, value);
        ::unsetenv(name);
    }
    pkg::LoadedPackages() = pkg::PackageStorage();
    ASSERT_TRUE(pkg::CheckModePackages(app, 0, ""));
    EXPECT_EQ(pkg::WizardInstallModePackages(app, 0), wiz::kWizardNoWindow);
    pkg::LoadedPackages() = pkg::PackageStorage();
    for (const auto& [name, value] : saved) ::setenv(name, value.c_str(), 1);
    EXPECT_FALSE(fs::exists(GameFile()));
}

// Every page: the window has the background's size, push buttons sit where their faces say,
// the other controls inside the page, and texts are localised.
TEST_F(WizardTest, PagesAreBuiltFromTheirTemplatesAtTheSkinsSize) {
    MakeSetup("", "");
    app.scriptParams["GEXE"] = "x";
    wiz::WizardWindows windows(session);
    for (int page = 0; page < wiz::kPageCount; ++page) {
        ASSERT_TRUE(windows.ShowPage(page)) << page;
        ui::Page& w = windows.Window();
        EXPECT_EQ(w.Width(), 381);
        EXPECT_EQ(w.Height(), 359);
        for (ui::Control* c : w.Controls()) {
            if (!c->Visible()) continue;
            const sys::Rect& r = c->Rect();
            EXPECT_GE(r.left, 0);
            EXPECT_LE(r.right, 381);
            EXPECT_LE(r.bottom, 359);
            EXPECT_EQ(c->Text().find('%'), std::string::npos) << page << ": " << c->Text();
            if (dynamic_cast<ui::SkinButton*>(c)) {
                const int frame = wiz::ButtonFaceFrame(c->Id(), false);
                const wiz::Box face = wiz::FrameBox(app.skin.buttonFrames[size_t(frame)], 0, 0);
                EXPECT_EQ(r.left, face.x);
                EXPECT_EQ(r.top, face.y);
                EXPECT_EQ(r.right - r.left, face.width);
            }
        }
        EXPECT_EQ(w.Item(1000)->Visible(), false); // the picture placeholder
        // The package picture is drawn at (17, 102) over the background.
        w.Redraw();
        EXPECT_EQ(w.Pixels().At(17 + 58, 102 + 44), app.skin.package.pixels[44 * 116 + 58]) << page;
        windows.ClosePage(page, 0);
    }
}

} // namespace

#include "install/ui/folderchooser.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "SYS/msgbox.h"
#include "SYS/textcodec.h"
#include "install/host/hostfile.h"
#include "install/host/programoutput.h"
#include "install/ui/page.h"

namespace ui {
namespace {

namespace fs = std::filesystem;

FolderChooserKind gKind = FolderChooserKind::Desktop;

// The folder list's own window when no page is open.
constexpr int kOwnWidth = 381, kOwnHeight = 359;
constexpr int kUp = 1001, kOpen = 1002, kOk = 1;

bool IsFolder(const fs::path& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

// The folder to start in: the start folder or its nearest existing parent, else HOME, else "/".
fs::path StartingPoint(const std::string& startFolder) {
    std::string host = startFolder.empty() ? std::string() : host::HostPath(startFolder);
    fs::path path = host.empty() ? fs::path() : fs::path(host);
    std::error_code error;
    if (!path.empty() && path.is_relative()) path = fs::absolute(path, error);
    while (!path.empty() && !IsFolder(path)) {
        const fs::path parent = path.parent_path();
        if (parent == path) break;
        path = parent;
    }
    if (!path.empty() && IsFolder(path)) return path.lexically_normal();
    const char* home = std::getenv("HOME");
    if (home && IsFolder(home)) return fs::path(home);
    return fs::path("/");
}

std::string WithoutTrailingSeparator(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// The answer of zenity or kdialog: the folder, nothing when cancelled. `ran` says whether one
// of them answered at all.
std::optional<std::string> AskDesktop(const std::string& title, const fs::path& start, bool* ran) {
    *ran = false;
    const std::string utf8Title = sys::Cp1252ToUtf8(title);
    std::vector<std::string> argv;
    if (host::OnPath("zenity"))
        argv = {"zenity", "--file-selection", "--directory", "--title=" + utf8Title,
                "--filename=" + start.string() + "/"};
    else if (host::OnPath("kdialog"))
        argv = {"kdialog", "--title", utf8Title, "--getexistingdirectory", start.string()};
    else
        return std::nullopt;
    std::string output;
    int exitCode = 0;
    if (!host::RunForOutput(argv, &output, &exitCode)) return std::nullopt;
    // Both answer 1 for Cancel; anything else (no display, a crash) leaves the choice to us.
    if (exitCode == 1) {
        *ran = true;
        return std::nullopt;
    }
    if (exitCode != 0) return std::nullopt;
    while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) output.pop_back();
    if (output.empty() || output.front() != '/') return std::nullopt;
    *ran = true;
    return WithoutTrailingSeparator(output);
}

// Sub-folders of `folder`, hidden ones left out, sorted as the installer sorts names.
std::vector<std::string> SubFolders(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, error),
         end;
         !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.empty() || name.front() == '.') continue;
        if (IsFolder(it->path())) names.push_back(name);
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return sys::LessIgnoringCase(a, b);
    });
    return names;
}

// The folder list drawn in the page: the current folder above, its sub-folders in a list,
// Up / Open / OK / Cancel below.
class OwnChooser {
public:
    OwnChooser(const std::string& title, fs::path start)
        : title_(title), folder_(std::move(start)) {}

    void Build(Page& page) {
        page.SetCaption(title_);
        const int w = page.Width(), h = page.Height();
        const int buttonTop = h - 32, buttonWidth = 70, gap = 8;
        path_ = page.AddStatic(0, "", {10, 8, w - 10, 24}, TextAlign::Left, true);
        list_ = page.AddListView(1000, {10, 28, w - 10, buttonTop - 8});
        int x = w - 10 - 4 * buttonWidth - 3 * gap;
        for (auto [id, text] : {std::pair<int, const char*>{kUp, "Up"},
                                {kOpen, "Open"},
                                {kOk, "OK"},
                                {2, "Cancel"}}) {
            page.AddPlainButton(id, text, {x, buttonTop, x + buttonWidth, buttonTop + 23});
            x += buttonWidth + gap;
        }
        page.SetDefaultButton(kOpen);
        page.SetCommandHandler(
            [this](Page& p, int id, int code, LPARAM lParam) { OnCommand(p, id, code, lParam); });
        Fill();
        page.SetFocus(list_);
    }

    std::optional<std::string> Result() const { return result_; }

private:
    void Fill() {
        path_->SetText(sys::Utf8ToCp1252(folder_.string()));
        names_ = SubFolders(folder_);
        list_->ClearRows();
        for (const std::string& name : names_) list_->AddRow(sys::Utf8ToCp1252(name), -1);
    }

    void Enter(Page& page, const fs::path& folder) {
        if (!IsFolder(folder)) return;
        folder_ = folder.lexically_normal();
        Fill();
        page.SetFocus(list_);
    }

    fs::path Chosen() const {
        const int row = list_->Selected();
        return row >= 0 ? folder_ / names_[size_t(row)] : folder_;
    }

    void OnCommand(Page& page, int id, int code, LPARAM lParam) {
        if (id == list_->Id() && code == kNotifyDoubleClick) {
            if (lParam >= 0 && size_t(lParam) < names_.size())
                Enter(page, folder_ / names_[size_t(lParam)]);
            return;
        }
        if (code != kNotifyClicked) return;
        switch (id) {
        case kUp:
            if (folder_.has_parent_path() && folder_.parent_path() != folder_)
                Enter(page, folder_.parent_path());
            break;
        case kOpen:
            // Enter with no row chosen takes the folder shown.
            if (list_->Selected() >= 0)
                Enter(page, Chosen());
            else
                Finish(page);
            break;
        case kOk: Finish(page); break;
        case 2: page.SetEndCode(2); break;
        default: break;
        }
    }

    void Finish(Page& page) {
        result_ = WithoutTrailingSeparator(Chosen().string());
        page.SetEndCode(kOk);
    }

    std::string title_;
    fs::path folder_;
    std::vector<std::string> names_;
    SkinStatic* path_ = nullptr;
    ListView* list_ = nullptr;
    std::optional<std::string> result_;
};

std::optional<std::string> AskOwn(const std::string& title, const fs::path& start) {
    OwnChooser chooser(title, start);
    if (Page* page = Page::Current()) {
        page->RunModal([&](Page& p) { chooser.Build(p); });
        return chooser.Result();
    }
    Page page;
    if (!page.Create(title, kOwnWidth, kOwnHeight)) return std::nullopt;
    chooser.Build(page);
    page.Show();
    page.Run();
    page.Close();
    return chooser.Result();
}

} // namespace

void SetFolderChooserKind(FolderChooserKind kind) {
    gKind = kind;
}

std::optional<std::string> ChooseFolder(const std::string& title, const std::string& startFolder) {
    const fs::path start = StartingPoint(startFolder);
    if (gKind == FolderChooserKind::Desktop && sys::DisplayAvailable()) {
        bool ran = false;
        std::optional<std::string> answer = AskDesktop(title, start, &ran);
        if (ran) return answer;
    }
    return AskOwn(title, start);
}

} // namespace ui

#include "install/package/packageinfo.h"

#include <cstdio>

#include "SYS/msgbox.h"
#include "install/expand.h"
#include "install/gameinfo.h"
#include "install/messages.h"
#include "install/package/entries.h"
#include "install/resources.h"
#include "install/skin.h"

namespace pkg {

// The built-in licence agreement, used when a package brings none.
constexpr int kLicenceResource = 126;

// Names the file on stderr, then tells the user in the damaged-files message.
static void ShowMissingInfo(inst::InstallerApp& app, const char* file) {
    std::fprintf(stderr, "install: the package has no readable %s\n", file);
    inst::ShowMessage(app, "MsgUserErrFileCorrupt", "MsgUserErrTitlePackage",
                      sys::MB_OK | sys::MB_ICONERROR);
}

bool LoadPackageInfo(inst::InstallerApp& app, const PackageStorage& storage, std::string* licence) {
    std::vector<uint8_t> bytes;
    if (!ReadPackageFile(storage, 0, "~Info\\gameinfo.inf", 0, &bytes)) {
        ShowMissingInfo(app, "~Info\\gameinfo.inf");
        return false;
    }
    inst::ParseGameInfo(bytes.data(), bytes.size(), app.variables);

    // The package's text loses its last byte, the built-in one its closing line break.
    std::string text;
    inst::ResourceData builtIn;
    if (ReadPackageFile(storage, 0, "~Info\\Licence.txt", 1, &bytes)) {
        text.assign(bytes.begin(), bytes.end() - (bytes.size() >= 2 ? 2 : 1));
    } else if (inst::FindResource(kLicenceResource, "TXT", &builtIn)) {
        const size_t keep = builtIn.size >= 2 ? builtIn.size - 2 : 0;
        text.assign(reinterpret_cast<const char*>(builtIn.data), keep);
    }
    // A zero byte ends the text, as it did for the original's string routines.
    text.resize(std::min(text.find('\0'), text.size()));
    *licence = inst::ExpandText(app, text);

    inst::Picture picture;
    if (!ReadPackageFile(storage, 0, "~Info\\InstallImg.png", 0, &bytes) ||
        !inst::DecodePng(bytes.data(), bytes.size(), inst::kSkinColour, &picture)) {
        ShowMissingInfo(app, "~Info\\InstallImg.png");
        return false;
    }
    app.skin.package = std::move(picture);
    return true;
}

} // namespace pkg

#include "GAME/options.h"

#include <array>
#include <iterator>
#include <string>

#include "BASE/settings.h"
#include "GAME/controls_screen.h"
#include "GAME/game_state.h"
#include "GAME/hero.h"
#include "GAME/menu.h"
#include "GAME/game_ini.h"
#include "GRAPH/Sprite.h"
#include "GRAPH/graph.h"
#include "SOUND/Gsound.h"
#include "SOUND/music.h"

namespace {

constexpr int kPreviews = 5;
constexpr const char* kPreviewMask = "DATA\\_bubble.tga";
constexpr float kSensitivityBase = 0.1f;

enum Child {
    kReturn,
    kDifficulty,
    kBubble,
    kFullScreen,
    kMusic,
    kSound,
    kAmbient,
    kSensitivity,
    kControls
};

void ReplayAt(Sound* loop, float volume) {
    if (loop && volume != 0.0f) loop->Play(true);
}

class OptionsScreen : public Screen {
public:
    OptionsScreen() : Screen(kOptionIni, 0) {
        AddWideButton("return");
        for (const char* section : {"difficult", "bubble", "FullScreen"})
            AddFromFile(std::make_unique<Spinner>(), section, STATE_NORMAL);
        for (const char* section : {"music", "sound", "ambient", "sensitivity"})
            AddFromFile(std::make_unique<Slider>(), section, STATE_NORMAL);
        AddWideButton("controls");
        for (const char* section : {"strdiffcult", "strbubble", "strfullscreen", "strmusic",
                                    "strsound", "strambient", "strsensitivity"})
            AddLabel(section);
        auto* bubble = static_cast<Spinner*>(Child(kBubble));
        for (size_t i = 0; i < BubbleSets().size(); ++i)
            bubble->AddItem(std::make_unique<Button>());
        bubble->SetValue(float(BubbleSet));
        Child(kFullScreen)->SetValue(float(FullScreen));
        Child(kMusic)->SetValue(GetChannelVolume(1));
        Child(kSound)->SetValue(GetChannelVolume(0));
        Child(kAmbient)->SetValue(GetChannelVolume(2));
        Child(kSensitivity)->SetValue(Sensitivity - kSensitivityBase);
        Child(kDifficulty)->SetValue(float(Difficulty + 1));
        LoadPreviews();
        FocusFirst(0);
        escapeIndex = 0;
        transitionStart = kOpenAtOnce;
    }
    ~OptionsScreen() override { ReleasePreviews(); }

    int Draw() override {
        Screen::Draw();
        const Widget* bubble = Child(kBubble);
        for (int i = 0; i < kPreviews; ++i) {
            Sprite* preview = previews_[size_t(i)];
            if (!preview || !RenderSurface) continue;
            const int w = preview->width;
            const int left = bubble->x + bubble->width / 2 - (kPreviews * w) / 2 + i * w;
            RenderSurface->DrawSprite(left, bubble->y - 5, preview, OP_ALPHA, 0.0f);
        }
        return 0;
    }

    int OnFocusChanged() override {
        // return, difficulty, bubble set, display, music, sound, ambient, sensitivity, controls
        static const int kEvents[] = {31, 38, 32, 33, 34, 35, 36, 37, 39};
        if (currentIndex >= 0 && currentIndex < int(std::size(kEvents)))
            TheHero.event(kEvents[currentIndex]);
        return 0;
    }

    // Every change applies at once; `return` and `controls` leave this screen.
    int OnChildAction(Widget* child) override {
        const int index = IndexOf(child);
        const float value = child->GetValue();
        switch (index) {
        case kReturn: ReturnFromPage(this); return 1;
        case kControls: ReplaceScreen(this, MakeRedefineScreen()); return 1;
        case kDifficulty:
            Difficulty = int(value) - 1;
            DifficultyChanged = 1;
            return 1;
        case kBubble:
            if (!BubbleSets().empty()) BubbleSet = int(value) % int(BubbleSets().size());
            BubbleSetChanged = 1;
            ReleasePreviews();
            LoadPreviews();
            return 1;
        case kFullScreen:
            FullScreen = int(value);
            SetupDisplay(dwScrX, dwScrY, GetIniInt(kGameIni, "main", "bpp"), FullScreen);
            return 1;
        case kMusic:
            SetChannelVolume(value, 1);
            ReplayAt(CurrentMusic(), value);
            return 1;
        case kSound: SetChannelVolume(value, 0); return 1;
        case kAmbient:
            SetChannelVolume(value, 2);
            ReplayAt(CurrentAmbient(), value);
            return 1;
        case kSensitivity: Sensitivity = value + kSensitivityBase; return 1;
        default: return 0;
        }
    }

private:
    Widget* Child(int index) const { return children[size_t(index)].get(); }

    void LoadPreviews() {
        if (BubbleSet < 0 || BubbleSet >= int(BubbleSets().size())) return;
        for (int i = 0; i < kPreviews; ++i) {
            const std::string name =
                BubbleSets()[size_t(BubbleSet)] + "\\" + std::to_string(i) + ".tga";
            Sprite* preview = LoadSprite(name.c_str(), kPreviewMask, false);
            if (preview) preview->AddRef();
            previews_[size_t(i)] = preview;
        }
    }
    void ReleasePreviews() {
        for (Sprite*& preview : previews_) {
            if (preview) preview->Release();
            preview = nullptr;
        }
    }

    std::array<Sprite*, kPreviews> previews_ = {};
};

} // namespace

std::unique_ptr<Screen> MakeOptionsScreen() {
    return std::make_unique<OptionsScreen>();
}

#include "GAME/highscore.h"

#include <climits>
#include <cstdlib>

#include "BASE/settings.h"
#include "GAME/game_state.h"
#include "GAME/menu.h"
#include "GAME/game_ini.h"
#include "GRAPH/Sprite.h"

namespace {

constexpr const char* kClearIni = "DATA\\clear.ini";
constexpr const char* kSelectPicture = "DATA\\select.tga";

// The C library conversion, with values beyond an int held at its limits.
int LeadingNumber(const char* text) {
    const long value = std::strtol(text, nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return int(value);
}

std::string RowKey(int row) {
    return std::to_string(row);
}

class HighscoreScreen : public Screen {
public:
    HighscoreScreen(int mode, int highlight) : Screen(kScoreIni, 0) {
        extra = mode;
        AddWideButton("return");
        AddWideButton("clear");
        const auto table = ReadHighscoreTable(mode);
        for (int i = 0; i < kHighscoreRows; ++i) {
            Widget* name = AddLabel("start");
            Widget* number = AddLabel("score");
            const HighscoreRow& row = table[size_t(i)];
            if (!row.empty) name->caption = row.name;
            number->caption += std::to_string(row.value);
            for (Widget* label : {name, number})
                label->y = label->homeY = int16_t(label->homeY + i * label->height);
            if (i == highlight) MarkSelected(*name);
        }
        AddRanksAndMode(mode);
        FocusFirst(0);
        escapeIndex = 0;
        transitionStart = kOpenAtOnce;
    }

    // Rank numbers beside the rows and the name of the table's mode, where the description has
    // places for them (after the rows, so the rows keep their child order).
    void AddRanksAndMode(int mode) {
        if (GetIniString(kScoreIni, "rank", "xs")[0])
            for (int i = 0; i < kHighscoreRows; ++i) {
                Widget* rank = AddLabel("rank");
                rank->caption = std::to_string(i + 1) + ".";
                rank->y = rank->homeY = int16_t(rank->homeY + i * rank->height);
            }
        if (GetIniString(kScoreIni, "mode", "xs")[0]) {
            Widget* name = AddLabel("mode");
            name->caption =
                GetIniString(kScoreIni, "mode", ("mode" + std::to_string(mode)).c_str());
        }
    }

    // Acts at once; this screen is gone afterwards.
    int OnChildAction(Widget* child) override {
        const int index = IndexOf(child);
        if (index == 0) {
            ReturnFromPage(this);
            return 1;
        }
        if (index == 1) {
            ReplaceScreen(this, MakeClearConfirmation());
            return 1;
        }
        return 0;
    }

private:
    static void MarkSelected(Widget& label) {
        Sprite* select = LoadSprite(kSelectPicture, nullptr, false);
        if (select) select->AddRef();
        if (label.pictures.empty()) {
            label.pictures.push_back(select);
            return;
        }
        if (label.pictures[0]) label.pictures[0]->Release();
        label.pictures[0] = select;
    }
};

class ClearConfirmation : public Screen {
public:
    ClearConfirmation() : Screen(kClearIni, 0) {
        AddWideButton("yes");
        AddWideButton("no");
        AddButton("line1");
        AddButton("line2");
        FocusFirst(1);
        escapeIndex = 1;
        transitionStart = kOpenAtOnce;
    }

    int OnChildAction(Widget* child) override {
        if (IndexOf(child) == 0) ClearHighscoreTable(GameType);
        ReplaceScreen(this, MakeHighscoreScreen(GameType, -1));
        return 1;
    }
};

class NameEntry : public Screen {
public:
    NameEntry() : Screen(kNameIni, 0) {
        AddWideButton("ok");
        edit_ = static_cast<TextField*>(
            AddFromFile(std::make_unique<TextField>(), "edit", STATE_NORMAL));
        AddLabel("line1");
        AddLabel("line2");
        edit_->caption = PlayerName;
        edit_->caret = int(PlayerName.size());
        FocusFirst(1);
        escapeIndex = 0;
        transitionStart = clock;
    }

    int HandleMessage(unsigned message, sys::WPARAM wParam, sys::LPARAM lParam) override {
        // A comma would end the name when the row is read back.
        if (message == sys::WM_CHAR && wParam == ',') return 0;
        if (!InTransition() && message == sys::WM_KEYUP && wParam == sys::VK_RETURN &&
            FocusedChild() == edit_) {
            MoveFocus(0, 0); // a second Enter confirms
            return 1;
        }
        return Screen::HandleMessage(message, wParam, lParam);
    }

    // Acts at once; this screen is gone afterwards.
    int OnChildAction(Widget* child) override {
        if (IndexOf(child) != 0) return 0;
        PlayerName = edit_->caption;
        const int value = RanksByTime(GameType) ? PlayTime : Score;
        const int row = InsertHighscore(GameType, PlayerName, value);
        ReplaceScreen(this, MakeHighscoreScreen(GameType, row));
        return 1;
    }

private:
    TextField* edit_ = nullptr;
};

} // namespace

HighscoreRow ParseHighscoreRow(const std::string& text) {
    HighscoreRow row;
    if (text.empty()) return row;
    row.empty = false;
    const size_t comma = text.find(',');
    if (comma == std::string::npos) {
        row.name = text;
        return row;
    }
    row.name = text.substr(0, comma);
    row.value = LeadingNumber(text.c_str() + comma + 1);
    return row;
}

std::string FormatHighscoreRow(const std::string& name, int value) {
    return name + ", " + std::to_string(value);
}

const char* HighscoreSection(int mode) {
    static const char* const kSections[] = {"arcade", "puzzle", "panic"};
    return mode >= 0 && mode < 3 ? kSections[mode] : kSections[0];
}

bool RanksByTime(int mode) {
    return HighscoreSection(mode) == HighscoreSection(1);
}

std::array<HighscoreRow, kHighscoreRows> ReadHighscoreTable(int mode) {
    std::array<HighscoreRow, kHighscoreRows> table;
    for (int i = 0; i < kHighscoreRows; ++i)
        table[size_t(i)] = ParseHighscoreRow(
            GetIniString(kHighscoreIni, HighscoreSection(mode), RowKey(i).c_str()));
    return table;
}

bool ScoreEntersTable(int mode, int score) {
    const std::string last =
        GetIniString(kHighscoreIni, HighscoreSection(mode), RowKey(kHighscoreRows - 1).c_str());
    return ParseHighscoreRow(last).value < score;
}

int InsertHighscore(int mode, const std::string& name, int value) {
    const auto table = ReadHighscoreTable(mode);
    const bool byTime = RanksByTime(mode);
    int inserted = -1;
    for (int j = 0; j < kHighscoreRows; ++j) {
        const int old = table[size_t(j)].value;
        // A time table's free rows hold 0, which no time beats; they still take the row pushed
        // down onto them, which would otherwise be lost.
        const bool pushedDown = byTime && inserted >= 0 && old == 0;
        const bool replaced = byTime ? value < old || pushedDown : old < value;
        if (!replaced) continue;
        std::string text;
        if (inserted < 0) {
            inserted = j;
            text = FormatHighscoreRow(name, value);
        } else {
            // A free row moving down becomes a nameless 0, as the table has always been written.
            const HighscoreRow& above = table[size_t(j - 1)];
            text = FormatHighscoreRow(above.name, above.value);
        }
        WriteIniString(kHighscoreIni, HighscoreSection(mode), RowKey(j).c_str(), text.c_str());
    }
    return inserted;
}

void ClearHighscoreTable(int mode) {
    for (int i = 0; i < kHighscoreRows; ++i)
        WriteIniString(kHighscoreIni, HighscoreSection(mode), RowKey(i).c_str(), "");
}

std::unique_ptr<Screen> MakeHighscoreScreen(int mode, int highlight) {
    return std::make_unique<HighscoreScreen>(mode, highlight);
}

std::unique_ptr<Screen> MakeClearConfirmation() {
    return std::make_unique<ClearConfirmation>();
}

std::unique_ptr<Screen> MakeNameEntry() {
    return std::make_unique<NameEntry>();
}

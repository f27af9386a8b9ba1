// Screens driven through the root widget in an empty game folder: message boxes are answered,
// the shared game values start from a new game, and the pictures the screens cached are freed
// after, as the display's shutdown does.
#pragma once
#include "GAME/Widget.h"
#include "GAME/game_ini.h"
#include "GAME/game_state.h"
#include "GAME/run.h"
#include "GRAPH/graph.h"
#include "SYS/msgbox.h"
#include "temp_folder.h"

// A temporary game folder in which message boxes (a missing picture's, say) are answered OK
// instead of waiting for a click.
class AnsweredBoxesTest : public TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        sys::SetMessageBoxResponder(
            [](const std::string&, const std::string&, unsigned) { return sys::IDOK; });
    }
    void TearDown() override {
        sys::SetMessageBoxResponder({});
        TempFolderTest::TearDown();
    }
};

class ScreenTest : public AnsweredBoxesTest {
protected:
    void SetUp() override {
        AnsweredBoxesTest::SetUp();
        ReplaceAllScreens(nullptr);
        LoadProgress = 1.0f;
        GameRunning = 0;
        Paused = 0;
        Score = 0;
        PlayTime = 0;
        GameType = 0;
    }
    void TearDown() override {
        ReplaceAllScreens(nullptr);
        DestroyUnheldSprites();
        AnsweredBoxesTest::TearDown();
    }
};

#include "GAME/scene_seam.h"

#include "GRAPH/Sprite.h"
#include "GRAPH/graph.h"

void LevelScene::DrawWavy(Sprite* picture, int x, int y, float) {
    if (picture && RenderSurface) RenderSurface->DrawSprite(x, y, picture, OP_MASK, 0.0f);
}

std::unique_ptr<LevelScene> MakeLevelScene() { return std::make_unique<LevelScene>(); }

#include "GAME/playfield.h"

#include <algorithm>
#include <cmath>

#include "BASE/rnd.h"

namespace {

constexpr uint32_t kSeedB = 125423;
constexpr int kColourAttempts = 100;

// Keys of the two-colour bubbles 8..17.
constexpr KeyPair kTwoColourKeys[10] = {{0, 2}, {0, 3}, {0, 5}, {1, 3}, {2, 3},
                                        {2, 4}, {2, 5}, {2, 6}, {3, 6}, {4, 6}};

int RandOf(sys::CrtRandom& gen, int n) {
    return int(int64_t(n) * gen.Next() / 32768);
}

} // namespace

KeyPair KeysOf(int colour) {
    if (colour >= kFirstTwoColour && colour <= kLastTwoColour)
        return kTwoColourKeys[colour - kFirstTwoColour];
    return {colour, colour};
}

void Playfield::Setup(const LevelParams& rules, uint32_t seedA) {
    params = rules;
    list.clear();
    list.reserve(kInitialCapacity);
    W = rnd((params.width + 0.5) * 32);
    H = rnd((params.height + 1.5) * double(kRowPitch));
    originX = (602 - W) / 2;
    originY = 455 - H;
    gunX = W / 2;
    gunY = H;
    nextX = float(38 - originX);
    nextY = float(405 - originY);
    ceiling = 0;
    oddFactor = 1;
    evenFactor = 2;
    carry = 0;
    genA.state = seedA;
    genB.state = kSeedB;
    for (int row = 0; row < params.depth; ++row) GenerateRow(row);
}

int Playfield::RandA(int n) {
    return RandOf(genA, n);
}
int Playfield::RandB(int n) {
    return RandOf(genB, n);
}

void Playfield::SwapFactors() {
    std::swap(oddFactor, evenFactor);
}

int Playfield::RowOf(float y) const {
    return rnd((y - ceiling - 16.0f) * kInvRowPitch);
}

Cell Playfield::CellOf(float x, float y) const {
    const int row = RowOf(y);
    return {row, rnd((x - float(FactorOf(row) * 16)) / 32.0f)};
}

void Playfield::CellCentre(Cell cell, float& x, float& y) const {
    x = float(cell.col * 32 + FactorOf(cell.row) * 16);
    y = RowY(cell.row);
}

void Playfield::GenerateRow(int row) {
    const float y = RowY(row);
    const int shift = FactorOf(row) * 16;
    for (int i = 0; i < params.width; ++i) {
        Bubble b;
        b.colour = int8_t(RandA(params.bubble));
        b.x = float(shift + i * 32);
        b.y = y;
        list.push_back(b);
    }
}

int Playfield::OccupantNear(float x, float y) const {
    for (size_t i = 0; i < list.size(); ++i) {
        const Bubble& b = list[i];
        if (b.state != Settled) continue;
        const float dx = b.x - x, dy = b.y - y;
        if (dx * dx + dy * dy < kNearSquared) return int(i);
    }
    return -1;
}

int Playfield::LowestRowCount() const {
    bool any = false;
    float maxY = 0;
    for (const Bubble& b : list) {
        if (b.state != Settled) continue;
        if (!any || b.y > maxY) maxY = b.y;
        any = true;
    }
    return any ? RowOf(maxY) + 1 : 0;
}

void Playfield::ShiftDown(float dy) {
    const int step = rnd(dy + carry);
    carry += dy - float(step);
    for (Bubble& b : list)
        if (b.state == Settled) b.y += float(step);
}

void Playfield::CountKeys(int (&keyCount)[8]) const {
    std::fill(std::begin(keyCount), std::end(keyCount), 0);
    for (const Bubble& b : list) {
        if (b.state != Settled) continue;
        const KeyPair keys = KeysOf(b.colour);
        for (int key : {keys.first, keys.second})
            if (key >= 0 && key < 8) ++keyCount[key];
    }
}

bool Playfield::Available(int colour, const int (&keyCount)[8]) const {
    if (colour == kGrey) return false;
    const KeyPair keys = KeysOf(colour);
    auto present = [&](int key) { return key >= 0 && key < 8 && keyCount[key] > 0; };
    return present(keys.first) && present(keys.second);
}

int Playfield::ChooseColour() {
    int keyCount[8];
    CountKeys(keyCount);
    const int colours = std::min(params.bubble, 7);
    for (int attempt = 0; attempt < kColourAttempts; ++attempt) {
        const int c = RandA(colours);
        if (Available(c, keyCount)) return c;
    }
    return 0;
}

int Playfield::ChooseTwoColour() {
    int keyCount[8];
    CountKeys(keyCount);
    for (int attempt = 0; attempt < kColourAttempts; ++attempt) {
        const int c = kFirstTwoColour + ((genA.Next() * 10) >> 15);
        if (Available(c, keyCount)) return c;
    }
    return 0;
}

void Playfield::Descend(float dt) {
    const float dangerY = float(params.height) * kRowPitch;
    float fill = 1.0f;
    if (dangerY > 0)
        fill = std::clamp((float(LowestRowCount()) * kRowPitch + ceiling) / dangerY, 0.0f, 1.0f);
    const float fill2 = fill * fill;
    // A rule file's TimeDown below 1 ms per pixel would make the descent endless or upward.
    const float divisor = std::max(1.0f, fill2 * fill2 * float(params.TimeDown - 100) + 100.0f);
    const float dy = dt / divisor;
    ceiling += dy;
    ShiftDown(dy);
    if (params.LineAdd == 1 && ceiling > kLineAddTrigger) {
        ceiling -= kRowPitch;
        SwapFactors();
        GenerateRow(0);
    }
}

void Playfield::RemoveAboveCeiling() {
    for (size_t i = list.size(); i-- > 0;)
        if (list[i].state == Settled && list[i].y < ceiling) Erase(i);
}

void Playfield::Erase(size_t index) {
    list.erase(list.begin() + std::ptrdiff_t(index));
    if (index < cursor) --cursor;
}

bool Playfield::HasGrey() const {
    return std::any_of(list.begin(), list.end(),
                       [](const Bubble& b) { return b.state == Settled && b.colour == kGrey; });
}

int Playfield::FindState(uint8_t state) const {
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].state == state) return int(i);
    return -1;
}

// The bubble colours as players with colour-vision deficiencies see them: in the symbol set every
// pair of colours stays clearly apart in each simulation, which plain colours alone cannot do.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "bubble_look.h"
#include "cvd.h"

using namespace content;

namespace {

// How two bubbles differ to a viewer with the deficiency (none: normal vision), over the
// bubble's silhouette, 0..255: by mean colour, and by their light-and-dark patterns once each is
// taken about its own mean brightness. The pattern is what a symbol adds: it tells bubbles apart
// even where their colours merge.
struct Seen {
    double colour, pattern;
    // Apart at a glance at 32 pixels: clearly other colours, or clearly other shapes (a quarter
    // of the bubble differing by some 40 levels of brightness).
    bool Apart() const { return colour >= 20 || pattern >= 10; }
};

Seen SeenDifference(const Image& a, const Image& b, const Deficiency* d) {
    std::vector<double> la, lb;
    double colour = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            const uint8_t* pa = a.At(x, y);
            const uint8_t* pb = b.At(x, y);
            if (pa[3] < 255) continue;
            uint8_t ca[3] = {pa[0], pa[1], pa[2]}, cb[3] = {pb[0], pb[1], pb[2]};
            if (d) {
                SimulateDeficiency(*d, ca);
                SimulateDeficiency(*d, cb);
            }
            for (int c = 0; c < 3; ++c) colour += std::abs(ca[c] - cb[c]) / 3.0;
            la.push_back(0.2126 * ca[0] + 0.7152 * ca[1] + 0.0722 * ca[2]);
            lb.push_back(0.2126 * cb[0] + 0.7152 * cb[1] + 0.0722 * cb[2]);
        }
    const double n = double(la.size());
    double ma = 0, mb = 0;
    for (size_t i = 0; i < la.size(); ++i) ma += la[i] / n, mb += lb[i] / n;
    double pattern = 0;
    for (size_t i = 0; i < la.size(); ++i) pattern += std::abs((la[i] - ma) - (lb[i] - mb)) / n;
    return {colour / n, pattern};
}

// Whether every pair of the colours the launcher fires (0..6) is apart.
bool EveryPairApart(BubbleStyle style, const Deficiency* d) {
    Image bubbles[7];
    for (int k = 0; k < 7; ++k) bubbles[k] = DrawBubble(style, k);
    bool apart = true;
    for (int i = 0; i < 7; ++i)
        for (int j = i + 1; j < 7; ++j) {
            const Seen seen = SeenDifference(bubbles[i], bubbles[j], d);
            if (!seen.Apart() && style == BubbleStyle::Symbols)
                ADD_FAILURE() << "colours " << i << " and " << j << " differ by colour "
                              << seen.colour << " and pattern " << seen.pattern;
            apart = apart && seen.Apart();
        }
    return apart;
}

TEST(BubbleColours, SymbolSetStaysApartInEverySimulationWherePlainColoursMerge) {
    EXPECT_TRUE(EveryPairApart(BubbleStyle::Symbols, nullptr));
    for (const Deficiency d : kDeficiencies) {
        SCOPED_TRACE(DeficiencyName(d));
        EXPECT_TRUE(EveryPairApart(BubbleStyle::Symbols, &d));
        // The measure does separate: red and green candy merge for these viewers.
        if (d != Deficiency::Tritanopia) {
            EXPECT_FALSE(EveryPairApart(BubbleStyle::Candy, &d));
        }
    }
}

TEST(BubbleColours, SimulationKeepsGreysAndMovesRedTowardYellowBrown) {
    for (const Deficiency d : kDeficiencies) {
        uint8_t grey[3] = {128, 128, 128};
        SimulateDeficiency(d, grey);
        for (uint8_t c : grey) EXPECT_NEAR(c, 128, 2) << DeficiencyName(d);
    }
    uint8_t red[3] = {230, 30, 30};
    SimulateDeficiency(Deficiency::Deuteranopia, red);
    EXPECT_LT(std::abs(red[0] - red[1]), 60); // red and green channels close together
    EXPECT_LT(red[2], red[1]);
}

} // namespace

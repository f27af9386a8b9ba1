// Reading music written as text.
#include <gtest/gtest.h>

#include <algorithm>

#include "song.h"

using namespace soundtools;

namespace {

const char* const kSong = R"(# a comment
tempo 120
meter 4
loop
voice lead program=12
voice bass program=33
voice kit drums
figure bass voice=bass steps=4 octave=2
pattern 1 . 5 8
figure beat voice=kit steps=4
hit kick x . o .
section A
chords | C | G/B:2 Am:2 |
melody lead | f#5:1 bb4 cb5 r | e5:1/2 e5 r:3 |  # sharps are not comments
play bass beat
section B
chords like A
melody lead like A lead 12
play bass
form A B
)";

std::vector<int> KeysOn(const Song& song, int channel) {
    std::vector<const Note*> notes;
    for (const Note& n : song.notes)
        if (n.channel == channel) notes.push_back(&n);
    std::stable_sort(notes.begin(), notes.end(),
                     [](const Note* a, const Note* b) { return a->beat < b->beat; });
    std::vector<int> keys;
    for (const Note* n : notes) keys.push_back(n->key);
    return keys;
}

} // namespace

TEST(Song, NotesChordFiguresAndBorrowedSectionsBecomeKeys) {
    Song song;
    std::string error;
    ASSERT_TRUE(ParseSong(kSong, song, error)) << error;
    EXPECT_TRUE(song.loop);
    EXPECT_DOUBLE_EQ(song.length, 16.0);
    EXPECT_DOUBLE_EQ(song.SecondsAt(song.length), 8.0);
    // Lead: f#5 bb4 cb5 e5 e5, then the same an octave up in section B.
    EXPECT_EQ(KeysOn(song, 0), (std::vector<int>{78, 70, 71, 76, 76, 90, 82, 83, 88, 88}));
    // Bass over C: root, fifth, octave; over G/B the slash bass B as its root; over Am the fifth
    // and the octave.
    std::vector<int> bass = KeysOn(song, 1);
    ASSERT_EQ(bass.size(), 12u);
    EXPECT_EQ(std::vector<int>(bass.begin(), bass.begin() + 6),
              (std::vector<int>{36, 43, 48, 47, 52, 57}));
    // Drums play on channel 9, a strong and a medium kick per bar, only where the section asks.
    EXPECT_EQ(KeysOn(song, 9).size(), 4u);
}

TEST(Song, MistakesAreNamedWithTheirLine) {
    const std::string head = "tempo 100\nvoice lead\nfigure f voice=lead steps=4\n";
    struct Case {
        std::string body;
        std::string message;
    } cases[] = {
        {"section A\nchords | C:3 |\nform A\n", "line 5: a bar of chords is not full"},
        {"section A\nchords | C |\nmelody lead | c5:3 |\nform A\n",
         "line 6: bar 1 of lead is not full"},
        {"section A\nchords | C |\nmelody lead | h5:4 |\nform A\n", "line 6: bad note h5"},
        {"section A\nchords | C |\nmelody lead | c5:4 d5 |\nform A\n", "line 6: lead runs past"},
        {"section A\nchords | Cmaj9 |\nform A\n", "line 5: bad chord Cmaj9"},
        {"section A\nchords | C |\nmelody drums | c5:4 |\nform A\n",
         "line 6: melody needs a known voice"},
        {"pattern 1 5 8\n", "line 4: the pattern has 3 steps, not 4"},
        {"section A\nchords | C |\nplay g\n", "line 6: unknown figure g"},
        {"form B\n", "line 4: unknown section B"},
        {"section A\nchords | C |\n", "the song has no form"},
        // Numbers out of all proportion are refused rather than rendered for hours.
        {"section A\nchords | C:1e9 |\nform A\n", "line 5: the song is longer than 4096 beats"},
        {"figure g voice=lead steps=65536 bars=65536\n", "line 4: figure needs 1 to 64 steps"},
        {"section A\nchords | C |\nmelody lead | c99999999999:4 |\nform A\n", "line 6: bad note"},
        {"tempo 0\n", "line 4: tempo needs beats per minute"},
    };
    for (const Case& c : cases) {
        Song song;
        std::string error;
        EXPECT_FALSE(ParseSong(head + c.body, song, error)) << c.body;
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
    }
}

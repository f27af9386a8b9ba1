// Music written as text (data/sound/music/*.song): voices with their General MIDI instruments,
// sections holding chords, melodies and accompaniment figures, and the form that strings the
// sections together. Reading a song yields the notes to play, in beats.
#pragma once
#include <map>
#include <string>
#include <vector>

namespace soundtools {

struct Voice {
    std::string name;
    int channel = 0;  // MIDI channel; 9 is the drum kit
    int program = 0;  // General MIDI program, 0-based
    int volume = 100; // 0 ... 127
    int pan = 64;     // 0 left ... 127 right
    int reverb = 40;  // send, 0 ... 127
    int chorus = 0;
};

struct Note {
    double beat = 0;   // start, in beats from the start of the song
    double length = 0; // in beats
    int channel = 0;
    int key = 60; // MIDI key
    int velocity = 90;
};

struct Song {
    double tempo = 120; // beats per minute
    int beatsPerBar = 4;
    double swing = 0; // delay of every off-beat eighth, as a fraction of an eighth
    bool loop = false;
    double tail = 3;   // seconds rendered past the end (folded onto the start of a loop)
    double length = 0; // beats; the end of the last bar
    std::vector<Voice> voices;
    std::vector<Note> notes;

    double SecondsAt(double beat) const { return beat * 60.0 / tempo; }
};

// Reads a song; false with a message naming the line when the text is not a valid song.
bool ParseSong(const std::string& text, Song& song, std::string& error);

} // namespace soundtools

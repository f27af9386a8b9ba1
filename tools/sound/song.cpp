#include "song.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "SYS/crt_rand.h"

namespace soundtools {

namespace {

// Bounds that keep a mistyped number from making a song of days or notes of nothing.
constexpr int kMostSteps = 64;
constexpr int kMostBars = 16;
constexpr double kMostBeats = 4096;
constexpr double kShortestLength = 1.0 / 64;

// An accompaniment figure: one pattern of steps applied to the chord under each step.
struct Figure {
    std::string voice;
    int steps = 8; // per bar
    int bars = 1;
    int octave = 3; // where a chord's root falls
    double legato = 0.9;
    std::vector<std::string> pattern;                           // tonal figures
    std::vector<std::pair<int, std::vector<std::string>>> hits; // drum figures: key, steps
};

struct Chord {
    double beat = 0, length = 0;
    int root = 0;              // pitch class
    int bass = -1;             // pitch class of a slash bass, -1 for the root
    std::map<char, int> tones; // chord-tone digit -> semitones above the root
};

struct Line {
    std::string voice;
    std::vector<std::string> tokens;
    int number = 0;
    int transpose = 0; // semitones, for a line borrowed from another section
};

struct Section {
    std::vector<std::string> chordTokens;
    int chordLine = 0;
    std::vector<Line> melodies;
    std::vector<std::string> figures;
    int transpose = 0;
};

const std::map<std::string, int> kDrums = {
    {"kick", 36},     {"rim", 37},       {"snare", 38},   {"clap", 39},    {"hat", 42},
    {"pedal", 44},    {"open", 46},      {"tomlow", 45},  {"tommid", 47},  {"tomhigh", 50},
    {"crash", 49},    {"ride", 51},      {"tamb", 54},    {"bell", 53},    {"bongohi", 60},
    {"bongolo", 61},  {"congamute", 62}, {"congahi", 63}, {"congalo", 64}, {"cabasa", 69},
    {"shaker", 70},   {"claves", 75},    {"blockhi", 76}, {"blocklo", 77}, {"trimute", 80},
    {"triangle", 81}, {"chimes", 84}};

// A note name (letter, then any number of '#' or 'b') as semitones above the C of its octave;
// flats and sharps may leave the octave ("cb" is -1).
bool Spelling(const std::string& text, size_t& at, int& semitones) {
    static const int letters[] = {9, 11, 0, 2, 4, 5, 7}; // a b c d e f g
    if (at >= text.size()) return false;
    char l = char(std::tolower(static_cast<unsigned char>(text[at])));
    if (l < 'a' || l > 'g') return false;
    semitones = letters[l - 'a'];
    for (++at; at < text.size() && (text[at] == '#' || text[at] == 'b'); ++at)
        semitones += text[at] == '#' ? 1 : -1;
    return true;
}

bool PitchClass(const std::string& text, size_t& at, int& pc) {
    if (!Spelling(text, at, pc)) return false;
    pc = (pc % 12 + 12) % 12;
    return true;
}

// "1.5", "3/4".
bool ParseNumber(const std::string& text, double& value) {
    auto whole = [](const std::string& part, double& out) {
        char* end = nullptr;
        out = std::strtod(part.c_str(), &end);
        return !part.empty() && *end == 0;
    };
    size_t slash = text.find('/');
    if (slash == std::string::npos) return whole(text, value);
    double a = 0, b = 0;
    if (!whole(text.substr(0, slash), a) || !whole(text.substr(slash + 1), b) || b == 0)
        return false;
    value = a / b;
    return true;
}

// "Am7:2" -> chord and length; the length carries over when it is left out.
bool ParseChord(const std::string& token, Chord& chord, double& length) {
    size_t colon = token.find(':');
    std::string name = token.substr(0, colon);
    if (colon != std::string::npos && !ParseNumber(token.substr(colon + 1), length)) return false;
    size_t slash = name.find('/');
    std::string bass = slash == std::string::npos ? "" : name.substr(slash + 1);
    name = name.substr(0, slash);
    size_t at = 0;
    // Only the chord's letter may be upper case, so "Bb" reads as B flat.
    std::string lowered = name;
    if (!lowered.empty()) lowered[0] = char(std::tolower(static_cast<unsigned char>(lowered[0])));
    if (!PitchClass(lowered, at, chord.root)) return false;
    std::string quality = name.substr(at);
    chord.tones = {{'1', 0}, {'2', 2},  {'3', 4},  {'4', 5}, {'5', 7},
                   {'6', 9}, {'7', 12}, {'8', 12}, {'9', 14}};
    if (quality == "m" || quality == "m7" || quality == "m6" || quality == "dim")
        chord.tones['3'] = 3;
    if (quality == "dim") chord.tones['5'] = 6;
    if (quality == "7" || quality == "m7") chord.tones['7'] = 10;
    if (quality == "maj7") chord.tones['7'] = 11;
    if (quality == "6" || quality == "m6") chord.tones['7'] = 9;
    if (quality == "sus2") chord.tones['3'] = 2;
    if (quality == "sus4") chord.tones['3'] = 5;
    if (quality == "add9") chord.tones['7'] = 14;
    static const char* known[] = {"",   "m",    "7",    "m7",   "maj7", "6",
                                  "m6", "sus2", "sus4", "add9", "dim"};
    bool ok = false;
    for (const char* q : known) ok = ok || quality == q;
    if (!ok) return false;
    chord.bass = -1;
    if (!bass.empty()) {
        size_t b = 0;
        std::string lb = bass;
        lb[0] = char(std::tolower(static_cast<unsigned char>(lb[0])));
        if (!PitchClass(lb, b, chord.bass) || b != lb.size()) return false;
    }
    return length > 0;
}

// "e5:1/2" -> key (or -1 for a rest "r") and length; the length carries over.
bool ParseMelodyNote(const std::string& token, int& key, double& length) {
    size_t colon = token.find(':');
    std::string pitch = token.substr(0, colon);
    if (colon != std::string::npos && !ParseNumber(token.substr(colon + 1), length)) return false;
    if (pitch == "r") {
        key = -1;
        return length > 0;
    }
    size_t at = 0;
    int semitones = 0;
    if (!Spelling(pitch, at, semitones)) return false;
    char* end = nullptr;
    long octave = std::strtol(pitch.c_str() + at, &end, 10);
    if (end == pitch.c_str() + at || *end || octave < -1 || octave > 9) return false;
    key = int(12 * (octave + 1)) + semitones;
    return length > 0 && key >= 0 && key <= 127;
}

class Reader {
public:
    explicit Reader(Song& song) : song_(song) {}
    bool Read(const std::string& text, std::string& error);

private:
    bool Fail(const std::string& message) {
        error_ = "line " + std::to_string(line_) + ": " + message;
        return false;
    }
    bool ReadLine(std::istringstream& words, const std::string& keyword);
    bool ReadOptions(std::istringstream& words, std::map<std::string, std::string>& options);
    const Voice* FindVoice(const std::string& name) const;
    bool Build();
    bool PlaceSection(const Section& section, double start, double& length);
    bool PlaceFigure(const Figure& figure, const std::vector<Chord>& chords, double start,
                     double length, int transpose);
    void AddNote(double beat, double length, const Voice& voice, int key, int velocity);

    Song& song_;
    std::string error_;
    int line_ = 0;
    std::map<std::string, Figure> figures_;
    std::map<std::string, Section> sections_;
    std::vector<std::string> form_;
    Figure* figure_ = nullptr;
    Section* section_ = nullptr;
    std::map<std::string, int> velocity_;
    std::map<std::string, double> legato_;
    sys::CrtRandom jitter_;
};

const Voice* Reader::FindVoice(const std::string& name) const {
    for (const Voice& v : song_.voices)
        if (v.name == name) return &v;
    return nullptr;
}

bool Reader::ReadOptions(std::istringstream& words, std::map<std::string, std::string>& options) {
    std::string word;
    while (words >> word) {
        size_t eq = word.find('=');
        if (eq == std::string::npos)
            options[word] = "";
        else
            options[word.substr(0, eq)] = word.substr(eq + 1);
    }
    return true;
}

bool Reader::ReadLine(std::istringstream& words, const std::string& keyword) {
    std::string word;
    if (keyword == "tempo")
        return (words >> song_.tempo) && song_.tempo >= 20 && song_.tempo <= 400
                   ? true
                   : Fail("tempo needs beats per minute");
    if (keyword == "meter")
        return (words >> song_.beatsPerBar) && song_.beatsPerBar > 0 && song_.beatsPerBar <= 16
                   ? true
                   : Fail("meter needs beats per bar");
    if (keyword == "swing") return (words >> song_.swing) ? true : Fail("swing needs a fraction");
    if (keyword == "tail")
        return (words >> song_.tail) && song_.tail >= 0 && song_.tail <= 30
                   ? true
                   : Fail("tail needs seconds");
    if (keyword == "loop") return song_.loop = true;
    if (keyword == "voice") {
        Voice v;
        std::map<std::string, std::string> o;
        if (!(words >> v.name)) return Fail("voice needs a name");
        ReadOptions(words, o);
        int melodic = 0;
        for (const Voice& other : song_.voices) melodic += other.channel != 9;
        if (o.count("drums"))
            v.channel = 9;
        else if (melodic >= 15)
            return Fail("too many voices");
        else
            v.channel = melodic < 9 ? melodic : melodic + 1;
        v.program = std::atoi(o.count("program") ? o["program"].c_str() : "0");
        if (o.count("volume")) v.volume = std::atoi(o["volume"].c_str());
        if (o.count("pan")) v.pan = int(std::lround(64 + 63 * std::atof(o["pan"].c_str())));
        if (o.count("reverb")) v.reverb = std::atoi(o["reverb"].c_str());
        if (o.count("chorus")) v.chorus = std::atoi(o["chorus"].c_str());
        velocity_[v.name] = o.count("velocity") ? std::atoi(o["velocity"].c_str()) : 90;
        legato_[v.name] = o.count("legato") ? std::atof(o["legato"].c_str()) : 0.92;
        song_.voices.push_back(v);
        return true;
    }
    if (keyword == "figure") {
        std::string name;
        std::map<std::string, std::string> o;
        if (!(words >> name)) return Fail("figure needs a name");
        ReadOptions(words, o);
        Figure f;
        f.voice = o["voice"];
        if (!FindVoice(f.voice)) return Fail("figure " + name + " plays an unknown voice");
        if (o.count("steps")) f.steps = std::atoi(o["steps"].c_str());
        if (o.count("bars")) f.bars = std::atoi(o["bars"].c_str());
        if (o.count("octave")) f.octave = std::atoi(o["octave"].c_str());
        if (o.count("legato")) f.legato = std::atof(o["legato"].c_str());
        if (f.steps <= 0 || f.steps > kMostSteps || f.bars <= 0 || f.bars > kMostBars)
            return Fail("figure needs 1 to " + std::to_string(kMostSteps) + " steps and 1 to " +
                        std::to_string(kMostBars) + " bars");
        figure_ = &(figures_[name] = f);
        section_ = nullptr;
        return true;
    }
    if (keyword == "pattern" || keyword == "hit") {
        if (!figure_) return Fail(keyword + " outside a figure");
        int key = -1;
        if (keyword == "hit") {
            std::string drum;
            words >> drum;
            auto found = kDrums.find(drum);
            if (found == kDrums.end()) return Fail("unknown drum " + drum);
            key = found->second;
        }
        std::vector<std::string> steps;
        while (words >> word) steps.push_back(word);
        if (int(steps.size()) != figure_->steps * figure_->bars)
            return Fail("the pattern has " + std::to_string(steps.size()) + " steps, not " +
                        std::to_string(figure_->steps * figure_->bars));
        if (keyword == "hit")
            figure_->hits.push_back({key, steps});
        else
            figure_->pattern = steps;
        return true;
    }
    if (keyword == "section") {
        std::string name;
        if (!(words >> name)) return Fail("section needs a name");
        section_ = &sections_[name];
        figure_ = nullptr;
        return true;
    }
    if (keyword == "chords" || keyword == "melody" || keyword == "play" || keyword == "transpose") {
        if (!section_) return Fail(keyword + " outside a section");
        if (keyword == "transpose")
            return (words >> section_->transpose) ? true : Fail("transpose needs semitones");
        if (keyword == "chords") {
            section_->chordLine = line_;
            while (words >> word) {
                // "chords like A": the chords of section A.
                if (word == "like") {
                    if (!(words >> word) || !sections_.count(word))
                        return Fail("chords like needs a section before");
                    const std::vector<std::string>& other = sections_[word].chordTokens;
                    section_->chordTokens.insert(section_->chordTokens.end(), other.begin(),
                                                 other.end());
                    continue;
                }
                section_->chordTokens.push_back(word);
            }
            return true;
        }
        if (keyword == "play") {
            while (words >> word) {
                if (!figures_.count(word)) return Fail("unknown figure " + word);
                section_->figures.push_back(word);
            }
            return true;
        }
        Line melody;
        melody.number = line_;
        if (!(words >> melody.voice) || !FindVoice(melody.voice))
            return Fail("melody needs a known voice");
        while (words >> word) {
            // "melody <voice> like <section> <its voice> [semitones]": another section's line.
            if (word == "like") {
                std::string from, fromVoice;
                if (!(words >> from >> fromVoice) || !sections_.count(from))
                    return Fail("melody like needs a section before");
                const Line* borrowed = nullptr;
                for (const Line& l : sections_[from].melodies)
                    if (l.voice == fromVoice) borrowed = &l;
                if (!borrowed) return Fail("section " + from + " has no melody for " + fromVoice);
                melody.tokens = borrowed->tokens;
                if (!(words >> melody.transpose)) melody.transpose = 0;
                section_->melodies.push_back(melody);
                return true;
            }
            melody.tokens.push_back(word);
        }
        // Lines of one voice in a row continue each other.
        if (!section_->melodies.empty() && section_->melodies.back().voice == melody.voice)
            section_->melodies.back().tokens.insert(section_->melodies.back().tokens.end(),
                                                    melody.tokens.begin(), melody.tokens.end());
        else
            section_->melodies.push_back(melody);
        return true;
    }
    if (keyword == "form") {
        while (words >> word) {
            if (!sections_.count(word)) return Fail("unknown section " + word);
            form_.push_back(word);
        }
        return true;
    }
    return Fail("unknown keyword " + keyword);
}

void Reader::AddNote(double beat, double length, const Voice& voice, int key, int velocity) {
    // Downbeats lean a little, off-beats relax, and a small deterministic jitter keeps repeated
    // figures from sounding stamped out.
    double inBar = std::fmod(beat, song_.beatsPerBar);
    if (std::fabs(inBar) < 1e-6)
        velocity += 8;
    else if (std::fabs(inBar - std::round(inBar)) < 1e-6)
        velocity += 3;
    else
        velocity -= 4;
    velocity += jitter_.Next() % 7 - 3;
    double eighth = std::fmod(beat * 2.0, 2.0);
    if (song_.swing > 0 && std::fabs(eighth - 1.0) < 1e-6) beat += song_.swing * 0.5;
    Note n;
    n.beat = beat;
    n.length = length;
    n.channel = voice.channel;
    n.key = key;
    n.velocity = std::max(1, std::min(127, velocity));
    song_.notes.push_back(n);
}

bool Reader::PlaceFigure(const Figure& figure, const std::vector<Chord>& chords, double start,
                         double length, int transpose) {
    const Voice& voice = *FindVoice(figure.voice);
    const double step = double(song_.beatsPerBar) / figure.steps;
    const int total = int(std::lround(length / step));
    const int cycle = figure.steps * figure.bars;
    for (const auto& [key, steps] : figure.hits)
        for (int i = 0; i < total; ++i) {
            const std::string& s = steps[size_t(i % cycle)];
            int velocity = s == "x" ? 112 : s == "o" ? 84 : s == "g" ? 52 : 0;
            if (velocity)
                AddNote(start + i * step, step * 0.5, voice, key,
                        velocity - 90 + velocity_[voice.name]);
        }
    if (figure.pattern.empty()) return true;
    for (int i = 0; i < total; ++i) {
        const std::string& s = figure.pattern[size_t(i % cycle)];
        if (s == "." || s == "-") continue;
        int held = 1;
        while (i + held < total && figure.pattern[size_t((i + held) % cycle)] == ".") ++held;
        double beat = start + i * step;
        const Chord* chord = nullptr;
        for (const Chord& c : chords)
            if (beat >= c.beat - 1e-6 && beat < c.beat + c.length - 1e-6) chord = &c;
        if (!chord) continue;
        int octaveShift = 0;
        std::string digits = s;
        while (!digits.empty() && (digits.back() == '+' || digits.back() == ',')) {
            octaveShift += digits.back() == '+' ? 12 : -12;
            digits.pop_back();
        }
        for (char d : digits) {
            auto tone = chord->tones.find(d);
            if (tone == chord->tones.end()) return Fail("figure step " + s + " is not chord tones");
            int root = (d == '1' && chord->bass >= 0) ? chord->bass : chord->root;
            int semis = (d == '1' && chord->bass >= 0) ? 0 : tone->second;
            int rootPc = (root + transpose % 12 + 12) % 12;
            int key = 12 * (figure.octave + 1) + rootPc + semis + octaveShift;
            AddNote(beat, held * step * figure.legato, voice, key, velocity_[voice.name]);
        }
    }
    return true;
}

bool Reader::PlaceSection(const Section& section, double start, double& length) {
    std::vector<Chord> chords;
    double at = 0, chordLength = song_.beatsPerBar;
    line_ = section.chordLine;
    for (const std::string& token : section.chordTokens) {
        if (token == "|") {
            if (std::fabs(std::fmod(at + 1e-6, song_.beatsPerBar)) > 1e-3)
                return Fail("a bar of chords is not full");
            continue;
        }
        Chord chord;
        if (!ParseChord(token, chord, chordLength) || chordLength < kShortestLength)
            return Fail("bad chord " + token);
        chord.beat = start + at;
        chord.length = chordLength;
        at += chordLength;
        chords.push_back(chord);
    }
    length = at;
    if (start + length > kMostBeats)
        return Fail("the song is longer than " + std::to_string(int(kMostBeats)) + " beats");
    if (length <= 0 || std::fabs(std::fmod(length + 1e-6, song_.beatsPerBar)) > 1e-3)
        return Fail("a section's chords must fill whole bars");
    for (const Line& melody : section.melodies) {
        line_ = melody.number;
        const Voice& voice = *FindVoice(melody.voice);
        double pos = 0, noteLength = 1;
        for (const std::string& token : melody.tokens) {
            if (token == "|") {
                if (std::fabs(std::fmod(pos + 1e-6, song_.beatsPerBar)) > 1e-3)
                    return Fail("bar " + std::to_string(int(pos / song_.beatsPerBar) + 1) + " of " +
                                melody.voice + " is not full");
                continue;
            }
            int key = 0;
            if (!ParseMelodyNote(token, key, noteLength) || noteLength < kShortestLength)
                return Fail("bad note " + token);
            if (key >= 0)
                AddNote(start + pos, noteLength * legato_[voice.name], voice,
                        key + section.transpose + melody.transpose, velocity_[voice.name]);
            pos += noteLength;
        }
        if (pos > length + 1e-6) return Fail(melody.voice + " runs past the section's chords");
    }
    for (const std::string& name : section.figures)
        if (!PlaceFigure(figures_.at(name), chords, start, length, section.transpose)) return false;
    return true;
}

bool Reader::Build() {
    if (form_.empty()) return Fail("the song has no form");
    double at = 0;
    for (const std::string& name : form_) {
        double length = 0;
        if (!PlaceSection(sections_.at(name), at, length)) return false;
        at += length;
    }
    song_.length = at;
    return true;
}

bool Reader::Read(const std::string& text, std::string& error) {
    std::istringstream lines(text);
    std::string raw;
    bool ok = true;
    while (ok && std::getline(lines, raw)) {
        ++line_;
        // A comment starts with '#' at the start of a word ('#' inside a note is a sharp).
        for (size_t i = 0; i < raw.size(); ++i)
            if (raw[i] == '#' && (i == 0 || std::isspace(static_cast<unsigned char>(raw[i - 1])))) {
                raw.resize(i);
                break;
            }
        std::istringstream words(raw);
        std::string keyword;
        if (!(words >> keyword)) continue;
        ok = ReadLine(words, keyword);
    }
    ok = ok && Build();
    if (!ok) error = error_;
    return ok;
}

} // namespace

bool ParseSong(const std::string& text, Song& song, std::string& error) {
    song = Song();
    return Reader(song).Read(text, error);
}

} // namespace soundtools

#include "SYS/midi.h"

#include <fluidsynth.h>
#include <strings.h>

#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "SYS/files.h"
#include "SYS/sound_device.h"

namespace sys {
namespace {

const char* const kSoundFonts[] = {"/usr/share/sounds/sf2/FluidR3_GM.sf2",
                                   "/usr/share/sounds/sf2/default-GM.sf2"};
constexpr int kScratchFrames = 4096;
constexpr float kOutputScale = 32767.0f;

// One open sequencer: its synthesiser, the player of its file and the scratch it renders into.
struct Sequencer {
    std::string alias;
    std::string path;
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    fluid_player_t* player = nullptr;
    std::vector<float> left = std::vector<float>(kScratchFrames);
    std::vector<float> right = std::vector<float>(kScratchFrames);

    ~Sequencer() {
        if (player) delete_fluid_player(player);
        if (synth) delete_fluid_synth(synth);
        if (settings) delete_fluid_settings(settings);
    }
};

std::mutex g_commandMutex; // one command at a time
Sequencer* g_open = nullptr;

void RenderSequencer(void* context, float* stereo, int frames) {
    auto* seq = static_cast<Sequencer*>(context);
    while (frames > 0) {
        int n = frames < kScratchFrames ? frames : kScratchFrames;
        fluid_synth_write_float(seq->synth, n, seq->left.data(), 0, 1, seq->right.data(), 0, 1);
        for (int i = 0; i < n; ++i) {
            stereo[2 * i] += seq->left[size_t(i)] * kOutputScale;
            stereo[2 * i + 1] += seq->right[size_t(i)] * kOutputScale;
        }
        stereo += 2 * n;
        frames -= n;
    }
}

// The mixer stops calling the sequencer while it is changed, and starts again afterwards.
struct Detached {
    Detached() { SetSynthSource(nullptr, nullptr); }
    ~Detached() {
        if (g_open) SetSynthSource(RenderSequencer, g_open);
    }
};

void SilenceQuietly(fluid_synth_t* synth) {
    fluid_synth_all_sounds_off(synth, -1);
}

// A fresh player positioned at the start of the file.
bool RestartPlayer(Sequencer& seq) {
    if (seq.player) {
        fluid_player_stop(seq.player);
        delete_fluid_player(seq.player);
    }
    SilenceQuietly(seq.synth);
    fluid_synth_system_reset(seq.synth);
    seq.player = new_fluid_player(seq.synth);
    return seq.player && fluid_player_add(seq.player, seq.path.c_str()) == FLUID_OK;
}

void QuietFluidLog(int, const char*, void*) {}

unsigned long Open(const std::vector<std::string>& words) {
    if (words.size() < 2) return MCIERR_MISSING_PARAMETER;
    std::string alias = words[1];
    for (size_t i = 2; i < words.size(); ++i) {
        bool hasValue = i + 1 < words.size();
        if (strcasecmp(words[i].c_str(), "alias") == 0 && hasValue)
            alias = words[++i];
        else if (strcasecmp(words[i].c_str(), "type") == 0 && hasValue)
            ++i;
        else if (strcasecmp(words[i].c_str(), "wait") != 0 &&
                 strcasecmp(words[i].c_str(), "notify") != 0)
            return MCIERR_UNRECOGNIZED_KEYWORD;
    }
    if (g_open)
        return strcasecmp(g_open->alias.c_str(), alias.c_str()) == 0 ? MCIERR_DUPLICATE_ALIAS
                                                                     : MCIERR_DEVICE_OPEN;
    std::string path = ResolvePath(words[1]);
    if (!FileExists(words[1])) return MCIERR_FILE_NOT_FOUND;
    if (!fluid_is_midifile(path.c_str())) return MCIERR_INVALID_FILE;

    for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
        fluid_set_log_function(level, QuietFluidLog, nullptr);
    auto seq = std::make_unique<Sequencer>();
    seq->alias = alias;
    seq->path = path;
    seq->settings = new_fluid_settings();
    if (!seq->settings) return MCIERR_CANNOT_LOAD_DRIVER;
    fluid_settings_setnum(seq->settings, "synth.sample-rate", kDeviceRate);
    fluid_settings_setnum(seq->settings, "synth.gain", 0.5);
    seq->synth = new_fluid_synth(seq->settings);
    if (!seq->synth) return MCIERR_CANNOT_LOAD_DRIVER;
    bool loaded = false;
    for (const char* font : kSoundFonts)
        if (!loaded && fluid_synth_sfload(seq->synth, font, 1) != FLUID_FAILED) loaded = true;
    if (!loaded) return MCIERR_CANNOT_LOAD_DRIVER;
    if (!RestartPlayer(*seq)) return MCIERR_INVALID_FILE;
    Detached detached;
    g_open = seq.release();
    return 0;
}

void Close() {
    Detached detached;
    delete g_open;
    g_open = nullptr;
}

unsigned long Play(const std::vector<std::string>& words) {
    bool fromStart = false;
    for (size_t i = 2; i < words.size(); ++i) {
        if (strcasecmp(words[i].c_str(), "from") == 0 && i + 1 < words.size()) {
            if (words[++i] != "0") return MCIERR_UNRECOGNIZED_KEYWORD; // only the start is used
            fromStart = true;
        } else if (strcasecmp(words[i].c_str(), "notify") != 0 &&
                   strcasecmp(words[i].c_str(), "wait") != 0) {
            return MCIERR_UNRECOGNIZED_KEYWORD;
        }
    }
    Detached detached;
    int status = fluid_player_get_status(g_open->player);
    if ((fromStart || status == FLUID_PLAYER_DONE) && !RestartPlayer(*g_open))
        return MCIERR_INVALID_FILE;
    fluid_player_play(g_open->player);
    return 0;
}

unsigned long Halt() {
    Detached detached;
    fluid_player_stop(g_open->player);
    SilenceQuietly(g_open->synth);
    return 0;
}

std::vector<std::string> SplitCommand(const char* command) {
    std::vector<std::string> words;
    const char* p = command;
    while (*p) {
        while (*p == ' ' || *p == '\t') ++p;
        if (!*p) break;
        std::string word;
        if (*p == '"') {
            for (++p; *p && *p != '"'; ++p) word += *p;
            if (*p == '"') ++p;
        } else {
            for (; *p && *p != ' ' && *p != '\t'; ++p) word += *p;
        }
        words.push_back(word);
    }
    return words;
}

const struct {
    unsigned long code;
    const char* text;
} kErrorTexts[] = {
    {MCIERR_INVALID_DEVICE_ID,
     "Invalid MCI device ID. Use the ID returned when opening the MCI device."},
    {MCIERR_UNRECOGNIZED_KEYWORD, "The driver cannot recognize the specified command parameter."},
    {MCIERR_UNRECOGNIZED_COMMAND, "The driver cannot recognize the specified command."},
    {MCIERR_INVALID_DEVICE_NAME, "The specified device is not open or is not recognized by MCI."},
    {MCIERR_DEVICE_OPEN,
     "The device name is already being used as an alias by this application. Use a unique alias."},
    {MCIERR_CANNOT_LOAD_DRIVER,
     "The specified device driver cannot be loaded: no General MIDI sound font is installed."},
    {MCIERR_MISSING_PARAMETER, "The specified command requires a parameter. Please supply one."},
    {MCIERR_FILE_NOT_FOUND,
     "Cannot find the specified file. Make sure the path and filename are correct."},
    {MCIERR_DUPLICATE_ALIAS,
     "The specified alias is already being used in this application. Use a unique alias."},
    {MCIERR_INVALID_FILE, "The specified file cannot be played on the specified MCI device. The "
                          "file may be corrupt, or not in the correct format."},
};

} // namespace

unsigned long mciSendString(const char* command, char*, unsigned, void*) {
    std::lock_guard<std::mutex> lock(g_commandMutex);
    std::vector<std::string> words = SplitCommand(command ? command : "");
    if (words.empty()) return MCIERR_UNRECOGNIZED_COMMAND;
    const char* verb = words[0].c_str();
    if (strcasecmp(verb, "open") == 0) return Open(words);
    if (words.size() < 2) return MCIERR_MISSING_PARAMETER;
    bool all = strcasecmp(words[1].c_str(), "all") == 0;
    if (strcasecmp(verb, "close") == 0 && all) {
        Close();
        return 0;
    }
    if (!g_open || strcasecmp(words[1].c_str(), g_open->alias.c_str()) != 0)
        return MCIERR_INVALID_DEVICE_NAME;
    if (strcasecmp(verb, "close") == 0) {
        Close();
        return 0;
    }
    if (strcasecmp(verb, "play") == 0) return Play(words);
    if (strcasecmp(verb, "resume") == 0) return Play({words[0], words[1]});
    if (strcasecmp(verb, "pause") == 0 || strcasecmp(verb, "stop") == 0) return Halt();
    return MCIERR_UNRECOGNIZED_COMMAND;
}

bool mciGetErrorString(unsigned long error, char* text, unsigned size) {
    if (!text || size == 0) return false;
    for (const auto& entry : kErrorTexts) {
        if (entry.code == error) {
            std::snprintf(text, size, "%s", entry.text);
            return true;
        }
    }
    text[0] = '\0';
    return false;
}

} // namespace sys

// Sound effects made from recipes (data/sound/effects.ini): one section per effect, named as the
// game asks for it. A recipe layers tones and filtered noise with pitch sweeps and envelopes,
// sings the hero's syllables, or plays a few notes on a General MIDI instrument.
#pragma once
#include <string>
#include <vector>

#include "audio.h"

namespace soundtools {

struct EffectRecipe {
    std::string name;    // the section: the name the game plays
    float volume = 1.0f; // written to sound.ini
    float pan = 0.0f;
    double peakDb = -1.5; // the effect's loudest sample after making
};

// The sections of the recipe file in order, with what sound.ini needs of each.
std::vector<EffectRecipe> ReadRecipes(const std::string& recipeFile);
// Makes one effect, mono, peaking at its recipe's level. False with a message.
bool MakeEffect(const std::string& recipeFile, const EffectRecipe& recipe,
                const std::string& soundFont, Audio& out, std::string& error);

} // namespace soundtools

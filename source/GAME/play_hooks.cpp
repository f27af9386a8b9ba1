#include "GAME/play_hooks.h"

#include "SOUND/Gsound.h"

void PlayHooks::Sound(const char* name) {
    PlaySound(name, kChannelEffects);
}

PlayHooks& DefaultPlayHooks() {
    static PlayHooks hooks;
    return hooks;
}

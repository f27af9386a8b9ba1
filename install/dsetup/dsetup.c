/* Stand-in for the DirectX set-up library of a package's redistributable folder. It has no
   run-time to install; it follows the library's calling protocol so the installer's DXSetup
   step can be exercised: the licence question, progress in two phases through the callback,
   messages, and the results 0 (done), 1 (done, restart needed) and negative (failed).
   Files in the folder it is run for steer it:
     eula_refused     the licence is declined
     message.txt      its text is sent as a message (kind 10); Cancel fails the set-up
     restart          the set-up asks for a restart (result 1)
     fail             the set-up fails                                                        */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <string.h>

#define DSETUP_EXPORT __attribute__((visibility("default")))

enum { kMessage = 10, kProgress = 18, kFlagsAll = 0x10018, kIdYes = 6, kIdNo = 7, kIdCancel = 2 };

typedef struct {
    unsigned phase, inPhaseMaximum, inPhaseProgress, overallMaximum, overallProgress;
} DsetupProgress;

typedef unsigned (*DsetupCallback)(unsigned kind, unsigned style, const char* text,
                                   const DsetupProgress* progress);

static DsetupCallback g_callback;

static int FolderHas(const char* folder, const char* name, char* text, size_t size) {
    char path[4352];
    snprintf(path, sizeof path, "%s/%s", folder, name);
    FILE* f = fopen(path, "rb");
    if (!f) return 0;
    if (text && size) {
        size_t got = fread(text, 1, size - 1, f);
        text[got] = '\0';
    }
    fclose(f);
    return 1;
}

DSETUP_EXPORT int DirectXSetupSetCallback(DsetupCallback callback) {
    g_callback = callback;
    return 0;
}

/* The licence belongs to the redistributable folder this library lies in. */
DSETUP_EXPORT int DirectXSetupShowEULA(void* window) {
    (void)window;
    Dl_info info;
    char folder[4096] = ".";
    if (dladdr((void*)&DirectXSetupShowEULA, &info) && info.dli_fname) {
        snprintf(folder, sizeof folder, "%s", info.dli_fname);
        char* slash = strrchr(folder, '/');
        if (slash) *slash = '\0';
        else snprintf(folder, sizeof folder, ".");
    }
    return FolderHas(folder, "eula_refused", NULL, 0) ? kIdNo : kIdYes;
}

DSETUP_EXPORT int DirectXSetupA(void* window, const char* folder, unsigned flags) {
    (void)window;
    if (!folder || flags != kFlagsAll) return -1;
    char text[512];
    if (g_callback && FolderHas(folder, "message.txt", text, sizeof text) &&
        g_callback(kMessage, 0x1 /* OK and Cancel */, text, NULL) == kIdCancel)
        return -1;
    const unsigned steps = 4;
    for (unsigned phase = 1; phase <= 2 && g_callback; ++phase) {
        for (unsigned step = 0; step <= steps; ++step) {
            DsetupProgress progress = {phase, steps, step, 2 * steps, (phase - 1) * steps + step};
            if (g_callback(kProgress, 0, NULL, &progress) == 2) return -1; /* cancelled */
        }
    }
    if (FolderHas(folder, "fail", NULL, 0)) return -2;
    return FolderHas(folder, "restart", NULL, 0) ? 1 : 0;
}

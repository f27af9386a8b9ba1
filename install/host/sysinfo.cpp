#include "install/host/sysinfo.h"

#include <SDL.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <thread>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <x86intrin.h>
#endif

namespace host {
namespace {

// The newest version the original's detection could report, 9.0c: what our SDL layer stands in
// for when it can open video and sound.
constexpr int kProvidedDxMajor = 9;
constexpr int kProvidedDxMinorWord = 0 * 256 + 3;
// The browser stands in for Internet Explorer: a version every package accepts when the desktop
// can open web addresses.
constexpr int kProvidedBrowserMajor = 6;
// When the display stack does not say how much video memory it has: what any display that can
// open a window today offers at least.
constexpr int kAssumedVideoMB = 64;

void MeasureProcessor(inst::SystemInfo* info) {
#if defined(__x86_64__) || defined(__i386__)
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    const unsigned family = __get_cpuid(1, &eax, &ebx, &ecx, &edx) ? (eax >> 8) & 0xF : 0;
    info->processorClass = family >= 3 && family <= 5 ? 0 : family == 6 ? 2 : family == 15 ? 3 : 4;
    const auto start = std::chrono::steady_clock::now();
    const unsigned long long ticks = __rdtsc();
    std::this_thread::sleep_for(std::chrono::milliseconds(750));
    const unsigned long long elapsedTicks = __rdtsc() - ticks;
    const double elapsedUs =
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
    // Divided by the time that really passed, as a sleep may oversleep.
    info->processorMHz = elapsedUs > 0 ? int(double(elapsedTicks) / elapsedUs) : 0;
#else
    info->processorClass = 4;
    info->processorMHz = 0;
#endif
}

// SDL stands in for DirectX: the game needs a window and a sound device from it.
void MeasureGraphicsAndSound(inst::SystemInfo* info) {
    const Uint32 systems = SDL_INIT_VIDEO | SDL_INIT_AUDIO;
    const bool wasUp = SDL_WasInit(systems) == systems;
    if (!wasUp && SDL_InitSubSystem(systems) != 0) return;
    info->dxMajor = kProvidedDxMajor;
    info->dxMinorWord = kProvidedDxMinorWord;
    info->videoMB = kAssumedVideoMB;
    for (int i = 0; i < SDL_GetNumRenderDrivers(); ++i) {
        SDL_RendererInfo renderer;
        if (SDL_GetRenderDriverInfo(i, &renderer) == 0 &&
            (renderer.flags & SDL_RENDERER_ACCELERATED))
            info->video3D = true;
    }
    if (!wasUp) SDL_QuitSubSystem(systems);
}

// Cards with memory of their own report it through DRM; shared-memory graphics do not.
void MeasureVideoMemory(inst::SystemInfo* info) {
    for (int card = 0; card < 8; ++card) {
        const std::string file =
            "/sys/class/drm/card" + std::to_string(card) + "/device/mem_info_vram_total";
        FILE* in = std::fopen(file.c_str(), "r");
        if (!in) continue;
        unsigned long long bytes = 0;
        if (std::fscanf(in, "%llu", &bytes) == 1 && bytes >> 20 > 0)
            info->videoMB =
                std::max(info->videoMB, int(std::min<unsigned long long>(bytes >> 20, 1u << 30)));
        std::fclose(in);
    }
}

void MeasureMemory(inst::SystemInfo* info) {
    const long pages = sysconf(_SC_PHYS_PAGES), pageSize = sysconf(_SC_PAGE_SIZE);
    if (pages > 0 && pageSize > 0) info->memoryMB = int((int64_t(pages) * pageSize) >> 20);
}

bool OnPath(const char* program) {
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "";
    for (size_t start = 0; start <= folders.size();) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos) end = folders.size();
        const std::string folder = end > start ? folders.substr(start, end - start) : ".";
        if (access((folder + "/" + program).c_str(), X_OK) == 0) return true;
        start = end + 1;
    }
    return false;
}

} // namespace

int64_t FreeDiskMB(const std::string& folder) {
    auto free = [](const struct statvfs& fs) {
        return int64_t(fs.f_bavail) * int64_t(fs.f_frsize) / 1024 / 1024;
    };
    std::string path = folder.empty() ? "." : folder;
    struct statvfs fs;
    // The games folder is usually made by the install itself: its nearest parent tells.
    while (statvfs(path.c_str(), &fs) != 0) {
        const size_t cut = path.find_last_of('/');
        path = cut == std::string::npos ? "." : cut == 0 ? "/" : path.substr(0, cut);
        if (path == "." || path == "/") return statvfs(path.c_str(), &fs) == 0 ? free(fs) : 0;
    }
    return free(fs);
}

inst::SystemInfo MeasureSystem(const std::string& gamesFolder) {
    static std::optional<inst::SystemInfo> measured;
    if (!measured) {
        inst::SystemInfo info;
        MeasureProcessor(&info);
        MeasureGraphicsAndSound(&info);
        if (info.dxMajor) MeasureVideoMemory(&info);
        MeasureMemory(&info);
        info.systemIndex = 5; // neither of the two Windows families
        if (OnPath("xdg-open")) info.ieMajor = kProvidedBrowserMajor;
        measured = info;
    }
    inst::SystemInfo info = *measured;
    info.freeDiskMB = FreeDiskMB(gamesFolder);
    return info;
}

} // namespace host

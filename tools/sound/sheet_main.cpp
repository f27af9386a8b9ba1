// sound_sheet: the listening sheet, a review of every sound at a glance.
//   sound_sheet <game folder> <out folder>
// Writes listening-<n>.png (per sound: its figures, its waveform, its spectrogram) and
// listening.txt (duration, peak and loudness of every sound) for DATA/SOUND.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include "audio.h"
#include "loudness.h"
#include "spectrum.h"

using namespace soundtools;
namespace fs = std::filesystem;

namespace {

constexpr int kPageWidth = 1280;
constexpr int kRowHeight = 112;
constexpr int kRowsPerPage = 8;
constexpr int kLabelWidth = 250;
constexpr int kWaveWidth = 440;
constexpr int kSpectrumRows = 96;

struct Entry {
    std::string name;
    Audio audio;
    double seconds, peakDb, loudness, momentary, seam;
};

// Dark blue through violet and orange to pale yellow, for -90 ... 0 dB.
void HeatColour(double db, double& r, double& g, double& b) {
    double x = std::clamp((db + 90.0) / 90.0, 0.0, 1.0);
    r = std::clamp(1.6 * x - 0.1, 0.0, 1.0);
    g = std::clamp(1.8 * x * x - 0.2, 0.0, 1.0);
    b = std::clamp(0.35 + 0.9 * std::sin(M_PI * x) - 0.5 * x * x, 0.0, 1.0) * (x > 0.02 ? 1 : 0.3);
}

void DrawWave(cairo_t* cr, const Audio& audio, double x, double y, double w, double h) {
    cairo_set_source_rgb(cr, 0.08, 0.12, 0.18);
    cairo_rectangle(cr, x, y, w, h);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.25, 0.3, 0.4);
    for (double db : {-1.0, -6.0}) { // the ceiling lines
        double a = FromDecibels(db) * h / 2;
        cairo_rectangle(cr, x, y + h / 2 - a, w, 0.6);
        cairo_rectangle(cr, x, y + h / 2 + a, w, 0.6);
    }
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.45, 0.85, 0.95);
    const size_t frames = audio.Frames();
    for (int px = 0; px < int(w); ++px) {
        size_t a = frames * size_t(px) / size_t(w),
               b = std::max(a + 1, frames * size_t(px + 1) / size_t(w));
        float lo = 0, hi = 0;
        for (size_t i = a; i < b && i < frames; ++i)
            for (int c = 0; c < audio.channels; ++c)
                lo = std::min(lo, audio.At(i, c)), hi = std::max(hi, audio.At(i, c));
        cairo_rectangle(cr, x + px, y + h / 2 - hi * h / 2, 1,
                        std::max(0.7, double(hi - lo) * h / 2));
    }
    cairo_fill(cr);
}

void DrawSpectrum(cairo_t* cr, const Audio& audio, double x, double y, double w, double h) {
    const int columns = int(w);
    auto spectrum = Spectrogram(audio, columns, kSpectrumRows);
    const double cell = h / kSpectrumRows;
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < kSpectrumRows; ++r) {
            double red, green, blue;
            HeatColour(spectrum[size_t(c)][size_t(r)], red, green, blue);
            cairo_set_source_rgb(cr, red, green, blue);
            cairo_rectangle(cr, x + c, y + h - (r + 1) * cell, 1, cell + 0.5);
            cairo_fill(cr);
        }
    // Frequency marks: 100 Hz, 1 kHz, 10 kHz.
    cairo_set_source_rgba(cr, 1, 1, 1, 0.35);
    cairo_set_font_size(cr, 9);
    for (double hz : {100.0, 1000.0, 10000.0}) {
        double yy = y + h - h * std::log(hz / 40.0) / std::log(400.0);
        cairo_rectangle(cr, x, yy, 6, 0.8);
        cairo_fill(cr);
        cairo_move_to(cr, x + 8, yy + 3);
        cairo_show_text(cr,
                        hz >= 1000 ? (std::to_string(int(hz / 1000)) + " kHz").c_str() : "100 Hz");
    }
}

void Text(cairo_t* cr, double x, double y, double size, const std::string& text) {
    cairo_set_font_size(cr, size);
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, text.c_str());
}

bool DrawPage(const std::vector<Entry>& entries, size_t first, const std::string& path, int page,
              int pages) {
    const size_t count = std::min<size_t>(kRowsPerPage, entries.size() - first);
    const int height = 40 + int(count) * kRowHeight;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kPageWidth, height);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 0.93, 0.95, 0.97);
    cairo_paint(cr);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_source_rgb(cr, 0.1, 0.15, 0.25);
    Text(cr, 16, 26, 16,
         "Listening sheet " + std::to_string(page) + "/" + std::to_string(pages) +
             "   (waveform: lines at -1 and -6 dBFS; spectrogram 40 Hz - 16 kHz, -90 ... 0 dB)");
    for (size_t i = 0; i < count; ++i) {
        const Entry& e = entries[first + i];
        const double y = 40 + double(i) * kRowHeight;
        char figures[160];
        cairo_set_source_rgb(cr, 0.1, 0.15, 0.25);
        Text(cr, 16, y + 22, 14, e.name);
        std::snprintf(figures, sizeof figures, "%.2f s  %s", e.seconds,
                      e.audio.channels == 2 ? "stereo" : "mono");
        Text(cr, 16, y + 42, 11, figures);
        std::snprintf(figures, sizeof figures, "peak %.1f dBFS", e.peakDb);
        Text(cr, 16, y + 58, 11, figures);
        std::snprintf(figures, sizeof figures, "integrated %.1f LUFS", e.loudness);
        Text(cr, 16, y + 74, 11, figures);
        std::snprintf(figures, sizeof figures, "loudest 400 ms %.1f LUFS", e.momentary);
        Text(cr, 16, y + 90, 11, figures);
        DrawWave(cr, e.audio, kLabelWidth, y + 6, kWaveWidth, kRowHeight - 12);
        DrawSpectrum(cr, e.audio, kLabelWidth + kWaveWidth + 12, y + 6,
                     kPageWidth - kLabelWidth - kWaveWidth - 28, kRowHeight - 12);
    }
    cairo_destroy(cr);
    bool ok = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: sound_sheet <game folder> <out folder>\n");
        return 2;
    }
    const fs::path folder = fs::path(argv[1]) / "DATA" / "SOUND", out = argv[2];
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".ogg" || entry.path().extension() == ".wav")
            files.push_back(entry.path());
    // Music first, then the effects, each by name.
    std::sort(files.begin(), files.end(), [](const fs::path& a, const fs::path& b) {
        if (a.extension() != b.extension()) return a.extension() == ".ogg";
        return a.filename().string() < b.filename().string();
    });
    std::vector<Entry> entries;
    for (const fs::path& file : files) {
        Entry e;
        std::string error;
        e.name = file.filename().string();
        if (!ReadSound(file.string(), e.audio, error)) {
            std::fprintf(stderr, "sound_sheet: %s: %s\n", file.c_str(), error.c_str());
            return 1;
        }
        e.seconds = e.audio.Seconds();
        e.peakDb = ToDecibels(Peak(e.audio));
        e.loudness = IntegratedLoudness(e.audio);
        e.momentary = MaxMomentaryLoudness(e.audio);
        e.seam = SeamRoughness(e.audio);
        entries.push_back(std::move(e));
    }
    fs::create_directories(out);
    const int pages = int((entries.size() + kRowsPerPage - 1) / kRowsPerPage);
    for (int p = 0; p < pages; ++p)
        if (!DrawPage(entries, size_t(p) * kRowsPerPage,
                      (out / ("listening-" + std::to_string(p + 1) + ".png")).string(), p + 1,
                      pages)) {
            std::fprintf(stderr, "sound_sheet: cannot write the pages into %s\n", out.c_str());
            return 1;
        }
    FILE* table = std::fopen((out / "listening.txt").c_str(), "w");
    if (!table) {
        std::fprintf(stderr, "sound_sheet: cannot write %s\n", (out / "listening.txt").c_str());
        return 1;
    }
    // The seam column matters for the loops: under 1 the end runs into the start without a click.
    std::fprintf(table, "%-28s %8s %3s %10s %15s %17s %6s\n", "sound", "seconds", "ch", "peak dBFS",
                 "integrated LUFS", "loudest 0.4s LUFS", "seam");
    for (const Entry& e : entries)
        std::fprintf(table, "%-28s %8.2f %3d %10.1f %15.1f %17.1f %6.2f\n", e.name.c_str(),
                     e.seconds, e.audio.channels, e.peakDb, e.loudness, e.momentary, e.seam);
    // Cairo's text keeps font caches until told to let go; the leak checker of the sanitizer
    // build would report them.
    cairo_debug_reset_static_data();
    FcFini();
    return std::fclose(table) == 0 ? 0 : 1;
}

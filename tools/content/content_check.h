// Checks a laid-out game folder against the content manifest: every file present, pictures
// readable with masks of their own size, fonts complete, strips and textures of the right shape,
// screen descriptions holding every section their screen reads and naming only pictures that
// exist, texts present.
#pragma once
#include <string>
#include <vector>

#include "image.h"
#include "ini_file.h"
#include "manifest.h"

namespace content {

// How a repeating picture steps across its wrap, against its own mean step between neighbours
// (mean absolute channel difference, 0..255).
struct SeamMeasure {
    double wrap = 0;
    double inner = 0;
    // A wrap may step a little more than the average, as a few rows of any picture do.
    bool Seamless() const { return wrap <= 2 * inner + 4; }
};
// Rows 0 .. period - 1, with row period - 1 followed by row 0.
SeamMeasure RowSeam(const Image& img, int period);
// Columns, the last followed by the first.
SeamMeasure ColumnSeam(const Image& img);

// One line per problem; empty when the folder is complete.
std::vector<std::string> CheckContent(const std::string& gameDir, const Manifest& manifest);

// The picture names of a widget section in state order (ignore, normal, active, press), up to
// the first missing or empty key, as the game reads them.
std::vector<std::string> StatePictures(const IniFile& ini, const std::string& section);
// The item sections named by keys "0", "1", ... up to the first empty one.
std::vector<std::string> ItemSections(const IniFile& ini, const std::string& section);
// Every section a widget of that class reads: its own, its items, and a spinner's arrows.
std::vector<std::string> SectionsOfWidget(const IniFile& ini, const ManifestWidget& widget);

} // namespace content

// The content manifest (data/content.manifest): one entry per line naming a file of the game
// folder and the shape it must have. Lines:
//   picture NAME masked|opaque|jpeg   a picture; masked ones have a "_NAME" mask of equal size
//   font NAME                         a font picture with its mask and its ".fh" table
//   strip NAME FRAMES                 a picture of FRAMES equal frames stacked vertically
//   texture NAME                      a picture used for textured triangles: power-of-two sides
//   file NAME                         any file that must exist
//   screen NAME CLASS:SECTION ...     a screen description and its widgets in child order;
//                                     CLASS is B, L, W, S (slider), Sp (spinner), T (text field)
//   keys NAME SECTION KEY ...         keys that must have a value; "1..88" stands for a range
// "#" starts a comment line.
#pragma once
#include <string>
#include <vector>

namespace content {

struct ManifestWidget {
    std::string widgetClass;
    std::string section;
};

struct ManifestEntry {
    std::string kind;
    std::string name;
    std::string pictureKind;             // picture: masked, opaque or jpeg
    int frames = 0;                      // strip
    std::vector<ManifestWidget> widgets; // screen
    std::string section;                 // keys
    std::vector<std::string> keys;       // keys
    int line = 0;
};

struct Manifest {
    std::vector<ManifestEntry> entries;
};

bool LoadManifest(const std::string& path, Manifest* manifest, std::string* error);
bool ParseManifest(const std::string& text, Manifest* manifest, std::string* error);

} // namespace content

// The content manifest (data/content.manifest): one entry per line naming a file of the game
// folder and the shape it must have. Lines:
//   picture NAME masked|opaque|jpeg   a picture; masked ones have a "_NAME" mask of equal size
//   font NAME                         a font picture with its mask and its ".fh" table
//   strip NAME FRAMES                 a picture of FRAMES equal frames stacked vertically
//   texture NAME                      a picture used for textured triangles: power-of-two sides
//   file NAME                         any file that must exist
//   tiles NAME both|fall              a picture that repeats without a seam: in both directions,
//                                     or (fall) downward with its rows taken modulo height - 1
//   hero NAME SECTION ...             the hero's description: each section names a strip of
//                                     "length" frames that fits on the screen at "x", "y"
// picture, strip and texture lines may add "mask=NAME" (the shared mask the game draws the
// picture with; it must exist and match the picture's size) and "size=WxH" (the size of the
// picture, of one frame for strips).
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
    std::string mask;                    // picture, strip, texture: the shared mask, if any
    int width = 0, height = 0;           // picture, strip, texture: required size, 0 for any
    std::string tiling;                  // tiles: both or fall
    std::vector<ManifestWidget> widgets; // screen
    std::string section;                 // keys
    std::vector<std::string> keys;       // keys; hero: its sections
    int line = 0;
};

struct Manifest {
    std::vector<ManifestEntry> entries;
};

bool LoadManifest(const std::string& path, Manifest* manifest, std::string* error);
bool ParseManifest(const std::string& text, Manifest* manifest, std::string* error);

} // namespace content

#include "manifest.h"

#include <sstream>

#include "file_bytes.h"

namespace content {

namespace {

// "1..88" → "1", "2", ..., "88"; anything else stays as written.
bool ExpandKey(const std::string& word, std::vector<std::string>* keys) {
    const size_t dots = word.find("..");
    if (dots == std::string::npos) {
        keys->push_back(word);
        return true;
    }
    try {
        const int first = std::stoi(word.substr(0, dots));
        const int last = std::stoi(word.substr(dots + 2));
        if (first > last || last - first > 1000) return false;
        for (int k = first; k <= last; ++k) keys->push_back(std::to_string(k));
    } catch (...) {
        return false;
    }
    return true;
}

// The optional "mask=NAME" and "size=WxH" words after a picture, strip or texture.
bool ParseShapeWords(std::istringstream& words, ManifestEntry* e, std::string* why) {
    std::string word;
    while (words >> word) {
        if (word.rfind("mask=", 0) == 0 && word.size() > 5) {
            e->mask = word.substr(5);
        } else if (word.rfind("size=", 0) == 0) {
            const size_t x = word.find('x', 5);
            try {
                if (x == std::string::npos) throw 0;
                e->width = std::stoi(word.substr(5, x - 5));
                e->height = std::stoi(word.substr(x + 1));
            } catch (...) {
                e->width = e->height = 0;
            }
            if (e->width <= 0 || e->height <= 0) {
                *why = "bad size " + word + " (want size=WxH)";
                return false;
            }
        } else {
            *why = "unknown word " + word;
            return false;
        }
    }
    return true;
}

bool ParseLine(std::istringstream& words, ManifestEntry* e, std::string* why) {
    if (!(words >> e->name)) {
        *why = "names no file";
        return false;
    }
    std::string word;
    if (e->kind == "picture") {
        if (!(words >> e->pictureKind) ||
            (e->pictureKind != "masked" && e->pictureKind != "opaque" &&
             e->pictureKind != "jpeg")) {
            *why = "picture needs masked, opaque or jpeg";
            return false;
        }
        return ParseShapeWords(words, e, why);
    } else if (e->kind == "strip") {
        if (!(words >> e->frames) || e->frames <= 0) {
            *why = "strip needs a positive frame count";
            return false;
        }
        return ParseShapeWords(words, e, why);
    } else if (e->kind == "texture") {
        return ParseShapeWords(words, e, why);
    } else if (e->kind == "tiles") {
        if (!(words >> e->tiling) || (e->tiling != "both" && e->tiling != "fall")) {
            *why = "tiles needs both or fall";
            return false;
        }
    } else if (e->kind == "hero") {
        while (words >> word) e->keys.push_back(word);
        if (e->keys.empty()) {
            *why = "hero needs its sections";
            return false;
        }
    } else if (e->kind == "screen") {
        while (words >> word) {
            const size_t colon = word.find(':');
            if (colon == std::string::npos) {
                *why = "widget \"" + word + "\" is not CLASS:SECTION";
                return false;
            }
            const std::string cls = word.substr(0, colon);
            if (cls != "B" && cls != "L" && cls != "W" && cls != "S" && cls != "Sp" && cls != "T") {
                *why = "unknown widget class " + cls;
                return false;
            }
            e->widgets.push_back({cls, word.substr(colon + 1)});
        }
    } else if (e->kind == "keys") {
        if (!(words >> e->section)) {
            *why = "keys needs a section";
            return false;
        }
        while (words >> word)
            if (!ExpandKey(word, &e->keys)) {
                *why = "bad key range " + word;
                return false;
            }
    } else if (e->kind != "font" && e->kind != "file") {
        *why = "unknown entry kind " + e->kind;
        return false;
    }
    return true;
}

} // namespace

bool ParseManifest(const std::string& text, Manifest* manifest, std::string* error) {
    std::istringstream in(text);
    std::string line;
    Manifest got;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        std::istringstream words(line);
        ManifestEntry e;
        e.line = number;
        if (!(words >> e.kind) || e.kind[0] == '#') continue;
        std::string why;
        if (!ParseLine(words, &e, &why)) {
            if (error) *error = "line " + std::to_string(number) + ": " + why;
            return false;
        }
        got.entries.push_back(e);
    }
    *manifest = got;
    return true;
}

bool LoadManifest(const std::string& path, Manifest* manifest, std::string* error) {
    std::string text;
    if (!ReadFileBytes(path, &text)) {
        if (error) *error = path + ": missing";
        return false;
    }
    std::string why;
    if (ParseManifest(text, manifest, &why)) return true;
    if (error) *error = path + ": " + why;
    return false;
}

} // namespace content

// The picture sets of the content tools. Each writes its pictures below the game folder root and
// returns false (after printing why) when one cannot be written. Sizes are the ones the screen
// descriptions in data/DATA give their widgets.
#pragma once
#include <string>

namespace content {

bool DrawMenuArt(const std::string& root);   // frame, buttons, caps, arrows, tracks, fields
bool DrawPages(const std::string& root);     // title, logo, help pages, relax and exit pages
bool DrawBubbleArt(const std::string& root); // bubble sets, two-colour bubbles, bonus icons, debris
bool DrawFieldArt(const std::string& root); // launcher, field backdrop, side panels, gauge, banners
bool DrawSceneArt(const std::string& root); // the waterfall backdrop and its spray
bool DrawHeroArt(const std::string& root);  // the hero's animation strips and speech balloon

} // namespace content

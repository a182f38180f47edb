// preferences.conf, the second settings file beside config.dat: what the game
// remembers beyond config.dat's fixed sixteen bytes, as "key=value" text lines.
// Lines this version does not know (a later version's keys, comments, damage)
// are kept as they are whenever it rewrites the file. A missing, damaged or
// unreadable file gives the defaults.
#pragma once

#include <string>

// The window's size in percent of the plain window (100, 150 or 200).
extern int windowScalePercent;
// 1 or 0: the openings' names in the status panel, the record list and the
// analysis window; the mark on the last move's cell.
extern int showOpeningNames;
extern int showLastMove;

constexpr const char* PreferencesName = "preferences.conf";

// Reads the file of the configuration folder into the preferences.
void loadPreferences();
// Writes the preferences into the file, keeping its other lines; 0 or the errno value.
int savePreferences();

// The file's text with the preferences set (lines of known keys replaced,
// missing ones added) and every other line kept; read applies such a text.
std::string writePreferences(const std::string& text);
void readPreferences(const std::string& text);

// The string resources by number, as loadString reads them: the trial
// opponents' speech lines and the proverbs and verses of the message line,
// in the interface's language (res/text.h). Every one converts to code page
// 932 in at most 99 bytes.
#pragma once

#include "res/text.h"

// The buffer every string is loaded into. A code page 932 byte takes at most
// three bytes in UTF-8, so every string of 99 bytes there fits here whole.
constexpr int StringBufferSize = 3 * 99 + 1;

// Speech lines of the six trial opponents (stage s is played against lv s):
// 100 + s when the opponent wins stage s, 200 + s when it loses, 300 + s when
// the stage opens.
constexpr int SpeechWinBase = 100;
constexpr int SpeechLoseBase = 200;
constexpr int SpeechOpenBase = 300;
constexpr int FirstProverb = 401; // 38 proverbs: 401..438
constexpr int FirstVerse = 601;   // 100 verses: 601..700

// The text of string id, or nullptr when there is no such string.
const char* findString(int id);

// The computer levels lv0..lv7, player settings 1..8.
constexpr int ComputerLevels = PersonaCount;
// Short name of computer level lv0..lv7, shown after "lv<n> ".
const char* personaName(int level);
// Strength label of a level, shown after its name in the level lists.
const char* levelLabel(int level);

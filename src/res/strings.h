// The program's string tables: the trial opponents' speech lines, the
// proverbs and verses of the message line, and the computer players' names.
// All texts are UTF-8 and every one of them converts to code page 932 in at
// most 99 bytes.
#pragma once

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
constexpr int ProverbCount = 38;
constexpr int FirstVerse = 601; // 100 verses: 601..700
constexpr int VerseCount = 100;

// The text of string id, or nullptr when there is no such string.
const char* findString(int id);

// The computer levels lv0..lv7, player settings 1..8.
constexpr int ComputerLevels = 8;
// Short name of each computer level, shown after "lv<n> ".
extern const char* const personaNames[ComputerLevels];
// Strength label of each level, shown after its name in the level lists.
extern const char* const levelLabels[ComputerLevels];

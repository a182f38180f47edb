// The language tables behind text(), for the lookup and the tests.
#pragma once

#include <cstddef>

#include "res/text.h"

struct TextTable {
    const TextEntry* entries;
    std::size_t count;
};

extern const TextTable japaneseTexts;
extern const TextTable englishTexts;
// lv5's verses, in every language.
extern const char* const verses[VerseCount];

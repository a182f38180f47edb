// The hundred classical verses lv5 recites: poems, kept in the original in
// every language.
#include "res/text_tables.h"

const char* const verses[VerseCount] = {
#include "res/verses.inc"
};

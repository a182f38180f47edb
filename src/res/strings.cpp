#include "res/strings.h"

namespace {

struct Range {
    int firstNumber;
    TextId firstText;
    int count;
};

constexpr Range ranges[] = {
    {SpeechWinBase + 1, TextId::SpeechWin, TrialStages},
    {SpeechLoseBase + 1, TextId::SpeechLose, TrialStages},
    {SpeechOpenBase + 1, TextId::SpeechOpen, TrialStages},
    {FirstProverb, TextId::Proverb, ProverbCount},
    {FirstVerse, TextId::Verse, VerseCount},
};

} // namespace

const char* findString(int id)
{
    for (const Range& range : ranges)
        if (id >= range.firstNumber && id < range.firstNumber + range.count)
            return uiText(range.firstText + (id - range.firstNumber));
    return nullptr;
}

const char* personaName(int level)
{
    return level >= 0 && level < PersonaCount ? uiText(TextId::Persona + level) : "";
}

const char* levelLabel(int level)
{
    return level >= 0 && level < PersonaCount ? uiText(TextId::LevelLabel + level) : "";
}

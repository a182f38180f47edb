#include "res/text.h"

#include <array>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "res/text_tables.h"

namespace {

Language interfaceLanguage = Language::Japanese;

using Index = std::array<const char*, TextCount>;

Index indexOf(const TextTable& table)
{
    Index index{};
    for (std::size_t i = 0; i < table.count; ++i)
        index[static_cast<int>(table.entries[i].id)] = table.entries[i].text;
    for (int i = 0; i < VerseCount; ++i)
        index[static_cast<int>(TextId::Verse + i)] = verses[i];
    return index;
}

const Index& tableOf(Language language)
{
    static const Index japanese = indexOf(japaneseTexts);
    static const Index english = indexOf(englishTexts);
    return language == Language::English ? english : japanese;
}

// "ja_JP.UTF-8", "ja", "ja@x" name Japanese; so do "C" and "POSIX", with or
// without a codeset, the game's own language.
bool isJapaneseLocale(std::string_view name)
{
    const std::string_view base = name.substr(0, name.find_first_of(".@"));
    return base == "C" || base == "POSIX" || base == "ja" || base.starts_with("ja_");
}

// LANGUAGE is a list of languages by preference, "en_GB:en".
std::string_view firstOfList(const char* list)
{
    std::string_view rest = list ? list : "";
    while (!rest.empty() && rest.front() == ':')
        rest.remove_prefix(1);
    return rest.substr(0, rest.find(':'));
}

} // namespace

Language currentLanguage()
{
    return interfaceLanguage;
}

void setLanguage(Language language)
{
    interfaceLanguage = language;
}

const char* uiTextIn(Language language, TextId id)
{
    const int i = static_cast<int>(id);
    return i >= 0 && i < TextCount ? tableOf(language)[i] : "";
}

const char* uiText(TextId id)
{
    return uiTextIn(interfaceLanguage, id);
}

std::string formatUiText(TextId id, ...)
{
    const char* format = uiText(id);
    va_list args;
    va_start(args, id);
    va_list again;
    va_copy(again, args);
    const int size = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string result(size > 0 ? static_cast<std::size_t>(size) : 0, '\0');
    if (size > 0)
        std::vsnprintf(result.data(), result.size() + 1, format, again);
    va_end(again);
    return result;
}

bool languageFromCode(std::string_view code, Language& language)
{
    for (Language candidate : {Language::Japanese, Language::English})
        if (code == languageCode(candidate)) {
            language = candidate;
            return true;
        }
    return false;
}

const char* languageCode(Language language)
{
    return language == Language::English ? "en" : "ja";
}

Language languageOfLocale(const char* language, const char* lcAll, const char* lcMessages, const char* lang)
{
    const auto plain = [](const char* name) { return std::string_view(name ? name : ""); };
    for (std::string_view name : {firstOfList(language), plain(lcAll), plain(lcMessages), plain(lang)})
        if (!name.empty())
            return isJapaneseLocale(name) ? Language::Japanese : Language::English;
    return Language::Japanese;
}

Language languageOfEnvironment()
{
    return languageOfLocale(std::getenv("LANGUAGE"), std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"),
                            std::getenv("LANG"));
}

// Whether a UTF-8 text holds a Japanese character: kana, an ideograph, the
// ideographic space or punctuation, or a full-width form.
#pragma once

#include <string_view>

inline bool hasJapanese(std::string_view text)
{
    // U+3000..U+30FF: E3 80-83 xx; U+4E00..U+9FFF: E4-E9 xx xx; U+FF00..U+FFEF: EF BC-BF xx.
    for (size_t i = 0; i + 2 < text.size(); ++i) {
        const auto b = [&](size_t k) { return static_cast<unsigned char>(text[i + k]); };
        if ((b(0) == 0xE3 && b(1) <= 0x83) || (b(0) >= 0xE4 && b(0) <= 0xE9) ||
            (b(0) == 0xEF && b(1) >= 0xBC))
            return true;
    }
    return false;
}

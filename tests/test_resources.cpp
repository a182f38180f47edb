// The program's resources: the string tables must hold exactly the expected
// ids, every text must survive conversion to code page 932 in 99 bytes and
// fit whole, in UTF-8, the buffer the game loads it into, and the stone pictures must combine with their
// masks over the board green without leaving stray colour around the stone.
#include "res/strings.h"
#include "ui/status.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iconv.h>
#include <set>
#include <sstream>
#include <string>

#ifdef HAVE_QT_GUI
#include <QImage>
#endif

namespace {

// UTF-8 text in code page 932; false if some character has no form there.
bool toCp932(const std::string& text, std::string& out)
{
    iconv_t cd = iconv_open("CP932", "UTF-8");
    std::string buffer(text.size() * 2 + 4, '\0');
    char* in = const_cast<char*>(text.data());
    char* dst = buffer.data();
    size_t inLeft = text.size(), outLeft = buffer.size();
    bool ok = cd != iconv_t(-1) && iconv(cd, &in, &inLeft, &dst, &outLeft) != size_t(-1) && inLeft == 0;
    if (cd != iconv_t(-1))
        iconv_close(cd);
    out.assign(buffer.data(), dst);
    return ok;
}

int characterCount(const std::string& text)
{
    int n = 0;
    for (unsigned char c : text)
        n += (c & 0xC0) != 0x80;
    return n;
}

std::set<int> expectedIds()
{
    std::set<int> ids;
    for (int s = 1; s <= 6; ++s)
        ids.insert({SpeechWinBase + s, SpeechLoseBase + s, SpeechOpenBase + s});
    for (int i = 0; i < ProverbCount; ++i)
        ids.insert(FirstProverb + i);
    for (int i = 0; i < VerseCount; ++i)
        ids.insert(FirstVerse + i);
    return ids;
}

// The word after "\r\nPassword: ", or "" when the text has no password line.
std::string passwordOf(const std::string& text)
{
    const std::string marker = "\r\nPassword: ";
    size_t at = text.find(marker);
    return at == std::string::npos || at == 0 ? "" : text.substr(at + marker.size());
}

} // namespace

TEST(StringTable, HoldsExactlyTheExpectedIdsAndEveryTextFitsCp932AndItsBuffer)
{
    std::set<int> found;
    for (int id = -1000; id <= 2000; ++id)
        if (findString(id))
            found.insert(id);
    EXPECT_EQ(found, expectedIds());
    EXPECT_EQ(found.size(), 18u + 38u + 100u);
    for (int id : found) {
        std::string cp932;
        ASSERT_TRUE(toCp932(findString(id), cp932)) << "id " << id;
        EXPECT_LE(cp932.size(), 99u) << "id " << id;
        EXPECT_LT(std::strlen(findString(id)), static_cast<size_t>(StringBufferSize)) << "id " << id;
    }
    for (int level = 0; level < ComputerLevels; ++level) {
        std::string name, label;
        ASSERT_TRUE(toCp932(personaNames[level], name) && toCp932(levelLabels[level], label)) << level;
        // The count line "白（lv6 name）：64" must stay inside its cleared width.
        EXPECT_LE(name.size(), 8u) << level;
        EXPECT_LT(std::strlen("lv0 ") + std::strlen(personaNames[level]),
                  static_cast<size_t>(PlayerNameSize));
    }
}

TEST(StringTable, VersesFollowTheBundledAnthologyData)
{
    EXPECT_STREQ(findString(601), "秋の田のかりほの庵の苫をあらみ　　わが衣では露にぬれつつ　");
    std::ifstream tsv(RES_DIR "/hyakunin-isshu.tsv");
    ASSERT_TRUE(tsv) << "cannot read the verse data";
    std::string line, index, upper, lower;
    int number = 0;
    while (std::getline(tsv, line)) {
        std::istringstream fields(line);
        std::getline(fields, index, '\t');
        std::getline(fields, upper, '\t');
        std::getline(fields, lower, '\t');
        ASSERT_EQ(std::stoi(index), ++number);
        if (number == 1)
            continue; // shown with its own reading, checked above
        EXPECT_EQ(findString(600 + number), upper + "　　" + lower + "　") << "verse " << number;
    }
    EXPECT_EQ(number, 100);
}

TEST(StringTable, ProverbsAreDistinctSingleLinesOfFourToThirtyCharacters)
{
    EXPECT_STREQ(findString(401), "敵を知り己を知らば百戦危うからず");
    std::set<std::string> seen;
    for (int id = FirstProverb; id < FirstProverb + ProverbCount; ++id) {
        std::string text = findString(id);
        EXPECT_GE(characterCount(text), 4) << "id " << id;
        EXPECT_LE(characterCount(text), 30) << "id " << id;
        EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << "id " << id;
        EXPECT_TRUE(seen.insert(text).second) << "repeated proverb at id " << id;
    }
}

TEST(SpeechLines, PasswordsOnlyWhereExpectedAndOfTheirShapes)
{
    for (int id : {101, 201, 202, 203, 204, 205, 301, 302, 303, 304, 305, 306})
        EXPECT_EQ(std::string(findString(id)).find_first_of("\r\n"), std::string::npos) << "id " << id;
    const size_t lengths[] = {6, 6, 7, 4, 5};
    for (int stage = 2; stage <= 6; ++stage) {
        std::string word = passwordOf(findString(100 + stage));
        EXPECT_EQ(word.size(), lengths[stage - 2]) << "stage " << stage;
        EXPECT_EQ(word.find_first_not_of("abcdefghijklmnopqrstuvwxyz"), std::string::npos) << word;
    }
    std::string word = passwordOf(findString(206)), cp932;
    EXPECT_EQ(characterCount(word), 8);
    ASSERT_TRUE(toCp932(word, cp932));
    EXPECT_EQ(cp932.size(), 16u); // eight double-byte characters, no ASCII
}

namespace {

// Width and height from a PNG's header: the signature, then the IHDR chunk
// with width and height as big-endian 32-bit numbers at bytes 16 and 20.
void expectPngSize(const std::string& name, uint32_t width, uint32_t height)
{
    std::ifstream file(std::string(RES_DIR) + "/" + name, std::ios::binary);
    unsigned char h[24] = {};
    ASSERT_TRUE(file.read(reinterpret_cast<char*>(h), sizeof h)) << name;
    ASSERT_EQ(std::memcmp(h, "\x89PNG\r\n\x1a\n", 8), 0) << name;
    ASSERT_EQ(std::memcmp(h + 12, "IHDR", 4), 0) << name;
    auto be32 = [&](int at) { return uint32_t(h[at]) << 24 | h[at + 1] << 16 | h[at + 2] << 8 | h[at + 3]; };
    EXPECT_EQ(be32(16), width) << name;
    EXPECT_EQ(be32(20), height) << name;
}

} // namespace

TEST(Pictures, StonesAndMasksAre25By24AndIconsHaveTheirSizes)
{
    for (int k = 0; k < 7; ++k) {
        expectPngSize("bitmaps/" + std::to_string(100 + k) + ".png", 25, 24);
        expectPngSize("bitmaps/" + std::to_string(200 + k) + ".png", 25, 24);
    }
    for (int size : {16, 32, 48, 64, 128, 256})
        expectPngSize("icons/MAINICN-" + std::to_string(size) + ".png", size, size);
    for (const char* name : {"icons/SUBICN-16.png", "icons/PLAYBIT.png", "icons/STOPBIT.png"})
        expectPngSize(name, 16, 16);
}

#ifdef HAVE_QT_GUI

// Loaded through the resource file, so its aliases are checked as well. The
// mean grey inside the mask tells the white frames from the dark ones, which
// catches pictures stored under the wrong number.
TEST(Pictures, PicturesArePureWhiteExactlyOutsideTheirMasks)
{
    const bool lightFrame[7] = {true, false, false, false, false, true, true};
    for (int k = 0; k < 7; ++k) {
        QImage picture =
            QImage(QString(":/bitmaps/%1.png").arg(100 + k)).convertToFormat(QImage::Format_RGB32);
        QImage mask = QImage(QString(":/bitmaps/%1.png").arg(200 + k)).convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(picture.isNull() || mask.isNull()) << k;
        int stonePixels = 0, greySum = 0;
        for (int y = 0; y < 24; ++y) {
            for (int x = 0; x < 25; ++x) {
                QRgb m = mask.pixel(x, y), p = picture.pixel(x, y);
                ASSERT_TRUE(m == qRgb(0, 0, 0) || m == qRgb(255, 255, 255)) << k << " at " << x << "," << y;
                if (m == qRgb(0, 0, 0)) {
                    ASSERT_EQ(p, qRgb(255, 255, 255)) << "picture " << k << " at " << x << "," << y;
                } else {
                    ++stonePixels;
                    greySum += qGray(p);
                }
            }
        }
        ASSERT_GT(stonePixels, 60) << k;
        EXPECT_LT(stonePixels, 25 * 24 - 60) << k;
        EXPECT_EQ(greySum / stonePixels > 128, lightFrame[k]) << "frame " << k;
    }
}

#endif

// Where texts come in: the checks every text passes before parsing, the
// format detection, and the reading of a game file by path.
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "records/board_text.h"
#include "records/reading.h"

namespace {

const char* const EmptyMessage = "棋譜が空です";
const char* const UnknownFormatMessage = "棋譜の形式がわかりません（GGF でも手順の文字列でもありません）";
const char* const TextTooLargeMessage = "棋譜が大きすぎます（1 MiB までです）";
const char* const FileTooLargeMessage = "ファイルが大きすぎます（1 MiB までです）";
const char* const BinaryMessage = "テキストではありません（バイナリのデータです）";
const char* const NotUtf8Message = "文字コードが UTF-8 ではありません";
const char* const BadUtf16Message = "UTF-16 として読めない文字があります";
const char* const NotRegularMessage = "通常のファイルではありません";
const char* const NotFoundMessage = "ファイルが見つかりません";
const char* const NoPermissionMessage = "ファイルを読む権限がありません";
const char* const UnreadableMessage = "ファイルを読めません";

// The length of the UTF-8 sequence at pos, or 0 when it is malformed:
// overlong forms, surrogates and values past U+10FFFF are refused.
size_t sequenceLength(std::string_view text, size_t pos)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned lead = byte(pos);
    if (lead < 0x80)
        return 1;
    size_t length = 0;
    unsigned low = 0x80;
    unsigned high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3, low = lead == 0xE0 ? 0xA0 : 0x80, high = lead == 0xED ? 0x9F : 0xBF;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4, low = lead == 0xF0 ? 0x90 : 0x80, high = lead == 0xF4 ? 0x8F : 0xBF;
    if (length == 0 || text.size() - pos < length)
        return 0;
    if (byte(pos + 1) < low || byte(pos + 1) > high)
        return 0;
    for (size_t i = 2; i < length; ++i)
        if (byte(pos + i) < 0x80 || byte(pos + i) > 0xBF)
            return 0;
    return length;
}

bool isUtf8(std::string_view text)
{
    for (size_t pos = 0; pos < text.size();) {
        const size_t length = sequenceLength(text, pos);
        if (length == 0)
            return false;
        pos += length;
    }
    return true;
}

bool hasUtf16Mark(std::string_view text)
{
    return text.substr(0, 2) == "\xFF\xFE" || text.substr(0, 2) == "\xFE\xFF";
}

void appendUtf8(std::string& out, unsigned c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
        return;
    }
    const int tail = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3; // continuation bytes
    const unsigned lead[] = {0, 0xC0, 0xE0, 0xF0};
    out += static_cast<char>(lead[tail] | (c >> (6 * tail)));
    for (int i = tail - 1; i >= 0; --i)
        out += static_cast<char>(0x80 | ((c >> (6 * i)) & 0x3F));
}

// A text marked as UTF-16 (either byte order), as UTF-8 without the mark;
// false when its units make no characters (a lone surrogate, an odd byte).
bool utf16ToUtf8(std::string_view text, std::string& out)
{
    if (text.size() % 2 != 0)
        return false;
    const bool little = text[0] == '\xFF';
    const auto unit = [&](size_t i) {
        const unsigned first = static_cast<unsigned char>(text[i]);
        const unsigned second = static_cast<unsigned char>(text[i + 1]);
        return little ? first | second << 8 : first << 8 | second;
    };
    out.clear();
    for (size_t i = 2; i < text.size(); i += 2) {
        unsigned c = unit(i);
        if (c >= 0xDC00 && c <= 0xDFFF)
            return false;
        if (c >= 0xD800 && c <= 0xDBFF) {
            const unsigned low = i + 2 < text.size() ? unit(i + 2) : 0;
            if (low < 0xDC00 || low > 0xDFFF)
                return false;
            c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        }
        appendUtf8(out, c);
    }
    return true;
}

// Turns a text marked as UTF-16 into UTF-8 in place: "" or why it cannot be.
std::string fromUtf16(std::string& text)
{
    if (!hasUtf16Mark(text))
        return "";
    std::string utf8;
    if (!utf16ToUtf8(text, utf8))
        return BadUtf16Message;
    text = std::move(utf8);
    return "";
}

std::string openMessage(int error)
{
    if (error == ENOENT || error == ENOTDIR)
        return NotFoundMessage;
    if (error == EACCES || error == EPERM)
        return NoPermissionMessage;
    return UnreadableMessage;
}

// Reads at most one byte past the limit, so a file that grows after the
// size check is still caught.
bool readAll(int fd, std::string& text)
{
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0 || text.size() > MaxRecordBytes)
            return true;
        text.append(buffer, static_cast<size_t>(n));
    }
}

FileText fileFailure(const std::string& message)
{
    return {false, "", message};
}

} // namespace

std::string checkRecordText(std::string_view text)
{
    if (text.size() > MaxRecordBytes)
        return TextTooLargeMessage;
    if (text.find('\0') != std::string_view::npos)
        return BinaryMessage;
    if (!isUtf8(text))
        return NotUtf8Message;
    return "";
}

GameRead readGame(std::string_view text)
{
    std::string converted;
    if (hasUtf16Mark(text) && text.size() <= MaxRecordBytes) {
        converted = text;
        if (const std::string problem = fromUtf16(converted); !problem.empty())
            return {false, RecordFormat::None, {}, problem};
        text = converted;
    }
    const std::string problem = checkRecordText(text);
    if (!problem.empty())
        return {false, RecordFormat::None, {}, problem};
    if (text.substr(0, 3) == "\xEF\xBB\xBF") // a byte order mark some editors write
        text.remove_prefix(3);
    size_t pos = 0;
    skipSpace(text, pos);
    if (pos == text.size())
        return {false, RecordFormat::None, {}, EmptyMessage};
    if (looksLikeGgf(text))
        return readGgf(text);
    // Before the transcript: a board may start with "--", a transcript's pass.
    if (looksLikeBoardText(text))
        return readBoardText(text);
    if (looksLikeTranscript(text))
        return readTranscript(text);
    return {false, RecordFormat::None, {}, UnknownFormatMessage};
}

// O_NONBLOCK keeps the open of a FIFO without a writer from waiting; such a
// file is then refused as not regular.
FileText readGameFile(const std::string& path)
{
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return fileFailure(openMessage(errno));
    struct stat info {};
    FileText result;
    if (fstat(fd, &info) != 0)
        result = fileFailure(UnreadableMessage);
    else if (!S_ISREG(info.st_mode))
        result = fileFailure(NotRegularMessage);
    else if (static_cast<unsigned long long>(info.st_size) > MaxRecordBytes)
        result = fileFailure(FileTooLargeMessage);
    else if (!readAll(fd, result.text))
        result = fileFailure(UnreadableMessage);
    close(fd);
    if (!result.error.empty())
        return result;
    if (result.text.size() > MaxRecordBytes)
        return fileFailure(FileTooLargeMessage);
    std::string problem = fromUtf16(result.text);
    if (problem.empty())
        problem = checkRecordText(result.text);
    if (!problem.empty())
        return fileFailure(problem);
    result.ok = true;
    return result;
}

GameRead openGameFile(const std::string& path)
{
    const FileText file = readGameFile(path);
    if (!file.ok)
        return {false, RecordFormat::None, {}, file.error};
    return readGame(file.text);
}

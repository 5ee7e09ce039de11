#include "dialog/ImageSettings.h"

#include "dialog/DecimalText.h"
#include "dialog/PlainFile.h"
#include "platform/Shell.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// Longest piece of a line handled at once; longer lines are split and each
// piece is treated as a line of its own.
constexpr size_t MaxPiece = 1023;

bool EqualsIgnoringCase(const std::string& a, const char* b)
{
    size_t n = std::strlen(b);
    if (a.size() != n)
        return false;
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z')
            x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;

// Reads the next character as a text-mode stream would deliver it: a carriage
// return directly before a line feed is dropped.
int GetTextChar(FILE* f)
{
    int c = std::getc(f);
    if (c != '\r')
        return c;
    int next = std::getc(f);
    if (next == '\n')
        return '\n';
    if (next != EOF)
        std::ungetc(next, f);
    return '\r';
}

// Next piece of at most MaxPiece characters, ending after a line feed or at
// the size limit; false at the end of the file.
bool ReadPiece(FILE* f, std::string& piece)
{
    piece.clear();
    int c = EOF;
    while (piece.size() < MaxPiece && (c = GetTextChar(f)) != EOF) {
        piece.push_back(static_cast<char>(c));
        if (c == '\n')
            break;
    }
    return !piece.empty();
}

} // namespace

void ImageSettings::ApplyLine(std::string line)
{
    // A piece is a C string: anything after a zero byte is not seen.
    line.resize(std::strlen(line.c_str()));
    size_t lf = line.find('\n');
    if (lf != std::string::npos)
        line.erase(lf, 1);
    size_t colon = line.find(':');
    if (colon == std::string::npos)
        return;
    const std::string key = line.substr(0, colon);
    const int value = ReadLeadingInt(line.c_str() + colon + 1);

    struct Entry {
        const char* key;
        int ImageSettings::*field;
    };
    static const Entry entries[] = {
        {"LineType", &ImageSettings::lineType},
        {"background", &ImageSettings::background},
        {"ImageToDWG", &ImageSettings::imageToDwg},
        {"AppendFile", &ImageSettings::appendFile},
        {"IgnoreColor", &ImageSettings::ignoreColor},
        {"LayoutpreImg", &ImageSettings::layoutPerImage},
    };
    for (const Entry& entry : entries) {
        if (EqualsIgnoringCase(key, entry.key)) {
            this->*entry.field = value;
            return;
        }
    }
}

bool ImageSettings::Load(const std::string& path)
{
    File file(OpenRegularFileForReading(path));
    if (!file)
        return false;
    std::string piece;
    while (ReadPiece(file.get(), piece))
        ApplyLine(piece);
    return true;
}

std::string ImageSettings::Text() const
{
    std::string text;
    auto line = [&text](const char* key, int value) {
        text += key;
        text += ':';
        text += std::to_string(value);
        text += "\r\n";
    };
    line("LineType", lineType);
    line("background", background);
    line("ImageToDWG", imageToDwg);
    line("AppendFile", appendFile);
    line("IgnoreColor", ignoreColor);
    line("LayoutpreImg", layoutPerImage);
    return text;
}

bool ImageSettings::Save(const std::string& path) const
{
    // The program's own folder: a link placed there by its owner is honoured.
    return ReplaceFileContents(path, Text(), LinkPolicy::Follow);
}

std::string ImageSettings::SettingsFolder()
{
    const std::string exe = GetProgramFileName();
    size_t slash = exe.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return exe.substr(0, slash);
}

std::string ImageSettings::SettingsPath()
{
    return SettingsFolder() + "/ImageSet.dat";
}

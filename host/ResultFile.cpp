#include "host/ResultFile.h"

#include "dialog/ImportOptions.h"
#include "dialog/PlainFile.h"
#include "platform/Shell.h"

#include <charconv>

namespace {

// "%f" of the C locale (fixed, six decimals), whatever locale the host runs
// under: the file must read the same for every host.
std::string FixedSixDecimals(double value)
{
    char text[512];
    auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 6);
    if (result.ec != std::errc())
        return "0.000000";
    return std::string(text, result.ptr);
}

} // namespace

ResultFile::ResultFile()
    : m_path(GetTempDirectory() + "PDFInfo.dat")
{
}

ResultFile::ResultFile(std::string path)
    : m_path(std::move(path))
{
}

std::string ResultFile::Text(const ImportOptions& options)
{
    std::string text;
    auto line = [&text](const char* key, const std::string& value) {
        text += key;
        text += value;
        text += "\r\n";
    };
    line("InputFile:", options.pdfPath);
    line("Ranglist:", options.RangeListText());
    line("Scale:", FixedSixDecimals(options.scale));
    line("Scale it:", std::to_string(options.scaleToFit));
    line("Fill it:", std::to_string(options.fillSolid));
    line("Has width:", std::to_string(options.keepLineWidth));
    return text;
}

bool ResultFile::Write(const ImportOptions& options) const
{
    // The temporary directory is usually shared: a link planted at our name
    // is refused, never followed.
    return ReplaceFileContents(m_path, Text(options), LinkPolicy::Refuse);
}

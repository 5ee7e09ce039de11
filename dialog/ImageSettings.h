#pragma once

#include <string>

// The options for scanned images, kept between runs in ImageSet.dat in the
// host application's folder. Values read from the file are kept as they are
// (any integer); the file is always rewritten with the six lines in a fixed
// order.
class ImageSettings {
public:
    int imageToDwg = 0;     // 0 import images directly, 1 vectorize them
    int lineType = 1;       // 1 centre line, 0 outline
    int background = 1;     // 1 white, 0 black
    int ignoreColor = 1;
    int appendFile = 1;     // 1 all pages into one drawing file
    int layoutPerImage = 0;

    // Reads the file over the current values. Returns false, changing
    // nothing, when it can't be opened or is not a regular file.
    bool Load(const std::string& path);
    // Writes the six lines, each ending in CR LF. Returns false when the file
    // can't be created, is not a regular file, or can't be fully written.
    bool Save(const std::string& path) const;
    // The exact bytes that Save writes.
    std::string Text() const;

    // Folder of the running program's executable, without a trailing "/";
    // "." when the executable can't be found.
    static std::string SettingsFolder();
    // SettingsFolder() + "/ImageSet.dat".
    static std::string SettingsPath();

private:
    void ApplyLine(std::string line);
};

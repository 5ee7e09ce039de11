#pragma once

#include <string>

// Finds the font file for a face name. The dialog templates were laid out
// for faces this system does not have; those are resolved to a
// metric-compatible face here rather than to whatever fontconfig prefers.
class FontResolver {
public:
    struct Match {
        std::string file;
        int index = 0;  // face index inside the file
    };

    // The face we actually use for a requested face ("MS Sans Serif" ->
    // "Liberation Sans"); other names come back unchanged.
    static std::string SubstituteFace(const std::string& face);
    // How wide the stand-in is drawn, in percent of its natural width. The
    // classic dialog faces are narrower than their stand-in: drawn at full
    // width, template labels would overflow their controls.
    static int WidthPercent(const std::string& face);
    // File of the best match for face, weight (FW_*) and italic; false when
    // fontconfig knows no font at all.
    static bool Resolve(const std::string& face, int weight, bool italic, Match* match);
};

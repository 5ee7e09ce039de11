#include "platform/FontResolver.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <tuple>

#include "platform/GdiDefs.h"

namespace {

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

// Loaded once and kept for the whole process.
FcConfig* Config() {
    static FcConfig* config = FcInitLoadConfigAndFonts();
    return config;
}

}  // namespace

#if defined(__SANITIZE_ADDRESS__)
// Fontconfig loses a buffer while parsing its configuration files; that is
// not ours to fix, and freeing the configuration at exit could pull it from
// under other users in the process. Sanitizer builds only.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
#endif

std::string FontResolver::SubstituteFace(const std::string& face) {
    // The dialog faces and their metric-compatible stand-ins. Fontconfig's own
    // choice for the first two is a wider face, which would overflow every
    // control the templates lay out.
    static const std::map<std::string, std::string> substitutes = {
        {"", "Liberation Sans"},
        {"ms sans serif", "Liberation Sans"},
        {"microsoft sans serif", "Liberation Sans"},
        {"ms shell dlg", "Liberation Sans"},
        {"ms shell dlg 2", "Liberation Sans"},
        {"arial", "Liberation Sans"},
        {"tahoma", "Liberation Sans"},
        {"helvetica", "Liberation Sans"},
        {"system", "Liberation Sans"},
        {"times new roman", "Liberation Serif"},
        {"courier new", "Liberation Mono"},
        {"courier", "Liberation Mono"},
    };
    auto it = substitutes.find(Lower(face));
    return it == substitutes.end() ? face : it->second;
}

int FontResolver::WidthPercent(const std::string& face) {
    // 10 pixels wide for an 11-pixel em: the 52 letters then average 5.9
    // pixels, as the classic dialog face does, and the dialog base units
    // stay 6 x 13.
    static const std::map<std::string, int> narrowed = {
        {"", 91}, {"ms sans serif", 91}, {"microsoft sans serif", 91}, {"ms shell dlg", 91}, {"ms shell dlg 2", 91},
        {"system", 91},
    };
    auto it = narrowed.find(Lower(face));
    return it == narrowed.end() ? 100 : it->second;
}

bool FontResolver::Resolve(const std::string& face, int weight, bool italic, Match* match) {
    using Key = std::tuple<std::string, bool, bool>;
    static std::map<Key, Match> cache;
    const bool bold = weight >= FW_SEMIBOLD;
    const std::string family = SubstituteFace(face);
    const Key key{family, bold, italic};
    auto cached = cache.find(key);
    if (cached != cache.end()) {
        *match = cached->second;
        return !match->file.empty();
    }

    Match found;
    if (FcConfig* config = Config()) {
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
        FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
        FcConfigSubstitute(config, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* best = FcFontMatch(config, pattern, &result);
        if (best) {
            FcChar8* file = nullptr;
            int index = 0;
            if (FcPatternGetString(best, FC_FILE, 0, &file) == FcResultMatch && file) {
                found.file = reinterpret_cast<const char*>(file);
                if (FcPatternGetInteger(best, FC_INDEX, 0, &index) == FcResultMatch) found.index = index;
            }
            FcPatternDestroy(best);
        }
        FcPatternDestroy(pattern);
    }
    cache[key] = found;
    *match = found;
    return !found.file.empty();
}

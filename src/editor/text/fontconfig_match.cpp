#include "editor/text/fontconfig_match.h"

#include <fontconfig/fontconfig.h>

#include <mutex>

namespace {

// Owns one fontconfig pattern.
struct PatternHolder {
    FcPattern* pattern = nullptr;
    explicit PatternHolder(FcPattern* p) : pattern(p) {}
    ~PatternHolder() {
        if (pattern != nullptr) FcPatternDestroy(pattern);
    }
    PatternHolder(const PatternHolder&) = delete;
    PatternHolder& operator=(const PatternHolder&) = delete;
};

// A fontconfig configuration of our own, loaded on first use and released
// at exit: a plug-in shares its process with the host, whose fontconfig
// state it must leave alone.
class OwnFontconfig {
public:
    OwnFontconfig() = default;
    ~OwnFontconfig() {
        if (config_ != nullptr) FcConfigDestroy(config_);
    }
    OwnFontconfig(const OwnFontconfig&) = delete;
    OwnFontconfig& operator=(const OwnFontconfig&) = delete;

    // Null when fontconfig cannot load its configuration.
    FcConfig* Config() {
        if (!loaded_) {
            config_ = FcInitLoadConfigAndFonts();
            loaded_ = true;
        }
        return config_;
    }

private:
    FcConfig* config_ = nullptr;
    bool loaded_ = false;
};

}  // namespace

std::optional<FontFileRef> MatchFontFile(std::string_view familyName, FontStyle style) {
    // One query at a time: a configuration is not safe to share.
    static std::mutex mutex;
    static OwnFontconfig fontconfig;
    const std::lock_guard lock(mutex);
    FcConfig* config = fontconfig.Config();
    if (config == nullptr) return std::nullopt;

    const std::string family(familyName);
    const PatternHolder wanted(FcPatternCreate());
    if (wanted.pattern == nullptr) return std::nullopt;
    const auto* familyBytes = reinterpret_cast<const FcChar8*>(family.c_str());
    if (!FcPatternAddString(wanted.pattern, FC_FAMILY, familyBytes) ||
        !FcPatternAddInteger(wanted.pattern, FC_WEIGHT, style == FontStyle::Bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR) ||
        !FcPatternAddInteger(wanted.pattern, FC_SLANT, style == FontStyle::Italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN) ||
        !FcPatternAddBool(wanted.pattern, FC_SCALABLE, FcTrue)) {
        return std::nullopt;
    }
    if (!FcConfigSubstitute(config, wanted.pattern, FcMatchPattern)) return std::nullopt;
    FcDefaultSubstitute(wanted.pattern);

    FcResult result = FcResultNoMatch;
    const PatternHolder match(FcFontMatch(config, wanted.pattern, &result));
    if (match.pattern == nullptr || result != FcResultMatch) return std::nullopt;
    FcChar8* file = nullptr;
    if (FcPatternGetString(match.pattern, FC_FILE, 0, &file) != FcResultMatch || file == nullptr) return std::nullopt;
    int index = 0;
    if (FcPatternGetInteger(match.pattern, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
    return FontFileRef{reinterpret_cast<const char*>(file), index};
}

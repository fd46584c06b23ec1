#include "indicator_language.h"

#include "lensbeacon/localized_texts.h"

namespace lensbeacon::indicator {

int SelectIndicatorLanguage(bool ordinaryDesktop, const InterfaceLanguages& languages) {
    std::uint16_t (*const source)() = ordinaryDesktop ? languages.user : languages.machine;
    return LanguageIndexFor(source != nullptr ? source() : 0);
}

}  // namespace lensbeacon::indicator

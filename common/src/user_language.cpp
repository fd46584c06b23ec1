// The Windows side of the language choice: the user's interface language
// for the settings program's selection.
#include <windows.h>

#include "lensbeacon/localized_texts.h"

namespace lensbeacon {
namespace {

std::uint16_t RealUserLanguage() {
    return ::GetUserDefaultUILanguage();
}

}  // namespace

void SelectLanguage() {
    SelectLanguage(&RealUserLanguage);
}

}  // namespace lensbeacon

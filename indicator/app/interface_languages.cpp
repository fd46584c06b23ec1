// The Windows side of the indicator's language choice.
#include <windows.h>

#include "indicator_language.h"

namespace lensbeacon::indicator {
namespace {

std::uint16_t UserLanguage() {
    return ::GetUserDefaultUILanguage();
}

std::uint16_t MachineLanguage() {
    return ::GetSystemDefaultUILanguage();
}

}  // namespace

InterfaceLanguages SystemInterfaceLanguages() {
    return InterfaceLanguages{&UserLanguage, &MachineLanguage};
}

}  // namespace lensbeacon::indicator

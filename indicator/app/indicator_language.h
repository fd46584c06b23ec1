// Which of the twenty languages the indicator speaks. The user-desktop
// instance speaks the user's interface language; the logon-desktop instance
// runs before anyone has logged on, as the system account, and speaks the
// machine's. Either is matched on its full LANGID in the language table,
// English for one the table does not list.
#pragma once

#include <cstdint>

namespace lensbeacon::indicator {

// The interface languages Windows reports, as LANGIDs.
struct InterfaceLanguages {
    std::uint16_t (*user)();     // GetUserDefaultUILanguage
    std::uint16_t (*machine)();  // GetSystemDefaultUILanguage
};

// The language index (1..20) for the instance on this desktop kind; only the
// source that desktop uses is asked. A missing source counts as English.
int SelectIndicatorLanguage(bool ordinaryDesktop, const InterfaceLanguages& languages);

// The real sources (defined with the Windows calls).
InterfaceLanguages SystemInterfaceLanguages();

}  // namespace lensbeacon::indicator

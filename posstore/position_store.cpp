// Lensmemo.dll: the indicator's last position in a data section that every
// process loading the library shares, saved to and restored from the settings
// key. The record is read and written without a lock: each field is one
// aligned 32-bit value, and callers tolerate a record mixed from two writes.
#include <windows.h>

#include <cstdint>

#include "decimal_text.h"
#include "lensbeacon/names.h"
#include "lensbeacon/position_store.h"
#include "lensmemo_class.h"
#include "setting_strings.h"

using lensbeacon::SharedPosition;

namespace {

// One copy for all processes: the section is initialised, readable, writable
// and shared (the linker gives "GlobalSh" the shared characteristic).
__attribute__((section("GlobalSh"), shared, used)) volatile SharedPosition g_sharedPosition = {
    -1, -1, -1, -1, 0};

// The registry value of each position field, in the order they are saved and
// restored.
struct PositionValue {
    const wchar_t* name;
    volatile std::int32_t SharedPosition::*field;
};

const PositionValue kPositionValues[] = {
    {lensbeacon::kLastPositionXValue, &SharedPosition::positionX},
    {lensbeacon::kLastPositionYValue, &SharedPosition::positionY},
    {lensbeacon::kLastScreenWidthValue, &SharedPosition::screenWidth},
    {lensbeacon::kLastScreenHeightValue, &SharedPosition::screenHeight},
};

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}

BOOL WINAPI GetPositionInformation(std::int32_t* x, std::int32_t* y, std::int32_t* screenWidth,
                                   std::int32_t* screenHeight) {
    *x = g_sharedPosition.positionX;
    *y = g_sharedPosition.positionY;
    *screenWidth = g_sharedPosition.screenWidth;
    *screenHeight = g_sharedPosition.screenHeight;
    return TRUE;
}

BOOL WINAPI SetPositionInformation(std::int32_t x, std::int32_t y, std::int32_t screenWidth,
                                   std::int32_t screenHeight) {
    g_sharedPosition.positionX = x;
    g_sharedPosition.positionY = y;
    g_sharedPosition.screenWidth = screenWidth;
    g_sharedPosition.screenHeight = screenHeight;
    return TRUE;
}

BOOL WINAPI SavePositionInformation() {
    for (const PositionValue& value : kPositionValues) {
        lensbeacon::PathBuffer text;
        if (lensbeacon::FormatDecimal(g_sharedPosition.*value.field, text,
                                      lensbeacon::kPathCapacity)) {
            // A failed write (key missing, no rights) is skipped silently.
            static_cast<void>(lensbeacon::WriteSettingString(value.name, text));
        }
    }
    // The next restore reads the registry again.
    g_sharedPosition.restored = 0;
    return TRUE;
}

BOOL WINAPI RestorePositionInformation() {
    // Another process or an earlier call already loaded the values, and the
    // shared copy may be newer than the registry.
    if (g_sharedPosition.restored != 0) {
        return TRUE;
    }
    for (const PositionValue& value : kPositionValues) {
        lensbeacon::PathBuffer text;
        if (lensbeacon::ReadSettingString(value.name, text)) {
            g_sharedPosition.*value.field = lensbeacon::ParseDecimal(text);
        }
    }
    g_sharedPosition.restored = 1;
    return TRUE;
}

}  // extern "C"

CLensmemo::CLensmemo() = default;

CLensmemo& CLensmemo::operator=(const CLensmemo&) {
    return *this;
}

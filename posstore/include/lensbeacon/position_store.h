// The position store library (Lensmemo.dll) as its callers see it: the record
// kept in the library's shared section and the four exports, bound at run time
// with GetProcAddress by their undecorated names.
//
// Calling convention: every export is __stdcall (WINAPI), like the system's own
// DLL exports, and returns a BOOL that is always TRUE. The typedefs below carry
// that convention, so a caller that binds through them calls each function the
// way the library expects.
#pragma once

#include <windows.h>

#include <cstdint>

namespace lensbeacon {

// The indicator window's last position and the primary screen size it was
// taken on. One copy is shared by every process that has the library loaded.
struct SharedPosition {
    std::int32_t positionX;
    std::int32_t positionY;
    std::int32_t screenWidth;
    std::int32_t screenHeight;
    // Non-zero once the values were read from the registry since the last save.
    std::int32_t restored;
};
static_assert(sizeof(SharedPosition) == 20);

inline constexpr const wchar_t* kPositionStoreLibrary = L"Lensmemo.dll";

inline constexpr const char* kGetPositionInformationExport = "GetPositionInformation";
inline constexpr const char* kSetPositionInformationExport = "SetPositionInformation";
inline constexpr const char* kSavePositionInformationExport = "SavePositionInformation";
inline constexpr const char* kRestorePositionInformationExport = "RestorePositionInformation";

// Copies x, y, screen width and screen height to the four pointers (which must
// be valid).
using GetPositionInformationFn = BOOL(WINAPI*)(std::int32_t* x, std::int32_t* y,
                                               std::int32_t* screenWidth,
                                               std::int32_t* screenHeight);
// Stores the four values into the shared record.
using SetPositionInformationFn = BOOL(WINAPI*)(std::int32_t x, std::int32_t y,
                                               std::int32_t screenWidth, std::int32_t screenHeight);
// Writes the four values to the settings key and marks them as not restored.
using SavePositionInformationFn = BOOL(WINAPI*)();
// Reads the four values from the settings key once until the next save.
using RestorePositionInformationFn = BOOL(WINAPI*)();

}  // namespace lensbeacon

// The names every program of the suite meets in: the six machine-wide events,
// the settings key with its values, the organisation's policy key, the device
// maker's capture key, the program files that start each other and the
// desktops they are started on.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cwchar>

namespace lensbeacon {

// The six events, in the order the service creates them.
enum class EventId : int { On, Off, Change, Service, SettingEnable, SettingChange };
inline constexpr std::size_t kEventCount = 6;

inline constexpr const wchar_t* kOnEventName = L"Global\\Lensbeacon On Event";
inline constexpr const wchar_t* kOffEventName = L"Global\\Lensbeacon Off Event";
inline constexpr const wchar_t* kChangeEventName = L"Global\\Lensbeacon Change Event";
inline constexpr const wchar_t* kServiceEventName = L"Global\\Lensbeacon Service Event";
inline constexpr const wchar_t* kSettingEnableEventName =
    L"Global\\Lensbeacon Setting Enable Event";
inline constexpr const wchar_t* kSettingChangeEventName =
    L"Global\\Lensbeacon Setting Change Event";

inline constexpr const wchar_t* kEventNames[kEventCount] = {
    kOnEventName,      kOffEventName,           kChangeEventName,
    kServiceEventName, kSettingEnableEventName, kSettingChangeEventName,
};

constexpr const wchar_t* EventName(EventId id) {
    return kEventNames[static_cast<std::size_t>(id)];
}

// The settings key, under HKEY_LOCAL_MACHINE, opened without a view flag.
inline constexpr const wchar_t* kSettingsKey = L"Software\\Orvane\\Lensbeacon";
inline constexpr const wchar_t* kShowOsdValue = L"ShowOSD";
inline constexpr const wchar_t* kCheckUsbCameraValue = L"CheckUSBCamera";
inline constexpr const wchar_t* kShowCfgTipValue = L"ShowCfgTip";
inline constexpr const wchar_t* kLastPositionXValue = L"LastPositionX";
inline constexpr const wchar_t* kLastPositionYValue = L"LastPositionY";
inline constexpr const wchar_t* kLastScreenWidthValue = L"LastScreenWidth";
inline constexpr const wchar_t* kLastScreenHeightValue = L"LastScreenHeight";

// The organisation's policy key, under HKEY_LOCAL_MACHINE in the native
// (64-bit) view, where Group Policy and Intune write it. Its values carry the
// settings key's names; the suite only ever reads it.
inline constexpr const wchar_t* kPolicyKey = L"SOFTWARE\\Policies\\Orvane\\Lensbeacon";

// Written by the device maker: the machine has no physical camera light.
inline constexpr const wchar_t* kCaptureKey = L"SOFTWARE\\Microsoft\\OEM\\Device\\Capture";
inline constexpr const wchar_t* kNoPhysicalCameraLedValue = L"NoPhysicalCameraLED";

// The service as the service control manager knows it.
inline constexpr const wchar_t* kServiceName = L"LenswatchService";
inline constexpr const wchar_t* kServiceDisplayName = L"Lensbeacon Check Service";

// The indicator's window, looked for by the session launcher.
inline constexpr const wchar_t* kIndicatorWindowClass = L"Lenspop Class";
inline constexpr const wchar_t* kIndicatorWindowTitle = L"Lenspop Window";

// The suite's programs, found beside each other in the install folder.
inline constexpr const wchar_t* kServiceProgramFile = L"Lenswatch.exe";
inline constexpr const wchar_t* kSessionLauncherFile = L"Hoistrun.exe";
inline constexpr const wchar_t* kUserLauncherFile = L"Plainrun.exe";
inline constexpr const wchar_t* kUserIndicatorFile = L"LenspopUI.exe";
inline constexpr const wchar_t* kLogonIndicatorFile = L"Lenspop.exe";

// Desktops the programs are started on, as STARTUPINFOW names them, and the
// logon desktop's own name, as the desktop reports it (compared
// case-sensitively).
inline constexpr wchar_t kUserDesktop[] = L"Winsta0\\Default";
inline constexpr wchar_t kLogonDesktop[] = L"Winsta0\\Winlogon";
inline constexpr const wchar_t* kLogonDesktopName = L"Winlogon";

// Whether a desktop's name is the logon desktop's; a null name is not.
[[nodiscard]] inline bool IsLogonDesktopName(const wchar_t* name) noexcept {
    return name != nullptr && std::wcscmp(name, kLogonDesktopName) == 0;
}

// Creation flags of every start into another session.
inline constexpr DWORD kLaunchCreationFlags = CREATE_UNICODE_ENVIRONMENT | CREATE_NEW_CONSOLE;
static_assert(kLaunchCreationFlags == 0x410);

// Registry rights the suite opens its keys with.
inline constexpr REGSAM kKeyRead = KEY_READ;             // 0x20019
inline constexpr REGSAM kKeyAllAccess = KEY_ALL_ACCESS;  // 0xF003F

}  // namespace lensbeacon

// Lenscheck's command line and exit codes. Plain code: no Windows call.
#pragma once

#include <string>
#include <vector>

namespace lensbeacon {

// What a command line asks for: no argument runs the check; "-?" or "/?"
// alone asks for the usage; anything else is a wrong argument.
enum class CheckCommand { Run, Usage, WrongArgument };

// `arguments` as wmain receives them, the program's own name first.
CheckCommand ParseCheckArguments(int count, const wchar_t* const* arguments) noexcept;

inline constexpr int kExitNoCameraInUse = 0;
inline constexpr int kExitCameraInUse = 1;
inline constexpr int kExitNoCamera = 2;
inline constexpr int kExitWrongArgument = 3;

// The exit code for a result of CheckDevices.
[[nodiscard]] int ExitCodeOfCheck(int checkResult) noexcept;

// The usage text, one line a string.
[[nodiscard]] std::vector<std::wstring> UsageLines();

}  // namespace lensbeacon

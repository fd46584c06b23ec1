// What the indicator says while the camera is on, in words: the caption,
// followed by the programs that hold the camera when they are known. The
// joining words come from the program's resources.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lensbeacon::indicator {

// `format` holds "%1" for the caption and "%2" for the names joined by
// `separator` ("%1: %2" and ", " in English). Without names, or with a
// format that lacks either mark, the caption stands alone.
[[nodiscard]] std::wstring Announcement(std::wstring_view caption, std::wstring_view format,
                                        std::wstring_view separator,
                                        const std::vector<std::wstring>& names);

}  // namespace lensbeacon::indicator

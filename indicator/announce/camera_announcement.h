// What the indicator says while the camera is on, in words: the caption,
// followed by the programs that hold the camera when they are known. The
// joining words come from the program's resources, in English, unless the
// indicator's language was chosen here: then that language's words stand in.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lensbeacon::indicator {

// `format` holds "%1" for the caption and "%2" for the names joined by
// `separator` ("%1: %2" and ", " in English). Without names, or with a
// format that lacks either mark, the caption stands alone.
// The indicator's language (an index of the language table), chosen once at
// start-up on the user-interface thread before anything is announced.
void UseAnnouncementLanguage(int languageIndex);

[[nodiscard]] std::wstring Announcement(std::wstring_view caption, std::wstring_view format,
                                        std::wstring_view separator,
                                        const std::vector<std::wstring>& names);

}  // namespace lensbeacon::indicator

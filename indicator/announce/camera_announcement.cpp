#include "camera_announcement.h"

#include "lensbeacon/indicator_words.h"

namespace lensbeacon::indicator {
namespace {

// 0 until a language is chosen: the words passed in stand.
int g_announcementLanguage = 0;

}  // namespace

void UseAnnouncementLanguage(int languageIndex) {
    g_announcementLanguage = languageIndex;
}

std::wstring Announcement(std::wstring_view caption, std::wstring_view format,
                          std::wstring_view separator, const std::vector<std::wstring>& names) {
    if (g_announcementLanguage != 0) {
        const IndicatorWords& words = IndicatorWordsFor(g_announcementLanguage);
        format = words.namesFormat;
        separator = words.nameSeparator;
    }
    const std::size_t captionMark = format.find(L"%1");
    const std::size_t namesMark = format.find(L"%2");
    if (names.empty() || captionMark == std::wstring_view::npos ||
        namesMark == std::wstring_view::npos) {
        return std::wstring(caption);
    }
    std::wstring joined;
    for (const std::wstring& name : names) {
        if (!joined.empty()) {
            joined += separator;
        }
        joined += name;
    }
    // Each mark is replaced once, in the order the format has them.
    std::wstring text;
    std::size_t from = 0;
    const bool captionFirst = captionMark < namesMark;
    for (const std::size_t mark :
         {captionFirst ? captionMark : namesMark, captionFirst ? namesMark : captionMark}) {
        text.append(format.substr(from, mark - from));
        text += mark == captionMark ? std::wstring(caption) : joined;
        from = mark + 2;
    }
    text.append(format.substr(from));
    return text;
}

}  // namespace lensbeacon::indicator

#include "lensbeacon/camera_use_names.h"

#include <algorithm>
#include <cwctype>

namespace lensbeacon {
namespace {

struct CodeRange {
    char32_t first;
    char32_t last;
};

// Unicode general category Cf, in order (Unicode 15.0).
constexpr CodeRange kFormatCharacters[] = {
    {0x00AD, 0x00AD},   {0x0600, 0x0605},   {0x061C, 0x061C},   {0x06DD, 0x06DD},
    {0x070F, 0x070F},   {0x0890, 0x0891},   {0x08E2, 0x08E2},   {0x180E, 0x180E},
    {0x200B, 0x200F},   {0x202A, 0x202E},   {0x2060, 0x2064},   {0x2066, 0x206F},
    {0xFEFF, 0xFEFF},   {0xFFF9, 0xFFFB},   {0x110BD, 0x110BD}, {0x110CD, 0x110CD},
    {0x13430, 0x1343F}, {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A}, {0xE0001, 0xE0001},
    {0xE0020, 0xE007F},
};

bool IsHighSurrogate(wchar_t c) noexcept {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(wchar_t c) noexcept {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// What breaks or spaces text: control characters, white space, and the line
// and paragraph separators, so that every name stays on one line.
bool IsBlank(wchar_t c) noexcept {
    return std::iswcntrl(c) || std::iswspace(c) || c == 0x2028 || c == 0x2029;
}

wchar_t AsciiUpper(wchar_t c) noexcept {
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

bool SameAsciiLetters(std::wstring_view text, std::wstring_view upper) noexcept {
    if (text.size() != upper.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (AsciiUpper(text[i]) != upper[i]) {
            return false;
        }
    }
    return true;
}

// A DOS device name, which opens a device in any folder: the part before
// its first dot, without trailing blanks, is CON, PRN, AUX, NUL, CONIN$,
// CONOUT$, or COM or LPT with a digit or a superscript one, two or three.
bool IsDeviceName(std::wstring_view part) noexcept {
    std::wstring_view base = part.substr(0, part.find(L'.'));
    while (!base.empty() && base.back() == L' ') {
        base.remove_suffix(1);
    }
    for (const wchar_t* name : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"}) {
        if (SameAsciiLetters(base, name)) {
            return true;
        }
    }
    if (base.size() != 4 || (!SameAsciiLetters(base.substr(0, 3), L"COM") &&
                             !SameAsciiLetters(base.substr(0, 3), L"LPT"))) {
        return false;
    }
    const wchar_t digit = base[3];
    return (digit >= L'0' && digit <= L'9') || digit == L'\x00B9' || digit == L'\x00B2' ||
           digit == L'\x00B3';
}

// The primary language of a language identifier, its low ten bits.
WORD PrimaryLanguage(LANGID language) noexcept {
    return static_cast<WORD>(language & 0x3FF);
}

}  // namespace

std::wstring DesktopProgramPath(std::wstring_view keyName) {
    std::wstring path(keyName);
    std::replace(path.begin(), path.end(), L'#', L'\\');
    return path;
}

std::wstring PackagedAppName(std::wstring_view familyName) {
    std::wstring_view name = familyName.substr(0, familyName.find(L'_'));
    const std::size_t dot = name.rfind(L'.');
    if (dot != std::wstring_view::npos && dot + 1 < name.size()) {
        name = name.substr(dot + 1);
    }
    return std::wstring(name);
}

std::wstring FileNameWithoutExtension(std::wstring_view path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    std::wstring_view file = slash == std::wstring_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = file.rfind(L'.');
    if (dot != std::wstring_view::npos && dot > 0) {
        file = file.substr(0, dot);
    }
    return std::wstring(file);
}

std::wstring PlainProgramName(std::wstring_view raw) {
    std::wstring plain;
    plain.reserve(std::min(raw.size(), kMaxProgramNameLength + 2));
    // Read until the name is known to be over the cap: past it with a
    // character that is not a space, which trimming would take away again.
    for (std::size_t i = 0; i < raw.size();) {
        if (plain.size() > kMaxProgramNameLength && plain.back() != L' ') {
            break;
        }
        const wchar_t c = raw[i];
        std::size_t units = 1;
        char32_t code = c;
        if (IsHighSurrogate(c) && i + 1 < raw.size() && IsLowSurrogate(raw[i + 1])) {
            units = 2;
            code = 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) +
                   (static_cast<char32_t>(raw[i + 1]) - 0xDC00);
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            ++i;  // half of a pair: no character at all
            continue;
        }
        if (IsFormatCharacter(code)) {
            // Invisible, yet able to reorder or hide what follows.
        } else if (units == 1 && IsBlank(c)) {
            if (!plain.empty() && plain.back() != L' ') {
                plain.push_back(L' ');
            }
        } else {
            plain.append(raw.substr(i, units));
        }
        i += units;
    }
    while (!plain.empty() && plain.back() == L' ') {
        plain.pop_back();
    }
    if (plain.size() > kMaxProgramNameLength) {
        std::size_t keep = kMaxProgramNameLength - 1;
        if (IsHighSurrogate(plain[keep - 1])) {
            --keep;  // a pair stays whole or goes whole
        }
        plain.resize(keep);
        plain.push_back(L'\x2026');  // ellipsis
    }
    return plain;
}

bool IsFormatCharacter(char32_t c) noexcept {
    for (const CodeRange& range : kFormatCharacters) {
        if (c < range.first) {
            return false;  // the ranges are in order
        }
        if (c <= range.last) {
            return true;
        }
    }
    return false;
}

bool IsLocalDrivePath(std::wstring_view path) noexcept {
    const auto letter = [](wchar_t c) {
        return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
    };
    if (path.size() < 4 || !letter(path[0]) || path[1] != L':' || path[2] != L'\\') {
        return false;
    }
    for (const wchar_t c : path.substr(2)) {
        if (c == L'/' || c == L':' || c < 0x20) {
            return false;
        }
    }
    for (std::size_t start = 3; start <= path.size();) {
        std::size_t end = path.find(L'\\', start);
        if (end == std::wstring_view::npos) {
            end = path.size();
        }
        if (IsDeviceName(path.substr(start, end - start))) {
            return false;
        }
        start = end + 1;
    }
    return true;
}

std::vector<std::wstring> NamesOfCameraHolders(std::vector<CameraUseRecord> records,
                                               const DescriptionReader& describe) {
    std::erase_if(records, [](const CameraUseRecord& record) { return !HoldsCamera(record); });
    std::stable_sort(
        records.begin(), records.end(),
        [](const CameraUseRecord& a, const CameraUseRecord& b) { return a.start > b.start; });
    std::vector<std::wstring> names;
    for (const CameraUseRecord& record : records) {
        if (names.size() == kMaxNamedPrograms) {
            break;
        }
        std::wstring name;
        if (record.packaged) {
            name = PlainProgramName(PackagedAppName(record.app));
        } else {
            const std::wstring path = DesktopProgramPath(record.app);
            name = PlainProgramName(describe ? describe(path) : std::wstring());
            if (name.empty()) {
                name = PlainProgramName(FileNameWithoutExtension(path));
            }
        }
        if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end()) {
            names.push_back(std::move(name));
        }
    }
    return names;
}

std::vector<VersionTranslation> DescriptionTranslations(
    LANGID uiLanguage, const std::vector<VersionTranslation>& listed) {
    std::vector<VersionTranslation> order;
    const auto add = [&order](const VersionTranslation& translation) {
        if (std::find(order.begin(), order.end(), translation) == order.end()) {
            order.push_back(translation);
        }
    };
    for (const VersionTranslation& translation : listed) {
        if (translation.language == uiLanguage) {
            add(translation);
        }
    }
    for (const VersionTranslation& translation : listed) {
        if (PrimaryLanguage(translation.language) == PrimaryLanguage(uiLanguage)) {
            add(translation);
        }
    }
    if (!listed.empty()) {
        add(listed.front());
    }
    add({0x0409, 0x04B0});
    add({0x0409, 0x04E4});
    return order;
}

}  // namespace lensbeacon

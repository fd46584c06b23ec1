#include "lensbeacon/language_option.h"

#include <climits>
#include <cwctype>
#include <string>

namespace lensbeacon {
namespace {

// Leading white space, an optional sign and decimal digits, as _wtoi reads
// them, saturating at the int range.
int ReadDecimal(const std::wstring& text) {
    std::size_t i = 0;
    while (i < text.size() && std::iswspace(text[i]) != 0) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + (text[i] - L'0');
        if (value > static_cast<long long>(INT_MAX) + 1) {
            value = static_cast<long long>(INT_MAX) + 1;
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > INT_MAX) {
        return INT_MAX;
    }
    return static_cast<int>(value);
}

}  // namespace

const wchar_t* CommandArguments(const wchar_t* commandLine) {
    if (commandLine == nullptr) {
        return L"";
    }
    const wchar_t* c = commandLine;
    if (*c == L'"') {
        for (++c; *c != L'\0' && *c != L'"'; ++c) {
        }
        if (*c == L'"') {
            ++c;
        }
    } else {
        for (; *c != L'\0' && *c != L' ' && *c != L'\t'; ++c) {
        }
    }
    while (*c == L' ' || *c == L'\t') {
        ++c;
    }
    return c;
}

int ParseLanguageOption(const wchar_t* commandLine) {
    if (commandLine == nullptr) {
        return 0;
    }
    const std::wstring line(commandLine);
    const std::wstring option(kLanguageOption);
    const std::size_t first = line.find(option);
    if (first == std::wstring::npos) {
        return 0;
    }
    std::wstring tail = line.substr(first);
    for (std::size_t at = tail.find(option); at != std::wstring::npos; at = tail.find(option, at)) {
        tail.erase(at, option.size());
    }
    return ReadDecimal(tail);
}

}  // namespace lensbeacon

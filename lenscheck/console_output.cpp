#include "console_output.h"

#include <algorithm>
#include <limits>

namespace lensbeacon {
namespace {

bool WriteToConsole(HANDLE console, const std::wstring& text) {
    const wchar_t* next = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        // Small pieces: older consoles refuse a single write over 64 KB.
        const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(left, 4096));
        DWORD written = 0;
        if (!::WriteConsoleW(console, next, piece, &written, nullptr) || written == 0) {
            return false;
        }
        next += written;
        left -= written;
    }
    return true;
}

bool WriteUtf8(HANDLE file, const std::wstring& text) {
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max() / 4)) {
        return false;
    }
    const int length = static_cast<int>(text.size());
    const int bytes =
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) {
        return false;
    }
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    if (::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, utf8.data(), bytes, nullptr,
                              nullptr) != bytes) {
        return false;
    }
    const char* next = utf8.data();
    DWORD left = static_cast<DWORD>(bytes);
    while (left > 0) {
        DWORD written = 0;
        if (!::WriteFile(file, next, left, &written, nullptr) || written == 0) {
            return false;
        }
        next += written;
        left -= written;
    }
    return true;
}

}  // namespace

bool WriteLines(DWORD which, const std::vector<std::wstring>& lines) {
    const HANDLE handle = ::GetStdHandle(which);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD mode = 0;
    const bool console = ::GetConsoleMode(handle, &mode) != FALSE;
    for (const std::wstring& line : lines) {
        const std::wstring text = line + L"\r\n";
        if (!(console ? WriteToConsole(handle, text) : WriteUtf8(handle, text))) {
            return false;
        }
    }
    return true;
}

}  // namespace lensbeacon

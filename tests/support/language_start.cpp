#include "language_start.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "lensbeacon/localized_texts.h"
#include "lensbeacon/unique_owner.h"

namespace lensbeacon::test {
namespace {

// The Unix locale of each language index, as Wine maps it to a LANGID of
// the table's row.
constexpr const char* kLocales[kLanguageCount + 1] = {"",
                                                      "en_US.UTF-8",
                                                      "zh_TW.UTF-8",
                                                      "zh_CN.UTF-8",
                                                      "fr_FR.UTF-8",
                                                      "de_DE.UTF-8",
                                                      "nl_NL.UTF-8",
                                                      "cs_CZ.UTF-8",
                                                      "ja_JP.UTF-8",
                                                      "pl_PL.UTF-8",
                                                      "pt_PT.UTF-8",
                                                      "pt_BR.UTF-8",
                                                      "ru_RU.UTF-8",
                                                      "ar_SA.UTF-8",
                                                      "hu_HU.UTF-8",
                                                      "es_ES.UTF-8",
                                                      "th_TH.UTF-8",
                                                      "id_ID.UTF-8",
                                                      "vi_VN.UTF-8",
                                                      "tr_TR.UTF-8",
                                                      "it_IT.UTF-8"};

std::wstring Widened(const char* text) {
    return std::wstring(text, text + std::char_traits<char>::length(text));
}

}  // namespace

bool StartInLanguage(int language, const std::wstring& command) {
    if (language < 1 || language > kLanguageCount) {
        ADD_FAILURE() << "no language " << language;
        return false;
    }
    wchar_t loader[MAX_PATH] = L"wine";
    const DWORD length = ::GetEnvironmentVariableW(L"WINELOADER", loader, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        ::lstrcpynW(loader, L"wine", MAX_PATH);
    }
    std::wstring line = L"Z:\\usr\\bin\\env LC_ALL=" + Widened(kLocales[language]) + L" " +
                        std::wstring(loader) + L" " + command;
    UniqueFileHandle nul(
        ::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = nul.get();
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &started)) {
        ADD_FAILURE() << "could not start env, error " << ::GetLastError();
        return false;
    }
    // Wine runs a Unix program as no Windows process: it hands back no
    // process handle and leaves the rest of the structure unset, at times a
    // stray value that is one of this process's own handles. Only handles
    // that come with a process handle are ours to close.
    if (started.hProcess != nullptr) {
        UniqueHandle process(started.hProcess);
        UniqueHandle thread(started.hThread);
    }
    return true;
}

}  // namespace lensbeacon::test

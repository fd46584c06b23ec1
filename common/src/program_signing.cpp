// A program file's signature and manifest, read without running it.
#include "lensbeacon/program_signing.h"

#include <windows.h>
#include <wintrust.h>
#include <softpub.h>

#include <cstddef>

#include "lensbeacon/unique_owner.h"

namespace lensbeacon {
namespace {

constexpr std::string_view kElementName = "requestedExecutionLevel";
constexpr std::string_view kAttributeName = "uiAccess";

// Stretches of a manifest that hold text only, by how they open and close.
struct TextSection {
    std::string_view open;
    std::string_view close;
};
constexpr TextSection kTextSections[] = {{"<!--", "-->"}, {"<![CDATA[", "]]>"}};

constexpr bool IsXmlSpace(char c) noexcept {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::size_t SkipSpace(std::string_view text, std::size_t at) noexcept {
    while (at < text.size() && IsXmlSpace(text[at])) {
        ++at;
    }
    return at;
}

// Whether the attributes of one start tag, from `at` up to its ">" or "/>",
// give uiAccess="true". A tag that breaks off or is malformed gives false.
bool TagAsksUiAccess(std::string_view text, std::size_t at) {
    for (;;) {
        at = SkipSpace(text, at);
        if (at >= text.size() || text[at] == '>' || text[at] == '/') {
            return false;
        }
        const std::size_t nameStart = at;
        while (at < text.size() && !IsXmlSpace(text[at]) && text[at] != '=' && text[at] != '>' &&
               text[at] != '/') {
            ++at;
        }
        const std::string_view name = text.substr(nameStart, at - nameStart);
        at = SkipSpace(text, at);
        if (at >= text.size() || text[at] != '=') {
            return false;
        }
        at = SkipSpace(text, at + 1);
        if (at >= text.size() || (text[at] != '"' && text[at] != '\'')) {
            return false;
        }
        const char quote = text[at];
        const std::size_t valueStart = at + 1;
        const std::size_t valueEnd = text.find(quote, valueStart);
        if (valueEnd == std::string_view::npos) {
            return false;
        }
        if (name == kAttributeName) {
            return text.substr(valueStart, valueEnd - valueStart) == "true";
        }
        at = valueEnd + 1;
    }
}

// The text of the program's manifest resource (RT_MANIFEST 1), valid while
// `image` stays loaded; empty when it has none.
std::string_view ManifestText(HMODULE image) {
    HRSRC resource = ::FindResourceW(image, MAKEINTRESOURCEW(1), RT_MANIFEST);
    if (resource == nullptr) {
        return {};
    }
    const DWORD size = ::SizeofResource(image, resource);
    if (size == 0) {
        return {};
    }
    HGLOBAL loaded = ::LoadResource(image, resource);
    if (loaded == nullptr) {
        return {};
    }
    const void* bytes = ::LockResource(loaded);
    if (bytes == nullptr) {
        return {};
    }
    return std::string_view(static_cast<const char*>(bytes), size);
}

// Whether Windows trusts the file's Authenticode signature: the generic
// verification, without user interface and without revocation checks (which
// would go out to the network).
bool SignatureTrusted(const wchar_t* path) {
    WINTRUST_FILE_INFO file{};
    file.cbStruct = sizeof(file);
    file.pcwszFilePath = path;
    WINTRUST_DATA data{};
    data.cbStruct = sizeof(data);
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &file;
    // No state is kept past the call, so there is none to close.
    data.dwStateAction = WTD_STATEACTION_IGNORE;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    // INVALID_HANDLE_VALUE as the window: there is no interactive user to ask.
    const HWND noUser = reinterpret_cast<HWND>(LONG_PTR{-1});
    return ::WinVerifyTrust(noUser, &action, &data) == ERROR_SUCCESS;
}

}  // namespace

bool ManifestAsksUiAccess(std::string_view text) {
    std::size_t at = 0;
    while ((at = text.find('<', at)) != std::string_view::npos) {
        // Comments and character data hold text, never an element.
        const TextSection* section = nullptr;
        for (const TextSection& candidate : kTextSections) {
            if (text.substr(at).starts_with(candidate.open)) {
                section = &candidate;
            }
        }
        if (section != nullptr) {
            const std::size_t end = text.find(section->close, at + section->open.size());
            if (end == std::string_view::npos) {
                return false;
            }
            at = end + section->close.size();
            continue;
        }
        // The tag's name, and the local part of it after any namespace prefix.
        std::size_t nameEnd = at + 1;
        while (nameEnd < text.size() && !IsXmlSpace(text[nameEnd]) && text[nameEnd] != '/' &&
               text[nameEnd] != '>') {
            ++nameEnd;
        }
        std::string_view name = text.substr(at + 1, nameEnd - at - 1);
        const std::size_t colon = name.rfind(':');
        if (colon != std::string_view::npos) {
            name.remove_prefix(colon + 1);
        }
        if (name == kElementName) {
            return TagAsksUiAccess(text, nameEnd);
        }
        at = nameEnd;
    }
    return false;
}

ProgramSigning InspectProgramSigning(const wchar_t* path) {
    ProgramSigning signing;
    if (path == nullptr || *path == L'\0') {
        return signing;
    }
    // Mapped for its resources only: none of its code runs, nothing it
    // imports is loaded.
    const UniqueModule image(
        ::LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (!image) {
        return signing;
    }
    signing.readable = true;
    signing.asksUiAccess = ManifestAsksUiAccess(ManifestText(image.get()));
    signing.signedByTrust = SignatureTrusted(path);
    return signing;
}

}  // namespace lensbeacon

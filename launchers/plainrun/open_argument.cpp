#include "open_argument.h"

#include <windows.h>
#include <shellapi.h>

#include "lensbeacon/unique_owner.h"

namespace lensbeacon {

const wchar_t* FileToOpen(int argumentCount, const wchar_t* const* arguments) {
    if (arguments == nullptr || argumentCount < 2) {
        return nullptr;
    }
    const wchar_t* argument = arguments[1];
    // "=" and at least one more character.
    if (argument == nullptr || argument[0] != L'=' || argument[1] == L'\0') {
        return nullptr;
    }
    return argument + 1;
}

int RunPlainrun(const wchar_t* commandLine, OpenFileFn open, void* context) {
    int count = 0;
    wchar_t** arguments = ::CommandLineToArgvW(commandLine, &count);
    if (arguments == nullptr) {
        return -1;
    }
    // The array is one local allocation; its owner frees it on every path.
    UniqueLocalMemory owner(arguments);
    if (const wchar_t* file = FileToOpen(count, arguments); file != nullptr) {
        open(file, context);
    }
    return 0;
}

}  // namespace lensbeacon

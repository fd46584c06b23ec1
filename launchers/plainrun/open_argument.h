// Plainrun's one decision: which file, if any, its command line names.
#pragma once

namespace lensbeacon {

// The file named by the first argument after the program name: the text after
// a leading equals sign. Null when there is no such argument, it does not
// begin with "=", or it is "=" alone. Further arguments are ignored.
const wchar_t* FileToOpen(int argumentCount, const wchar_t* const* arguments);

// Receives the file Plainrun opens.
using OpenFileFn = void (*)(const wchar_t* file, void* context);

// Splits `commandLine` with CommandLineToArgvW and hands the named file, if
// any, to `open`. Returns the process exit code: 0 once the line was split
// (whatever was opened), -1 when it could not be split.
int RunPlainrun(const wchar_t* commandLine, OpenFileFn open, void* context);

}  // namespace lensbeacon

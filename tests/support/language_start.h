// Starting a program in one of the twenty languages under Wine.
//
// Wine takes a process's languages (user and machine, interface and locale)
// from the Unix locale its first Wine process was started in (LC_ALL), and
// every process that one starts inherits them; neither the registry nor the
// Windows environment block changes them. So the program is started through
// a Unix program, `env LC_ALL=... wine ...`, which Wine runs when a Windows
// process starts it by its Z: path. That start returns at once: the caller
// finds the program by its window or its process.
#pragma once

#include <string>

namespace lensbeacon::test {

// Starts `command` (a Windows program and its arguments) in a fresh Wine
// process under the Unix locale of language index `language` (1..20), with
// no output of ours; false (and a test failure) when it cannot be started.
bool StartInLanguage(int language, const std::wstring& command);

}  // namespace lensbeacon::test

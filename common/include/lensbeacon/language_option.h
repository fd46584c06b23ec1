// The "-Lang=" option of Lensdial's command line: "-Lang=" followed by a
// language index, which picks the dialog's language instead of the user's.
// Plain code, no Windows call.
#pragma once

namespace lensbeacon {

inline constexpr wchar_t kLanguageOption[] = L"-Lang=";

// The number after the first "-Lang=" of the command line (found case-
// sensitively), read from the text from that option on with every "-Lang="
// removed, so the option written twice in a row still reads its number.
// Leading white space and a sign are taken, then the digits up to the first
// other character; no digits, no option or a null line give 0. A number too
// large for an int is clamped to its range rather than wrapped.
int ParseLanguageOption(const wchar_t* commandLine);

// The arguments of a full command line (GetCommandLineW): the text after the
// program name, quoted or not, and the blanks after it; "" for a null line.
const wchar_t* CommandArguments(const wchar_t* commandLine);

}  // namespace lensbeacon

// The twenty languages the suite speaks, shared by the settings program and
// the indicator: the rows and their LANGIDs, the choice of a row, and the
// settings program's texts in each (the description, the switch words and
// the notice of a switch the organisation holds). The texts are compiled in;
// there is no string table. Plain code: the table makes no Windows call
// (SelectLanguage() without a source is defined with the Windows calls of
// lensbeacon_common).
#pragma once

#include <atomic>
#include <cstdint>

namespace lensbeacon {

// Language indices run from 1 to 20; 1 is English, the language of every
// interface language the table does not list.
inline constexpr int kLanguageCount = 20;
inline constexpr int kLanguageEnglish = 1;
inline constexpr int kLanguageJapanese = 8;
inline constexpr int kLanguageArabic = 13;
inline constexpr int kLanguageIndonesian = 17;
inline constexpr int kLanguageVietnamese = 18;

// Text kinds with a text; every other kind is the empty string.
inline constexpr int kTextDescription = 3;
inline constexpr int kTextOff = 4;
inline constexpr int kTextOn = 5;

// The language index of the process. Before SelectLanguage it holds the
// number the command line gave (0 for none); afterwards the index in use.
extern std::atomic<std::int32_t> g_languageOverride;

// The user's interface language as GetUserDefaultUILanguage reports it.
using UserLanguageSource = std::uint16_t (*)();

// The index whose row lists this LANGID (matched on all 16 bits), or English.
int LanguageIndexFor(std::uint16_t languageId);

// Keeps an override in 1..20; otherwise asks `userLanguage` and stores the
// index of its row (English when unlisted or when no source is given).
void SelectLanguage(UserLanguageSource userLanguage);
// The same with the user's real interface language (GetUserDefaultUILanguage).
void SelectLanguage();

// The text of `kind` in language `index`: never null, "" where the table has
// none (every kind other than 3, 4 and 5, and every index outside 1..20).
const wchar_t* GetLocalizedText(int index, int kind);
// The text of `kind` in the language in use.
const wchar_t* GetLocalizedText(int kind);

// "Managed by your organisation" in language `index` ("" outside 1..20),
// and in the language in use.
const wchar_t* GetManagedNotice(int index);
const wchar_t* GetManagedNotice();

// Japanese text is drawn with the "Meiryo" family instead of "Segoe UI".
bool UsesMeiryo(int index);
// Arabic text is laid out right to left.
bool IsRightToLeft(int index);

}  // namespace lensbeacon

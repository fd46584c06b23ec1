// The indicator's words per language. The source is UTF-8 and the wide
// literals become UTF-16; the Vietnamese caption keeps the decomposed form
// of the settings program's Vietnamese words, spelt as escapes. Each caption
// is what Windows itself shows in that language for a camera that is on,
// kept short: the caption band is the window's width.
#include "lensbeacon/indicator_words.h"

#include <array>
#include <cstddef>

#include "lensbeacon/localized_texts.h"

namespace lensbeacon {
namespace {

constexpr const wchar_t* kColonFormat = L"%1: %2";
constexpr const wchar_t* kComma = L", ";
// Chinese and Japanese write a full-width colon and the enumeration comma.
constexpr const wchar_t* kWideColonFormat = L"%1\uFF1A%2";
constexpr const wchar_t* kEnumerationComma = L"\u3001";

// Row n - 1 holds language index n.
constexpr std::array<IndicatorWords, kLanguageCount> kWords{{
    {L"Camera on", kColonFormat, kComma},                        // 1 English
    {L"相機已開啟", kWideColonFormat, kEnumerationComma},        // 2 Chinese (Traditional)
    {L"摄像头已打开", kWideColonFormat, kEnumerationComma},      // 3 Chinese (Simplified)
    {L"Caméra activée", L"%1\u00A0: %2", kComma},                // 4 French
    {L"Kamera ein", kColonFormat, kComma},                       // 5 German
    {L"Camera aan", kColonFormat, kComma},                       // 6 Dutch
    {L"Kamera zapnuta", kColonFormat, kComma},                   // 7 Czech
    {L"カメラ オン", kWideColonFormat, kEnumerationComma},       // 8 Japanese
    {L"Kamera włączona", kColonFormat, kComma},                  // 9 Polish
    {L"Câmara ligada", kColonFormat, kComma},                    // 10 Portuguese (Portugal)
    {L"Câmera ligada", kColonFormat, kComma},                    // 11 Portuguese (Brazil)
    {L"Камера включена", kColonFormat, kComma},                  // 12 Russian
    {L"الكاميرا قيد التشغيل", kColonFormat, L"\u060C "},         // 13 Arabic
    {L"Kamera bekapcsolva", kColonFormat, kComma},               // 14 Hungarian
    {L"Cámara activada", kColonFormat, kComma},                  // 15 Spanish
    {L"กล้องเปิดอยู่", kColonFormat, kComma},                        // 16 Thai
    {L"Kamera aktif", kColonFormat, kComma},                     // 17 Indonesian
    {L"Camera \u0111ang b\u00E2\u0323t", kColonFormat, kComma},  // 18 Vietnamese
    {L"Kamera açık", kColonFormat, kComma},                      // 19 Turkish
    {L"Fotocamera attiva", kColonFormat, kComma},                // 20 Italian
}};

}  // namespace

const IndicatorWords& IndicatorWordsFor(int index) {
    if (index < 1 || index > kLanguageCount) {
        index = kLanguageEnglish;
    }
    return kWords[static_cast<std::size_t>(index - 1)];
}

}  // namespace lensbeacon

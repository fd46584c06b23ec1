// The language table and the choice of a row, without a Windows call: the
// user's interface language is asked through the source the caller gives. The source is UTF-8 and
// the wide literals become UTF-16; words whose exact code points matter (the decomposed Vietnamese
// words) are spelt as escapes so they stay visible.
#include "lensbeacon/localized_texts.h"

#include <array>
#include <cstddef>

namespace lensbeacon {

std::atomic<std::int32_t> g_languageOverride{0};

namespace {

constexpr const wchar_t* kEnglishOff = L"Off";
constexpr const wchar_t* kEnglishOn = L"On";

struct LanguageRow {
    // The LANGIDs of the row, 0 where unused (0 is never looked up: it is
    // not a valid interface language and falls to English anyway).
    std::array<std::uint16_t, 3> languageIds;
    const wchar_t* description;
    const wchar_t* off;
    const wchar_t* on;
};

// Row n - 1 holds language index n.
constexpr std::array<LanguageRow, kLanguageCount> kLanguages{{
    // 1 English
    {{0x0400, 0x0409, 0},
     L"Lensbeacon is an on-screen display that shows your camera is in use. "
     L"You may turn on or off this function.",
     kEnglishOff,
     kEnglishOn},
    // 2 Chinese (Traditional)
    {{0x0404, 0x0C04, 0},
     L"Lensbeacon 是一種螢幕顯示，可讓您知道相機正在使用中。您可以開啟或關閉此功能。",
     L"關閉",
     L"開啟"},
    // 3 Chinese (Simplified)
    {{0x0804, 0, 0},
     L"Lensbeacon 是一种屏幕显示，可让您知道摄像头正在使用中。您可以打开或关闭此功能。",
     L"关",
     L"开"},
    // 4 French
    {{0x040C, 0x080C, 0x0C0C},
     L"Lensbeacon est un affichage à l'écran qui indique que votre caméra est en cours "
     L"d'utilisation. Vous pouvez activer ou désactiver cette fonction.",
     L"Désactivé",
     L"Activé"},
    // 5 German
    {{0x0407, 0x0807, 0x0C07},
     L"Lensbeacon ist eine Bildschirmanzeige, die Ihnen zeigt, dass Ihre Kamera verwendet "
     L"wird. Sie können diese Funktion ein- oder ausschalten.",
     L"Aus",
     L"Ein"},
    // 6 Dutch
    {{0x0413, 0x0813, 0},
     L"Lensbeacon is een schermweergave die laat zien dat uw camera in gebruik is. "
     L"U kunt deze functie in- of uitschakelen.",
     L"Uit",
     L"Aan"},
    // 7 Czech
    {{0x0405, 0, 0},
     L"Lensbeacon je zobrazení na obrazovce, které ukazuje, že se používá vaše kamera. "
     L"Tuto funkci můžete zapnout nebo vypnout.",
     L"Vypnuto",
     L"Zapnuto"},
    // 8 Japanese
    {{0x0411, 0, 0},
     L"Lensbeacon は、カメラが使用中であることを示す画面表示です。"
     L"この機能はオンまたはオフにできます。",
     L"オフ",
     L"オン"},
    // 9 Polish
    {{0x0415, 0, 0},
     L"Lensbeacon to wskaźnik ekranowy, który pokazuje, że kamera jest używana. "
     L"Możesz włączyć lub wyłączyć tę funkcję.",
     L"Wyłączone",
     L"Włączone"},
    // 10 Portuguese (Portugal)
    {{0x0816, 0, 0},
     L"O Lensbeacon é uma indicação no ecrã que mostra que a sua câmara está a ser "
     L"utilizada. Pode ativar ou desativar esta função.",
     L"Desligado",
     L"Ligado"},
    // 11 Portuguese (Brazil)
    {{0x0416, 0, 0},
     L"O Lensbeacon é uma exibição na tela que mostra que a sua câmera está em uso. "
     L"Você pode ativar ou desativar esta função.",
     L"Desativado",
     L"Ativado"},
    // 12 Russian
    {{0x0419, 0, 0},
     L"Lensbeacon — это экранный индикатор, который показывает, что ваша камера "
     L"используется. Вы можете включить или отключить эту функцию.",
     L"Откл.",
     L"Вкл."},
    // 13 Arabic (drawn right to left)
    {{0x0401, 0x0801, 0x0C01},
     L"Lensbeacon هو عرض على الشاشة يوضح أن الكاميرا قيد الاستخدام. "
     L"يمكنك تشغيل هذه الوظيفة أو إيقاف تشغيلها.",
     L"إيقاف التشغيل",
     L"تشغيل"},
    // 14 Hungarian
    {{0x040E, 0, 0},
     L"A Lensbeacon egy képernyőn megjelenő jelzés, amely mutatja, hogy a kamera "
     L"használatban van. Ezt a funkciót be- vagy kikapcsolhatja.",
     L"Ki",
     L"Be"},
    // 15 Spanish
    {{0x040A, 0x080A, 0x0C0A},
     L"Lensbeacon es una indicación en pantalla que muestra que la cámara está en uso. "
     L"Puede activar o desactivar esta función.",
     L"Desactivado",
     L"Activado"},
    // 16 Thai
    {{0x041E, 0, 0},
     L"Lensbeacon คือการแสดงผลบนหน้าจอที่แสดงว่ากล้องของคุณกำลังใช้งานอยู่ "
     L"คุณสามารถเปิดหรือปิดฟังก์ชันนี้ได้",
     L"ปิด",
     L"เปิด"},
    // 17 Indonesian: its own description, the English switch words
    {{0x0421, 0, 0},
     L"Lensbeacon adalah tampilan di layar yang menunjukkan bahwa kamera Anda sedang "
     L"digunakan. Anda dapat mengaktifkan atau menonaktifkan fungsi ini.",
     kEnglishOff,
     kEnglishOn},
    // 18 Vietnamese: the switch words decomposed, base letter then combining mark
    {{0x042A, 0, 0},
     L"Lensbeacon là tính năng hiển thị trên màn hình cho biết camera của bạn đang được "
     L"sử dụng. Bạn có thể bật hoặc tắt chức năng này.",
     L"T\u0103\u0301t",
     L"B\u00E2\u0323t"},
    // 19 Turkish
    {{0x041F, 0, 0},
     L"Lensbeacon, kameranızın kullanımda olduğunu gösteren bir ekran göstergesidir. "
     L"Bu işlevi açabilir veya kapatabilirsiniz.",
     L"Kapalı",
     L"Açık"},
    // 20 Italian
    {{0x0410, 0x0810, 0},
     L"Lensbeacon è un indicatore sullo schermo che mostra che la fotocamera è in uso. "
     L"È possibile attivare o disattivare questa funzione.",
     L"Disattivate",
     L"Attivate"},
}};

// The notice a switch held by the organisation's policy shows; entry n - 1
// holds language index n.
constexpr std::array<const wchar_t*, kLanguageCount> kManagedNotices{{
    L"Managed by your organisation",        // 1 English
    L"由您的組織管理",                      // 2 Chinese (Traditional)
    L"由您的组织管理",                      // 3 Chinese (Simplified)
    L"Géré par votre organisation",         // 4 French
    L"Von Ihrer Organisation verwaltet",    // 5 German
    L"Beheerd door uw organisatie",         // 6 Dutch
    L"Spravováno vaší organizací",          // 7 Czech
    L"組織によって管理されています",        // 8 Japanese
    L"Zarządzane przez Twoją organizację",  // 9 Polish
    L"Gerido pela sua organização",         // 10 Portuguese (Portugal)
    L"Gerenciado pela sua organização",     // 11 Portuguese (Brazil)
    L"Управляется вашей организацией",      // 12 Russian
    L"تتم إدارته بواسطة مؤسستك",            // 13 Arabic
    L"A szervezete felügyeli",              // 14 Hungarian
    L"Administrado por su organización",    // 15 Spanish
    L"จัดการโดยองค์กรของคุณ",                  // 16 Thai
    L"Dikelola oleh organisasi Anda",       // 17 Indonesian
    L"Do tổ chức của bạn quản lý",          // 18 Vietnamese
    L"Kuruluşunuz tarafından yönetiliyor",  // 19 Turkish
    L"Gestito dall'organizzazione",         // 20 Italian
}};

// 1..20, read as unsigned so that 0 and negative numbers fall outside.
bool IsLanguageIndex(std::int32_t index) {
    return static_cast<std::uint32_t>(index) - 1u < static_cast<std::uint32_t>(kLanguageCount);
}

}  // namespace

int LanguageIndexFor(std::uint16_t languageId) {
    if (languageId == 0) {
        return kLanguageEnglish;
    }
    for (std::size_t row = 0; row < kLanguages.size(); ++row) {
        for (const std::uint16_t listed : kLanguages[row].languageIds) {
            if (listed == languageId) {
                return static_cast<int>(row) + 1;
            }
        }
    }
    return kLanguageEnglish;
}

void SelectLanguage(UserLanguageSource userLanguage) {
    if (IsLanguageIndex(g_languageOverride.load(std::memory_order_relaxed))) {
        return;
    }
    const std::uint16_t languageId = userLanguage != nullptr ? userLanguage() : 0;
    g_languageOverride.store(LanguageIndexFor(languageId), std::memory_order_relaxed);
}

const wchar_t* GetLocalizedText(int index, int kind) {
    if (!IsLanguageIndex(index)) {
        return L"";
    }
    const LanguageRow& row = kLanguages[static_cast<std::size_t>(index - 1)];
    switch (kind) {
        case kTextDescription:
            return row.description;
        case kTextOff:
            return row.off;
        case kTextOn:
            return row.on;
        default:
            return L"";
    }
}

const wchar_t* GetLocalizedText(int kind) {
    return GetLocalizedText(g_languageOverride.load(std::memory_order_relaxed), kind);
}

const wchar_t* GetManagedNotice(int index) {
    return IsLanguageIndex(index) ? kManagedNotices[static_cast<std::size_t>(index - 1)] : L"";
}

const wchar_t* GetManagedNotice() {
    return GetManagedNotice(g_languageOverride.load(std::memory_order_relaxed));
}

bool UsesMeiryo(int index) {
    return index == kLanguageJapanese;
}

bool IsRightToLeft(int index) {
    return index == kLanguageArabic;
}

}  // namespace lensbeacon

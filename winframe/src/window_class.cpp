#include "winframe/window_class.h"

#include <cwchar>
#include <new>
#include <utility>

#include "module_instance.h"

namespace lensbeacon::winframe {
namespace {

// "Lensbeacon:" and five pointers in hexadecimal fit with room to spare.
constexpr int kNameCapacity = 96;

struct RegisteredClass {
    UINT style;
    HCURSOR cursor;
    HBRUSH background;
    HICON icon;
    wchar_t name[kNameCapacity];
    RegisteredClass* next;
};

// The classes this thread asked for, so each name handed out stays where it
// is for the life of the thread. Per thread, so no lock is needed; a class
// another thread registered is found by the system and only its name is
// remembered again here.
class RegisteredClasses {
  public:
    RegisteredClasses() noexcept = default;
    ~RegisteredClasses() {
        while (head_ != nullptr) {
            delete std::exchange(head_, head_->next);
        }
    }
    RegisteredClasses(const RegisteredClasses&) = delete;
    RegisteredClasses& operator=(const RegisteredClasses&) = delete;

    RegisteredClass* Find(UINT style, HCURSOR cursor, HBRUSH background, HICON icon) noexcept {
        for (RegisteredClass* entry = head_; entry != nullptr; entry = entry->next) {
            if (entry->style == style && entry->cursor == cursor &&
                entry->background == background && entry->icon == icon) {
                return entry;
            }
        }
        return nullptr;
    }

    // Null when memory is short.
    RegisteredClass* Add() noexcept {
        auto* entry = new (std::nothrow) RegisteredClass{};
        if (entry != nullptr) {
            entry->next = std::exchange(head_, entry);
        }
        return entry;
    }

  private:
    RegisteredClass* head_ = nullptr;
};

thread_local RegisteredClasses t_classes;

}  // namespace

const wchar_t* RegisterWindowClassOnce(UINT classStyle, HCURSOR cursor, HBRUSH background,
                                       HICON icon) {
    if (RegisteredClass* known = t_classes.Find(classStyle, cursor, background, icon);
        known != nullptr) {
        return known->name;
    }
    HINSTANCE instance = detail::ModuleInstance();
    wchar_t name[kNameCapacity];
    const int length = std::swprintf(
        name, kNameCapacity, L"Lensbeacon:%p:%x:%p:%p:%p", static_cast<void*>(instance), classStyle,
        static_cast<void*>(cursor), static_cast<void*>(background), static_cast<void*>(icon));
    if (length <= 0 || length >= kNameCapacity) {
        return nullptr;
    }
    WNDCLASSW windowClass{};
    windowClass.style = classStyle;
    windowClass.lpfnWndProc = &::DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon;
    windowClass.hCursor = cursor;
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = name;
    if (!RegisterClassOnce(windowClass)) {
        return nullptr;
    }
    RegisteredClass* entry = t_classes.Add();
    if (entry == nullptr) {
        return nullptr;
    }
    entry->style = classStyle;
    entry->cursor = cursor;
    entry->background = background;
    entry->icon = icon;
    std::wmemcpy(entry->name, name, static_cast<size_t>(length) + 1);
    return entry->name;
}

BOOL RegisterClassOnce(const WNDCLASSW& windowClass) {
    if (windowClass.lpszClassName == nullptr) {
        return FALSE;
    }
    WNDCLASSW existing;
    if (::GetClassInfoW(windowClass.hInstance, windowClass.lpszClassName, &existing)) {
        return TRUE;
    }
    if (::RegisterClassW(&windowClass) != 0) {
        return TRUE;
    }
    // Another thread may have registered it in between.
    return ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS ? TRUE : FALSE;
}

const wchar_t* ClassForCreation(const wchar_t* named, UINT classStyle, HCURSOR cursor,
                                HBRUSH background, HICON icon) {
    return named != nullptr ? named : RegisterWindowClassOnce(classStyle, cursor, background, icon);
}

}  // namespace lensbeacon::winframe

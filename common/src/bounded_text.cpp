#include "lensbeacon/bounded_text.h"

#include <cwchar>

namespace lensbeacon {

BoundedText::BoundedText(wchar_t* buffer, std::size_t capacity) noexcept
    : buffer_(buffer), capacity_(capacity) {
    buffer_[0] = L'\0';
}

BoundedText& BoundedText::Append(const wchar_t* text) noexcept {
    if (!ok_) {
        return *this;
    }
    const std::size_t room = capacity_ - length_;  // terminator included
    const std::size_t added = ::wcsnlen(text, room);
    if (added >= room) {
        Refuse();
        return *this;
    }
    std::wmemcpy(buffer_ + length_, text, added);
    length_ += added;
    buffer_[length_] = L'\0';
    return *this;
}

BoundedText& BoundedText::Append(wchar_t character) noexcept {
    const wchar_t text[2] = {character, L'\0'};
    return Append(text);
}

void BoundedText::Refuse() noexcept {
    ok_ = false;
    length_ = 0;
    buffer_[0] = L'\0';
}

}  // namespace lensbeacon

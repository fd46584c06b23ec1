// Text assembled piece by piece into a fixed buffer. A piece that does not fit
// refuses the whole text: the buffer is left empty and every later piece is
// ignored, so a cut path or command line is never produced.
#pragma once

#include <cstddef>

namespace lensbeacon {

class BoundedText {
  public:
    template <std::size_t N>
    explicit BoundedText(wchar_t (&buffer)[N]) noexcept : BoundedText(buffer, N) {}
    // `capacity` counts the terminator and must be at least 1.
    BoundedText(wchar_t* buffer, std::size_t capacity) noexcept;

    // Appends `text`, reading no further than the room left.
    BoundedText& Append(const wchar_t* text) noexcept;
    BoundedText& Append(wchar_t character) noexcept;

    // True while every piece has fitted, terminator included.
    [[nodiscard]] bool ok() const noexcept { return ok_; }
    [[nodiscard]] std::size_t length() const noexcept { return length_; }

  private:
    void Refuse() noexcept;

    wchar_t* buffer_;
    std::size_t capacity_;
    std::size_t length_ = 0;
    bool ok_ = true;
};

}  // namespace lensbeacon

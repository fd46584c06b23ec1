#include "drawing/memory_dc.h"

namespace lensbeacon::settings {

void DeleteMemoryDC(HDC dc) noexcept {
    if (dc == nullptr) {
        return;
    }
    // The bitmap is deselected by the DC's deletion and can then be freed. A
    // DC that never had a bitmap of ours holds the stock one, which
    // DeleteObject leaves alone.
    HGDIOBJ bitmap = ::GetCurrentObject(dc, OBJ_BITMAP);
    ::DeleteDC(dc);
    if (bitmap != nullptr) {
        ::DeleteObject(bitmap);
    }
}

MemoryDc CreateMemoryDC(int width, int height) noexcept {
    if (width <= 0 || height <= 0) {
        return MemoryDc{};
    }
    WindowDc screen(nullptr);
    if (!screen) {
        return MemoryDc{};
    }
    MemoryDc memory(::CreateCompatibleDC(screen.get()));
    UniqueBitmap bitmap(::CreateCompatibleBitmap(screen.get(), width, height));
    if (!memory || !bitmap) {
        return MemoryDc{};
    }
    if (::SelectObject(memory.get(), bitmap.get()) == nullptr) {
        return MemoryDc{};
    }
    // The DC owns the bitmap now: deleting the DC frees it.
    bitmap.release();
    return memory;
}

CMemDC2::CMemDC2(HDC target, const RECT& rect) noexcept : target_(target), rect_(rect) {
    if (target == nullptr) {
        return;
    }
    inUse_ = ::GetDeviceCaps(target, TECHNOLOGY) != DT_RASPRINTER;
    if (!inUse_) {
        return;
    }
    if (rect_.left == 0 && rect_.top == 0 && rect_.right == 0 && rect_.bottom == 0) {
        ::GetClipBox(target, &rect_);
    }
    memory_.reset(::CreateCompatibleDC(target));
    bitmap_.reset(
        ::CreateCompatibleBitmap(target, rect_.right - rect_.left, rect_.bottom - rect_.top));
    if (!memory_ || !bitmap_) {
        // Without a memory DC the pass draws straight into the target.
        inUse_ = false;
        bitmap_.reset();
        memory_.reset();
        return;
    }
    oldBitmap_ = ::SelectObject(memory_.get(), bitmap_.get());
    ::SetWindowOrgEx(memory_.get(), rect_.left, rect_.top, nullptr);
}

CMemDC2::~CMemDC2() {
    if (!inUse_) {
        return;
    }
    ::BitBlt(target_, rect_.left, rect_.top, rect_.right - rect_.left, rect_.bottom - rect_.top,
             memory_.get(), rect_.left, rect_.top, SRCCOPY);
    if (oldBitmap_ != nullptr) {
        ::SelectObject(memory_.get(), oldBitmap_);
    }
    // Members go in reverse order: the DC first, then the deselected bitmap.
}

}  // namespace lensbeacon::settings

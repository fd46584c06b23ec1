#include "osd_images.h"

#include <objidl.h>
#include <wrl/client.h>

namespace lensbeacon::indicator {

using Microsoft::WRL::ComPtr;

GdiplusSession::GdiplusSession() noexcept {
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) {
        token_ = 0;
    }
}

GdiplusSession::~GdiplusSession() {
    if (token_ != 0) {
        Gdiplus::GdiplusShutdown(token_);
    }
}

std::unique_ptr<Gdiplus::Bitmap> LoadImageResource(HMODULE module, const wchar_t* name) {
    HRSRC resource = ::FindResourceW(module, name, L"IMAGE");
    if (resource == nullptr) {
        return nullptr;
    }
    const DWORD size = ::SizeofResource(module, resource);
    if (size == 0) {
        return nullptr;
    }
    HGLOBAL loaded = ::LoadResource(module, resource);
    const void* bytes = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (bytes == nullptr) {
        return nullptr;
    }
    // The decoder reads from a stream; the stream frees its memory itself.
    ComPtr<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(nullptr, TRUE, &stream))) {
        return nullptr;
    }
    ULONG written = 0;
    if (FAILED(stream->Write(bytes, size, &written)) || written != size) {
        return nullptr;
    }
    LARGE_INTEGER start{};
    if (FAILED(stream->Seek(start, STREAM_SEEK_SET, nullptr))) {
        return nullptr;
    }
    std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromStream(stream.Get()));
    if (!bitmap || bitmap->GetLastStatus() != Gdiplus::Ok) {
        return nullptr;
    }
    return bitmap;
}

bool OsdImages::Load(HMODULE module) {
    if (!background_) {
        background_ = LoadImageResource(module, L"BKGND");
    }
    const wchar_t* const buttonNames[] = {L"BTN_NORMAL", L"BTN_NORMAL", L"BTN_DOWN"};
    for (std::size_t slot = 0; slot < buttons_.size(); ++slot) {
        if (!buttons_[slot]) {
            buttons_[slot] = LoadImageResource(module, buttonNames[slot]);
        }
    }
    return background_ != nullptr;
}

void OsdImages::Free() noexcept {
    for (auto& button : buttons_) {
        button.reset();
    }
    background_.reset();
}

Gdiplus::Bitmap* OsdImages::Button(int slot) const noexcept {
    if (slot < 0 || static_cast<std::size_t>(slot) >= buttons_.size()) {
        return nullptr;
    }
    return buttons_[static_cast<std::size_t>(slot)].get();
}

}  // namespace lensbeacon::indicator

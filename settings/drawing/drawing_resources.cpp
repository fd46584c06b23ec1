#include "drawing/drawing_resources.h"

#include "drawing/image_routines.h"
#include "drawing/image_set.h"

namespace lensbeacon::settings {

namespace {

// Releases the process-wide set when the registry's last user leaves.
class ProcessResourceOwner final : public DrawingResourceOwner {
  public:
    void ReleaseTextFactory() noexcept override { DrawingResources().writeFactory.Reset(); }
    void ReleaseImageResources() noexcept override { ReleaseDrawingResources(); }
};

DrawingUserRegistry& ProcessRegistry() noexcept {
    static DrawingUserRegistry registry;
    return registry;
}

}  // namespace

SharedDrawingResources& DrawingResources() noexcept {
    static SharedDrawingResources resources;
    return resources;
}

HRESULT CreateDrawingFactory() noexcept {
    auto& resources = DrawingResources();
    if (resources.d2dFactory) {
        return S_OK;
    }
    return D2D1CreateFactory(
        D2D1_FACTORY_TYPE_SINGLE_THREADED, __uuidof(ID2D1Factory), nullptr,
        reinterpret_cast<void**>(resources.d2dFactory.ReleaseAndGetAddressOf()));
}

HRESULT CreateImagingFactory() noexcept {
    auto& resources = DrawingResources();
    if (resources.wicFactory) {
        return S_OK;
    }
    return CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                            IID_PPV_ARGS(resources.wicFactory.ReleaseAndGetAddressOf()));
}

HRESULT CreateTextFactory() noexcept {
    auto& resources = DrawingResources();
    if (resources.writeFactory) {
        return S_OK;
    }
    return DWriteCreateFactory(
        DWRITE_FACTORY_TYPE_SHARED, __uuidof(IDWriteFactory),
        reinterpret_cast<IUnknown**>(resources.writeFactory.ReleaseAndGetAddressOf()));
}

HRESULT LoadBackgroundBitmap(float scale) noexcept {
    Microsoft::WRL::ComPtr<IWICBitmap> bitmap;
    const HRESULT hr = LoadImageBitmap(kImageBackground, scale, kLoadScaled, &bitmap);
    if (SUCCEEDED(hr)) {
        DrawingResources().background = bitmap;
    }
    return hr;
}

void ReleaseDrawingResources() noexcept {
    auto& resources = DrawingResources();
    resources.dcTarget.Reset();
    resources.background.Reset();
    resources.wicFactory.Reset();
    resources.d2dFactory.Reset();
}

bool DrawingUserRegistry::Register(HWND window) noexcept {
    if (window == nullptr) {
        return false;
    }
    if (Contains(window)) {
        return true;
    }
    if (count_ >= kCapacity) {
        return false;
    }
    windows_[count_++] = window;
    return true;
}

void DrawingUserRegistry::Unregister(HWND window, DrawingResourceOwner& owner) noexcept {
    if (window == nullptr || count_ == 0) {
        return;
    }
    for (int i = 0; i < count_; ++i) {
        if (windows_[i] != window) {
            continue;
        }
        const int last = count_ - 1;
        windows_[i] = windows_[last];
        windows_[last] = nullptr;
        count_ = last;
        if (count_ == 0) {
            owner.ReleaseTextFactory();
            owner.ReleaseImageResources();
        }
        return;
    }
}

bool DrawingUserRegistry::Contains(HWND window) const noexcept {
    for (int i = 0; i < count_; ++i) {
        if (windows_[i] == window) {
            return true;
        }
    }
    return false;
}

void RegisterDrawingUser(HWND window) noexcept {
    ProcessRegistry().Register(window);
}

void UnregisterDrawingUser(HWND window) noexcept {
    ProcessResourceOwner owner;
    ProcessRegistry().Unregister(window, owner);
}

int DrawingUserCount() noexcept {
    return ProcessRegistry().Count();
}

}  // namespace lensbeacon::settings

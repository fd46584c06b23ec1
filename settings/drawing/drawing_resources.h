// The four process-wide drawing objects the settings controls compose their
// pictures from, and the small registry of windows that keeps them alive.
// Dialog thread only.
#pragma once

#include <windows.h>
#include <d2d1.h>
#include <dwrite.h>
#include <wincodec.h>
#include <wrl/client.h>

namespace lensbeacon::settings {

// The shared resources; each is empty when absent. Release one by resetting
// it (ComPtr::Reset), which also marks it absent.
struct SharedDrawingResources {
    Microsoft::WRL::ComPtr<ID2D1Factory> d2dFactory;
    Microsoft::WRL::ComPtr<IWICImagingFactory> wicFactory;
    Microsoft::WRL::ComPtr<IWICBitmap> background;
    Microsoft::WRL::ComPtr<IDWriteFactory> writeFactory;
    // The one DC render target, made by the first CreateDCRenderTarget and
    // bound anew to each DC drawn on: each render target brings a Direct3D
    // device of its own, the costliest thing a drawing makes.
    Microsoft::WRL::ComPtr<ID2D1DCRenderTarget> dcTarget;
};

// The one set of the process.
SharedDrawingResources& DrawingResources() noexcept;

// Create one shared factory each if it is absent; S_OK when it exists
// afterwards. Direct2D single-threaded; WIC in-process (COM must be
// initialised on the thread); DirectWrite shared.
[[nodiscard]] HRESULT CreateDrawingFactory() noexcept;
[[nodiscard]] HRESULT CreateImagingFactory() noexcept;
[[nodiscard]] HRESULT CreateTextFactory() noexcept;
// Loads the resource "BKGND" in mode 2 at `scale` into the shared background
// bitmap (cache on load). E_FAIL without the WIC factory.
[[nodiscard]] HRESULT LoadBackgroundBitmap(float scale) noexcept;

// Releases, if present, the DC render target, the background bitmap, the
// WIC factory and the Direct2D factory, in this order.
void ReleaseDrawingResources() noexcept;

// What the registry releases when its last user leaves; the process-wide
// registry releases the shared resources, tests count the calls.
class DrawingResourceOwner {
  public:
    virtual void ReleaseTextFactory() noexcept = 0;
    virtual void ReleaseImageResources() noexcept = 0;

  protected:
    ~DrawingResourceOwner() = default;
};

// A table of at most 16 windows that still have to compose pictures.
class DrawingUserRegistry {
  public:
    static constexpr int kCapacity = 16;

    // Appends a non-null window that is not listed while there is room;
    // true when the window is listed afterwards.
    bool Register(HWND window) noexcept;
    // Removes a listed window (the last entry takes its place). When that
    // empties the table, releases the text factory and then the image
    // resources through `owner`. Null, unlisted windows and an empty table
    // change nothing.
    void Unregister(HWND window, DrawingResourceOwner& owner) noexcept;

    int Count() const noexcept { return count_; }
    bool Contains(HWND window) const noexcept;

  private:
    HWND windows_[kCapacity] = {};
    int count_ = 0;
};

// The process-wide registry over DrawingResources().
void RegisterDrawingUser(HWND window) noexcept;
void UnregisterDrawingUser(HWND window) noexcept;
int DrawingUserCount() noexcept;

// One window's use of the shared resources: registered for as long as this
// object lives, so that no path forgets to leave.
class DrawingUser {
  public:
    explicit DrawingUser(HWND window) noexcept : window_(window) { RegisterDrawingUser(window); }
    ~DrawingUser() { UnregisterDrawingUser(window_); }
    DrawingUser(const DrawingUser&) = delete;
    DrawingUser& operator=(const DrawingUser&) = delete;

  private:
    HWND window_;
};

}  // namespace lensbeacon::settings

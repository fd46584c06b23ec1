// COM for a window program's thread, balanced only when it was initialised
// here. Screen readers reach a window's accessible object through COM, and
// the drawing toolbox's objects live in it.
#pragma once

#include <objbase.h>

namespace lensbeacon::winframe {

class ComApartment {
  public:
    ComApartment() noexcept : initialized_(SUCCEEDED(::CoInitialize(nullptr))) {}
    ~ComApartment() {
        if (initialized_) {
            ::CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

  private:
    bool initialized_;
};

}  // namespace lensbeacon::winframe

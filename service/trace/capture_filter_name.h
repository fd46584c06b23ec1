// Recognises the system's video-capture filter module among the image names
// that kernel image-load events carry.
#pragma once

#include <cstddef>

namespace lensbeacon {

// The name test on a wide-character name of `length` characters stored at
// `text` (untrusted bytes, possibly unaligned). True when the name ends in
// "vidcap.ax" and contains "\windows\system32\vidcap.ax", or, on 64-bit
// Windows, "\windows\syswow64\vidcap.ax". Letter case is ignored for the
// ASCII letters only, as the C runtime does in its default locale; any prefix
// (such as a volume device name) is accepted. The name is tested in place at
// any length: nothing is copied into a fixed buffer.
[[nodiscard]] bool IsCaptureFilterImage(const void* text, std::size_t length, bool windows64);

// The same for a NUL-terminated name.
[[nodiscard]] bool IsCaptureFilterImage(const wchar_t* name, bool windows64);

}  // namespace lensbeacon

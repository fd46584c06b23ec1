// One way to report success across the suite's Win32 and COM adapters.
//
// - A call that can fail for a reason worth telling returns HRESULT, and its
//   callers pass a failure up with LB_RETURN_IF_FAILED or turn a Win32 BOOL
//   into one with LB_RETURN_IF_WIN32_BOOL_FALSE / LastErrorResult().
// - A question with no reason to tell returns bool, or std::optional<T> for a
//   value that may be missing; never an int with an out-parameter.
// - Every such function is [[nodiscard]]. A result dropped on purpose is cast
//   to void beside a comment saying why it may be dropped.
//
// The cores make no Windows call; they report with bool and std::optional
// alone and include nothing from here.
#pragma once

#include <windows.h>

namespace lensbeacon {

// The thread's last error as an HRESULT, for a call that has just failed.
// A call that failed without setting an error still reads as a failure.
[[nodiscard]] inline HRESULT LastErrorResult() noexcept {
    const DWORD error = ::GetLastError();
    return error == ERROR_SUCCESS ? E_FAIL : HRESULT_FROM_WIN32(error);
}

// S_OK for a Win32 BOOL that is true, the last error otherwise.
[[nodiscard]] inline HRESULT ResultFromBool(BOOL succeeded) noexcept {
    return succeeded ? S_OK : LastErrorResult();
}

// S_OK for a Win32 status code that is ERROR_SUCCESS (the registry's style).
[[nodiscard]] inline HRESULT ResultFromStatus(LONG status) noexcept {
    return status == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(static_cast<DWORD>(status));
}

}  // namespace lensbeacon

// Returns the HRESULT of the expression from the enclosing function when it
// is a failure.
#define LB_RETURN_IF_FAILED(expression)         \
    do {                                        \
        const HRESULT lbResult_ = (expression); \
        if (FAILED(lbResult_)) {                \
            return lbResult_;                   \
        }                                       \
    } while (false)

// Returns the last error as an HRESULT when the Win32 expression is FALSE.
#define LB_RETURN_IF_WIN32_BOOL_FALSE(expression)   \
    do {                                            \
        if (!(expression)) {                        \
            return ::lensbeacon::LastErrorResult(); \
        }                                           \
    } while (false)

// Returns the last error as an HRESULT when the expression is null.
#define LB_RETURN_LAST_ERROR_IF_NULL(expression)    \
    do {                                            \
        if ((expression) == nullptr) {              \
            return ::lensbeacon::LastErrorResult(); \
        }                                           \
    } while (false)

// Returns the given HRESULT when the condition holds.
#define LB_RETURN_HR_IF(result, condition) \
    do {                                   \
        if (condition) {                   \
            return (result);               \
        }                                  \
    } while (false)

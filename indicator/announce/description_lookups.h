// The lookups of program descriptions, on the system's thread pool, away
// from the indicator's user-interface thread: however long a file takes to
// read, the indicator shows and answers at once.
//
// Work under way shares only a reference-counted state with this object,
// never the object itself or the window: Close (or the destructor) cuts the
// window off under the state's lock and returns without waiting, and a
// lookup that finishes after it neither posts nor keeps its answer.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace lensbeacon::indicator {

// Posted to the indicator window when descriptions have arrived.
inline constexpr UINT kDescriptionsArrivedMessage = WM_APP + 2;

// What one lookup does: the description of the file at a path.
using DescriptionLookup = std::wstring (*)(const std::wstring& path);

class DescriptionLookups {
  public:
    struct Answer {
        std::wstring path;
        std::wstring description;
    };

    // `lookup` runs on the pool's threads: ReadLocalFileDescription unless a
    // test gives another, in the process's default pool unless `environment`
    // names one (a test's, with a cleanup group to wait on).
    explicit DescriptionLookups(DescriptionLookup lookup = nullptr,
                                PTP_CALLBACK_ENVIRON environment = nullptr) noexcept;
    ~DescriptionLookups() { Close(); }
    DescriptionLookups(const DescriptionLookups&) = delete;
    DescriptionLookups& operator=(const DescriptionLookups&) = delete;

    // Looks up `paths`, one after another, on a pool thread. After an
    // answer, `window` is posted `message` unless a post is already waiting
    // for TakeAnswers. False when the work could not be queued (or after
    // Close): no answer then comes for these paths.
    [[nodiscard]] bool Start(HWND window, UINT message, const std::vector<std::wstring>& paths);

    // The answers that arrived since the last call, in their order.
    [[nodiscard]] std::vector<Answer> TakeAnswers();

    // From here on nothing is posted and no answer is kept. Does not wait
    // for work under way.
    void Close();

  private:
    struct Shared;
    struct Batch;
    static void CALLBACK Run(PTP_CALLBACK_INSTANCE instance, void* context);

    DescriptionLookup lookup_;
    PTP_CALLBACK_ENVIRON environment_;
    std::shared_ptr<Shared> shared_;
    bool closed_ = false;
};

}  // namespace lensbeacon::indicator

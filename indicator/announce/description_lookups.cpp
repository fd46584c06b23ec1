#include "description_lookups.h"

#include <new>

#include "lensbeacon/camera_use_names.h"

namespace lensbeacon::indicator {
namespace {

class ExclusiveLock {
  public:
    explicit ExclusiveLock(SRWLOCK& lock) noexcept : lock_(lock) {
        ::AcquireSRWLockExclusive(&lock_);
    }
    ~ExclusiveLock() { ::ReleaseSRWLockExclusive(&lock_); }
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;

  private:
    SRWLOCK& lock_;
};

}  // namespace

// What the user-interface thread and the lookups under way share.
struct DescriptionLookups::Shared {
    SRWLOCK lock = SRWLOCK_INIT;
    HWND window = nullptr;  // null once closed
    UINT message = 0;
    bool posted = false;  // a message waits for TakeAnswers
    std::vector<Answer> answers;

    bool Closed() {
        ExclusiveLock hold(lock);
        return window == nullptr;
    }

    void Deliver(Answer answer) {
        ExclusiveLock hold(lock);
        if (window == nullptr) {
            return;
        }
        answers.push_back(std::move(answer));
        // Posting never waits for the window's thread, so it is safe under
        // the lock, which keeps Close from cutting the window off meanwhile.
        if (!posted) {
            posted = ::PostMessageW(window, message, 0, 0) != FALSE;
        }
    }
};

// One queued piece of work, owned by the pool callback once it runs.
struct DescriptionLookups::Batch {
    std::shared_ptr<Shared> shared;
    DescriptionLookup lookup;
    std::vector<std::wstring> paths;
};

DescriptionLookups::DescriptionLookups(DescriptionLookup lookup,
                                       PTP_CALLBACK_ENVIRON environment) noexcept
    : lookup_(lookup != nullptr ? lookup : &ReadLocalFileDescription), environment_(environment) {}

bool DescriptionLookups::Start(HWND window, UINT message, const std::vector<std::wstring>& paths) {
    if (closed_ || window == nullptr || paths.empty()) {
        return false;
    }
    if (!shared_) {
        shared_ = std::make_shared<Shared>();
        shared_->window = window;
        shared_->message = message;
    }
    std::unique_ptr<Batch> batch(new (std::nothrow) Batch{shared_, lookup_, paths});
    if (!batch || !::TrySubmitThreadpoolCallback(&Run, batch.get(), environment_)) {
        return false;
    }
    // The callback owns the batch now.
    static_cast<void>(batch.release());
    return true;
}

std::vector<DescriptionLookups::Answer> DescriptionLookups::TakeAnswers() {
    if (!shared_) {
        return {};
    }
    ExclusiveLock hold(shared_->lock);
    shared_->posted = false;
    std::vector<Answer> answers = std::move(shared_->answers);
    shared_->answers.clear();
    return answers;
}

void DescriptionLookups::Close() {
    closed_ = true;
    if (!shared_) {
        return;
    }
    {
        ExclusiveLock hold(shared_->lock);
        shared_->window = nullptr;
        shared_->answers.clear();
    }
    // Work under way holds its own reference and frees the state at its end.
    shared_.reset();
}

void CALLBACK DescriptionLookups::Run(PTP_CALLBACK_INSTANCE, void* context) {
    const std::unique_ptr<Batch> batch(static_cast<Batch*>(context));
    try {
        for (const std::wstring& path : batch->paths) {
            if (batch->shared->Closed()) {
                return;
            }
            batch->shared->Deliver(Answer{path, batch->lookup(path)});
        }
    } catch (const std::bad_alloc&) {
        // Out of memory: the rest are named by their file names.
    }
}

}  // namespace lensbeacon::indicator

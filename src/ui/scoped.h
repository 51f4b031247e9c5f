// A move-only owner of a short-lived resource: runs its release action once,
// on scope exit, unless moved from.
#pragma once

#include <utility>

template <typename Handle, typename Release>
class Scoped {
public:
    Scoped(Handle handle, Release release) : handle_(handle), release_(std::move(release)), owns_(true) {}
    Scoped(Scoped&& other) noexcept
        : handle_(other.handle_), release_(std::move(other.release_)), owns_(std::exchange(other.owns_, false)) {}
    Scoped(const Scoped&) = delete;
    Scoped& operator=(const Scoped&) = delete;
    Scoped& operator=(Scoped&&) = delete;
    ~Scoped() {
        if (owns_) release_(handle_);
    }
    Handle Get() const { return handle_; }

private:
    Handle handle_;
    Release release_;
    bool owns_;
};

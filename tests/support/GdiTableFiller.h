// Fills the process's GDI handle table up to `headroom` free handles, and frees it again: a leak
// of a handle per cycle then runs into the limit within a few hundred cycles.
#pragma once

#include <windows.h>

#include <cstddef>
#include <vector>

namespace quenlor::test {

class GdiTableFiller {
  public:
    explicit GdiTableFiller(size_t headroom) {
        for (;;) {
            HBITMAP b = CreateBitmap(1, 1, 1, 1, nullptr);
            if (b == nullptr) break;
            filler_.push_back(b);
            if (filler_.size() > 1000000) break;  // no limit at all: the test will say so
        }
        capacity_ = filler_.size();
        for (size_t i = 0; i < headroom && !filler_.empty(); ++i) {
            DeleteObject(filler_.back());
            filler_.pop_back();
        }
    }
    GdiTableFiller(const GdiTableFiller&) = delete;
    GdiTableFiller& operator=(const GdiTableFiller&) = delete;
    ~GdiTableFiller() {
        for (HBITMAP b : filler_) DeleteObject(b);
    }
    size_t capacity() const { return capacity_; }  // handles that could be created at the start

  private:
    std::vector<HBITMAP> filler_;
    size_t capacity_ = 0;
};

}  // namespace quenlor::test

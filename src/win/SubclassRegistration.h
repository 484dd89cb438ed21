// One message of one window registered with the subclassing service (MSubclass.h), detached again
// when the owner lets go of it.
#pragma once

#include <windows.h>

#include <utility>

#include "win/MSubclass.h"

namespace quenlor {

class SubclassRegistration {
  public:
    // Registers `handler` for `iMsg` of `hwnd`; throws what AttachMessage throws, holding nothing.
    SubclassRegistration(ISubclass* handler, HWND hwnd, UINT iMsg)
        : handler_(handler), hwnd_(hwnd), msg_(iMsg) {
        MSubclass::AttachMessage(handler, hwnd, iMsg);
    }
    SubclassRegistration(const SubclassRegistration&) = delete;
    SubclassRegistration& operator=(const SubclassRegistration&) = delete;
    SubclassRegistration(SubclassRegistration&& other) noexcept
        : handler_(std::exchange(other.handler_, nullptr)), hwnd_(other.hwnd_), msg_(other.msg_) {}
    SubclassRegistration& operator=(SubclassRegistration&& other) noexcept {
        if (this != &other) {
            Reset();
            handler_ = std::exchange(other.handler_, nullptr);
            hwnd_ = other.hwnd_;
            msg_ = other.msg_;
        }
        return *this;
    }
    ~SubclassRegistration() { Reset(); }

    void Reset() {
        if (handler_) MSubclass::DetachMessage(std::exchange(handler_, nullptr), hwnd_, msg_);
    }

  private:
    ISubclass* handler_;
    HWND hwnd_;
    UINT msg_;
};

}  // namespace quenlor

#include "RequestLog.h"

namespace pallixsim {

void RequestLog::add(Request request) {
    if (entries_.size() == kCapacity) entries_.pop_front();
    entries_.push_back(std::move(request));
    ++count_;
}

void RequestLog::clear() {
    entries_.clear();
    count_ = 0;
}

}  // namespace pallixsim

// framework/exceptions.cpp: the exception kept between a handler and the message loop.
#include "framework/exceptions.h"

#include <utility>

namespace {
// Only the first exception counts: later ones are usually its consequences.
std::exception_ptr gPending;
}  // namespace

void KeepPendingException(std::exception_ptr e) {
    if (!gPending) gPending = std::move(e);
}

std::exception_ptr TakePendingException() { return std::exchange(gPending, nullptr); }

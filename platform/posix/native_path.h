// platform/posix/native_path.h: IsHiddenName under its old name, for the writer's file until it
// calls the one in platform/dir_search.h. Nothing else includes this.
#pragma once
#include "platform/dir_search.h"

namespace favpage::posix {

using favpage::IsHiddenName;

}  // namespace favpage::posix

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/events/Log.h"

namespace quillby {

// The duplicate finder's log lines start with "[kvt]fun:<function> line:<line>" so that a line
// in the diagnostic log leads straight to the code that wrote it.
#define KVT_LOG(format, ...) QWLog("[kvt]fun:%s line:%d" format, __func__, __LINE__, ##__VA_ARGS__)

}  // namespace quillby

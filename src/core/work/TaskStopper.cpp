// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/work/TaskStopper.h"

namespace quillby {

TaskStopper& TaskStopper::sharedTaskStopper() {
    static TaskStopper* stopper = new TaskStopper;  // lives for the whole process
    return *stopper;
}

}  // namespace quillby

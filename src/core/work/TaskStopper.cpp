#include "core/work/TaskStopper.h"

TaskStopper& TaskStopper::sharedTaskStopper() {
    static TaskStopper* stopper = new TaskStopper;  // lives for the whole process
    return *stopper;
}

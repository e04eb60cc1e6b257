// SPDX-License-Identifier: GPL-3.0-or-later
#include "memory/cleanMemoryInfo.h"

#include "core/text/UtilityFunction.h"

namespace quillby {

cleanMemoryInfo cleanMemoryInfo::fromMemoryInfo(const MemoryFigures& info) {
    cleanMemoryInfo texts;
    texts.freeMem = UtilityFunction::covertCleanMemory(info[kMemFree]);
    texts.inactiveMem = UtilityFunction::covertCleanMemory(info[kMemInactive]);
    texts.activeMem = UtilityFunction::covertCleanMemory(info[kMemActive]);
    texts.wiredMem = UtilityFunction::covertCleanMemory(info[kMemWired]);
    texts.usedMem = UtilityFunction::covertCleanMemory(info[kMemUsed]);
    texts.totalMem = UtilityFunction::covertCleanMemory(info[kMemTotal]);
    return texts;
}

}  // namespace quillby

#include "memory/cleanMemoryInfo.h"

#include "core/text/UtilityFunction.h"

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

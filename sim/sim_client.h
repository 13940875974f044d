// Resolves the simulator's control functions from a dlopen handle, for tests
// that load Corvane.dll the way the program does and steer the simulator
// behind it.
#pragma once

#include <dlfcn.h>

#include <string>

#include "sim/sim_control.h"

namespace corvane::sim {

struct SimClient {
#define CORVANE_SIM_CONTROL_FUNCTIONS(X) \
  X(CorvaneSim_Reset)                    \
  X(CorvaneSim_SetReportInterval)        \
  X(CorvaneSim_SetReportSplit)           \
  X(CorvaneSim_SetBoxCount)              \
  X(CorvaneSim_GetBoxCount)              \
  X(CorvaneSim_GetBoxPath)               \
  X(CorvaneSim_SetIdentity)              \
  X(CorvaneSim_GetIdentity)              \
  X(CorvaneSim_SetEscPresent)            \
  X(CorvaneSim_SetEscModel)              \
  X(CorvaneSim_SetEscSettings)           \
  X(CorvaneSim_GetEscSettings)           \
  X(CorvaneSim_SetEscLive)               \
  X(CorvaneSim_GetEscLive)               \
  X(CorvaneSim_GetProgrammedImage)       \
  X(CorvaneSim_SetVersionAfterProgram)   \
  X(CorvaneSim_SetEscRestartTime)        \
  X(CorvaneSim_SetBoxRestartTimes)       \
  X(CorvaneSim_SetTestRun)               \
  X(CorvaneSim_DropNextReply)            \
  X(CorvaneSim_DropNextReplyOfKind)      \
  X(CorvaneSim_CorruptNextReply)         \
  X(CorvaneSim_SetStall)                 \
  X(CorvaneSim_SetRefuseIdentity)        \
  X(CorvaneSim_Unplug)                   \
  X(CorvaneSim_UnplugAfterDataBytes)     \
  X(CorvaneSim_LeaveDuringNextRead)      \
  X(CorvaneSim_PlugIn)                   \
  X(CorvaneSim_SetPlugListener)          \
  X(CorvaneSim_WaitForNotifications)     \
  X(CorvaneSim_GetCounter)               \
  X(CorvaneSim_GetLastCommand)

#define CORVANE_SIM_MEMBER(name) decltype(&::name) name = nullptr;
  CORVANE_SIM_CONTROL_FUNCTIONS(CORVANE_SIM_MEMBER)
#undef CORVANE_SIM_MEMBER

  // Resolves every function; false (with the first missing name in `missing`)
  // when the library lacks one.
  bool load(void* library, std::string* missing = nullptr) {
#define CORVANE_SIM_RESOLVE(name)                                    \
  name = reinterpret_cast<decltype(&::name)>(dlsym(library, #name)); \
  if (name == nullptr) {                                             \
    if (missing != nullptr) *missing = #name;                        \
    return false;                                                    \
  }
    CORVANE_SIM_CONTROL_FUNCTIONS(CORVANE_SIM_RESOLVE)
#undef CORVANE_SIM_RESOLVE
    return true;
  }
};

#undef CORVANE_SIM_CONTROL_FUNCTIONS

}  // namespace corvane::sim

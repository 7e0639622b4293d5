#include "platform/WriteSteps.h"

namespace varlin {
namespace {

WriteStepHook g_hook = nullptr;

}  // namespace

void SetWriteStepHook(WriteStepHook hook) { g_hook = hook; }

int CheckWriteStep(WriteStep step) { return g_hook ? g_hook(step) : 0; }

}  // namespace varlin

// Phases whose work has not been built yet. Each keeps its place in the launch so that the
// order and the trace of a run are already those of the finished launcher; each moves to its
// own subsystem when its work is written.
#include "app/launch_phases.h"

void InstMSP(CSetupExeApp& /*app*/) {}

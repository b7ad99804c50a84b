#include "patch/inst_msp.h"

#include "log/trace_scope.h"
#include "patch/setup_patch.h"
#include "patch/update_decision.h"
#include "run/user_message.h"

int InstMSP(const tagLaunchContext& context) {
    CTraceScope scope("InstMSP");
    CRegisteredProduct product;
    const tagUpdateDecision decision = DecideUpdate(context, product);
    ShowWarningBox(context, decision.strCaption, decision.strText);
    if (decision.nBox == UpdateBoxSetup) {
        return SetupPatch(context, decision);
    }
    return decision.nExitCode;
}

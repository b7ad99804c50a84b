#include "patch/inst_msp.h"

#include "app/setup_exe_app.h"
#include "app/user_message.h"
#include "log/trace_scope.h"
#include "patch/setup_patch.h"

int InstMSP(CSetupExeApp& app) {
    CTraceScope scope("InstMSP");
    CRegisteredProduct product;
    const tagUpdateDecision decision = DecideUpdate(app, product);
    ShowWarningBox(app, decision.strCaption, decision.strText);
    if (decision.nBox == UpdateBoxSetup) {
        return SetupPatch(app, decision.strPatchPath);
    }
    return decision.nExitCode;
}

#pragma once

// Restricts DLL loading to the system folder for the rest of the process, before anything could
// find a planted copy beside the program. Called first thing by the program entry. The system
// libraries are then loaded from the system folder when first needed; where Windows cannot
// restrict the loads that system DLLs make by name (no SetDefaultDllDirectories), all of them
// are loaded here instead.
void HardenDllSearch();

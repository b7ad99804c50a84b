#pragma once

// Restricts DLL loading to the system folder for the rest of the process and loads the system
// libraries that are not Known DLLs (msi.dll, version.dll) from there, before anything could
// find a planted copy beside the program. Called first thing by the program entry.
void HardenDllSearch();

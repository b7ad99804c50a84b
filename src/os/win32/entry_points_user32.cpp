// user32.dll entry points the launcher calls.
#include "os/win32/system_library.h"

SETUP_FORWARD(User32, SHORT, 0, GetKeyState, (int nVirtKey), (nVirtKey))

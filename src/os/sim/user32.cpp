// Simulated user32 calls.
#include "os/sim/machine.h"

SHORT WINAPI GetKeyState(int nVirtKey) {
    // The high-order bit marks a key that is down, which makes the SHORT negative.
    return sim::Machine::Current().IsKeyDown(nVirtKey) ? static_cast<SHORT>(0xFF80) : 0;
}

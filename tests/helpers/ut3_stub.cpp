// Stands in for the game in the process tests: a Windows program that only waits, and
// ends by itself after two minutes should nobody stop it.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

int main() {
    Sleep(120000);
    return 0;
}

// Stands in for the game in the process tests: a Windows program that only waits, and
// ends by itself after two minutes should nobody stop it.
#include <windows.h>

int main() {
    Sleep(120000);
    return 0;
}

#ifdef _WIN32

#include "platform/GameProcess.h"

#include <windows.h>

#include <tlhelp32.h>

#include <string>

namespace gameprocess {
namespace {

class Snapshot {
public:
    Snapshot()
        : m_handle(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0)) {}
    ~Snapshot() {
        if (valid())
            CloseHandle(m_handle);
    }
    Snapshot(const Snapshot&) = delete;
    Snapshot& operator=(const Snapshot&) = delete;
    bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return m_handle; }

private:
    HANDLE m_handle;
};

bool isGame(const wchar_t* exeFile) {
    const std::wstring game(kGameExecutable.begin(), kGameExecutable.end());
    return CompareStringOrdinal(exeFile, -1, game.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// A process that has ended stays in the list while another program still holds a handle
// to it; its own handle is then signalled. One that cannot be asked counts as running.
bool hasEnded(DWORD processId) {
    const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (!process)
        return false;
    const bool ended = WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
}

} // namespace

bool isGameRunning() {
    Snapshot snapshot;
    if (!snapshot.valid())
        return false;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry))
        if (isGame(entry.szExeFile) && !hasEnded(entry.th32ProcessID))
            return true;
    return false;
}

} // namespace gameprocess

#endif

#include "sync/WalkResult.h"

#include "inidigest/IniError.h"

void keepFirstError(WalkResult& result, const std::function<void()>& step) {
    try {
        step();
    } catch (const IniError& error) {
        if (result.error.empty())
            result.error = error.what();
    }
}

WalkResult walkUntilError(const std::function<void()>& walk) {
    WalkResult result;
    keepFirstError(result, walk);
    return result;
}

#ifdef _WIN32

#include "platform/DocumentsFolder.h"

#include "platform/FileStore.h"

#include <filesystem>

namespace userfolders {

std::string gameDocumentsFolder(const std::string& desktopDocuments) {
    // Native separators and no trailing separator; a root such as "C:\" stays whole.
    std::filesystem::path folder = filestore::toPath(desktopDocuments);
    folder.make_preferred();
    while (!folder.has_filename() && folder.has_relative_path())
        folder = folder.parent_path();
    return filestore::pathText(folder);
}

} // namespace userfolders

#endif // _WIN32

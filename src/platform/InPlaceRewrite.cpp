#include "platform/InPlaceRewrite.h"

#include "platform/RollbackJournal.h"

#include <algorithm>
#include <string>

namespace fs = std::filesystem;

namespace filestore::inplace {

std::error_code overwrite(sys::Handle& file, std::uint64_t size, std::string_view bytes) {
    if (const std::error_code error = sys::reserve(file, std::max<std::uint64_t>(size, bytes.size())))
        return error;
    if (const std::error_code error = sys::writeAt(file, 0, bytes))
        return error;
    if (const std::error_code error = sys::resize(file, bytes.size()))
        return error;
    return sys::flush(file);
}

std::error_code rewrite(const fs::path& file, const FileStamp& checked, std::string_view bytes,
                        const FileStamp* expected, FileStamp& written) {
    std::error_code error;
    sys::FileFacts opened;
    sys::Handle handle = sys::openToRewrite(file, opened, error);
    if (error)
        return error;
    // A link, a FIFO or another file put in its place since it was looked at is left alone.
    if (opened.kind != sys::Kind::Regular || opened.stamp.device != checked.device ||
        opened.stamp.file != checked.file || (expected && opened.stamp != *expected))
        return FileError::KeepsChanging;
    std::string old;
    if ((error = sys::readAll(handle, opened.stamp.size, old)))
        return error;
    if (old.size() != opened.stamp.size)
        return FileError::KeepsChanging;
    const fs::path journal = journal::begin(file, old, bytes, error);
    if (error)
        return error;
    if ((error = overwrite(handle, old.size(), bytes))) {
        // The old content back before the error is told; should that fail too, the
        // journal stays for start-up to finish the job.
        if (!overwrite(handle, std::max(old.size(), bytes.size()), old))
            journal::end(journal);
        return error;
    }
    (void)handle.close(); // the content is flushed already
    journal::end(journal);
    // Taken after the close: some file systems set the time only then.
    if (const auto now = sys::factsOf(file))
        written = now->stamp;
    return {};
}

} // namespace filestore::inplace

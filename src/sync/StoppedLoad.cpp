#include "sync/StoppedLoad.h"

#include <stdexcept>

void StoppedLoad::stopAt(std::span<const CatalogueRow> unread, std::exception_ptr error) {
    for (const CatalogueRow& row : unread)
        m_unread.insert(row.control);
    m_error = std::move(error);
}

void StoppedLoad::settle(std::string_view control) {
    m_unread.erase(control);
    if (m_unread.empty())
        m_error = nullptr;
}

std::string StoppedLoad::unwrittenNotice(const std::string& file) const {
    if (m_unread.empty())
        return {};
    std::string keys;
    for (const CatalogueRow& row : settingsCatalogue()) {
        if (unread(row.control))
            keys += (keys.empty() ? "" : ", ") + std::string(row.key);
    }
    std::string reason = "an error";
    try {
        std::rethrow_exception(m_error);
    } catch (const std::exception& error) {
        reason = error.what();
    } catch (...) {
    }
    return "The last load from the game files stopped at an error (" + reason +
           "). These settings were never loaded, so they were not written to " + file +
           ", where their values stay as they were:\r\n" + keys +
           "\r\nSet them here, or mend the game files and load again, to write them too.";
}

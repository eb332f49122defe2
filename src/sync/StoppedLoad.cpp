#include "sync/StoppedLoad.h"

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

void StoppedLoad::requireSettled() const {
    if (!m_unread.empty())
        std::rethrow_exception(m_error);
}

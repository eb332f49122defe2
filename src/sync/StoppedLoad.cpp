#include "sync/StoppedLoad.h"

#include "sync/ValueCodec.h"

namespace {

std::string settingsNever(std::size_t count) {
    return count == 1 ? "1 setting was never loaded" : std::to_string(count) + " settings were never loaded";
}

} // namespace

void StoppedLoad::stopAt(std::span<const CatalogueRow> rest, std::string file, std::string value,
                         std::string reason) {
    for (const CatalogueRow& row : rest)
        if (m_given.count(row.control) == 0)
            m_unread.insert(row.control);
    m_stopRow = rest.empty() ? nullptr : &rest.front();
    m_file = std::move(file);
    m_value = std::move(value);
    m_reason = std::move(reason);
}

void StoppedLoad::settle(std::string_view control) {
    // Kept as the catalogue's own name: `control` may be a caller's temporary.
    if (const CatalogueRow* row = findCatalogueRow(control))
        m_given.insert(row->control);
    m_unread.erase(control);
}

std::size_t StoppedLoad::unreadCount(bool importedOnly) const {
    std::size_t count = 0;
    for (const CatalogueRow& row : settingsCatalogue())
        if (unread(row.control) && (!importedOnly || codecOf(row.kind).imported()))
            ++count;
    return count;
}

std::string StoppedLoad::stopLine() const {
    return "The last load stopped in " + m_file + ", section [" + std::string(m_stopRow->section) + "], at " +
           std::string(m_stopRow->key) + "=" + m_value + ": " + m_reason + ".";
}

std::string StoppedLoad::unsavedNotice() const {
    if (settled())
        return {};
    const std::size_t count = unreadCount(false);
    const std::string them = count == 1 ? "it" : "them";
    // Once that line is set here, the save has just written it: a load then goes past it.
    const std::string mend = unread(m_stopRow->control) ? "Mend that line, then load again" : "Load again";
    return stopLine() + "\r\n" + settingsNever(count) + ", so the save left " + them +
           " as the game files have " + them + ".\r\n" + mend + " to save " + them + " too.";
}

std::string StoppedLoad::exportRefusal() const {
    const std::size_t missing = settled() ? 0 : unreadCount(true);
    if (missing == 0)
        return {};
    const std::string mend =
        unread(m_stopRow->control)
            ? "Mend that line, then load again and export."
            : "Save to write the value set here into that line, then load again and export.";
    return "Knobwerk.ini was not written: " + settingsNever(missing) +
           ", and a tweak file must hold every setting.\r\n" + stopLine() + "\r\n" + mend;
}

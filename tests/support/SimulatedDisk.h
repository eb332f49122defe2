#pragma once

#include "platform/FileCallProbe.h"

#include <chrono>
#include <filesystem>
#include <system_error>
#include <thread>

// A disk or a file system other than this machine's, as the program's file calls meet it
// while this object lives.
class SimulatedDisk : public filestore::probe::FileCallObserver {
public:
    struct Traits {
        // Added to every flush of a file or a folder: a hard disk or a network share,
        // where a flush costs milliseconds rather than this machine's fraction of one.
        std::chrono::microseconds extraFlushTime{0};
        // A written file's time is set when its handle closes, as Windows file systems
        // do, rather than at each write.
        bool timesSetAtClose = false;
    };

    explicit SimulatedDisk(Traits traits)
        : m_traits(traits) {}

    void created(const std::filesystem::path&) override {}
    void wrote(const std::filesystem::path&, std::uint64_t, std::string_view) override {}
    void resized(const std::filesystem::path&, std::uint64_t) override {}
    void flushed(const std::filesystem::path&) override {
        std::this_thread::sleep_for(m_traits.extraFlushTime);
    }
    void renamed(const std::filesystem::path&, const std::filesystem::path&) override {}
    void removed(const std::filesystem::path&) override {}
    void folderFlushed(const std::filesystem::path&) override {
        std::this_thread::sleep_for(m_traits.extraFlushTime);
    }
    void closedAfterWriting(const std::filesystem::path& file) override {
        std::error_code error;
        if (m_traits.timesSetAtClose)
            std::filesystem::last_write_time(file, std::filesystem::file_time_type::clock::now(), error);
    }

private:
    Traits m_traits;
    filestore::probe::ScopedObserver m_observing{*this};
};

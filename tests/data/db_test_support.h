#pragma once
// Real SQLite database files and chromatogram files in the temporary folder,
// each under a name of its own (with Cyrillic letters, so that the UTF-16
// paths are exercised on Windows too), removed when the test ends.
#include <atomic>
#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

#include "data/database.h"
#include "data/host_schema.h"
#include "text/utf.h"

namespace norvalt::test {

inline std::filesystem::path uniqueTempPath(const std::u16string& stem, const std::u16string& extension)
{
    static std::atomic<unsigned> counter{0};
    static const unsigned salt = std::random_device{}();
    const auto ticks = std::chrono::system_clock::now().time_since_epoch().count();
    const std::string tag = std::to_string(salt) + "-" + std::to_string(ticks) + "-" + std::to_string(++counter);
    return std::filesystem::temp_directory_path() / std::filesystem::path(stem + u"-" + utf8ToUtf16(tag) + extension);
}

// A path that is removed (with SQLite's journal) when the owner ends.
class TempFile {
public:
    TempFile(const std::u16string& stem, const std::u16string& extension) : path_(uniqueTempPath(stem, extension)) {}
    ~TempFile()
    {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
        std::filesystem::remove(std::filesystem::path(path_.u16string() + u"-journal"), ignored);
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::u16string text() const { return path_.u16string(); }

private:
    std::filesystem::path path_;
};

// A database file with the host's tables and one open connection to it.
class HostDataBaseFile {
    // Declared before the handle, so that the connection is closed before
    // the file is removed.
    TempFile file_;

public:
    explicit HostDataBaseFile(bool withTables = true) : file_(u"norvalt-база", u".db")
    {
        openDataBase(handle, file_.text());
        if (withTables)
            createHostTables(handle);
    }

    std::u16string path() const { return file_.text(); }
    void execute(const std::u16string& sql) { executeStatement(handle, sql); }

    DataBaseHandle handle;
};

} // namespace norvalt::test

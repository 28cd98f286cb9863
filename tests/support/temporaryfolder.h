#pragma once

#include <stdlib.h> // mkdtemp

#include <filesystem>   // std::filesystem
#include <string>       // std::string
#include <system_error> // std::error_code

// A new folder under the system's temporary folder, removed with all it holds when the object
// goes: for tests that write files, without Qt.
class TemporaryFolder {
public:
    TemporaryFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "rigid2d-test-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            folder = pattern;
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        if (!folder.empty())
            std::filesystem::remove_all(folder, ignored);
    }
    TemporaryFolder(const TemporaryFolder &) = delete;
    TemporaryFolder &operator=(const TemporaryFolder &) = delete;

    // Empty when the folder could not be made.
    std::string filePath(const std::string &name) const {
        return folder.empty() ? std::string() : (std::filesystem::path(folder) / name).string();
    }

private:
    std::string folder;
};

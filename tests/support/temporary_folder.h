// A fresh folder under the system's temporary directory, removed with the object.
#pragma once

#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <system_error>

class TemporaryFolder {
public:
    TemporaryFolder() {
        std::random_device device;
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::string name = "dunerow-user-waveform-test-" + std::to_string(device()) + "-" + std::to_string(attempt);
            path_ = std::filesystem::temp_directory_path() / name;
            if (std::filesystem::create_directory(path_)) return;
        }
        throw std::runtime_error("no temporary folder");
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <csignal>
#include <sys/resource.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <system_error>
#include <string>
#include <vector>

#include "platform/program_exit.hpp"

// A fresh, empty current folder (the programs open their data files by
// relative name), removed afterwards, with the previous folder current again.
struct TemporaryFolder {
    TemporaryFolder() : previous(std::filesystem::current_path()) {
        char pattern[] = "/tmp/gloomhold-unit-XXXXXX";
        if (::mkdtemp(pattern) == nullptr) {
            throw std::filesystem::filesystem_error("mkdtemp", std::error_code(errno, std::generic_category()));
        }
        path = pattern;
        std::filesystem::current_path(path);
    }
    ~TemporaryFolder() {
        std::filesystem::current_path(previous);
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    std::filesystem::path previous;
    std::filesystem::path path;
};

inline void writeBytes(const std::string& name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary) << bytes;
}

inline std::string readBytes(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Runs each test of a fixture inside a TemporaryFolder.
class InTempFolder : public ::testing::Test {
protected:
    void SetUp() override { folder_.emplace(); }

    void TearDown() override { folder_.reset(); }

    static void writeFile(const std::string& name, const std::string& bytes) { writeBytes(name, bytes); }
    static std::string readFile(const std::string& name) { return readBytes(name); }

    // The names in the folder, sorted: shows that no temporary file is left.
    static std::vector<std::string> folderNames() {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(".")) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::optional<TemporaryFolder> folder_;
};

// The status that `action` ends the program with, or -1 when it returns.
inline int exitStatusOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const platform::ProgramExit& exit) {
        return exit.status;
    }
    return -1;
}

// Runs `action` with a limit of `bytes` on the size of any file written: a
// write beyond it fails as on a full disk.
inline void withFileSizeLimit(rlim_t bytes, const std::function<void()>& action) {
    struct rlimit saved;
    ::getrlimit(RLIMIT_FSIZE, &saved);
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &small);
    try {
        action();
    } catch (...) {
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
        throw;
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
}

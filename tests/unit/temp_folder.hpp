#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <sys/resource.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "platform/program_exit.hpp"

// Runs a test inside a fresh, empty folder (the programs open their data
// files by relative name) and removes it afterwards.
class InTempFolder : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        char pattern[] = "/tmp/gloomhold-unit-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        folder_ = pattern;
        std::filesystem::current_path(folder_);
    }

    void TearDown() override {
        std::filesystem::current_path(previous_);
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    static void writeFile(const std::string& name, const std::string& bytes) {
        std::ofstream(name, std::ios::binary) << bytes;
    }

    static std::string readFile(const std::string& name) {
        std::ifstream in(name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // The names in the folder, sorted: shows that no temporary file is left.
    static std::vector<std::string> folderNames() {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(".")) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    std::filesystem::path folder_;

private:
    std::filesystem::path previous_;
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

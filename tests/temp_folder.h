// A fresh temporary folder for one test, made the current folder for code that works relative to
// it (the game folder); the previous current folder comes back and the folder is removed after.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

class TempFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/reefpop_test_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(folder_);
    }
    void TearDown() override {
        std::filesystem::current_path(previous_);
        std::error_code ignored;
        std::filesystem::permissions(folder_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(folder_, ignored);
    }

    const std::string& Folder() const { return folder_; }

    // Paths are relative to the temporary folder; parent folders are made as needed.
    static void WriteFile(const std::string& path, const std::string& bytes) {
        std::filesystem::path parent = std::filesystem::path(path).parent_path();
        if (!parent.empty()) std::filesystem::create_directories(parent);
        std::ofstream(path, std::ios::binary) << bytes;
    }
    static std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::string folder_;
    std::filesystem::path previous_;
};

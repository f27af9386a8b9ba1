// A fresh temporary HOME for one test: the installer's hives, shell folders and state all live
// below it, and it is removed afterwards. Message boxes go to a scripted responder.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "SYS/msgbox.h"

struct ShownBox {
    std::string text, caption;
    unsigned type;
};

class SandboxTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = SandboxRoot() + "/inst_test_XXXXXX";
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        home_ = pattern;
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"}) {
            const char* old = std::getenv(name);
            saved_.push_back({name, old ? old : "", old != nullptr});
        }
        ::setenv("HOME", home_.c_str(), 1);
        ::unsetenv("XDG_CONFIG_HOME");
        ::unsetenv("XDG_DATA_HOME");
        sys::SetMessageBoxResponder(
            [this](const std::string& text, const std::string& caption, unsigned type) {
                boxes.push_back({text, caption, type});
                if (answers.empty()) return DefaultAnswer(type);
                const int answer = answers.front();
                answers.pop_front();
                return answer;
            });
    }
    void TearDown() override {
        sys::SetMessageBoxResponder({});
        for (const Saved& s : saved_) {
            if (s.present)
                ::setenv(s.name, s.value.c_str(), 1);
            else
                ::unsetenv(s.name);
        }
        std::error_code ec;
        std::filesystem::remove_all(home_, ec);
    }
    // Where the sandboxes are made; a test that installs thousands of times may pick a folder
    // in memory, where the hives' flushes to disk cost nothing.
    virtual std::string SandboxRoot() const { return "/tmp"; }
    static int DefaultAnswer(unsigned type) {
        switch (type & 0xF) {
        case sys::MB_ABORTRETRYIGNORE: return sys::IDABORT;
        case sys::MB_YESNO: return sys::IDYES;
        default: return sys::IDOK;
        }
    }
    std::string Home() const { return home_; }
    void WriteFile(const std::string& path, const std::string& text) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }
    static std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

    std::vector<ShownBox> boxes;
    std::deque<int> answers;

private:
    struct Saved {
        const char* name;
        std::string value;
        bool present;
    };
    std::string home_;
    std::vector<Saved> saved_;
};

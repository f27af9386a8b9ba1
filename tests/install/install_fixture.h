// A sandboxed installer: HOME is a fresh folder and the application object is started in it,
// with the built-in string table and the variables filled from the sandbox.
#pragma once
#include "install/app.h"
#include "install/startup.h"
#include "sandbox.h"

class InstallerTest : public SandboxTest {
protected:
    void SetUp() override {
        SandboxTest::SetUp();
        ASSERT_TRUE(inst::StartInstaller(app, Home() + "/bin/install"));
    }
    // A Windows-style name for a file below HOME.
    std::string WinPath(const std::string& relative) const {
        std::string path = Home() + "/" + relative;
        for (char& c : path)
            if (c == '/') c = '\\';
        return path;
    }
    inst::InstallerApp app;
};

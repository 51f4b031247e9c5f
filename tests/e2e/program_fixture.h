// The fixture of every test that runs the real program.
#pragma once

#include "program_driver.h"
#include "test_folder.h"

#include <gtest/gtest.h>

// A test of the real program: its own LOCALAPPDATA and a paster window; it
// refuses to start while another instance runs in this Wine session.
class ProgramFixture : public ::testing::Test {
protected:
    void SetUp() override;
    std::wstring DataFolder() const { return appData_.DataFolder(); }
    std::wstring SettingsFile() const { return appData_.SettingsFile(); }
    void WriteSettings(const std::string& bytes) { appData_.WriteSettings(bytes); }

    AppDataFolder appData_;
    PasterWindow paster_;
};

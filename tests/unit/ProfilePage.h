#pragma once

#include "profiles/Profiles.h"
#include "../support/Doubles.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// An application context whose main page is a recorded dialog with every board parameter bound.
class ProfilePage : public ::testing::Test {
protected:
    ProfilePage() { BindParams(*app, app->mainPage = &page); }

    GameProfile* Add(const char* name, const char* process = "game.exe") { return CreateProfile(*app, name, process); }
    int Selection() { return controls.ComboSelection(&page, ProfileComboId); }
    std::string Selected() { return SelectedProfile(*app) ? SelectedProfile(*app)->name : ""; }
    std::vector<std::string> ComboNames() { return controls.ComboTexts(&page, ProfileComboId); }

    Doubles ui;
    RecordingControls& controls = ui.controls;
    std::unique_ptr<AppContext> app = std::make_unique<AppContext>();
    int page = 0; // the main page's handle
};

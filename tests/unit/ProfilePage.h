#pragma once

#include "core/AppContext.h"
#include "board/ParamDisplay.h"
#include "core/ParamSet.h"
#include "platform/RecordingControls.h"
#include "profiles/Profiles.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// An application context whose main page is a recorded dialog with every board parameter's trackbar bound.
class ProfilePage : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_ = UseControls(&controls);
        app->mainPage = &page;
        for (int i = 0; i < ParamCount; ++i) {
            const ParamDefinition& d = ParamSet[i];
            BindControl(app->params[i], d.trackbarId != 0 ? &page : nullptr, d.trackbarId, d.labelId, d.number,
                        d.widthCode, d.minimum, d.maximum, d.tickStep, d.displayKind, d.unit);
        }
    }
    void TearDown() override { UseControls(previous_); }

    GameProfile* Add(const char* name, const char* process = "game.exe") { return CreateProfile(*app, name, process); }
    int Selection() { return controls.ComboSelection(&page, ProfileComboId); }
    std::string Selected() { return SelectedProfile(*app) ? SelectedProfile(*app)->name : ""; }
    std::vector<std::string> ComboNames() { return controls.ComboTexts(&page, ProfileComboId); }
    int Position(ParamIndex i) { return controls.TrackbarPosition(&page, ParamSet[i].trackbarId); }

    RecordingControls controls;
    std::unique_ptr<AppContext> app = std::make_unique<AppContext>();
    int page = 0; // the main page's handle

private:
    Controls* previous_ = nullptr;
};

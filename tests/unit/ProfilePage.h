#pragma once

#include "core/AppContext.h"
#include "board/ParamDisplay.h"
#include "core/ParamSet.h"
#include "platform/RecordingControls.h"
#include "profiles/Profiles.h"

#include <gtest/gtest.h>

#include <memory>

// An application context whose main page is a recorded dialog with the
// profile settings bound to their trackbars.
class ProfilePage : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_ = UseControls(&controls);
        app->mainPage = &page_;
        for (ParamIndex i : {MaxAngle, MainGain, GameFxSpring, GameFxFriction, GameFxDamper, GameFxInertia,
                             GameFxConstant, GameFxSine, ForceTable, Filter, UserFxSpring, UserFxFriction,
                             UserFxDamper, UserFxInertia, DesktopFxSpring}) {
            const ParamDefinition& d = ParamSet[i];
            BindControl(app->params[i], &page_, d.trackbarId, d.labelId, d.number, d.widthCode, d.minimum,
                        d.maximum, d.tickStep, d.displayKind, d.unit);
        }
    }
    void TearDown() override { UseControls(previous_); }

    GameProfile* Add(const char* name, const char* processName = "game.exe")
    {
        return CreateProfile(*app, name, processName);
    }
    int Selection() { return controls.ComboSelection(app->mainPage, ProfileComboId); }
    std::vector<std::string> ComboNames() { return controls.ComboTexts(app->mainPage, ProfileComboId); }
    int Position(ParamIndex i) { return controls.TrackbarPosition(app->mainPage, ParamSet[i].trackbarId); }

    RecordingControls controls;
    std::unique_ptr<AppContext> app = std::make_unique<AppContext>();

private:
    int page_ = 0;
    Controls* previous_ = nullptr;
};

#pragma once

#include "core/AppContext.h"
#include "board/ParamDisplay.h"
#include "core/ParamSet.h"
#include "platform/RecordingControls.h"
#include "support/WheelSim.h"
#include "unit/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// A private COM port directory, an application context whose parameter
// records are bound to a recorded main page, and wheelsim boards on demand.
class BoardLinkTest : public ::testing::Test {
protected:
    static constexpr uint8_t BoardCom = 5;

    void SetUp() override
    {
        setenv("VANTOR_DOSDEVICES", dir_.path().c_str(), 1);
        previous_ = UseControls(&controls);
        app = std::make_unique<AppContext>();
        app->mainPage = &mainPageTag_;
        for (int i = 0; i < ParamCount; ++i) {
            const ParamDefinition& d = ParamSet[i];
            BindControl(app->params[i], app->mainPage, d.trackbarId, d.labelId, d.number, d.widthCode, d.minimum,
                        d.maximum, d.tickStep, d.displayKind, d.unit);
        }
    }

    void TearDown() override
    {
        app.reset();
        sims_.clear();
        UseControls(previous_);
        unsetenv("VANTOR_DOSDEVICES");
    }

    WheelSim& StartBoard(std::vector<std::string> options = {}, int com = BoardCom)
    {
        sims_.push_back(std::make_unique<WheelSim>(dir_.path(), com, std::move(options)));
        EXPECT_TRUE(sims_.back()->Running());
        return *sims_.back();
    }

    std::string Label(int id) const { return controls.TextOf(app->mainPage, id); }

    // A read of a parameter no frame of the test uses: once the board has
    // logged it, everything sent before it has been logged too.
    void SendMarker(WheelSim& sim)
    {
        const uint8_t marker[3] = {'p', 199, 1};
        app->boardPort.Write(marker, sizeof marker);
        ASSERT_TRUE(sim.WaitForLog("\"number\":199"));
        // Its one-byte answer is taken off the line.
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        while (app->boardPort.BytesWaiting() == 0 && std::chrono::steady_clock::now() < end) {
        }
        ASSERT_EQ(app->boardPort.BytesWaiting(), 1u);
        app->boardPort.ReadByte();
    }

    const std::filesystem::path& Dir() const { return dir_.path(); }

    RecordingControls controls;
    std::unique_ptr<AppContext> app;

private:
    TempDir dir_;
    Controls* previous_ = nullptr;
    int mainPageTag_ = 0;
    std::vector<std::unique_ptr<WheelSim>> sims_;
};

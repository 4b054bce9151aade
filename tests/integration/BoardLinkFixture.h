#pragma once

#include "board/BoardProtocol.h"
#include "board/LinkState.h"
#include "board/WheelLink.h"
#include "support/Doubles.h"
#include "support/WheelSim.h"
#include "unit/TempDir.h"
#include <gtest/gtest.h>
#include <memory>

// A private COM port directory, an application context whose parameter
// records are bound to a recorded main page, and wheelsim boards on demand.
class BoardLinkTest : public ::testing::Test {
protected:
    static constexpr uint8_t BoardCom = 5;

    BoardLinkTest() { setenv("VANTOR_DOSDEVICES", dir.path().c_str(), 1); FreshApp(); }
    ~BoardLinkTest() override { unsetenv("VANTOR_DOSDEVICES"); }

    WheelSim& StartBoard(std::vector<std::string> options = {}, int com = BoardCom)
    {
        sims_.push_back(std::make_unique<WheelSim>(dir.path(), com, std::move(options)));
        EXPECT_TRUE(sims_.back()->Running());
        return *sims_.back();
    }
    // A new application context bound to a cleared main page.
    void FreshApp()
    {
        app = std::make_unique<AppContext>();
        ui.controls.Clear();
        BindParams(*app, app->mainPage = &mainPage_);
    }
    std::string Label(int id) { return ui.controls.TextOf(&mainPage_, id); }
    // A read of a parameter no test uses: once logged, all sent before it is logged.
    void SendMarker(WheelSim& sim)
    {
        const uint8_t marker[3] = {'p', 199, 1};
        app->boardPort.Write(marker, sizeof marker);
        ASSERT_TRUE(sim.WaitForLog("\"number\":199"));
        ASSERT_TRUE(WaitUntil([&] { return app->boardPort.BytesWaiting() == 1; }));
        app->boardPort.ReadByte(); // its answer
    }

    Doubles ui;
    TempDir dir;

private:
    int mainPage_ = 0;
    std::vector<std::unique_ptr<WheelSim>> sims_;

protected:
    std::unique_ptr<AppContext> app; // goes first: the port closes before the boards stop
};

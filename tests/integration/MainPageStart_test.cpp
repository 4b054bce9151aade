#include "BoardLinkFixture.h"
#include "LogFields.h"

#include "board/LinkState.h"
#include "board/WheelLink.h"
#include "controller/ControllerCombo.h"
#include "controller/ControllerDiscovery.h"
#include "platform/FakeGameInput.h"
#include "ui/MainPage.h"

#include <string>
#include <vector>

namespace {

// The main page's start-up against a wheelsim board.
class MainPageStart : public BoardLinkTest {
protected:
    void SetUp() override
    {
        BoardLinkTest::SetUp();
        previousInput_ = UseGameInput(&input);
        app = std::make_unique<AppContext>();
    }
    void TearDown() override
    {
        UseGameInput(previousInput_);
        BoardLinkTest::TearDown();
    }

    const RecordingControls::Control& At(int id)
    {
        static const RecordingControls::Control none;
        const RecordingControls::Control* c = controls.Get(&page, id);
        return c ? *c : none;
    }

    FakeGameInput input;
    int page = 0;

private:
    GameInput* previousInput_ = nullptr;
};

} // namespace

TEST_F(MainPageStart, WithoutABoardTheControlsShowTheStartValues)
{
    app->flags = 3;
    InitMainPage(*app, &page);
    EXPECT_EQ(app->mainPage, &page);
    EXPECT_EQ(controls.TextOf(&page, 2095), "0.21");
    EXPECT_EQ(controls.TextOf(&page, 2023), "0 \xB0");
    EXPECT_EQ(controls.TextOf(&page, 2043), "0 %");
    EXPECT_EQ(controls.TextOf(&page, 1078), "-3 %") << "Filter at 0 before the board is read";
    EXPECT_EQ(At(2037).rangeMinimum, 180);
    EXPECT_EQ(At(2037).rangeMaximum, 2160);
    EXPECT_EQ(At(2037).ticks.front(), 190);
    EXPECT_EQ(At(2037).ticks.back(), 2150);
    EXPECT_EQ(At(1077).ticks.size(), 29u);
    EXPECT_EQ(At(1041).items.at(0).text, "None");
    EXPECT_EQ(At(1041).selection, 0);
    EXPECT_EQ(app->linkState, LinkDisconnected);
    EXPECT_TRUE(At(2041).checked);
    EXPECT_TRUE(At(2128).checked);
    EXPECT_FALSE(At(2121).checked);
}

TEST_F(MainPageStart, StoredPortIdentifiesTheBoardAndTheTrackbarsShowItsValues)
{
    WheelSim& sim = StartBoard({"--set", "8=1080", "--set", "17=100", "--set", "34=5", "--set", "77=31"});
    app->boardComPort = BoardCom;
    InitMainPage(*app, &page);
    EXPECT_EQ(app->linkState, LinkWheelFound);
    EXPECT_EQ(At(2037).position, 1080);
    EXPECT_EQ(controls.TextOf(&page, 2023), "1080 \xB0");
    EXPECT_EQ(At(2021).position, 100);
    EXPECT_EQ(controls.TextOf(&page, 2029), "78 %");
    EXPECT_EQ(At(2031).position, 64);
    EXPECT_EQ(At(2032).position, 32) << "desktop spring";
    EXPECT_EQ(controls.TextOf(&page, 1078), "100 %");
    EXPECT_TRUE(At(2121).checked) << "Invert from bit 0 of WheelFlags 5";
    EXPECT_FALSE(At(2126).checked);
    const std::vector<std::string> ports = controls.ComboTexts(&page, 1041);
    ASSERT_LT(static_cast<std::size_t>(At(1041).selection), ports.size());
    EXPECT_EQ(ports[static_cast<std::size_t>(At(1041).selection)], "COM5");
    // The "Default" profile is made from the values read and sent back.
    EXPECT_EQ(controls.ComboTexts(&page, 1207), std::vector<std::string>{"Default"});
    SendMarker(sim);
    const std::vector<std::string> writes = sim.LogLinesWith("\"kind\":\"write\"");
    ASSERT_EQ(writes.size(), 14u);
    EXPECT_EQ(LogBytes(writes[0]), "80,8,4,0,0,4,56") << "MaxAngle 1080";
    EXPECT_EQ(LogBytes(writes[1]), "80,17,1,100") << "MainGain";
}

TEST_F(MainPageStart, ControllersAreListedAndTheUsedOneIsSelected)
{
    input.Attach("Pedals", 1);
    input.Attach("Ostra Wheel", 2);
    app->usedController[0] = 2;
    ASSERT_EQ(InitControllers(*app, &page), 0);
    InitMainPage(*app, &page);
    EXPECT_EQ(controls.ComboTexts(&page, GamingDeviceComboId), (std::vector<std::string>{"Pedals", "Ostra Wheel"}));
    EXPECT_EQ(At(GamingDeviceComboId).selection, 1);
    EXPECT_EQ(app->currentController, input.Handle(1));
}

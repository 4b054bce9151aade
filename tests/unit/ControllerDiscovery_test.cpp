#include "core/AppContext.h"
#include "core/StartSwitches.h"
#include "controller/ControllerCombo.h"
#include "controller/ControllerDiscovery.h"
#include "platform/FakeGameInput.h"
#include "platform/RecordingControls.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class ControllerDiscovery : public ::testing::Test {
protected:
    void SetUp() override
    {
        previousInput_ = UseGameInput(&input);
        previousControls_ = UseControls(&controls);
        app = std::make_unique<AppContext>();
        app->mainPage = &page;
    }
    void TearDown() override
    {
        UseGameInput(previousInput_);
        UseControls(previousControls_);
        g_switches = StartSwitches{};
    }

    long Init() { return InitControllers(*app, &window); }

    FakeGameInput input;
    RecordingControls controls;
    std::unique_ptr<AppContext> app;
    int window = 0;
    int page = 0;
    int drivePage = 0;

private:
    GameInput* previousInput_ = nullptr;
    Controls* previousControls_ = nullptr;
};

InputObject Axis(InputObjectKind kind, uint32_t type) { return {kind, true, type}; }

} // namespace

TEST_F(ControllerDiscovery, NoControllerIsNotAnError)
{
    EXPECT_EQ(Init(), 0);
    EXPECT_EQ(app->controllerCount, 0u);
    EXPECT_EQ(app->currentController, nullptr);
    FillControllerCombo(*app, &page);
    EXPECT_TRUE(controls.ComboTexts(&page, GamingDeviceComboId).empty());
    EXPECT_EQ(controls.ComboSelection(&page, GamingDeviceComboId), -1);
}

TEST_F(ControllerDiscovery, FailuresOfTheSystemEndTheStartWithTheirResult)
{
    input.Attach("Wheel", 1);
    input.startResult = -5;
    EXPECT_EQ(Init(), -5);
    input.startResult = 0;
    input.configResult = -6;
    EXPECT_EQ(Init(), -6);
    input.configResult = 0;
    input.enumResult = -7;
    EXPECT_EQ(Init(), -7);
    EXPECT_EQ(app->controllerCount, 0u);
}

TEST_F(ControllerDiscovery, TwoIdenticalWheelsAreBothListedAndTheStoredGuidPicksTheSecond)
{
    input.Attach("Ostra Wheel", 1);
    input.Attach("Ostra Wheel", 2);
    app->usedController[0] = 2;
    ASSERT_EQ(Init(), 0);
    ASSERT_EQ(app->controllerCount, 2u);
    EXPECT_TRUE(input.At(0).prepared);
    EXPECT_TRUE(input.At(1).prepared);
    EXPECT_EQ(app->currentController, input.Handle(1));

    FillControllerCombo(*app, &page);
    EXPECT_EQ(controls.ComboTexts(&page, GamingDeviceComboId),
              (std::vector<std::string>{"Ostra Wheel", "Ostra Wheel"}));
    EXPECT_EQ(controls.ComboSelection(&page, GamingDeviceComboId), 1);
    EXPECT_EQ(controls.ComboItemData(&page, GamingDeviceComboId, 1), 1);
    EXPECT_EQ(app->currentController, input.Handle(1));
}

TEST_F(ControllerDiscovery, UnknownStoredGuidMakesTheFirstCurrentAndReplacesTheGuid)
{
    input.Attach("Pedals", 7);
    input.Attach("Wheel", 8);
    app->usedController[0] = 99;
    ASSERT_EQ(Init(), 0);
    EXPECT_EQ(app->currentController, nullptr);
    FillControllerCombo(*app, &page);
    EXPECT_EQ(controls.ComboSelection(&page, GamingDeviceComboId), 0);
    EXPECT_EQ(app->currentController, input.Handle(0));
    EXPECT_EQ(app->usedController[0], 7);
}

TEST_F(ControllerDiscovery, TableHoldsSixteenAndCutsLongNames)
{
    for (int i = 0; i < 17; ++i) input.Attach(std::string(200, static_cast<char>('a' + i)), static_cast<uint8_t>(i + 1));
    ASSERT_EQ(Init(), 0);
    EXPECT_EQ(app->controllerCount, 16u);
    EXPECT_EQ(std::string(app->controllers[0].productName), std::string(127, 'a'));
    EXPECT_TRUE(input.At(16).prepared) << "the 17th is opened but not kept";
}

TEST_F(ControllerDiscovery, DeviceThatCannotBeCreatedIsSkipped)
{
    input.Attach("Broken", 1).creatable = false;
    input.Attach("Wheel", 2);
    ASSERT_EQ(Init(), 0);
    ASSERT_EQ(app->controllerCount, 1u);
    EXPECT_STREQ(app->controllers[0].productName, "Wheel");
    EXPECT_FALSE(input.At(0).prepared);
}

TEST_F(ControllerDiscovery, XInputDevicesAreLeftOutOnlyWithNoXInput)
{
    input.Attach("Pad", 1, 0x028E045E);
    input.Attach("Wheel", 2, 0x80362341);
    input.xinputIds = {0x028E045E};
    ASSERT_EQ(Init(), 0);
    EXPECT_EQ(input.xinputQueries, 0) << "no WMI query without the switch";
    EXPECT_EQ(app->controllerCount, 2u);

    app = std::make_unique<AppContext>();
    g_switches.noxinput = true;
    ASSERT_EQ(Init(), 0);
    EXPECT_EQ(input.xinputQueries, 1);
    ASSERT_EQ(app->controllerCount, 1u);
    EXPECT_STREQ(app->controllers[0].productName, "Wheel");
}

TEST_F(ControllerDiscovery, ObjectMaskRecordsAxesAndTheFirstTwoSlidersAndFourHats)
{
    FakeGameInput::Device& wheel = input.Attach("Wheel", 1);
    wheel.objects = {Axis(InputXAxis, 0x102), Axis(InputRzAxis, 0x502), Axis(InputSlider, 0x602),
                     Axis(InputSlider, 0x702), Axis(InputSlider, 0x802), {InputOther, false, 0x900}};
    for (uint32_t i = 0; i < 5; ++i) wheel.objects.push_back({InputPov, false, 0xA00 + i});
    ASSERT_EQ(SelectController(*app, input.Handle(0)), 0);
    EXPECT_EQ(app->controllerObjectMask[ObjectMaskBits], 0x1u | 0x20u | 0xC0u | 0xF00u);
    EXPECT_EQ(app->controllerObjectMask[SlidersSeen], 3u);
    EXPECT_EQ(app->controllerObjectMask[PovsSeen], 5u);
    EXPECT_EQ(wheel.rangedAxes, (std::vector<uint32_t>{0x102, 0x502, 0x602, 0x702, 0x802}));
}

TEST_F(ControllerDiscovery, RefusedRangeStopsTheScanButTheDeviceStillBecomesCurrent)
{
    FakeGameInput::Device& wheel = input.Attach("Wheel", 4);
    wheel.objects = {Axis(InputXAxis, 1), Axis(InputYAxis, 2), Axis(InputZAxis, 3)};
    wheel.refusedRanges = {2};
    app->drivePage = &drivePage;
    ASSERT_EQ(SelectController(*app, input.Handle(0)), 0);
    EXPECT_EQ(app->controllerObjectMask[ObjectMaskBits], 0x1u);
    EXPECT_EQ(app->usedController[0], 4);
    EXPECT_TRUE(controls.IsEnabled(&drivePage, 1010));
    EXPECT_FALSE(controls.IsEnabled(&drivePage, 1011));
    EXPECT_FALSE(controls.IsEnabled(&drivePage, 1084));
}

TEST_F(ControllerDiscovery, InputControlsAreTouchedOnlyWhenTheirStateChanges)
{
    input.Attach("Wheel", 1).objects = {Axis(InputXAxis, 1)};
    app->drivePage = &drivePage;
    SelectController(*app, input.Handle(0));
    const std::size_t writes = controls.Journal().size();
    EXPECT_EQ(writes, 22u) << "eleven pairs go from enabled to disabled";
    SelectController(*app, input.Handle(0));
    EXPECT_EQ(controls.Journal().size(), writes);
}

TEST_F(ControllerDiscovery, WithoutTheDrivePageNoControlIsTouched)
{
    input.Attach("Wheel", 1);
    SelectController(*app, input.Handle(0));
    EXPECT_TRUE(controls.Journal().empty());
}

TEST_F(ControllerDiscovery, ComboChoiceMakesThatControllerCurrent)
{
    input.Attach("A", 1);
    input.Attach("B", 2);
    ASSERT_EQ(Init(), 0);
    FillControllerCombo(*app, &page);
    controls.SelectComboItem(&page, GamingDeviceComboId, 1);
    ControllerComboChanged(*app, &page);
    EXPECT_EQ(app->currentController, input.Handle(1));
    EXPECT_EQ(app->usedController[0], 2);
    // No selection: nothing changes.
    controls.SelectComboItem(&page, GamingDeviceComboId, -1);
    ControllerComboChanged(*app, &page);
    EXPECT_EQ(app->currentController, input.Handle(1));
}

TEST_F(ControllerDiscovery, ActivationAcquiresTheCurrentController)
{
    input.Attach("Wheel", 1);
    AcquireController(*app);
    EXPECT_EQ(input.At(0).acquires, 0);
    SelectController(*app, input.Handle(0));
    AcquireController(*app);
    EXPECT_EQ(input.At(0).acquires, 1);
}

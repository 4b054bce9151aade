#include "controller/ControllerCombo.h"
#include "controller/ControllerDiscovery.h"
#include "core/StartSwitches.h"
#include "../support/Doubles.h"
#include <gtest/gtest.h>

class ControllerDiscovery : public ::testing::Test, protected AppPage {
protected:
    ~ControllerDiscovery() override { g_switches = StartSwitches{}; }
    // The combo's lines, its selection, the current controller and the stored GUID.
    std::string Outcome()
    {
        std::string s;
        for (const std::string& name : ui.controls.ComboTexts(&page, GamingDeviceComboId)) s += name + "|";
        const FakeGameInput::Device* current = input.Find(app->currentController);
        return s + " sel " + std::to_string(ui.controls.ComboSelection(&page, GamingDeviceComboId)) + " cur " + (current
               ? std::to_string(current - &input.At(0)) : "-") + " guid " + std::to_string(app->usedController[0]);
    }
    static InputObject Axis(InputObjectKind kind, uint32_t type) { return {kind, true, type}; }

    FakeGameInput& input = ui.input;
};

TEST_F(ControllerDiscovery, StartListsTheControllersAndTheStoredGuidOrElseTheFirstBecomesCurrent)
{
    constexpr uint32_t Pad = 0x028E045E, Wheel = 0xC24F046D, Odd = 0x0B120000; // PID << 16 | VID
    struct Attached { const char* name; uint8_t guid; bool creatable = true; uint32_t product = 0; };
    struct Case { const char* name; std::vector<Attached> devices; uint8_t stored; bool noxinput; const char* seen; };
    const Case cases[] = {
        {"none", {}, 0, false, " sel -1 cur - guid 0"},
        {"two identical wheels", {{"Wheel", 1}, {"Wheel", 2}}, 2, false, "Wheel|Wheel| sel 1 cur 1 guid 2"},
        {"unknown stored GUID", {{"Pedals", 7}, {"Wheel", 8}}, 99, false, "Pedals|Wheel| sel 0 cur 0 guid 7"},
        {"one cannot be created", {{"Broken", 1, false}, {"Wheel", 2}}, 0, false, "Wheel| sel 0 cur 1 guid 2"},
        {"XInput pads, no switch", {{"Pad", 1, true, Pad}, {"Wheel", 2, true, Wheel}, {"Odd", 3, true, Odd}}, 0, false,
         "Pad|Wheel|Odd| sel 0 cur 0 guid 1"},
        {"XInput pads, noxinput", {{"Pad", 1, true, Pad}, {"Wheel", 2, true, Wheel}, {"Odd", 3, true, Odd}}, 0, true,
         "Wheel| sel 0 cur 1 guid 2"}};
    for (const Case& c : cases) {
        input = FakeGameInput{};
        // XInput devices carry "IG_"; an unreadable VID is 0.
        input.pnpDeviceIds = {"HID\\VID_045E&PID_028E&IG_00\\7&2B1&0&0000", "USB\\VID_046D&PID_C24F\\5&3A",
                              "HID\\VID_&PID_0B12&IG_01"};
        for (const Attached& a : c.devices) input.Attach(a.name, a.guid, a.product).creatable = a.creatable;
        app = std::make_unique<AppContext>();
        app->usedController[0] = c.stored;
        g_switches.noxinput = c.noxinput;
        ASSERT_EQ(InitControllers(*app, &page), 0) << c.name;
        FillControllerCombo(*app, &page);
        EXPECT_EQ(Outcome(), c.seen) << c.name;
        EXPECT_EQ(input.pnpQueries, c.noxinput ? 1 : 0) << c.name << ": the WMI query only with the switch";
    }
}

TEST_F(ControllerDiscovery, ComboChoiceAndWindowActivationTakeTheChosenControllerAlsoWhenItIsAcquired)
{
    input.Attach("A", 1), input.Attach("B", 2).objects = {Axis(InputXAxis, 0x102)};
    ASSERT_EQ(InitControllers(*app, &page), 0);
    FillControllerCombo(*app, &page);
    for (int choice : {1, -1}) { // no selection changes nothing
        ui.controls.SelectComboItem(&page, GamingDeviceComboId, choice);
        ControllerComboChanged(*app, &page);
        EXPECT_EQ(Outcome(), "A|B| sel " + std::to_string(choice) + " cur 1 guid 2");
    }
    AcquireController(*app);
    EXPECT_EQ(std::pair(input.At(0).acquires, input.At(1).acquires), std::pair(0, 1));
    ui.controls.SelectComboItem(&page, GamingDeviceComboId, 1);
    ControllerComboChanged(*app, &page);
    EXPECT_EQ(std::pair(app->controllerObjectMask[ObjectMaskBits], input.At(1).rangedAxes.size()), std::pair(1u, 2ul))
        << "B read and chosen again: let go, its X ranged anew";
}

TEST_F(ControllerDiscovery, FailuresOfTheSystemEndTheStartAndTheTableKeepsSixteenWithNamesCut)
{
    for (int i = 0; i < 17; ++i) input.Attach(std::string(200, static_cast<char>('a' + i)), static_cast<uint8_t>(i));
    for (long FakeGameInput::*result : {&FakeGameInput::startResult, &FakeGameInput::configResult,
                                        &FakeGameInput::enumResult}) {
        input.*result = -5;
        EXPECT_EQ(InitControllers(*app, &page), -5);
        input.*result = 0;
    }
    EXPECT_EQ(app->controllerCount, 0u);
    ASSERT_EQ(InitControllers(*app, &page), 0);
    EXPECT_EQ(std::pair(app->controllerCount, std::string(app->controllers[0].productName)),
              std::pair(16u, std::string(127, 'a')));
    EXPECT_TRUE(input.At(16).prepared) << "the 17th is opened but not kept";
}

TEST_F(ControllerDiscovery, ObjectMaskRecordsAxesTwoSlidersAndFourHatsAndTheDrivePageControlsFollowItWhenItChanges)
{
    FakeGameInput::Device& wheel = input.Attach("Wheel", 4);
    wheel.objects = {Axis(InputXAxis, 0x102), Axis(InputRzAxis, 0x502), {InputOther, false, 0x900}};
    for (uint32_t i = 0; i < 3; ++i) wheel.objects.push_back(Axis(InputSlider, 0x602 + i));
    app->usedController[0] = 4;
    ASSERT_EQ(InitControllers(*app, &page), 0) << "the start selects the stored controller";
    EXPECT_EQ(app->controllerObjectMask[ObjectMaskBits], 0x1u | 0x20u | 0xC0u);
    EXPECT_EQ(wheel.rangedAxes, (std::vector<uint32_t>{0x102, 0x502, 0x602, 0x603, 0x604}));
    for (uint32_t i = 0; i < 5; ++i) wheel.objects.push_back({InputPov, false, 0xA00 + i});
    SelectController(*app, &wheel);
    const uint32_t* mask = app->controllerObjectMask;
    EXPECT_EQ(std::tuple(mask[ObjectMaskBits], mask[SlidersSeen], mask[PovsSeen]), std::tuple(0xFE1u, 3u, 5u));
    wheel.objects = {Axis(InputXAxis, 1), Axis(InputYAxis, 2), Axis(InputZAxis, 3)};
    wheel.refusedRanges = {2}; // stops the scan
    app->drivePage = &drivePage;
    ASSERT_EQ(SelectController(*app, &wheel), 0);
    EXPECT_EQ(std::pair(mask[ObjectMaskBits], app->usedController[0]), std::pair(0x1u, uint8_t{4}));
    std::vector<std::string> disabled;
    for (int id : {1011, 1084, 1012, 1085, 1022, 1086, 1023, 1087, 1024, 1088, 1032, 1021, 1033, 1025, 1050, 1026,
                   1054, 1027, 1056, 1028, 1058, 1029})
        disabled.push_back(std::to_string(id) + " enable 0");
    EXPECT_EQ(ui.controls.Journal(), disabled) << "X (1010, 1083) stays enabled; nothing before the drive page";
    SelectController(*app, &wheel);
    EXPECT_EQ(ui.controls.Journal(), disabled);
}

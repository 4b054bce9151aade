#include "board/LinkState.h"

#include <gtest/gtest.h>

TEST(LinkTexts, LinkStates)
{
    EXPECT_STREQ(LinkStateText(LinkDisconnected), "Disconnected");
    EXPECT_STREQ(LinkStateText(LinkConnected), "Connected");
    EXPECT_STREQ(LinkStateText(LinkWheelFound), "Wheel Found");
    EXPECT_STREQ(LinkStateText(LinkWheelReady), "Wheel Ready");
    EXPECT_STREQ(LinkStateText(LinkWheelError), "Wheel Error");
    EXPECT_STREQ(LinkStateText(5), "");
}

TEST(LinkTexts, CalibrationPhasesWithEverythingAboveEightReady)
{
    const char* expected[] = {"Disconnected",     "Calibrating Dir", "Calibrating Dir",   "Calibrating left",
                              "Calibrating right", "Searching index", "Homing", "Calibration error", "Ready"};
    for (uint8_t phase = 0; phase <= 8; ++phase) EXPECT_STREQ(CalibrationPhaseText(phase), expected[phase]);
    EXPECT_STREQ(CalibrationPhaseText(9), "Ready");
    EXPECT_STREQ(CalibrationPhaseText(200), "Ready");
    EXPECT_STREQ(CalibrationPhaseText(255), "Ready");
}

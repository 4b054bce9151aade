#include "platform/RecordingControls.h"

#include <gtest/gtest.h>

TEST(RecordingControls, TextIsCutToTheCallersBuffer)
{
    RecordingControls controls;
    int dialog = 0;
    controls.SetText(&dialog, 2088, "Wheel Ready");
    char text[6];
    EXPECT_EQ(controls.Text(&dialog, 2088, text, sizeof text), 5u);
    EXPECT_STREQ(text, "Wheel");
    EXPECT_EQ(controls.Text(&dialog, 2077, text, sizeof text), 0u) << "a control never written reads empty";
    EXPECT_STREQ(text, "");
}

TEST(RecordingControls, ComboSelectionOutsideTheListIsNone)
{
    RecordingControls controls;
    int dialog = 0;
    controls.AddComboItem(&dialog, 1041, "None", 0);
    controls.AddComboItem(&dialog, 1041, "COM5", 5);
    controls.SelectComboItem(&dialog, 1041, 1);
    EXPECT_EQ(controls.ComboSelection(&dialog, 1041), 1);
    EXPECT_EQ(controls.ComboItemData(&dialog, 1041, 1), 5);
    controls.SelectComboItem(&dialog, 1041, 2);
    EXPECT_EQ(controls.ComboSelection(&dialog, 1041), -1);
    controls.ResetCombo(&dialog, 1041);
    EXPECT_TRUE(controls.ComboTexts(&dialog, 1041).empty());
}

TEST(RecordingControls, ChecksEnablingAndMessageBoxesAreKept)
{
    RecordingControls controls;
    int dialog = 0;
    EXPECT_FALSE(controls.IsChecked(&dialog, 2041));
    controls.SetChecked(&dialog, 2041, true);
    EXPECT_TRUE(controls.IsChecked(&dialog, 2041));
    controls.Enable(&dialog, 2039, false);
    EXPECT_FALSE(controls.Get(&dialog, 2039)->enabled);
    controls.SetMessageAnswer(6);
    EXPECT_EQ(controls.ShowMessage(&dialog, "Update now ?", "Vantor", 4), 6);
    ASSERT_EQ(controls.Messages().size(), 1u);
    EXPECT_EQ(controls.Messages()[0].text, "Update now ?");
    EXPECT_EQ(controls.Journal(), (std::vector<std::string>{"2041 check 1", "2039 enable 0"}));
}

TEST(RecordingControls, EachControlHasItsOwnWindow)
{
    RecordingControls controls;
    int dialog = 0;
    int other = 0;
    EXPECT_NE(controls.Find(&dialog, 2021), controls.Find(&dialog, 2031));
    EXPECT_NE(controls.Find(&dialog, 2021), controls.Find(&other, 2021));
    EXPECT_EQ(controls.Find(&dialog, 2021), controls.Find(&dialog, 2021));
    EXPECT_EQ(controls.Find(nullptr, 2021), nullptr);
    EXPECT_EQ(controls.Find(&dialog, 0), nullptr);
}

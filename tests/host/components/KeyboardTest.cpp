#include "host/components/controls/Keyboard.h"

#include "host/components/model/Exception.h"

#include <gtest/gtest.h>

using namespace vorn;

namespace {

bool Down(int Key) {
    return GetKeyState(Key) < 0;
}

struct KeyboardFixture : ::testing::Test {
    void SetUp() override { ReleaseAllKeys(); }
    void TearDown() override { ReleaseAllKeys(); }
};

TEST_F(KeyboardFixture, HighBitIsSetOnlyWhileTheKeyIsDown) {
    EXPECT_FALSE(Down(VK_CONTROL));
    SetKeyDown(VK_CONTROL, true);
    EXPECT_TRUE(Down(VK_CONTROL));
    EXPECT_NE(GetKeyState(VK_CONTROL) & 0x8000, 0);
    EXPECT_FALSE(Down(VK_SHIFT));
    SetKeyDown(VK_CONTROL, false);
    EXPECT_FALSE(Down(VK_CONTROL));
}

TEST_F(KeyboardFixture, LowBitTogglesOncePerPressNotPerRepeat) {
    const int Before = GetKeyState(VK_CAPITAL) & 1;
    SetKeyDown(VK_CAPITAL, true);
    SetKeyDown(VK_CAPITAL, true); // auto-repeat
    SetKeyDown(VK_CAPITAL, false);
    EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 1 - Before);
    EXPECT_EQ(GetKeyState(VK_CAPITAL), 1 - Before); // up: no high bit
    SetKeyDown(VK_CAPITAL, true);
    SetKeyDown(VK_CAPITAL, false);
    EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, Before);
}

TEST_F(KeyboardFixture, ModifierStateFollowsEachInputEvent) {
    struct TCase {
        TShiftState Shift;
        bool ShiftDown, CtrlDown, AltDown;
    };
    const TCase Cases[] = {
        {.Shift = {ssCtrl}, .ShiftDown = false, .CtrlDown = true, .AltDown = false},
        {.Shift = {ssShift, ssLeft}, .ShiftDown = true, .CtrlDown = false, .AltDown = false},
        {.Shift = {ssCtrl, ssAlt, ssShift, ssDouble},
         .ShiftDown = true,
         .CtrlDown = true,
         .AltDown = true},
        {.Shift = {}, .ShiftDown = false, .CtrlDown = false, .AltDown = false},
    };
    SetKeyDown(VK_RETURN, true);
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Shift.Bits());
        SetModifierState(Case.Shift);
        EXPECT_EQ(Down(VK_SHIFT), Case.ShiftDown);
        EXPECT_EQ(Down(VK_CONTROL), Case.CtrlDown);
        EXPECT_EQ(Down(VK_MENU), Case.AltDown);
        EXPECT_TRUE(Down(VK_RETURN)); // only the modifiers follow the event
        const TShiftState Modifiers{ssShift, ssCtrl, ssAlt};
        EXPECT_EQ(GetShiftState() * Modifiers, Case.Shift * Modifiers);
    }
}

TEST_F(KeyboardFixture, ReleaseAllKeysPutsEveryKeyUp) {
    for (int Key : {VK_SHIFT, VK_LBUTTON, int{'A'}, VK_F4, MaxVirtualKey})
        SetKeyDown(Key, true);
    EXPECT_EQ(GetShiftState(), (TShiftState{ssShift, ssLeft}));
    ReleaseAllKeys();
    for (int Key = 0; Key <= MaxVirtualKey; ++Key)
        EXPECT_FALSE(Down(Key)) << Key;
    EXPECT_TRUE(GetShiftState().Empty());
}

TEST_F(KeyboardFixture, KeyCodesOutsideTheTableRaise) {
    for (int Key : {-1, MaxVirtualKey + 1, 0x10000}) {
        SCOPED_TRACE(Key);
        EXPECT_THROW(GetKeyState(Key), EListError);
        EXPECT_THROW(SetKeyDown(Key, true), EListError);
    }
}

} // namespace

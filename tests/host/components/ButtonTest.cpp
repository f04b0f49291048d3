#include "host/components/controls/Button.h"

#include "tests/host/components/ControlTestSupport.h"

#include <gtest/gtest.h>

using namespace vorn;

namespace {

TEST(SpeedButton, GlyphIsACopyThatRepaintsTheButton) {
    std::vector<std::string> Log;
    TSpeedButton Button(nullptr);
    Button.SetPeer(std::make_unique<vorn::testing::TRecordingPeer>(Log));
    TBitmap Picture;
    Picture.SetSize(16, 16);
    Picture.SetPixel(3, 4, clRed);

    Button.SetGlyph(&Picture);
    Picture.SetPixel(3, 4, clBlue);

    EXPECT_EQ(Button.Glyph()->Width(), 16);
    EXPECT_EQ(Button.Glyph()->Pixels(3, 4), clRed);
    EXPECT_EQ(Log, std::vector<std::string>{"invalidate"});

    Button.SetGlyph(nullptr);
    EXPECT_TRUE(Button.Glyph()->Empty());
}

TEST(SpeedButton, ClickFiresOnClickAndCaptionIsTheText) {
    TSpeedButton Button(nullptr);
    int Clicks = 0;
    Button.OnClick = [&](TObject* Sender) {
        EXPECT_EQ(Sender, &Button);
        ++Clicks;
    };
    Button.SetCaption("x");

    Button.Click();

    EXPECT_EQ(Clicks, 1);
    EXPECT_EQ(Button.Text(), "x");
    EXPECT_EQ(Button.Color(), clBtnFace);
}

} // namespace

#include "host/components/graphics/Graphics.h"

#include <gtest/gtest.h>

#include <string>

using namespace vorn;

namespace {

struct TNamedColor {
    TColor Color;
    std::uint8_t Red, Green, Blue;
};

TEST(Color, NamedColoursAreLaidOutBlueGreenRed) {
    const TNamedColor Cases[] = {
        {.Color = clBlack, .Red = 0, .Green = 0, .Blue = 0},
        {.Color = clMaroon, .Red = 128, .Green = 0, .Blue = 0},
        {.Color = clGreen, .Red = 0, .Green = 128, .Blue = 0},
        {.Color = clOlive, .Red = 128, .Green = 128, .Blue = 0},
        {.Color = clNavy, .Red = 0, .Green = 0, .Blue = 128},
        {.Color = clPurple, .Red = 128, .Green = 0, .Blue = 128},
        {.Color = clTeal, .Red = 0, .Green = 128, .Blue = 128},
        {.Color = clGray, .Red = 128, .Green = 128, .Blue = 128},
        {.Color = clSilver, .Red = 192, .Green = 192, .Blue = 192},
        {.Color = clRed, .Red = 255, .Green = 0, .Blue = 0},
        {.Color = clLime, .Red = 0, .Green = 255, .Blue = 0},
        {.Color = clYellow, .Red = 255, .Green = 255, .Blue = 0},
        {.Color = clBlue, .Red = 0, .Green = 0, .Blue = 255},
        {.Color = clFuchsia, .Red = 255, .Green = 0, .Blue = 255},
        {.Color = clAqua, .Red = 0, .Green = 255, .Blue = 255},
        {.Color = clWhite, .Red = 255, .Green = 255, .Blue = 255},
    };
    for (const TNamedColor& Case : Cases) {
        SCOPED_TRACE(Case.Color);
        EXPECT_EQ(RGB(Case.Red, Case.Green, Case.Blue), Case.Color);
        EXPECT_EQ(GetRValue(Case.Color), Case.Red);
        EXPECT_EQ(GetGValue(Case.Color), Case.Green);
        EXPECT_EQ(GetBValue(Case.Color), Case.Blue);
        EXPECT_FALSE(IsSystemColor(Case.Color));
        EXPECT_EQ(ColorToRGB(Case.Color), Case.Color);
    }
    EXPECT_EQ(clRed, 0x0000FFu);
}

TEST(Color, SystemColoursHaveTheTopBitAndTheirIndexInTheLowByte) {
    const std::pair<TColor, unsigned> Cases[] = {
        {clWindow, 5},         {clWindowText, 8}, {clHighlight, 13},
        {clHighlightText, 14}, {clBtnFace, 15},   {clBtnText, 18},
        {cl3DDkShadow, 21},    {cl3DLight, 22},   {clInfoBk, 24},
    };
    for (const auto& [Color, Index] : Cases) {
        SCOPED_TRACE(Index);
        EXPECT_TRUE(IsSystemColor(Color));
        EXPECT_EQ(Color, 0x80000000u + Index);
    }
    EXPECT_FALSE(IsSystemColor(clNone));
    EXPECT_FALSE(IsSystemColor(clDefault));
}

TEST(Color, ColorToRgbResolvesEverySystemColourToAPlainColour) {
    for (unsigned Index = 0; Index <= 30; ++Index) {
        if (Index == 25) // no system colour has this index
            continue;
        SCOPED_TRACE(Index);
        const TColor Resolved = ColorToRGB(SystemColorFlag | Index);
        EXPECT_FALSE(IsSystemColor(Resolved));
        EXPECT_EQ(Resolved & 0xFF000000u, 0u);
    }
    EXPECT_EQ(ColorToRGB(clWindow), clWhite);
    EXPECT_EQ(ColorToRGB(clWindowText), clBlack);
    EXPECT_NE(ColorToRGB(clHighlight), ColorToRGB(clHighlightText));
}

TEST(Color, ColorToRgbRaisesForValuesWithoutAColour) {
    const TColor Cases[] = {
        clNone,    clDefault, SystemColorFlag | 25, SystemColorFlag | 31, SystemColorFlag | 0xFF,
        0x01000000};
    for (TColor Color : Cases) {
        SCOPED_TRACE(Color);
        EXPECT_THROW(ColorToRGB(Color), EConvertError);
    }
}

TEST(Color, TypeInfoIsAnIntegerNamedTColor) {
    EXPECT_EQ(ColorTypeInfo().Name, "TColor");
    EXPECT_EQ(ColorTypeInfo().Kind, tkInteger);
}

// ---------------------------------------------------------------- TFont

struct TFontFixture : ::testing::Test {
    TFont Font;
    int Changes = 0;
    void SetUp() override {
        Font.OnChange = [this](TObject* Sender) {
            EXPECT_EQ(Sender, &Font);
            ++Changes;
        };
    }
};

TEST_F(TFontFixture, EachSetterFiresOnceForAChangeAndNotForTheSameValue) {
    Font.SetColor(clRed);
    Font.SetName("Serif");
    Font.SetSize(12);
    Font.SetStyle({fsBold, fsUnderline});
    EXPECT_EQ(Changes, 4);

    Font.SetColor(clRed);
    Font.SetName("Serif");
    Font.SetSize(12);
    Font.SetStyle({fsUnderline, fsBold});
    EXPECT_EQ(Changes, 4);
}

TEST_F(TFontFixture, AssignCopiesEverythingAndFiresOnce) {
    TFont Source;
    Source.SetColor(clBtnText);
    Source.SetName("Mono");
    Source.SetSize(14);
    Source.SetStyle({fsItalic, fsStrikeOut});

    Font.Assign(&Source);

    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Font.Color(), clBtnText);
    EXPECT_EQ(Font.Name(), "Mono");
    EXPECT_EQ(Font.Size(), 14);
    EXPECT_EQ(Font.Style(), (TFontStyles{fsItalic, fsStrikeOut}));

    Font.Assign(&Source);
    Font.Assign(&Font);
    EXPECT_EQ(Changes, 1);
}

TEST_F(TFontFixture, RejectedInputLeavesTheFontUnchanged) {
    TPersistent NotAFont;
    EXPECT_THROW(Font.Assign(&NotAFont), EConvertError);
    EXPECT_THROW(Font.Assign(nullptr), EConvertError);
    EXPECT_THROW(Font.SetSize(0), EConvertError);
    EXPECT_THROW(Font.SetSize(-8), EConvertError);
    EXPECT_THROW(Font.SetName(""), EConvertError);
    EXPECT_EQ(Changes, 0);
    EXPECT_EQ(Font.Name(), "Sans");
    EXPECT_EQ(Font.Size(), 8);
}

TEST(Font, PublishedPropertiesCopyAFontThroughClassInformation) {
    std::vector<std::string> Names;
    for (const TPropertyInfo* Property : TFont::StaticClass().Properties())
        Names.push_back(Property->Name);
    EXPECT_EQ(Names, (std::vector<std::string>{"Color", "Name", "Size", "Style"}));

    TFont Source;
    Source.SetColor(clTeal);
    Source.SetName("Serif");
    Source.SetSize(20);
    Source.SetStyle({fsBold, fsStrikeOut});
    TFont Target;
    for (const TPropertyInfo* Property : TFont::StaticClass().Properties())
        Property->Set(Target, Property->Get(Source));

    EXPECT_EQ(Target.Color(), clTeal);
    EXPECT_EQ(Target.Name(), "Serif");
    EXPECT_EQ(Target.Size(), 20);
    EXPECT_EQ(Target.Style(), (TFontStyles{fsBold, fsStrikeOut}));

    const TTypeInfo& Styles = FontStylesTypeInfo();
    EXPECT_EQ(Styles.Kind, tkSet);
    ASSERT_EQ(Styles.ElementNames.size(), 4u);
    EXPECT_EQ(Styles.ElementNames[fsUnderline], "fsUnderline");
    EXPECT_EQ(FontTypeInfo().ClassType, &TFont::StaticClass());
}

} // namespace

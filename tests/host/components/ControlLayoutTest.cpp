#include "host/components/controls/Control.h"
#include "host/components/controls/Edit.h"
#include "host/components/controls/Form.h"
#include "host/components/controls/Label.h"
#include "host/components/controls/Panel.h"
#include "host/components/forms/FormFile.h"
#include "host/components/model/ClassRegistry.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <memory>
#include <string>
#include <vector>

using namespace vorn;

namespace {

// One child of a 200 x 100 parent, placed at Start, and where it is once the parent
// measures NewWidth x NewHeight.
struct TLayoutCase {
    const char* Label;
    TAlign Align;
    TAnchors Anchors;
    TRect Start;
    int NewWidth;
    int NewHeight;
    TRect Expected;
};

TEST(ControlLayout, AlignAndAnchorsPlaceAChildWhenTheParentResizes) {
    const TAnchors All{akLeft, akTop, akRight, akBottom};
    const TRect Start{10, 10, 60, 30};
    const TLayoutCase Cases[] = {
        {.Label = "default keeps its place",
         .Align = TAlign::alNone,
         .Anchors = {akLeft, akTop},
         .Start = Start,
         .NewWidth = 300,
         .NewHeight = 150,
         .Expected = Start},
        {.Label = "left and right stretch",
         .Align = TAlign::alNone,
         .Anchors = {akLeft, akTop, akRight},
         .Start = Start,
         .NewWidth = 300,
         .NewHeight = 150,
         .Expected = {10, 10, 160, 30}},
        {.Label = "right alone moves",
         .Align = TAlign::alNone,
         .Anchors = {akTop, akRight},
         .Start = Start,
         .NewWidth = 300,
         .NewHeight = 150,
         .Expected = {110, 10, 160, 30}},
        {.Label = "top and bottom stretch",
         .Align = TAlign::alNone,
         .Anchors = {akTop, akBottom},
         .Start = Start,
         .NewWidth = 300,
         .NewHeight = 150,
         .Expected = {60, 10, 110, 80}},
        {.Label = "bottom alone moves",
         .Align = TAlign::alNone,
         .Anchors = {akLeft, akBottom},
         .Start = Start,
         .NewWidth = 300,
         .NewHeight = 150,
         .Expected = {10, 60, 60, 80}},
        {.Label = "no anchor keeps the centre's distance to the centre",
         .Align = TAlign::alNone,
         .Anchors = {},
         .Start = Start,
         .NewWidth = 300,
         .NewHeight = 150,
         .Expected = {60, 35, 110, 55}},
        {.Label = "every side shrinks",
         .Align = TAlign::alNone,
         .Anchors = All,
         .Start = Start,
         .NewWidth = 180,
         .NewHeight = 90,
         .Expected = {10, 10, 40, 20}},
        {.Label = "a stretched size stops at zero",
         .Align = TAlign::alNone,
         .Anchors = All,
         .Start = Start,
         .NewWidth = 20,
         .NewHeight = 10,
         .Expected = {10, 10, 10, 10}},
        {.Label = "a parent of no size",
         .Align = TAlign::alNone,
         .Anchors = {akTop, akRight},
         .Start = Start,
         .NewWidth = 0,
         .NewHeight = 0,
         .Expected = {-190, 10, -140, 30}},
        {.Label = "alTop spans the width",
         .Align = alTop,
         .Anchors = {},
         .Start = Start,
         .NewWidth = 300,
         .NewHeight = 150,
         .Expected = {0, 0, 300, 20}},
        {.Label = "alBottom sits on the bottom edge",
         .Align = alBottom,
         .Anchors = {},
         .Start = Start,
         .NewWidth = 300,
         .NewHeight = 150,
         .Expected = {0, 130, 300, 150}},
        {.Label = "alLeft spans the height",
         .Align = alLeft,
         .Anchors = {},
         .Start = Start,
         .NewWidth = 300,
         .NewHeight = 150,
         .Expected = {0, 0, 50, 150}},
        {.Label = "alRight sits on the right edge",
         .Align = alRight,
         .Anchors = {},
         .Start = Start,
         .NewWidth = 300,
         .NewHeight = 150,
         .Expected = {250, 0, 300, 150}},
        {.Label = "alClient fills the parent",
         .Align = alClient,
         .Anchors = {},
         .Start = Start,
         .NewWidth = 300,
         .NewHeight = 150,
         .Expected = {0, 0, 300, 150}},
        {.Label = "alClient in a parent of no size",
         .Align = alClient,
         .Anchors = {},
         .Start = Start,
         .NewWidth = 0,
         .NewHeight = 0,
         .Expected = {0, 0, 0, 0}},
        {.Label = "alBottom taller than the parent",
         .Align = alBottom,
         .Anchors = {},
         .Start = Start,
         .NewWidth = 300,
         .NewHeight = 5,
         .Expected = {0, -15, 300, 5}},
    };
    for (const TLayoutCase& Case : Cases) {
        SCOPED_TRACE(Case.Label);
        TPanel Parent(nullptr);
        Parent.SetBounds(0, 0, 200, 100);
        TPanel Child(nullptr);
        Child.SetParent(&Parent);
        Child.SetBounds(Case.Start.Left, Case.Start.Top, Case.Start.Width(), Case.Start.Height());
        Child.SetAnchors(Case.Anchors);
        Child.SetAlign(Case.Align);

        EXPECT_NO_THROW(Parent.SetBounds(0, 0, Case.NewWidth, Case.NewHeight));

        EXPECT_EQ(Child.BoundsRect(), Case.Expected);
        EXPECT_EQ(Child.Align(), Case.Align);
    }
}

TEST(ControlLayout, AlignedChildrenTakeTheEdgesInGroupsAndChildOrder) {
    TPanel Parent(nullptr);
    Parent.SetBounds(0, 0, 200, 100);
    const auto Add = [&](TAlign Align, int Width, int Height) {
        auto* Child = new TPanel(&Parent);
        Child->SetParent(&Parent);
        Child->SetBounds(0, 0, Width, Height);
        Child->SetAlign(Align);
        return Child;
    };
    // Added in an order unlike the layout's, to show that the groups decide.
    TPanel* Client = Add(alClient, 5, 5);
    TPanel* Right = Add(alRight, 40, 5);
    TPanel* Bottom = Add(alBottom, 5, 20);
    TPanel* Top = Add(alTop, 5, 10);
    TPanel* SecondTop = Add(alTop, 5, 15);
    TPanel* Left = Add(alLeft, 30, 5);
    TPanel* Hidden = Add(alLeft, 25, 5);
    Hidden->Hide();

    EXPECT_EQ(Top->BoundsRect(), (TRect{0, 0, 200, 10}));
    EXPECT_EQ(SecondTop->BoundsRect(), (TRect{0, 10, 200, 25}));
    EXPECT_EQ(Bottom->BoundsRect(), (TRect{0, 80, 200, 100}));
    EXPECT_EQ(Left->BoundsRect(), (TRect{0, 25, 30, 80}));
    EXPECT_EQ(Right->BoundsRect(), (TRect{160, 25, 200, 80}));
    EXPECT_EQ(Client->BoundsRect(), (TRect{30, 25, 160, 80}));

    // A changed height of an aligned child, and a child shown, move the others.
    Top->SetHeight(20);
    Hidden->Show();
    EXPECT_EQ(SecondTop->BoundsRect(), (TRect{0, 20, 200, 35}));
    EXPECT_EQ(Hidden->BoundsRect(), (TRect{30, 35, 55, 80}));
    EXPECT_EQ(Client->BoundsRect(), (TRect{55, 35, 160, 80}));

    // Shrunk below what the strips need: the room never turns inside out.
    EXPECT_NO_THROW(Parent.SetBounds(0, 0, 50, 30));
    EXPECT_EQ(Client->Width(), 0);
    EXPECT_EQ(Client->Height(), 0);
}

TEST(ControlLayout, NestedParentsPassTheResizeOn) {
    TForm Form(nullptr);
    Form.SetBounds(0, 0, 400, 300);
    auto* Body = new TPanel(&Form);
    Body->SetParent(&Form);
    Body->SetAlign(alClient);
    auto* Corner = new TEdit(&Form);
    Corner->SetParent(Body);
    Corner->SetBounds(340, 270, 50, 20);
    Corner->SetAnchors({akRight, akBottom});

    Form.SetBounds(0, 0, 600, 500);

    EXPECT_EQ(Body->BoundsRect(), (TRect{0, 0, 600, 500}));
    EXPECT_EQ(Corner->BoundsRect(), (TRect{540, 470, 590, 490}));

    // Placed anew by the program, the control measures from its new place.
    Corner->SetBounds(10, 10, 50, 20);
    Form.SetBounds(0, 0, 700, 500);
    EXPECT_EQ(Corner->BoundsRect(), (TRect{110, 10, 160, 30}));
}

TEST(ControlLayout, AnInvalidAlignIsRefusedWithoutChange) {
    TPanel Panel(nullptr);
    Panel.SetAlign(alTop);
    EXPECT_THROW(Panel.SetAlign(static_cast<TAlign>(6)), EInvalidOperation);
    EXPECT_EQ(Panel.Align(), alTop);
}

class ControlLayoutFormFile : public ::testing::Test {
protected:
    void SetUp() override { RegisterHostClasses(); }
};

// A form wider in its file than a new form, with a panel anchored on every side and the
// form's size written after its children, as a file may order it.
const char* const AnchoredForm = R"({"class": "TForm", "name": "Form1",
  "components": [
    {"class": "TPanel", "name": "Body", "parent": "Form1",
     "properties": {"Anchors": ["akLeft", "akTop", "akRight", "akBottom"], "Left": 8, "Top": 8,
                    "Width": 984, "Height": 584, "Align": "alNone"}},
    {"class": "TPanel", "name": "Header", "parent": "Form1",
     "properties": {"Align": "alTop", "Height": 30}},
    {"class": "TLabel", "name": "Caption1", "parent": "Body",
     "properties": {"Caption": "&Find:", "FocusControl": "Body", "Left": 4, "Top": 4,
                    "Anchors": ["akRight", "akBottom"]}}
  ],
  "properties": {"Width": 1000, "Height": 600}})";

TEST_F(ControlLayoutFormFile, ReadingPlacesNothingElseAndAnchorsMeasureFromTheFile) {
    std::unique_ptr<TComponent> Root = ReadForm(AnchoredForm);
    auto& Form = dynamic_cast<TForm&>(*Root);
    auto& Body = dynamic_cast<TPanel&>(*Form.FindComponent("Body"));
    auto& Header = dynamic_cast<TPanel&>(*Form.FindComponent("Header"));
    auto& Caption = dynamic_cast<TLabel&>(*Form.FindComponent("Caption1"));

    EXPECT_EQ(Body.BoundsRect(), (TRect{8, 8, 992, 592}));
    EXPECT_EQ(Header.BoundsRect(), (TRect{0, 0, 1000, 30}));
    EXPECT_EQ(Caption.BoundsRect(), (TRect{4, 4, 69, 21}));
    EXPECT_EQ(Caption.FocusControl(), &Body);
    EXPECT_EQ(Body.Anchors(), (TAnchors{akLeft, akTop, akRight, akBottom}));

    Form.SetBounds(0, 0, 1100, 650);
    EXPECT_EQ(Body.BoundsRect(), (TRect{8, 8, 1092, 642}));
    EXPECT_EQ(Caption.BoundsRect(), (TRect{104, 54, 169, 71}));
    EXPECT_EQ(Header.Width(), 1100);
}

TEST_F(ControlLayoutFormFile, AlignAnchorsAndFocusControlRoundTrip) {
    std::unique_ptr<TComponent> Root = ReadForm(AnchoredForm);
    const std::string Written = WriteForm(*Root);
    const auto Json = nlohmann::json::parse(Written);
    EXPECT_EQ(Json["components"][1]["properties"]["Align"], "alTop");
    EXPECT_EQ(Json["components"][2]["properties"]["Anchors"],
              nlohmann::json::parse(R"(["akRight", "akBottom"])"));

    std::unique_ptr<TComponent> Copy = ReadForm(Written);
    EXPECT_EQ(WriteForm(*Copy), Written);
    auto& Caption = dynamic_cast<TLabel&>(*Copy->FindComponent("Caption1"));
    EXPECT_EQ(Caption.Caption(), "&Find:");
    EXPECT_EQ(Caption.Anchors(), (TAnchors{akRight, akBottom}));

    // The control a label focuses goes: the label forgets it.
    delete Copy->FindComponent("Body");
    EXPECT_EQ(Caption.FocusControl(), nullptr);
}

TEST_F(ControlLayoutFormFile, ABadAlignOrAnchorNamesTheProperty) {
    const std::string Prefix = "Error reading form file at /components/0/properties/";
    const std::vector<std::pair<std::string, std::string>> Cases = {
        {R"("Align": "alMiddle")",
         Prefix + "Align (TPanel.Align): \"alMiddle\" is not a value of TAlign"},
        {R"("Anchors": ["akLeft", "akCentre"])",
         Prefix + "Anchors/1 (TPanel.Anchors): \"akCentre\" is not a member of TAnchors"},
        {R"("Anchors": "akLeft")", Prefix + "Anchors (TPanel.Anchors): expected an array of "
                                            "member names of TAnchors, found a string"},
    };
    for (const auto& [Property, Message] : Cases) {
        SCOPED_TRACE(Property);
        const std::string Json =
            R"({"class": "TForm", "name": "Form1", "components": [{"class": "TPanel",
                "name": "P", "parent": "Form1", "properties": {)" +
            Property + "}}]}";
        try {
            ReadForm(Json);
            ADD_FAILURE() << "read without error";
        } catch (const EReadError& E) {
            EXPECT_EQ(E.Message(), Message);
        }
    }
}

} // namespace

#include "host/components/controls/Control.h"
#include "host/components/controls/Button.h"
#include "host/components/controls/ComboBox.h"
#include "host/components/controls/Edit.h"
#include "host/components/controls/Form.h"
#include "host/components/controls/Grid.h"

#include "tests/host/components/ControlTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

using namespace vorn;
using vorn::testing::TRecordingPeer;

namespace {

std::vector<std::string> ChildNames(const TWinControl& Parent) {
    std::vector<std::string> Names;
    for (int Index = 0; Index < Parent.ControlCount(); ++Index)
        Names.push_back(Parent.Controls(Index)->Name());
    return Names;
}

TEST(Control, SetParentMovesTheControlBetweenChildLists) {
    TForm Form(nullptr);
    auto* Left = new TWinControl(&Form);
    auto* Right = new TWinControl(&Form);
    auto* Child = new TEdit(&Form);
    Left->SetName("Left");
    Right->SetName("Right");
    Child->SetName("Child");
    Left->SetParent(&Form);
    Right->SetParent(&Form);
    Child->SetParent(Left);

    Child->SetParent(Right);

    EXPECT_EQ(ChildNames(Form), (std::vector<std::string>{"Left", "Right"}));
    EXPECT_EQ(Left->ControlCount(), 0);
    EXPECT_EQ(ChildNames(*Right), (std::vector<std::string>{"Child"}));
    EXPECT_EQ(Child->Parent(), Right);
    EXPECT_TRUE(Form.ContainsControl(Child));
    EXPECT_THROW(Right->Controls(1), EListError);

    Child->SetParent(nullptr);
    EXPECT_EQ(Right->ControlCount(), 0);
    EXPECT_EQ(Child->Parent(), nullptr);
}

TEST(Control, ParentCyclesAreRefusedWithoutChange) {
    TForm Form(nullptr);
    auto* Outer = new TWinControl(&Form);
    auto* Inner = new TWinControl(&Form);
    Outer->SetParent(&Form);
    Inner->SetParent(Outer);

    EXPECT_THROW(Outer->SetParent(Inner), EInvalidOperation);
    EXPECT_THROW(Outer->SetParent(Outer), EInvalidOperation);
    EXPECT_EQ(Outer->Parent(), &Form);
    EXPECT_EQ(Inner->Parent(), Outer);
}

TEST(Control, FreeingAParentLeavesChildrenOwnedElsewhereParentless) {
    auto Child = std::make_unique<TEdit>(nullptr);
    {
        TWinControl Panel(nullptr);
        Child->SetParent(&Panel);
        EXPECT_EQ(Panel.ControlCount(), 1);
    }
    EXPECT_EQ(Child->Parent(), nullptr);

    TWinControl Panel(nullptr);
    Child->SetParent(&Panel);
    Child.reset();
    EXPECT_EQ(Panel.ControlCount(), 0);

    // A window control that owns and parents its children frees them after letting go.
    auto Owner = std::make_unique<TWinControl>(nullptr);
    auto* OwnedChild = new TEdit(Owner.get());
    OwnedChild->SetParent(Owner.get());
    OwnedChild->SetFocus();
    Owner.reset();
}

TEST(Control, BoundsRejectNegativeSizesAndReportOnlyChanges) {
    std::vector<std::string> Log;
    TEdit Edit(nullptr);
    Edit.SetPeer(std::make_unique<TRecordingPeer>(Log));

    Edit.SetBounds(10, 20, 30, 40);
    Edit.SetBounds(10, 20, 30, 40);
    EXPECT_THROW(Edit.SetWidth(-1), EInvalidOperation);
    EXPECT_THROW(Edit.SetBounds(0, 0, 5, -5), EInvalidOperation);

    EXPECT_EQ(Edit.BoundsRect(), (TRect{10, 20, 40, 60}));
    EXPECT_EQ(Log, std::vector<std::string>{"bounds"});
}

// Assistive tools announce the Hint the application gave, else the control's own short
// description; the peer hears of each change of either.
TEST(Control, TheHintNamesTheControlBeforeItsOwnDescription) {
    std::vector<std::string> Log;
    TEdit Edit(nullptr);
    Edit.SetPeer(std::make_unique<TRecordingPeer>(Log));
    EXPECT_EQ(Edit.AccessibleName(), "");

    Edit.SetDefaultAccessibleName("Locate");
    EXPECT_EQ(Edit.AccessibleName(), "Locate");
    Edit.SetHint("Customer name");
    Edit.SetHint("Customer name");
    EXPECT_EQ(Edit.AccessibleName(), "Customer name");
    EXPECT_EQ(Edit.DefaultAccessibleName(), "Locate");
    Edit.SetHint("");
    EXPECT_EQ(Edit.AccessibleName(), "Locate");

    EXPECT_EQ(Log, (std::vector<std::string>(3, "accessibility")));
}

TEST(Control, ParentFontFollowsTheParentUntilTheControlGetsItsOwnFont) {
    TForm Form(nullptr);
    auto* Panel = new TWinControl(&Form);
    auto* Inherits = new TEdit(&Form);
    auto* Own = new TEdit(&Form);
    Panel->SetParent(&Form);
    Inherits->SetParent(Panel);
    Own->SetParent(Panel);
    Form.Font()->SetSize(14);

    Own->Font()->SetColor(clRed);
    Form.Font()->SetName("Serif");

    EXPECT_TRUE(Inherits->ParentFont());
    EXPECT_EQ(Inherits->Font()->Name(), "Serif");
    EXPECT_EQ(Inherits->Font()->Size(), 14);
    EXPECT_FALSE(Own->ParentFont());
    EXPECT_EQ(Own->Font()->Name(), "Sans");
    EXPECT_EQ(Own->Font()->Size(), 14);

    Own->SetParentFont(true);
    EXPECT_EQ(Own->Font()->Name(), "Serif");
    EXPECT_EQ(Own->Font()->Color(), Form.Font()->Color());
}

TEST(Control, HandlersFireTheirEvents) {
    TSpeedButton Button(nullptr);
    std::vector<std::string> Log;
    Button.OnClick = [&](TObject* Sender) { Log.push_back(Sender == &Button ? "click" : "?"); };
    Button.OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int X, int Y) {
        Log.push_back("down " + std::to_string(X) + "," + std::to_string(Y));
    };
    Button.OnMouseMove = [&](TObject*, TShiftState Shift, int, int) {
        Log.push_back(Shift.Contains(ssCtrl) ? "move ctrl" : "move");
    };
    Button.OnMouseLeave = [&](TObject*) { Log.push_back("leave"); };

    Button.MouseDown(mbLeft, {ssLeft}, 3, 4);
    Button.MouseMove({ssCtrl}, 5, 6);
    Button.Click();
    Button.CMMouseLeave();

    EXPECT_EQ(Log, (std::vector<std::string>{"down 3,4", "move ctrl", "click", "leave"}));
}

TEST(Control, KeyHandlersLetOnKeyDownChangeTheKey) {
    TWinControl Control(nullptr);
    Control.OnKeyDown = [](TObject*, int& Key, TShiftState) { Key = VK_TAB; };
    Control.OnKeyPress = [](TObject*, char& Key) { Key = 'X'; };
    int Key = VK_RETURN;
    char Character = 'a';

    Control.KeyDown(Key, {});
    Control.KeyPress(Character);

    EXPECT_EQ(Key, VK_TAB);
    EXPECT_EQ(Character, 'X');
}

struct TPublishedCase {
    const TClass* Class;
    std::vector<std::string> Expected; // in order, after the TControl properties
};

TEST(Control, PublishedPropertiesComeInTheirOrderAndFactoriesCreateTheClass) {
    const std::vector<std::string> ControlProperties = {
        "Name",        "Left",      "Top",          "Width",        "Height",  "Visible",
        "Enabled",     "Color",     "Font",         "ParentFont",   "OnClick", "OnMouseDown",
        "OnMouseMove", "OnMouseUp", "OnMouseEnter", "OnMouseLeave", "Align",   "Anchors"};
    const std::vector<std::string> WinControlProperties = {"TabStop",   "OnEnter",    "OnExit",
                                                           "OnKeyDown", "OnKeyPress", "OnKeyUp"};
    const std::vector<TPublishedCase> Cases = {
        {&TEdit::StaticClass(), {"Text", "MaxLength", "ReadOnly", "OnChange"}},
        {&TComboBox::StaticClass(),
         {"Style", "DropDownCount", "MaxLength", "Items", "ItemIndex", "Text", "OnChange",
          "OnDropDown", "OnCloseUp"}},
        {&TStringGrid::StaticClass(),
         {"ColCount", "RowCount", "FixedCols", "FixedRows", "DefaultColWidth", "DefaultRowHeight",
          "GridLineWidth", "Options", "OnDrawCell"}},
        {&TDrawGrid::StaticClass(),
         {"ColCount", "RowCount", "FixedCols", "FixedRows", "DefaultColWidth", "DefaultRowHeight",
          "GridLineWidth", "Options", "OnDrawCell"}},
        {&TForm::StaticClass(), {"Caption"}},
        {&TSpeedButton::StaticClass(), {"Caption", "Glyph", "Flat"}},
    };
    for (const TPublishedCase& Case : Cases) {
        SCOPED_TRACE(Case.Class->Name());
        std::vector<std::string> Expected = ControlProperties;
        if (Case.Class->InheritsFrom(TWinControl::StaticClass()))
            Expected.insert(Expected.end(), WinControlProperties.begin(),
                            WinControlProperties.end());
        Expected.insert(Expected.end(), Case.Expected.begin(), Case.Expected.end());
        std::vector<std::string> Names;
        for (const TPropertyInfo* Property : Case.Class->Properties())
            Names.push_back(Property->Name);
        EXPECT_EQ(Names, Expected);

        ASSERT_TRUE(Case.Class->CanCreate());
        std::unique_ptr<TComponent> Instance(Case.Class->CreateInstance(nullptr));
        EXPECT_EQ(&Instance->ClassType(), Case.Class);
    }
}

TEST(Control, PublishedPropertiesReadAndWriteThroughTheAccessors) {
    TComboBox Combo(nullptr);
    Combo.Items()->SetText("a\nb\n");
    const TClass& Class = Combo.ClassType();

    Class.FindProperty("ItemIndex")->Set(Combo, std::int64_t{1});
    Class.FindProperty("Style")->Set(Combo, std::int64_t{csDropDownList});
    Class.FindProperty("Left")->Set(Combo, std::int64_t{7});

    EXPECT_EQ(Combo.Text(), "b");
    EXPECT_EQ(Combo.Style(), csDropDownList);
    EXPECT_EQ(Combo.Left(), 7);
    EXPECT_EQ(std::get<TObject*>(Class.FindProperty("Items")->Get(Combo)), Combo.Items());
    EXPECT_EQ(ComboBoxStyleTypeInfo().ElementNames,
              (std::vector<std::string>{"csDropDown", "csDropDownList"}));
    EXPECT_EQ(GridOptionsTypeInfo().ElementNames.size(), 15u);
    EXPECT_EQ(GridOptionsTypeInfo().ElementNames[goThumbTracking], "goThumbTracking");
}

} // namespace

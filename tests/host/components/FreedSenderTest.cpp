#include "host/components/controls/Button.h"
#include "host/components/controls/ComboBox.h"
#include "host/components/controls/Edit.h"
#include "host/components/controls/Form.h"
#include "host/components/controls/Grid.h"
#include "host/components/controls/Input.h"
#include "host/components/model/AliveGuard.h"

#include "tests/host/components/ControlTestSupport.h"
#include "tests/support/FreeingHandlerForm.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace vorn;
using vorn::testing::TErrorCapture;

namespace {

// The form's controls log every handler they fire; FreeOn and Victim pick the handler
// that frees a control or the form.
struct TFreeingForm : vorn::testsupport::TFreeingHandlerForm {
    TEdit* Edit = new TEdit(Form.get());
    TComboBox* Combo = new TComboBox(Form.get());
    TSpeedButton* Button = new TSpeedButton(Form.get());
    TStringGrid* Grid = new TStringGrid(Form.get());

    TFreeingForm() {
        Edit->SetName("Edit");
        Combo->SetName("Combo");
        Button->SetName("Button");
        Grid->SetName("Grid");
        for (TControl* Control : {static_cast<TControl*>(Edit), static_cast<TControl*>(Combo),
                                  static_cast<TControl*>(Button), static_cast<TControl*>(Grid)}) {
            Control->SetParent(Form.get());
            WatchMouse(*Control);
        }
        for (TWinControl* Control :
             {static_cast<TWinControl*>(Edit), static_cast<TWinControl*>(Combo),
              static_cast<TWinControl*>(Grid)})
            WatchKeysAndFocus(*Control);
        Edit->OnChange = Logger("change");
        Combo->OnChange = Logger("change");
        Combo->OnDropDown = Logger("dropdown");
        Combo->OnCloseUp = Logger("closeup");
        Combo->Items()->SetText("apple\nbanana\ncherry\n");
    }

    void WatchMouse(TControl& Control) {
        Control.OnClick = Logger("click");
        Control.OnMouseDown = [this](TObject* Sender, TMouseButton, TShiftState, int, int) {
            Fired(Sender, "mousedown");
        };
        Control.OnMouseUp = [this](TObject* Sender, TMouseButton, TShiftState, int, int) {
            Fired(Sender, "mouseup");
        };
        Control.OnMouseMove = [this](TObject* Sender, TShiftState, int, int) {
            Fired(Sender, "mousemove");
        };
    }

    void WatchKeysAndFocus(TWinControl& Control) {
        Control.OnKeyDown = [this](TObject* Sender, int&, TShiftState) {
            Fired(Sender, "keydown");
        };
        Control.OnKeyPress = [this](TObject* Sender, char&) { Fired(Sender, "keypress"); };
        Control.OnEnter = Logger("enter");
        Control.OnExit = Logger("exit");
    }
};

// Every act of the user whose handler frees the control (or its form) must stop at
// that handler: no later handler of the act runs and nothing touches the freed object,
// which the sanitizer build checks.
TEST(FreedSender, NothingRunsAfterTheHandlerThatFreedIt) {
    using TCase = testsupport::TFreeingCase<TFreeingForm>;
    const auto NoSetup = [](TFreeingForm&) {};
    const auto OpenList = [](TFreeingForm& F) { F.Combo->SetDroppedDown(true); };
    const std::vector<TCase> Cases = {
        {.Name = "button OnClick",
         .Setup = NoSetup,
         .Act = [](TFreeingForm& F) { return UserClick(*F.Button); },
         .FreeOn = "Button.click",
         .Victim = "",
         .ExpectedLog = {"Button.mousedown", "Button.mouseup", "Button.click"}},
        {.Name = "button OnMouseDown",
         .Setup = NoSetup,
         .Act = [](TFreeingForm& F) { return UserClick(*F.Button); },
         .FreeOn = "Button.mousedown",
         .Victim = "",
         .ExpectedLog = {"Button.mousedown"}},
        {.Name = "button OnMouseUp",
         .Setup = NoSetup,
         .Act = [](TFreeingForm& F) { return UserClick(*F.Button); },
         .FreeOn = "Button.mouseup",
         .Victim = "",
         .ExpectedLog = {"Button.mousedown", "Button.mouseup"}},
        {.Name = "button OnMouseMove",
         .Setup = NoSetup,
         .Act = [](TFreeingForm& F) { return UserMouseMove(*F.Button, 2, 2); },
         .FreeOn = "Button.mousemove",
         .Victim = "",
         .ExpectedLog = {"Button.mousemove"}},
        {.Name = "edit OnEnter of a click",
         .Setup = NoSetup,
         .Act = [](TFreeingForm& F) { return UserClick(*F.Edit); },
         .FreeOn = "Edit.enter",
         .Victim = "",
         .ExpectedLog = {"Edit.enter"}},
        {.Name = "edit OnKeyDown of Tab",
         .Setup = NoSetup,
         .Act = [](TFreeingForm& F) { return UserKeyDown(*F.Edit, VK_TAB); },
         .FreeOn = "Edit.keydown",
         .Victim = "",
         .ExpectedLog = {"Edit.keydown"}},
        {.Name = "edit OnKeyPress",
         .Setup = NoSetup,
         .Act = [](TFreeingForm& F) { return UserType(*F.Edit, "ab"); },
         .FreeOn = "Edit.keypress",
         .Victim = "",
         .ExpectedLog = {"Edit.keypress"}},
        {.Name = "edit OnChange of typing",
         .Setup = NoSetup,
         .Act = [](TFreeingForm& F) { return UserType(*F.Edit, "ab"); },
         .FreeOn = "Edit.change",
         .Victim = "",
         .ExpectedLog = {"Edit.keypress", "Edit.change"}},
        {.Name = "edit OnChange of pasting",
         .Setup = NoSetup,
         .Act = [](TFreeingForm& F) { return UserEditText(*F.Edit, "pasted"); },
         .FreeOn = "Edit.change",
         .Victim = "",
         .ExpectedLog = {"Edit.change"}},
        {.Name = "combo box OnDropDown",
         .Setup = NoSetup,
         .Act = [](TFreeingForm& F) { return UserOpenList(*F.Combo); },
         .FreeOn = "Combo.dropdown",
         .Victim = "",
         .ExpectedLog = {"Combo.dropdown"}},
        {.Name = "combo box OnDropDown of F4",
         .Setup = NoSetup,
         .Act = [](TFreeingForm& F) { return UserKeyDown(*F.Combo, VK_F4); },
         .FreeOn = "Combo.dropdown",
         .Victim = "",
         .ExpectedLog = {"Combo.keydown", "Combo.dropdown"}},
        {.Name = "combo box OnKeyDown",
         .Setup = NoSetup,
         .Act = [](TFreeingForm& F) { return UserKeyDown(*F.Combo, VK_LEFT); },
         .FreeOn = "Combo.keydown",
         .Victim = "",
         .ExpectedLog = {"Combo.keydown"}},
        {.Name = "combo box OnChange of a picked item",
         .Setup = NoSetup,
         .Act = [](TFreeingForm& F) { return UserSelectItem(*F.Combo, 1); },
         .FreeOn = "Combo.change",
         .Victim = "",
         .ExpectedLog = {"Combo.change"}},
        {.Name = "combo box OnCloseUp of a picked item",
         .Setup = OpenList,
         .Act = [](TFreeingForm& F) { return UserSelectItem(*F.Combo, 1); },
         .FreeOn = "Combo.closeup",
         .Victim = "",
         .ExpectedLog = {"Combo.change", "Combo.closeup"}},
        {.Name = "combo box OnChange of Down in the open list",
         .Setup = OpenList,
         .Act = [](TFreeingForm& F) { return UserKeyDown(*F.Combo, VK_DOWN); },
         .FreeOn = "Combo.change",
         .Victim = "",
         .ExpectedLog = {"Combo.keydown", "Combo.change"}},
        {.Name = "list-only combo box OnChange of a first letter",
         .Setup = [](TFreeingForm& F) { F.Combo->SetStyle(csDropDownList); },
         .Act = [](TFreeingForm& F) { return UserKeyPress(*F.Combo, 'b'); },
         .FreeOn = "Combo.change",
         .Victim = "",
         .ExpectedLog = {"Combo.keypress", "Combo.change"}},
        {.Name = "grid OnKeyDown",
         .Setup = NoSetup,
         .Act = [](TFreeingForm& F) { return UserKeyDown(*F.Grid, VK_DOWN); },
         .FreeOn = "Grid.keydown",
         .Victim = "",
         .ExpectedLog = {"Grid.keydown"}},
        {.Name = "grid OnMouseDown",
         .Setup = NoSetup,
         .Act = [](TFreeingForm& F) { return UserClick(*F.Grid); },
         .FreeOn = "Grid.mousedown",
         .Victim = "",
         .ExpectedLog = {"Grid.enter", "Grid.mousedown"}},
        {.Name = "form freed by OnClick",
         .Setup = NoSetup,
         .Act = [](TFreeingForm& F) { return UserClick(*F.Button); },
         .FreeOn = "Button.click",
         .Victim = "Form",
         .ExpectedLog = {"Button.mousedown", "Button.mouseup", "Button.click"}},
        {.Name = "form freed by OnDropDown",
         .Setup = NoSetup,
         .Act = [](TFreeingForm& F) { return UserOpenList(*F.Combo); },
         .FreeOn = "Combo.dropdown",
         .Victim = "Form",
         .ExpectedLog = {"Combo.dropdown"}},
        {.Name = "form freed by OnExit of the focus leaving",
         .Setup = [](TFreeingForm& F) { F.Edit->SetFocus(); },
         .Act = [](TFreeingForm& F) { return UserSetFocus(*F.Combo); },
         .FreeOn = "Edit.exit",
         .Victim = "Form",
         .ExpectedLog = {"Edit.exit"}},
        {.Name = "focus target freed by OnExit of the focus leaving",
         .Setup = [](TFreeingForm& F) { F.Edit->SetFocus(); },
         .Act = [](TFreeingForm& F) { return UserSetFocus(*F.Combo); },
         .FreeOn = "Edit.exit",
         .Victim = "Combo",
         .ExpectedLog = {"Edit.exit"}},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        TFreeingForm Fixture;
        TErrorCapture Errors;
        Case.Setup(Fixture);
        Fixture.Arm(Case.FreeOn, Case.Victim);

        EXPECT_FALSE(Case.Act(Fixture)) << "the input must report that its control went";

        EXPECT_EQ(Fixture.Log, Case.ExpectedLog);
        EXPECT_TRUE(Errors.Messages.empty());
    }
}

TEST(FreedSender, AControlFreedByItsOwnOnExitStillLetsTheFocusMoveOn) {
    TFreeingForm Fixture;
    Fixture.Edit->SetFocus();
    Fixture.Log.clear();
    Fixture.FreeOn = "Edit.exit";

    EXPECT_TRUE(UserSetFocus(*Fixture.Combo));

    EXPECT_EQ(Fixture.Log, (std::vector<std::string>{"Edit.exit", "Combo.enter"}));
    EXPECT_TRUE(Fixture.Combo->Focused());
}

TEST(FreedSender, AFocusTargetFreedByOnExitLeavesNoControlFocused) {
    TFreeingForm Fixture;
    Fixture.Edit->SetFocus();
    Fixture.FreeOn = "Edit.exit";
    Fixture.Victim = "Combo";

    UserSetFocus(*Fixture.Combo);

    EXPECT_EQ(Fixture.Form->ActiveControl(), nullptr);
    EXPECT_FALSE(Fixture.Edit->Focused());
}

TEST(FreedSender, GuardsLearnOfTheFreeingInAnyOrderOfTheirEnds) {
    auto* Button = new TSpeedButton(nullptr);
    auto Outer = std::make_unique<TAliveGuard>(*Button);
    auto Middle = std::make_unique<TAliveGuard>(*Button);
    {
        const TAliveGuard Inner(*Button);
        Middle.reset(); // leaves the list from its middle
        EXPECT_TRUE(Inner.Alive());
        delete Button;
        EXPECT_FALSE(Inner.Alive());
    }
    EXPECT_FALSE(Outer->Alive());

    TSpeedButton Survivor(nullptr);
    const TAliveGuard Watching(Survivor);
    { const TAliveGuard Gone(Survivor); }
    EXPECT_TRUE(Watching.Alive());
}

} // namespace

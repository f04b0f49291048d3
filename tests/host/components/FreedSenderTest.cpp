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
        {"button OnClick",
         NoSetup,
         [](TFreeingForm& F) { return UserClick(*F.Button); },
         "Button.click",
         "",
         {"Button.mousedown", "Button.mouseup", "Button.click"}},
        {"button OnMouseDown",
         NoSetup,
         [](TFreeingForm& F) { return UserClick(*F.Button); },
         "Button.mousedown",
         "",
         {"Button.mousedown"}},
        {"button OnMouseUp",
         NoSetup,
         [](TFreeingForm& F) { return UserClick(*F.Button); },
         "Button.mouseup",
         "",
         {"Button.mousedown", "Button.mouseup"}},
        {"button OnMouseMove",
         NoSetup,
         [](TFreeingForm& F) { return UserMouseMove(*F.Button, 2, 2); },
         "Button.mousemove",
         "",
         {"Button.mousemove"}},
        {"edit OnEnter of a click",
         NoSetup,
         [](TFreeingForm& F) { return UserClick(*F.Edit); },
         "Edit.enter",
         "",
         {"Edit.enter"}},
        {"edit OnKeyDown of Tab",
         NoSetup,
         [](TFreeingForm& F) { return UserKeyDown(*F.Edit, VK_TAB); },
         "Edit.keydown",
         "",
         {"Edit.keydown"}},
        {"edit OnKeyPress",
         NoSetup,
         [](TFreeingForm& F) { return UserType(*F.Edit, "ab"); },
         "Edit.keypress",
         "",
         {"Edit.keypress"}},
        {"edit OnChange of typing",
         NoSetup,
         [](TFreeingForm& F) { return UserType(*F.Edit, "ab"); },
         "Edit.change",
         "",
         {"Edit.keypress", "Edit.change"}},
        {"edit OnChange of pasting",
         NoSetup,
         [](TFreeingForm& F) { return UserEditText(*F.Edit, "pasted"); },
         "Edit.change",
         "",
         {"Edit.change"}},
        {"combo box OnDropDown",
         NoSetup,
         [](TFreeingForm& F) { return UserOpenList(*F.Combo); },
         "Combo.dropdown",
         "",
         {"Combo.dropdown"}},
        {"combo box OnDropDown of F4",
         NoSetup,
         [](TFreeingForm& F) { return UserKeyDown(*F.Combo, VK_F4); },
         "Combo.dropdown",
         "",
         {"Combo.keydown", "Combo.dropdown"}},
        {"combo box OnKeyDown",
         NoSetup,
         [](TFreeingForm& F) { return UserKeyDown(*F.Combo, VK_LEFT); },
         "Combo.keydown",
         "",
         {"Combo.keydown"}},
        {"combo box OnChange of a picked item",
         NoSetup,
         [](TFreeingForm& F) { return UserSelectItem(*F.Combo, 1); },
         "Combo.change",
         "",
         {"Combo.change"}},
        {"combo box OnCloseUp of a picked item",
         OpenList,
         [](TFreeingForm& F) { return UserSelectItem(*F.Combo, 1); },
         "Combo.closeup",
         "",
         {"Combo.change", "Combo.closeup"}},
        {"combo box OnChange of Down in the open list",
         OpenList,
         [](TFreeingForm& F) { return UserKeyDown(*F.Combo, VK_DOWN); },
         "Combo.change",
         "",
         {"Combo.keydown", "Combo.change"}},
        {"list-only combo box OnChange of a first letter",
         [](TFreeingForm& F) { F.Combo->SetStyle(csDropDownList); },
         [](TFreeingForm& F) { return UserKeyPress(*F.Combo, 'b'); },
         "Combo.change",
         "",
         {"Combo.keypress", "Combo.change"}},
        {"grid OnKeyDown",
         NoSetup,
         [](TFreeingForm& F) { return UserKeyDown(*F.Grid, VK_DOWN); },
         "Grid.keydown",
         "",
         {"Grid.keydown"}},
        {"grid OnMouseDown",
         NoSetup,
         [](TFreeingForm& F) { return UserClick(*F.Grid); },
         "Grid.mousedown",
         "",
         {"Grid.enter", "Grid.mousedown"}},
        {"form freed by OnClick",
         NoSetup,
         [](TFreeingForm& F) { return UserClick(*F.Button); },
         "Button.click",
         "Form",
         {"Button.mousedown", "Button.mouseup", "Button.click"}},
        {"form freed by OnDropDown",
         NoSetup,
         [](TFreeingForm& F) { return UserOpenList(*F.Combo); },
         "Combo.dropdown",
         "Form",
         {"Combo.dropdown"}},
        {"form freed by OnExit of the focus leaving",
         [](TFreeingForm& F) { F.Edit->SetFocus(); },
         [](TFreeingForm& F) { return UserSetFocus(*F.Combo); },
         "Edit.exit",
         "Form",
         {"Edit.exit"}},
        {"focus target freed by OnExit of the focus leaving",
         [](TFreeingForm& F) { F.Edit->SetFocus(); },
         [](TFreeingForm& F) { return UserSetFocus(*F.Combo); },
         "Edit.exit",
         "Combo",
         {"Edit.exit"}},
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

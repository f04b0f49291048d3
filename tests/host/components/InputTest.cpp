#include "host/components/controls/Input.h"
#include "host/components/controls/Button.h"
#include "host/components/controls/ComboBox.h"
#include "host/components/controls/Edit.h"
#include "host/components/controls/Form.h"

#include "tests/host/components/ControlTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace vorn;
using vorn::testing::TErrorCapture;

namespace {

// A form with an edit, a combo box and a button, each of whose handlers raises.
struct TFailingForm {
    TForm Form{nullptr};
    TEdit* Edit = new TEdit(&Form);
    TComboBox* Combo = new TComboBox(&Form);
    TSpeedButton* Button = new TSpeedButton(&Form);

    TFailingForm() {
        Edit->SetParent(&Form);
        Combo->SetParent(&Form);
        Button->SetParent(&Form);
        Combo->Items()->SetText("a\nb\n");
        const auto Fail = [](const char* Message) {
            return [Message](TObject*) { throw Exception(Message); };
        };
        Button->OnClick = Fail("click failed");
        Edit->OnChange = Fail("change failed");
        Edit->OnKeyDown = [](TObject*, int&, TShiftState) { throw Exception("key failed"); };
        Combo->OnDropDown = Fail("dropdown failed");
        Combo->OnClick = Fail("select failed");
        Combo->OnExit = Fail("exit failed");
    }
};

TEST(Input, HandlerErrorsGoToTheErrorHandlerAndTheCallReturns) {
    struct TCase {
        const char* Name;
        std::function<bool(TFailingForm&)> Act;
        std::string ExpectedMessage;
    };
    const std::vector<TCase> Cases = {
        {.Name = "click",
         .Act = [](TFailingForm& F) { return UserClick(*F.Button); },
         .ExpectedMessage = "click failed"},
        {.Name = "typing",
         .Act = [](TFailingForm& F) { return UserType(*F.Edit, "ab"); },
         .ExpectedMessage = "change failed"},
        {.Name = "key",
         .Act = [](TFailingForm& F) { return UserKeyDown(*F.Edit, VK_LEFT); },
         .ExpectedMessage = "key failed"},
        {.Name = "open list",
         .Act = [](TFailingForm& F) { return UserOpenList(*F.Combo); },
         .ExpectedMessage = "dropdown failed"},
        {.Name = "select",
         .Act = [](TFailingForm& F) { return UserSelectItem(*F.Combo, 1); },
         .ExpectedMessage = "select failed"},
        {.Name = "focus",
         .Act =
             [](TFailingForm& F) {
                 F.Combo->SetFocus();
                 return UserSetFocus(*F.Edit);
             },
         .ExpectedMessage = "exit failed"},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        TFailingForm Fixture;
        TErrorCapture Errors;

        EXPECT_FALSE(Case.Act(Fixture));

        EXPECT_EQ(Errors.Messages, std::vector<std::string>{Case.ExpectedMessage});
    }
}

TEST(Input, DirectHandlerCallsLetTheErrorThrough) {
    TFailingForm Fixture;
    TErrorCapture Errors;
    int Key = VK_LEFT;

    EXPECT_THROW(Fixture.Button->Click(), Exception);
    EXPECT_THROW(Fixture.Edit->KeyDown(Key, {}), Exception);
    EXPECT_THROW(Fixture.Combo->DropDown(), Exception);
    EXPECT_TRUE(Errors.Messages.empty());
}

TEST(Input, AFailingSelectionHasAlreadyTakenTheItem) {
    TFailingForm Fixture;
    TErrorCapture Errors;

    UserSelectItem(*Fixture.Combo, 1);

    EXPECT_EQ(Fixture.Combo->Text(), "b");
    EXPECT_FALSE(Fixture.Combo->DroppedDown());
}

TEST(Input, ModifiersOfTheEventAreTheKeyboardState) {
    TForm Form(nullptr);
    auto* Button = new TSpeedButton(&Form);
    Button->SetParent(&Form);
    std::vector<bool> CtrlDown;
    Button->OnClick = [&](TObject*) { CtrlDown.push_back(GetKeyState(VK_CONTROL) < 0); };
    Button->OnMouseMove = [&](TObject*, TShiftState, int, int) {
        CtrlDown.push_back(GetKeyState(VK_CONTROL) < 0);
    };

    UserClick(*Button, {ssCtrl});
    UserMouseMove(*Button, 1, 1);
    UserClick(*Button, {ssCtrl, ssShift});

    EXPECT_EQ(CtrlDown, (std::vector<bool>{true, false, true}));
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    ReleaseAllKeys();
}

TEST(Input, InputForAControlThatCannotReceiveItIsDropped) {
    for (bool Disable : {true, false}) {
        SCOPED_TRACE(Disable ? "disabled parent" : "hidden control");
        TForm Form(nullptr);
        auto* Panel = new TWinControl(&Form);
        auto* Button = new TSpeedButton(&Form);
        Panel->SetParent(&Form);
        Button->SetParent(Panel);
        int Clicks = 0;
        Button->OnClick = [&](TObject*) { ++Clicks; };
        if (Disable)
            Panel->SetEnabled(false);
        else
            Button->Hide();

        EXPECT_FALSE(UserClick(*Button));
        EXPECT_EQ(Clicks, 0);
    }
}

TEST(Input, ClickFocusesAWindowControlBeforeItsHandlersRun) {
    TForm Form(nullptr);
    auto* First = new TEdit(&Form);
    auto* Second = new TEdit(&Form);
    First->SetParent(&Form);
    Second->SetParent(&Form);
    First->SetFocus();
    bool FocusedAtClick = false;
    Second->OnClick = [&](TObject*) { FocusedAtClick = Second->Focused(); };

    EXPECT_TRUE(UserClick(*Second));
    EXPECT_TRUE(FocusedAtClick);

    UserKeyDown(*Second, VK_TAB);
    EXPECT_TRUE(First->Focused());
    UserKeyDown(*First, VK_TAB, {ssShift});
    EXPECT_TRUE(Second->Focused());
}

TEST(Input, TheErrorHandlerItselfCannotEndTheProgram) {
    TSpeedButton Button(nullptr);
    Button.OnClick = [](TObject*) { throw Exception("first"); };
    const auto Previous = SetApplicationErrorHandler(
        [](const std::exception&) { throw std::runtime_error("handler broke"); });

    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(UserClick(Button));
    const std::string Printed = ::testing::internal::GetCapturedStderr();
    SetApplicationErrorHandler(Previous);

    EXPECT_NE(Printed.find("first"), std::string::npos);
    EXPECT_NE(Printed.find("handler broke"), std::string::npos);
}

TEST(Input, TheDefaultHandlerPrintsTheMessage) {
    const auto Previous = SetApplicationErrorHandler(nullptr);
    TSpeedButton Button(nullptr);
    Button.OnClick = [](TObject*) { throw Exception("TDBSortComboBox.Sort() rejected"); };

    ::testing::internal::CaptureStderr();
    UserClick(Button);
    const std::string Printed = ::testing::internal::GetCapturedStderr();
    SetApplicationErrorHandler(Previous);

    EXPECT_EQ(Printed, "TDBSortComboBox.Sort() rejected\n");
}

} // namespace

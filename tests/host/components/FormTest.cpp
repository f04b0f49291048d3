#include "host/components/controls/Form.h"
#include "host/components/controls/Edit.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace vorn;

namespace {

// An edit box that logs its focus events and its destruction.
class TLoggingEdit : public TEdit {
public:
    TLoggingEdit(TComponent* AOwner, std::string Label, std::vector<std::string>& Log)
        : TEdit(AOwner), FLabel(std::move(Label)), FLog(Log) {}
    ~TLoggingEdit() override {
        FLog.push_back("free " + FLabel + (Parent() != nullptr ? " in parent" : " alone"));
    }
    void DoEnter() override {
        FLog.push_back("enter " + FLabel);
        TEdit::DoEnter();
    }
    void DoExit() override {
        FLog.push_back("exit " + FLabel);
        TEdit::DoExit();
    }

private:
    std::string FLabel;
    std::vector<std::string>& FLog;
};

struct TFormWithEdits {
    std::vector<std::string> Log;
    std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
    TWinControl* Panel = new TWinControl(Form.get());
    TLoggingEdit* A = new TLoggingEdit(Form.get(), "A", Log);
    TLoggingEdit* B = new TLoggingEdit(Form.get(), "B", Log);

    TFormWithEdits() {
        Panel->SetParent(Form.get());
        A->SetParent(Panel);
        B->SetParent(Form.get());
    }
};

TEST(Form, FreeingTheFormFreesItsComponentsLastCreatedFirstInsideTheirParents) {
    TFormWithEdits Fixture;
    auto* Late = new TLoggingEdit(Fixture.Form.get(), "Late", Fixture.Log);
    auto* LatePanel = new TWinControl(Fixture.Form.get());
    Late->SetParent(Fixture.Panel);
    LatePanel->SetParent(Fixture.Form.get());
    Fixture.A->SetParent(LatePanel);
    Fixture.A->SetFocus();
    Fixture.Log.clear();

    Fixture.Form.reset();

    // No exit events on the way out; A's parent, created after it, went before it.
    EXPECT_EQ(Fixture.Log, (std::vector<std::string>{"free Late in parent", "free B in parent",
                                                     "free A alone"}));
}

TEST(Form, AControlOwnedElsewhereSurvivesItsParentForm) {
    std::vector<std::string> Log;
    auto Outsider = std::make_unique<TLoggingEdit>(nullptr, "Outsider", Log);
    {
        TForm Form(nullptr);
        Outsider->SetParent(&Form);
        Outsider->SetFocus();
    }
    EXPECT_EQ(Outsider->Parent(), nullptr);
    EXPECT_FALSE(Outsider->Focused());
}

TEST(Form, SetFocusMovesTheOneFocusExitingTheOldControlFirst) {
    TFormWithEdits Fixture;
    TForm& Form = *Fixture.Form;

    Fixture.A->SetFocus();
    Fixture.B->SetFocus();
    Fixture.B->SetFocus();

    EXPECT_EQ(Fixture.Log, (std::vector<std::string>{"enter A", "exit A", "enter B"}));
    EXPECT_EQ(Form.ActiveControl(), Fixture.B);
    EXPECT_TRUE(Fixture.B->Focused());
    EXPECT_FALSE(Fixture.A->Focused());

    Form.SetActiveControl(nullptr);
    EXPECT_EQ(Form.ActiveControl(), nullptr);
    EXPECT_EQ(Fixture.Log.back(), "exit B");
}

TEST(Form, AnExceptionInOnExitKeepsTheFocusWhereItWas) {
    TFormWithEdits Fixture;
    Fixture.A->SetFocus();
    Fixture.A->OnExit = [](TObject*) { throw Exception("Value required"); };

    EXPECT_THROW(Fixture.B->SetFocus(), Exception);

    EXPECT_TRUE(Fixture.A->Focused());
    EXPECT_EQ(Fixture.Log.back(), "exit A");
}

TEST(Form, HidingOrDisablingTheFocusedControlTakesTheFocusAway) {
    for (bool Hide : {true, false}) {
        SCOPED_TRACE(Hide ? "hide" : "disable");
        TFormWithEdits Fixture;
        Fixture.A->SetFocus();

        if (Hide)
            Fixture.Panel->Hide();
        else
            Fixture.Panel->SetEnabled(false);

        EXPECT_EQ(Fixture.Form->ActiveControl(), nullptr);
        EXPECT_EQ(Fixture.Log.back(), "exit A");
        EXPECT_FALSE(Fixture.A->CanFocus());
        EXPECT_THROW(Fixture.A->SetFocus(), EInvalidOperation);
        EXPECT_EQ(Fixture.Form->ActiveControl(), nullptr);
    }
}

TEST(Form, EachFormKeepsItsOwnFocus) {
    TFormWithEdits First;
    TFormWithEdits Second;
    First.A->SetFocus();
    Second.B->SetFocus();

    EXPECT_TRUE(First.A->Focused());
    EXPECT_TRUE(Second.B->Focused());

    // Within one form the focus moves along with the control.
    First.A->SetParent(First.Form.get());
    EXPECT_TRUE(First.A->Focused());

    // Moving a focused control to another form drops the old form's focus quietly.
    First.A->SetParent(Second.Form.get());
    EXPECT_EQ(First.Form->ActiveControl(), nullptr);
    EXPECT_EQ(Second.Form->ActiveControl(), Second.B);
    EXPECT_EQ(GetParentForm(First.A), Second.Form.get());
    EXPECT_THROW(First.Form->SetActiveControl(First.A), EInvalidOperation);
}

TEST(Form, FreeingTheFocusedControlClearsTheFocus) {
    TFormWithEdits Fixture;
    Fixture.B->SetFocus();

    delete Fixture.B;

    EXPECT_EQ(Fixture.Form->ActiveControl(), nullptr);
    Fixture.A->SetFocus();
    EXPECT_EQ(Fixture.Log.back(), "enter A");
}

TEST(Form, AHiddenFormKeepsTrackOfItsFocus) {
    TFormWithEdits Fixture;
    EXPECT_FALSE(Fixture.Form->Visible());

    Fixture.A->SetFocus();
    Fixture.Form->Show();

    EXPECT_EQ(Fixture.Form->ActiveControl(), Fixture.A);
}

TEST(Form, AWindowControlWithoutFormKeepsTheFocusOfItsOwnChildren) {
    TWinControl Grid(nullptr);
    TEdit Editor(nullptr);
    Editor.SetParent(&Grid);

    Editor.SetFocus();
    EXPECT_TRUE(Editor.Focused());
    Grid.SetFocus();
    EXPECT_TRUE(Grid.Focused());
    EXPECT_FALSE(Editor.Focused());
    EXPECT_EQ(GetParentForm(&Editor), nullptr);
}

} // namespace

#include "host/components/controls/ComboBox.h"
#include "host/components/controls/Edit.h"
#include "tests/host/qt/QtPeerTestFixture.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>

#include <functional>
#include <string>
#include <vector>

namespace vorn::qttest {

namespace {

// An edit or an editable combo box holding "ab" with the caret after "a", and "Smith" on
// the clipboard.
class ClipboardKeysTest : public QtPeerTest {
protected:
    struct TTarget {
        const char* Name;
        QWidget* Widget;  // where the window system delivers the keys
        QLineEdit* Typed; // the line edit that shows the text
        std::function<std::string()> Text;
        std::function<int()> SelStart;
    };

    // An edit and a combo box on a form of their own, shown.
    std::vector<TTarget> TargetsOnANewForm() {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, 480, 320);
        Form->Show();
        auto* Edit = Add<TEdit>(8, 8, 120, 24);
        auto* Combo = Add<TComboBox>(8, 40, 120, 24);
        std::vector<std::string>* Log = &Changes;
        Edit->OnChange = [Edit, Log](TObject*) { Log->push_back(Edit->Text()); };
        Combo->OnChange = [Combo, Log](TObject*) { Log->push_back(Combo->Text()); };
        Realize();
        Edit->SetText("ab");
        Edit->SetSelStart(1);
        Combo->SetText("ab");
        Combo->SetSelStart(1);
        Changes.clear();
        auto& ComboWidget = WidgetOf<QComboBox>(*Combo);
        return {{.Name = "edit",
                 .Widget = &WidgetOf<QLineEdit>(*Edit),
                 .Typed = &WidgetOf<QLineEdit>(*Edit),
                 .Text = [Edit] { return Edit->Text(); },
                 .SelStart = [Edit] { return Edit->SelStart(); }},
                {.Name = "combo box",
                 .Widget = &ComboWidget,
                 .Typed = ComboWidget.lineEdit(),
                 .Text = [Combo] { return Combo->Text(); },
                 .SelStart = [Combo] { return Combo->SelStart(); }}};
    }

    // A shortcut as the window system delivers it: the key with Ctrl held, its text the
    // control character that some platforms report.
    static void SendShortcut(QWidget& Widget, Qt::Key Key) {
        SendKey(Widget, Key, QString(QChar(Key - Qt::Key_A + 1)), Qt::ControlModifier);
    }

    std::vector<std::string> Changes;
};

// The clipboard and undo shortcuts work in the line edits, and the model sees the text
// they change as it sees typing: Text follows, OnChange fires once per change, the caret
// stays where the line edit left it; Select All selects in the model, so that typing
// replaces the whole text.
TEST_F(ClipboardKeysTest, ClipboardAndUndoShortcutsEditTheModelAsTypingDoes) {
    struct TCase {
        const char* Name;
        std::vector<Qt::Key> Shortcuts;
        const char* TypedAfter;
        std::string ExpectedText;
        std::vector<std::string> ExpectedChanges; // the model's Text at each OnChange
        int ExpectedSelStart;
        const char* ExpectedClipboard;
    };
    const std::vector<TCase> Cases = {
        {.Name = "paste",
         .Shortcuts = {Qt::Key_V},
         .TypedAfter = "",
         .ExpectedText = "aSmithb",
         .ExpectedChanges = {"aSmithb"},
         .ExpectedSelStart = 6,
         .ExpectedClipboard = "Smith"},
        {.Name = "paste, undo",
         .Shortcuts = {Qt::Key_V, Qt::Key_Z},
         .TypedAfter = "",
         .ExpectedText = "ab",
         .ExpectedChanges = {"aSmithb", "ab"},
         .ExpectedSelStart = 1,
         .ExpectedClipboard = "Smith"},
        {.Name = "select all, type",
         .Shortcuts = {Qt::Key_A},
         .TypedAfter = "x",
         .ExpectedText = "x",
         .ExpectedChanges = {"x"},
         .ExpectedSelStart = 1,
         .ExpectedClipboard = "Smith"},
        {.Name = "select all, cut",
         .Shortcuts = {Qt::Key_A, Qt::Key_X},
         .TypedAfter = "",
         .ExpectedText = "",
         .ExpectedChanges = {""},
         .ExpectedSelStart = 0,
         .ExpectedClipboard = "ab"},
        {.Name = "select all, copy",
         .Shortcuts = {Qt::Key_A, Qt::Key_C},
         .TypedAfter = "",
         .ExpectedText = "ab",
         .ExpectedChanges = {},
         .ExpectedSelStart = 0,
         .ExpectedClipboard = "ab"},
    };
    for (const TCase& Case : Cases) {
        for (const TTarget& Target : TargetsOnANewForm()) {
            SCOPED_TRACE(std::string(Case.Name) + " in the " + Target.Name);
            QApplication::clipboard()->setText("Smith");
            Changes.clear();

            for (const Qt::Key Shortcut : Case.Shortcuts)
                SendShortcut(*Target.Widget, Shortcut);
            SendText(*Target.Widget, Case.TypedAfter);

            EXPECT_EQ(Target.Text(), Case.ExpectedText);
            EXPECT_EQ(Changes, Case.ExpectedChanges);
            EXPECT_EQ(Target.SelStart(), Case.ExpectedSelStart);
            EXPECT_EQ(Target.Typed->text().toStdString(), Case.ExpectedText);
            EXPECT_EQ(QApplication::clipboard()->text().toStdString(), Case.ExpectedClipboard);
        }
    }
}

// A read-only edit takes no paste: the line edit refuses it, and the model keeps its text
// without an error.
TEST_F(ClipboardKeysTest, AReadOnlyEditTakesNoPaste) {
    auto* Edit = Add<TEdit>(8, 8, 120, 24);
    Edit->SetText("kept");
    Edit->SetReadOnly(true);
    Edit->OnChange = [this](TObject*) { Changes.push_back("change"); };
    Realize();
    QApplication::clipboard()->setText("Smith");

    SendShortcut(WidgetOf<QLineEdit>(*Edit), Qt::Key_V);

    EXPECT_EQ(Edit->Text(), "kept");
    EXPECT_TRUE(Changes.empty());
    EXPECT_TRUE(ErrorBoxTexts().empty());
}

// Characters of more than one byte, typed or pasted, reach the model whole; the model's
// positions count characters while the line edit's count UTF-16 units, and each side
// shows the other's caret in its own units.
TEST_F(ClipboardKeysTest, MultiByteCharactersReachTheModelWholeAndTheCaretsAgree) {
    const QString Wang = QString::fromUtf16(u"\u738B");
    const QString SCaron = QString::fromUtf16(u"\u0161");
    const QString Smile = QString::fromUtf16(u"\U0001F600");
    struct TCase {
        const char* Name;
        std::function<void(QWidget&)> Act;
        QString ExpectedText;
        int ExpectedSelStart; // characters
        int ExpectedCursor;   // UTF-16 units
        std::size_t ExpectedChanges;
    };
    const std::vector<TCase> Cases = {
        {.Name = "type 王",
         .Act = [&](QWidget& W) { SendText(W, Wang); },
         .ExpectedText = "a" + Wang + "b",
         .ExpectedSelStart = 2,
         .ExpectedCursor = 2,
         .ExpectedChanges = 1},
        {.Name = "type š and an emoji",
         .Act = [&](QWidget& W) { SendText(W, SCaron + Smile); },
         .ExpectedText = "a" + SCaron + Smile + "b",
         .ExpectedSelStart = 3,
         .ExpectedCursor = 4,
         .ExpectedChanges = 2},
        {.Name = "type an emoji, step left, type š",
         .Act =
             [&](QWidget& W) {
                 SendText(W, Smile);
                 SendKey(W, Qt::Key_Left, QString());
                 SendText(W, SCaron);
             },
         .ExpectedText = "a" + SCaron + Smile + "b",
         .ExpectedSelStart = 2,
         .ExpectedCursor = 2,
         .ExpectedChanges = 2},
        {.Name = "type an emoji, backspace",
         .Act =
             [&](QWidget& W) {
                 SendText(W, Smile);
                 SendKey(W, Qt::Key_Backspace, "\b");
             },
         .ExpectedText = "ab",
         .ExpectedSelStart = 1,
         .ExpectedCursor = 1,
         .ExpectedChanges = 2},
        {.Name = "paste an emoji and 王",
         .Act =
             [&](QWidget& W) {
                 QApplication::clipboard()->setText(Smile + Wang);
                 SendShortcut(W, Qt::Key_V);
             },
         .ExpectedText = "a" + Smile + Wang + "b",
         .ExpectedSelStart = 3,
         .ExpectedCursor = 4,
         .ExpectedChanges = 1},
    };
    for (const TCase& Case : Cases) {
        for (const TTarget& Target : TargetsOnANewForm()) {
            SCOPED_TRACE(std::string(Case.Name) + " in the " + Target.Name);
            Changes.clear();

            Case.Act(*Target.Widget);

            EXPECT_EQ(Target.Text(), Case.ExpectedText.toStdString());
            EXPECT_EQ(Target.SelStart(), Case.ExpectedSelStart);
            EXPECT_EQ(Target.Typed->text(), Case.ExpectedText);
            EXPECT_EQ(Target.Typed->cursorPosition(), Case.ExpectedCursor);
            EXPECT_EQ(Changes.size(), Case.ExpectedChanges);
        }
    }
}

} // namespace

} // namespace vorn::qttest

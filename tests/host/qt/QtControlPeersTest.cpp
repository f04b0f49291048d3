#include "host/components/controls/Button.h"
#include "host/components/controls/ComboBox.h"
#include "host/components/controls/Edit.h"
#include "host/components/controls/Keyboard.h"
#include "host/components/controls/Label.h"
#include "tests/host/qt/QtPeerTestFixture.h"
#include "tests/support/CodePageGuard.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QPointer>
#include <QShortcut>
#include <QToolButton>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace vorn::qttest {

namespace {

using EditPeerTest = QtPeerTest;

TEST_F(EditPeerTest, TypingCallsChangeOncePerCharacterAndTheWidgetShowsTheModel) {
    auto* Edit = Add<TEdit>(8, 8, 120, 24);
    std::vector<std::string> Changes;
    Edit->OnChange = [&](TObject*) { Changes.push_back(Edit->Text()); };
    Realize();
    auto& LineEdit = WidgetOf<QLineEdit>(*Edit);

    SendText(LineEdit, "ab");
    SendKey(LineEdit, Qt::Key_Backspace, "\b");

    EXPECT_EQ(Changes, (std::vector<std::string>{"a", "ab", "a"}));
    EXPECT_EQ(LineEdit.text(), "a");
    EXPECT_EQ(LineEdit.cursorPosition(), 1);
}

TEST_F(EditPeerTest, TextThatTheWidgetChangesByItselfReachesTheModelAsTheUsersText) {
    // The texts of this test are written in Windows-1250.
    const vorn::test::TCodePageGuard CodePage(cpWindows1250);
    auto* Edit = Add<TEdit>(8, 8, 120, 24);
    int Changes = 0;
    Edit->OnChange = [&](TObject*) { ++Changes; };
    Realize();
    auto& LineEdit = WidgetOf<QLineEdit>(*Edit);

    // A paste: the line edit changes its own text and reports it as edited.
    LineEdit.insert(QString::fromUtf16(u"\u010Dup"));

    EXPECT_EQ(Edit->Text(), "\xE8up");
    EXPECT_EQ(Changes, 1);
    // Code writing the model does not echo back as user input.
    Edit->SetText("set by code");
    EXPECT_EQ(LineEdit.text(), "set by code");
    EXPECT_EQ(Changes, 2);
}

TEST_F(EditPeerTest, ReadOnlyEditRefusesPastedTextWithAnErrorAndKeepsItsText) {
    auto* Edit = Add<TEdit>(8, 8, 120, 24);
    Edit->SetText("kept");
    Edit->SetReadOnly(true);
    Realize();
    auto& LineEdit = WidgetOf<QLineEdit>(*Edit);

    emit LineEdit.textEdited("replaced");

    EXPECT_EQ(Edit->Text(), "kept");
    EXPECT_EQ(ErrorBoxTexts().size(), 1);
}

// Windows-1250 texts show as the Unicode characters they stand for, in every kind of
// widget, and typed Unicode characters reach the model as Windows-1250 bytes.
TEST_F(QtPeerTest, Windows1250TextsShowAsTheirUnicodeCharacters) {
    // The texts of this test are written in Windows-1250.
    const vorn::test::TCodePageGuard CodePage(cpWindows1250);
    const std::string Host = "\x8A\x9A\x8E\x9E\xC8\xE8\xC6\xE6\xD0\xF0";
    const QString Unicode = QString::fromUtf16(u"\u0160\u0161\u017D\u017E\u010C\u010D\u0106"
                                               u"\u0107\u0110\u0111");
    Form->SetCaption(Host);
    auto* Edit = Add<TEdit>(8, 8, 120, 24);
    Edit->SetText(Host);
    auto* Combo = Add<TComboBox>(8, 40, 120, 24);
    Combo->Items()->Add(Host);
    auto* Button = Add<TSpeedButton>(8, 72, 120, 24);
    Button->SetCaption(Host);
    Realize();

    EXPECT_EQ(TQtWidgetSet::WidgetOf(*Form)->windowTitle(), Unicode);
    EXPECT_EQ(WidgetOf<QLineEdit>(*Edit).text(), Unicode);
    EXPECT_EQ(WidgetOf<QComboBox>(*Combo).itemText(0), Unicode);
    EXPECT_EQ(WidgetOf<QToolButton>(*Button).text(), Unicode);

    Edit->SetText("");
    SendText(WidgetOf<QLineEdit>(*Edit), Unicode);
    EXPECT_EQ(Edit->Text(), Host);
}

TEST_F(QtPeerTest, KeysReachTheModelAsVirtualKeysWithTheirShiftState) {
    auto* Edit = Add<TEdit>(8, 8, 120, 24);
    struct TSeen {
        int Key;
        TShiftState Shift;
        bool ShiftKeyDown;
        bool ControlKeyDown;
    };
    std::vector<TSeen> Seen;
    Edit->OnKeyDown = [&](TObject*, int& Key, TShiftState Shift) {
        Seen.push_back({Key, Shift, GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0});
    };
    Realize();
    auto& LineEdit = WidgetOf<QLineEdit>(*Edit);

    struct TCase {
        int QtKey;
        Qt::KeyboardModifiers Modifiers;
        int VirtualKey;
        TShiftState Shift;
    };
    const std::vector<TCase> Cases = {
        {.QtKey = Qt::Key_A, .Modifiers = Qt::ShiftModifier, .VirtualKey = 'A', .Shift = {ssShift}},
        {.QtKey = Qt::Key_7, .Modifiers = Qt::NoModifier, .VirtualKey = '7', .Shift = {}},
        {.QtKey = Qt::Key_Home,
         .Modifiers = Qt::ControlModifier,
         .VirtualKey = VK_HOME,
         .Shift = {ssCtrl}},
        {.QtKey = Qt::Key_F4, .Modifiers = Qt::AltModifier, .VirtualKey = VK_F4, .Shift = {ssAlt}},
        {.QtKey = Qt::Key_Down,
         .Modifiers = Qt::ShiftModifier | Qt::ControlModifier,
         .VirtualKey = VK_DOWN,
         .Shift = {ssShift, ssCtrl}},
        {.QtKey = Qt::Key_Delete,
         .Modifiers = Qt::NoModifier,
         .VirtualKey = VK_DELETE,
         .Shift = {}},
        {.QtKey = Qt::Key_Return,
         .Modifiers = Qt::NoModifier,
         .VirtualKey = VK_RETURN,
         .Shift = {}},
        {.QtKey = Qt::Key_Escape,
         .Modifiers = Qt::NoModifier,
         .VirtualKey = VK_ESCAPE,
         .Shift = {}},
        {.QtKey = Qt::Key_PageDown,
         .Modifiers = Qt::NoModifier,
         .VirtualKey = VK_NEXT,
         .Shift = {}},
    };
    for (const TCase& Case : Cases) {
        Seen.clear();
        SendKey(LineEdit, Case.QtKey, QString(), Case.Modifiers);
        ASSERT_EQ(Seen.size(), 1u) << Case.QtKey;
        EXPECT_EQ(Seen[0].Key, Case.VirtualKey) << Case.QtKey;
        EXPECT_EQ(Seen[0].Shift, Case.Shift) << Case.QtKey;
        // The keyboard state follows the event's modifiers, not key events of their own.
        EXPECT_EQ(Seen[0].ShiftKeyDown, Case.Shift.Contains(ssShift)) << Case.QtKey;
        EXPECT_EQ(Seen[0].ControlKeyDown, Case.Shift.Contains(ssCtrl)) << Case.QtKey;
    }
}

TEST_F(QtPeerTest, AnErrorInAHandlerIsShownAndTheApplicationGoesOn) {
    auto* Edit = Add<TEdit>(8, 8, 120, 24);
    int Changes = 0;
    Edit->OnChange = [&](TObject*) {
        if (++Changes == 1)
            throw Exception("The first change is refused");
    };
    Realize();
    auto& LineEdit = WidgetOf<QLineEdit>(*Edit);

    SendText(LineEdit, "x");
    EXPECT_EQ(ErrorBoxTexts(), QStringList{"The first change is refused"});

    SendText(LineEdit, "y");
    EXPECT_EQ(Changes, 2);
    EXPECT_EQ(ErrorBoxTexts().size(), 1);
}

using ComboBoxPeerTest = QtPeerTest;

TEST_F(ComboBoxPeerTest, OpeningTheListCallsDropDownFirstAndShowsTheItemsItFilled) {
    // The texts of this test are written in Windows-1250.
    const vorn::test::TCodePageGuard CodePage(cpWindows1250);
    auto* Combo = Add<TComboBox>(8, 8, 160, 24);
    Combo->Items()->Add("stale");
    std::vector<std::string> Calls;
    Combo->OnDropDown = [&](TObject*) {
        Calls.push_back("DropDown");
        Combo->Items()->Clear();
        for (const char* Item : {"Beograd", "Ni\x9A", "Novi Sad"})
            Combo->Items()->Add(Item);
    };
    Combo->OnCloseUp = [&](TObject*) { Calls.push_back("CloseUp"); };
    Combo->OnClick = [&](TObject*) { Calls.push_back("Click " + Combo->Text()); };
    Realize();
    auto& Widget = WidgetOf<QComboBox>(*Combo);

    Widget.showPopup();

    EXPECT_EQ(Calls, std::vector<std::string>{"DropDown"});
    EXPECT_TRUE(Combo->DroppedDown());
    ASSERT_EQ(Widget.count(), 3);
    EXPECT_EQ(Widget.itemText(1), QString::fromUtf16(u"Ni\u0161"));
    EXPECT_TRUE(Widget.view()->isVisible());

    emit Widget.activated(2);

    EXPECT_EQ(Combo->ItemIndex(), 2);
    EXPECT_EQ(Combo->Text(), "Novi Sad");
    EXPECT_FALSE(Combo->DroppedDown());
    EXPECT_EQ(Calls, (std::vector<std::string>{"DropDown", "CloseUp", "Click Novi Sad"}));
    EXPECT_EQ(Widget.currentText(), "Novi Sad");
}

// A list-only combo box has no line edit: a typed character of more than one byte picks
// the next item that starts with it, as a one-byte letter does.
TEST_F(ComboBoxPeerTest, AListOnlyComboBoxPicksItemsByTypedMultiByteCharacters) {
    auto* Combo = Add<TComboBox>(8, 8, 160, 24);
    Combo->SetStyle(csDropDownList);
    Combo->Items()->SetText("sit\n\xC5\xA1"
                            "e\n\xE7\x8E\x8B"
                            "x\n");
    std::vector<std::string> Clicks;
    Combo->OnClick = [&](TObject*) { Clicks.push_back(Combo->Text()); };
    Realize();
    auto& Widget = WidgetOf<QComboBox>(*Combo);

    SendText(Widget, QString::fromUtf16(u"\u738B\u0161"));

    EXPECT_EQ(Clicks, (std::vector<std::string>{"\xE7\x8E\x8B"
                                                "x",
                                                "\xC5\xA1"
                                                "e"}));
    EXPECT_EQ(Widget.currentIndex(), 1);
}

TEST_F(ComboBoxPeerTest, AListWhoseDropDownRaisesStaysClosedOnScreen) {
    auto* Combo = Add<TComboBox>(8, 8, 160, 24);
    Combo->Items()->Add("one");
    Combo->OnDropDown = [](TObject*) { throw Exception("No list today"); };
    Realize();
    auto& Widget = WidgetOf<QComboBox>(*Combo);

    Widget.showPopup();

    EXPECT_FALSE(Combo->DroppedDown());
    EXPECT_FALSE(Widget.view()->isVisible());
    EXPECT_EQ(ErrorBoxTexts(), QStringList{"No list today"});
}

TEST_F(ComboBoxPeerTest, ClosingTheListOnScreenClosesItInTheModel) {
    auto* Combo = Add<TComboBox>(8, 8, 160, 24);
    Combo->Items()->Add("one");
    int CloseUps = 0;
    Combo->OnCloseUp = [&](TObject*) { ++CloseUps; };
    Realize();
    auto& Widget = WidgetOf<QComboBox>(*Combo);

    Combo->SetDroppedDown(true);
    EXPECT_TRUE(Widget.view()->isVisible());
    Widget.hidePopup();

    EXPECT_FALSE(Combo->DroppedDown());
    EXPECT_FALSE(Widget.view()->isVisible());
    EXPECT_EQ(CloseUps, 1);
}

TEST_F(QtPeerTest, SpeedButtonShowsItsGlyphAndItsClickIsOneWholeClick) {
    auto* Button = Add<TSpeedButton>(8, 8, 32, 32);
    TBitmap Glyph;
    Glyph.SetSize(2, 1);
    Glyph.SetPixel(0, 0, clRed);
    Glyph.SetPixel(1, 0, clBlue);
    Button->SetGlyph(&Glyph);
    std::vector<std::string> Calls;
    Button->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) {
        Calls.push_back("down");
    };
    Button->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) {
        Calls.push_back("up");
    };
    Button->OnClick = [&](TObject*) { Calls.push_back("click"); };
    Realize();
    auto& Widget = WidgetOf<QToolButton>(*Button);

    // The glyph's colours arrive unswapped: TColor is blue-green-red, the pixmap RGB.
    const QImage Icon = Widget.icon().pixmap(QSize(2, 1)).toImage();
    ASSERT_EQ(Icon.size(), QSize(2, 1));
    EXPECT_EQ(Icon.pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(Icon.pixelColor(1, 0), QColor(Qt::blue));

    SendClick(Widget, QPoint(16, 16));
    EXPECT_EQ(Calls, (std::vector<std::string>{"down", "up", "click"}));

    Button->SetGlyph(nullptr);
    EXPECT_TRUE(Widget.icon().isNull());
}

TEST_F(QtPeerTest, ModelChangesMirrorIntoTheWidgets) {
    auto* Edit = Add<TEdit>(8, 8, 120, 24);
    Realize();
    QWidget& Widget = WidgetOf<QLineEdit>(*Edit);

    Edit->SetBounds(20, 30, 140, 26);
    Edit->SetColor(RGB(0x10, 0x20, 0x30));
    Edit->Font()->SetColor(clRed);
    Edit->Font()->SetStyle({fsBold, fsItalic});
    Edit->Font()->SetSize(13);
    Edit->SetEnabled(false);

    EXPECT_EQ(Widget.geometry(), QRect(20, 30, 140, 26));
    EXPECT_EQ(Widget.palette().color(QPalette::Base), QColor(0x10, 0x20, 0x30));
    EXPECT_EQ(Widget.palette().color(QPalette::Text), QColor(0xFF, 0, 0));
    EXPECT_TRUE(Widget.font().bold());
    EXPECT_TRUE(Widget.font().italic());
    EXPECT_EQ(Widget.font().pointSize(), 13);
    EXPECT_FALSE(Widget.isEnabled());

    Edit->Hide();
    EXPECT_FALSE(Widget.isVisible());
    Edit->Show();
    Edit->SetParent(nullptr);
    EXPECT_EQ(Widget.parentWidget(), nullptr);
    EXPECT_FALSE(Widget.isVisible());
}

TEST_F(QtPeerTest, WidgetsResizedOutsideTheModelMoveTheControlsAndTheLayoutFollows) {
    auto* Edit = Add<TEdit>(8, 8, 200, 24);
    Edit->SetAnchors({akLeft, akTop, akRight});
    auto* Other = Add<TEdit>(8, 40, 100, 24);
    Realize();
    QWidget& Window = *TQtWidgetSet::WidgetOf(*Form);
    QWidget& EditWidget = WidgetOf<QLineEdit>(*Edit);

    // The user makes the window larger: the form follows in size, where it is stays the
    // model's, and the anchored edit stretches on screen too.
    Window.resize(680, 420);
    EXPECT_EQ(Form->BoundsRect(), (TRect{0, 0, 680, 420}));
    EXPECT_EQ(Edit->BoundsRect(), (TRect{8, 8, 408, 32}));
    EXPECT_EQ(EditWidget.geometry(), QRect(8, 8, 400, 24));

    // Something else places a widget: its control takes the place.
    WidgetOf<QLineEdit>(*Other).setGeometry(12, 50, 150, 30);
    EXPECT_EQ(Other->BoundsRect(), (TRect{12, 50, 162, 80}));

    // The model's own change reaches the widget once and comes back as nothing.
    Edit->SetBounds(20, 30, 140, 26);
    EXPECT_EQ(EditWidget.geometry(), QRect(20, 30, 140, 26));
    EXPECT_EQ(Edit->BoundsRect(), (TRect{20, 30, 160, 56}));
    Window.resize(700, 420);
    EXPECT_EQ(Edit->BoundsRect(), (TRect{20, 30, 180, 56}));
}

TEST_F(QtPeerTest, AFormAsTheCentralWidgetOfAMainWindowFollowsIt) {
    auto* Edit = Add<TEdit>(8, 8, 200, 24);
    Edit->SetAlign(alClient);
    Realize();
    QWidget& FormWidget = *TQtWidgetSet::WidgetOf(*Form);
    QMainWindow Window;
    Window.setCentralWidget(&FormWidget);
    Window.resize(640, 360);
    Window.show();
    QApplication::processEvents();

    EXPECT_EQ(Form->BoundsRect(),
              (TRect{FormWidget.x(), FormWidget.y(), FormWidget.x() + 640, FormWidget.y() + 360}));
    EXPECT_EQ(WidgetOf<QLineEdit>(*Edit).size(), QSize(640, 360));

    // The form's window goes back to the form before the main window frees it.
    Window.takeCentralWidget();
    FormWidget.setParent(nullptr);
}

TEST_F(QtPeerTest, ALabelShowsItsCaptionAndItsMnemonicFocusesItsControl) {
    auto* Edit = Add<TEdit>(60, 8, 120, 24);
    Edit->SetTabStop(true);
    auto* Label = Add<TLabel>(8, 8, 50, 24);
    Label->SetCaption("&Find && <b>go</b>:");
    Realize();
    auto& Widget = WidgetOf<QLabel>(*Label);
    auto* Shortcut = Widget.findChild<QShortcut*>();
    ASSERT_NE(Shortcut, nullptr);
    EXPECT_EQ(Widget.text(), "Find & <b>go</b>:");
    EXPECT_EQ(Widget.textFormat(), Qt::PlainText);
    EXPECT_EQ(Shortcut->key(), QKeySequence(Qt::ALT | Qt::Key_F));
    EXPECT_FALSE(Shortcut->isEnabled()); // nothing to focus yet

    Label->SetFocusControl(Edit);
    ASSERT_TRUE(Shortcut->isEnabled());
    emit Shortcut->activated();
    EXPECT_TRUE(Edit->Focused());

    // A control that cannot take the focus is left alone, without an error.
    Form->SetActiveControl(nullptr);
    Edit->SetEnabled(false);
    emit Shortcut->activated();
    EXPECT_FALSE(Edit->Focused());
    EXPECT_TRUE(ErrorBoxTexts().isEmpty());
}

// The application's palette and font for one test; the earlier ones come back after it.
class TApplicationLookGuard {
public:
    TApplicationLookGuard(const QPalette& Palette, const QFont& Font)
        : FPalette(QApplication::palette()), FFont(QApplication::font()) {
        QApplication::setPalette(Palette);
        QApplication::setFont(Font);
    }
    ~TApplicationLookGuard() {
        QApplication::setPalette(FPalette);
        QApplication::setFont(FFont);
    }
    TApplicationLookGuard(const TApplicationLookGuard&) = delete;
    TApplicationLookGuard& operator=(const TApplicationLookGuard&) = delete;

private:
    QPalette FPalette;
    QFont FFont;
};

int CentreLightness(QWidget& Widget) {
    const QImage Image = Widget.grab().toImage();
    return Image.pixelColor(Image.width() / 2, Image.height() / 2).lightness();
}

TEST_F(QtPeerTest, SystemColoursAndTheDefaultFontFollowTheApplicationExplicitOnesWin) {
    // A palette made from a dark button colour: black base, white text.
    const TApplicationLookGuard Look(QPalette(QColor(0x35, 0x35, 0x35)), QFont("DejaVu Serif", 11));
    auto* Edit = Add<TEdit>(8, 8, 120, 24);
    auto* Yellow = Add<TEdit>(8, 40, 120, 24);
    Yellow->SetColor(clYellow);
    Yellow->Font()->SetName("DejaVu Sans Mono");
    Yellow->Font()->SetSize(9);
    auto* Combo = Add<TComboBox>(8, 72, 120, 24);
    auto* Button = Add<TSpeedButton>(8, 104, 80, 24);
    Realize();

    for (const TControl* Control :
         std::initializer_list<const TControl*>{Form.get(), Edit, Combo, Button}) {
        const QPalette Palette = TQtWidgetSet::WidgetOf(*Control)->palette();
        EXPECT_LT(Palette.color(QPalette::Base).lightness(), 80) << Control->Name();
        EXPECT_LT(Palette.color(QPalette::Button).lightness(), 80) << Control->Name();
        EXPECT_GT(Palette.color(QPalette::Text).lightness(), 180) << Control->Name();
    }
    QWidget& EditWidget = WidgetOf<QLineEdit>(*Edit);
    EXPECT_LT(CentreLightness(EditWidget), 80);
    EXPECT_LT(CentreLightness(*TQtWidgetSet::WidgetOf(*Form)), 80);
    QWidget& YellowWidget = WidgetOf<QLineEdit>(*Yellow);
    EXPECT_EQ(YellowWidget.palette().color(QPalette::Base), QColor(Qt::yellow));
    const QImage Yellowed = YellowWidget.grab().toImage();
    EXPECT_EQ(Yellowed.pixelColor(Yellowed.width() / 2, Yellowed.height() / 2), QColor(Qt::yellow));
    EXPECT_EQ(EditWidget.font().family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(EditWidget.font().pointSize(), 11);
    EXPECT_EQ(YellowWidget.font().family(), QStringLiteral("DejaVu Sans Mono"));
    EXPECT_EQ(YellowWidget.font().pointSize(), 9);

    // A palette changed while the controls are shown reaches them at once.
    QApplication::setPalette(QPalette(Qt::white));
    QApplication::processEvents();
    EXPECT_GT(EditWidget.palette().color(QPalette::Base).lightness(), 180);
    EXPECT_EQ(YellowWidget.palette().color(QPalette::Base), QColor(Qt::yellow));
}

TEST_F(QtPeerTest, ClosingTheWindowHidesTheFormAndShowingItAgainShowsTheWindow) {
    Form->SetCaption("Kupci");
    Realize();
    QWidget& Window = *TQtWidgetSet::WidgetOf(*Form);
    ASSERT_TRUE(Window.isVisible());

    Window.close();
    EXPECT_FALSE(Form->Visible());
    EXPECT_FALSE(Window.isVisible());

    Form->Show();
    EXPECT_TRUE(Window.isVisible());
    EXPECT_EQ(Window.windowTitle(), "Kupci");
}

TEST_F(QtPeerTest, MouseInputOverAControlIsNotTheFormsToo) {
    auto* Button = Add<TSpeedButton>(40, 40, 32, 32);
    std::vector<std::string> Moves;
    Form->OnMouseMove = [&](TObject*, TShiftState, int X, int Y) {
        Moves.push_back("form " + std::to_string(X) + "," + std::to_string(Y));
    };
    Button->OnMouseMove = [&](TObject*, TShiftState, int X, int Y) {
        Moves.push_back("button " + std::to_string(X) + "," + std::to_string(Y));
    };
    Realize();

    // A tool button leaves moves without a pressed button alone, so Qt hands them on to
    // the form's window as well.
    SendMouseMove(WidgetOf<QToolButton>(*Button), QPoint(5, 6));
    SendMouseMove(*TQtWidgetSet::WidgetOf(*Form), QPoint(10, 12));

    EXPECT_EQ(Moves, (std::vector<std::string>{"button 5,6", "form 10,12"}));
}

// A handler may free the form while Qt is inside the event that called it: the widgets
// go afterwards, and nothing touches the freed controls.
TEST_F(QtPeerTest, AHandlerThatFreesTheFormInsideAWidgetsEventIsSafe) {
    struct TCase {
        const char* Act;
        std::function<void(TEdit&, TComboBox&, TSpeedButton&)> Bind;
        std::function<void(QWidget& Edit, QComboBox& Combo, QWidget& Button)> Do;
    };
    const TNotifyEvent FreeForm = [this](TObject*) { Form.reset(); };
    const std::vector<TCase> Cases = {
        {.Act = "button click",
         .Bind = [&](TEdit&, TComboBox&, TSpeedButton& B) { B.OnClick = FreeForm; },
         .Do = [](QWidget&, QComboBox&, QWidget& Button) { SendClick(Button, QPoint(4, 4)); }},
        {.Act = "typing",
         .Bind = [&](TEdit& E, TComboBox&, TSpeedButton&) { E.OnChange = FreeForm; },
         .Do = [](QWidget& Edit, QComboBox&, QWidget&) { SendText(Edit, "a"); }},
        {.Act = "closing a list",
         .Bind =
             [&](TEdit&, TComboBox& C, TSpeedButton&) {
                 C.SetDroppedDown(true);
                 C.OnCloseUp = FreeForm;
             },
         .Do = [](QWidget&, QComboBox& Combo, QWidget&) { Combo.hidePopup(); }},
    };
    for (const TCase& Case : Cases) {
        Form = std::make_unique<TForm>(nullptr);
        Form->Show();
        auto* Edit = Add<TEdit>(0, 0, 80, 24);
        auto* Combo = Add<TComboBox>(0, 30, 80, 24);
        Combo->Items()->Add("one");
        auto* Button = Add<TSpeedButton>(0, 60, 24, 24);
        Realize();
        Case.Bind(*Edit, *Combo, *Button);
        const QPointer<QWidget> Window = TQtWidgetSet::WidgetOf(*Form);

        Case.Do(WidgetOf<QLineEdit>(*Edit), WidgetOf<QComboBox>(*Combo),
                WidgetOf<QToolButton>(*Button));

        EXPECT_EQ(Form, nullptr) << Case.Act;
        DeleteWaitingWidgets();
        EXPECT_TRUE(Window.isNull()) << Case.Act;
    }
}

} // namespace

} // namespace vorn::qttest

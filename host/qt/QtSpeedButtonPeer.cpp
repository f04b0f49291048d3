#include "host/components/controls/Button.h"
#include "host/components/controls/Input.h"
#include "host/qt/QtConvert.h"
#include "host/qt/QtPeers.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QToolButton>

namespace vorn {

namespace {

QPixmap ToQPixmap(const TBitmap& Bitmap) {
    QImage Image(Bitmap.Width(), Bitmap.Height(), QImage::Format_RGB32);
    for (int Y = 0; Y < Bitmap.Height(); ++Y)
        for (int X = 0; X < Bitmap.Width(); ++X) {
            const TColor Color = Bitmap.Pixels(X, Y);
            Image.setPixel(X, Y, qRgb(GetRValue(Color), GetGValue(Color), GetBValue(Color)));
        }
    return QPixmap::fromImage(Image);
}

} // namespace

TQtSpeedButtonPeer::TQtSpeedButtonPeer(TSpeedButton& Button)
    : TQtPeer(Button, new QToolButton), FButton(Button) {
    QObject::connect(&this->Button(), &QToolButton::clicked, Context(), [this] {
        const TShiftState Shift = ShiftFromQt(QGuiApplication::keyboardModifiers());
        Dispatch([&] { UserClick(FButton, Shift); });
    });
}

QToolButton& TQtSpeedButtonPeer::Button() const {
    return static_cast<QToolButton&>(*Widget());
}

void TQtSpeedButtonPeer::Synchronize() {
    TQtPeer::Synchronize();
    Invalidate();
}

void TQtSpeedButtonPeer::TextChanged() {
    Button().setText(ToQString(FButton.Caption()));
}

// A changed glyph or Flat arrives as a repaint request: both are read again.
void TQtSpeedButtonPeer::Invalidate() {
    const TBitmap* Glyph = FButton.Glyph();
    const bool HasGlyph = Glyph != nullptr && !Glyph->Empty();
    Button().setIcon(HasGlyph ? QIcon(ToQPixmap(*Glyph)) : QIcon());
    if (HasGlyph)
        Button().setIconSize(QSize(Glyph->Width(), Glyph->Height()));
    Button().setToolButtonStyle(HasGlyph && !FButton.Caption().empty()
                                    ? Qt::ToolButtonTextBesideIcon
                                : HasGlyph ? Qt::ToolButtonIconOnly
                                           : Qt::ToolButtonTextOnly);
    Button().setAutoRaise(FButton.Flat());
    Button().update();
}

} // namespace vorn

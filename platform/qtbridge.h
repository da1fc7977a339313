// The layer's own helpers over the toolkit: text and colour conversions,
// input state, pictures, and readying windows. Private to platform/: the
// programs' code never sees the toolkit.
#pragma once

#include "platform/controls.h"

#include <QColor>
#include <QPalette>
#include <QString>

#include <string>

class QIcon;
class QPixmap;
class QWidget;

inline QString QtText(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }
inline std::string StdText(const QString& s) {
    QByteArray b = s.toUtf8();
    return std::string(b.constData(), static_cast<size_t>(b.size()));
}

// "tooltip|status text": without a bar both are the whole text.
std::string ShortHint(const std::string& hint);
std::string LongHint(const std::string& hint);
// A caption with "&" marking its accelerator, as the toolkit writes it.
QString QtCaption(const std::string& caption);

QColor QtColor(TColor color, QPalette::ColorRole role = QPalette::Window);
TShiftState ShiftOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);
TMouseButton ButtonOf(Qt::MouseButton button);

// Pictures by file name; PNG files are read by the built-in reader, so no
// format plugin is loaded to find out what they are.
QPixmap LoadPicture(const std::string& file);
QIcon LoadIcon(const std::string& file);

// The width a caption needs on a button, with room for its picture.
int TextWidthNeeded(QWidget* w, const QString& text, int iconWidth);

// Paints a window at once, so it shows while the GUI thread is busy.
void RepaintNow(QWidget* widget);

// Readies a window that is about to be shown modally: above any window of
// ours that stays on top (a start-up box is never hidden under the splash),
// a dialog of the main window for the window manager, and never left
// minimised (a minimised modal window would leave the program blocked
// behind a window nobody sees).
void PrepareModal(QWidget* window);

// Puts a window that may not be minimised back on screen (a window manager
// may minimise it all the same).
void RefuseMinimise(QWidget* window);

#pragma once

#include "control_row.h"

#include <QObject>
#include <QPointer>
#include <QSize>

#include <utility>
#include <vector>

class QWidget;

namespace tavilon {

class FontScale;

// Keeps a window whose controls stand at fixed places (a dialog, About) at
// its table's places and client size scaled by the font in effect, and
// places them again whenever the font changes.
class ScaledPlaces : public QObject {
    Q_OBJECT
public:
    enum class WindowSize {
        Fixed,   // the user cannot resize the window
        Growing, // the window grows with the font as FontScale::resized says
    };
    // `controls` as ControlBuilder::controls() gives them; owned by `window`.
    ScaledPlaces(QWidget* window, const std::vector<std::pair<QWidget*, const ControlRow*>>& controls,
                 QSize clientTwips, WindowSize size);

signals:
    // Every control stands at its new place.
    void placed();

private:
    struct Place {
        QPointer<QWidget> control;
        QRect reference; // twips; for a line, its two ends
    };
    void place(QSizeF old);

    QWidget* window_;
    FontScale* scale_; // owned by the window
    QSize clientTwips_;
    WindowSize size_;
    std::vector<Place> places_;
};

} // namespace tavilon

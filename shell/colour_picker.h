#pragma once

#include <QToolButton>
#include <functional>
#include <span>

#include "shell/editor_settings.h"

class QMenu;

struct NamedColour {
    const char* name;
    ColorRef colour;
};

// The 40 colours the picker offers by name, in the order of its drop-down.
std::span<const NamedColour> NamedColours();

// A button showing a colour, with a drop-down of the named colours, "Automatic" (the colour the
// setting has by default) and "More Colours..." (the platform's colour dialog).
class CColourPicker : public QToolButton {
    Q_OBJECT
   public:
    CColourPicker(const QString& text, ColorRef automatic, QWidget* parent = nullptr);

    ColorRef colour() const { return colour_; }
    void setColour(ColorRef colour);
    ColorRef automaticColour() const { return automatic_; }

    // The drop-down, for the keyboard and for tests: entries 0..39 are the named colours.
    QMenu* dropDown() const { return menu_; }
    void chooseNamed(int index);
    void chooseAutomatic();
    void chooseMore();

    // Answers "More Colours..." in place of the colour dialog when set (tests).
    std::function<QColor(const QColor& current)> moreColoursHook;

   signals:
    void colourChanged(ColorRef colour);

   private:
    void UpdateIcon();

    ColorRef colour_;
    ColorRef automatic_;
    QMenu* menu_;
};

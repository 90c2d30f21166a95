#pragma once

#include <QColor>
#include <QToolButton>
#include <functional>
#include <span>

class QMenu;

struct NamedColour {
    const char* name;
    QRgb rgb;
};

// The 40 colours the picker offers by name, in the order of its drop-down.
std::span<const NamedColour> NamedColours();

// A button showing a colour, with a drop-down of the named colours, "Automatic" (the colour the
// setting has by default) and "More Colours..." (the platform's colour dialog).
class CColourPicker : public QToolButton {
    Q_OBJECT
   public:
    CColourPicker(const QString& text, const QColor& automatic, QWidget* parent = nullptr);

    QColor colour() const { return colour_; }
    // The colour, opaque: the editor has no use for transparency.
    void setColour(const QColor& colour);
    QColor automaticColour() const { return automatic_; }

    // The drop-down, for the keyboard and for tests: entries 0..39 are the named colours.
    QMenu* dropDown() const { return menu_; }
    void chooseNamed(int index);
    void chooseAutomatic();
    void chooseMore();

    // Answers "More Colours..." in place of the colour dialog when set (tests).
    std::function<QColor(const QColor& current)> moreColoursHook;

   signals:
    void colourChanged(const QColor& colour);

   private:
    void UpdateIcon();

    QColor colour_;
    QColor automatic_;
    QMenu* menu_;
};

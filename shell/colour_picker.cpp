#include "shell/colour_picker.h"

#include <QColorDialog>
#include <QGridLayout>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QWidgetAction>

namespace {

constexpr ColorRef Rgb(int r, int g, int b) {
    return ColorRef(r) | (ColorRef(g) << 8) | (ColorRef(b) << 16);
}

constexpr NamedColour kColours[] = {
    {"Black", Rgb(0, 0, 0)},
    {"Brown", Rgb(165, 42, 0)},
    {"Dark Olive Green", Rgb(0, 64, 64)},
    {"Dark Green", Rgb(0, 85, 0)},
    {"Dark Teal", Rgb(0, 0, 94)},
    {"Dark blue", Rgb(0, 0, 139)},
    {"Indigo", Rgb(75, 0, 130)},
    {"Dark grey", Rgb(40, 40, 40)},
    {"Dark red", Rgb(139, 0, 0)},
    {"Orange", Rgb(255, 104, 32)},
    {"Dark yellow", Rgb(139, 139, 0)},
    {"Green", Rgb(0, 147, 0)},
    {"Teal", Rgb(56, 142, 142)},
    {"Blue", Rgb(0, 0, 255)},
    {"Blue-grey", Rgb(123, 123, 192)},
    {"Grey - 40", Rgb(102, 102, 102)},
    {"Red", Rgb(255, 0, 0)},
    {"Light orange", Rgb(255, 173, 91)},
    {"Lime", Rgb(50, 205, 50)},
    {"Sea green", Rgb(60, 179, 113)},
    {"Aqua", Rgb(127, 255, 212)},
    {"Light blue", Rgb(125, 158, 192)},
    {"Violet", Rgb(128, 0, 128)},
    {"Grey - 50", Rgb(127, 127, 127)},
    {"Pink", Rgb(255, 192, 203)},
    {"Gold", Rgb(255, 215, 0)},
    {"Yellow", Rgb(255, 255, 0)},
    {"Bright green", Rgb(0, 255, 0)},
    {"Turquoise", Rgb(64, 224, 208)},
    {"Skyblue", Rgb(192, 255, 255)},
    {"Plum", Rgb(72, 0, 72)},
    {"Light grey", Rgb(192, 192, 192)},
    {"Rose", Rgb(255, 228, 225)},
    {"Tan", Rgb(210, 180, 140)},
    {"Light yellow", Rgb(255, 255, 224)},
    {"Pale green ", Rgb(152, 251, 152)},
    {"Pale turquoise", Rgb(175, 238, 238)},
    {"Pale blue", Rgb(104, 131, 139)},
    {"Lavender", Rgb(230, 230, 250)},
    {"White", Rgb(255, 255, 255)},
};
static_assert(std::size(kColours) == 40);

constexpr int kColumns = 8;
constexpr int kSwatch = 18;

QIcon Swatch(ColorRef colour, QSize size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(Qt::darkGray);
    p.setBrush(ColorFromRef(colour));
    p.drawRect(QRect(QPoint(1, 1), size - QSize(3, 3)));
    return QIcon(pixmap);
}

}  // namespace

std::span<const NamedColour> NamedColours() {
    return kColours;
}

CColourPicker::CColourPicker(const QString& text, ColorRef automatic, QWidget* parent)
    : QToolButton(parent), colour_(automatic), automatic_(automatic), menu_(new QMenu(this)) {
    setText(text);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setPopupMode(QToolButton::InstantPopup);
    setMenu(menu_);

    auto* automaticAction = menu_->addAction(QStringLiteral("Automatic"));
    automaticAction->setObjectName(QStringLiteral("automatic"));
    automaticAction->setIcon(Swatch(automatic_, QSize(kSwatch, kSwatch)));
    connect(automaticAction, &QAction::triggered, this, &CColourPicker::chooseAutomatic);

    auto* grid = new QWidget(menu_);
    auto* layout = new QGridLayout(grid);
    layout->setSpacing(2);
    layout->setContentsMargins(4, 4, 4, 4);
    for (int i = 0; i < int(std::size(kColours)); ++i) {
        auto* b = new QToolButton(grid);
        b->setObjectName(QStringLiteral("colour%1").arg(i));
        b->setAutoRaise(true);
        b->setIcon(Swatch(kColours[i].colour, QSize(kSwatch, kSwatch)));
        b->setIconSize(QSize(kSwatch, kSwatch));
        b->setToolTip(QLatin1String(kColours[i].name));
        b->setAccessibleName(QLatin1String(kColours[i].name));
        connect(b, &QToolButton::clicked, this, [this, i] { chooseNamed(i); });
        layout->addWidget(b, i / kColumns, i % kColumns);
    }
    auto* gridAction = new QWidgetAction(menu_);
    gridAction->setDefaultWidget(grid);
    menu_->addAction(gridAction);

    auto* more = menu_->addAction(QStringLiteral("More Colours..."));
    more->setObjectName(QStringLiteral("more"));
    connect(more, &QAction::triggered, this, &CColourPicker::chooseMore);
    UpdateIcon();
}

void CColourPicker::setColour(ColorRef colour) {
    colour_ = colour & 0xFFFFFF;
    UpdateIcon();
}

void CColourPicker::chooseNamed(int index) {
    if (index < 0 || index >= int(std::size(kColours))) return;
    menu_->hide();
    setColour(kColours[index].colour);
    emit colourChanged(colour_);
}

void CColourPicker::chooseAutomatic() {
    setColour(automatic_);
    emit colourChanged(colour_);
}

void CColourPicker::chooseMore() {
    const QColor current = ColorFromRef(colour_);
    const QColor picked =
        moreColoursHook ? moreColoursHook(current) : QColorDialog::getColor(current, this);
    if (!picked.isValid()) return;
    setColour(RefFromColor(picked));
    emit colourChanged(colour_);
}

void CColourPicker::UpdateIcon() {
    setIcon(Swatch(colour_, QSize(kSwatch, kSwatch)));
    // The button names the colour when it is one of the list.
    QString name;
    for (const NamedColour& c : kColours) {
        if (c.colour == colour_) name = QLatin1String(c.name).trimmed();
    }
    setToolTip(name.isEmpty() ? QStringLiteral("#%1").arg(ColorFromRef(colour_).name().mid(1))
                              : name);
}

#include "shell/colour_picker.h"

#include <QColorDialog>
#include <QGridLayout>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QWidgetAction>

namespace {

constexpr NamedColour kColours[] = {
    {"Black", qRgb(0, 0, 0)},
    {"Brown", qRgb(165, 42, 0)},
    {"Dark Olive Green", qRgb(0, 64, 64)},
    {"Dark Green", qRgb(0, 85, 0)},
    {"Dark Teal", qRgb(0, 0, 94)},
    {"Dark blue", qRgb(0, 0, 139)},
    {"Indigo", qRgb(75, 0, 130)},
    {"Dark grey", qRgb(40, 40, 40)},
    {"Dark red", qRgb(139, 0, 0)},
    {"Orange", qRgb(255, 104, 32)},
    {"Dark yellow", qRgb(139, 139, 0)},
    {"Green", qRgb(0, 147, 0)},
    {"Teal", qRgb(56, 142, 142)},
    {"Blue", qRgb(0, 0, 255)},
    {"Blue-grey", qRgb(123, 123, 192)},
    {"Grey - 40", qRgb(102, 102, 102)},
    {"Red", qRgb(255, 0, 0)},
    {"Light orange", qRgb(255, 173, 91)},
    {"Lime", qRgb(50, 205, 50)},
    {"Sea green", qRgb(60, 179, 113)},
    {"Aqua", qRgb(127, 255, 212)},
    {"Light blue", qRgb(125, 158, 192)},
    {"Violet", qRgb(128, 0, 128)},
    {"Grey - 50", qRgb(127, 127, 127)},
    {"Pink", qRgb(255, 192, 203)},
    {"Gold", qRgb(255, 215, 0)},
    {"Yellow", qRgb(255, 255, 0)},
    {"Bright green", qRgb(0, 255, 0)},
    {"Turquoise", qRgb(64, 224, 208)},
    {"Skyblue", qRgb(192, 255, 255)},
    {"Plum", qRgb(72, 0, 72)},
    {"Light grey", qRgb(192, 192, 192)},
    {"Rose", qRgb(255, 228, 225)},
    {"Tan", qRgb(210, 180, 140)},
    {"Light yellow", qRgb(255, 255, 224)},
    {"Pale green ", qRgb(152, 251, 152)},
    {"Pale turquoise", qRgb(175, 238, 238)},
    {"Pale blue", qRgb(104, 131, 139)},
    {"Lavender", qRgb(230, 230, 250)},
    {"White", qRgb(255, 255, 255)},
};
static_assert(std::size(kColours) == 40);

constexpr int kColumns = 8;
constexpr int kSwatch = 18;

QIcon Swatch(const QColor& colour, QSize size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(Qt::darkGray);
    p.setBrush(colour);
    p.drawRect(QRect(QPoint(1, 1), size - QSize(3, 3)));
    return QIcon(pixmap);
}

}  // namespace

std::span<const NamedColour> NamedColours() {
    return kColours;
}

CColourPicker::CColourPicker(const QString& text, const QColor& automatic, QWidget* parent)
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
        b->setIcon(Swatch(QColor(kColours[i].rgb), QSize(kSwatch, kSwatch)));
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

void CColourPicker::setColour(const QColor& colour) {
    colour_ = QColor(colour.rgb());
    UpdateIcon();
}

void CColourPicker::chooseNamed(int index) {
    if (index < 0 || index >= int(std::size(kColours))) return;
    menu_->hide();
    setColour(QColor(kColours[index].rgb));
    emit colourChanged(colour_);
}

void CColourPicker::chooseAutomatic() {
    setColour(automatic_);
    emit colourChanged(colour_);
}

void CColourPicker::chooseMore() {
    const QColor picked =
        moreColoursHook ? moreColoursHook(colour_) : QColorDialog::getColor(colour_, this);
    if (!picked.isValid()) return;
    setColour(picked);
    emit colourChanged(colour_);
}

void CColourPicker::UpdateIcon() {
    setIcon(Swatch(colour_, QSize(kSwatch, kSwatch)));
    // The button names the colour when it is one of the list.
    QString name;
    for (const NamedColour& c : kColours) {
        if (QColor(c.rgb) == colour_) name = QLatin1String(c.name).trimmed();
    }
    setToolTip(name.isEmpty() ? colour_.name() : name);
}

#include "graphs/graph_view.h"

#include <QFileDialog>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollBar>

#include "graphs/graph_doc.h"
#include "graphs/graph_messages.h"
#include "graphs/qt_canvas.h"

using namespace graphs;

namespace {

constexpr double kMmPerInch = 25.4;

QString SaveFilters() {
    return QString::fromLatin1(message::kEmfFilter) +
           QStringLiteral(";;SVG Image (*.svg);;PNG Image (*.png);;PDF Document (*.pdf)");
}

// The extension of the filter chosen in the save dialog.
QString FilterExtension(const QString& filter) {
    const int star = filter.indexOf(QLatin1String("*."));
    return star < 0 ? QStringLiteral("EMF") : filter.mid(star + 2).chopped(1);
}

}  // namespace

CGraphView::CGraphView(CGraphDoc* doc, QWidget* parent) : QAbstractScrollArea(parent), doc_(doc) {
    doc_->setParent(this);
    setWindowTitle(doc_->Title());
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    connect(doc_, &CGraphDoc::Changed, this, [this] {
        UpdateScrollBars();
        viewport()->update();
    });
    UpdateScrollBars();
}

PixelSize CGraphView::PictureSize() const {
    return PictureScreenSize(logicalDpiX() / kMmPerInch, logicalDpiY() / kMmPerInch);
}

void CGraphView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const PixelSize size = PictureSize();
    const QPoint offset(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const auto& pictures = doc_->Pictures();
    screen_.resize(pictures.size());
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        if (!pictures[i]) continue;
        const PixelRect r = PictureRect(static_cast<int>(i), zoom_, size);
        const QRect target =
            QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)).translated(-offset);
        if (!target.intersects(viewport()->rect())) continue;
        PaintOnScreen(painter, pictures[i], target, screen_[i]);
    }
}

void CGraphView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        ZoomIn(event->position().toPoint());
    } else if (event->button() == Qt::RightButton) {
        ZoomOut();
    }
}

void CGraphView::ZoomIn(QPoint click) {
    Rezoom(ZoomedIn(zoom_), click);
}

void CGraphView::ZoomOut() {
    const QSize window = viewport()->size();
    Rezoom(ZoomedOut(zoom_), QPoint(window.width() / 2, window.height() / 2));
}

void CGraphView::Rezoom(int newZoom, QPoint anchor) {
    if (newZoom == zoom_) return;
    const int oldZoom = zoom_;
    const int sx = horizontalScrollBar()->value();
    const int sy = verticalScrollBar()->value();
    zoom_ = newZoom;
    UpdateScrollBars();
    const PixelSize size = PictureSize();
    const int pictures = static_cast<int>(doc_->Pictures().size());
    const QSize window = viewport()->size();
    horizontalScrollBar()->setValue(
        ScrollAfterZoom(sx, oldZoom, zoom_, anchor.x(), zoom_ * size.width, window.width()));
    verticalScrollBar()->setValue(ScrollAfterZoom(sy, oldZoom, zoom_, anchor.y(),
                                                  pictures * zoom_ * size.height, window.height()));
    viewport()->update();
}

void CGraphView::UpdateScrollBars() {
    const PixelSize size = PictureSize();
    const int width = zoom_ * size.width;
    const int height = static_cast<int>(doc_->Pictures().size()) * zoom_ * size.height;
    const QSize window = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, width - window.width()));
    horizontalScrollBar()->setPageStep(window.width());
    horizontalScrollBar()->setSingleStep(std::max(1, size.width / 20));
    verticalScrollBar()->setRange(0, std::max(0, height - window.height()));
    verticalScrollBar()->setPageStep(window.height());
    verticalScrollBar()->setSingleStep(std::max(1, size.height / 20));
}

void CGraphView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void CGraphView::scrollContentsBy(int, int) {
    viewport()->update();
}

void CGraphView::UpdateGraph() {
    doc_->Update(true);
}

bool CGraphView::SaveGraph() {
    if (!doc_->HasExportName()) return SaveGraphAs();
    return doc_->SaveGraph().ok;
}

bool CGraphView::SaveGraphAs() {
    QString filter;
    const QString start = doc_->HasExportName() ? doc_->ExportName()->base : QString();
    const QString chosen =
        QFileDialog::getSaveFileName(this, tr("Save Graph As"), start, SaveFilters(), &filter);
    if (chosen.isEmpty()) return false;
    doc_->SetExportName(chosen, FilterExtension(filter));
    return doc_->SaveGraph().ok;
}

void CGraphView::Print() {
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) return;
    PrintTo(printer);
}

void CGraphView::PrintTo(QPrinter& printer) const {
    QPainter painter;
    if (!painter.begin(&printer)) return;
    painter.setRenderHint(QPainter::Antialiasing);
    // Each picture on a page of its own at its size on paper.
    const double dotsPerMm = printer.resolution() / kMmPerInch;
    const QRectF target(0, 0, geometry::kFrameWidth / 10.0 * dotsPerMm,
                        geometry::kFrameHeight / 10.0 * dotsPerMm);
    bool first = true;
    for (const auto& picture : doc_->Pictures()) {
        if (!picture) continue;
        if (!first) printer.newPage();
        first = false;
        QPainterCanvas canvas(painter, target);
        picture->Play(canvas);
    }
    painter.end();
}

#pragma once

#include <QAbstractScrollArea>
#include <vector>

#include "graphs/screen_thinning.h"
#include "graphs/view_zoom.h"

class CGraphDoc;
class QPrinter;

// The window of a graph: its pictures one under the other, zoomed by mouse clicks (left in,
// right out). It owns its document.
class CGraphView : public QAbstractScrollArea {
    Q_OBJECT
   public:
    explicit CGraphView(CGraphDoc* doc, QWidget* parent = nullptr);

    CGraphDoc* Document() const { return doc_; }
    int Zoom() const { return zoom_; }
    // One picture at zoom 1, from the screen's pixels per millimetre.
    graphs::PixelSize PictureSize() const;

    void ZoomIn(QPoint click);  // keeps the clicked point in place
    void ZoomOut();             // keeps the window's centre in place; not below zoom 1

   public slots:
    void UpdateGraph();  // forced re-read and re-render
    bool SaveGraph();    // asks for a name first when there is none
    bool SaveGraphAs();
    void Print();
    void PrintTo(QPrinter& printer) const;

   protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

   private:
    void UpdateScrollBars();
    void Rezoom(int newZoom, QPoint anchor);

    CGraphDoc* doc_;
    int zoom_ = 1;
    std::vector<graphs::ScreenCopy> screen_;  // one per picture slot
};

#pragma once

#include <QPaintDevice>
#include <QPaintEngine>

// Counts what a painter hands its device: separate lines, and polylines with their points.
class CountingEngine : public QPaintEngine {
   public:
    int lines = 0;
    int polylines = 0;
    qsizetype polylinePoints = 0;

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    Type type() const override { return QPaintEngine::User; }
    void drawLines(const QLineF*, int count) override { lines += count; }
    void drawLines(const QLine*, int count) override { lines += count; }
    void drawPolygon(const QPointF*, int count, PolygonDrawMode mode) override {
        if (mode != PolylineMode) return;
        ++polylines;
        polylinePoints += count;
    }
};

class CountingDevice : public QPaintDevice {
   public:
    QPaintEngine* paintEngine() const override { return &engine; }
    mutable CountingEngine engine;

   protected:
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
            case PdmWidth: return 1200;
            case PdmHeight: return 700;
            case PdmDpiX:
            case PdmDpiY:
            case PdmPhysicalDpiX:
            case PdmPhysicalDpiY: return 96;
            case PdmDepth: return 32;
            case PdmDevicePixelRatioScaled: return static_cast<int>(devicePixelRatioFScale());
            default: return 1;
        }
    }
};

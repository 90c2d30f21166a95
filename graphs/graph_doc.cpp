#include "graphs/graph_doc.h"

#include <algorithm>

#include "core/base/charset.h"
#include "graphs/graph_messages.h"
#include "graphs/graph_renderer.h"
#include "graphs/message_box.h"
#include "graphs/qt_canvas.h"

using namespace graphs;

GraphList::~GraphList() {
    for (const QPointer<CGraphDoc>& doc : slots_) {
        if (doc) doc->owner_ = nullptr;
    }
}

void GraphList::Add(CGraphDoc* doc) {
    if (doc == nullptr || SlotOf(doc) >= 0) return;
    if (doc->owner_ != nullptr && doc->owner_ != this) doc->owner_->Remove(doc);
    doc->owner_ = this;
    const auto empty = std::find_if(slots_.begin(), slots_.end(),
                                    [](const QPointer<CGraphDoc>& d) { return d.isNull(); });
    if (empty != slots_.end()) {
        *empty = doc;
    } else {
        slots_.emplace_back(doc);
    }
}

void GraphList::Remove(CGraphDoc* doc) {
    for (QPointer<CGraphDoc>& d : slots_) {
        if (d == doc) d.clear();
    }
}

void GraphList::UpdateAll() {
    for (CGraphDoc* doc : Graphs()) doc->Update(false);
}

std::vector<CGraphDoc*> GraphList::Graphs() const {
    std::vector<CGraphDoc*> open;
    for (const QPointer<CGraphDoc>& d : slots_) {
        if (d) open.push_back(d.data());
    }
    return open;
}

int GraphList::SlotOf(const CGraphDoc* doc) const {
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        if (slots_[i] == doc) return static_cast<int>(i);
    }
    return -1;
}

CGraphDoc::CGraphDoc(const QString& resultPath, std::vector<GraphCurve> curves, GraphLayout layout,
                     QObject* parent)
    : QObject(parent), path_(resultPath), curves_(std::move(curves)), layout_(layout) {}

CGraphDoc::~CGraphDoc() {
    if (owner_ != nullptr) owner_->Remove(this);
}

QString CGraphDoc::Title() const {
    return QString::fromLatin1(message::kPictureTitlePrefix) + path_;
}

CGraphDoc::UpdateOutcome CGraphDoc::Update(bool force) {
    if (force) stamp_.reset();
    ResultTable table;
    const ResultTable::Result read = table.Read(path_.toStdString(), curves_, &stamp_);
    switch (read.outcome) {
        case ReadOutcome::Read: break;
        case ReadOutcome::Unreadable: return UpdateOutcome::Unreadable;
        case ReadOutcome::Unchanged: return UpdateOutcome::Unchanged;
        case ReadOutcome::MissingColumn:
            ShowMessage(nullptr, QString::fromStdString(charset::ToUtf8(
                                     FillIn(message::kMissingColumn, read.missingName))));
            return UpdateOutcome::MissingColumn;
    }
    Render(table);
    emit Changed();
    return UpdateOutcome::Rendered;
}

void CGraphDoc::Render(const ResultTable& table) {
    pictures_.clear();
    const SweepInfo sweep{charset::ToUtf8(table.parameterName), table.parameterValues,
                          table.parameterRows};
    const auto series = [&](const GraphCurve& c) {
        const std::vector<float>* x = table.Column(c.xIndex);
        const std::vector<float>* y = table.Column(c.yIndex);
        return CurveSeries{&c, x != nullptr ? std::span<const float>(*x) : std::span<const float>(),
                           y != nullptr ? std::span<const float>(*y) : std::span<const float>()};
    };
    const auto render = [&](std::vector<CurveSeries> curves) {
        auto picture = std::make_shared<Picture>(FontTextWidth);
        RenderPicture(*picture, PictureContent{std::move(curves), layout_, sweep});
        pictures_.push_back(std::move(picture));
    };
    if (layout_.oneGraph) {
        std::vector<CurveSeries> all;
        for (const GraphCurve& c : curves_) all.push_back(series(c));
        render(std::move(all));
    } else {
        for (const GraphCurve& c : curves_) render({series(c)});
    }
}

std::vector<const Picture*> CGraphDoc::PictureSlots() const {
    std::vector<const Picture*> list;
    for (const auto& p : pictures_) list.push_back(p.get());
    return list;
}

void CGraphDoc::SetExportName(const QString& chosen, const QString& fallbackExtension) {
    exportName_ = SplitExportName(chosen, fallbackExtension);
}

SaveOutcome CGraphDoc::SaveGraph(QSize pixelSize) const {
    if (!exportName_) return {false, {}, {}};
    const SaveOutcome outcome = SavePictures(PictureSlots(), *exportName_, pixelSize);
    if (!outcome.ok)
        ShowMessage(nullptr, QString::fromStdString(
                                 FillIn(message::kCannotSave, outcome.failed.toStdString())));
    return outcome;
}

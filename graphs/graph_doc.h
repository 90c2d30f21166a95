#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "graphs/graph_export.h"
#include "graphs/graph_types.h"
#include "graphs/picture.h"
#include "graphs/result_table.h"

class CGraphDoc;

// The graphs opened from one equation view. A closed graph leaves its slot empty for the
// next one; when the list goes (its view closed) the graphs stay open without an owner.
class GraphList {
   public:
    GraphList() = default;
    GraphList(const GraphList&) = delete;
    GraphList& operator=(const GraphList&) = delete;
    ~GraphList();

    // Puts `doc` in the first empty slot (or a new one) and makes this list its owner.
    void Add(CGraphDoc* doc);
    // Empties the slot of `doc`.
    void Remove(CGraphDoc* doc);
    // After a run: every graph re-reads its file if the file changed.
    void UpdateAll();
    // Open graphs in slot order.
    std::vector<CGraphDoc*> Graphs() const;
    int SlotCount() const { return static_cast<int>(slots_.size()); }
    int SlotOf(const CGraphDoc* doc) const;  // -1 when not listed

   private:
    std::vector<QPointer<CGraphDoc>> slots_;
};

// A graph of result-file columns: the curves chosen for it, the pictures rendered from the
// file, and where Save Graph writes them. It has no file of its own.
class CGraphDoc : public QObject {
    Q_OBJECT
   public:
    enum class UpdateOutcome { Rendered, Unchanged, Unreadable, MissingColumn };

    CGraphDoc(const QString& resultPath, std::vector<graphs::GraphCurve> curves,
              graphs::GraphLayout layout, QObject* parent = nullptr);
    ~CGraphDoc() override;

    const QString& ResultPath() const { return path_; }
    QString Title() const;  // "Picture:" followed by the path
    const std::vector<graphs::GraphCurve>& Curves() const { return curves_; }
    const graphs::GraphLayout& Layout() const { return layout_; }

    // Re-reads the file and re-renders. Without force an unchanged file is left alone. An
    // unreadable file or a curve whose column is gone keeps the pictures as they were (the
    // latter with a message).
    UpdateOutcome Update(bool force);

    // One picture per curve, or one in all with One Graph; a null slot has no picture.
    const std::vector<std::shared_ptr<const graphs::Picture>>& Pictures() const {
        return pictures_;
    }
    std::vector<const graphs::Picture*> PictureSlots() const;

    GraphList* Owner() const { return owner_; }

    bool HasExportName() const { return exportName_.has_value(); }
    const std::optional<graphs::ExportName>& ExportName() const { return exportName_; }
    // Remembers the name Save Graph As chose (see graphs::SplitExportName).
    void SetExportName(const QString& chosen,
                       const QString& fallbackExtension = QStringLiteral("EMF"));
    // Writes the pictures to the export name; a failure is reported by message.
    graphs::SaveOutcome SaveGraph(QSize pixelSize = QSize()) const;

   signals:
    void Changed();

   private:
    friend class GraphList;
    void Render(const graphs::ResultTable& table);

    QString path_;
    std::vector<graphs::GraphCurve> curves_;
    graphs::GraphLayout layout_;
    std::optional<graphs::FileStamp> stamp_;
    std::vector<std::shared_ptr<const graphs::Picture>> pictures_;
    std::optional<graphs::ExportName> exportName_;
    GraphList* owner_ = nullptr;
};

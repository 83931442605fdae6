#pragma once

#include <QElapsedTimer>
#include <QObject>

// How far a long text tool has come. The tools cut their work into pieces
// of about pieceSize() characters and report after each; progressed is
// emitted at most every interval() milliseconds (always at the start and at
// 100 %), so a window can show the percentage and repaint from it without
// the reports costing much. Its slots must not edit the document.
class ToolProgress : public QObject
{
    Q_OBJECT

public:
    explicit ToolProgress(QObject *parent = nullptr);

    // Characters computed or put into the document between two reports.
    int pieceSize() const { return m_pieceSize; }
    void setPieceSize(int characters) { m_pieceSize = qMax(1, characters); }
    int interval() const { return m_interval; }
    void setInterval(int milliseconds) { m_interval = qMax(0, milliseconds); }
    // Reports emitted since the last start.
    int reports() const { return m_reports; }

    // A command of total units of work begins; reports 0 %.
    void start(qint64 total);
    // done units of the total are finished.
    void advance(qint64 done);
    // Reports 100 % once, whatever the steps before said.
    void finish();

signals:
    void progressed(int percent);

private:
    void report(int percent);

    int m_pieceSize = 65536;
    int m_interval = 50;
    qint64 m_total = 1;
    int m_lastPercent = -1;
    int m_reports = 0;
    QElapsedTimer m_sinceReport;
};

// Progress of one phase: units [0, span) of the phase map onto
// [offset, offset + weight) of the whole command's units.
struct ToolPhase {
    ToolProgress *progress = nullptr;
    qint64 offset = 0;
    qint64 weight = 0;
    qint64 span = 1;

    void advance(qint64 done) const
    {
        if (progress)
            progress->advance(offset + (span > 0 ? weight * qMin(done, span) / span : weight));
    }
    int pieceSize() const { return progress ? progress->pieceSize() : 65536; }
    // The part [from, to) of this phase (fractions of its weight), itself of span units.
    ToolPhase part(double from, double to, qint64 partSpan) const
    {
        return {progress, offset + qint64(weight * from), qint64(weight * (to - from)), partSpan};
    }
};

#include "format/ToolProgress.h"

ToolProgress::ToolProgress(QObject *parent) : QObject(parent) {}

void ToolProgress::start(qint64 total)
{
    m_total = qMax<qint64>(1, total);
    m_lastPercent = -1;
    m_reports = 0;
    report(0);
}

void ToolProgress::advance(qint64 done)
{
    if (m_sinceReport.isValid() && m_sinceReport.elapsed() < m_interval)
        return;
    report(int(qBound(qint64(0), done * 100 / m_total, qint64(99))));
}

void ToolProgress::finish()
{
    if (m_lastPercent != 100)
        report(100);
}

void ToolProgress::report(int percent)
{
    m_lastPercent = percent;
    ++m_reports;
    emit progressed(percent);
    // Counted from the end of the report, so the work between two reports
    // is interval() long however long the slots took.
    m_sinceReport.start();
}

// Kept groups in the editor: drawn as markers with room of their own,
// tooltips with what they keep, and saved back as they came.
#include "document/KeptContent.h"
#include "document/ui/KeptObjectMarker.h"
#include "document/ui/TRichTextEdit.h"

#include <QAbstractTextDocumentLayout>
#include <QHelpEvent>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolTip>
#include <QtTest>

class TestKeptObjectMarker : public QObject
{
    Q_OBJECT

private slots:
    void markerIsDrawnAndShowsItsCaption()
    {
        TRichTextEdit e;
        e.resize(400, 200);
        e.show();
        QVERIFY(QTest::qWaitForWindowExposed(&e));
        const QByteArray rtf = "{\\rtf1 Note{\\super\\chftn}{\\footnote\\pard\\plain The note text.} here\\par}";
        QVERIFY(e.Lines().loadFromBuffer(rtf));
        QTextDocument *doc = e.document();
        QCOMPARE(doc->toPlainText(), QStringLiteral("Note\ufffc here"));
        QVERIFY(doc->documentLayout()->handlerForObject(KeptContent::ObjectType));

        // The marker takes room in its line: the text after it moves right.
        const QTextBlock block = doc->firstBlock();
        QTextLine line = block.layout()->lineAt(0);
        QVERIFY(line.cursorToX(5) - line.cursorToX(4) > 2);

        // Its tooltip is the footnote's text.
        QTextCursor c(doc);
        c.setPosition(4);
        const QRect r = e.cursorRect(c);
        QHelpEvent help(QEvent::ToolTip, r.center() + QPoint(2, 0), e.viewport()->mapToGlobal(r.center()));
        QApplication::sendEvent(e.viewport(), &help);
        QTRY_COMPARE(QToolTip::text(), QStringLiteral("The note text."));

        // Saved back with the group; deleting the marker deletes it.
        e.setStreamFormat(TStreamFormat::sfRichText);
        QVERIFY(e.Lines().saveToBuffer().contains("\\chftn {\\footnote\\pard\\plain The note text.}"));
        c.setPosition(4);
        c.deleteChar();
        QVERIFY(!e.Lines().saveToBuffer().contains("footnote"));
    }
};

QTEST_MAIN(TestKeptObjectMarker)
#include "tst_keptobjectmarker.moc"

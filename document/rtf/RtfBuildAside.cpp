#include "document/rtf/RtfBuildAside.h"

#include "document/HandOver.h"

#include <utility>

namespace Rtf {
namespace {

using Command = std::function<void(DocumentBuilder &)>;
using Batch = std::vector<Command>;

using BatchQueue = HandOver<Batch>;

// Thrown on the parser's thread when the builder has stopped, to end the parse.
struct Cancelled {};

// Records the parser's calls for the builder. Formats get the numbers the
// builder will give them, as it adds them in the same order.
class QueuedBuilder : public BuildSink
{
public:
    explicit QueuedBuilder(BatchQueue &queue) : m_queue(queue) {}

    int addCharFormat(const QTextCharFormat &format) override
    {
        add([format](DocumentBuilder &b) { b.addCharFormat(format); });
        return m_charFormats++;
    }
    int addBlockSpec(const BlockSpec &spec) override
    {
        add([spec](DocumentBuilder &b) { b.addBlockSpec(spec); });
        return m_blockSpecs++;
    }
    void endParagraph(Paragraph &p, int spec, int markFormat, bool inTable) override
    {
        m_characters += p.text.size();
        add([p = std::exchange(p, Paragraph()), spec, markFormat, inTable](DocumentBuilder &b) mutable {
            b.endParagraph(p, spec, markFormat, inTable);
        });
    }
    void endCell(Paragraph &p, int spec, int markFormat) override
    {
        m_characters += p.text.size();
        add([p = std::exchange(p, Paragraph()), spec, markFormat](DocumentBuilder &b) mutable {
            b.endCell(p, spec, markFormat);
        });
    }
    void endRow(const RowDef &def) override
    {
        add([def](DocumentBuilder &b) { b.endRow(def); });
    }
    void finish(Paragraph &p, int spec, int markFormat) override
    {
        add([p = std::exchange(p, Paragraph()), spec, markFormat](DocumentBuilder &b) mutable {
            b.finish(p, spec, markFormat);
        });
    }
    void addImage(const QString &name, const QImage &image) override
    {
        add([name, image](DocumentBuilder &b) { b.addImage(name, image); });
    }
    void keepDocumentGroups(const QByteArray &rtf) override
    {
        add([rtf](DocumentBuilder &b) { b.keepDocumentGroups(rtf); });
    }
    void keepListTables(const KeptContent::ListTables &tables) override
    {
        add([tables](DocumentBuilder &b) { b.keepListTables(tables); });
    }

    void flush()
    {
        if (m_batch.empty())
            return;
        if (!m_queue.give(std::exchange(m_batch, Batch())))
            throw Cancelled();
        m_characters = 0;
    }

private:
    void add(Command &&command)
    {
        m_batch.push_back(std::move(command));
        // Small enough batches that the builder starts at once.
        if (m_batch.size() >= 512 || m_characters >= 64 * 1024)
            flush();
    }

    BatchQueue &m_queue;
    Batch m_batch;
    qsizetype m_characters = 0;
    int m_charFormats = 0;
    int m_blockSpecs = 0;
};

} // namespace

void buildAside(DocumentBuilder &builder, const std::function<void(BuildSink &)> &parse)
{
    handOverAside<Batch>(
        4,
        [&parse](BatchQueue &queue) {
            QueuedBuilder sink(queue);
            parse(sink);
            sink.flush();
        },
        [&builder](Batch &&batch) {
            for (Command &command : batch)
                command(builder);
        });
}

} // namespace Rtf

// rtf-read, rtf-write, rtf-generate and rtf-object: timings of the RTF reader and writer.
#include "bench/BenchCommands.h"

#include "document/DocumentCore.h"
#include "document/EmbeddedObject.h"
#include "document/rtf/DocumentDump.h"
#include "document/rtf/RtfReader.h"
#include "document/rtf/RtfWriter.h"
#include "document/PlainText.h"
#include "platform/CodePages.h"

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

// Peak and current resident memory of this process in KiB, from /proc.
qint64 statusKiB(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

double mb(qint64 bytes) { return bytes / (1024.0 * 1024.0); }

bool readFile(const QString &path, QByteArray *data)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s: %s\n", qPrintable(path), qPrintable(file.errorString()));
        return false;
    }
    *data = file.readAll();
    return true;
}

// A document as the editor loads one: undo off while loading.
std::unique_ptr<QTextDocument> load(const QByteArray &data, qint64 *nanoseconds)
{
    auto doc = std::make_unique<QTextDocument>();
    doc->setUndoRedoEnabled(false);
    QTextCursor cursor(doc.get());
    QElapsedTimer timer;
    timer.start();
    RtfReader().read(data, cursor);
    if (nanoseconds)
        *nanoseconds = timer.nsecsElapsed();
    return doc;
}

// Deterministic pseudo-random numbers, so every run measures the same file.
struct Lcg {
    quint32 state = 12345;
    quint32 next() { return state = state * 1664525u + 1013904223u; }
    int below(int n) { return int((next() >> 8) % quint32(n)); }
};

const char *const kWords[] = {"lorem", "ipsum", "dolor", "sit", "amet", "consectetur", "adipiscing",
                              "elit", "sed", "do", "eiusmod", "tempor", "incididunt", "labore",
                              "magna", "aliqua", "enim", "minim", "veniam", "quis", "nostrud"};

// Mixed formatting as word processors write it: fonts, sizes, bold, italic,
// underline, colours, \'hh and \u characters, lists, tables and links.
// formattedPercent of the words get a format group of their own.
QByteArray generate(qint64 targetBytes, int formattedPercent)
{
    QByteArray out;
    out.reserve(targetBytes + 4096);
    out += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
           "{\\f1\\froman\\fcharset0 Times New Roman;}{\\f2\\fmodern\\fcharset0 Courier New;}"
           "{\\f3\\fswiss\\fcharset204 Arial Cyr;}{\\f4\\fnil\\fcharset2 Symbol;}}\r\n"
           "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green128\\blue0;\\red0\\green0\\blue255;}\r\n"
           "\\viewkind4\\uc1\\pard\\f0\\fs20\r\n";
    Lcg rng;
    int paragraph = 0;
    while (out.size() < targetBytes) {
        ++paragraph;
        const int kind = rng.below(20);
        if (kind == 0) {
            out += "\\trowd\\trgaph108\\cellx2000\\cellx4000\\cellx6000\r\n";
            for (int c = 0; c < 3; ++c)
                out += "\\pard\\intbl cell " + QByteArray::number(paragraph) + "\\cell";
            out += "\\row\r\n\\pard ";
        } else if (kind == 1) {
            out += "{\\pntext\\f4\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf4\\pnindent0{\\pntxtb\\'b7}}"
                   "\\fi-360\\li720 ";
        } else if (kind == 2) {
            out += "\\qc\\sb120\\sa120 ";
        }
        const int words = 20 + rng.below(60);
        for (int w = 0; w < words; ++w) {
            const int style = rng.below(100) < formattedPercent ? rng.below(8) : 8;
            switch (style) {
            case 0: out += "{\\b "; break;
            case 1: out += "{\\i "; break;
            case 2: out += "{\\ul "; break;
            case 3: out += "{\\cf" + QByteArray::number(1 + rng.below(3)) + ' '; break;
            case 4: out += "{\\f1\\fs24 "; break;
            case 5: out += "{\\f2 "; break;
            case 6: out += "{\\f3 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2 "; break;
            case 7: out += "{\\field{\\*\\fldinst HYPERLINK \"https://example.org/\"}{\\fldrslt "; break;
            default: break;
            }
            out += kWords[rng.below(int(std::size(kWords)))];
            if (rng.below(30) == 0)
                out += " caf\\'e9 \\u8364? na\\u239?ve";
            if (style == 7)
                out += "}}";
            else if (style < 7)
                out += '}';
            out += ' ';
        }
        out += kind <= 2 ? "\\par\\pard\r\n" : "\\par\r\n";
    }
    out += "}\r\n";
    return out;
}

} // namespace

int Bench::rtfGenerate(const QStringList &args)
{
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: quilmar-bench rtf-generate OUT [MB [FORMATTED-WORDS-PERCENT]]\n");
        return 2;
    }
    const double megabytes = args.size() > 1 ? args.at(1).toDouble() : 10.0;
    const int percent = args.size() > 2 ? std::clamp(args.at(2).toInt(), 0, 100) : 33;
    const QByteArray data = generate(qint64(megabytes * 1024 * 1024), percent);
    QFile out(args.at(0));
    if (!out.open(QIODevice::WriteOnly) || out.write(data) != data.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(args.at(0)));
        return 1;
    }
    std::printf("{\"command\":\"rtf-generate\",\"file\":\"%s\",\"bytes\":%lld,\"formatted_words_percent\":%d}\n",
                qPrintable(args.at(0)), static_cast<long long>(data.size()), percent);
    return 0;
}

int Bench::rtfRead(const QStringList &args)
{
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: quilmar-bench rtf-read FILE…\n");
        return 2;
    }
    int status = 0;
    for (const QString &path : args) {
        QByteArray data;
        if (!readFile(path, &data)) {
            status = 1;
            continue;
        }
        const qint64 before = statusKiB("VmRSS");
        qint64 ns = 0;
        auto doc = load(data, &ns);
        const qint64 peak = statusKiB("VmHWM");
        const double seconds = ns / 1e9;
        // The peak is the process's: with several files it covers them all.
        std::printf("{\"command\":\"rtf-read\",\"file\":\"%s\",\"bytes\":%lld,\"characters\":%d,"
                    "\"seconds\":%.4f,\"mb_per_s\":%.1f,\"rss_before_mb\":%.1f,\"peak_rss_mb\":%.1f,"
                    "\"peak_over_file\":%.2f,\"peak_growth_over_file\":%.2f}\n",
                    qPrintable(path), static_cast<long long>(data.size()), doc->characterCount(), seconds,
                    seconds > 0 ? mb(data.size()) / seconds : 0.0, before / 1024.0, peak / 1024.0,
                    data.isEmpty() ? 0.0 : peak * 1024.0 / data.size(),
                    data.isEmpty() ? 0.0 : (peak - before) * 1024.0 / data.size());
        std::fflush(stdout);
    }
    return status;
}

int Bench::rtfWrite(const QStringList &args)
{
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: quilmar-bench rtf-write FILE OUT\n");
        return 2;
    }
    QByteArray data;
    if (!readFile(args.at(0), &data))
        return 1;
    auto doc = load(data, nullptr);
    const qint64 before = statusKiB("VmRSS");
    QElapsedTimer timer;
    timer.start();
    const QByteArray rtf = RtfWriter().write(*doc);
    const double seconds = timer.nsecsElapsed() / 1e9;
    const qint64 peak = statusKiB("VmHWM");
    QFile out(args.at(1));
    if (!out.open(QIODevice::WriteOnly) || out.write(rtf) != rtf.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(args.at(1)));
        return 1;
    }
    std::printf("{\"command\":\"rtf-write\",\"file\":\"%s\",\"out\":\"%s\",\"characters\":%d,\"bytes\":%lld,"
                "\"seconds\":%.4f,\"mb_per_s\":%.1f,\"rss_before_mb\":%.1f,\"peak_rss_mb\":%.1f}\n",
                qPrintable(args.at(0)), qPrintable(args.at(1)), doc->characterCount(),
                static_cast<long long>(rtf.size()), seconds, seconds > 0 ? mb(rtf.size()) / seconds : 0.0,
                before / 1024.0, peak / 1024.0);
    return 0;
}

int Bench::rtfRoundTrip(const QStringList &args)
{
    if (args.isEmpty() || args.size() % 2 != 0) {
        std::fprintf(stderr, "usage: quilmar-bench rtf-roundtrip FILE OUT [FILE OUT]…\n");
        return 2;
    }
    // As File > Open and Save as with rich text do: data that is not RTF is
    // read as text of the ANSI code page, and every document is written as RTF.
    const int acp = CodePages::ansiCodePage();
    int status = 0;
    for (qsizetype i = 0; i < args.size(); i += 2) {
        QByteArray data;
        if (!readFile(args.at(i), &data)) {
            status = 1;
            continue;
        }
        auto doc = std::make_unique<QTextDocument>();
        doc->setUndoRedoEnabled(false);
        QTextCursor cursor(doc.get());
        RtfReadOptions readOptions;
        readOptions.ansiCodePage = acp;
        QElapsedTimer timer;
        timer.start();
        if (RtfReader::looksLikeRtf(data))
            RtfReader().read(data, cursor, readOptions);
        else
            PlainText::insert(cursor, CodePages::toUnicode(acp, data));
        RtfWriteOptions writeOptions;
        writeOptions.ansiCodePage = acp;
        const QByteArray rtf = RtfWriter().write(*doc, writeOptions);
        const double seconds = timer.nsecsElapsed() / 1e9;
        QFile out(args.at(i + 1));
        if (!out.open(QIODevice::WriteOnly) || out.write(rtf) != rtf.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(args.at(i + 1)));
            status = 1;
            continue;
        }
        std::printf("{\"command\":\"rtf-roundtrip\",\"file\":\"%s\",\"out\":\"%s\",\"bytes_in\":%lld,"
                    "\"bytes_out\":%lld,\"seconds\":%.4f}\n",
                    qPrintable(args.at(i)), qPrintable(args.at(i + 1)), static_cast<long long>(data.size()),
                    static_cast<long long>(rtf.size()), seconds);
        std::fflush(stdout);
    }
    return status;
}

// An embedded file of the largest size taken: inserting it, writing the
// document, reading it back and taking the file out again.
int Bench::rtfObject(const QStringList &args)
{
    const qint64 bytes = args.isEmpty() ? EmbeddedObject::MaxFileSize : args.at(0).toLongLong() * 1024 * 1024;
    if (bytes <= 0 || bytes > EmbeddedObject::MaxFileSize) {
        std::fprintf(stderr, "usage: quilmar-bench rtf-object [MB up to %lld]\n",
                     static_cast<long long>(EmbeddedObject::MaxFileSize / (1024 * 1024)));
        return 2;
    }
    QByteArray file(bytes, Qt::Uninitialized);
    for (qint64 i = 0; i < bytes; ++i)
        file[i] = char(i * 131 % 251);
    const qint64 before = statusKiB("VmRSS");
    QElapsedTimer timer;
    timer.start();
    DocumentCore core;
    core.InsertObject({QStringLiteral("big.bin"), QStringLiteral("/tmp/big.bin"), file},
                      EmbeddedObject::iconPicture(QImage(), QStringLiteral("big.bin")));
    const double insert = timer.nsecsElapsed() / 1e9;
    timer.restart();
    const QByteArray rtf = RtfWriter().write(*core.document());
    const double write = timer.nsecsElapsed() / 1e9;
    qint64 readNs = 0;
    auto doc = load(rtf, &readNs);
    timer.restart();
    QTextCursor c(doc.get());
    c.setPosition(1);
    const auto package = EmbeddedObject::package(c.charFormat());
    const double open = timer.nsecsElapsed() / 1e9;
    const qint64 peak = statusKiB("VmHWM");
    std::printf("{\"command\":\"rtf-object\",\"file_bytes\":%lld,\"rtf_bytes\":%lld,\"insert_s\":%.3f,"
                "\"write_s\":%.3f,\"read_s\":%.3f,\"take_out_s\":%.3f,\"same\":%s,\"rss_before_mb\":%.1f,"
                "\"peak_rss_mb\":%.1f}\n",
                static_cast<long long>(bytes), static_cast<long long>(rtf.size()), insert, write, readNs / 1e9,
                open, package && package->bytes == file ? "true" : "false", before / 1024.0, peak / 1024.0);
    return package && package->bytes == file ? 0 : 1;
}

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QSizeF>
#include <QString>

#include <optional>

class QTextFormat;

// Files embedded in a document the way Word embeds them: an RTF \object
// holding an OLE1 "Package" object (the file's name and its bytes) and, as
// its \result, a picture that readers without objects show. In the
// document such an object is the picture, whose format carries the RTF of
// the object group (TextProperty::ObjectData) as the reader keeps any
// object it reads.
namespace EmbeddedObject {

// Files beyond this are refused: the document holds them twice over as hex.
constexpr qint64 MaxFileSize = 32 * 1024 * 1024;

struct Package {
    QString label;        // the name shown, normally the file name
    QString sourcePath;   // where the file came from
    QByteArray bytes;
};

// The OLE1 stream of a Package object, as \objdata holds it.
QByteArray packageStream(const Package &package);
// The Package of an OLE1 stream; nothing when the stream is of another
// class or too damaged to find the file in.
std::optional<Package> readPackageStream(QByteArrayView stream);
// The OLE1 class name ("Package", "Word.Document.8", …); empty when unreadable.
QString className(QByteArrayView stream);

// An \object group up to its \result: embedded, class Package, its shown
// size, and the stream as \objdata.
QByteArray objectGroup(const QByteArray &stream, QSizeF shownPx);
// The bytes of the \objdata of an object group, as far as its hex digits go.
QByteArray objectData(QByteArrayView group);

// The file an OLE1 stream holds: a Package's file, or the native data of
// a class whose native data is a file of its own (Word, Excel and
// PowerPoint 97 documents, Paintbrush pictures), named by the class.
std::optional<Package> openableFile(QByteArrayView stream);

// The package of an object in the document, if it is one.
bool isObject(const QTextFormat &format);
std::optional<Package> package(const QTextFormat &format);
std::optional<Package> openableFile(const QTextFormat &format);

// A file name safe to create in a folder of ours: the last part of label,
// without characters no file system takes; never empty.
QString safeFileName(const QString &label);

// What an object shown as an icon looks like: the icon above its label.
QImage iconPicture(const QImage &icon, const QString &label);

} // namespace EmbeddedObject
